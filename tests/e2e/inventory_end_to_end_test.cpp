// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The image inventory on the real engine, against a fixture site served over
// HTTP on 127.0.0.1 and a second one that is another origin.

#include <QHttpServer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <unistd.h>

#include <cstdio>

#include "helpers/engine_fixture.h"
#include "helpers/files.h"
#include "helpers/inventory_fixture_pages.h"
#include "helpers/inventory_rows.h"
#include "inventory/inventory_collector.h"
#include "inventory/list_images.h"
#include "platform/web_engine_pane.h"

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
  return test::readFile(QString::fromLocal8Bit(path));
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
    // The pages' console stays off the output, as the program keeps it without --verbose.
    QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
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
    Serve(QStringLiteral("/p/long.html"), "text/html",
          "<img src=\"s1.gif\"><img src=\"" + QByteArray(70000, 'x') + ".gif\">");
    Serve(QStringLiteral("/p/uses.html"), "text/html",
          "<img src=\"s1.gif\" srcset=\"" + QByteArray("s1.gif, ").repeated(100000) + "\">");
    Serve(
        QStringLiteral("/p/walk.html"), "text/html",
        "<img src=\"s1.gif\"><script>document.body.insertAdjacentHTML('beforeend', '<i></i>'.repeat(300000))</script>");
    // Images only the engine's requests show: a sprite, a pixel made by
    // script, and the favicon the engine asks for by itself (of a site no
    // page loaded before, so it is asked for).
    other_.route(QStringLiteral("/requests.html"),
                 [] { return QHttpServerResponse("text/html", test::kRequestsPage); });
    Serve(QStringLiteral("/p/inner.html"), "text/html", "<img src=\"inner.gif\">");
    for (const char* picture : {"/assets/a.gif", "/p/s1.gif", "/p/p.webp", "/p/far.gif", "/p/inner.gif"}) {
      Serve(QLatin1String(picture), "image/gif", test::kPicture);
    }
    // A local page keeps local addresses.
    const QString page = expand(QStringLiteral("<img src=\"pic.gif\" alt=\"F\"><a href=\"SITE/p/big.png\">b</a>"));
    QVERIFY(test::writeFile(files_.filePath(QStringLiteral("page.html")), page.toUtf8()));
    QVERIFY(test::writeFile(files_.filePath(QStringLiteral("pic.gif")), test::kPicture));
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
      QTest::newRow(page.name) << QString(site + QStringLiteral("/p/") + QLatin1String(page.name) +
                                          QStringLiteral(".html"))
                               << rows;
    }
    QTest::newRow("requests")
        << expand(QStringLiteral("OTHER/requests.html"))
        << QStringList{
               expand(QStringLiteral(
                   "OTHER/icons.svg [svg] 'use href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown")),
               expand(QStringLiteral(
                   "OTHER/pixel.gif?1 [request] 'image request' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown")),
               expand(
                   QStringLiteral("OTHER/favicon.ico [request] 'favicon request' uses=1 natural=0x0 shown=0x0 alt='' "
                                  "loaded=unknown"))};
    QTest::newRow("local page")
        << expand(QStringLiteral("FOLDER/page.html"))
        << QStringList{
               expand(QStringLiteral("FOLDER/pic.gif [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='F' loaded=yes")),
               expand(QStringLiteral(
                   "SITE/p/big.png [link] 'a href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"))};
  }

  // The engine asks for a site's favicon after the first load, before or
  // after the collection: a page whose rows list requests waits for them,
  // and the others leave the favicon's row out.
  void everyKindOfUse() {
    QFETCH(QString, page);
    QFETCH(QStringList, rows);
    QSignalSpy done(pane_, &BrowserPane::DownloadComplete);
    QVERIFY(pane_->Navigate(page));
    QVERIFY(done.wait(kTimeout));
    const auto requested = [this](const QString& row) {
      const QString address = row.section(QLatin1Char(' '), 0, 0);
      const QList<RequestedImage> requests = pane_->requestedImages().requests;
      return std::any_of(requests.begin(), requests.end(),
                         [&](const RequestedImage& r) { return r.address == address; });
    };
    for (const QString& row : rows.filter(QStringLiteral("[request]")))
      QTRY_VERIFY_WITH_TIMEOUT(requested(row), kTimeout);
    auto collected = std::make_shared<std::optional<CollectedImages>>();
    collectImageInventory(*pane_, [collected](CollectedImages images) { *collected = std::move(images); });
    QTRY_VERIFY_WITH_TIMEOUT(collected->has_value(), kTimeout);
    QCOMPARE((*collected)->failure, QString());
    QStringList described = test::describeRows((*collected)->rows);
    described.removeIf([&rows](const QString& row) { return row.contains("favicon request") && !rows.contains(row); });
    QCOMPARE(described, rows);
  }

  // The collecting script's pure helpers, called through its probe on the
  // engine that runs them: addresses as written, in order.
  void helpers_data() {
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("answer");  // JSON
    const auto add = [](const char* helper, const char* text, const char* answer) {
      QTest::addRow("%s %s", helper, text) << QString(helper) << QString::fromUtf8(text) << QString::fromUtf8(answer);
    };
    add("srcsetCandidates", "a.png 1x, b.png 2x", "[\"a.png\",\"b.png\"]");
    add("srcsetCandidates", " ,,a.png,, b,c.png 100w",
        "[\"a.png\",\"b,c.png\"]");  // a comma ends a URL only at its end
    add("srcsetCandidates", "c.png 1x (a, b), data:image/png;base64,AA= 2x",
        "[\"c.png\",\"data:image/png;base64,AA=\"]");
    add("cssAddresses", "url(a.png), url( \"b\\22 .png\" ) url('c).png')", "[\"a.png\",\"b\\\".png\",\"c).png\"]");
    add("cssAddresses", "linear-gradient(red, blue), url(q.png)", "[\"q.png\"]");
    add("cssAddresses", "image-set(\"x.png\" 1x, url(y.png) 2x, 'z.png' type(\"image/png\"), rgb(1, 2, 3) 3x)",
        "[\"x.png\",\"y.png\",\"z.png\"]");
    add("cssAddresses", "url(a.png) url(\"b.png)", "[\"a.png\"]");  // one not closed ends the value
    add("cssAddresses", "url(a.png", "[]");
    add("unescapeCss", "\\41 b\\\"\\\\\\1F600x", "\"Ab\\\"\\\\\U0001F600x\"");
    add("unescapeCss", "\\0 \\d800 \\110000 \\", "\"\uFFFD\uFFFD\uFFFD\\\\\"");
  }

  void helpers() {
    QFETCH(QString, helper);
    QFETCH(QString, text);
    // The program's call of the script, "...(kinds)", with the probe added.
    const QString probe = QString::fromUtf8(QJsonDocument(QJsonArray{helper, text}).toJson(QJsonDocument::Compact));
    auto answer = std::make_shared<QVariant>();
    pane_->runIsolatedScript(imageInventoryScript().chopped(1) + QStringLiteral(", ") + probe + QLatin1Char(')'),
                             [answer](const QVariant& result) { *answer = result; });
    QTRY_VERIFY_WITH_TIMEOUT(answer->isValid(), kTimeout);
    QTEST(answer->toString(), "answer");
  }

  // The command-line listing: one JSON object per row, every key in each,
  // null where a fact is unknown; an image a lazy loader shows after the
  // load is listed as loaded. A list cut short says so and exits 0; a page
  // that cannot be listed exits 1 with the reason on standard error.
  void listing_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QByteArray>("error");  // on standard error
    QTest::addColumn<int>("status");
    QTest::newRow("inline image")
        << QStringLiteral("/p/schemes.html")
        << QStringLiteral(
               R"({"address":"data:image/gif","alt":null,"bytes":43,"displayHeight":1,"displayWidth":1,"height":1,)"
               R"("kinds":["img"],"loaded":"yes","origins":["img src"],"uses":1,"width":1})")
        << QByteArray() << 0;
    QTest::newRow("lazy loader")
        << QStringLiteral("/p/loader.html")
        << QStringLiteral(
               R"({"address":"SITE/p/s1.gif","alt":"L","bytes":null,"displayHeight":1,"displayWidth":1,"height":1,)"
               R"("kinds":["img","lazy"],"loaded":"yes","origins":["img src","img data-src"],"uses":2,"width":1})")
        << QByteArray() << 0;
    QTest::newRow("cut short")
        << QStringLiteral("/p/long.html")
        << QStringLiteral(
               R"({"address":"SITE/p/s1.gif","alt":null,"bytes":null,"displayHeight":1,"displayWidth":1,"height":1,)"
               R"("kinds":["img"],"loaded":"yes","origins":["img src"],"uses":1,"width":1})")
        << QByteArray("the list was cut short (complete: false): an address longer than the limit was left out") << 0;
    QTest::newRow("past the use limit")
        << QStringLiteral("/p/uses.html")
        << QStringLiteral(
               R"({"address":"SITE/p/s1.gif","alt":null,"bytes":null,"displayHeight":1,"displayWidth":1,"height":1,)"
               R"("kinds":["img","srcset"],"loaded":"yes","origins":["img src","img srcset"],"uses":100000,"width":1})")
        << QByteArray("the list was cut short (complete: false): the page uses more than 100,000 images") << 0;
    QTest::newRow("past the time budget")
        << QStringLiteral("/p/walk.html")
        << QStringLiteral(
               R"({"address":"SITE/p/s1.gif","alt":null,"bytes":null,"displayHeight":1,"displayWidth":1,"height":1,)"
               R"("kinds":["img"],"loaded":"yes","origins":["img src"],"uses":1,"width":1})")
        << QByteArray("the list was cut short (complete: false): the walk through the page ran out of time") << 0;
    QTest::newRow("error status") << QStringLiteral("/missing.html") << QString() << QByteArray("HTTP status 404") << 1;
    QTest::newRow("download") << QStringLiteral("/archive.zip") << QString() << QByteArray("is a download") << 1;
    QTest::newRow("login") << QStringLiteral("/login.html") << QString() << QByteArray("asks for a login") << 1;
    QTest::newRow("engine error") << QStringLiteral("http://127.0.0.1:1/") << QString() << QByteArray(": net::ERR_")
                                  << 1;
  }

  void listing() {
    QFETCH(QString, page);
    QFETCH(QString, listing);
    int result = -1;
    const QUrl address(page.startsWith(QLatin1Char('/')) ? site + page : page);
    QByteArray out;
    const QByteArray said = captured(
        STDERR_FILENO,
        [address, &out] {
          int status = -1;
          out = captured(
              STDOUT_FILENO, [address] { return listImages(address); }, &status);
          return status;
        },
        &result);
    QTEST(result, "status");
    // The engine asks for the site's favicon too, when no earlier load did.
    QList<QByteArray> lines = out.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.isEmpty() || line.contains("favicon request"); });
    QCOMPARE(lines.join('\n'), expand(listing).toUtf8());
    QFETCH(QByteArray, error);
    const QByteArray ours = address.toDisplayString().toUtf8() + ": ";  // how each of our messages starts
    QVERIFY2(error.isEmpty() ? !said.contains(ours) : said.contains(ours) && said.contains(error), said.constData());
  }

  void cleanupTestCase() {
    delete pane_;
    pane_ = nullptr;
  }
};

}  // namespace pagesift

PAGESIFT_ENGINE_TEST_MAIN(pagesift::InventoryEndToEndTest)
#include "inventory_end_to_end_test.moc"
