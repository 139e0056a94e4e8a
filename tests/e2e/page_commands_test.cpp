// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The Edit and Page menus' own commands on the real engine, against a small
// site served over HTTP on 127.0.0.1: find, zoom, Page Source, Save Page,
// the Source Code view's text and the context menu's request.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "helpers/engine_fixture.h"
#include "helpers/files.h"
#include "shell/find_bar.h"
#include "shell/page_source_window.h"
#include "shell/status_panels.h"

namespace pagesift {
namespace {

// "needle" three times in the text, once more in an attribute; two lines
// of which the second is indented by eight spaces.
constexpr char kFindPage[] =
    "<html><head><title>Find me</title></head><body>\n"
    "<p>flat iiiiiiii needle, Needle, NEEDLE.</p>\n"
    "        <p>deep MMMMMMMM <a href=\"/other.html\" title=\"needle\">other</a>"
    " <img src=\"/pic.gif\" width=\"20\" height=\"20\"></p>\n"
    "</body></html>";

// Where the Source Code view draws the words of kFindPage (left edge and
// width of each), and how.
constexpr char kSourceLayout[] = R"((() => {
  const words = {}, walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node; (node = walker.nextNode());) {
    for (const word of ['flat', 'deep', 'iiiiiiii', 'MMMMMMMM']) {
      const at = node.data.indexOf(word), range = document.createRange();
      if (at < 0) continue;
      range.setStart(node, at), range.setEnd(node, at + word.length);
      words[word] = [range.getBoundingClientRect().left, range.getBoundingClientRect().width];
    }
  }
  const style = getComputedStyle(document.body);
  return JSON.stringify({whiteSpace: style.whiteSpace, font: style.fontFamily, words,
                         elements: document.querySelectorAll('script, style, link').length});
})())";

}  // namespace

class PageCommandsTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  PageCommandsTest() : EngineFixture(this) {}

 private:
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
    Serve("/find.html", "text/html", kFindPage);
    Serve("/other.html", "text/html", "<title>Other</title><p>no match here</p><img src=\"/pic.gif\">");
    Serve("/live.html", "text/html", "<title>static</title><script>document.title = 'live'</script>");
    Serve("/pic.gif", "image/gif", test::kPicture);
    OpenWindow();
  }

  void cleanupTestCase() { CloseWindow(); }

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
    form->actualSize();
    form->SelectView(kSourcePane);
    form->actualSize();
    bar()->closeBar();
  }

  // The Source Code view shows the page's indentation in a fixed font with
  // the page's script still off, and the page gains nothing.
  void theSourceCodeViewKeepsIndentationInAFixedFont() {
    Open("/find.html", 1);
    QString text;
    QTRY_VERIFY_WITH_TIMEOUT((text = Evaluate(wb(kSourcePane), kSourceLayout)).contains("deep"), kTimeout);
    const QJsonObject layout = QJsonDocument::fromJson(text.toUtf8()).object();
    QCOMPARE(layout["whiteSpace"].toString(), QString("pre-wrap"));
    QVERIFY2(layout["font"].toString().endsWith("monospace"), qPrintable(text));
    const auto words = layout["words"];
    const double narrow = words["iiiiiiii"][1].toDouble();
    QVERIFY2(narrow > 0 && qAbs(narrow - words["MMMMMMMM"][1].toDouble()) < 0.5, qPrintable(text));
    // "deep" stands eight characters further in than "flat" (both follow "<p>").
    QVERIFY2(qAbs(words["deep"][0].toDouble() - words["flat"][0].toDouble() - narrow) < 1, qPrintable(text));
    QCOMPARE(layout["elements"].toInt(), 0);
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
    QVERIFY(!history->canGoForward());

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
    QTRY_COMPARE_WITH_TIMEOUT(wb(kBrowserPane)->LocationURL(), site + "/live.html", kTimeout);
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
    row("kept on Cancel", "/find.html", 0, "Cancel", {"p.html:old", "p_files/pic.gif:old"});
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

PAGESIFT_ENGINE_TEST_MAIN(pagesift::PageCommandsTest)

#include "page_commands_test.moc"
