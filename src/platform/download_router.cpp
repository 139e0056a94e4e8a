// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/download_router.h"

#include <QFileInfo>
#include <QTimer>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace pagesift {

namespace {

// Refuses `request`. The engine starts saving a page before it asks (a save
// given a file name is accepted from the start), and a cancel while it asks
// reaches nothing: the save is cancelled again once the engine has made it
// (seen on Qt WebEngine 6.4).
void refuse(QWebEngineDownloadRequest* request) {
  request->cancel();
  if (request->isSavePageDownload()) QTimer::singleShot(0, request, [request] { request->cancel(); });
}

}  // namespace

// A download the program started: follows the engine's request once the
// router has handed it over.
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
    // What the answer announces is known before a byte arrives.
    if (request->totalBytes() > 0) emit progress(request->receivedBytes(), request->totalBytes());
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

DownloadRouter* DownloadRouter::of(QWebEngineProfile* profile) {
  if (auto* router = profile->findChild<DownloadRouter*>(QString(), Qt::FindDirectChildrenOnly)) return router;
  return new DownloadRouter(profile);
}

DownloadRouter::DownloadRouter(QWebEngineProfile* profile) : QObject(profile) {
  connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadRouter::route);
}

void DownloadRouter::refuseFor(QWebEnginePage* page, QObject* context, std::function<void(const QUrl&)> refused) {
  refusals_.insert(page, {context, std::move(refused)});
  connect(page, &QObject::destroyed, this, [this, page] { refusals_.remove(page); });
}

void DownloadRouter::expect(QWebEnginePage* page, QObject* context, Matcher matches, Taker take) {
  claims_.append({page, context, std::move(matches), std::move(take)});
}

void DownloadRouter::route(QWebEngineDownloadRequest* request) {
  const auto marked = marked_.constFind(request->suggestedFileName());
  if (marked != marked_.constEnd()) {
    const Taker take = *marked;
    marked_.erase(marked);
    take(request);
    return;
  }
  for (qsizetype i = 0; i < claims_.size();) {
    const Claim& claim = claims_.at(i);
    if (!claim.page || !claim.context) {
      claims_.removeAt(i);
      continue;
    }
    if (claim.page == request->page() && claim.matches(*request)) {
      const Taker take = claim.take;
      claims_.removeAt(i);
      take(request);
      return;
    }
    ++i;
  }
  refuse(request);
  const auto refusal = refusals_.constFind(request->page());
  if (refusal != refusals_.constEnd() && refusal->context) refusal->refused(request->url());
}

PaneDownload* DownloadRouter::startDownload(QWebEnginePage* page, const QUrl& url, BrowserPane::DownloadTarget target,
                                            QObject* parent) {
  auto* download = new EngineDownload(parent);
  if (!url.isValid() || url.isEmpty()) {
    QTimer::singleShot(0, download, [download] { download->finish(false, tr("Not a valid address")); });
    return download;
  }
  const QString marker = QUuid::createUuid().toString(QUuid::WithoutBraces);
  QPointer<EngineDownload> guard(download);
  marked_.insert(marker, [guard, target = std::move(target)](QWebEngineDownloadRequest* request) {
    if (!guard || guard->ended()) {  // given up before the engine answered
      request->cancel();
      return;
    }
    const QString filePath = target(request->mimeType());
    if (filePath.isEmpty()) {
      request->cancel();
      guard->finish(false, tr("No file to write to"));
      return;
    }
    const QFileInfo file(filePath);
    request->setDownloadDirectory(file.absolutePath());
    request->setDownloadFileName(file.fileName());
    guard->follow(request);
    request->accept();
  });
  // A download given up before the engine answered keeps its marker until
  // the answer comes, so the answer is recognised and cancelled.
  page->download(url, marker);
  return download;
}

PaneDownload* DownloadRouter::archivePage(QWebEnginePage* page, const QString& filePath, QObject* parent) {
  return savePage(page, filePath, QWebEngineDownloadRequest::MimeHtmlSaveFormat, parent);
}

PaneDownload* DownloadRouter::savePage(QWebEnginePage* page, const QString& filePath,
                                       QWebEngineDownloadRequest::SavePageFormat format, QObject* parent) {
  auto* download = new EngineDownload(parent);
  const QString wanted = QFileInfo(filePath).absoluteFilePath();
  QPointer<EngineDownload> guard(download);
  QPointer<QWebEnginePage> shown(page);
  // A document that is not HTML (an image on its own) is not saved: the
  // engine downloads the document instead, under its own name (seen on Qt
  // WebEngine 6.4). That download is claimed too, and given up.
  expect(
      page, download,
      [wanted, shown](const QWebEngineDownloadRequest& request) {
        if (!request.isSavePageDownload()) return shown && request.url() == shown->url();
        return QFileInfo(request.downloadDirectory() + QLatin1Char('/') + request.downloadFileName())
                   .absoluteFilePath() == wanted;
      },
      [guard, format](QWebEngineDownloadRequest* request) {
        if (!guard || guard->ended() || !request->isSavePageDownload()) {
          refuse(request);
          if (guard) {
            guard->finish(false, format == QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                     ? tr("The page cannot be archived")
                                     : tr("This is not a web page (%1)").arg(request->mimeType()));
          }
          return;
        }
        guard->follow(request);
        request->accept();
      });
  page->save(filePath, format);
  return download;
}

}  // namespace pagesift
