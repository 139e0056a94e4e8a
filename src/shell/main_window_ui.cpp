// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/main_window_ui.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

#include <initializer_list>
#include <utility>

#include "shell/find_bar.h"
#include "shell/layout_arithmetic.h"
#include "shell/menu_items.h"
#include "shell/message_bar.h"
#include "shell/progress_indicator.h"
#include "shell/status_panels.h"

namespace pagesift {
namespace {

QPushButton* pictureButton(QWidget* parent, const QIcon& icon, const QString& tip, const QSize& pictureSize) {
  auto* button = new QPushButton(parent);
  button->setIcon(icon);
  button->setIconSize(pictureSize);
  button->setToolTip(tip);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSizeF(8.25);
  button->setFont(font);
  return button;
}

QIcon themeIcon(const char* themeName, const char* fallback) {
  return QIcon::fromTheme(QLatin1String(themeName),
                          QIcon(QStringLiteral(":/pagesift/icons/%1").arg(QLatin1String(fallback))));
}

// The items of `menu`, each made at its index (menu_items.h).
QList<QAction*> menuItems(QMenu* menu, std::initializer_list<std::pair<int, QString>> items) {
  QList<QAction*> actions;
  for (const auto& [index, caption] : items) {
    Q_ASSERT(index == actions.size());
    actions.append(menu->addAction(caption));
  }
  return actions;
}

}  // namespace

void Form1Ui::setupUi(QMainWindow* window, const BrowserPaneFactory& makePane) {
  window->setWindowTitle(QStringLiteral("Form1"));
  window->setWindowIcon(QIcon(QStringLiteral(":/pagesift/icons/pagesift.png")));
  QFont font(QStringLiteral("Verdana"));
  font.setPointSizeF(8.25);
  window->setFont(font);
  client = new QWidget(window);
  window->setCentralWidget(client);
  createToolBar();
  createAddressRow();
  createViews(makePane);
  createStatusBar();
  createMenus(window);
  window->resize(twipsToPixels(12135), twipsToPixels(11100) + window->menuBar()->sizeHint().height());
}

void Form1Ui::createToolBar() {
  const QSize picture(24, 24);
  cmbBack = pictureButton(client, themeIcon("go-previous", "back.png"), QStringLiteral("Back"), picture);
  cmdForward = pictureButton(client, themeIcon("go-next", "forward.png"), QStringLiteral("Forward"), picture);
  cmdStop = pictureButton(client, themeIcon("process-stop", "stop.png"), QStringLiteral("Stop"), picture);
  cmdRefresh[0] = pictureButton(client, themeIcon("view-refresh", "refresh.png"), QStringLiteral("Refresh"), picture);
  cmdBackDir = pictureButton(client, themeIcon("go-up", "up.png"), QStringLiteral("Go back a directory"), picture);
  Command1 =
      pictureButton(client, themeIcon("go-jump", "send.png"), QStringLiteral("Send Page to Browser Tab"), picture);
  placeTwips(cmbBack, 60, 60, 500, 500);
  placeTwips(cmdForward, 600, 60, 500, 500);
  placeTwips(cmdStop, 1140, 60, 500, 500);
  placeTwips(cmdRefresh[0], 1680, 60, 500, 500);
  placeTwips(cmdBackDir, 2220, 60, 500, 500);
  placeTwips(Command1, 2760, 60, 500, 500);

  cmdWebsite = new QPushButton(QStringLiteral("Visit "), client);
  placeTwips(cmdWebsite, 3300, 60, 2235, 495);
}

void Form1Ui::createAddressRow() {
  Text1 = new QLineEdit(QStringLiteral("URL:"), client);
  Text1->setFrame(false);
  Text1->setReadOnly(true);
  Text1->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
  Text1->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));
  placeTwips(Text1, 60, 660, 495, 285);

  txtUrl = new QLineEdit(client);
  placeTwips(txtUrl, 540, 600, 2715, 315);

  cmdGo = pictureButton(client, QIcon(QStringLiteral(":/pagesift/icons/go.png")), QStringLiteral("Go!"), QSize(46, 16));
  placeTwips(cmdGo, 3600, 600, 1095, 315);
}

