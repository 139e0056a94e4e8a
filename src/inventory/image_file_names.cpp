#include "inventory/image_file_names.h"

#include <QDir>
#include <QFileInfo>

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
  QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(segment));
  for (QChar& c : name) {
    if (c == QLatin1Char('/') || isControl(c)) c = QLatin1Char('_');
  }
  if (name.startsWith(QLatin1Char('.'))) name[0] = QLatin1Char('_');
  if (name.isEmpty()) return kFallbackName;
  if (!hasExtension(name)) return fitted(name, {});
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return fitted(name.left(dot), name.mid(dot));
}

QString imageExtension(const QString& mediaType) {
  static const QHash<QString, QString> extensions = {
      {QStringLiteral("image/jpeg"), QStringLiteral("jpg")},   {QStringLiteral("image/pjpeg"), QStringLiteral("jpg")},
      {QStringLiteral("image/png"), QStringLiteral("png")},    {QStringLiteral("image/apng"), QStringLiteral("png")},
      {QStringLiteral("image/gif"), QStringLiteral("gif")},    {QStringLiteral("image/webp"), QStringLiteral("webp")},
      {QStringLiteral("image/avif"), QStringLiteral("avif")},  {QStringLiteral("image/svg+xml"), QStringLiteral("svg")},
      {QStringLiteral("image/bmp"), QStringLiteral("bmp")},    {QStringLiteral("image/x-ms-bmp"), QStringLiteral("bmp")},
      {QStringLiteral("image/x-icon"), QStringLiteral("ico")}, {QStringLiteral("image/vnd.microsoft.icon"), QStringLiteral("ico")},
      {QStringLiteral("image/tiff"), QStringLiteral("tif")},
  };
  const QString type = mediaType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
  return extensions.value(type);
}

namespace {

QString stemOf(const QString& name) {
  return hasExtension(name) ? name.left(name.lastIndexOf(QLatin1Char('.'))) : name;
}

// Room kept after an open stem for the extension it may get (".webp").
constexpr int kExtensionRoom = 5;

}  // namespace

QString FileNameReservations::reserve(const QString& name) {
  const bool extension = hasExtension(name);
  const qsizetype dot = extension ? name.lastIndexOf(QLatin1Char('.')) : name.size();
  const QString stem = name.left(dot);
  const QString suffix = name.mid(dot);
  // An open stem is cut so that its extension will still fit.
  const auto numbered = [&](int number) {
    const QString tail = (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) + suffix;
    return extension ? fitted(stem, tail) : cutToBytes(stem, kMaxFileNameBytes - kExtensionRoom - utf8Bytes(tail)) + tail;
  };
  QString candidate = numbered(1);
  for (int number = 2; extension ? taken(candidate) : stemTaken(candidate); ++number) candidate = numbered(number);
  if (extension) {
    handedOut_.insert(candidate);
    handedOutStems_.insert(stemOf(candidate));
  } else {
    openStems_.insert(candidate);
  }
  return candidate;
}

QString FileNameReservations::complete(const QString& stem, const QString& extension) {
  const QString name = extension.isEmpty() ? stem : stem + QLatin1Char('.') + extension;
  openStems_.remove(stem);
  handedOut_.insert(name);
  handedOutStems_.insert(stem);
  return name;
}

bool FileNameReservations::taken(const QString& name) const {
  const QFileInfo file(folder_ + QLatin1Char('/') + name);
  return handedOut_.contains(name) || openStems_.contains(stemOf(name)) || file.exists() || file.isSymLink();
}

bool FileNameReservations::stemTaken(const QString& stem) const {
  if (!folderStems_) {
    folderStems_.emplace();
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& entry : QDir(folder_).entryList(everything)) folderStems_->insert(stemOf(entry));
  }
  return openStems_.contains(stem) || handedOutStems_.contains(stem) || folderStems_->contains(stem) || taken(stem);
}

}  // namespace pagesift
