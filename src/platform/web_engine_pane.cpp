// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/web_engine_pane.h"

#include <algorithm>

#include <QAction>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMetaMethod>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include "platform/address_policy.h"
#include "platform/download_router.h"
#include "platform/image_request_log.h"
#include "platform/pane_notice.h"
#include "platform/program_folder.h"

namespace pagesift {

// The page of one pane: every navigation passes here before it starts, and
// the page's dialogs are answered here without letting the page lock the
// window.
class PanePage : public QWebEnginePage {
 public:
  PanePage(QWebEngineProfile* profile, WebEnginePane* pane, QObject* parent)
      : QWebEnginePage(profile, parent), pane_(pane) {}

 protected:
  // Every main-frame navigation comes through here (typed, link, Back and
  // Forward, reload, redirect) before its request is made, so the settings
  // switched here are in effect when the document loads.
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (!pane_) return false;  // the pane is going
    return isMainFrame ? pane_->acceptMainFrame(url) : pane_->acceptSubframe(url);
  }

  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override {
    if (!pane_ || pane_->dialogGate_.silenced()) return;
    emit pane_->pageMessage(pane_->index(), pageMessageSource(securityOrigin), msg);
  }

  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override {
    return ask(securityOrigin, msg, std::nullopt).has_value();
  }

  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override {
    const std::optional<QString> answer = ask(securityOrigin, msg, defaultValue);
    if (answer && result) *result = *answer;
    return answer.has_value();
  }

 private:
  std::optional<QString> ask(const QUrl& securityOrigin, const QString& msg,
                             const std::optional<QString>& promptValue) {
    if (!pane_ || pane_->dialogGate_.silenced()) return std::nullopt;
    QPointer<QWebEnginePage> self(this);
    bool silence = false;
    std::optional<QString> answer =
        askForPage(pane_->view_, pageMessageSource(securityOrigin), msg, promptValue, &silence);
    if (!self || !pane_) return std::nullopt;  // closed while the dialog was open
    if (silence) pane_->dialogGate_.silence(url());
    return answer;
  }

  QPointer<WebEnginePane> pane_;
};

namespace {

// Links that ask for a new window open in the pane itself; the context
// menu is the pane's.
class PaneView : public QWebEngineView {
 public:
  using QWebEngineView::QWebEngineView;

  std::function<void(const QPoint& globalPosition)> showContextMenu;

 protected:
  QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (showContextMenu) showContextMenu(event->globalPos());
  }
};

// The engine's context-menu entries that cannot work here: the program
// refuses the downloads they start, and page source or inspection would
// replace the pane's page with one that cannot go back.
constexpr QWebEnginePage::WebAction kUnusableEntries[] = {
    QWebEnginePage::SavePage,
    QWebEnginePage::DownloadImageToDisk,
    QWebEnginePage::DownloadLinkToDisk,
    QWebEnginePage::DownloadMediaToDisk,
    QWebEnginePage::ViewSource,
    QWebEnginePage::InspectElement,
    QWebEnginePage::OpenLinkInNewWindow,
    QWebEnginePage::OpenLinkInNewTab,
    QWebEnginePage::OpenLinkInNewBackgroundTab,
};

// The zoom range the engine accepts.
constexpr double kMinimumZoom = 0.25;
constexpr double kMaximumZoom = 5.0;

// The Source Code view's style: the system's fixed font, white space kept,
// long lines wrapped anywhere.
QString sourceStyleSheet() {
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QString family = font.family();
  family.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
  family.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
  const QString size = font.pointSizeF() > 0 ? QString::number(font.pointSizeF()) + QLatin1String("pt")
                                             : QString::number(font.pixelSize()) + QLatin1String("px");
  return QStringLiteral(
             "body { font-family: \"%1\", monospace; font-size: %2; white-space: pre-wrap; "
             "overflow-wrap: anywhere; }")
      .arg(family, size);
}

QString loadStateText(const QWebEngineLoadingInfo& info) {
  const QString address = info.url().toDisplayString();
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus: return QObject::tr("Opening %1...").arg(address);
    case QWebEngineLoadingInfo::LoadSucceededStatus: return QObject::tr("Done");
    case QWebEngineLoadingInfo::LoadStoppedStatus: return QObject::tr("Stopped");
    case QWebEngineLoadingInfo::LoadFailedStatus:
      return QObject::tr("Could not open %1: %2").arg(address, info.errorString());
  }
  return {};
}

}  // namespace

