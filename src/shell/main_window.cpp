// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>

#include "analysis/url_helpers.h"
#include "platform/product_information.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "shell/find_bar.h"
#include "shell/layout_arithmetic.h"
#include "shell/menu_items.h"
#include "shell/message_bar.h"
#include "shell/mod_product_info.h"
#include "shell/page_output.h"
#include "shell/page_processor.h"
#include "shell/page_source_window.h"
#include "shell/pane_context_menu.h"
#include "shell/progress_indicator.h"
#include "shell/status_panels.h"

namespace pagesift {
namespace {

constexpr int kEnterKey = 13;
constexpr double kStatusBarHeight = 315;         // twips
constexpr int kNoticeMilliseconds = 2000;        // the zoom
constexpr int kResultNoticeMilliseconds = 5000;  // how printing and saving went

template <typename Handler>
void connectItems(const QList<QAction*>& items, QObject* context, Handler handler) {
  for (int index = 0; index < items.size(); ++index) {
    QObject::connect(items[index], &QAction::triggered, context, [handler, index] { handler(index); });
  }
}

}  // namespace

Form1::Form1(const QString& programFolder, const BrowserPaneFactory& makePane)
    : programFolder_(programFolder), makePane_(makePane) {
  setAttribute(Qt::WA_DeleteOnClose);
  ui_.setupUi(this, makePane);
  processor_ = new PageProcessor(ui_.wb[kBrowserPane], this);
  connect(processor_, &PageProcessor::viewsWritten, this, &Form1::showAnalysedPage);
  output_ = new PageOutput(this, [this](const QString& text) { showNotice(text, kResultNoticeMilliseconds); });
  notice_ = new QTimer(this);
  notice_->setSingleShot(true);
  connect(notice_, &QTimer::timeout, this, [this] { ui_.sb1->setPanelText(1, statusText_); });
  connectControls();
  connectPageCommands();
}

// A page being destroyed answers its outstanding body capture (with no text).
// The page processor therefore goes first, so that such an answer is
// ignored (the analysis would read the panes being destroyed), and then the
// panes, while the window is still whole.
Form1::~Form1() {
  delete processor_;
  delete pageSource_.data();
  delete ui_.client;
}

void Form1::connectControls() {
  connect(ui_.cmbBack, &QPushButton::clicked, this, &Form1::cmbBack_Click);
  connect(ui_.cmdForward, &QPushButton::clicked, this, &Form1::cmdForward_Click);
  connect(ui_.cmdStop, &QPushButton::clicked, this, &Form1::cmdStop_Click);
  connect(ui_.cmdRefresh[0], &QPushButton::clicked, this, [this] { cmdRefresh_Click(0); });
  connect(ui_.cmdBackDir, &QPushButton::clicked, this, &Form1::cmdBackDir_Click);
  connect(ui_.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(ui_.cmdWebsite, &QPushButton::clicked, this, &Form1::cmdWebsite_Click);
  connect(ui_.cmdGo, &QPushButton::clicked, this, &Form1::cmdGo_Click);
  connect(ui_.txtUrl, &QLineEdit::returnPressed, this, [this] {
    int key = kEnterKey;
    txtUrl_KeyPress(key);
  });
  connect(ui_.TabStrip1, &QTabWidget::currentChanged, this, &Form1::TabStrip1_Click);
  connect(ui_.focusAddress, &QAction::triggered, this, [this] {
    ui_.txtUrl->setFocus(Qt::ShortcutFocusReason);
    ui_.txtUrl->selectAll();
  });

  connectItems(ui_.mnuFileItem, this, [this](int index) { mnuFileItem_Click(index); });
  connectItems(ui_.mnuGoItem, this, [this](int index) { mnuGoItem_Click(index); });
  connectItems(ui_.mnuViewItem, this, [this](int index) { mnuViewItem_Click(index); });
  connectItems(ui_.mnuToolsItem, this, [this](int index) { mnuToolsItem_Click(index); });
  connectItems(ui_.mnuPageItem, this, [this](int index) { mnuPageItem_Click(index); });
  connectItems(ui_.mnuHelpItem, this, [this](int index) { mnuHelpItem_Click(index); });

  for (BrowserPane* pane : ui_.wb) {
    connect(pane, &BrowserPane::StatusTextChange, this, &Form1::wb_StatusTextChange);
    connect(pane, &BrowserPane::ProgressChange, this, &Form1::wb_ProgressChange);
    connect(pane, &BrowserPane::DownloadComplete, this, &Form1::wb_DownloadComplete);
    connect(pane, &BrowserPane::TitleChange, this, &Form1::wb_TitleChange);
    connect(pane, &BrowserPane::pageMessage, this, &Form1::wb_pageMessage);
    connect(pane, &BrowserPane::rendererStopped, this, &Form1::wb_rendererStopped);
    connect(pane, &BrowserPane::addressRefused, this, &Form1::wb_addressRefused);
  }
  connect(ui_.messageBar, &MessageBar::silenceRequested, this, [this] { ui_.wb[kBrowserPane]->silencePageMessages(); });
}

void Form1::Form_Load(const QString& startAddress) {
  ui_.cmdWebsite->setText(QStringLiteral("Visit ") + modProductInfo::strWebsite);
  ui_.mnuViewItem[kViewWebsite]->setText(modProductInfo::strWebsite);
  // The settings lookup asks for the product name itself, not the shared string.
  const SettingsStore settings(readExecutableProductInformation().productName);
  if (settings.read(kSettingsSection, kShowHelpKey, kShowHelpDefault) == QLatin1String("1") && commands_.showHelp) {
    commands_.showHelp();
  }
  processor_->setWorkingFolder(prepareWorkingFolder(programFolder_));
  for (BrowserPane* pane : ui_.wb) pane->setWorkingFolder(processor_->workingFolder());
  ui_.sb1->addPanel();
  ShowPane(kBrowserPane);
  if (startAddress.isEmpty()) {
    ui_.wb[kBrowserPane]->GoHome();
  } else {
    ui_.wb[kBrowserPane]->Navigate(startAddress);
  }
}

void Form1::openAddress(const QString& address) {
  SelectView(kBrowserPane);
  ui_.txtUrl->setText(address);
  cmdGo_Click();
}

void Form1::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void Form1::Form_Unload() {
  if (commands_.unloadOtherWindows) commands_.unloadOtherWindows();
  if (pageSource_) pageSource_->close();
  stopAllPanes();
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutControls();
}

void Form1::LayoutControls() {
  // The status bar lies along the bottom edge of the client area by itself.
  const QWidget* client = ui_.client;
  const int statusBarHeight = twipsToPixels(kStatusBarHeight);
  ui_.sb1->setGeometry(0, client->height() - statusBarHeight, client->width(), statusBarHeight);

  const QSize frame = frameGeometry().size() - geometry().size();
  LayoutInput input{};
  input.windowWidth = (width() + frame.width()) * kTwipsPerPixel;
  input.windowHeight = (height() + frame.height()) * kTwipsPerPixel;
  input.statusBarTop = ui_.sb1->y() * kTwipsPerPixel;
  input.statusBarHeight = ui_.sb1->height() * kTwipsPerPixel;
  input.goButtonWidth = ui_.cmdGo->width() * kTwipsPerPixel;
  const Layout layout = computeLayout(input);

  placeTwips(ui_.TabStrip1, layout.tabStrip.left, layout.tabStrip.top, layout.tabStrip.width, layout.tabStrip.height);
  for (BrowserPane* pane : ui_.wb) {
    placeTwips(pane->widget(), layout.pane.left, layout.pane.top, layout.pane.width, layout.pane.height);
  }
  if (!ui_.findBar->isHidden()) {  // the find bar takes the views' bottom edge
    const QRect views = ui_.wb[kBrowserPane]->widget()->geometry();
    const int barHeight = ui_.findBar->sizeHint().height();
    for (BrowserPane* pane : ui_.wb) pane->widget()->resize(views.width(), views.height() - barHeight);
    ui_.findBar->setGeometry(views.left(), views.bottom() + 1 - barHeight, views.width(), barHeight);
  }
  const QRect pane = ui_.wb[kBrowserPane]->widget()->geometry();
  ui_.messageBar->setGeometry(pane.left(), pane.top(), pane.width(), ui_.messageBar->sizeHint().height());
  ui_.sb1->setPanelWidth(1, twipsToPixels(layout.panel1Width));
  if (ui_.sb1->panelCount() >= 2) ui_.sb1->setPanelWidth(2, twipsToPixels(layout.panel2Width));
  placeTwips(ui_.pb1, layout.progressBar.left, layout.progressBar.top, layout.progressBar.width,
             layout.progressBar.height);
  ui_.txtUrl->resize(twipsToPixels(layout.addressWidth), ui_.txtUrl->height());
  ui_.cmdWebsite->resize(twipsToPixels(layout.websiteButtonWidth), ui_.cmdWebsite->height());
  ui_.cmdGo->move(twipsToPixels(layout.goButtonLeft), ui_.cmdGo->y());
}

void Form1::stopAllPanes() {
  for (BrowserPane* pane : ui_.wb) pane->Stop();
}

void Form1::cmbBack_Click() {
  stopAllPanes();
  const int index = VisiblePaneIndex();
  if (index < kPaneCount) ui_.wb[index]->GoBack();  // nothing to go back to: skipped
}

void Form1::cmdForward_Click() {
  stopAllPanes();
  const int index = VisiblePaneIndex();
  if (index < kPaneCount) ui_.wb[index]->GoForward();
}

void Form1::cmdStop_Click() { stopAllPanes(); }

void Form1::cmdRefresh_Click(int) {
  refusal_.clear();  // the user asks for the page on show again
  stopAllPanes();
  SelectView(kBrowserPane);
  ui_.wb[kBrowserPane]->Refresh();
  ProcessPage();
}

void Form1::cmdGo_Click() { ui_.wb[kBrowserPane]->Navigate(ui_.txtUrl->text()); }

void Form1::txtUrl_KeyPress(int& keyAscii) {
  if (keyAscii == kEnterKey) cmdGo_Click();
}

void Form1::cmdBackDir_Click() {
  ui_.txtUrl->setText(QString::fromStdString(UrlDirectory(ui_.txtUrl->text().toStdString())));
  cmdGo_Click();
  SelectView(kBrowserPane);
}

// Only the panes that change: the one to show comes up first, so that the
// focus leaving a covered pane can land in it.
void Form1::ShowPane(int index) {
  BrowserPane* shown = ui_.wb[index];
  if (!shown->Visible()) {
    shown->setVisible(true);
    ui_.messageBar->raise();  // the bars lie over the views
    ui_.findBar->raise();
  }
  for (BrowserPane* pane : ui_.wb) {
    if (pane != shown && pane->Visible()) pane->setVisible(false);
  }
  viewShown();
}

void Form1::SelectView(int index) {
  ui_.TabStrip1->setCurrentIndex(index);  // a new tab shows its pane already (TabStrip1_Click)
  ShowPane(index);
}

int Form1::VisiblePaneIndex() const {
  int index = kPaneCount;  // names no pane
  for (int i = 0; i < kPaneCount; ++i) {
    if (ui_.wb[i]->Visible()) index = i;
  }
  return index;
}

void Form1::TabStrip1_Click() { ShowPane(ui_.TabStrip1->currentIndex()); }

void Form1::Command1_Click() {
  const int index = VisiblePaneIndex();
  sendToBrowser(index < kPaneCount ? ui_.wb[index]->LocationURL() : ui_.txtUrl->text());
}

void Form1::sendToBrowser(const QString& address) {
  stopAllPanes();
  ui_.txtUrl->setText(address);
  SelectView(kBrowserPane);
  ui_.wb[kBrowserPane]->Navigate(ui_.txtUrl->text());
}

void Form1::cmdWebsite_Click() {
  if (commands_.showWebsite) commands_.showWebsite();
}

void Form1::mnuFileItem_Click(int) { close(); }

void Form1::mnuGoItem_Click(int index) {
  switch (index) {
    case kGoBack: cmbBack_Click(); break;
    case kGoForward: cmdForward_Click(); break;
    case kGoStop: cmdStop_Click(); break;
    case kGoRefresh: cmdRefresh_Click(0); break;
    case kGoBackDirectory: cmdBackDir_Click(); break;
    case kGoSendPage: Command1_Click(); break;
    default: break;
  }
}

void Form1::mnuViewItem_Click(int index) {
  if (index >= kViewWebsite) {
    cmdWebsite_Click();
  } else {
    SelectView(index);
  }
}

void Form1::mnuToolsItem_Click(int index) {
  if (index == kToolsAdd && commands_.addToToolsMenu) commands_.addToToolsMenu();
  if (index == kToolsRemove && commands_.removeFromToolsMenu) commands_.removeFromToolsMenu();
}

void Form1::mnuPageItem_Click(int index) {
  const std::function<void()>* commands[kPageItemCount] = {};
  commands[kPageEveryImage] = &commands_.showEveryImage;
  commands[kPageCopyImageAddresses] = &commands_.copyImageAddresses;
  commands[kPageSaveAllImages] = &commands_.saveAllImages;
  if (index >= 0 && index < kPageItemCount && *commands[index]) (*commands[index])();
}

void Form1::mnuHelpItem_Click(int) {
  if (commands_.showHelp) commands_.showHelp();
}

void Form1::wb_StatusTextChange(int, const QString& text) { showStatus(text); }

void Form1::wb_ProgressChange(int index, int progress, int maximum) {
  if (index != kBrowserPane || maximum == 0) return;
  if (!ui_.pb1->setMaxValue(static_cast<float>(maximum))) return;  // a range the bar refuses is left alone
  ui_.pb1->setCurrentValue(progress > maximum || progress <= 0 ? 0.01 : progress);
}

void Form1::wb_DownloadComplete(int index) {
  if (index == kBrowserPane) {
    processor_->pageLoaded();
    ProcessPage();
  } else if (noticeLoads_ > 0) {
    --noticeLoads_;
    showStatus(viewsNotice_);  // over the view's own "Done"
  }
}

void Form1::wb_TitleChange(int index, const QString&) {
  if (index != kBrowserPane) return;
  ui_.txtUrl->setText(ui_.wb[kBrowserPane]->LocationURL());
  setWindowTitle(modProductInfo::strProductName + QStringLiteral(" by ") + modProductInfo::strCompanyName +
                 QStringLiteral(" - ") + ui_.wb[kBrowserPane]->LocationName());
}

// Only the Browser view runs script; the website window's messages go to no one.
void Form1::wb_pageMessage(int index, const QString& source, const QString& message) {
  if (index == kBrowserPane) ui_.messageBar->showMessage(source, message);
}

// The pane shows that it stopped; the status bar says which view it is.
void Form1::wb_rendererStopped(int index, const QString& reason) {
  if (index == kBrowserPane) processor_->rendererEnded();
  if (index < kPaneCount) {
    showStatus(QStringLiteral("The %1 view stopped: %2. Refresh to load it again.")
                   .arg(ui_.TabStrip1->tabText(index).remove(QLatin1Char('&')), reason));
  }
}

// Its status text has said it already; it is said again after the page on
// show is analysed (Send Page stops that page, whose load then ends).
void Form1::wb_addressRefused(int index, const QString& message) {
  if (index != kBrowserPane) return;
  refusal_ = message;
  refusalPage_ = ui_.wb[kBrowserPane]->LocationURL();
}

void Form1::ProcessPage() { processor_->ProcessPage(); }

void Form1::showAnalysedPage(const QString& sourcePage, const QString& imagePage, const QString& notice) {
  viewsNotice_ = notice;
  if (viewsNotice_.isEmpty() && refusalPage_ == ui_.wb[kBrowserPane]->LocationURL()) viewsNotice_ = refusal_;
  refusal_.clear();
  refusalPage_.clear();
  noticeLoads_ = viewsNotice_.isEmpty() ? 0 : 2;
  if (!viewsNotice_.isEmpty()) showStatus(viewsNotice_);
  ui_.wb[kSourcePane]->Navigate(sourcePage);
  ui_.wb[kImagesPane]->Navigate(imagePage);
  emit pageProcessed();
}

void Form1::connectPageCommands() {
  const FindZoomItems& items = ui_.findZoom;
  connect(items.find, &QAction::triggered, this, &Form1::findInPage);
  connect(items.findNext, &QAction::triggered, this, &Form1::findNext);
  connect(items.findPrevious, &QAction::triggered, this, &Form1::findPrevious);
  connect(items.zoomIn, &QAction::triggered, this, &Form1::zoomIn);
  connect(items.zoomOut, &QAction::triggered, this, &Form1::zoomOut);
  connect(items.actualSize, &QAction::triggered, this, &Form1::actualSize);
  connect(ui_.pageSourceItem, &QAction::triggered, this, &Form1::showPageSource);
  connect(ui_.printItem, &QAction::triggered, this, &Form1::printPage);
  connect(ui_.saveAsPdfItem, &QAction::triggered, this, &Form1::savePageAsPdf);
  connect(ui_.savePageAsItem, &QAction::triggered, this, &Form1::savePageAs);
  connect(ui_.findBar, &FindBar::placeChanged, this, &Form1::LayoutControls);
  for (QWidget* edit : {static_cast<QWidget*>(ui_.txtUrl), static_cast<QWidget*>(ui_.findBar->textBox())}) {
    passKeysToWindow(edit, ui_.pageSourceItem);
  }
  for (BrowserPane* pane : ui_.wb) {
    connect(pane, &BrowserPane::historyChanged, this, &Form1::updateBackForward);
    // A new page in the view on show ends its search.
    connect(pane, &BrowserPane::DownloadComplete, this, [this](int index) {
      if (index == VisiblePaneIndex()) ui_.findBar->clearResult();
    });
    attachContextMenu(pane);
  }
  // The Page Source window follows the Browser view while it is open.
  connect(ui_.wb[kBrowserPane], &BrowserPane::DownloadComplete, this, [this] {
    if (pageSource_) pageSource_->showSourceOf(ui_.wb[kBrowserPane]->LocationURL());
  });
}

// Menu items report their status tips here: they show in the first panel.
bool Form1::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    ui_.sb1->setPanelText(1, tip.isEmpty() ? statusText_ : tip);
    return true;
  }
  return QMainWindow::event(event);
}

