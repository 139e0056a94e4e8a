// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/inventory_model.h"

#include "inventory/image_saver.h"

namespace pagesift {
namespace {

QString sizeText(int width, int height) {
  return width > 0 || height > 0 ? QStringLiteral("%1 x %2").arg(width).arg(height) : QString();
}

QString loadedText(ImageLoaded loaded) {
  switch (loaded) {
    case ImageLoaded::kYes: return QStringLiteral("yes");
    case ImageLoaded::kNo: return QStringLiteral("no");
    case ImageLoaded::kUnknown: break;
  }
  return QStringLiteral("unknown");
}

qint64 area(int width, int height) { return qint64{width} * height; }

}  // namespace

void InventoryModel::setInventory(ImageInventory inventory) {
  beginResetModel();
  inventory_ = std::move(inventory);
  shown_.clear();
  shown_.reserve(inventory_.size());
  for (const InventoryRow& row : inventory_)
    shown_.append(row.isInline() ? pagesift::shownAddress(row.address) : QString());
  endResetModel();
}

const QString& InventoryModel::shownAddress(int index) const {
  return shown_.at(index).isEmpty() ? inventory_.at(index).address : shown_.at(index);
}

int InventoryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(inventory_.size());
}

int InventoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant InventoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const bool numeric = index.column() == kUses || index.column() == kNaturalSize || index.column() == kDisplayedSize;
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::UserRole && role != Qt::ToolTipRole) return {};
  const InventoryRow& r = inventory_.at(index.row());
  const bool sortKey = role == Qt::UserRole;
  switch (index.column()) {
    case kAddress: return shownAddress(index.row());
    case kKinds: return r.kinds.join(QStringLiteral(", "));
    case kUses: return sortKey ? QVariant(r.uses) : QVariant(QString::number(r.uses));
    case kNaturalSize:
      return sortKey ? QVariant(area(r.naturalWidth, r.naturalHeight))
                     : QVariant(sizeText(r.naturalWidth, r.naturalHeight));
    case kDisplayedSize:
      return sortKey ? QVariant(area(r.displayWidth, r.displayHeight))
                     : QVariant(sizeText(r.displayWidth, r.displayHeight));
    case kAltText: return r.alt;
    case kLoaded: return loadedText(r.loaded);
    case kOrigin: return r.origins.join(QStringLiteral(", "));
    default: return {};
  }
}

QVariant InventoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  static const QStringList titles = {tr("Address"),        tr("Kinds"),    tr("Uses"),   tr("Natural size"),
                                     tr("Displayed size"), tr("Alt text"), tr("Loaded"), tr("Origins")};
  return titles.value(section);
}

InventoryFilter::InventoryFilter(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(Qt::UserRole);
  setSortCaseSensitivity(Qt::CaseInsensitive);
}

void InventoryFilter::setKind(const QString& kind) {
  kind_ = kind;
  invalidateRowsFilter();
}

void InventoryFilter::setMinimumSize(int pixels) {
  minimumSize_ = pixels;
  invalidateRowsFilter();
}

void InventoryFilter::setSearch(const QString& text) {
  search_ = text;
  invalidateRowsFilter();
}

bool InventoryFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  const auto* model = static_cast<const InventoryModel*>(sourceModel());
  const InventoryRow& row = model->row(sourceRow);
  if (!kind_.isEmpty() && !row.kinds.contains(kind_)) return false;
  if (minimumSize_ > 0 && (row.naturalWidth < minimumSize_ || row.naturalHeight < minimumSize_)) return false;
  return search_.isEmpty() || model->shownAddress(sourceRow).contains(search_, Qt::CaseInsensitive) ||
         row.alt.contains(search_, Qt::CaseInsensitive);
}

}  // namespace pagesift
