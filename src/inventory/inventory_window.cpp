// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/inventory_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "inventory/inline_image.h"
#include "inventory/inventory_model.h"
#include "platform/address_policy.h"

namespace pagesift {

InventoryWindow::InventoryWindow(const BrowserPaneFactory& makePane, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(new InventoryModel(this)),
      filter_(new InventoryFilter(this)),
      table_(new QTableView),
      kind_(new QComboBox),
      minimumSize_(new QSpinBox),
      search_(new QLineEdit),
      preview_(new QStackedWidget),
      previewPane_(nullptr),
      inlinePreview_(new QLabel),
      status_(new QLabel) {
  setWindowTitle(tr("Every Image"));
  resize(1000, 640);

  kind_->addItem(tr("All kinds"), QString());
  for (const QLatin1String kind : kImageKinds) kind_->addItem(kind, kind);
  minimumSize_->setRange(0, 100000);
  minimumSize_->setPrefix(tr("At least "));
  minimumSize_->setSuffix(tr(" px"));
  minimumSize_->setSpecialValueText(tr("Any size"));
  search_->setPlaceholderText(tr("Search addresses and alt text"));
  search_->setClearButtonEnabled(true);
  auto* filters = new QHBoxLayout;
  filters->addWidget(kind_);
  filters->addWidget(minimumSize_);
  filters->addWidget(search_, 1);

  filter_->setSourceModel(model_);
  table_->setModel(filter_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // inventory order until a header is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(InventoryModel::kAddress, 360);

  previewPane_ = makePane(kPreviewPane, PaneRole::kPreview, preview_);
  preview_->addWidget(previewPane_->widget());
  inlinePreview_->setAlignment(Qt::AlignCenter);
  inlinePreview_->setTextFormat(Qt::PlainText);  // it may name a page's address
  inlinePreview_->setWordWrap(true);
  preview_->addWidget(inlinePreview_);
  preview_->setCurrentWidget(inlinePreview_);
  preview_->setMinimumWidth(240);

  auto* splitter = new QSplitter;
  splitter->addWidget(table_);
  splitter->addWidget(preview_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(splitter, 1);
  layout->addWidget(status_);
  status_->setWordWrap(true);

  connect(kind_, &QComboBox::currentIndexChanged, this, [this] { filter_->setKind(kind_->currentData().toString()); });
  connect(minimumSize_, &QSpinBox::valueChanged, filter_, &InventoryFilter::setMinimumSize);
  connect(search_, &QLineEdit::textChanged, filter_, &InventoryFilter::setSearch);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &InventoryWindow::showPreview);
  connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const QModelIndex source = filter_->mapToSource(index);
    if (source.isValid()) emit openRequested(model_->row(source.row()).address);
  });
}

void InventoryWindow::setCollected(CollectedImages collected) {
  cutShort_ = std::move(collected.cutShort);
  failure_ = std::move(collected.failure);
  model_->setInventory(std::move(collected.rows));
  status_->setText(statusText());
  showPreview();
}

const ImageInventory& InventoryWindow::inventory() const { return model_->inventory(); }

QString InventoryWindow::statusText() const {
  if (!failure_.isEmpty()) return tr("PageSift could not read this page's images: %1").arg(failure_);
  qint64 uses = 0;
  int notLoaded = 0;
  for (const InventoryRow& row : inventory()) {
    uses += row.uses;
    if (row.loaded == ImageLoaded::kNo) ++notLoaded;
  }
  const QString counts = tr("%1 images (%2 distinct), %3 not loaded").arg(uses).arg(inventory().size()).arg(notLoaded);
  return cutShort_.isEmpty() ? counts : tr("%1. The list was cut short: %2.").arg(counts, cutShort_);
}

void InventoryWindow::showPreview() {
  const QModelIndex source = filter_->mapToSource(table_->currentIndex());
  inlinePreview_->clear();
  if (!source.isValid()) {
    preview_->setCurrentWidget(inlinePreview_);
    return;
  }
  const InventoryRow& row = model_->row(source.row());
  if (!row.isInline()) {
    // An address the preview pane refuses says why here, where its status would not show.
    const AddressDecision decision = decideTypedAddress(row.address, QString(), PaneRole::kGeneratedView);
    if (decision.refusal.isEmpty()) {
      previewPane_->Navigate(row.address);
      preview_->setCurrentWidget(previewPane_->widget());
      return;
    }
    inlinePreview_->setText(refusalMessage(row.address, decision.refusal));
    preview_->setCurrentWidget(inlinePreview_);
    return;
  }
  const std::optional<InlineImage> image = decodeInlineImage(row.address);
  QImage picture;
  if (image && picture.loadFromData(image->bytes)) {
    const QSize room = preview_->size();
    const QPixmap pixmap = QPixmap::fromImage(picture);
    inlinePreview_->setPixmap(picture.width() > room.width() || picture.height() > room.height()
                                  ? pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  : pixmap);
  } else {
    inlinePreview_->setText(tr("No preview"));
  }
  preview_->setCurrentWidget(inlinePreview_);
}

}  // namespace pagesift
