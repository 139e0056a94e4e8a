// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Merging the collecting script's JSON, and reading data: addresses, on
// arbitrary bytes. Every row must name a distinct address, count at least
// one use, and list known kinds, each once.

#include <QSet>

#include <cstdint>

#include "fuzz_check.h"
#include "inventory/inline_image.h"
#include "inventory/inventory_collector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using pagesift::fuzz::require;
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
  return 0;
}