BrowserPane* Form1::shownPane() const {
  const int index = VisiblePaneIndex();
  return ui_.wb[index < kPaneCount ? index : kBrowserPane];
}

// Back and Forward follow the history of the view on show; the find bar
// searches it.
void Form1::viewShown() {
  updateBackForward();
  ui_.findBar->setPane(shownPane());
}

void Form1::updateBackForward() {
  const int index = VisiblePaneIndex();
  const bool back = index < kPaneCount && ui_.wb[index]->canGoBack();
  const bool forward = index < kPaneCount && ui_.wb[index]->canGoForward();
  ui_.cmbBack->setEnabled(back);
  ui_.mnuGoItem[kGoBack]->setEnabled(back);
  ui_.cmdForward->setEnabled(forward);
  ui_.mnuGoItem[kGoForward]->setEnabled(forward);
}

void Form1::showStatus(const QString& text) {
  statusText_ = text;
  if (!notice_->isActive()) ui_.sb1->setPanelText(1, text);
}

void Form1::showNotice(const QString& text, int milliseconds) {
  ui_.sb1->setPanelText(1, text);
  notice_->start(milliseconds);
}

void Form1::findInPage() {
  ui_.findBar->setPane(shownPane());
  ui_.findBar->openBar();
}

void Form1::findNext() {
  ui_.findBar->setPane(shownPane());
  ui_.findBar->findNext();
}

