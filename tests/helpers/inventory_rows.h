// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QStringList>

#include "inventory/image_inventory.h"

namespace pagesift::test {

// A row as one line of text, every field in it, for comparing whole
// inventories in tables.
inline QString describeRow(const InventoryRow& row) {
  static const char* const kLoaded[] = {"unknown", "yes", "no"};
  return QStringLiteral("%1 [%2] '%3' uses=%4 natural=%5x%6 shown=%7x%8 alt='%9' loaded=%10")
      .arg(row.address, row.kinds.join(QLatin1Char(',')), row.origins.join(QLatin1Char(',')))
      .arg(row.uses)
      .arg(row.naturalWidth)
      .arg(row.naturalHeight)
      .arg(row.displayWidth)
      .arg(row.displayHeight)
      .arg(row.alt, QLatin1String(kLoaded[static_cast<int>(row.loaded)]));
}

inline QStringList describeRows(const ImageInventory& rows) {
  QStringList lines;
  for (const InventoryRow& row : rows) lines.append(describeRow(row));
  return lines;
}

}  // namespace pagesift::test
