#pragma once

#include <QPointer>

#include <functional>
#include <memory>

class QApplication;

namespace pagesift {

class AuxiliaryWindows;
class Form1;
class IETOOLS;
class frmSplash;

// Everything the program sets up before its event loop: product
// information, the engine profile, the help and website windows, the
// tools-menu registration, the splash window that opens the main window.
// `mainWindowOpened` (optional) is told when the main window is shown.
class StartUp {
 public:
  explicit StartUp(QApplication& app, std::function<void(Form1*)> mainWindowOpened = {});
  ~StartUp();  // the windows' pages go before the profile they use

 private:
  void unloadOtherWindows();

  std::unique_ptr<AuxiliaryWindows> auxiliaryWindows_;
  std::unique_ptr<IETOOLS> ieTools_;
  QPointer<frmSplash> splash_;
  QPointer<Form1> mainWindow_;
};

// Call before the QApplication exists.
void prepareEngineEnvironment();

}  // namespace pagesift
