// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

#include "inventory/image_file_names.h"
#include "inventory/image_inventory.h"
#include "inventory/page_archive.h"
#include "platform/browser_pane.h"

class QTimer;

namespace pagesift {

// What a save allows.
struct SaveLimits {
  static constexpr qint64 kDefaultMaxImageBytes = qint64(256) << 20;
  static constexpr int kDefaultStallDeadline = 30000;  // milliseconds

  qint64 maxImageBytes = kDefaultMaxImageBytes;  // per image
  int stallDeadline = kDefaultStallDeadline;     // a download that receives no byte for this long is given up
};

// Saves images: every image of an inventory into one folder (Save All), or
// one image into a file the user chose (Save Image As).
//
// Images the page has loaded are taken from the engine: first the pane's
// page is written as one archive (BrowserPane::archivePage) and read on a
// worker thread; only what it does not hold is downloaded, each http, https
// and file: address through the pane's engine profile, at most
// kParallelDownloads at a time. Each data: image is written from its
// bytes, as "inline-N.<ext>" in a folder.
//
// Only images are kept: an answer whose content type is not image/* or
// whose first bytes are not an image (isImageContent) fails with "not an
// image"; one over SaveLimits::maxImageBytes fails with "larger than 256
// MiB"; a download that receives no byte for SaveLimits::stallDeadline
// fails with "no answer from the server for 30 s"; a file: address that is
// not a regular file is never read.
//
// Names are fixed in inventory order (FileNameReservations) and settled
// with the content type when it is known. Everything is written into a
// hidden folder of this saver's own beside the target, and a finished file
// is moved out: into a folder without ever replacing anything, or onto the
// one file Save Image As was given (the user agreed to replace it), so
// nothing half-written is ever left behind.
class ImageSaver : public QObject {
  Q_OBJECT

 public:
  static constexpr int kParallelDownloads = 4;

  struct Failure {
    QString address;  // as shown: an inline image is "inline image, N bytes"
    QString reason;
  };

  // Every image of `inventory` into `folder`.
  ImageSaver(BrowserPane* pane, const ImageInventory& inventory, const QString& folder, const SaveLimits& limits,
             QObject* parent);
  // The image at `address` as the file `filePath`, replacing it.
  ImageSaver(BrowserPane* pane, const QString& address, const QString& filePath, const SaveLimits& limits,
             QObject* parent);
  ~ImageSaver() override;  // cancels what is still running

  // Begins; finished() follows, at once when there is nothing to do.
  void start();
  // Stops every download, removes their partial files and keeps the files
  // saved so far; finished() follows at once.
  void cancel();

  int total() const { return static_cast<int>(items_.size()); }
  int ended() const { return ended_; }
  bool running() const { return started_ && !finished_; }
  const QStringList& saved() const { return saved_; }  // file names, in the order they were saved
  const QList<Failure>& failures() const { return failures_; }
  int fromEngine() const { return fromEngine_; }  // how many of saved() came from the page's archive

 signals:
  void progressed(int ended, int total);
  // Bytes of the downloads under way (total -1 when unknown).
  void received(qint64 bytes, qint64 total);
  void finished();

 private:
  struct Item {
    QString address;
    int inlineNumber = 0;  // from 1 for data: rows, 0 for the others
    QString openName;      // reserved, not yet settled
    QString fileName;      // once settled
    QString mediaType;     // of the answer
    QPointer<PaneDownload> download;
    QTimer* stall = nullptr;
  };

  void addItem(const InventoryRow& row, int* inlineRows);
  void readArchive();
  void archiveRead(QHash<QString, ArchivedImage> archived);
  void pump();
  QString settledName(Item& item, const QString& mediaType);
  void writeInline(Item& item);
  void saveArchived(Item& item, const ArchivedImage& archived);
  void requestDownload(int index);
  void downloadProgressed(int index, qint64 received, qint64 total);
  void downloadEnded(int index, bool ok, const QString& reason);
  void giveUp(int index, const QString& reason);
  void itemEnded(const Item& item, const QString& failure);
  bool moveIntoPlace(const QString& from, const QString& name, QString* error) const;
  void finish();

  QPointer<BrowserPane> pane_;
  QString folder_;
  QString targetFile_;  // Save Image As: the one file to write
  SaveLimits limits_;
  std::shared_ptr<QTemporaryDir> partial_;  // where the engine and the archive reader write
  std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
  FileNameReservations names_;
  QList<Item> items_;
  QHash<QString, ArchivedImage> archived_;
  QPointer<PaneDownload> archive_;
  int next_ = 0;
  int running_ = 0;
  int ended_ = 0;
  int fromEngine_ = 0;
  bool started_ = false;
  bool pumping_ = false;
  bool finished_ = false;
  QStringList saved_;
  QList<Failure> failures_;
};

// How an address is shown: a data: address as "inline image, N bytes".
QString shownAddress(const QString& address);

}  // namespace pagesift
