#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "inventory/image_file_names.h"
#include "inventory/image_inventory.h"
#include "platform/browser_pane.h"

namespace pagesift {

// Saves every image of an inventory into one folder: each http, https and
// file: address downloaded through a pane's engine profile, at most
// kParallelDownloads at a time (the engine sets no limit), each data: image
// written from its bytes as "inline-N.<ext>".
//
// Names are fixed in inventory order as each download is requested; a name
// without an extension gets the answer's media type's when the answer comes.
// The engine writes into a hidden folder of this saver's own inside the
// target folder, and a finished file is moved out without ever replacing
// anything, so no existing file is overwritten and nothing half-written is
// left behind.
class ImageSaver : public QObject {
  Q_OBJECT

 public:
  static constexpr int kParallelDownloads = 4;

  struct Failure {
    QString address;  // as shown: an inline image is "inline image, N bytes"
    QString reason;
  };

  ImageSaver(BrowserPane* pane, const ImageInventory& inventory, const QString& folder, QObject* parent);
  ~ImageSaver() override;  // cancels what is still running

  // Begins; finished() follows, at once when there is nothing to do.
  void start();
  // Stops every download, removes their partial files and keeps the files
  // saved so far; finished() follows.
  void cancel();

  int total() const { return static_cast<int>(items_.size()); }
  int ended() const { return ended_; }
  bool running() const { return started_ && !finished_; }
  const QStringList& saved() const { return saved_; }  // file names, in the order they were saved
  const QList<Failure>& failures() const { return failures_; }

 signals:
  void progressed(int ended, int total);
  void finished();

 private:
  struct Item {
    QString address;
    int inlineNumber = 0;  // from 1 for data: rows, 0 for the others
    QString fileName;      // once fixed
    QPointer<PaneDownload> download;
  };

  void pump();
  void writeInline(Item& item);
  void requestDownload(int index);
  void downloadEnded(int index, bool ok, const QString& reason);
  void itemEnded(const Item& item, const QString& failure);
  bool moveIntoFolder(const QString& from, const QString& name, QString* error) const;
  void finish();

  QPointer<BrowserPane> pane_;
  QString folder_;
  std::unique_ptr<QTemporaryDir> partial_;  // where the engine writes
  FileNameReservations names_;
  QList<Item> items_;
  int next_ = 0;
  int running_ = 0;
  int ended_ = 0;
  bool started_ = false;
  bool finished_ = false;
  QStringList saved_;
  QList<Failure> failures_;
};

// How an address is shown: a data: address as "inline image, N bytes".
QString shownAddress(const QString& address);

}  // namespace pagesift
