// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Saved-image names from arbitrary bytes. A name is never empty, never over
// the byte limit, never holds "/" or a control character, never starts with
// ".", never ends in half a character, and a second reservation of it gives
// another name.

#include <QString>
#include <QUrl>

#include <cstdint>

#include "fuzz_check.h"
#include "inventory/image_file_names.h"

namespace {

using pagesift::fuzz::require;

void checkName(const QString& name) {
  require(!name.isEmpty(), "empty name");
  require(name.toUtf8().size() <= pagesift::kMaxFileNameBytes, "name over the limit");
  require(!name.startsWith(QLatin1Char('.')), "hidden name");
  require(!name.back().isHighSurrogate(), "half a character");
  for (const QChar c : name) {
    require(c != QLatin1Char('/') && c.unicode() >= 0x20 && c.unicode() != 0x7f, "unsafe character");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype split = bytes.indexOf('\n');
  const QString address = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
  const QString mediaType = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));

  QString name = pagesift::imageFileName(QUrl(QLatin1String("http://h/") + address));
  checkName(name);
  const QString extension = pagesift::imageExtension(mediaType);
  if (!pagesift::hasExtension(name) && !extension.isEmpty()) name += QLatin1Char('.') + extension;
  pagesift::FileNameReservations names(QStringLiteral("/nonexistent-pagesift-folder"));
  const QString first = names.reserve(name);
  const QString second = names.reserve(name);
  checkName(first);
  checkName(second);
  require(first != second, "one name handed out twice");
  return 0;
}
