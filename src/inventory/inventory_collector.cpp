#include "inventory/inventory_collector.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSet>

#include <cmath>
#include <limits>

namespace pagesift {
namespace {

// A size from the script: a whole number of pixels, 0 when absent or
// nonsense, at most INT_MAX.
int pixels(const QJsonValue& value) {
  const double number = value.toDouble(0);
  if (!(number > 0)) return 0;
  if (number >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(std::lround(number));
}

ImageLoaded loadedOf(const QJsonValue& value) {
  const QString text = value.toString();
  if (text == QLatin1String("yes")) return ImageLoaded::kYes;
  if (text == QLatin1String("no")) return ImageLoaded::kNo;
  return ImageLoaded::kUnknown;
}

QString loadScript() {
  QFile file(QStringLiteral(":/pagesift/inventory/collect_images.js"));
  if (!file.open(QIODevice::ReadOnly)) qFatal("the image inventory script is missing from the program");
  return QString::fromUtf8(file.readAll());
}

// What each limit the script names means to a reader.
QString limitText(const QString& limit) {
  if (limit == QLatin1String("uses")) return QObject::tr("the page uses more than 100,000 images");
  if (limit == QLatin1String("address")) return QObject::tr("an address longer than the limit was left out");
  if (limit == QLatin1String("addressText")) return QObject::tr("the addresses together passed 32 Mi characters");
  if (limit == QLatin1String("time")) return QObject::tr("the walk through the page ran out of time");
  return QObject::tr("a limit was reached");
}

QString withoutFragment(const QString& address) {
  const qsizetype hash = address.indexOf(QLatin1Char('#'));
  return hash < 0 ? address : address.left(hash);
}

void appendCutShort(QString& cutShort, const QString& reason) {
  if (cutShort.contains(reason)) return;
  cutShort += (cutShort.isEmpty() ? QString() : QStringLiteral("; ")) + reason;
}

}  // namespace

const QString& imageInventoryScript() {
  static const QString script = loadScript();
  return script;
}

CollectedImages mergeImageUses(const QByteArray& scriptJson) {
  CollectedImages collected;
  const QJsonObject top = QJsonDocument::fromJson(scriptJson).object();
  if (top.contains(QLatin1String("error"))) {
    collected.failure = top.value(QLatin1String("error")).toString().left(1000);
    if (collected.failure.isEmpty()) collected.failure = QObject::tr("the collecting script failed");
    return collected;
  }
  if (top.value(QLatin1String("complete")) == QJsonValue(false)) {
    const QJsonArray limits = top.value(QLatin1String("limits")).toArray();
    for (const QJsonValue& limit : limits) appendCutShort(collected.cutShort, limitText(limit.toString()));
    if (collected.cutShort.isEmpty()) collected.cutShort = limitText(QString());
  }
  const QJsonArray addresses = top.value(QLatin1String("addresses")).toArray();
  const QJsonArray uses = top.value(QLatin1String("uses")).toArray();
  ImageInventory& rows = collected.rows;
  QHash<QString, qsizetype> rowOf;  // by address
  for (const QJsonValue& item : uses) {
    const QJsonObject use = item.toObject();
    const double index = use.value(QLatin1String("address")).toDouble(-1);
    if (!(index >= 0 && index < double(addresses.size())) || index != std::floor(index)) continue;
    const QString address = addresses.at(qsizetype(index)).toString();
    const QString kind = use.value(QLatin1String("kind")).toString();
    if (address.isEmpty() || !isImageKind(kind) || kind == kRequestKind) continue;

    auto found = rowOf.constFind(address);
    if (found == rowOf.constEnd()) {
      found = rowOf.insert(address, rows.size());
      rows.append(InventoryRow());
      rows.back().address = address;
    }
    InventoryRow& row = rows[*found];
    ++row.uses;
    if (!row.kinds.contains(kind)) row.kinds.append(kind);
    const QString origin = use.value(QLatin1String("origin")).toString();
    if (!origin.isEmpty() && row.origins.size() < InventoryRow::kMaxOrigins && !row.origins.contains(origin)) {
      row.origins.append(origin);
    }
    // Each fact from the first use that reports it.
    if (row.naturalWidth == 0 && row.naturalHeight == 0) {
      row.naturalWidth = pixels(use.value(QLatin1String("naturalWidth")));
      row.naturalHeight = pixels(use.value(QLatin1String("naturalHeight")));
    }
    if (row.displayWidth == 0 && row.displayHeight == 0) {
      row.displayWidth = pixels(use.value(QLatin1String("displayWidth")));
      row.displayHeight = pixels(use.value(QLatin1String("displayHeight")));
    }
    if (row.alt.isEmpty()) row.alt = use.value(QLatin1String("alt")).toString();
    if (row.loaded == ImageLoaded::kUnknown) row.loaded = loadedOf(use.value(QLatin1String("loaded")));
  }
  return collected;
}

void addRequestedImages(CollectedImages& collected, const RequestedImages& requested) {
  QSet<QString> named;
  named.reserve(collected.rows.size() + requested.requests.size());
  for (const InventoryRow& row : collected.rows) named.insert(withoutFragment(row.address));
  for (const RequestedImage& request : requested.requests) {
    const QString address = withoutFragment(request.address);
    if (address.isEmpty() || named.contains(address)) continue;
    named.insert(address);
    InventoryRow row;
    row.address = address;
    row.kinds = QStringList{kRequestKind};
    row.origins = QStringList{request.type + QStringLiteral(" request")};
    row.uses = 1;
    collected.rows.append(std::move(row));
  }
  if (requested.cutShort) appendCutShort(collected.cutShort, QObject::tr("some images the engine asked for were left out (over the limits)"));
}

CollectedImages inventoryFromScriptResult(const QVariant& result) {
  if (result.typeId() != QMetaType::QString) {
    // The engine gives no reason: the page went away, or the script could
    // not run at all.
    CollectedImages none;
    none.failure = QObject::tr("the page gave no answer (it may have gone away)");
    return none;
  }
  return mergeImageUses(result.toString().toUtf8());
}

void collectImageInventory(BrowserPane& pane, InventoryCallback done) {
  QPointer<BrowserPane> guard(&pane);
  pane.runIsolatedScript(imageInventoryScript(), [guard, done = std::move(done)](const QVariant& result) {
    CollectedImages collected = inventoryFromScriptResult(result);
    if (collected.failure.isEmpty() && guard) addRequestedImages(collected, guard->requestedImages());
    done(std::move(collected));
  });
}

}  // namespace pagesift
