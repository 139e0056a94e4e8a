// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The main window on the real engine, against a small site served over HTTP
// on 127.0.0.1.

#include <signal.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "helpers/engine_fixture.h"
#include "helpers/files.h"
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

}  // namespace

class EndToEndTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  EndToEndTest() : EngineFixture(this) {}

 private:
  int markerHits_ = 0;
  QString page_;  // the fixture page with four image tags and two image links

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

  void OpenPage() {
    TypeAddress(page_);
    WaitForAnalysisOf(page_, 4);
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
    page_ = site + "/a/b/page.html";
    Serve("/a/b/page.html", "text/html",
          "<html><head><title>Fixture page</title></head><body>\n<img src=\"pic.gif\">\n<img src=\"/img/root.jpg\">\n"
          "<img src=\"../up.gif\">\n<img src=\"http://127.0.0.1:" +
              port +
              "/abs/far.gif\">\n"
              "<a href=\"big.jpg\">big</a>\n<a href=\"/img/poster.gif\">poster</a>\n<a href=\"other.html\">other</a>\n"
              "</body></html>");
    ServePictures({"/a/b/pic.gif", "/img/root.jpg", "/up.gif", "/abs/far.gif", "/a/b/big.jpg", "/img/poster.gif"});
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

  // A typed address is analysed into both views; Back after a link followed
  // inside the Source Code view goes back there, and the view's page sent
  // to the Browser tab is analysed in turn.
  void aTypedAddressIsAnalysedIntoTheViews() {
    OpenPage();
    const std::string host = site.toStdString();
    QCOMPARE(form->lists().Links[AnalysisLists::kImgTags].Items(),
             (std::vector<std::string>{host + "/a/b/pic.gif", host + "/img/root.jpg", host + "/up.gif",
                                       host + "/abs/far.gif"}));
    QCOMPARE(form->lists().Links[AnalysisLists::kImageLinks].Items(),
             (std::vector<std::string>{host + "/a/b/big.jpg", host + "/img/poster.gif"}));
    const std::string source = folder->Read("source.htm");
    QVERIFY(source.find("&lt;img src=\"<a href='" + host + "/a/b/pic.gif'>pic.gif</a>\">") != std::string::npos);
    QVERIFY(source.find("&lt;a href=\"<a href='" + host + "/a/b/big.jpg'>big.jpg</a>\">big") != std::string::npos);
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
    QCOMPARE(wb(0)->LocationURL(), page_);

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
    if (followed) {
      folder->Write("links.html", "<a href='" + address.toStdString() + "'>pipe</a>");
      QVERIFY(wb(pane)->Navigate(FileUrl("links.html")));
      Survey(wb(pane), "fifo.png");  // that page, loaded
      Evaluate(wb(pane), "document.links[0].click(), 1");
    } else {
      TypeAddress(address);
    }
    QTRY_VERIFY_WITH_TIMEOUT(said.contains("PageSift does not open " + shown.replace("%F", Folder())), kTimeout);
    QCOMPARE(wb(pane)->LocationURL(), followed ? FileUrl("links.html") : homePage.toString());
    OpenPage();
  }

  // A view whose render process ends says so over the view and in the
  // status bar; Refresh loads the page again and analyses it.
  void aViewWhoseRendererEndsSaysSo() {
    OpenPage();
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
    form->cmdRefresh_Click(0);
    QVERIFY(analysed.wait(kTimeout));
    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), kTimeout);
    QCOMPARE(form->lists().Links[AnalysisLists::kImgTags].ListCount(), size_t{4});
    QCOMPARE(Evaluate(wb(0), "document.images.length"), QString("4"));
  }

  // A download the program did not ask for is refused and says so; the
  // page stays, not processed again. (The program's own downloads are
  // saved: see save_images_test.)
  void foreignDownloadsAreRefused_data() {
    QTest::addColumn<int>("pane");
    QTest::newRow("Browser view") << int(kBrowserPane);
    QTest::newRow("Source Code view") << int(kSourcePane);
  }

  void foreignDownloadsAreRefused() {
    QFETCH(int, pane);
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
};

}  // namespace pagesift

PAGESIFT_ENGINE_TEST_MAIN(pagesift::EndToEndTest)

#include "browse_end_to_end_test.moc"
