// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/headless_page.h"

#include <functional>

#include <QAuthenticator>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "platform/address_policy.h"
#include "platform/engine_settings.h"
#include "platform/image_request_log.h"
#include "platform/pane_notice.h"

namespace pagesift {

// A page no one looks at: whatever it would ask a person is answered at
// once. Its console goes to the "js" logging category, which the program
// lets through only when asked (--verbose).
class AnsweringPage : public QWebEnginePage {
 public:
  AnsweringPage(QWebEngineProfile* profile, std::function<void(const QString&)> refused, QObject* parent)
      : QWebEnginePage(profile, parent), refused_(std::move(refused)) {}

 protected:
  // Every main-frame navigation (the first load, a redirect, a script's)
  // passes the program's address decision.
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (!isMainFrame) return true;
    const QString refusal = addressRefusal(url, PaneRole::kBrowsing);
    if (!refusal.isEmpty()) refused_(refusal);
    return refusal.isEmpty();
  }
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
  QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
  QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

 private:
  std::function<void(const QString&)> refused_;
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
      page_(new AnsweringPage(
          profile_, [this](const QString& refusal) { refuse(refusal); }, this)),
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
  // A page whose process ended answers no script: the listing ends now,
  // even after the load.
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
            if (ended_ && !loaded_) return;  // it failed already
            ended_ = true;
            loaded_ = false;
            emit failed(tr("the page stopped: %1").arg(renderProcessEnding(status, exitCode)));
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
  loaded_ = false;
  loadsStarted_ = 0;
  // Decided before the engine sees it: it handles some internal addresses
  // (chrome://crash) before any navigation it would ask about (seen on Qt
  // WebEngine 6.4).
  const QString refusal = addressRefusal(address, PaneRole::kBrowsing);
  if (!refusal.isEmpty()) {
    refuse(refusal);
    return;
  }
  page_->load(address);
}

// Told from inside the engine's navigation decision: the end is reported
// from the event loop.
void HeadlessPage::refuse(const QString& refusal) {
  QTimer::singleShot(0, this, [this, refusal] { end(false, tr("not opened: %1").arg(refusal)); });
}

void HeadlessPage::runIsolatedScript(const QString& source, BrowserPane::ScriptCallback done) {
  page_->runJavaScript(source, QWebEngineScript::ApplicationWorld, std::move(done));
}

RequestedImages HeadlessPage::requestedImages() const { return requestLog_->requests(); }

void HeadlessPage::loadingChanged(const QWebEngineLoadingInfo& info) {
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus: ++loadsStarted_; return;
    case QWebEngineLoadingInfo::LoadSucceededStatus: end(true, QString()); return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
      if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        end(false, tr("HTTP status %1").arg(info.errorCode()));
      } else {
        end(false, info.errorString().isEmpty() ? tr("error %1").arg(info.errorCode()) : info.errorString());
      }
      return;
    case QWebEngineLoadingInfo::LoadStoppedStatus: {
      // The engine dropped the navigation: a download (reported apart), an
      // answer without content, or a newer navigation taking over; it says
      // so with a stop of its own (seen on Qt WebEngine 6.4).
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
    loaded_ = true;
    emit loaded();
  } else {
    page_->triggerAction(QWebEnginePage::Stop);
    emit failed(reason);
  }
}

}  // namespace pagesift
