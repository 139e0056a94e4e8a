// The image inventory on the real engine, against a fixture site served over
// HTTP on 127.0.0.1 and a second one that is another origin.

#include <QHttpServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <unistd.h>

#include <cstdio>

#include "inventory/inventory_collector.h"
#include "inventory/list_images.h"
#include "platform/web_engine_pane.h"
#include "support/engine_fixture.h"
#include "support/inventory_rows.h"
#include "e2e/inventory_fixture_pages.h"

namespace pagesift {
namespace {

constexpr int kTimeout = test::kEngineTimeout;

// What `run` writes to the file descriptor `fd`, and its result.
template <typename Run>
QByteArray captured(int fd, Run run, int* result) {
  QTemporaryDir dir;
  const QByteArray path = QString(dir.path() + QStringLiteral("/out")).toLocal8Bit();
  std::fflush(nullptr);
  const int saved = dup(fd);
  FILE* file = std::fopen(path.constData(), "w+");
  dup2(fileno(file), fd);
  *result = run();
  std::fflush(nullptr);
  dup2(saved, fd);
  close(saved);
  std::fclose(file);
  QFile out(QString::fromLocal8Bit(path));
  return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
}

}  // namespace

class InventoryEndToEndTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  InventoryEndToEndTest() : EngineFixture(this) {}

 private:
  QHttpServer other_;
  QString otherSite_;
  QWidget host_;
  QTemporaryDir files_;
  WebEnginePane* pane_ = nullptr;

  QString expand(QString text) const {
    return text.replace(QLatin1String("SITE"), site)
        .replace(QLatin1String("OTHER"), otherSite_)
        .replace(QLatin1String("FOLDER"), QUrl::fromLocalFile(files_.path()).toString(QUrl::FullyEncoded));
  }

 private slots:
  void initTestCase() {
    otherSite_ = QStringLiteral("http://127.0.0.1:%1").arg(other_.listen(QHostAddress::LocalHost, 0));
    other_.route(QStringLiteral("/other.html"),
                 [] { return QHttpServerResponse("text/html", QByteArray("<img src=\"secret.gif\">")); });
    for (const test::FixturePage& page : test::kPages) {
      Serve(QStringLiteral("/p/") + QLatin1String(page.name) + QStringLiteral(".html"), "text/html",
            expand(QString::fromUtf8(page.body)).replace(QLatin1String("GIF"), test::kGif).toUtf8());
    }
    server.route(QStringLiteral("/missing.html"), [] {
      return QHttpServerResponse("text/html", "<h1>Not here</h1>", QHttpServerResponder::StatusCode::NotFound);
    });
    server.route(QStringLiteral("/archive.zip"), [] {
      QHttpServerResponse response("application/zip", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
      response.addHeader("Content-Disposition", "attachment; filename=archive.zip");
      return response;
    });
    server.route(QStringLiteral("/login.html"), [] {
      QHttpServerResponse response("text/html", "<h1>Who?</h1>", QHttpServerResponder::StatusCode::Unauthorized);
      response.addHeader("WWW-Authenticate", "Basic realm=\"fixture\"");
      return response;
    });
    Serve(QStringLiteral("/p/loader.html"), "text/html", test::kLoaderPage);
    Serve(QStringLiteral("/p/inner.html"), "text/html", "<img src=\"inner.gif\">");
    for (const char* picture : {"/assets/a.gif", "/p/s1.gif", "/p/p.webp", "/p/far.gif", "/p/inner.gif"}) {
      Serve(QLatin1String(picture), "image/gif", test::kPicture);
    }
    // A local page keeps local addresses.
    QFile page(files_.filePath(QStringLiteral("page.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write(expand(QStringLiteral("<img src=\"pic.gif\" alt=\"F\"><a href=\"SITE/p/big.png\">b</a>")).toUtf8());
    page.close();
    QFile picture(files_.filePath(QStringLiteral("pic.gif")));
    QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write(test::kPicture) == test::kPicture.size());
    picture.close();
    host_.resize(1024, 768);
    pane_ = new WebEnginePane(kBrowserPane, PaneRole::kBrowsing, {profile, QDir::tempPath(), homePage}, &host_);
    pane_->widget()->resize(host_.size());
    host_.show();
  }

