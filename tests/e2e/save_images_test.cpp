// Saving every image of a page through the real engine, against a small
// site served over HTTP on 127.0.0.1.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "inventory/image_saver.h"
#include "support/engine_fixture.h"

namespace pagesift {
namespace {

constexpr int kTimeout = test::kEngineTimeout;

InventoryRow row(const QString& address, const QString& kind = QStringLiteral("img")) {
  InventoryRow result;
  result.address = address;
  result.kinds = {kind};
  result.uses = 1;
  return result;
}

QStringList entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

}  // namespace

class SaveImagesTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  SaveImagesTest() : EngineFixture(this) {}

 private slots:
  void initTestCase() {
    Serve("/a/photo.jpg", "image/jpeg", "first photo");
    Serve("/b/photo.jpg", "image/jpeg", "second photo");
    server.route("/c/<arg>", [](const QString&) { return QHttpServerResponse("image/jpeg", "third photo"); });
    Serve("/pictures/chart", "image/png", "a chart");
    Serve("/kept.gif", "image/gif", "from the site");
    Serve("/big/film.webp", "image/webp", QByteArray(64 << 20, 'x'));
    server.route("/gone.png", [] { return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound); });
    OpenWindow();
  }

  void cleanupTestCase() { CloseWindow(); }

  // Every image saved once, named by the rules, nothing overwritten, the
  // failures listed with their reasons.
  void savesEveryImage() {
    const QTemporaryDir target;
    QFile kept(target.filePath("kept.gif"));
    QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("the user's own") > 0);
    kept.close();
    const ImageInventory inventory = {
        row(site + "/a/photo.jpg"), row(site + "/gone.png"), row(site + "/b/photo.jpg", "srcset"),
        row("data:image/gif;base64," + test::kPicture.toBase64()), row(site + "/pictures/chart", "css"),
        row(site + "/kept.gif"), row(site + "/c/ph%6Fto.jpg"), row(site + "/frame.html", "frame"),
        row("data:image/svg+xml,%3Csvg%2F%3E")};
    ImageSaver saver(wb(kBrowserPane), inventory, target.path(), nullptr);
    QSignalSpy done(&saver, &ImageSaver::finished);
    saver.start();
    QVERIFY(done.wait(kTimeout));
    QCOMPARE(saver.total(), 8);
    QCOMPARE(entries(target.path()), (QStringList{"chart.png", "inline-1.gif", "inline-2.svg", "kept (2).gif",
                                                  "kept.gif", "photo (2).jpg", "photo (3).jpg", "photo.jpg"}));
    QCOMPARE(saver.failures().size(), 1);
    QCOMPARE(saver.failures()[0].address, site + "/gone.png");
    QCOMPARE(saver.failures()[0].reason, "The server does not have the requested data");  // a 404
  }

  // Cancel stops the downloads under way and the ones not yet started, and
  // leaves only whole files.
  void cancelStopsEverything() {
    const QTemporaryDir target;
    ImageInventory inventory = {row("data:image/png;base64,AAAA")};
    for (int i = 0; i < 8; ++i) inventory.append(row(site + "/big/film.webp?" + QString::number(i)));
    ImageSaver saver(wb(kBrowserPane), inventory, target.path(), nullptr);
    QSignalSpy done(&saver, &ImageSaver::finished);
    saver.start();
    QTRY_COMPARE_WITH_TIMEOUT(saver.ended(), 1, kTimeout);  // the inline image
    saver.cancel();
    QCOMPARE(done.count(), 1);
    QVERIFY(saver.ended() < saver.total());
    QTest::qWait(500);  // nothing arrives afterwards
    QStringList expected = {"inline-1.png"};
    for (int i = 0; i < saver.ended() - 1; ++i) expected.append(i ? QString("film (%1).webp").arg(i + 1) : "film.webp");
    QCOMPARE(entries(target.path()), expected);
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::SaveImagesTest)
#include "save_images_test.moc"
