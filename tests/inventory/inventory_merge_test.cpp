// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Merging the collecting script's uses into rows, the listing's lines, and
// reading data: images.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "helpers/inventory_rows.h"
#include "inventory/inline_image.h"
#include "inventory/inventory_collector.h"
#include "inventory/list_images.h"

namespace pagesift {
namespace {

// Uses are [address, kind, origin, alt, naturalWidth, naturalHeight,
// displayWidth, displayHeight, loaded], by index into the tables.
const char kMergedUses[] = R"({"addresses": ["/a.png", "/b.png", "/c.png"],
             "origins": ["a href", "img data-src", "img src", "img srcset", "span ::before"], "uses": [
             [1, "link", 0, "first b"],
             [0, "lazy", 1],
             [1, "img", 2, "second b", 10, 10, 5, 6, "no"],
             [1, "link", 0, "", 30, 2],
             [1, "srcset", 3, "", 20, 20, 7, 7, "yes"],
             [0, "img", 2, "later a", 0, 0, 0, 0, "no"],
             [2, "css", 4],
             [1, "img", 2, "", 0, 0, 0, 0, "no"]]})";

// A walk the limits cut short, whose record of requests was cut short too.
const char kCutShort[] = R"({"complete": false, "limits": ["uses", "time"], "addresses": ["/a.png#x", "data:,y"],
             "origins": ["img src"], "uses": [[0, "img", 0], [1, "img", 0]]})";

const char kSameText[] = R"({"addresses": ["data:,x", "data:,x"], "origins": ["img src", "meta content"],
             "uses": [[1, "img", 0], [0, "meta", 1]]})";

const char kMalformed[] = R"({"addresses": ["/a.png", 7, "", "/b.png"], "origins": ["iframe src", 5], "uses": [
             [-1, "img"], [0.5, "img"], [4, "img"], [1e300, "img"], ["0", "img"], [1, "img"], [2, "img"],
             [-1, "IMG"], {"address": 0, "kind": "img"}, "x", null,
             [0, "img", 1, ["x"], 1e300, -4, "9", 2.6, true],
             [3, "frame", 0, "", {}, 0, 0, 0, "maybe"]]})";

}  // namespace

class InventoryMergeTest : public QObject {
  Q_OBJECT

 private slots:
  void merging() {
    const QString none = "natural=0x0 shown=0x0 alt='' loaded=unknown";
    QList<std::tuple<QByteArray, RequestedImages, QStringList, QString>> rows = {
        // Uses of one address become one row, in order of first use; each fact
        // from the first use that reports it: an og:image, a link or a preload
        // first leaves the size, alt text and loaded to the img after it.
        {kMergedUses,
         {},
         {"/b.png [link,img,srcset] 'a href,img src,img srcset' uses=5 natural=10x10 shown=5x6 alt='first b' loaded=no",
          "/a.png [lazy,img] 'img data-src,img src' uses=2 natural=0x0 shown=0x0 alt='later a' loaded=no",
          "/c.png [css] 'span ::before' uses=1 " + none},
         {}},
        // The address text decides, not its index.
        {kSameText, {}, {"data:,x [img,meta] 'img src,meta content' uses=2 " + none}, {}},
        // Malformed uses are skipped, malformed facts are absent.
        {kMalformed,
         {},
         {"/a.png [img] '' uses=1 natural=2147483647x0 shown=0x3 alt='' loaded=unknown",
          "/b.png [frame] 'iframe src' uses=1 " + none},
         {}},
        // Requests the document names (fragments aside) add nothing; the others
        // follow its rows, once each, without their fragments.
        {kCutShort,
         {{{"/a.png", "image"},
           {"/s.svg#i", "image"},
           {"/s.svg#j", "image"},
           {"data:,y", "image"},
           {"/favicon.ico", "favicon"}},
          true},
         {"/a.png#x [img] 'img src' uses=1 " + none, "data:,y [img] 'img src' uses=1 " + none,
          "/s.svg [request] 'image request' uses=1 " + none, "/favicon.ico [request] 'favicon request' uses=1 " + none},
         "cut short: the page uses more than 100,000 images; the walk through the page ran out of time; some images "
         "the engine asked for were left out (over the limits)"},
        {R"({"error": "x is not a function", "addresses": ["/a.png"]})", {}, {}, "failed: x is not a function"}};
    // The script is handed the kinds it may give; any other is a fault.
    for (const QString kind : {"\"IMG\"", "\"request\"", "null"}) {
      rows.append({QString(R"({"addresses": ["/a.png"], "uses": [[0, "img"], [0, %1]]})").arg(kind).toUtf8(),
                   {},
                   {},
                   "failed: the collecting script gave an unknown kind of use: " +
                       QString(kind).remove('"').replace("null", "none")});
    }
    // Not an inventory.
    for (const char* text : {"", "[]", "{\"addresses\": [\"/a.png\"], \"uses\": {\"0\": [0, \"img\"]}}",
                             "{\"addresses\": \"/a.png\", \"uses\": [[0, \"img\"]]}",
                             "{\"addresses\": [\"/a.png\"], \"uses\": [[0, \"img\""}) {
      rows.append({text, {}, {}, {}});
    }
    for (const auto& [json, requested, expected, note] : rows) {
      CollectedImages collected = mergeImageUses(json);
      addRequestedImages(collected, requested);
      QCOMPARE(test::describeRows(collected.rows), expected);
      QCOMPARE(collected.failure.isEmpty()
                   ? collected.cutShort.isEmpty() ? QString() : "cut short: " + collected.cutShort
                   : "failed: " + collected.failure,
               note);
    }
  }

