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
constexpr int kQuietLooks = 3;        // looks in a row that must find the images settled and unchanged

// The state of the document's images: empty while one of them is loading,
// else a summary that changes when a script gives an image a new source.
// Lazy images below the fold may never start, and count as settled.
constexpr char kImageState[] = R"((() => {
  let state = '';
  for (const image of document.images) {
    if (!image.complete) return '';
    state += image.currentSrc.length + ' ';
  }
  return state + document.images.length;
})())";

// A page that has not settled by then is collected as it is, so that what
// it has is printed before the overall limit.
constexpr int kCollectBy = kOverallLimit - 5000;  // milliseconds

QJsonValue sizeValue(int pixels, bool known) { return known ? QJsonValue(pixels) : QJsonValue(QJsonValue::Null); }

QJsonValue textValue(const QString& text) { return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text); }

QByteArray listingLine(const InventoryRow& row) {
  const bool natural = row.naturalWidth > 0 || row.naturalHeight > 0;
  const bool displayed = row.displayWidth > 0 || row.displayHeight > 0;
  QJsonValue loaded(QJsonValue::Null);
  if (row.loaded != ImageLoaded::kUnknown) loaded = QLatin1String(row.loaded == ImageLoaded::kYes ? "yes" : "no");
  QJsonObject line{{QStringLiteral("address"), row.address},
                   {QStringLiteral("kinds"), QJsonArray::fromStringList(row.kinds)},
                   {QStringLiteral("uses"), row.uses},
                   {QStringLiteral("origins"), QJsonArray::fromStringList(row.origins)},
                   {QStringLiteral("width"), sizeValue(row.naturalWidth, natural)},
                   {QStringLiteral("height"), sizeValue(row.naturalHeight, natural)},
                   {QStringLiteral("displayWidth"), sizeValue(row.displayWidth, displayed)},
                   {QStringLiteral("displayHeight"), sizeValue(row.displayHeight, displayed)},
                   {QStringLiteral("alt"), textValue(row.alt)},
                   {QStringLiteral("loaded"), loaded},
                   {QStringLiteral("bytes"), QJsonValue(QJsonValue::Null)}};
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
    QTimer::singleShot(kCollectBy, this, [this] { timeUp(); });
    QTimer::singleShot(kOverallLimit, this, [this] { fail(tr("timed out")); });
    page_->load(address_);
    if (!done_) loop_.exec();
    return exitCode_;
  }

 private:
  // Collects once the images have been settled and unchanged for a few
  // looks in a row (a lazy loader may swap sources just after the load), or
  // when the time for them is up.
  void waitForImages() {
    QPointer<ImageLister> self(this);
    page_->runIsolatedScript(QString::fromLatin1(kImageState), [self](const QVariant& result) {
      if (!self || self->done_ || self->collecting_) return;
      const QString state = result.toString();
      self->quietLooks_ = !state.isEmpty() && state == self->imageState_ ? self->quietLooks_ + 1 : 0;
      self->imageState_ = state;
      if (self->quietLooks_ >= kQuietLooks - 1 || self->sinceLoad_.hasExpired(kImageWait - kImagePoll)) {
        self->collect();
        return;
      }
      QTimer::singleShot(kImagePoll, self, [self] {
        if (self && !self->done_) self->waitForImages();
      });
    });
  }

  // Once: later calls find the collection under way.
  void collect() {
    if (collecting_) return;
    collecting_ = true;
    QPointer<ImageLister> self(this);
    page_->runIsolatedScript(imageInventoryScript(), [self](const QVariant& result) {
      if (!self || self->done_) return;
      CollectedImages collected = inventoryFromScriptResult(result);
      if (!collected.failure.isEmpty()) {
        self->fail(tr("PageSift could not read this page's images: %1").arg(collected.failure));
        return;
      }
      addRequestedImages(collected, self->page_->requestedImages());
      if (self->timedOut_) {
        if (collected.rows.isEmpty()) {
          self->fail(tr("timed out"));
          return;
        }
        collected.cutShort = tr("the page had not settled after %1 s").arg(kCollectBy / 1000) +
                             (collected.cutShort.isEmpty() ? QString() : QStringLiteral("; ") + collected.cutShort);
      }
      for (const InventoryRow& row : collected.rows) {
        const QByteArray line = listingLine(row);
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
      }
      std::fflush(stdout);
      if (!collected.cutShort.isEmpty()) {
        self->tellError(tr("the list was cut short (complete: false): %1").arg(collected.cutShort));
      }
      self->finish(0);
    });
  }

  // The time is nearly up: what can be collected now is listed, cut short;
  // if even that does not come before the overall limit, nothing is.
  void timeUp() {
    if (done_ || collecting_) return;
    timedOut_ = true;
    collect();
  }

  void tellError(const QString& message) {
    const QByteArray line = (address_.toDisplayString() + QStringLiteral(": ") + message).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
  }

  void fail(const QString& reason) {
    if (done_) return;
    tellError(reason);
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
  QString imageState_;
  int quietLooks_ = 0;
  bool collecting_ = false;
  bool timedOut_ = false;
  bool done_ = false;
  int exitCode_ = 1;
};

}  // namespace

int listImages(const QUrl& address) {
  ImageLister lister(address);
  return lister.run();
}

}  // namespace pagesift
