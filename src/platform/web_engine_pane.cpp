#include "platform/web_engine_pane.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "platform/address_policy.h"
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
  std::optional<QString> ask(const QUrl& securityOrigin, const QString& msg, const std::optional<QString>& promptValue) {
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

// Links that ask for a new window open in the pane itself.
class PaneView : public QWebEngineView {
 public:
  using QWebEngineView::QWebEngineView;

 protected:
  QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
};

QString loadStateText(const QWebEngineLoadingInfo& info) {
  const QString address = info.url().toDisplayString();
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      return QObject::tr("Opening %1...").arg(address);
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      return QObject::tr("Done");
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      return QObject::tr("Stopped");
    case QWebEngineLoadingInfo::LoadFailedStatus:
      return QObject::tr("Could not open %1: %2").arg(address, info.errorString());
  }
  return {};
}

}  // namespace

WebEnginePane::WebEnginePane(int index, PaneRole role, const Context& context, QWidget* parent)
    : BrowserPane(index, parent),
      context_(context),
      role_(role),
      appliedRole_(role),
      view_(new PaneView(parent)),
      page_(new PanePage(context.profile, this, view_)),
      stoppedNotice_(new PaneNotice(view_)) {
  view_->setPage(page_);
  applyEngineSettings(page_->settings(), role);
  connectEngineEvents();
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
    // report, so a refused download's message stays on show.
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
  connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
    emit StatusTextChange(index(), url.isEmpty() ? loadStateText_ : url);
  });
  connect(page_, &QWebEnginePage::loadProgress, this,
          [this](int progress) { emit ProgressChange(index(), progress, 100); });
  connect(page_, &QWebEnginePage::titleChanged, this, [this](const QString& title) { emit TitleChange(index(), title); });
  connect(page_, &QWebEnginePage::urlChanged, this, [this](const QUrl&) { emit TitleChange(index(), LocationName()); });
  connect(context_.profile, &QWebEngineProfile::downloadRequested, this, &WebEnginePane::handleDownload);
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
// download's; the engine reports the refused navigation as a stop of its own.
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

// A download the program started: follows the engine's request once the
// pane has accepted it.
class EngineDownload : public PaneDownload {
 public:
  using PaneDownload::PaneDownload;

  void cancel() override {
    if (ended_) return;
    finish(false, tr("Cancelled"));
    if (request_) request_->cancel();
  }

  void follow(QWebEngineDownloadRequest* request) {
    request_ = request;
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this, request] { emit progress(request->receivedBytes(), request->totalBytes()); });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [this, request](QWebEngineDownloadRequest::DownloadState state) {
              switch (state) {
                case QWebEngineDownloadRequest::DownloadCompleted: finish(true, {}); break;
                case QWebEngineDownloadRequest::DownloadCancelled: finish(false, tr("Cancelled")); break;
                case QWebEngineDownloadRequest::DownloadInterrupted:
                  finish(false, request->interruptReasonString());
                  break;
                default: break;
              }
            });
  }

  void finish(bool ok, const QString& reason) {
    if (ended_) return;
    ended_ = true;
    emit finished(ok, reason);
  }

  bool ended() const { return ended_; }

 private:
  QPointer<QWebEngineDownloadRequest> request_;
  bool ended_ = false;
};

void WebEnginePane::handleDownload(QWebEngineDownloadRequest* request) {
  if (request->page() != page_) return;  // another pane's
  const auto own = ownDownloads_.constFind(request->suggestedFileName());
  if (own != ownDownloads_.constEnd()) {
    const OwnDownload download = *own;
    ownDownloads_.erase(own);
    if (!download.download || download.download->ended()) {  // given up before the engine answered
      request->cancel();
      return;
    }
    const QString filePath = download.target(request->mimeType());
    if (filePath.isEmpty()) {
      request->cancel();
      download.download->finish(false, tr("No file to write to"));
      return;
    }
    const QFileInfo target(filePath);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    download.download->follow(request);
    request->accept();
    return;
  }
  request->cancel();
  loadStateText_ = tr("PageSift does not download files: %1").arg(request->url().toDisplayString());
  emit StatusTextChange(index(), loadStateText_);
}

PaneDownload* WebEnginePane::startDownload(const QUrl& url, DownloadTarget target, QObject* parent) {
  auto* download = new EngineDownload(parent);
  if (!url.isValid() || url.isEmpty()) {
    QTimer::singleShot(0, download, [download] { download->finish(false, tr("Not a valid address")); });
    return download;
  }
  const QString marker = QUuid::createUuid().toString(QUuid::WithoutBraces);
  ownDownloads_.insert(marker, {std::move(target), download});
  page_->download(url, marker);
  return download;
}

BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context) {
  return [context](int index, QWidget* parent) -> BrowserPane* {
    const bool browsing = index == kBrowserPane || index == kWebsitePane;
    const PaneRole role = browsing ? PaneRole::kBrowsing : PaneRole::kGeneratedView;
    return new WebEnginePane(index, role, context, parent);
  };
}

QWidget* WebEnginePane::widget() const { return view_; }

void WebEnginePane::setWorkingFolder(const QString& folder) { workingFolder_ = folder; }

void WebEnginePane::silencePageMessages() { dialogGate_.silence(view_->url()); }

// The user asks for a document: the page's silence ends (a page that asks
// before it is left can then still ask).
void WebEnginePane::userLoads() { dialogGate_.lift(); }

bool WebEnginePane::Navigate(const QString& address) {
  if (address.trimmed().isEmpty()) return false;
  // Decided before the engine sees it: it handles some internal addresses
  // (chrome://crash) before any navigation it would ask about.
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
  if (!view_->history()->canGoBack()) return false;
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

QString WebEnginePane::LocationURL() const { return view_->url().toString(); }

QString WebEnginePane::LocationName() const { return view_->title(); }

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
