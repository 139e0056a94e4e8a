// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

#include "inventory/image_inventory.h"
#include "inventory/image_saver.h"
#include "inventory/inventory_collector.h"
#include "inventory/inventory_window.h"
#include "platform/browser_pane.h"

class QProgressDialog;
class QWidget;

namespace pagesift {

// Collects the inventory of the Browser view's page (collectImageInventory
// in the program).
using InventoryCollector = std::function<void(InventoryCallback done)>;

// The Page menu's three commands: the one Every Image window, copying the
// image addresses, saving every image; and Save Image As for one image.
// Copy and Save use the window's inventory while it is open and collect one
// themselves otherwise.
class PageImages : public QObject {
  Q_OBJECT

 public:
  struct Context {
    BrowserPane* browser = nullptr;  // the Browser view: its loads, its profile for downloads
    InventoryCollector collect;
    BrowserPaneFactory makePane;                        // the window's preview pane
    std::function<void(const QString&)> sendToBrowser;  // a double-clicked address
    QWidget* dialogParent = nullptr;                    // the main window
    SaveLimits limits;                                  // of Save All and Save Image As
  };

  explicit PageImages(Context context, QObject* parent = nullptr);
  ~PageImages() override;  // unloads

  void showEveryImage();
  void copyImageAddresses();
  // Asks for a folder, starting in the user's Pictures folder, then saves.
  void saveAllImages();
  void saveAllImagesTo(const QString& folder);
  // Asks for a file, starting in the user's Pictures folder with the name
  // Save All would give the image (the dialog asks before replacing one),
  // then saves the image there, replacing the file whole; progress goes to
  // statusMessage(), a failure to a message box as well.
  void saveImageAs(const QUrl& address);
  void saveImageTo(const QUrl& address, const QString& filePath);
  // Closes the window and cancels a running save (its partial files removed).
  void unload();

  InventoryWindow* window() const { return window_; }
  ImageSaver* saver() const { return saver_; }

 signals:
  // A save ended (done or cancelled); its summary is on show.
  void saveEnded();
  // How Save Image As is doing, for the main window's status bar.
  void statusMessage(const QString& text);

 private:
  void withInventory(std::function<void(const CollectedImages&)> use);
  void collectForWindow();
  void startSaving(const ImageInventory& inventory, const QString& folder);
  void savingEnded(const QString& folder);
  void imageSaveEnded(const QString& filePath);

  Context context_;
  QPointer<InventoryWindow> window_;
  QPointer<ImageSaver> saver_;
  QPointer<QProgressDialog> progress_;
  QPointer<ImageSaver> imageSaver_;  // Save Image As, one at a time
  int collecting_ = 0;               // the latest collection for the window; older answers are dropped
};

}  // namespace pagesift