  // A listing line is what QJsonDocument writes for the row's object, for
  // any text in it (a data: row's address is its media type, written alike);
  // sizes of 0 x 0 are unknown.
  void listingLines() {
    const QChar lone[] = {QChar(0xd800), QChar('x'), QChar(0xdc00)};
    for (const QString& text :
         {QString(), QString("plain ~"), QString("\" \\ / \b\f\n\r\t"), QString(QChar(0)), QString("\x01\x1f\x7f"),
          QString::fromUtf8("\u00e9 \u0436 \u4e2d \U0001F600 \u2028\u2029 \ufeff"), QString(lone, 3),
          QString(QChar(0xdc00))}) {
      const int size = int(text.size());
      const InventoryRow row{.address = "http://h/" + text,
                             .kinds = {"img", text},
                             .origins = {text, "img " + text},
                             .uses = 3,
                             .naturalWidth = size,
                             .displayHeight = size,
                             .alt = text,
                             .loaded = text.isEmpty() ? ImageLoaded::kUnknown : ImageLoaded::kNo};
      const QJsonValue null(QJsonValue::Null), zero = size ? 0 : null, sized = size ? size : null;
      const QJsonObject object{{"address", row.address},
                               {"kinds", QJsonArray::fromStringList(row.kinds)},
                               {"uses", 3},
                               {"origins", QJsonArray::fromStringList(row.origins)},
                               {"width", sized},
                               {"height", zero},
                               {"displayWidth", zero},
                               {"displayHeight", sized},
                               {"alt", text.isEmpty() ? null : text},
                               {"loaded", text.isEmpty() ? null : "no"},
                               {"bytes", null}};
      QCOMPARE(listingLine(row), QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    }
  }

  void inlineImages() {
    const std::tuple<QString, QString, QByteArray> rows[] = {
        {"DATA: image/PNG ;name=a;BASE64,iVBO%52w0K", "image/png", QByteArray::fromBase64("iVBORw0K")},
        {"data:,%3Csvg%3E%00,;base64", "text/plain", QByteArray("<svg>\0,;base64", 14)},
        {"data:image/svg+xml;base64;x=y,QUJD", "image/svg+xml", "QUJD"},  // base64 not last
        {"data:image/png;base64", {}, {}},                                // no comma
        {"/data:,x", {}, {}}};
    for (const auto& [address, mediaType, bytes] : rows) {
      const std::optional<InlineImage> image = decodeInlineImage(address);
      QVERIFY2(image.has_value() == !mediaType.isNull(), qPrintable(address));
      if (!image) continue;
      QCOMPARE(image->mediaType, mediaType);
      QCOMPARE(image->bytes, bytes);
    }
  }
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::InventoryMergeTest)
#include "inventory_merge_test.moc"
