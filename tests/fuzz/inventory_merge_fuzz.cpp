// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// What the inventory makes of text a page controls, on arbitrary bytes: the
// collecting script's JSON, a data: address, and a saved image's name made
// from an address (the first line) and a media type (the rest).
// Every row must name a distinct address, count at least one use, and list
// known kinds, each once. A name is never empty, never over the byte limit,
// never holds "/" or a control character, never starts with ".", never ends
// in half a character, and a second reservation of it gives another name.

#include <QSet>
#include <QUrl>

#include <cstdint>

#include "fuzz_check.h"
#include "inventory/image_file_names.h"
#include "inventory/inline_image.h"
#include "inventory/inventory_collector.h"

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

void checkFileNames(const QByteArray& bytes) {
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const pagesift::ImageInventory rows = pagesift::mergeImageUses(bytes).rows;
  QSet<QString> addresses;
  for (const pagesift::InventoryRow& row : rows) {
    require(!row.address.isEmpty(), "a row without an address");
    require(!addresses.contains(row.address), "two rows of one address");
    addresses.insert(row.address);
    require(row.uses >= row.kinds.size() && !row.kinds.isEmpty(), "fewer uses than kinds");
    require(QSet<QString>(row.kinds.begin(), row.kinds.end()).size() == row.kinds.size(), "a kind listed twice");
    for (const QString& kind : row.kinds) require(pagesift::isImageKind(kind), "an unknown kind");
    require(row.origins.size() <= pagesift::InventoryRow::kMaxOrigins, "too many origins");
    require(row.naturalWidth >= 0 && row.naturalHeight >= 0 && row.displayWidth >= 0 && row.displayHeight >= 0,
            "a negative size");
    if (row.isInline()) (void)pagesift::decodeInlineImage(row.address);
  }
  const std::optional<pagesift::InlineImage> image =
      pagesift::decodeInlineImage(QStringLiteral("data:") + QString::fromUtf8(bytes));
  require(image.has_value() == bytes.contains(','), "a data: address with a comma must decode");
  checkFileNames(bytes);
  return 0;
}
