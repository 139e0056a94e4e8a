// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/image_content.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace pagesift {
namespace {

// An SVG document: after a byte order mark, white space, an XML
// declaration, comments and a document type, the first element is <svg.
bool isSvg(const QByteArray& head) {
  qsizetype i = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (i < head.size()) {
    const char c = head.at(i);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (head.mid(i, 4) == "<svg") return true;
    const QByteArray close = head.mid(i, 4) == "<!--"                           ? QByteArray("-->")
                             : head.mid(i, 2) == "<?" || head.mid(i, 2) == "<!" ? QByteArray(">")
                                                                                : QByteArray();
    if (close.isEmpty()) return false;
    const qsizetype end = head.indexOf(close, i + 2);
    if (end < 0) return false;
    i = end + close.size();
  }
  return false;
}

}  // namespace

bool isImageContent(const QString& mediaType, const QByteArray& head) {
  const QString type = mediaType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
  if (!type.startsWith(QLatin1String("image/"))) return false;
  QByteArray bytes = head.left(kImageHeadBytes);
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return false;
  return !QImageReader::imageFormat(&buffer).isEmpty() || isSvg(bytes);
}

QByteArray fileHead(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(kImageHeadBytes) : QByteArray();
}

}  // namespace pagesift