WebEnginePane::WebEnginePane(int index, PaneRole role, const Context& context, QWidget* parent)
    : BrowserPane(index, parent),
      context_(context),
      role_(settingsRole(role)),
      appliedRole_(role_),
      view_(new PaneView(parent)),
      page_(new PanePage(context.profile, this, view_)),
      stoppedNotice_(new PaneNotice(view_)) {
  view_->setPage(page_);
  applyEngineSettings(page_->settings(), role_);
  static_cast<PaneView*>(view_)->showContextMenu = [this](const QPoint& at) { showContextMenu(at); };
  connectEngineEvents();
  connectDownloads();
  connectRenderProcess();
}

void WebEnginePane::connectRenderProcess() {
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
            rendererStopped_ = true;
            const QString ending = renderProcessEnding(status, exitCode);
            stoppedNotice_->showText(stoppedViewText(ending));
            emit rendererStopped(index(), ending);
          });
}

void WebEnginePane::connectEngineEvents() {
  connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    const bool ended = info.status() != QWebEngineLoadingInfo::LoadStartedStatus;
    if (ended && blankFirst_ && view_->url() != QUrl(QStringLiteral("about:blank"))) {
      blankFirst_ = false;
      view_->history()->clear();  // all but the page on show
    }
    if (ended && role_ == PaneRole::kBrowsing && isWorkingFileUrl(view_->url(), workingFolder_)) {
      // A navigation away from a working file that did not happen (stopped,
      // refused, a download): the working file stays on show, inert again.
      applySettingsFor(PaneRole::kGeneratedView);
    }
    // A load after the end ran in a new process, which shows its page
    // (renderProcessPidChanged does not tell, seen on Qt WebEngine 6.4).
    if (rendererStopped_ && (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                             info.status() == QWebEngineLoadingInfo::LoadFailedStatus)) {
      rendererStopped_ = false;
      stoppedNotice_->hide();
    }
    // A navigation the pane refused starts and stops without a word: the
    // refusal stays on show.
    if (!refusedNavigation_.isEmpty() && info.url() == refusedNavigation_) {
      if (ended) refusedNavigation_.clear();
      return;
    }
    // A navigation the engine drops by itself (a download, a "no content"
    // answer, a newer navigation) leaves the document as it was: nothing to
    // report, so a refused download's message stays on show. The engine
    // reports it as a stop nobody asked for (seen on Qt WebEngine 6.4).
    const bool stopAsked = std::exchange(stopAsked_, false);
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus && !stopAsked) return;
    // A refusal stays on show over the end of a load that started before it
    // (Send Page stops the page on show, whose load then ends).
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) refusalOnShow_ = false;
    if (!refusalOnShow_) {
      loadStateText_ = loadStateText(info);
      emit StatusTextChange(index(), loadStateText_);
    }
    if (ended) emit DownloadComplete(index());
  });
  // Every load the engine starts, from whatever cause, it reports ended once.
  connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
      loadComing_ = false;
      ++loadsUnderWay_;
    } else if (loadsUnderWay_ > 0) {
      --loadsUnderWay_;
    }
    placeView();
  });
  connect(page_, &QWebEnginePage::linkHovered, this,
          [this](const QString& url) { emit StatusTextChange(index(), url.isEmpty() ? loadStateText_ : url); });
  connect(page_, &QWebEnginePage::loadProgress, this,
          [this](int progress) { emit ProgressChange(index(), progress, 100); });
  connect(page_, &QWebEnginePage::titleChanged, this,
          [this](const QString& title) { emit TitleChange(index(), title); });
  connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl&) { emit TitleChange(index(), LocationName()); });
  // The engine keeps its Back and Forward actions in step with the history.
  for (const QWebEnginePage::WebAction action : {QWebEnginePage::Back, QWebEnginePage::Forward}) {
    connect(page_->action(action), &QAction::changed, this, [this] { emit historyChanged(index()); });
  }
  connect(page_, &QWebEnginePage::urlChanged, this, [this] { emit historyChanged(index()); });
  connect(view_, &QWebEngineView::printFinished, this, &WebEnginePane::printingEnded);
  connect(page_, &QWebEnginePage::pdfPrintingFinished, this, [this](const QString&, bool ok) { printingEnded(ok); });
}

