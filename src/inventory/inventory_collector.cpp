#include "inventory/inventory_collector.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

qint64 area(int width, int height) { return qint64(width) * height; }

QString loadScript() {
  QFile file(QStringLiteral(":/pagesift/inventory/collect_images.js"));
  if (!file.open(QIODevice::ReadOnly)) qFatal("the image inventory script is missing from the program");
  return QString::fromUtf8(file.readAll());
}

}  // namespace

const QString& imageInventoryScript() {
  static const QString script = loadScript();
  return script;
}

ImageInventory mergeImageUses(const QByteArray& scriptJson) {
  const QJsonObject top = QJsonDocument::fromJson(scriptJson).object();
  const QJsonArray addresses = top.value(QLatin1String("addresses")).toArray();
  const QJsonArray uses = top.value(QLatin1String("uses")).toArray();
  ImageInventory rows;
  QHash<QString, qsizetype> rowOf;  // by address
  for (const QJsonValue& item : uses) {
    const QJsonObject use = item.toObject();
    const double index = use.value(QLatin1String("address")).toDouble(-1);
    if (!(index >= 0 && index < double(addresses.size())) || index != std::floor(index)) continue;
    const QString address = addresses.at(qsizetype(index)).toString();
    const QString kind = use.value(QLatin1String("kind")).toString();
    if (address.isEmpty() || !isImageKind(kind)) continue;

    const int naturalWidth = pixels(use.value(QLatin1String("naturalWidth")));
    const int naturalHeight = pixels(use.value(QLatin1String("naturalHeight")));
    const int displayWidth = pixels(use.value(QLatin1String("displayWidth")));
    const int displayHeight = pixels(use.value(QLatin1String("displayHeight")));
    const ImageLoaded loaded = loadedOf(use.value(QLatin1String("loaded")));

    const auto found = rowOf.constFind(address);
    if (found == rowOf.constEnd()) {
      rowOf.insert(address, rows.size());
      rows.append({address, {kind}, use.value(QLatin1String("origin")).toString(), 1, naturalWidth, naturalHeight,
                   displayWidth, displayHeight, use.value(QLatin1String("alt")).toString(), loaded});
      continue;
    }
    InventoryRow& row = rows[*found];
    ++row.uses;
    if (!row.kinds.contains(kind)) row.kinds.append(kind);
    if (area(naturalWidth, naturalHeight) > area(row.naturalWidth, row.naturalHeight)) {
      row.naturalWidth = naturalWidth;
      row.naturalHeight = naturalHeight;
    }
    if (row.displayWidth == 0 && row.displayHeight == 0) {
      row.displayWidth = displayWidth;
      row.displayHeight = displayHeight;
    }
    if (loaded == ImageLoaded::kYes || (loaded == ImageLoaded::kNo && row.loaded == ImageLoaded::kUnknown)) {
      row.loaded = loaded;
    }
  }
  return rows;
}

std::optional<ImageInventory> inventoryFromScriptResult(const QVariant& result) {
  if (result.typeId() != QMetaType::QString) return std::nullopt;
  return mergeImageUses(result.toString().toUtf8());
}

void collectImageInventory(BrowserPane& pane, InventoryCallback done) {
  pane.runIsolatedScript(imageInventoryScript(), [done = std::move(done)](const QVariant& result) {
    done(inventoryFromScriptResult(result));
  });
}

}  // namespace pagesift
