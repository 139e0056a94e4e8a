// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QWidget>

#include "inventory/image_inventory.h"
#include "platform/browser_pane.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QTableView;

namespace pagesift {

class InventoryFilter;
class InventoryModel;

// Every image of the Browser view's page: a table of the inventory with
// its filters, a preview of the selected image and a status line. The
// preview never runs script: a data: image is decoded here, any other
// address is shown by a pane with the generated views' settings (script
// off), which reaches the network through the engine profile.
class InventoryWindow : public QWidget {
  Q_OBJECT

 public:
  InventoryWindow(const BrowserPaneFactory& makePane, QWidget* parent = nullptr);

  // Shows what collecting gave: its rows, and in the status line whether
  // the list was cut short or could not be read at all.
  void setCollected(CollectedImages collected);
  const ImageInventory& inventory() const;
  CollectedImages collected() const { return {inventory(), cutShort_, failure_}; }

  QTableView* table() const { return table_; }
  QString statusText() const;

 signals:
  // A row was double-clicked: its address is to be loaded in the Browser view.
  void openRequested(const QString& address);

 private:
  void showPreview();

  InventoryModel* model_;
  InventoryFilter* filter_;
  QTableView* table_;
  QComboBox* kind_;
  QSpinBox* minimumSize_;
  QLineEdit* search_;
  QStackedWidget* preview_;
  BrowserPane* previewPane_;
  QLabel* inlinePreview_;
  QLabel* status_;
  QString cutShort_;
  QString failure_;
};

}  // namespace pagesift