bool WebEnginePane::acceptMainFrame(const QUrl& url) {
  const QString refusal = addressRefusal(url, role_);
  if (!refusal.isEmpty()) {
    refusedNavigation_ = url;
    refuseAddress(url.toDisplayString(), refusal);
    return false;
  }
  dialogGate_.mainFrameLoading(url);
  if (role_ == PaneRole::kBrowsing) {
    applySettingsFor(isWorkingFileUrl(url, workingFolder_) ? PaneRole::kGeneratedView : PaneRole::kBrowsing);
  }
  return true;
}

// A working file never loads as a frame of a page that runs script.
bool WebEnginePane::acceptSubframe(const QUrl& url) const {
  return appliedRole_ != PaneRole::kBrowsing || !isWorkingFileUrl(url, workingFolder_);
}

// The message stays on show as the pane's load state, like a refused
// download's; the engine reports the refused navigation as a stop of its own
// (seen on Qt WebEngine 6.4).
void WebEnginePane::refuseAddress(const QString& shownAddress, const QString& refusal) {
  loadStateText_ = refusalMessage(shownAddress, refusal);
  refusalOnShow_ = true;
  emit StatusTextChange(index(), loadStateText_);
  emit addressRefused(index(), loadStateText_);
}

void WebEnginePane::applySettingsFor(PaneRole role) {
  if (role == appliedRole_) return;
  appliedRole_ = role;
  applyEngineSettings(page_->settings(), role);
}

void WebEnginePane::connectDownloads() {
  DownloadRouter::of(context_.profile)->refuseFor(page_, this, [this](const QUrl& address) {
    loadStateText_ = tr("PageSift does not download files: %1").arg(address.toDisplayString());
    emit StatusTextChange(index(), loadStateText_);
  });
  if (index() == kBrowserPane) requestLog_ = new ImageRequestLog(page_);
}

PaneDownload* WebEnginePane::startDownload(const QUrl& url, DownloadTarget target, QObject* parent) {
  return DownloadRouter::of(context_.profile)->startDownload(page_, url, std::move(target), parent);
}

PaneDownload* WebEnginePane::archivePage(const QString& filePath, QObject* parent) {
  return DownloadRouter::of(context_.profile)->archivePage(page_, filePath, parent);
}

RequestedImages WebEnginePane::requestedImages() const {
  return requestLog_ ? requestLog_->requests() : RequestedImages();
}

PaneDownload* WebEnginePane::savePage(const QString& filePath, PageSaveFormat format, QObject* parent) {
  return DownloadRouter::of(context_.profile)
      ->savePage(page_, filePath,
                 format == PageSaveFormat::kSingleHtml ? QWebEngineDownloadRequest::SingleHtmlSaveFormat
                                                       : QWebEngineDownloadRequest::CompleteHtmlSaveFormat,
                 parent);
}

bool WebEnginePane::startPrinting(DoneCallback done) {
  if (printDone_) {
    QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
    return false;
  }
  printDone_ = std::move(done);
  return true;
}

void WebEnginePane::printingEnded(bool ok) {
  const DoneCallback done = std::exchange(printDone_, {});
  printer_.reset();
  if (done) done(ok);
}

void WebEnginePane::print(std::shared_ptr<QPrinter> printer, DoneCallback done) {
  if (!startPrinting(std::move(done))) return;
  printer_ = std::move(printer);
  view_->print(printer_.get());
}

void WebEnginePane::printToPdf(const QString& filePath, DoneCallback done) {
  if (startPrinting(std::move(done))) page_->printToPdf(filePath);
}

