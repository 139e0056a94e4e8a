#include "inventory/inline_image.h"

namespace pagesift {

std::optional<InlineImage> decodeDataAddress(const QString& address) {
  if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return std::nullopt;
  const qsizetype comma = address.indexOf(QLatin1Char(','));
  if (comma < 0) return std::nullopt;
  const QString header = address.mid(5, comma - 5);
  const bool base64 = header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive);
  QString mediaType = header.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
  if (mediaType.isEmpty()) mediaType = QStringLiteral("text/plain");
  // The payload is ASCII once percent-encoded; anything else is kept as UTF-8.
  const QByteArray payload = QByteArray::fromPercentEncoding(address.mid(comma + 1).toUtf8());
  return InlineImage{mediaType, base64 ? QByteArray::fromBase64(payload) : payload};
}

}  // namespace pagesift
