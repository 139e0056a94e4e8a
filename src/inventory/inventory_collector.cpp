// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

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

// The kinds the script may give, each text made once and shared by the
// rows of that kind: all but the engine's requests, which only the program
// knows of.
const QStringList& scriptKinds() {
  static const QStringList kinds = [] {
    QStringList names;
    for (const QLatin1String kind : kImageKinds) {
      if (kind != kRequestKind) names.append(kind);
    }
    return names;
  }();
  return kinds;
}

// Whether `value` is an index into a table of `size` entries.
bool isIndex(const QJsonValue& value, qsizetype size) {
  const double index = value.toDouble(-1);
  return index >= 0 && index < double(size) && index == std::floor(index);
}

ImageLoaded loadedOf(const QJsonValue& value) {
  const QString text = value.toString();
  if (text == QLatin1String("yes")) return ImageLoaded::kYes;
  if (text == QLatin1String("no")) return ImageLoaded::kNo;
  return ImageLoaded::kUnknown;
}

// The script is a function of the kinds it may give: it is handed them
// here, so that they are written once, in kImageKinds.
QString loadScript() {
  QFile file(QStringLiteral(":/pagesift/inventory/collect_images.js"));
  if (!file.open(QIODevice::ReadOnly)) qFatal("the image inventory script is missing from the program");
  const QByteArray kinds = QJsonDocument(QJsonArray::fromStringList(scriptKinds())).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(file.readAll()).trimmed() + QLatin1Char('(') + QString::fromUtf8(kinds) + QLatin1Char(')');
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
  const QJsonArray origins = top.value(QLatin1String("origins")).toArray();
  const QJsonArray uses = top.value(QLatin1String("uses")).toArray();
  // Each address and origin is made a string once, and the rows share it.
  QStringList originTexts;
  originTexts.reserve(origins.size());
  for (const QJsonValue& origin : origins) originTexts.append(origin.toString());
  constexpr qsizetype kUnseen = -1;
  constexpr qsizetype kNoRow = -2;  // an address that is no address
  QList<qsizetype> rowOfIndex(addresses.size(), kUnseen);
  QHash<QString, qsizetype> rowOfAddress;  // equal text in two places of the table is one row
  rowOfAddress.reserve(addresses.size());
  ImageInventory& rows = collected.rows;
  rows.reserve(addresses.size());
  for (const QJsonValue& item : uses) {
    // [address, kind, origin, alt, naturalWidth, naturalHeight, displayWidth, displayHeight, loaded]
    const QJsonArray use = item.toArray();
    if (!isIndex(use.at(0), addresses.size())) continue;
    const QStringList& kinds = scriptKinds();
    const qsizetype kindAt = kinds.indexOf(use.at(1).toString());
    if (kindAt < 0) {
      // The script checks each kind against the ones it is handed: another
      // is a fault of the program, not of the page, and shows as one.
      CollectedImages failed;
      const QString given = use.at(1).isString() ? use.at(1).toString().left(100) : QObject::tr("none");
      failed.failure = QObject::tr("the collecting script gave an unknown kind of use: %1").arg(given);
      return failed;
    }
    const QString* kind = &kinds.at(kindAt);
    const qsizetype addressIndex = qsizetype(use.at(0).toDouble());
    qsizetype& rowIndex = rowOfIndex[addressIndex];
    if (rowIndex == kUnseen) {
      const QString address = addresses.at(addressIndex).toString();
      if (address.isEmpty()) {
        rowIndex = kNoRow;
      } else {
        auto found = rowOfAddress.constFind(address);
        if (found == rowOfAddress.constEnd()) {
          found = rowOfAddress.insert(address, rows.size());
          rows.append(InventoryRow());
          rows.back().address = address;
        }
        rowIndex = *found;
      }
    }
    if (rowIndex == kNoRow) continue;

    InventoryRow& row = rows[rowIndex];
    ++row.uses;
    if (!row.kinds.contains(*kind)) row.kinds.append(*kind);
    if (isIndex(use.at(2), originTexts.size())) {
      const QString& origin = originTexts.at(qsizetype(use.at(2).toDouble()));
      if (!origin.isEmpty() && row.origins.size() < InventoryRow::kMaxOrigins && !row.origins.contains(origin)) {
        row.origins.append(origin);
      }
    }
    // Each fact from the first use that reports it.
    if (row.alt.isEmpty()) row.alt = use.at(3).toString();
    if (row.naturalWidth == 0 && row.naturalHeight == 0) {
      row.naturalWidth = pixels(use.at(4));
      row.naturalHeight = pixels(use.at(5));
    }
    if (row.displayWidth == 0 && row.displayHeight == 0) {
      row.displayWidth = pixels(use.at(6));
      row.displayHeight = pixels(use.at(7));
    }
    if (row.loaded == ImageLoaded::kUnknown) row.loaded = loadedOf(use.at(8));
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
  if (requested.cutShort)
    appendCutShort(collected.cutShort, QObject::tr("some images the engine asked for were left out (over the limits)"));
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
