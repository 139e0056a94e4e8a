#pragma once

#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QApplication;

namespace pagesift {

class AuxiliaryWindows;
class Form1;
class IETOOLS;
class PageImages;
class frmSplash;

// Everything the program sets up before its event loop: product
// information, the engine profile, the help and website windows, the
// tools-menu registration, the Page menu's image commands, the splash window that opens the main window.
// `mainWindowOpened` (optional) is told when the main window is shown;
// `startAddress` (optional) replaces the home page.
class StartUp {
 public:
  explicit StartUp(QApplication& app, std::function<void(Form1*)> mainWindowOpened = {},
                   const QUrl& startAddress = QUrl());
  ~StartUp();  // the windows' pages go before the profile they use

  // Another start of the program handed over `address` (empty: none): the
  // main window loads it in the Browser view and asks to be raised. While
  // the splash is still up the address is kept and replaces the first page.
  void openAddress(const QUrl& address);

  // Ends the program as File > Exit does (the other windows unloaded, the
  // views stopped), also while the splash is still up; the event loop then
  // returns 0 even if some window would keep it going.
  void quit();

 private:
  void unloadOtherWindows();

  std::unique_ptr<AuxiliaryWindows> auxiliaryWindows_;
  std::unique_ptr<IETOOLS> ieTools_;
  std::unique_ptr<PageImages> pageImages_;  // uses the main window's Browser pane
  QPointer<frmSplash> splash_;
  QPointer<Form1> mainWindow_;
  QUrl startAddress_;
};

// Call before the QApplication exists.
void prepareEngineEnvironment();

}  // namespace pagesift
