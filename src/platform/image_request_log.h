// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QSet>
#include <QWebEngineUrlRequestInterceptor>

#include "platform/browser_pane.h"

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace pagesift {

// Records what one page's engine asks for as images (resource types image
// and favicon; an SVG <use> of another file is asked for as an image too,
// seen on Qt WebEngine 6.4), one record per document: set as the page's
// own interceptor, so no other page's requests reach it. http, https and
// file addresses only, each once, bounded as RequestedImages says.
//
// A load that starts begins a new record once it ends with a document; a
// load the engine drops (a download, an answer without content) or that is
// stopped keeps the record it had, with what was asked for meanwhile. Qt 6 calls interceptRequest() on the UI thread.
class ImageRequestLog : public QWebEngineUrlRequestInterceptor {
 public:
  // Installs itself on `page`, whose child it becomes.
  explicit ImageRequestLog(QWebEnginePage* page);

  void interceptRequest(QWebEngineUrlRequestInfo& info) override;
  const RequestedImages& requests() const { return current_; }

 private:
  void loadingChanged(const QWebEngineLoadingInfo& info);
  void record(const QString& address, const QString& type);

  RequestedImages current_;
  QSet<QString> seen_;
  qsizetype text_ = 0;
  // The record of the document on show while a load that may be dropped
  // is under way.
  RequestedImages previous_;
  QSet<QString> previousSeen_;
  qsizetype previousText_ = 0;
  bool loading_ = false;
};

}  // namespace pagesift