void Form1Ui::createViews(const BrowserPaneFactory& makePane) {
  TabStrip1 = new QTabWidget(client);
  const QStringList captions = {QStringLiteral("Browser"), QStringLiteral("Source Code"), QStringLiteral("Images")};
  const QStringList tips = {QStringLiteral("Browser Identical to Internet Explorer"),
                            QStringLiteral("View the Source Code of the Current Page"),
                            QStringLiteral("Displays All Images and Links to Images on the Current Page")};
  for (int tab = 0; tab < captions.size(); ++tab) {
    TabStrip1->addTab(new QWidget, captions[tab]);
    TabStrip1->setTabToolTip(tab, tips[tab]);
  }
  placeTwips(TabStrip1, 0, 960, 10215, 7875);

  const TwipsRect designed[] = {{360, 3420, 2595, 1155}, {300, 4680, 2655, 1095}, {360, 5940, 2595, 1155}};
  for (int index = 0; index < kPaneCount; ++index) {
    wb[index] = makePane(index, index == kBrowserPane ? PaneRole::kBrowsing : PaneRole::kGeneratedView, client);
    QWidget* pane = wb[index]->widget();
    placeTwips(pane, designed[index].left, designed[index].top, designed[index].width, designed[index].height);
    pane->raise();  // the panes lie on top of the tab strip
  }
  messageBar = new MessageBar(client);  // hidden until a page sends a message
  findBar = new FindBar(client);        // hidden until Find
}

void Form1Ui::createStatusBar() {
  sb1 = new StatusPanels(client);
  placeTwips(sb1, 0, 10785, 12135, 315);
  pb1 = new ProgressIndicator(client);
  placeTwips(pb1, 840, 10800, 1935, 315);
  pb1->raise();
}

void Form1Ui::createMenus(QMainWindow* window) {
  QMenuBar* bar = window->menuBar();
  mnuFile = bar->addMenu(QStringLiteral("&File"));
  mnuFileItem = menuItems(mnuFile, {{kFileExit, QStringLiteral("Exit")}});

  mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
  addFindItems(mnuEdit, findZoom);

  mnuGo = bar->addMenu(QStringLiteral("&Go"));
  mnuGoItem = menuItems(mnuGo, {{kGoBack, QStringLiteral("Back")},
                                {kGoForward, QStringLiteral("Forward")},
                                {kGoStop, QStringLiteral("Stop")},
                                {kGoRefresh, QStringLiteral("Refresh")},
                                {kGoBackDirectory, QStringLiteral("Back a Directory")},
                                {kGoSendPage, QStringLiteral("Send Page to Browser Tab")}});
  mnuGoItem[kGoBack]->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  mnuGoItem[kGoForward]->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  mnuGoItem[kGoStop]->setShortcut(QKeySequence(Qt::Key_Escape));
  mnuGoItem[kGoRefresh]->setShortcut(QKeySequence(Qt::Key_F5));
  mnuGoItem[kGoBackDirectory]->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));

  mnuView = bar->addMenu(QStringLiteral("&View"));
  mnuViewItem = menuItems(mnuView, {{kViewBrowser, QStringLiteral("Browser")},
                                    {kViewSourceCode, QStringLiteral("Source Code")},
                                    {kViewImages, QStringLiteral("Images")},
                                    {kViewWebsite, QStringLiteral("Website")}});

  mnuTools = bar->addMenu(QStringLiteral("&Tools"));
  mnuToolsItem = menuItems(mnuTools, {{kToolsAdd, QStringLiteral("Add program to IE Tools Menu")},
                                      {kToolsRemove, QStringLiteral("Remove Program from IE Tools Menu")}});

  mnuPage = bar->addMenu(QStringLiteral("&Page"));
  mnuPageItem = menuItems(mnuPage, {{kPageEveryImage, QStringLiteral("Every Image...")},
                                    {kPageCopyImageAddresses, QStringLiteral("Copy Image Addresses")},
                                    {kPageSaveAllImages, QStringLiteral("Save All Images...")}});
  mnuPageItem[kPageEveryImage]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  mnuPage->addSeparator();
  addZoomItems(mnuPage, findZoom);
  mnuPage->addSeparator();
  pageSourceItem = addCommand(mnuPage, QStringLiteral("Page Source"), {QKeySequence(Qt::CTRL | Qt::Key_U)},
                              QStringLiteral("Show the HTML of the Browser view's page as the server sent it"));
  mnuPage->addSeparator();
  printItem = addCommand(mnuPage, QStringLiteral("Print..."),
                         commandKeys(QKeySequence::Print, {QKeySequence(Qt::CTRL | Qt::Key_P)}),
                         QStringLiteral("Print the page on show"));
  saveAsPdfItem = addCommand(mnuPage, QStringLiteral("Save as PDF..."), {},
                             QStringLiteral("Save the page on show as a PDF document"));
  savePageAsItem = addCommand(mnuPage, QStringLiteral("Save Page As..."),
                              commandKeys(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)}),
                              QStringLiteral("Save the Browser view's page as HTML, alone or with its files"));

  mnuHelp = bar->addMenu(QStringLiteral("&Help"));
  mnuHelpItem = menuItems(mnuHelp, {{kHelpView, QStringLiteral("View Help")}});

  focusAddress = new QAction(window);
  focusAddress->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  window->addAction(focusAddress);
}

}  // namespace pagesift
