// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "inventory/page_images.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>

#include <functional>

#include "inventory/image_file_names.h"
#include "inventory/image_saver.h"
#include "inventory/inline_image.h"
#include "inventory/inventory_window.h"

namespace pagesift {

namespace {

// Asks for a folder (`mode` Directory) or a file to write (AnyFile; the
// dialog asks before an existing one is chosen) without blocking: the
// dialog is window-modal and `chosen` receives the path, while `context`
// lives; nothing happens when the user cancels.
void askForPath(QWidget* parent, const QString& title, const QString& start, QFileDialog::FileMode mode,
                QObject* context, std::function<void(const QString&)> chosen) {
  auto* dialog = new QFileDialog(parent, title, start);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(mode);
  if (mode == QFileDialog::Directory) {
    dialog->setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
  }
  QObject::connect(dialog, &QFileDialog::fileSelected, context, [chosen = std::move(chosen)](const QString& path) {
    if (!path.isEmpty()) chosen(path);
  });
  dialog->open();
}

}  // namespace

PageImages::PageImages(Context context, QObject* parent) : QObject(parent), context_(std::move(context)) {
  connect(context_.browser, &BrowserPane::DownloadComplete, this, [this](int index) {
    if (index == kBrowserPane && window_) collectForWindow();
  });
}

PageImages::~PageImages() { unload(); }

void PageImages::showEveryImage() {
  if (!window_) {
    window_ = new InventoryWindow(context_.makePane);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    connect(window_, &InventoryWindow::openRequested, this, [this](const QString& address) {
      if (context_.sendToBrowser) context_.sendToBrowser(address);
    });
    collectForWindow();
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void PageImages::collectForWindow() {
  const int generation = ++collecting_;
  QPointer<PageImages> self(this);
  context_.collect([self, generation](CollectedImages collected) {
    if (!self || !self->window_ || generation != self->collecting_) return;
    self->window_->setCollected(std::move(collected));
  });
}

void PageImages::withInventory(std::function<void(const CollectedImages&)> use) {
  if (window_) {
    use(window_->collected());
    return;
  }
  QPointer<PageImages> self(this);
  context_.collect([self, use = std::move(use)](CollectedImages collected) {
    if (self) use(collected);
  });
}

void PageImages::copyImageAddresses() {
  withInventory([](const CollectedImages& collected) {
    QStringList addresses;
    for (const InventoryRow& row : collected.rows) {
      if (!row.isInline()) addresses.append(row.address);
    }
    QApplication::clipboard()->setText(addresses.join(QLatin1Char('\n')));
  });
}

void PageImages::saveAllImages() {
  if (saver_) {  // one save at a time
    if (progress_) progress_->raise();
    return;
  }
  askForPath(context_.dialogParent, tr("Save All Images"),
             QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QFileDialog::Directory, this,
             [this](const QString& folder) { saveAllImagesTo(folder); });
}

void PageImages::saveAllImagesTo(const QString& folder) {
  if (saver_) return;
  QPointer<PageImages> self(this);
  withInventory([self, folder](const CollectedImages& collected) {
    if (!self || self->saver_) return;
    if (!collected.failure.isEmpty()) {
      auto* box = new QMessageBox(QMessageBox::Warning, tr("Save All Images"),
                                  tr("PageSift could not read this page's images: %1").arg(collected.failure),
                                  QMessageBox::Ok, self->context_.dialogParent);
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
      return;
    }
    self->startSaving(collected.rows, folder);
  });
}

void PageImages::startSaving(const ImageInventory& inventory, const QString& folder) {
  saver_ = new ImageSaver(context_.browser, inventory, folder, context_.limits, this);
  progress_ = new QProgressDialog(tr("Saving images in %1...").arg(folder), tr("Cancel"), 0, saver_->total(),
                                  context_.dialogParent);
  progress_->setWindowTitle(tr("Save All Images"));
  progress_->setAttribute(Qt::WA_DeleteOnClose);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setValue(0);
  connect(progress_, &QProgressDialog::canceled, saver_, &ImageSaver::cancel);
  connect(saver_, &ImageSaver::progressed, progress_, &QProgressDialog::setValue);
  connect(saver_, &ImageSaver::finished, this, [this, folder] { savingEnded(folder); });
  saver_->start();
}

void PageImages::savingEnded(const QString& folder) {
  ImageSaver* saver = saver_;
  saver_ = nullptr;
  if (progress_) progress_->close();
  QStringList lines = {
      saver->ended() < saver->total()
          ? tr("Cancelled: %1 of %2 images saved in %3.").arg(saver->saved().size()).arg(saver->total()).arg(folder)
          : tr("%1 of %2 images saved in %3.").arg(saver->saved().size()).arg(saver->total()).arg(folder)};
  if (!saver->failures().isEmpty()) lines.append(tr("Not saved:"));
  for (const ImageSaver::Failure& failure : saver->failures())
    lines.append(failure.address + QStringLiteral(": ") + failure.reason);
  saver->deleteLater();
  // The first lines, each cut to fit a message box (an address can be 64K
  // characters long); the whole list is in the details.
  constexpr int kShownLines = 12;
  constexpr int kShownLineLength = 160;
  QStringList shownLines = lines.mid(0, kShownLines);
  for (QString& line : shownLines) {
    if (line.size() > kShownLineLength) line = line.left(kShownLineLength) + QChar(0x2026);
  }
  const QString shown =
      shownLines.join(QLatin1Char('\n')) + (lines.size() > kShownLines ? QStringLiteral("\n...") : QString());
  auto* summary = new QMessageBox(saver->failures().isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                                  tr("Save All Images"), shown, QMessageBox::Ok, context_.dialogParent);
  summary->setTextFormat(Qt::PlainText);
  if (shownLines != lines) summary->setDetailedText(lines.mid(1).join(QLatin1Char('\n')));
  summary->setAttribute(Qt::WA_DeleteOnClose);
  summary->open();
  emit saveEnded();
}

void PageImages::saveImageAs(const QUrl& address) {
  if (imageSaver_) {
    emit statusMessage(tr("An image is being saved already"));
    return;
  }
  const bool inline_ = address.scheme() == QLatin1String("data");
  QString name = imageFileName(address);
  if (inline_) {
    const std::optional<InlineImage> image = decodeInlineImage(address.toString(QUrl::FullyEncoded));
    const QString extension = image ? imageExtension(image->mediaType) : QString();
    name = QStringLiteral("inline-1") + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
  }
  const QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QLatin1Char('/') + name;
  // The dialog asks before an existing file is chosen; only then is one replaced.
  askForPath(context_.dialogParent, tr("Save Image As"), start, QFileDialog::AnyFile, this,
             [this, address](const QString& filePath) { saveImageTo(address, filePath); });
}

void PageImages::saveImageTo(const QUrl& address, const QString& filePath) {
  if (imageSaver_) return;
  imageSaver_ = new ImageSaver(context_.browser, address.toString(QUrl::FullyEncoded), filePath, context_.limits, this);
  const QString name = QFileInfo(filePath).fileName();
  emit statusMessage(tr("Saving %1...").arg(name));
  connect(imageSaver_, &ImageSaver::received, this, [this, name](qint64 bytes, qint64 total) {
    const QLocale locale;
    emit statusMessage(
        total > 0
            ? tr("Saving %1: %2 of %3").arg(name, locale.formattedDataSize(bytes), locale.formattedDataSize(total))
            : tr("Saving %1: %2").arg(name, locale.formattedDataSize(bytes)));
  });
  connect(imageSaver_, &ImageSaver::finished, this, [this, filePath] { imageSaveEnded(filePath); });
  imageSaver_->start();
}

void PageImages::imageSaveEnded(const QString& filePath) {
  ImageSaver* saver = imageSaver_;
  imageSaver_ = nullptr;
  saver->deleteLater();
  const QString name = QFileInfo(filePath).fileName();
  if (!saver->saved().isEmpty()) {
    emit statusMessage(tr("Saved %1").arg(filePath));
    emit saveEnded();
    return;
  }
  const QString reason = saver->failures().isEmpty()
                             ? (saver->total() == 0 ? tr("PageSift cannot save this address") : tr("Cancelled"))
                             : saver->failures().front().reason;
  emit statusMessage(tr("Could not save %1: %2").arg(name, reason));
  auto* box = new QMessageBox(QMessageBox::Warning, tr("Save Image As"),
                              tr("The image could not be saved as %1:\n%2").arg(filePath, reason), QMessageBox::Ok,
                              context_.dialogParent);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
  emit saveEnded();
}

void PageImages::unload() {
  delete window_.data();
  delete imageSaver_.data();
  if (saver_) {
    disconnect(saver_, nullptr, this, nullptr);  // no summary for a program that is closing
    saver_->cancel();
    delete saver_.data();
  }
  delete progress_.data();
}

}  // namespace pagesift
