// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QList>

#include <array>

#include "platform/browser_pane.h"
#include "platform/twips.h"
#include "shell/view_commands.h"

class QAction;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QTabWidget;

namespace pagesift {

class FindBar;
class MessageBar;
class ProgressIndicator;
class StatusPanels;

// The main window's controls at their designed places (twips, converted at
// 15 per pixel), built in code. The window arranges the stretching ones on
// every resize.
struct Form1Ui {
  QWidget* client = nullptr;  // the client area: every control is placed in it

  QPushButton* cmbBack = nullptr;
  QPushButton* cmdForward = nullptr;
  QPushButton* cmdStop = nullptr;
  std::array<QPushButton*, 1> cmdRefresh{};
  QPushButton* cmdBackDir = nullptr;
  QPushButton* Command1 = nullptr;  // Send Page to Browser Tab
  QPushButton* cmdWebsite = nullptr;
  QLineEdit* Text1 = nullptr;  // "URL:"
  QLineEdit* txtUrl = nullptr;
  QPushButton* cmdGo = nullptr;
  QTabWidget* TabStrip1 = nullptr;
  std::array<BrowserPane*, kPaneCount> wb{};  // kBrowserPane, kSourcePane, kImagesPane
  MessageBar* messageBar = nullptr;           // the Browser view's page messages, over the views' top edge
  FindBar* findBar = nullptr;                 // below the views while open
  ProgressIndicator* pb1 = nullptr;
  StatusPanels* sb1 = nullptr;

  QMenu* mnuFile = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuGo = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuTools = nullptr;
  QMenu* mnuPage = nullptr;
  QMenu* mnuHelp = nullptr;
  QList<QAction*> mnuFileItem;
  QList<QAction*> mnuGoItem;
  QList<QAction*> mnuViewItem;
  QList<QAction*> mnuToolsItem;
  QList<QAction*> mnuPageItem;  // Every Image..., Copy Image Addresses, Save All Images...
  QList<QAction*> mnuHelpItem;
  // Edit's three items and the Page menu's zoom items; the Page menu's
  // other items after its first three. Each has its own handler.
  FindZoomItems findZoom;
  QAction* pageSourceItem = nullptr;  // Ctrl+U
  QAction* printItem = nullptr;       // Ctrl+P
  QAction* saveAsPdfItem = nullptr;
  QAction* savePageAsItem = nullptr;  // Ctrl+S
  QAction* focusAddress = nullptr;    // Ctrl+L

  void setupUi(QMainWindow* window, const BrowserPaneFactory& makePane);

 private:
  void createToolBar();
  void createAddressRow();
  void createViews(const BrowserPaneFactory& makePane);
  void createStatusBar();
  void createMenus(QMainWindow* window);
};

}  // namespace pagesift