void WebEnginePane::showContextMenu(const QPoint& globalPosition) {
  const QWebEngineContextMenuRequest* request = view_->lastContextMenuRequest();
  if (!request) return;
  if (isSignalConnected(QMetaMethod::fromSignal(&BrowserPane::contextMenuRequested))) {
    PaneContextRequest shown;
    shown.position = request->position();
    shown.linkUrl = request->linkUrl();
    if (request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage) shown.imageUrl = request->mediaUrl();
    shown.selectedText = request->selectedText();
    emit contextMenuRequested(index(), shown);
    return;
  }
  QMenu* menu = view_->createStandardContextMenu();  // deletes itself when closed
  for (const QWebEnginePage::WebAction action : kUnusableEntries) menu->removeAction(page_->action(action));
  menu->popup(globalPosition);
}

// startRenderer's blank page is none of the user's: it is not gone back to,
// and while on show it is no address (as in a new pane).
bool WebEnginePane::canGoBack() const {
  return view_->history()->canGoBack() && !(blankFirst_ && view_->history()->currentItemIndex() == 1);
}

bool WebEnginePane::onStartBlank() const { return blankFirst_ && view_->history()->currentItemIndex() == 0; }

bool WebEnginePane::canGoForward() const { return view_->history()->canGoForward(); }

// The engine takes a search for the same text as "find next", even with
// another case rule (seen on Qt WebEngine 6.4): a change of case ends the
// search first, so that it counts again.
void WebEnginePane::findText(const QString& text, bool matchCase, bool backward, FindCallback done) {
  const auto answer = [done = std::move(done)](const QWebEngineFindTextResult& result) {
    if (done) done(result.activeMatch(), result.numberOfMatches());
  };
  if (text.isEmpty() || (text == findText_ && matchCase != findMatchCase_)) view_->findText(QString());
  findText_ = text;
  findMatchCase_ = matchCase;
  if (text.isEmpty()) {
    QTimer::singleShot(0, this, [answer] { answer({}); });
    return;
  }
  QWebEnginePage::FindFlags flags;
  if (matchCase) flags |= QWebEnginePage::FindCaseSensitively;
  if (backward) flags |= QWebEnginePage::FindBackward;
  view_->findText(text, flags, answer);
}

double WebEnginePane::zoomFactor() const { return view_->zoomFactor(); }

void WebEnginePane::setZoomFactor(double factor) {
  view_->setZoomFactor(std::clamp(factor, kMinimumZoom, kMaximumZoom));
}

void WebEnginePane::copySelection() { page_->triggerAction(QWebEnginePage::Copy); }

void WebEnginePane::selectAll() { page_->triggerAction(QWebEnginePage::SelectAll); }

// The style goes in with the document, from the isolated world, before the
// page's own markup is parsed (a script there runs with the page's script
// off, seen on Qt WebEngine 6.4); an adopted style sheet adds nothing to
// the page's markup.
void WebEnginePane::applySourceStyle() {
  const QString name = QStringLiteral("pagesift-source-style");
  QWebEngineScriptCollection& scripts = page_->scripts();
  for (const QWebEngineScript& old : scripts.find(name)) scripts.remove(old);
  if (workingFolder_.isEmpty()) return;
  const QString css = QString::fromUtf8(QJsonDocument(QJsonArray{sourceStyleSheet()}).toJson(QJsonDocument::Compact));
  QWebEngineScript script;
  script.setName(name);
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setRunsOnSubFrames(false);
  script.setSourceCode(
      QStringLiteral("if (location.protocol === 'file:' && location.pathname.endsWith('/source.htm')) {"
                     " const sheet = new CSSStyleSheet(); sheet.replaceSync(%1[0]);"
                     " document.adoptedStyleSheets = [sheet]; }")
          .arg(css));
  scripts.insert(script);
}

void WebEnginePane::startRenderer() {
  // Connected after the pane's own handlers.
  auto ends = std::make_shared<QMetaObject::Connection>();
  *ends = connect(page_, &QWebEnginePage::loadingChanged, this, [this, ends](const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    disconnect(*ends);
    rendererStarted_ = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    blankFirst_ = rendererStarted_;
  });
  page_->load(QUrl(QStringLiteral("about:blank")));
}

BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context,
                                        const std::vector<WebEnginePane*>& ahead) {
  auto waiting = std::make_shared<std::vector<QPointer<WebEnginePane>>>(ahead.begin(), ahead.end());
  return [context, waiting](int index, PaneRole role, QWidget* parent) -> BrowserPane* {
    for (QPointer<WebEnginePane>& pane : *waiting) {
      if (!pane || pane->index() != index || pane->role() != settingsRole(role)) continue;
      WebEnginePane* taken = std::exchange(pane, nullptr);
      if (!taken->rendererStarted()) {
        const QWidget* view = taken->widget();
        delete taken;  // before its view, as when its window goes
        delete view;
        break;
      }
      taken->setParent(parent);
      taken->widget()->setParent(parent);
      taken->widget()->show();  // as a new pane's view is: shown with its window
      return taken;
    }
    return new WebEnginePane(index, role, context, parent);
  };
}

std::vector<WebEnginePane*> generatedViewPanesAhead(const WebEnginePane::Context& context, QWidget* shelf) {
  std::vector<WebEnginePane*> panes;
  for (const int index : {kSourcePane, kImagesPane}) {
    panes.push_back(new WebEnginePane(index, PaneRole::kGeneratedView, context, shelf));
    panes.back()->startRenderer();
  }
  return panes;
}

QWidget* WebEnginePane::widget() const { return view_; }

void WebEnginePane::setWorkingFolder(const QString& folder) {
  workingFolder_ = folder;
  if (index() == kSourcePane && role_ == PaneRole::kGeneratedView) applySourceStyle();
}

void WebEnginePane::silencePageMessages() { dialogGate_.silence(view_->url()); }

// The user asks for a document: the page's silence ends (a page that asks
// before it is left can then still ask), and a covered view is shown for it.
void WebEnginePane::userLoads() {
  dialogGate_.lift();
  loadComing_ = true;
  placeView();
}

// A covered view paints all the same, at a cost (a page that animates under
// another view took most of a core, seen on Qt WebEngine 6.4): it does not
// update while covered, and once it has nothing to load it is hidden, which
// the engine takes as leave to stop drawing it altogether. It is shown again,
// still covered, before it loads: a hidden view loads slowly (see Visible).
void WebEnginePane::placeView() {
  const bool shown = Visible() || loadComing_ || loadsUnderWay_ > 0;
  if (shown == view_->isVisibleTo(view_->parentWidget())) return;
  view_->setVisible(shown);
  if (!Visible()) view_->lower();
}

void WebEnginePane::coverChanged() {
  view_->setUpdatesEnabled(Visible());
  placeView();
}

bool WebEnginePane::Navigate(const QString& address) {
  if (address.trimmed().isEmpty()) return false;
  // Decided before the engine sees it: it handles some internal addresses
  // (chrome://crash) before any navigation it would ask about (seen on Qt
  // WebEngine 6.4).
  const AddressDecision decision = decideTypedAddress(address, context_.programFolder, role_);
  if (!decision.refusal.isEmpty()) {
    refuseAddress(address, decision.refusal);
    return false;
  }
  userLoads();
  view_->load(decision.url);
  return true;
}

bool WebEnginePane::GoBack() {
  if (!canGoBack()) return false;
  userLoads();
  view_->back();
  return true;
}

bool WebEnginePane::GoForward() {
  if (!view_->history()->canGoForward()) return false;
  userLoads();
  view_->forward();
  return true;
}

void WebEnginePane::GoHome() {
  userLoads();
  view_->load(context_.homePage);
}

void WebEnginePane::Stop() {
  stopAsked_ = true;
  view_->stop();
}

void WebEnginePane::Refresh() {
  userLoads();
  view_->reload();
}

QString WebEnginePane::LocationURL() const { return onStartBlank() ? QString() : view_->url().toString(); }

QString WebEnginePane::LocationName() const { return onStartBlank() ? QString() : view_->title(); }

void WebEnginePane::captureBodyHtml(BodyCallback done) {
  runIsolatedScript(QStringLiteral("document.body ? document.body.outerHTML : null"),
                    [done = std::move(done)](const QVariant& result) {
                      if (result.typeId() != QMetaType::QString) {
                        done(std::nullopt);
                        return;
                      }
                      done(result.toString().toStdString());
                    });
}

// The isolated world keeps the page's own scripts from changing what the
// program's scripts see.
void WebEnginePane::runIsolatedScript(const QString& source, ScriptCallback done) {
  view_->page()->runJavaScript(source, QWebEngineScript::ApplicationWorld, std::move(done));
}

}  // namespace pagesift
