// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

class QTimer;

#include <functional>
#include <optional>
#include <string>

#include "analysis/string_list.h"
#include "platform/browser_pane.h"
#include "shell/main_window_ui.h"
#include "shell/page_processor.h"

namespace pagesift {

// The main window: one page in three views, the navigation controls, and
// the page analysis after every completed load in the Browser view.
class PageOutput;
class PageSourceWindow;

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // What the main window opens but does not own: the help and website
  // windows and the tools-menu registration. An unset command does nothing.
  struct Commands {
    std::function<void()> showHelp = {};
    std::function<void()> showWebsite = {};
    std::function<void()> addToToolsMenu = {};
    std::function<void()> removeFromToolsMenu = {};
    std::function<void()> unloadOtherWindows = {};
    std::function<void()> showEveryImage = {};
    std::function<void()> copyImageAddresses = {};
    std::function<void()> saveAllImages = {};
    std::function<void(const QUrl&)> saveImageAs = {};  // the context menu's Save Image As...
  };

  Form1(const QString& programFolder, const BrowserPaneFactory& makePane);
  ~Form1() override;

  void setCommands(Commands commands) { commands_ = std::move(commands); }

  // The load sequence: captions, the help window when the user wants it at
  // start, working files, the second status panel, the Browser view, the
  // home page (or `startAddress`, given on the command line, instead).
  void Form_Load(const QString& startAddress = QString());

  // An address from outside (another start of the program): loads it in the
  // Browser view, as the address box and Go would, and shows that view.
  void openAddress(const QString& address);

  const Form1Ui& ui() const { return ui_; }
  const AnalysisLists& lists() const { return processor_->lists(); }
  const QString& workingFolder() const { return processor_->workingFolder(); }

  // Navigation (toolbar buttons, the address box, the Go menu).
  void cmbBack_Click();
  void cmdForward_Click();
  void cmdStop_Click();
  void cmdRefresh_Click(int index);
  void cmdGo_Click();
  void txtUrl_KeyPress(int& keyAscii);
  void cmdBackDir_Click();

  // The views.
  void ShowPane(int index);
  void SelectView(int index);
  int VisiblePaneIndex() const;
  void TabStrip1_Click();
  void Command1_Click();
  // Loads `address` in the Browser view as Send Page to Browser Tab does:
  // every pane stopped, the address box set, the Browser tab selected.
  void sendToBrowser(const QString& address);
  void cmdWebsite_Click();

  // Menus, dispatched by item index.
  void mnuFileItem_Click(int index);
  void mnuGoItem_Click(int index);
  void mnuViewItem_Click(int index);
  void mnuToolsItem_Click(int index);
  void mnuPageItem_Click(int index);
  void mnuHelpItem_Click(int index);

  // Captures the Browser view's page and analyses it when the text arrives;
  // skipped while that view has stopped (its render process ended).
  void ProcessPage();

  // The Edit menu, and the Page menu's items after its first three: each
  // has a handler of its own. Find, zoom and print act on the view on show.
  void findInPage();
  void findNext();
  void findPrevious();
  void zoomIn();
  void zoomOut();
  void actualSize();
  void showPageSource();  // the one Page Source window, on the Browser view's address
  void printPage();
  void savePageAsPdf();
  void savePageAs();  // the Browser view's page

  // Gives `pane` (one of this window's views, or a pane of another window)
  // the program's context menu.
  void attachContextMenu(BrowserPane* pane);
  PageSourceWindow* pageSourceWindow() const;

 signals:
  // A page analysis has written both views and sent the panes to them.
  void pageProcessed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void wb_StatusTextChange(int index, const QString& text);
  void wb_ProgressChange(int index, int progress, int maximum);
  void wb_DownloadComplete(int index);
  void wb_TitleChange(int index, const QString& text);
  void wb_pageMessage(int index, const QString& source, const QString& message);
  void wb_rendererStopped(int index, const QString& reason);
  void wb_addressRefused(int index, const QString& message);
  void showAnalysedPage(const QString& sourcePage, const QString& imagePage, const QString& notice);
  void stopAllPanes();
  void Form_Unload();
  void LayoutControls();
  void connectControls();
  void connectPageCommands();
  BrowserPane* shownPane() const;
  void viewShown();
  void updateBackForward();
  void zoomShownPane(int direction);
  // The first panel's text: the panes' status text, or for a moment a
  // notice (the zoom, how a save went), the status text coming after it.
  void showStatus(const QString& text);
  void showNotice(const QString& text, int milliseconds);

  Form1Ui ui_;
  QString programFolder_;
  Commands commands_;
  BrowserPaneFactory makePane_;
  PageProcessor* processor_ = nullptr;
  QPointer<PageSourceWindow> pageSource_;
  PageOutput* output_ = nullptr;
  QTimer* notice_ = nullptr;
  QString statusText_;
  // What the status bar says again over the generated views' own load
  // states while they load after an analysis (noticeLoads_ of them to go):
  // which views it could not update, else an address the Browser view
  // refused while the page analysed stayed on show (refusalPage_).
  QString viewsNotice_;
  int noticeLoads_ = 0;
  QString refusal_;
  QString refusalPage_;
};

}  // namespace pagesift
