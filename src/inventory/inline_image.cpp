// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/inline_image.h"

#include <QStringList>

namespace pagesift {

std::optional<InlineImage> decodeInlineImage(const QString& address) {
  const QLatin1String scheme("data:");
  if (!address.startsWith(scheme, Qt::CaseInsensitive)) return std::nullopt;
  const qsizetype comma = address.indexOf(QLatin1Char(','));
  if (comma < 0) return std::nullopt;
  const QStringList header = address.mid(scheme.size(), comma - scheme.size()).split(QLatin1Char(';'));
  InlineImage image;
  image.mediaType = header.first().trimmed().toLower();
  if (image.mediaType.isEmpty()) image.mediaType = QStringLiteral("text/plain");
  const bool base64 =
      header.size() > 1 && header.last().trimmed().compare(QLatin1String("base64"), Qt::CaseInsensitive) == 0;
  // A resolved address is ASCII, its other bytes percent-encoded.
  const QByteArray data = QByteArray::fromPercentEncoding(address.mid(comma + 1).toUtf8());
  image.bytes = base64 ? QByteArray::fromBase64(data) : data;
  return image;
}

}  // namespace pagesift
