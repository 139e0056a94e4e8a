// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <QWebEngineDownloadRequest>

#include <functional>

#include "platform/browser_pane.h"

class QWebEnginePage;
class QWebEngineProfile;

namespace pagesift {

class EngineDownload;

// Routes every download of one engine profile: the engine reports each one
// through the profile, whatever page it is for, and this is the one place
// that decides what becomes of it.
//
// - The program's own downloads (startDownload) carry a one-time random
//   marker as the engine's suggested file name; the request that comes back
//   with it goes to the PaneDownload that asked.
// - A claim (expect) takes the first request of its page that it matches,
//   once: a page archive (archivePage) claims the save request it asked for,
//   and Save Page As can claim its own the same way.
// - Everything else a page starts by itself is refused, and that page's
//   refusal handler is told the address; a request of a page no one watches
//   is refused silently.
class DownloadRouter : public QObject {
  Q_OBJECT

 public:
  // The profile's router: made on first use, a child of the profile.
  static DownloadRouter* of(QWebEngineProfile* profile);

  using Taker = std::function<void(QWebEngineDownloadRequest* request)>;
  using Matcher = std::function<bool(const QWebEngineDownloadRequest& request)>;

  // The downloads `page` starts by itself are refused and `refused` told
  // their address, while `context` lives.
  void refuseFor(QWebEnginePage* page, QObject* context, std::function<void(const QUrl& address)> refused);

  // The next request of `page` that `matches` accepts goes to `take`, once.
  void expect(QWebEnginePage* page, QObject* context, Matcher matches, Taker take);

  // Downloads `url` through `page`'s profile (its cookies; the engine skips
  // its cache for this), as BrowserPane::startDownload says.
  PaneDownload* startDownload(QWebEnginePage* page, const QUrl& url, BrowserPane::DownloadTarget target,
                              QObject* parent);

  // Writes `page` as one MIME archive (MHTML) at `filePath`: its document
  // and every image, style sheet and frame the engine holds for it, taken
  // from the page's renderer with no request made (measured on Qt WebEngine
  // 6.4). Reports like startDownload; the file is the caller's.
  PaneDownload* archivePage(QWebEnginePage* page, const QString& filePath, QObject* parent);

  // Save Page As: writes `page` at `filePath` in `format` (the HTML alone,
  // or with its files in a folder beside it), replacing what is there; a
  // document that is not HTML is refused. Reports like startDownload.
  PaneDownload* savePage(QWebEnginePage* page, const QString& filePath,
                         QWebEngineDownloadRequest::SavePageFormat format, QObject* parent);

 private:
  explicit DownloadRouter(QWebEngineProfile* profile);

  void route(QWebEngineDownloadRequest* request);

  struct Claim {
    QPointer<QWebEnginePage> page;
    QPointer<QObject> context;
    Matcher matches;
    Taker take;
  };
  struct Refusal {
    QPointer<QObject> context;
    std::function<void(const QUrl&)> refused;
  };

  QHash<QString, Taker> marked_;  // by marker
  QList<Claim> claims_;
  QHash<QWebEnginePage*, Refusal> refusals_;
};

}  // namespace pagesift
