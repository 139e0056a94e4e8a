// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/address_policy.h"

#include <sys/stat.h>

#include <QObject>

namespace pagesift {
namespace {

constexpr qsizetype kShownAddressLength = 200;

QString invalidReason(const QUrl& address) {
  // Qt's reason goes on to repeat the whole address and its parts.
  const QString detail = address.errorString().section(QStringLiteral("; source was"), 0, 0);
  return detail.isEmpty() ? QObject::tr("not a valid address")
                          : QObject::tr("not a valid address (%1)").arg(detail.left(kShownAddressLength));
}

bool isInternalScheme(const QString& scheme) {
  return scheme == QLatin1String("chrome") || scheme == QLatin1String("chrome-error") ||
         scheme == QLatin1String("devtools");
}

// The file a file: address names, byte for byte (its name need not be text
// in any encoding): a named pipe, socket or device is refused.
QString localFileRefusal(const QUrl& address) {
  const QByteArray path = QByteArray::fromPercentEncoding(address.path(QUrl::FullyEncoded).toLatin1());
  struct stat status {};
  if (path.isEmpty() || ::stat(path.constData(), &status) != 0) return QString();  // the engine says it is missing
  if (S_ISFIFO(status.st_mode)) return QObject::tr("a named pipe, not a regular file");
  if (S_ISSOCK(status.st_mode)) return QObject::tr("a socket, not a regular file");
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return QObject::tr("a device, not a regular file");
  return QString();
}

}  // namespace

QString addressRefusal(const QUrl& address, PaneRole role, LocalFileCheck files) {
  if (address.isEmpty()) return QObject::tr("not an address");
  if (!address.isValid()) return invalidReason(address);
  if (address.isRelative()) return QObject::tr("not a complete address");
  const QByteArray encoded = address.toEncoded();
  if (encoded.size() > kMaxOutsideAddressBytes) return QObject::tr("longer than 512 KiB");
  const QString scheme = address.scheme();  // QUrl keeps schemes in lower case
  if (scheme == QLatin1String("javascript")) return QObject::tr("a script, which would run in the page on show");
  if (isInternalScheme(scheme) || (scheme == QLatin1String("about") && address.path() != QLatin1String("blank"))) {
    return QObject::tr("an internal page of the web engine");
  }
  if (scheme == QLatin1String("view-source")) {
    if (role != PaneRole::kPageSource) return QObject::tr("an internal page of the web engine");
    // The rest is the address whose source is shown; it is never itself a source view.
    const QUrl inner = QUrl::fromEncoded(encoded.mid(qsizetype(sizeof "view-source:") - 1), QUrl::StrictMode);
    return addressRefusal(inner, PaneRole::kBrowsing, files);
  }
  if (scheme == QLatin1String("file") && files == LocalFileCheck::kNow) return localFileRefusal(address);
  return QString();
}

AddressDecision decideTypedAddress(const QString& text, const QString& folder, PaneRole role, LocalFileCheck files) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return {QUrl(), QObject::tr("not an address")};
  // QUrl::fromUserInput tries again with "http://" in front of an address
  // that does not parse, and "http://[bad" becomes "http://http//[bad".
  const QUrl direct(trimmed, QUrl::TolerantMode);
  if (!direct.isValid() && !direct.isRelative()) return {direct, invalidReason(direct)};
  const QUrl url = QUrl::fromUserInput(trimmed, folder);
  return {url, addressRefusal(url, role, files)};
}

QString refusalMessage(const QString& address, const QString& refusal) {
  const QString shown =
      address.size() > kShownAddressLength ? address.left(kShownAddressLength) + QStringLiteral("...") : address;
  return QObject::tr("PageSift does not open %1: %2").arg(shown, refusal);
}

}  // namespace pagesift
