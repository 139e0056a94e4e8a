// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>

#include "inventory/image_inventory.h"

namespace pagesift {

// A page's image inventory as a table, one row per address. Qt::UserRole
// gives each cell's sort key: numbers for the numeric columns.
class InventoryModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kAddress, kKinds, kUses, kNaturalSize, kDisplayedSize, kAltText, kLoaded, kOrigin, kColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  void setInventory(ImageInventory inventory);
  const ImageInventory& inventory() const { return inventory_; }
  const InventoryRow& row(int index) const { return inventory_.at(index); }
  // The address as shown: a data: address as "inline image, N bytes".
  const QString& shownAddress(int index) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  ImageInventory inventory_;
  QStringList shown_;  // for data: rows, empty for the others
};

// Which rows are shown: of one kind (empty: all), at least a minimum natural
// width and height (a row whose size the engine does not know is hidden
// once a minimum is set), and with the search text in the shown address or
// the alt text (any case).
class InventoryFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit InventoryFilter(QObject* parent = nullptr);

  void setKind(const QString& kind);
  void setMinimumSize(int pixels);
  void setSearch(const QString& text);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QString kind_;
  int minimumSize_ = 0;
  QString search_;
};

}  // namespace pagesift