  void everyKindOfUse_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("rows");
    for (const test::FixturePage& page : test::kPages) {
      QStringList rows;
      for (const QString& row : page.rows) rows.append(expand(row).replace(QLatin1String("GIF"), test::kGif));
      QTest::newRow(page.name) << QString(site + QStringLiteral("/p/") + QLatin1String(page.name) + QStringLiteral(".html"))
                               << rows;
    }
    QTest::newRow("local page") << expand(QStringLiteral("FOLDER/page.html")) << QStringList{
        expand(QStringLiteral("FOLDER/pic.gif [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='F' loaded=yes")),
        expand(QStringLiteral("SITE/p/big.png [link] 'a href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"))};
  }

  void everyKindOfUse() {
    QFETCH(QString, page);
    QSignalSpy done(pane_, &BrowserPane::DownloadComplete);
    QVERIFY(pane_->Navigate(page));
    QVERIFY(done.wait(kTimeout));
    auto inventory = std::make_shared<std::optional<std::optional<ImageInventory>>>();
    collectImageInventory(*pane_, [inventory](std::optional<ImageInventory> rows) { *inventory = std::move(rows); });
    QTRY_VERIFY_WITH_TIMEOUT(inventory->has_value(), kTimeout);
    QVERIFY(inventory->value().has_value());
    QTEST(test::describeRows(*inventory->value()), "rows");
  }

  // The command-line listing: one JSON object per row. An image a lazy
  // loader shows after the load is listed as loaded.
  void listingForScripts_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("listing");
    QTest::newRow("inline image") << QStringLiteral("schemes") << QStringLiteral(
        R"({"address":"data:image/gif","alt":"","bytes":43,"height":1,"kinds":["img"],"loaded":"yes","uses":1,"width":1})");
    QTest::newRow("lazy loader") << QStringLiteral("loader") << QStringLiteral(
        R"({"address":"SITE/p/s1.gif","alt":"L","height":1,"kinds":["img","lazy"],"loaded":"yes","uses":2,"width":1})");
  }

  void listingForScripts() {
    QFETCH(QString, page);
    QFETCH(QString, listing);
    int result = -1;
    const QUrl address(site + QStringLiteral("/p/") + page + QStringLiteral(".html"));
    const QByteArray out = captured(STDOUT_FILENO, [address] { return listImages(address); }, &result);
    QCOMPARE(result, 0);
    QCOMPARE(out, expand(listing).toUtf8() + '\n');
  }

  // Pages the listing refuses: exit 1, the reason on standard error.
  void listingRefuses_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("error status") << QStringLiteral("/missing.html") << QByteArray("HTTP status 404");
    QTest::newRow("download") << QStringLiteral("/archive.zip") << QByteArray("is a download");
    QTest::newRow("login") << QStringLiteral("/login.html") << QByteArray("asks for a login");
    QTest::newRow("engine error") << QStringLiteral("http://127.0.0.1:1/") << QByteArray(": net::ERR_");
  }

  void listingRefuses() {
    QFETCH(QString, path);
    int result = -1;
    const QUrl address(path.startsWith(QLatin1Char('/')) ? site + path : path);
    const QByteArray error = captured(STDERR_FILENO, [address] { return listImages(address); }, &result);
    QCOMPARE(result, 1);
    QFETCH(QByteArray, reason);
    QVERIFY2(error.contains(reason), error.constData());
  }

  void cleanupTestCase() {
    delete pane_;
    pane_ = nullptr;
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::InventoryEndToEndTest)
#include "inventory_end_to_end_test.moc"
