// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/image_request_log.h"

#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

namespace pagesift {

ImageRequestLog::ImageRequestLog(QWebEnginePage* page) : QWebEngineUrlRequestInterceptor(page) {
  page->setUrlRequestInterceptor(this);
  connect(page, &QWebEnginePage::loadingChanged, this, &ImageRequestLog::loadingChanged);
}

void ImageRequestLog::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const auto type = info.resourceType();
  if (type != QWebEngineUrlRequestInfo::ResourceTypeImage && type != QWebEngineUrlRequestInfo::ResourceTypeFavicon) {
    return;
  }
  const QUrl url = info.requestUrl();
  const QString scheme = url.scheme();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("file")) return;
  record(url.toString(QUrl::FullyEncoded),
         type == QWebEngineUrlRequestInfo::ResourceTypeFavicon ? QStringLiteral("favicon") : QStringLiteral("image"));
}

void ImageRequestLog::record(const QString& address, const QString& type) {
  if (seen_.contains(address)) return;
  if (address.size() > RequestedImages::kMaxAddress || current_.requests.size() >= RequestedImages::kMaxRequests ||
      text_ + address.size() > RequestedImages::kMaxRequestText) {
    current_.cutShort = true;
    return;
  }
  seen_.insert(address);
  text_ += address.size();
  current_.requests.append({address, type});
}

void ImageRequestLog::loadingChanged(const QWebEngineLoadingInfo& info) {
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      if (!loading_) {
        previous_ = std::exchange(current_, {});
        previousSeen_ = std::exchange(seen_, {});
        previousText_ = std::exchange(text_, 0);
      }
      loading_ = true;
      return;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      // Dropped (a refused download, an answer without content) or stopped:
      // the record of the document on show goes on, with what was asked for
      // meanwhile (after a Stop that came once the new document was on show,
      // the record holds both documents' requests).
      if (loading_) {
        RequestedImages meanwhile = std::exchange(current_, std::exchange(previous_, {}));
        seen_ = std::exchange(previousSeen_, {});
        text_ = std::exchange(previousText_, 0);
        for (const RequestedImage& request : meanwhile.requests) record(request.address, request.type);
        current_.cutShort = current_.cutShort || meanwhile.cutShort;
      }
      break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus: break;
  }
  loading_ = false;
  previous_ = {};
  previousSeen_.clear();
  previousText_ = 0;
}

}  // namespace pagesift
