// Merging the collecting script's uses into rows, and reading data: images.

#include <QTest>

#include "inventory/inline_image.h"
#include "inventory/inventory_collector.h"
#include "helpers/inventory_rows.h"

Q_DECLARE_METATYPE(pagesift::RequestedImages)

namespace pagesift {
namespace {

const char kMergedUses[] = R"({"addresses": ["/a.png", "/b.png", "/c.png"], "uses": [
             {"address": 1, "kind": "link", "origin": "a href", "alt": "first b"},
             {"address": 0, "kind": "lazy", "origin": "img data-src"},
             {"address": 1, "kind": "img", "origin": "img src", "alt": "second b", "naturalWidth": 10,
              "naturalHeight": 10, "displayWidth": 5, "displayHeight": 6, "loaded": "no"},
             {"address": 1, "kind": "link", "origin": "a href", "naturalWidth": 30, "naturalHeight": 2},
             {"address": 1, "kind": "srcset", "origin": "img srcset", "naturalWidth": 20, "naturalHeight": 20,
              "displayWidth": 7, "displayHeight": 7, "loaded": "yes"},
             {"address": 0, "kind": "img", "origin": "img src", "alt": "later a", "loaded": "no"},
             {"address": 2, "kind": "css", "origin": "span ::before"},
             {"address": 1, "kind": "img", "origin": "img src", "loaded": "no"}]})";

// A walk the limits cut short, whose record of requests was cut short too.
const char kCutShort[] = R"({"complete": false, "limits": ["uses", "time"], "addresses": ["/a.png#x", "data:,y"], "uses": [
             {"address": 0, "kind": "img", "origin": "img src"}, {"address": 1, "kind": "img", "origin": "img src"},
             {"address": 0, "kind": "request", "origin": "a request only the engine makes"}]})";

const char kSameText[] = R"({"addresses": ["data:,x", "data:,x"], "uses": [
             {"address": 1, "kind": "img", "origin": "img src"}, {"address": 0, "kind": "meta", "origin": "meta content"}]})";

const char kMalformed[] = R"({"addresses": ["/a.png", 7, "", "/b.png"], "uses": [
             {"address": -1, "kind": "img"}, {"address": 0.5, "kind": "img"}, {"address": 4, "kind": "img"},
             {"address": 1e300, "kind": "img"}, {"address": "0", "kind": "img"}, {"address": 1, "kind": "img"},
             {"address": 2, "kind": "img"}, {"address": 0, "kind": "IMG"}, {"address": 0}, [0, "img"], "x", null,
             {"address": 0, "kind": "img", "origin": 5, "alt": ["x"], "naturalWidth": 1e300, "naturalHeight": -4,
              "displayWidth": "9", "displayHeight": 2.6, "loaded": true},
             {"address": 3, "kind": "frame", "origin": "iframe src", "naturalWidth": {}, "loaded": "maybe"}]})";

}  // namespace

class InventoryMergeTest : public QObject {
  Q_OBJECT

 private slots:
  void merging_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<RequestedImages>("requested");  // what the engine asked for besides
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("note");  // "cut short: ..." or "failed: ..."

    // Each fact from the first use that reports it: an og:image, a link or a
    // preload first leaves the size, alt text and loaded to the img after it.
    QTest::newRow("uses of one address become one row, in order of first use")
        << QByteArray(kMergedUses) << RequestedImages()
        << QStringList{
               QStringLiteral("/b.png [link,img,srcset] 'a href,img src,img srcset' uses=5 natural=10x10 shown=5x6 "
                              "alt='first b' loaded=no"),
               QStringLiteral("/a.png [lazy,img] 'img data-src,img src' uses=2 natural=0x0 shown=0x0 alt='later a' loaded=no"),
               QStringLiteral("/c.png [css] 'span ::before' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown")}
        << QString();

    // Equal text in two places of the address table is one address.
    QTest::newRow("the address text decides, not its index")
        << QByteArray(kSameText) << RequestedImages()
        << QStringList{QStringLiteral("data:,x [img,meta] 'img src,meta content' uses=2 natural=0x0 shown=0x0 alt='' loaded=unknown")}
        << QString();

