// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/image_file_names.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace pagesift {
namespace {

const QString kFallbackName = QStringLiteral("image");

int utf8Bytes(char32_t codePoint) { return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4; }

int utf8Bytes(const QString& text) { return static_cast<int>(text.toUtf8().size()); }

// The longest start of `text` that fits in `bytes` of UTF-8, never half a
// character.
QString cutToBytes(const QString& text, int bytes) {
  int used = 0;
  qsizetype end = 0;
  while (end < text.size()) {
    const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
    const char32_t codePoint = pair ? QChar::surrogateToUcs4(text.at(end), text.at(end + 1)) : text.at(end).unicode();
    used += utf8Bytes(codePoint);
    if (used > bytes) break;
    end += pair ? 2 : 1;
  }
  return text.left(end);
}

bool isControl(QChar c) { return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0); }

// `stem` + `tail`, the stem cut so the whole fits the limit.
QString fitted(const QString& stem, const QString& tail) {
  return cutToBytes(stem, kMaxFileNameBytes - utf8Bytes(tail)) + tail;
}

}  // namespace

bool hasExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0 || dot + 1 == name.size() || name.size() - dot - 1 > 8) return false;
  for (qsizetype i = dot + 1; i < name.size(); ++i) {
    if (!name.at(i).isLetterOrNumber() || name.at(i).unicode() > 0x7f) return false;
  }
  return true;
}

QString imageFileName(const QUrl& address) {
  const QByteArray path = address.path(QUrl::FullyEncoded).toUtf8();
  const QByteArray segment = path.mid(path.lastIndexOf('/') + 1);
  const QString decoded = QString::fromUtf8(QByteArray::fromPercentEncoding(segment));
  QString name;
  name.reserve(decoded.size());
  for (qsizetype i = 0; i < decoded.size(); ++i) {
    const bool pair = decoded.at(i).isHighSurrogate() && i + 1 < decoded.size() && decoded.at(i + 1).isLowSurrogate();
    const char32_t codePoint =
        pair ? QChar::surrogateToUcs4(decoded.at(i), decoded.at(i + 1)) : decoded.at(i).unicode();
    if (QChar::category(codePoint) == QChar::Other_Format) {
      i += pair ? 1 : 0;
      continue;
    }
    if (pair) {
      name.append(decoded.mid(i, 2));
      ++i;
    } else {
      const QChar c = decoded.at(i);
      name.append(c == QLatin1Char('/') || isControl(c) ? QLatin1Char('_') : c);
    }
  }
  if (name.startsWith(QLatin1Char('.'))) name[0] = QLatin1Char('_');
  if (name.isEmpty()) return kFallbackName;
  if (!hasExtension(name)) return fitted(name, {});
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return fitted(name.left(dot), name.mid(dot));
}

QString nameForType(const QString& name, const QString& mediaType) {
  const QString extension = imageExtension(mediaType);
  if (extension.isEmpty()) return name;
  if (hasExtension(name)) {
    static const QHash<QString, QStringList> alsoAccepted = {
        {QStringLiteral("jpg"), {QStringLiteral("jpeg"), QStringLiteral("jpe"), QStringLiteral("jfif")}},
        {QStringLiteral("tif"), {QStringLiteral("tiff")}},
        {QStringLiteral("svg"), {QStringLiteral("svgz")}},
        {QStringLiteral("png"), {QStringLiteral("apng")}}};
    const QString own = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    if (own == extension || alsoAccepted.value(extension).contains(own)) return name;
  }
  return name + QLatin1Char('.') + extension;
}

QString imageExtension(const QString& mediaType) {
  static const QHash<QString, QString> extensions = {
      {QStringLiteral("image/jpeg"), QStringLiteral("jpg")},
      {QStringLiteral("image/pjpeg"), QStringLiteral("jpg")},
      {QStringLiteral("image/png"), QStringLiteral("png")},
      {QStringLiteral("image/apng"), QStringLiteral("png")},
      {QStringLiteral("image/gif"), QStringLiteral("gif")},
      {QStringLiteral("image/webp"), QStringLiteral("webp")},
      {QStringLiteral("image/avif"), QStringLiteral("avif")},
      {QStringLiteral("image/svg+xml"), QStringLiteral("svg")},
      {QStringLiteral("image/bmp"), QStringLiteral("bmp")},
      {QStringLiteral("image/x-ms-bmp"), QStringLiteral("bmp")},
      {QStringLiteral("image/x-icon"), QStringLiteral("ico")},
      {QStringLiteral("image/vnd.microsoft.icon"), QStringLiteral("ico")},
      {QStringLiteral("image/tiff"), QStringLiteral("tif")},
  };
  const QString type = mediaType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
  return extensions.value(type);
}

namespace {

QString stemOf(const QString& name) {
  return hasExtension(name) ? name.left(name.lastIndexOf(QLatin1Char('.'))) : name;
}

// Room kept after an open name for the extension it may get (".webp").
constexpr int kExtensionRoom = 5;

}  // namespace

QString FileNameReservations::reserve(const QString& name) {
  const bool extension = hasExtension(name);
  const qsizetype dot = extension ? name.lastIndexOf(QLatin1Char('.')) : name.size();
  const QString stem = name.left(dot);
  const QString suffix = name.mid(dot);
  // Cut so that an extension appended later still fits.
  const auto numbered = [&](int number) {
    const QString tail = (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) + suffix;
    return QString(cutToBytes(stem, kMaxFileNameBytes - kExtensionRoom - utf8Bytes(tail)) + tail);
  };
  int& number = nextNumber_[name];
  if (number == 0) number = 1;
  QString candidate = numbered(number);
  while (!free(candidate)) candidate = numbered(++number);
  open_.insert(candidate);
  openStems_.insert(stemOf(candidate));
  return candidate;
}

QString FileNameReservations::complete(const QString& open, const QString& mediaType) {
  const QString name = nameForType(open, mediaType);
  open_.remove(open);
  handedOut_.insert(name);
  handedOutStems_.insert(stemOf(name));
  handedOutStems_.insert(open);  // what it may have become stays taken: numbering never goes back
  return name;
}

// Free: neither the candidate nor any name it may become ("c", "c.<ext>")
// is in the folder, handed out or open, and it is not a name an open name
// may become.
bool FileNameReservations::free(const QString& candidate) const {
  if (!folderStems_) {
    folderStems_.emplace();
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& entry : QDir(folder_).entryList(everything)) {
      folderStems_->insert(stemOf(entry));
      folderStems_->insert(entry);
    }
  }
  if (open_.contains(candidate) || open_.contains(stemOf(candidate)) || openStems_.contains(candidate)) return false;
  if (handedOut_.contains(candidate) || handedOutStems_.contains(candidate)) return false;
  if (folderStems_->contains(candidate)) return false;
  const QFileInfo file(folder_ + QLatin1Char('/') + candidate);
  return !file.exists() && !file.isSymLink();
}

}  // namespace pagesift
