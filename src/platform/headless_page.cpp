#include "platform/headless_page.h"

#include <QAuthenticator>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "platform/engine_settings.h"
#include "platform/image_request_log.h"

namespace pagesift {

// A page no one looks at: whatever it would ask a person is answered at
// once, and its console stays out of the program's output.
class AnsweringPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
  QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
  QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

namespace {

// How long a stopped load may wait for what follows it (a download
// reported, the next document of a redirect started) before it counts as
// a failure.
constexpr int kStoppedGrace = 1000;

}  // namespace

HeadlessPage::HeadlessPage(QSize viewSize, QObject* parent)
    : QObject(parent),
      profile_(createEngineProfile(QString(), this)),
      view_(new QWebEngineView()),
      page_(new AnsweringPage(profile_, this)),
      requestLog_(new ImageRequestLog(page_)) {
  applyEngineSettings(page_->settings(), PaneRole::kBrowsing);
  view_->setPage(page_);
  view_->resize(viewSize);
  view_->show();

  connect(page_, &QWebEnginePage::loadingChanged, this, &HeadlessPage::loadingChanged);
  connect(page_, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
    error.rejectCertificate();
    end(false, tr("certificate refused: %1").arg(error.description()));
  });
  connect(page_, &QWebEnginePage::selectClientCertificate, this,
          [this](QWebEngineClientCertificateSelection) { end(false, tr("asks for a client certificate")); });
  connect(page_, &QWebEnginePage::authenticationRequired, this, [this](const QUrl&, QAuthenticator* authenticator) {
    *authenticator = QAuthenticator();  // no answer: the request is cancelled
    end(false, tr("asks for a login"));
  });
  connect(page_, &QWebEnginePage::proxyAuthenticationRequired, this,
          [this](const QUrl&, QAuthenticator* authenticator, const QString&) {
            *authenticator = QAuthenticator();
            end(false, tr("asks for a proxy login"));
          });
  connect(profile_, &QWebEngineProfile::downloadRequested, this, [this](QWebEngineDownloadRequest* request) {
    request->cancel();  // the profile is this page's alone
    end(false, tr("is a download"));
  });
}

HeadlessPage::~HeadlessPage() {
  // The page goes before the profile it uses.
  delete view_;
  delete page_;
}

void HeadlessPage::load(const QUrl& address) {
  ended_ = false;
  loadsStarted_ = 0;
  page_->load(address);
}

void HeadlessPage::runIsolatedScript(const QString& source, BrowserPane::ScriptCallback done) {
  page_->runJavaScript(source, QWebEngineScript::ApplicationWorld, std::move(done));
}

RequestedImages HeadlessPage::requestedImages() const { return requestLog_->requests(); }

void HeadlessPage::loadingChanged(const QWebEngineLoadingInfo& info) {
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      ++loadsStarted_;
      return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      end(true, QString());
      return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
      if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        end(false, tr("HTTP status %1").arg(info.errorCode()));
      } else {
        end(false, info.errorString().isEmpty() ? tr("error %1").arg(info.errorCode()) : info.errorString());
      }
      return;
    case QWebEngineLoadingInfo::LoadStoppedStatus: {
      // The engine dropped the navigation: a download (reported apart), an
      // answer without content, or a newer navigation taking over.
      const int loads = loadsStarted_;
      QTimer::singleShot(kStoppedGrace, this, [this, loads] {
        if (loadsStarted_ == loads) end(false, tr("the page was not loaded"));
      });
      return;
    }
  }
}

void HeadlessPage::end(bool ok, const QString& reason) {
  if (ended_) return;
  ended_ = true;
  if (ok) {
    emit loaded();
  } else {
    page_->triggerAction(QWebEnginePage::Stop);
    emit failed(reason);
  }
}

}  // namespace pagesift
