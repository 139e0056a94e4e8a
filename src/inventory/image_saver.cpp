#include "inventory/image_saver.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include "inventory/inline_image.h"

namespace pagesift {
namespace {

bool fetchable(const QUrl& url) {
  const QString scheme = url.scheme();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file");
}

// A frame of another origin is a document, not an image.
bool isImage(const InventoryRow& row) { return !(row.kinds.size() == 1 && row.kinds.front() == QLatin1String("frame")); }

}  // namespace

QString shownAddress(const QString& address) {
  if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return address;
  const std::optional<InlineImage> image = decodeInlineImage(address);
  return QObject::tr("inline image, %1 bytes").arg(image ? image->bytes.size() : 0);
}

ImageSaver::ImageSaver(BrowserPane* pane, const ImageInventory& inventory, const QString& folder, QObject* parent)
    : QObject(parent), pane_(pane), folder_(folder), names_(folder) {
  int inlineRows = 0;
  for (const InventoryRow& row : inventory) {
    if (row.isInline()) {
      items_.append({row.address, ++inlineRows, {}, {}});
    } else if (isImage(row) && fetchable(QUrl(row.address))) {
      items_.append({row.address, 0, {}, {}});
    }
  }
}

ImageSaver::~ImageSaver() {
  if (running()) cancel();
}

void ImageSaver::start() {
  if (started_) return;
  started_ = true;
  partial_ = std::make_unique<QTemporaryDir>(folder_ + QStringLiteral("/.pagesift-XXXXXX"));
  if (!partial_->isValid()) {
    for (const Item& item : items_) failures_.append({shownAddress(item.address), tr("Cannot write in %1").arg(folder_)});
    ended_ = total();
    next_ = total();
  }
  // Reported from the event loop, so the caller has connected by then.
  QTimer::singleShot(0, this, [this] { pump(); });
}

void ImageSaver::pump() {
  while (!finished_ && next_ < total() && running_ < kParallelDownloads) {
    const int index = next_++;
    if (items_[index].inlineNumber > 0) {
      writeInline(items_[index]);
    } else {
      requestDownload(index);
    }
  }
  if (!finished_ && next_ == total() && running_ == 0) finish();
}

void ImageSaver::writeInline(Item& item) {
  const std::optional<InlineImage> image = decodeInlineImage(item.address);
  QString extension = image ? imageExtension(image->mediaType) : QString();
  if (extension.isEmpty()) extension = QStringLiteral("bin");
  item.fileName = names_.reserve(QStringLiteral("inline-%1.").arg(item.inlineNumber) + extension);
  QString error = tr("Not a readable data: address");
  if (image) {
    QFile file(partial_->filePath(QStringLiteral("inline")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(image->bytes) == image->bytes.size() &&
        file.flush()) {
      file.close();
      if (moveIntoFolder(file.fileName(), item.fileName, &error)) error.clear();
    } else {
      error = file.errorString();
    }
    file.remove();
  }
  itemEnded(item, error);
}

void ImageSaver::requestDownload(int index) {
  Item& item = items_[index];
  const QString address = item.address;
  // Named now, in inventory order; a name without an extension is completed
  // from the content type when the answer comes.
  const QString wanted = imageFileName(QUrl(address));
  const QString name = names_.reserve(wanted);
  if (hasExtension(wanted)) item.fileName = name;
  const QString partialPath = partial_->filePath(QString::number(index));
  QPointer<ImageSaver> self(this);
  auto target = [self, index, name, partialPath](const QString& mimeType) -> QString {
    if (!self || self->finished_) return {};
    Item& fixed = self->items_[index];
    if (fixed.fileName.isEmpty()) fixed.fileName = self->names_.complete(name, imageExtension(mimeType));
    return partialPath;
  };
  ++running_;
  item.download = pane_ ? pane_->startDownload(QUrl(address), std::move(target), this) : nullptr;
  if (!item.download) {
    --running_;
    itemEnded(item, tr("The browser view is gone"));
    return;
  }
  connect(item.download, &PaneDownload::finished, this,
          [this, index](bool ok, const QString& reason) { downloadEnded(index, ok, reason); });
}

void ImageSaver::downloadEnded(int index, bool ok, const QString& reason) {
  if (finished_) return;
  --running_;
  Item& item = items_[index];
  item.download->deleteLater();
  const QString partialPath = partial_->filePath(QString::number(index));
  QString error = reason.isEmpty() ? tr("Failed") : reason;
  if (ok && moveIntoFolder(partialPath, item.fileName, &error)) error.clear();
  QFile::remove(partialPath);
  itemEnded(item, error);
  pump();
}

void ImageSaver::itemEnded(const Item& item, const QString& failure) {
  if (failure.isEmpty()) {
    saved_.append(item.fileName);
  } else {
    failures_.append({shownAddress(item.address), failure});
  }
  ++ended_;
  emit progressed(ended_, total());
}

// Moves without replacing: renameat2's no-replace flag where the file system
// has it, else a hard link (which never replaces) and an unlink.
bool ImageSaver::moveIntoFolder(const QString& from, const QString& name, QString* error) const {
  if (name.isEmpty()) {
    *error = tr("No name was given");
    return false;
  }
  const QByteArray source = QFile::encodeName(from);
  const QByteArray target = QFile::encodeName(folder_ + QLatin1Char('/') + name);
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
  for (Item& item : items_) {
    if (item.download) item.download->cancel();
  }
  partial_.reset();  // with every partial file in it
  emit finished();
}

}  // namespace pagesift
