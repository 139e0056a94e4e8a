// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The main window on the real engine, against a small site served over HTTP
// on 127.0.0.1: browsing, the generated views, hostile pages, and the Edit
// and Page menus' own commands.

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "helpers/engine_fixture.h"
#include "helpers/files.h"
#include "shell/find_bar.h"
#include "shell/page_source_window.h"
#include "shell/status_panels.h"
#include "support/website_window.h"

namespace pagesift {
namespace {

// What a page would run if a view let it: it changes the title and asks the
// fixture server for the marker address.
constexpr char kPayload[] = "document.title=`ran`;new Image().src=`http://127.0.0.1:PORT/marker`";

// Pages that try to break out of the views: every script in them sits where
// the page itself does not run it (attribute values, escaped text), so it
// runs only if a view turns it into markup. The one live script shows that
// the Browser view runs the page's own script.
const char kHostilePage[] = R"(<html><head><title>Hostile</title></head><body>
<script>document.title = 'Hostile ' + (1 + 1)</script>
<img src="q'uote d=x.gif' onerror='PAYLOAD' x='.gif">
<img src='dq".gif" onerror="PAYLOAD" x=".gif'>
<img src='x"><script>PAYLOAD</script>.gif'>
<img src="a b=c.gif"> <img src="javascript:PAYLOAD//.gif">
<a href="javascript:PAYLOAD//.jpg">js</a> <a href="data:text/html,<script>PAYLOAD</script>.gif">data</a>
<img src="data:image/gif;base64,R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==">
<img src="x&lt;script&gt;PAYLOAD&lt;/script&gt;.gif"> <img src="a&amp;b&lt;c.gif">
<img src="on.gif"> <img src="on.gif' onmouseover='PAYLOAD' a='on.gif">
<img src="pic.gif"> <img src="/pic.gif/pic.gif"> <img src="my pic.gif?pic.gif"> <a href="pic.gif#on.gif">p</a>
<img src="file:///etc/hostname"> <a href="file:///etc/passwd.gif">f</a>
<p>&lt;script&gt;PAYLOAD&lt;/script&gt; &lt;iframe src=file:///etc/hostname&gt;&lt;/iframe&gt;</p>
</body></html>)";

// What the DOM of a view holds that could run or lead anywhere: elements and
// attributes that run script or load documents, and every link and image
// address as the engine resolved it. Runs in the isolated world, which
// works with the page's script off.
const char kSurvey[] = R"((() => {
  const risky = [];
  for (const e of document.querySelectorAll('*')) {
    if (/^(script|iframe|frame|object|embed|form|base|meta)$/i.test(e.localName)) risky.push(e.localName);
    for (const a of e.attributes) if (/^on|^srcdoc$/i.test(a.name)) risky.push(a.name);
  }
  const addresses = [...document.links].map(l => l.href).concat([...document.images].map(i => i.src));
  return JSON.stringify({risky, addresses, ready: document.readyState});
})())";

// "needle" three times in the text, once more in an attribute; two lines
// of which the second is indented by eight spaces.
constexpr char kFindPage[] =
    "<html><head><title>Find me</title></head><body>\n"
    "<p>flat iiiiiiii needle, Needle, NEEDLE.</p>\n"
    "        <p>deep MMMMMMMM <a href=\"/other.html\" title=\"needle\">other</a>"
    " <img src=\"/pic.gif\" width=\"20\" height=\"20\"></p>\n"
    "</body></html>";

}  // namespace

class EndToEndTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  EndToEndTest() : EngineFixture(this) {}

 private:
  int markerHits_ = 0;

  // The survey of the pane's document once it has loaded completely and
  // its survey holds `expected`.
  static QJsonObject Survey(const BrowserPane* pane, const QString& expected = {}) {
    QString text;
    (void)QTest::qWaitFor(
        [&] {
          text = Evaluate(pane, QString::fromLatin1(kSurvey));
          return text.contains(QLatin1String("\"ready\":\"complete\"")) && text.contains(expected);
        },
        kTimeout);
    return QJsonDocument::fromJson(text.toUtf8()).object();
  }

  FindBar* bar() const { return form->ui().findBar; }

  // Loads `path` in the Browser view and waits until its analysis is on
  // show, loaded completely, in both generated views.
  void Open(const QString& path, size_t images) {
    QStringList ended;
    bool processed = false;
    const QObject context;
    connect(form, &Form1::pageProcessed, &context, [&ended, &processed] { ended.clear(), processed = true; });
    for (int view : {kSourcePane, kImagesPane}) {
      connect(wb(view), &BrowserPane::DownloadComplete, &context, [&ended, view] { ended << QString::number(view); });
    }
    TypeAddress(site + path);
    WaitForAnalysisOf(site + path, images);
    QTRY_VERIFY_WITH_TIMEOUT(processed && ended.contains("1") && ended.contains("2"), kTimeout);
  }

 private slots:
  void initTestCase() {
    const QByteArray port = QByteArray::number(QUrl(site).port());
    Serve("/x/hostile.html", "text/html",
          QByteArray(kHostilePage).replace("PAYLOAD", QByteArray(kPayload).replace("PORT", port)));
    Serve("/live.html", "text/html", "<title>static</title><script>document.title = 'live'</script>");
    ServeDownload("/files/archive.zip");
    server.route("/marker", [this] {
      ++markerHits_;
      return QHttpServerResponse(QHttpServerResponder::StatusCode::NoContent);
    });
    Serve("/a/b/page.html", "text/html",
          "<html><head><title>Fixture page</title></head><body>\n<img src=\"pic.gif\">\n<img src=\"/img/root.jpg\">\n"
          "<img src=\"../up.gif\">\n<img src=\"http://127.0.0.1:" +
              port +
              "/abs/far.gif\">\n"
              "<a href=\"big.jpg\">big</a>\n<a href=\"/img/poster.gif\">poster</a>\n<a href=\"other.html\">other</a>\n"
              "</body></html>");
    Serve("/find.html", "text/html", kFindPage);
    Serve("/other.html", "text/html", "<title>Other</title><p>no match here</p><img src=\"/pic.gif\">");
    ServePictures(
        {"/pic.gif", "/a/b/pic.gif", "/img/root.jpg", "/up.gif", "/abs/far.gif", "/a/b/big.jpg", "/img/poster.gif"});
  }

  void init() { OpenWindow(); }
  void cleanup() { CloseWindow(); }

  // The home page is analysed with no network; the website pane browses
  // with the shared profile. A page being destroyed answers its
  // outstanding capture: the window destroyed in the middle of one must
  // take no notice.
  void theWindowStartsOffline() {
    const std::string home =
        QUrl::fromLocalFile(QStringLiteral(PAGESIFT_RESOURCES "/home/images/")).toString().toStdString();
    QCOMPARE(form->lists().frmList[AnalysisLists::kImgTags].Items(),
             (std::vector<std::string>{"diagram.gif", "sample-photo.png", "pattern.jpg"}));
    QCOMPARE(form->lists().Links[AnalysisLists::kImageLinks].Items(),
             (std::vector<std::string>{home + "large-photo.jpg", home + "poster.gif"}));
    QVERIFY(folder->Read("imagepage.html").find("<img src='" + home + "diagram.gif'>") != std::string::npos);

    windows->showWebsite();
    const QWebEnginePage* website = PageOf(windows->website()->WebBrowser1);
    QCOMPARE(website->profile(), profile);
    QVERIFY(website->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    QVERIFY(!website->settings()->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));

    form->ProcessPage();
    delete form;
  }

  // A pane made ahead goes once, to a window asking for its index and role,
  // only when its renderer has started (one that has not is replaced); its
  // blank page is no address, and never a step back.
  void panesMadeAheadGoOnceAndReady() {
    const WebEnginePane::Context context{profile, Folder(), homePage};
    auto* ready = new WebEnginePane(kSourcePane, PaneRole::kGeneratedView, context, &shelf);
    const QPointer<WebEnginePane> late = new WebEnginePane(kImagesPane, PaneRole::kGeneratedView, context, &shelf);
    ready->startRenderer();
    late->startRenderer();
    const BrowserPaneFactory make = webEnginePaneFactory(context, {ready, late});
    QWidget window;
    const std::unique_ptr<BrowserPane> instead(make(kImagesPane, PaneRole::kGeneratedView, &window));
    QVERIFY(!late && instead.get() != late);
    QTRY_VERIFY_WITH_TIMEOUT(ready->rendererStarted(), kTimeout);
    const std::unique_ptr<BrowserPane> browsing(make(kSourcePane, PaneRole::kBrowsing, &window));
    QVERIFY(browsing.get() != ready);
    QCOMPARE(make(kSourcePane, PaneRole::kGeneratedView, &window), ready);
    QCOMPARE(ready->widget()->parentWidget(), &window);
    const std::unique_ptr<BrowserPane> again(make(kSourcePane, PaneRole::kGeneratedView, &window));
    QVERIFY(again.get() != ready);
    window.show();
    QCOMPARE(ready->LocationURL() + ready->LocationName(), QString());
    QList<bool> back;  // at every change of the history
    connect(ready, &BrowserPane::historyChanged, &window, [&back, ready] { back << ready->canGoBack(); });
    Load(ready, [&] { return ready->Navigate(site + "/other.html"); });
    QVERIFY(!back.isEmpty() && !back.contains(true) && !ready->canGoBack());
  }

  // A typed address is analysed into both views; Back after a link followed
  // inside the Source Code view goes back there, and the view's page sent
  // to the Browser tab is analysed in turn.
  void aTypedAddressIsAnalysedIntoTheViews() {
    Open("/a/b/page.html", 4);
    const std::string host = site.toStdString();
    QCOMPARE(form->lists().Links[AnalysisLists::kImgTags].Items(),
             (std::vector<std::string>{host + "/a/b/pic.gif", host + "/img/root.jpg", host + "/up.gif",
                                       host + "/abs/far.gif"}));
    QCOMPARE(form->lists().Links[AnalysisLists::kImageLinks].Items(),
             (std::vector<std::string>{host + "/a/b/big.jpg", host + "/img/poster.gif"}));
    QVERIFY(folder->Read("imagepage.html").find("<img src='" + host + "/img/root.jpg'>") != std::string::npos);

    // A covered view does not paint, and once it has loaded it is hidden; it
    // is shown again, still covered, for its next load.
    BrowserPane* images = wb(kImagesPane);
    QTRY_VERIFY_WITH_TIMEOUT(images->widget()->isHidden(), kTimeout);
    QVERIFY(!images->widget()->updatesEnabled());
    Load(images, [images] { return images->Refresh(), !images->widget()->isHidden() && !images->Visible(); });
    QTRY_VERIFY_WITH_TIMEOUT(images->widget()->isHidden(), kTimeout);

    form->SelectView(kSourcePane);
    wb(kSourcePane)->Navigate(site + "/a/b/big.jpg");
    QTRY_COMPARE_WITH_TIMEOUT(wb(kSourcePane)->LocationURL(), site + "/a/b/big.jpg", kTimeout);
    form->cmbBack_Click();
    QTRY_COMPARE_WITH_TIMEOUT(wb(kSourcePane)->LocationURL(), FileUrl("source.htm"), kTimeout);
    QCOMPARE(wb(0)->LocationURL(), site + "/a/b/page.html");

    // Its anchors are links to the image files, its image tags mere text.
    form->Command1_Click();
    QCOMPARE(form->ui().TabStrip1->currentIndex(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(form->lists().Links[AnalysisLists::kImageLinks].Contains(host + "/a/b/pic.gif"), kTimeout);
    QCOMPARE(wb(0)->LocationURL(), FileUrl("source.htm"));
    QVERIFY(!PageOf(wb(0))->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    QCOMPARE(form->lists().Links[AnalysisLists::kImgTags].ListCount(), size_t{0});
  }

  // A working file with live script in it, as if the analysis had let some
  // through, never runs it in a browsing pane: not when sent there, nor
  // across Back, Forward and Refresh, nor framed by a local page; web and
  // local pages in the same pane still run theirs.
  void workingFilesStayInertInABrowsingPane() {
    const QString dir = Folder();
    folder->Write("imagepage.html",
                  "<title>inert</title><script>document.title='ran';parent.document.title='ran'</script>"
                  "<img src=x onerror=\"document.title='ran';parent.document.title='ran'\">");
    folder->Write("local.html", "<title>static</title><script>document.title='live'</script>");
    folder->Write("framing.html", "<title>frame</title><iframe src='imagepage.html'></iframe>");
    const test::TestFolder other;
    const QString linked = QString::fromStdString(other.File("linked"));
    QVERIFY(QFile::link(dir, linked));
    QWidget window;
    const std::unique_ptr<WebEnginePane> pane = NewPane(dir, &window);
    pane->setWorkingFolder(dir);
    window.show();
    QVERIFY(!pane->GoBack());  // nothing to go back to, nothing to load: no load starts
    QVERIFY(!pane->Navigate(QStringLiteral(" \t")));
    QStringList titles;
    connect(pane.get(), &BrowserPane::TitleChange, &window, [&titles](int, const QString& title) { titles << title; });

    const struct {
      const char* step;
      std::function<bool()> act;
      const char* title;
    } steps[] = {
        {"web page", [&] { return pane->Navigate(site + "/live.html"); }, "live"},
        {"working file", [&] { return pane->Navigate(FileUrl("imagepage.html")); }, "inert"},
        {"back to the web page", [&] { return pane->GoBack(); }, "live"},
        {"forward to the working file", [&] { return pane->GoForward(); }, "inert"},
        {"refresh", [&] { return pane->Refresh(), true; }, "inert"},
        {"local page", [&] { return pane->Navigate(FileUrl("local.html")); }, "live"},
        {"back from a local page", [&] { return pane->GoBack(); }, "inert"},
        {"through a link, with query and fragment",
         [&] { return pane->Navigate(QUrl::fromLocalFile(linked + "/imagepage.html").toString() + "?q#f"); }, "inert"},
        {"framed", [&] { return pane->Navigate(dir + "/framing.html"); }, "frame"},
    };
    for (const auto& step : steps) {
      Load(pane.get(), step.act);
      QVERIFY2(pane->LocationName() == QLatin1String(step.title),
               qPrintable(QString(step.step) + ": " + pane->LocationName()));
    }
    QVERIFY2(!titles.contains("ran"), qPrintable(titles.join(", ")));
  }

  // A site whose pages try to break out of the views: no script runs in
  // either view, and the views hold links to web addresses only.
  void hostilePagesStayInertInEveryView() {
    QStringList titles;
    const QObject context;
    for (int index = 0; index < kPaneCount; ++index) {
      connect(wb(index), &BrowserPane::TitleChange, &context,
              [&titles, index](int, const QString& title) { titles << QString::number(index) + ": " + title; });
    }
    TypeAddress(site + "/x/hostile.html");
    WaitForAnalysisOf(site + "/x/hostile.html", 9);
    QTRY_COMPARE_WITH_TIMEOUT(wb(0)->LocationName(), QString("Hostile 2"), kTimeout);  // its own script runs
    for (int view : {kSourcePane, kImagesPane}) {
      const QJsonObject survey = Survey(wb(view), site);
      QCOMPARE(survey["risky"].toArray(), QJsonArray());
      QVERIFY(!survey["addresses"].toArray().isEmpty());
      for (const QJsonValue address : survey["addresses"].toArray()) {
        QVERIFY2(QUrl(address.toString()).scheme() == "http", qPrintable(address.toString()));
      }
    }
    QVERIFY2(!titles.join('\n').contains(": ran"), qPrintable(titles.join(", ")));
    QCOMPARE(markerHits_, 0);
  }

  // An address no view may open, typed or a link followed in a view, is
  // refused with the reason as the pane's status before the engine sees it
  // (the browser crash would end this test), and the window goes on.
  void refusedAddressesLeaveTheWindowWorking_data() {
    QTest::addColumn<int>("pane");
    QTest::addColumn<QString>("address");  // a link on a local page if relative, else typed
    QTest::addColumn<QString>("shown");    // %F: the working folder
    QTest::newRow("typed: a browser crash")
        << 0 << "chrome://inducebrowsercrashforrealz"
        << "chrome://inducebrowsercrashforrealz: an internal page of the web engine";
    QTest::newRow("Browser view link") << 0 << "fifo.png"
                                       << "file://%F/fifo.png: a named pipe, not a regular file";
    QTest::newRow("Source Code view link") << 1 << "fifo.png"
                                           << "file://%F/fifo.png: a named pipe, not a regular file";
  }

  void refusedAddressesLeaveTheWindowWorking() {
    QFETCH(int, pane);
    QFETCH(QString, address);
    QFETCH(QString, shown);
    QVERIFY(::mkfifo(folder->File("fifo.png").c_str(), 0600) == 0);
    const bool followed = QUrl(address).isRelative();
    QStringList said;  // the pane's own status: the other views' "Done" may follow it in the bar
    connect(wb(pane), &BrowserPane::StatusTextChange, form, [&said](int, const QString& text) { said << text; });
    QTcpServer held;  // typed: over a load still waiting for this server's answer
    QList<QTcpSocket*> asked;
    QString heldPage;
    if (followed) {
      folder->Write("links.html", "<a href='" + address.toStdString() + "'>pipe</a>");
      QVERIFY(wb(pane)->Navigate(FileUrl("links.html")));
      Survey(wb(pane), "fifo.png");  // that page, loaded
      Evaluate(wb(pane), "document.links[0].click(), 1");
    } else {
      QVERIFY(held.listen(QHostAddress::LocalHost));
      heldPage = QString("http://127.0.0.1:%1/held.html").arg(held.serverPort());
      TypeAddress(heldPage);
      QTRY_VERIFY_WITH_TIMEOUT(
          [&] {
            while (QTcpSocket* socket = held.nextPendingConnection()) asked << socket;
            return std::any_of(asked.begin(), asked.end(), [](QTcpSocket* s) { return s->bytesAvailable() > 0; });
          }(),
          kTimeout);
      TypeAddress(address);
    }
    const QString refusal = "PageSift does not open " + shown.replace("%F", Folder());
    QTRY_VERIFY_WITH_TIMEOUT(said.contains(refusal), kTimeout);
    if (!followed) {  // the earlier load ends: the refusal stays on show
      const QSignalSpy ended(wb(pane), &BrowserPane::DownloadComplete);
      for (QTcpSocket* socket : asked) {
        if (socket->bytesAvailable() == 0) continue;  // a connection the engine opened ahead
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 19\r\n\r\n<title>held</title>");
      }
      QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), kTimeout);
      QCOMPARE(said.last(), refusal);
    }
    QCOMPARE(wb(pane)->LocationURL(), followed ? FileUrl("links.html") : heldPage);
    Open("/a/b/page.html", 4);
  }

  // A view whose render process ends says so over the view and in the
  // status bar; Refresh loads the page again and analyses it.
  void aViewWhoseRendererEndsSaysSo() {
    Open("/a/b/page.html", 4);
    QSignalSpy stopped(wb(0), &BrowserPane::rendererStopped);
    QVERIFY(::kill(static_cast<pid_t>(PageOf(wb(0))->renderProcessPid()), SIGKILL) == 0);
    QVERIFY(stopped.wait(kTimeout));
    const QString text = "This view stopped: its process was killed (signal 9). Refresh to load it again.";
    const auto* notice = wb(0)->widget()->findChild<QLabel*>();
    QVERIFY(notice && notice->isVisible());
    QCOMPARE(notice->text(), text);
    QCOMPARE(notice->geometry(), wb(0)->widget()->rect());
    QCOMPARE(form->ui().sb1->panelText(1), "The Browser view stopped: " + text.mid(19));

    QSignalSpy analysed(form.data(), &Form1::pageProcessed);
    QList<bool> noticeAtEachState;  // it stays over the view until the new page shows
    const QObject context;
    connect(wb(0), &BrowserPane::StatusTextChange, &context, [&] { noticeAtEachState << notice->isVisible(); });
    form->cmdRefresh_Click(0);
    QVERIFY(analysed.wait(kTimeout));
    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), kTimeout);
    QCOMPARE(noticeAtEachState.value(0), true);
    QCOMPARE(form->lists().Links[AnalysisLists::kImgTags].ListCount(), size_t{4});
    QCOMPARE(Evaluate(wb(0), "document.images.length"), QString("4"));
  }

  // A download the program did not ask for is refused and says so; the
  // page stays, not processed again.
  void foreignDownloadsAreRefused() {
    const int pane = kBrowserPane;
    const QTemporaryDir downloads;
    profile->setDownloadPath(downloads.path());
    const QString before = wb(pane)->LocationURL();
    for (int view : {kSourcePane, kImagesPane}) Survey(wb(view));  // the views have loaded
    QSignalSpy ended(wb(pane), &BrowserPane::DownloadComplete);
    QVERIFY(wb(pane)->Navigate(site + "/files/archive.zip"));
    QTRY_COMPARE_WITH_TIMEOUT(form->ui().sb1->panelText(1),
                              "PageSift does not download files: " + site + "/files/archive.zip", kTimeout);
    QCOMPARE(test::folderEntries(downloads.path()), QStringList());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(wb(pane)->LocationURL(), before);
  }

  // A page's alert() returns at once and reaches the window as a message;
  // a page looping on confirm() or prompt() stops asking once the box is
  // ticked, and its alerts stay silent too.
  void pageDialogsNeverLockTheWindow_data() {
    QTest::addColumn<QByteArray>("script");  // the page's, before it sets its title to "after"
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("messages");
    QTest::newRow("alert") << QByteArray("alert('x'.repeat(10000000)); alert('second')") << 0 << 2;
    QTest::newRow("confirm loop") << QByteArray("for (let i = 0; i < 100; ++i) confirm('again'); alert('x')") << 1 << 0;
    QTest::newRow("prompt loop") << QByteArray("for (let i = 0; i < 100; ++i) prompt('name?', 'x')") << 1 << 0;
  }

  void pageDialogsNeverLockTheWindow() {
    QFETCH(QByteArray, script);
    const QString path = "/d/" + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    Serve(path, "text/html", "<script>" + script + "; document.title = 'after'</script>");
    QWidget window;
    const std::unique_ptr<WebEnginePane> pane = NewPane(Folder(), &window);
    window.show();
    QSignalSpy sent(pane.get(), &BrowserPane::pageMessage);
    // Answers every modal dialog: ticks its silence box, then Cancel.
    int shown = 0;
    QTimer answer;
    connect(&answer, &QTimer::timeout, &window, [&shown] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      ++shown;
      if (auto* box = dialog->findChild<QCheckBox*>()) box->setChecked(true);
      dialog->reject();
    });
    answer.start(20);
    pane->Navigate(site + path);
    QTRY_COMPARE_WITH_TIMEOUT(pane->LocationName(), QString("after"), kTimeout);
    QTEST(shown, "dialogs");
    QTEST(int(sent.count()), "messages");
  }
  // The find bar counts the matches of the view on show, moves with the
  // view and starts again on a new page; each view keeps its own zoom
  // across loads, as the page itself sees it.
  void findAndZoomFollowTheViewOnShow() {
    Open("/find.html", 1);
    form->SelectView(kBrowserPane);
    form->findInPage();
    QTest::keyClicks(bar()->textBox(), "needle");
    QTRY_COMPARE_WITH_TIMEOUT(bar()->resultText(), QString("1 of 3"), kTimeout);
    form->findNext();
    QTRY_COMPARE_WITH_TIMEOUT(bar()->resultText(), QString("2 of 3"), kTimeout);
    bar()->matchCaseBox()->click();
    QTRY_VERIFY_WITH_TIMEOUT(bar()->resultText().endsWith(" of 1"), kTimeout);
    bar()->matchCaseBox()->click();
    form->ui().TabStrip1->setCurrentIndex(kSourcePane);  // the attribute is text there
    QTRY_VERIFY_WITH_TIMEOUT(bar()->resultText().endsWith(" of 4"), kTimeout);
    bar()->textBox()->setText("haystack");
    form->findNext();
    QTRY_COMPARE_WITH_TIMEOUT(bar()->resultText(), QString("Not found"), kTimeout);

    const auto shownZoom = [](const BrowserPane* pane) {
      return Evaluate(pane, "String(Math.round(window.devicePixelRatio * 100))");
    };
    form->zoomOut();
    form->zoomOut();
    QCOMPARE(form->ui().sb1->panelText(1), QString("Zoom: 80%"));
    form->SelectView(kBrowserPane);
    form->zoomIn();
    QCOMPARE(form->ui().sb1->panelText(1), QString("Zoom: 110%"));
    QTRY_COMPARE_WITH_TIMEOUT(shownZoom(wb(kBrowserPane)), QString("110"), kTimeout);

    // Another page, of another origin (a local file): the search ends, the
    // factors stay.
    wb(kBrowserPane)->GoHome();
    WaitForAnalysisOf(homePage.toString(), 3);
    QCOMPARE(bar()->resultText(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(shownZoom(wb(kBrowserPane)), QString("110"), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(shownZoom(wb(kSourcePane)), QString("80"), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(shownZoom(wb(kImagesPane)), QString("100"), kTimeout);
  }

  // The Source Code view keeps the page's indentation in a fixed font, with
  // the page's script still off; the working file gains no style of its own.
  void theSourceCodeViewKeepsIndentationInAFixedFont() {
    Open("/find.html", 1);
    const QString style =
        Evaluate(wb(kSourcePane), "(s => s.whiteSpace + '|' + s.fontFamily)(getComputedStyle(document.body))");
    QVERIFY2(style.startsWith("pre-wrap|") && style.endsWith("monospace"), qPrintable(style));
    QVERIFY(!PageOf(wb(kSourcePane))->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    QVERIFY(folder->Read("source.htm").find("style") == std::string::npos);
  }

  // Page Source shows the HTML as served, in its own window, following the
  // Browser view; the Browser view's history stays as it was.
  void pageSourceNeverTouchesTheBrowserHistory() {
    Open("/find.html", 1);
    Open("/live.html", 0);
    QTRY_COMPARE_WITH_TIMEOUT(wb(kBrowserPane)->LocationName(), QString("live"), kTimeout);
    const QWebEngineHistory* history = PageOf(wb(kBrowserPane))->history();
    const int entries = history->count();
    form->showPageSource();
    PageSourceWindow* window = form->pageSourceWindow();
    BrowserPane* source = window->pane();
    QTRY_COMPARE_WITH_TIMEOUT(source->LocationURL(), "view-source:" + site + "/live.html", kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(Evaluate(source, "document.body.innerText").contains("<title>static</title>"), kTimeout);
    QCOMPARE(history->count(), entries);
    QCOMPARE(wb(kBrowserPane)->LocationURL(), site + "/live.html");
    QVERIFY(!history->canGoForward());

    Open("/other.html", 1);
    QTRY_COMPARE_WITH_TIMEOUT(source->LocationURL(), "view-source:" + site + "/other.html", kTimeout);
    QCOMPARE(history->count(), entries + 1);
    QStringList loaded;  // what the window showed at the end of each load
    const QObject context;
    connect(source, &BrowserPane::DownloadComplete, &context, [&loaded, source] { loaded << source->LocationURL(); });
    QVERIFY(wb(kBrowserPane)->GoBack());
    QTRY_VERIFY_WITH_TIMEOUT(loaded.contains("view-source:" + site + "/live.html"), kTimeout);
    window->items().find->trigger();  // its own find
    QTest::keyClicks(window->findBar()->textBox(), "title");
    // <title>, </title>, document.title
    QTRY_COMPARE_WITH_TIMEOUT(window->findBar()->resultText(), QString("1 of 3"), kTimeout);
    window->close();
  }

  // Save Page writes the Browser view's page where the user said (over
  // files there before), replacing only what the user agreed to, through
  // the engine.
  void savePageWritesOnlyWhatTheUserAllowed_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("filter");            // 0 HTML only, 1 complete
    QTest::addColumn<QString>("answer");        // to the question whether to replace
    QTest::addColumn<QStringList>("expected");  // file: its start, after the save
    const auto row = [](const char* name, const char* page, int filter, const char* answer, const QStringList& files) {
      QTest::newRow(name) << QString(page) << filter << QString(answer) << files;
    };
    row("replaced when the user says so", "/find.html", 0, "Replace", {"p.html:<html><head>", "p_files/pic.gif:old"});
    row("complete, its files beside it", "/find.html", 1, "Replace",
        {"p.html:<html><head>", "p_files/pic.gif:GIF89a", "p_files/keep.txt:old"});
    row("an image is no web page", "/pic.gif", 0, "Replace", {"p.html:old"});
  }

  void savePageWritesOnlyWhatTheUserAllowed() {
    QFETCH(QString, page);
    QFETCH(int, filter);
    QFETCH(QString, answer);
    QFETCH(QStringList, expected);
    const QTemporaryDir target;
    for (const char* name : {"p.html", "p_files/pic.gif", "p_files/keep.txt"}) {
      QVERIFY(test::writeFile(target.filePath(name), "old"));
    }
    Load(wb(kBrowserPane), [&] { return TypeAddress(site + page), true; });
    form->savePageAs();
    QFileDialog* dialog = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = form->findChild<QFileDialog*>()) && dialog->isVisible(), kTimeout);
    dialog->selectNameFilter(dialog->nameFilters().value(filter));
    dialog->selectFile(target.filePath("p.html"));
    static_cast<QDialog*>(dialog)->accept();
    auto* box = form->findChild<QMessageBox*>();  // whether to replace
    QVERIFY(box && box->isVisible());
    for (QAbstractButton* button : box->buttons()) {
      if (button->text().remove('&') == answer) button->click();
    }
    if (page.endsWith(".gif")) {
      QMessageBox* failure = nullptr;
      QTRY_VERIFY_WITH_TIMEOUT((failure = form->findChild<QMessageBox*>()) && failure->text().contains("image/gif"),
                               kTimeout);
      failure->close();
    }
    for (const QString& file : expected) {
      const QString path = target.filePath(file.section(':', 0, 0));
      QTRY_VERIFY2_WITH_TIMEOUT(test::readFile(path).contains(file.section(':', 1).toUtf8()), qPrintable(file),
                                kTimeout);
    }
  }

  // A right click reports what lies under the pointer, and the engine's own
  // menu stays away.
  void theContextMenuReportsWhatIsUnderThePointer_data() {
    QTest::addColumn<QString>("element");  // a CSS selector in kFindPage
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("image");
    QTest::newRow("link") << QString("a") << QString("/other.html") << QString();
    QTest::newRow("image") << QString("img") << QString() << QString("/pic.gif");
    QTest::newRow("text") << QString("p") << QString() << QString();
  }

  void theContextMenuReportsWhatIsUnderThePointer() {
    QFETCH(QString, element);
    QFETCH(QString, link);
    QFETCH(QString, image);
    Open("/find.html", 1);
    form->SelectView(kBrowserPane);
    const QString where =
        Evaluate(wb(kBrowserPane),
                 "(() => { const r = document.querySelector('" + element +
                     "').getBoundingClientRect(); return `${Math.round(r.left + 2)},${Math.round(r.top + 2)}`; })()");
    const QPoint at(where.section(',', 0, 0).toInt(), where.section(',', 1).toInt());
    QSignalSpy asked(wb(kBrowserPane), &BrowserPane::contextMenuRequested);
    QWidget* view = wb(kBrowserPane)->widget()->focusProxy();
    QTest::mouseClick(view, Qt::RightButton, {}, at);
    QVERIFY(asked.wait(kTimeout));
    const auto request = asked.first().at(1).value<PaneContextRequest>();
    QCOMPARE(request.linkUrl, link.isEmpty() ? QUrl() : QUrl(site + link));
    QCOMPARE(request.imageUrl, image.isEmpty() ? QUrl() : QUrl(site + image));
    QMenu* menu = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())), kTimeout);
    QCOMPARE(menu->actions().last()->text(), QString("Page Source"));  // ours
    menu->close();
  }
};

}  // namespace pagesift

PAGESIFT_ENGINE_TEST_MAIN(pagesift::EndToEndTest)

#include "browse_end_to_end_test.moc"
