// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/page_archive.h"

#include <QByteArrayView>
#include <QFile>
#include <QObject>

#include <array>

#include "inventory/image_content.h"

namespace pagesift {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

QByteArray fromQuotedPrintable(QByteArrayView text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '=') {
      out.append(c);
    } else if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') {
      i += 2;  // a soft line break
    } else if (i + 1 < text.size() && text[i + 1] == '\n') {
      i += 1;
    } else if (i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      out.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
      i += 2;
    } else {
      out.append(c);
    }
  }
  return out;
}

// Base64 as QByteArray::fromBase64 reads it, every byte outside the
// alphabet (line ends, padding) passed over; a table lookup a byte makes it
// several times as fast on an archive's megabytes of images.
QByteArray fromBase64(QByteArrayView text) {
  static const std::array<signed char, 256> kValues = [] {
    std::array<signed char, 256> values;
    values.fill(-1);
    const QByteArrayView alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    for (qsizetype i = 0; i < alphabet.size(); ++i) values[uchar(alphabet[i])] = static_cast<signed char>(i);
    return values;
  }();
  QByteArray out(text.size() / 4 * 3 + 2, Qt::Uninitialized);
  char* to = out.data();
  quint32 bits = 0;
  int count = 0;
  for (const char c : text) {
    const int value = kValues[uchar(c)];
    if (value < 0) continue;
    bits = bits << 6 | quint32(value);
    if (++count == 4) {
      *to++ = char(bits >> 16);
      *to++ = char(bits >> 8);
      *to++ = char(bits);
      count = 0;
    }
  }
  if (count > 1) *to++ = char(bits >> (count * 6 - 8));
  if (count > 2) *to++ = char(bits >> 2);
  out.truncate(to - out.data());
  return out;
}

// The headers of a part (or of the archive) as name (lower case) -> value,
// continuation lines joined.
QHash<QByteArray, QByteArray> readHeaders(QByteArrayView text) {
  QHash<QByteArray, QByteArray> headers;
  QByteArray name;
  for (qsizetype start = 0; start < text.size();) {
    qsizetype end = text.indexOf(QByteArrayView("\r\n"), start);
    if (end < 0) end = text.size();
    const QByteArrayView line = text.sliced(start, end - start);
    start = end + 2;
    if (line.isEmpty()) continue;
    if ((line[0] == ' ' || line[0] == '\t') && !name.isEmpty()) {
      headers[name] += QByteArray(line.trimmed().data(), line.trimmed().size()).prepend(' ');
      continue;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) continue;
    name = line.first(colon).trimmed().toByteArray().toLower();
    if (!headers.contains(name)) headers.insert(name, line.sliced(colon + 1).trimmed().toByteArray());
  }
  return headers;
}

QByteArray boundaryOf(const QByteArray& contentType) {
  const qsizetype at = contentType.toLower().indexOf("boundary=");
  if (at < 0) return {};
  QByteArray value = contentType.mid(at + 9);
  if (value.startsWith('"')) {
    const qsizetype close = value.indexOf('"', 1);
    return close < 0 ? QByteArray() : value.mid(1, close - 1);
  }
  const qsizetype end = value.indexOf(';');
  return (end < 0 ? value : value.left(end)).trimmed();
}

}  // namespace

QString largerThanText(qint64 maxBytes) {
  const bool mebibytes = maxBytes % (1 << 20) == 0;
  return QObject::tr("larger than %1")
      .arg(mebibytes ? QStringLiteral("%1 MiB").arg(maxBytes >> 20) : QStringLiteral("%1 bytes").arg(maxBytes));
}

QHash<QString, ArchivedImage> readArchivedImages(const QString& archivePath, const QSet<QString>& wanted,
                                                 const QString& folder, qint64 maxBytes,
                                                 const std::atomic<bool>& cancelled) {
  QHash<QString, ArchivedImage> found;
  QFile file(archivePath);
  if (!file.open(QIODevice::ReadOnly) || file.size() == 0) return found;
  const uchar* mapped = file.map(0, file.size());
  if (!mapped) return found;
  const QByteArrayView archive(reinterpret_cast<const char*>(mapped), file.size());

  const qsizetype topEnd = archive.indexOf(QByteArrayView("\r\n\r\n"));
  if (topEnd < 0) return found;
  const QByteArray boundary = boundaryOf(readHeaders(archive.first(topEnd)).value("content-type"));
  if (boundary.isEmpty()) return found;
  const QByteArray delimiter = "\r\n--" + boundary;

  // Each part follows a delimiter line and ends where the next one starts.
  qsizetype at = archive.indexOf(QByteArrayView(delimiter), topEnd);
  int written = 0;
  while (at >= 0 && !cancelled.load(std::memory_order_relaxed)) {
    qsizetype start = at + delimiter.size();
    if (archive.sliced(start).startsWith("--")) break;  // the closing delimiter
    const qsizetype lineEnd = archive.indexOf(QByteArrayView("\r\n"), start);
    if (lineEnd < 0) break;
    start = lineEnd + 2;
    const qsizetype headersEnd = archive.indexOf(QByteArrayView("\r\n\r\n"), start);
    const qsizetype next = archive.indexOf(QByteArrayView(delimiter), start);
    if (headersEnd < 0) break;
    const qsizetype bodyStart = headersEnd + 4;
    const qsizetype bodyEnd = next < 0 ? archive.size() : next;
    at = next;
    if (bodyStart > bodyEnd) continue;  // no body: the headers ran into the next delimiter

    const QHash<QByteArray, QByteArray> headers = readHeaders(archive.sliced(start, headersEnd - start));
    const QString address = QString::fromUtf8(headers.value("content-location"));
    if (!wanted.contains(address) || found.contains(address)) continue;
    ArchivedImage& image = found[address];
    image.mediaType =
        QString::fromLatin1(headers.value("content-type")).section(QLatin1Char(';'), 0, 0).trimmed().toLower();

    const QByteArrayView body = archive.sliced(bodyStart, bodyEnd - bodyStart);
    const QByteArray encoding = headers.value("content-transfer-encoding").toLower();
    const bool base64 = encoding == "base64";
    // Over the limit before decoding, where the encoded size already says so.
    if ((base64                           ? body.size() / 4 * 3 * 76 / 78
         : encoding == "quoted-printable" ? body.size() / 3
                                          : body.size()) > maxBytes) {
      image.failure = largerThanText(maxBytes);
      continue;
    }
    const QByteArray bytes = base64                           ? fromBase64(body)
                             : encoding == "quoted-printable" ? fromQuotedPrintable(body)
                                                              : body.toByteArray();
    if (bytes.size() > maxBytes) {
      image.failure = largerThanText(maxBytes);
    } else if (!isImageContent(image.mediaType, bytes.left(kImageHeadBytes))) {
      image.failure = QObject::tr("not an image");
    } else {
      QFile out(folder + QStringLiteral("/archived-%1").arg(++written));
      if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly) && out.write(bytes) == bytes.size() && out.flush()) {
        image.filePath = out.fileName();
      } else {
        image.failure = out.errorString();
        out.remove();
      }
    }
  }
  return found;
}

}  // namespace pagesift