    QTest::newRow("malformed uses are skipped, malformed facts are absent")
        << QByteArray(kMalformed) << RequestedImages()
        << QStringList{
               QStringLiteral("/a.png [img] '' uses=1 natural=2147483647x0 shown=0x3 alt='' loaded=unknown"),
               QStringLiteral("/b.png [frame] 'iframe src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown")}
        << QString();

    // Requests the document names (fragments aside) add nothing; the others
    // follow its rows, once each, without their fragments.
    QTest::newRow("cut short, with requests the document does not name")
        << QByteArray(kCutShort)
        << RequestedImages{{{"/a.png", "image"}, {"/s.svg#i", "image"}, {"/s.svg#j", "image"}, {"data:,y", "image"},
                            {"/favicon.ico", "favicon"}},
                           true}
        << QStringList{QStringLiteral("/a.png#x [img] 'img src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"),
                       QStringLiteral("data:,y [img] 'img src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"),
                       QStringLiteral("/s.svg [request] 'image request' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"),
                       QStringLiteral("/favicon.ico [request] 'favicon request' uses=1 natural=0x0 shown=0x0 alt='' "
                                      "loaded=unknown")}
        << QStringLiteral("cut short: the page uses more than 100,000 images; the walk through the page ran out of "
                          "time; some images the engine asked for were left out (over the limits)");

    QTest::newRow("the script's own error") << QByteArray(R"({"error": "x is not a function", "addresses": ["/a.png"]})")
                                            << RequestedImages() << QStringList()
                                            << QStringLiteral("failed: x is not a function");

    for (const char* text : {"", "[]", "{\"addresses\": [\"/a.png\"], \"uses\": {\"0\": {}}}",
                             "{\"addresses\": \"/a.png\", \"uses\": [{\"address\": 0, \"kind\": \"img\"}]}",
                             "{\"addresses\": [\"/a.png\"], \"uses\": [{\"address\": 0, \"kind\": \"img\""}) {
      QTest::addRow("not an inventory: %s", text) << QByteArray(text) << RequestedImages() << QStringList() << QString();
    }
  }

  void merging() {
    QFETCH(QByteArray, json);
    QFETCH(RequestedImages, requested);
    CollectedImages collected = mergeImageUses(json);
    addRequestedImages(collected, requested);
    QTEST(test::describeRows(collected.rows), "rows");
    QTEST(collected.failure.isEmpty() ? collected.cutShort.isEmpty() ? QString() : "cut short: " + collected.cutShort
                                      : "failed: " + collected.failure,
          "note");
  }

  void inlineImages_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("mediaType");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("base64, percent-encoded, parameters")
        << QStringLiteral("DATA: image/PNG ;name=a;BASE64,iVBO%52w0K") << true << QStringLiteral("image/png")
        << QByteArray::fromBase64("iVBORw0K");
    QTest::newRow("percent-encoded text, no media type")
        << QStringLiteral("data:,%3Csvg%3E%00,;base64") << true << QStringLiteral("text/plain")
        << QByteArray("<svg>\0,;base64", 14);
    QTest::newRow("base64 not last") << QStringLiteral("data:image/svg+xml;base64;x=y,QUJD") << true
                                     << QStringLiteral("image/svg+xml") << QByteArray("QUJD");
    QTest::newRow("no comma") << QStringLiteral("data:image/png;base64") << false << QString() << QByteArray();
    QTest::newRow("not data:") << QStringLiteral("/data:,x") << false << QString() << QByteArray();
  }

  void inlineImages() {
    QFETCH(QString, address);
    QFETCH(bool, valid);
    const std::optional<InlineImage> image = decodeInlineImage(address);
    QCOMPARE(image.has_value(), valid);
    if (!image) return;
    QTEST(image->mediaType, "mediaType");
    QTEST(image->bytes, "bytes");
  }
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::InventoryMergeTest)
#include "inventory_merge_test.moc"