void Form1::findPrevious() {
  ui_.findBar->setPane(shownPane());
  ui_.findBar->findPrevious();
}

void Form1::zoomShownPane(int direction) {
  BrowserPane* pane = shownPane();
  const double factor = nextZoomFactor(pane->zoomFactor(), direction);
  pane->setZoomFactor(factor);
  showNotice(zoomText(factor), kNoticeMilliseconds);
}

void Form1::zoomIn() { zoomShownPane(1); }

void Form1::zoomOut() { zoomShownPane(-1); }

void Form1::actualSize() { zoomShownPane(0); }

void Form1::showPageSource() {
  if (!pageSource_) {
    pageSource_ = new PageSourceWindow(makePane_, nullptr);
    pageSource_->setGeometry(geometry().adjusted(40, 40, 0, 0));
    attachContextMenu(pageSource_->pane());
  }
  pageSource_->showSourceOf(ui_.wb[kBrowserPane]->LocationURL());
  pageSource_->show();
  pageSource_->raise();
  pageSource_->activateWindow();
}

PageSourceWindow* Form1::pageSourceWindow() const { return pageSource_; }

void Form1::printPage() { output_->print(shownPane()); }

void Form1::savePageAsPdf() { output_->saveAsPdf(shownPane()); }

void Form1::savePageAs() { output_->savePage(ui_.wb[kBrowserPane]); }

void Form1::attachContextMenu(BrowserPane* pane) {
  const QPointer<BrowserPane> target(pane);
  connect(pane, &BrowserPane::contextMenuRequested, this, [this, target](int, const PaneContextRequest& request) {
    if (!target) return;
    const PaneMenuCommands commands{[this](const QString& address) { sendToBrowser(address); }, commands_.saveImageAs,
                                    [this] { showPageSource(); }};
    QMenu* menu = makePaneContextMenu(target, request, commands, target->widget());
    menu->popup(target->widget()->mapToGlobal(request.position));
  });
}

}  // namespace pagesift
