#include "inventory/list_images.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

#include <cstdio>

#include "inventory/inline_image.h"
#include "inventory/inventory_collector.h"
#include "platform/headless_page.h"

namespace pagesift {
namespace {

constexpr QSize kViewSize(1280, 1024);
constexpr int kOverallLimit = 30000;  // milliseconds
constexpr int kImageWait = 2000;      // milliseconds after the load, at most
constexpr int kImagePoll = 100;       // milliseconds between looks

// True once every image of the document has loaded or failed; lazy ones
// below the fold may never start.
constexpr char kImagesSettled[] = "Array.prototype.every.call(document.images, (image) => image.complete)";

QJsonValue sizeValue(int pixels, bool known) { return known ? QJsonValue(pixels) : QJsonValue(QJsonValue::Null); }

QByteArray rowLine(const InventoryRow& row) {
  static const char* const kLoaded[] = {"unknown", "yes", "no"};
  const bool sized = row.naturalWidth > 0 || row.naturalHeight > 0;
  QJsonObject line{{QStringLiteral("address"), row.address},
                   {QStringLiteral("kinds"), QJsonArray::fromStringList(row.kinds)},
                   {QStringLiteral("uses"), row.uses},
                   {QStringLiteral("width"), sizeValue(row.naturalWidth, sized)},
                   {QStringLiteral("height"), sizeValue(row.naturalHeight, sized)},
                   {QStringLiteral("alt"), row.alt},
                   {QStringLiteral("loaded"), QLatin1String(kLoaded[static_cast<int>(row.loaded)])}};
  if (row.isInline()) {
    const std::optional<InlineImage> image = decodeInlineImage(row.address);
    line.insert(QStringLiteral("address"), QString(QStringLiteral("data:") + (image ? image->mediaType : QString())));
    line.insert(QStringLiteral("bytes"), image ? image->bytes.size() : 0);
  }
  return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

// One run: the page, the clock, and the answer.
class ImageLister : public QObject {
 public:
  explicit ImageLister(const QUrl& address) : address_(address), page_(new HeadlessPage(kViewSize, this)) {
    connect(page_, &HeadlessPage::failed, this, &ImageLister::fail);
    connect(page_, &HeadlessPage::loaded, this, [this] {
      sinceLoad_.start();
      waitForImages();
    });
  }

  int run() {
    if (!address_.isValid() || address_.isEmpty()) {
      fail(tr("not a valid address"));
      return exitCode_;
    }
    QTimer::singleShot(kOverallLimit, this, [this] { fail(tr("timed out")); });
    page_->load(address_);
    if (!done_) loop_.exec();
    return exitCode_;
  }

 private:
  void waitForImages() {
    QPointer<ImageLister> self(this);
    page_->runIsolatedScript(QString::fromLatin1(kImagesSettled), [self](const QVariant& settled) {
      if (!self || self->done_) return;
      if (settled.toBool() || self->sinceLoad_.hasExpired(kImageWait - kImagePoll)) {
        self->collect();
      } else {
        QTimer::singleShot(kImagePoll, self, [self] { if (self && !self->done_) self->waitForImages(); });
      }
    });
  }

  void collect() {
    QPointer<ImageLister> self(this);
    page_->runIsolatedScript(imageInventoryScript(), [self](const QVariant& result) {
      if (!self || self->done_) return;
      const std::optional<ImageInventory> inventory = inventoryFromScriptResult(result);
      if (!inventory) {
        self->fail(tr("the page's images could not be read"));
        return;
      }
      for (const InventoryRow& row : *inventory) {
        const QByteArray line = rowLine(row);
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
      }
      std::fflush(stdout);
      self->finish(0);
    });
  }

  void fail(const QString& reason) {
    if (done_) return;
    const QByteArray line = (address_.toDisplayString() + QStringLiteral(": ") + reason).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    finish(1);
  }

  void finish(int exitCode) {
    if (done_) return;
    done_ = true;
    exitCode_ = exitCode;
    loop_.quit();
  }

  QUrl address_;
  HeadlessPage* page_;  // a child: it goes after the guards on this object are cleared
  QEventLoop loop_;
  QElapsedTimer sinceLoad_;
  bool done_ = false;
  int exitCode_ = 1;
};

}  // namespace

int listImages(const QUrl& address) {
  ImageLister lister(address);
  return lister.run();
}

}  // namespace pagesift
