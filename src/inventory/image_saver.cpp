// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/image_saver.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPromise>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include "inventory/image_content.h"
#include "inventory/inline_image.h"

namespace pagesift {
namespace {

// Items that need no download handled in one turn of the event loop, so a
// save of 100,000 images never holds the window up.
constexpr int kItemsPerTurn = 256;

bool fetchable(const QUrl& url) {
  const QString scheme = url.scheme();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file");
}

// A frame of another origin is a document, not an image.
bool isImage(const InventoryRow& row) {
  return !(row.kinds.size() == 1 && row.kinds.front() == QLatin1String("frame"));
}

// Whether a file: address names a regular file (links followed): a FIFO, a
// device or a folder is never read.
bool isRegularFile(const QUrl& url) {
  struct stat status {};
  return stat(QFile::encodeName(url.toLocalFile()).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

QString stalledText(int deadline) {
  return QObject::tr("no answer from the server for %1 s").arg(QString::number(deadline / 1000.0, 'g', 3));
}

}  // namespace

QString shownAddress(const QString& address) {
  if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return address;
  const std::optional<InlineImage> image = decodeInlineImage(address);
  return QObject::tr("inline image, %1 bytes").arg(image ? image->bytes.size() : 0);
}

ImageSaver::ImageSaver(BrowserPane* pane, const ImageInventory& inventory, const QString& folder,
                       const SaveLimits& limits, QObject* parent)
    : QObject(parent), pane_(pane), folder_(folder), limits_(limits), names_(folder) {
  int inlineRows = 0;
  for (const InventoryRow& row : inventory) {
    if (isImage(row)) addItem(row, &inlineRows);
  }
}

ImageSaver::ImageSaver(BrowserPane* pane, const QString& address, const QString& filePath, const SaveLimits& limits,
                       QObject* parent)
    : QObject(parent),
      pane_(pane),
      folder_(QFileInfo(filePath).absolutePath()),
      targetFile_(QFileInfo(filePath).absoluteFilePath()),
      limits_(limits),
      names_(folder_) {
  InventoryRow row;
  row.address = address;
  int inlineRows = 0;
  addItem(row, &inlineRows);
}

void ImageSaver::addItem(const InventoryRow& row, int* inlineRows) {
  Item item;
  item.address = row.address;
  if (row.isInline()) {
    item.inlineNumber = ++*inlineRows;
  } else if (!fetchable(QUrl(row.address))) {
    return;
  }
  items_.append(std::move(item));
}

ImageSaver::~ImageSaver() {
  cancelled_->store(true);
  if (running()) cancel();
}

void ImageSaver::start() {
  if (started_) return;
  started_ = true;
  partial_ = std::make_shared<QTemporaryDir>(folder_ + QStringLiteral("/.pagesift-XXXXXX"));
  if (!partial_->isValid()) {
    for (const Item& item : items_)
      failures_.append({shownAddress(item.address), tr("Cannot write in %1").arg(folder_)});
    ended_ = total();
    next_ = total();
  }
  const bool anyFetched =
      std::any_of(items_.cbegin(), items_.cend(), [](const Item& item) { return item.inlineNumber == 0; });
  // Reported from the event loop, so the caller has connected by then.
  if (next_ < total() && anyFetched && pane_) {
    QTimer::singleShot(0, this, [this] { readArchive(); });
  } else {
    QTimer::singleShot(0, this, [this] { pump(); });
  }
}

// What the engine holds for the page: its archive, read on a worker thread.
// An archive that fails or takes longer than the stall deadline is done
// without: every image is then downloaded.
void ImageSaver::readArchive() {
  if (finished_) return;
  const QString archivePath = partial_->filePath(QStringLiteral("page.mhtml"));
  archive_ = pane_ ? pane_->archivePage(archivePath, this) : nullptr;
  if (!archive_) {
    pump();
    return;
  }
  auto* deadline = new QTimer(archive_);
  deadline->setSingleShot(true);
  connect(deadline, &QTimer::timeout, archive_, &PaneDownload::cancel);
  deadline->start(limits_.stallDeadline);
  connect(archive_, &PaneDownload::finished, this, [this, archivePath](bool ok, const QString&) {
    archive_->deleteLater();
    if (finished_) return;
    if (!ok) {
      QFile::remove(archivePath);
      pump();
      return;
    }
    QSet<QString> wanted;
    for (const Item& item : items_) {
      if (item.inlineNumber == 0) wanted.insert(item.address);
    }
    auto promise = std::make_shared<QPromise<QHash<QString, ArchivedImage>>>();
    auto* watcher = new QFutureWatcher<QHash<QString, ArchivedImage>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
      watcher->deleteLater();
      archiveRead(watcher->future().result());
    });
    watcher->setFuture(promise->future());
    // The worker keeps the partial folder until it is done with it.
    QThread* worker = QThread::create([promise, archivePath, wanted = std::move(wanted), partial = partial_,
                                       maxBytes = limits_.maxImageBytes, cancelled = cancelled_]() mutable {
      promise->start();
      promise->addResult(readArchivedImages(archivePath, wanted, partial->path(), maxBytes, *cancelled));
      QFile::remove(archivePath);
      partial.reset();  // before the answer, so a saver that is done removes the folder itself
      promise->finish();
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
  });
}

void ImageSaver::archiveRead(QHash<QString, ArchivedImage> archived) {
  if (finished_) return;
  archived_ = std::move(archived);
  pump();
}

void ImageSaver::pump() {
  if (pumping_) return;
  pumping_ = true;
  int handled = 0;
  while (!finished_ && next_ < total() && running_ < kParallelDownloads) {
    if (++handled > kItemsPerTurn) {
      QTimer::singleShot(0, this, [this] { pump(); });
      pumping_ = false;
      return;
    }
    const int index = next_++;
    Item& item = items_[index];
    const auto archived = archived_.constFind(item.address);
    if (item.inlineNumber > 0) {
      writeInline(item);
    } else if (archived != archived_.constEnd()) {
      saveArchived(item, *archived);
    } else if (QUrl(item.address).isLocalFile() && !isRegularFile(QUrl(item.address))) {
      itemEnded(item, tr("not a regular file"));
    } else {
      requestDownload(index);
    }
  }
  pumping_ = false;
  if (!finished_ && next_ == total() && running_ == 0) finish();
}

// The file name an item settles on for an answer of `mediaType`.
QString ImageSaver::settledName(Item& item, const QString& mediaType) {
  if (!targetFile_.isEmpty()) return QFileInfo(targetFile_).fileName();
  if (item.fileName.isEmpty()) item.fileName = names_.complete(item.openName, mediaType);
  return item.fileName;
}

void ImageSaver::writeInline(Item& item) {
  const std::optional<InlineImage> image = decodeInlineImage(item.address);
  QString extension = image ? imageExtension(image->mediaType) : QString();
  if (extension.isEmpty()) extension = QStringLiteral("bin");
  if (targetFile_.isEmpty())
    item.openName = names_.reserve(QStringLiteral("inline-%1.").arg(item.inlineNumber) + extension);
  QString error = tr("Not a readable data: address");
  if (image && image->bytes.size() > limits_.maxImageBytes) {
    error = largerThanText(limits_.maxImageBytes);
  } else if (image && !isImageContent(image->mediaType, image->bytes.left(kImageHeadBytes))) {
    error = tr("not an image");
  } else if (image) {
    QFile file(partial_->filePath(QStringLiteral("inline")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(image->bytes) == image->bytes.size() &&
        file.flush()) {
      file.close();
      if (moveIntoPlace(file.fileName(), settledName(item, image->mediaType), &error)) error.clear();
    } else {
      error = file.errorString();
    }
    file.remove();
  }
  itemEnded(item, error);
}

void ImageSaver::saveArchived(Item& item, const ArchivedImage& archived) {
  if (targetFile_.isEmpty()) item.openName = names_.reserve(imageFileName(QUrl(item.address)));
  QString error = archived.failure;
  if (error.isEmpty() && moveIntoPlace(archived.filePath, settledName(item, archived.mediaType), &error)) {
    error.clear();
    ++fromEngine_;
  }
  if (!archived.filePath.isEmpty()) QFile::remove(archived.filePath);
  itemEnded(item, error);
}

void ImageSaver::requestDownload(int index) {
  Item& item = items_[index];
  // Named now, in inventory order; the name is settled from the content
  // type when the answer comes.
  if (targetFile_.isEmpty()) item.openName = names_.reserve(imageFileName(QUrl(item.address)));
  const QString partialPath = partial_->filePath(QString::number(index));
  QPointer<ImageSaver> self(this);
  auto target = [self, index, partialPath](const QString& mimeType) -> QString {
    if (!self || self->finished_) return {};
    self->items_[index].mediaType = mimeType;
    return partialPath;
  };
  ++running_;
  item.download = pane_ ? pane_->startDownload(QUrl(item.address), std::move(target), this) : nullptr;
  if (!item.download) {
    --running_;
    itemEnded(item, tr("The browser view is gone"));
    return;
  }
  item.stall = new QTimer(item.download);
  item.stall->setSingleShot(true);
  connect(item.stall, &QTimer::timeout, this, [this, index] { giveUp(index, stalledText(limits_.stallDeadline)); });
  item.stall->start(limits_.stallDeadline);
  connect(item.download, &PaneDownload::progress, this,
          [this, index](qint64 received, qint64 total) { downloadProgressed(index, received, total); });
  connect(item.download, &PaneDownload::finished, this,
          [this, index](bool ok, const QString& reason) { downloadEnded(index, ok, reason); });
}

void ImageSaver::downloadProgressed(int index, qint64 bytes, qint64 total) {
  Item& item = items_[index];
  if (bytes > limits_.maxImageBytes || total > limits_.maxImageBytes) {
    giveUp(index, largerThanText(limits_.maxImageBytes));
    return;
  }
  if (bytes > 0 && item.stall) item.stall->start(limits_.stallDeadline);  // a byte came: the wait starts again
  emit received(bytes, total);
}

// Stops a download that is not to go on; it ends with `reason`.
void ImageSaver::giveUp(int index, const QString& reason) {
  Item& item = items_[index];
  if (!item.download) return;
  QPointer<PaneDownload> download = std::exchange(item.download, nullptr);
  disconnect(download, nullptr, this, nullptr);
  download->cancel();
  download->deleteLater();
  downloadEnded(index, false, reason);
}

void ImageSaver::downloadEnded(int index, bool ok, const QString& reason) {
  if (finished_) return;
  --running_;
  Item& item = items_[index];
  if (item.download) item.download->deleteLater();
  item.download = nullptr;
  item.stall = nullptr;  // went with its download
  const QString partialPath = partial_->filePath(QString::number(index));
  QString error = reason.isEmpty() ? tr("Failed") : reason;
  if (ok) {
    const qint64 size = QFileInfo(partialPath).size();
    if (size > limits_.maxImageBytes) {
      error = largerThanText(limits_.maxImageBytes);
    } else if (!isImageContent(item.mediaType, fileHead(partialPath))) {
      error = tr("not an image");
    } else if (moveIntoPlace(partialPath, settledName(item, item.mediaType), &error)) {
      error.clear();
    }
  }
  QFile::remove(partialPath);
  itemEnded(item, error);
  pump();
}

void ImageSaver::itemEnded(const Item& item, const QString& failure) {
  if (failure.isEmpty()) {
    saved_.append(targetFile_.isEmpty() ? item.fileName : QFileInfo(targetFile_).fileName());
  } else {
    failures_.append({shownAddress(item.address), failure});
  }
  ++ended_;
  emit progressed(ended_, total());
}

// Into a folder: moved without replacing (renameat2's no-replace flag where
// the file system has it, else a hard link, which never replaces, and an
// unlink). Onto the one target file: renamed over it, so it is replaced
// whole or not at all.
bool ImageSaver::moveIntoPlace(const QString& from, const QString& name, QString* error) const {
  if (name.isEmpty()) {
    *error = tr("No name was given");
    return false;
  }
  const QByteArray source = QFile::encodeName(from);
  const QByteArray target = QFile::encodeName(targetFile_.isEmpty() ? folder_ + QLatin1Char('/') + name : targetFile_);
  if (!targetFile_.isEmpty()) {
    if (rename(source.constData(), target.constData()) == 0) return true;
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  if (renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS) {
    if (link(source.constData(), target.constData()) == 0) {
      unlink(source.constData());
      return true;
    }
  }
  *error = errno == EEXIST ? tr("%1 exists already").arg(name) : QString::fromLocal8Bit(std::strerror(errno));
  return false;
}

void ImageSaver::cancel() {
  if (started_) finish();
}

// The downloads still running are stopped; their last words are not wanted.
void ImageSaver::finish() {
  if (finished_) return;
  finished_ = true;
  cancelled_->store(true);
  if (archive_) archive_->cancel();
  for (Item& item : items_) {
    if (item.download) item.download->cancel();
  }
  partial_.reset();  // with every partial file in it, once the archive reader is done with it too
  emit finished();
}

}  // namespace pagesift
