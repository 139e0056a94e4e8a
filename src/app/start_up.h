// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

#include "platform/browser_pane.h"

class QApplication;
class QWebEnginePage;
class QWebEngineProfile;

namespace pagesift {

class AuxiliaryWindows;
class Form1;
class IETOOLS;
class PageImages;
class frmSplash;

// Everything the program sets up before and while its splash window shows:
// the splash first, at once; then, once the splash is on screen, the engine
// (its profile, and a renderer started on a blank page) while the splash's
// timer runs; at the splash's fourth tick the main window with the help and
// website windows, the tools-menu registration and the Page menu's image
// commands, whose load steps then find the engine ready.
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
  void warmUpEngine();
  void openMainWindow();
  void unloadOtherWindows();

  QApplication& app_;
  std::function<void(Form1*)> mainWindowOpened_;
  QString programFolder_;
  QWebEngineProfile* profile_ = nullptr;  // the application's child
  BrowserPaneFactory makePane_;
  std::unique_ptr<QWebEnginePage> warmUpPage_;  // until the main window has made its pages
  std::unique_ptr<QWidget> paneShelf_;          // the panes made before the main window, until it takes them
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
