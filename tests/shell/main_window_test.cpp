#include "shell/main_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <filesystem>

#include "platform/product_information.h"
#include "shell/message_bar.h"
#include "shell/mod_product_info.h"
#include "shell/progress_indicator.h"
#include "shell/status_panels.h"
#include "support/fake_browser_pane.h"
#include "support/test_folder.h"

namespace pagesift {

namespace {

const QStringList kStops = {"wb(0).Stop", "wb(1).Stop", "wb(2).Stop"};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TestFolder> folder_;
  std::unique_ptr<test::FakePanes> panes_;
  QPointer<Form1> form_;
  QTemporaryDir config_;  // the settings live here: none stored
  QStringList loadLog_;  // what the window's load asked of the panes and the other windows

  const Form1Ui& ui() const { return form_->ui(); }
  test::FakeBrowserPane& wb(int index) { return *panes_->wb[index]; }
  QString Folder() const { return QString::fromStdString(folder_->path()); }

  // The panes that report themselves visible, and the selected tab.
  QString ViewState() const {
    QString state;
    for (BrowserPane* pane : ui().wb) state += pane->Visible() ? '1' : '0';
    return state + " tab " + QString::number(ui().TabStrip1->currentIndex());
  }

 private slots:
  void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); }

  void init() {
    embedProductInformation({"PageSift Test", "Test Co", "pagesift.test"});
    modProductInfo::ReadProductInfo();
    folder_ = std::make_unique<test::TestFolder>();
    panes_ = std::make_unique<test::FakePanes>();
    form_ = new Form1(Folder(), panes_->Factory());
    auto record = [this](const char* command) { return [this, command] { panes_->log.append(command); }; };
    form_->setCommands({record("showHelp"), record("showWebsite"), record("addToToolsMenu"),
                        record("removeFromToolsMenu"), record("unloadOtherWindows"), record("showEveryImage"),
                        record("copyImageAddresses"), record("saveAllImages")});
    form_->Form_Load();
    loadLog_ = std::exchange(panes_->log, {});
  }

  void cleanup() { delete form_; }

  void loadPreparesTheWindow() {
    QCOMPARE(ui().cmdWebsite->text(), QString("Visit pagesift.test"));
    QCOMPARE(ui().mnuViewItem[3]->text(), QString("pagesift.test"));
    for (int index = 0; index < kPaneCount; ++index) QCOMPARE(wb(index).workingFolder, Folder());
    for (const char* name : {"browser.txt", "source.htm", "images.htm", "checkImages.txt", "checkImagesClean.txt",
                             "imagepage.html"}) {
      QCOMPARE(folder_->Read(name), std::string("\r\n"));
    }
    QCOMPARE(ViewState(), QString("100 tab 0"));
    QCOMPARE(loadLog_, (QStringList{"showHelp", "wb(0).GoHome"}));  // nothing stored: the help window opens
  }

  // Every command from a menu item, button, tab or the address box, started
  // in a view (3: no pane visible) with each pane and the address box on a
  // different page.
  void commands_data() {
    QTest::addColumn<int>("startView");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("calls");  // of the panes and the other windows
    QTest::addColumn<QString>("view");
    const auto row = [](const char* name, int start, const char* control, int index, bool stopsFirst,
                        const QStringList& calls, const char* view) {
      QTest::newRow(name) << start << QString(control) << index << (stopsFirst ? kStops : QStringList()) + calls
                          << QString(view);
    };
    const QString typed = "wb(0).Navigate http://host/a/b/page.html";
    row("Go Back in the visible pane", 1, "Go", 0, true, {"wb(1).GoBack"}, "010 tab 1");
    row("Go Back with no visible pane", 3, "Go", 0, true, {}, "000 tab 2");
    row("Go Forward", 0, "Go", 1, true, {"wb(0).GoForward"}, "100 tab 0");
    row("Go Stop", 2, "Go", 2, true, {}, "001 tab 2");
    row("Go Refresh analyses at once", 2, "Go", 3, true,
        {"wb(0).Refresh", "wb(0).Capture", "wb(1).Navigate %F/source.htm", "wb(2).Navigate %F/imagepage.html"},
        "100 tab 0");
    row("Go Back a Directory", 2, "Go", 4, false, {"wb(0).Navigate http://host/a/b/"}, "100 tab 0");
    row("Go Send Page from Source Code", 1, "Go", 5, true, {"wb(0).Navigate file:///w/source.htm"}, "100 tab 0");
    row("Send Page from Images", 2, "Send", 0, true, {"wb(0).Navigate http://host/pic.gif"}, "100 tab 0");
    row("Send Page with no visible pane", 3, "Send", 0, true, {typed}, "100 tab 0");
    row("View Browser", 2, "View", 0, false, {}, "100 tab 0");
    row("View Source Code", 2, "View", 1, false, {}, "010 tab 1");
    row("View Images", 0, "View", 2, false, {}, "001 tab 2");
    row("View website", 0, "View", 3, false, {"showWebsite"}, "100 tab 0");
    row("website button", 2, "Website", 0, false, {"showWebsite"}, "001 tab 2");
    row("Tools add", 2, "Tools", 0, false, {"addToToolsMenu"}, "001 tab 2");
    row("Tools remove", 2, "Tools", 1, false, {"removeFromToolsMenu"}, "001 tab 2");
    row("Page Every Image", 2, "Page", 0, false, {"showEveryImage"}, "001 tab 2");
    row("Page Copy Image Addresses", 2, "Page", 1, false, {"copyImageAddresses"}, "001 tab 2");
    row("Page Save All Images", 2, "Page", 2, false, {"saveAllImages"}, "001 tab 2");
    row("Help", 2, "Help", 0, false, {"showHelp"}, "001 tab 2");
    row("a click on a tab", 2, "Tab", 1, false, {}, "010 tab 1");
    row("Enter keeps the view", 1, "Enter", 0, false, {typed}, "010 tab 1");
  }

  void commands() {
    QFETCH(int, startView);
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(QStringList, calls);
    wb(0).url = "http://host/page.html";
    wb(1).url = "file:///w/source.htm";
    wb(2).url = "http://host/pic.gif";
    ui().txtUrl->setText("http://host/a/b/page.html");
    form_->SelectView(qMin(startView, 2));
    if (startView == 3) {
      for (BrowserPane* pane : ui().wb) pane->setVisible(false);
    }
    panes_->log.clear();
    const QHash<QString, QList<QAction*>> menus = {
        {"Go", ui().mnuGoItem}, {"View", ui().mnuViewItem}, {"Tools", ui().mnuToolsItem}, {"Page", ui().mnuPageItem},
        {"Help", ui().mnuHelpItem}};
    if (menus.contains(control)) menus[control][index]->trigger();
    if (control == "Send") ui().Command1->click();
    if (control == "Website") ui().cmdWebsite->click();
    if (control == "Tab") ui().TabStrip1->setCurrentIndex(index);
    if (control == "Enter") QTest::keyClick(ui().txtUrl, Qt::Key_Return);
    QCOMPARE(panes_->log, calls.replaceInStrings("%F", Folder()));
    QTEST(ViewState(), "view");
  }

  // An address no view may open is refused wherever it enters the window,
  // with the reason in the status bar; the Browser view stays on its page.
  void refusesAddressesAtEveryEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("address");  // %F: the working folder, which holds the named pipe "fifo"
    QTest::addColumn<QString>("message");
    const auto row = [](const char* entry, const char* address, const char* message) {
      QTest::newRow(qPrintable(QString(entry) + ": " + address)) << QString(entry) << QString(address) << QString(message);
    };
    row("Go", "chrome://gpucrash", "PageSift does not open chrome://gpucrash: an internal page of the web engine");
    row("Go", "http://[bad",
        "PageSift does not open http://[bad: not a valid address (Expected ']' to match '[' in hostname)");
    row("Go", "%F/fifo", "PageSift does not open %F/fifo: a named pipe, not a regular file");
    row("Go", "/dev/null", "PageSift does not open /dev/null: a device, not a regular file");
    row("Enter", "about:inducebrowsercrashforrealz",
        "PageSift does not open about:inducebrowsercrashforrealz: an internal page of the web engine");
    row("hand-over", "file://%F/fifo", "PageSift does not open file://%F/fifo: a named pipe, not a regular file");
    row("Send Page", "view-source:http://host/", "PageSift does not open view-source:http://host/: an internal page of the web engine");
    row("Send Page", "javascript:alert(1)",
        "PageSift does not open javascript:alert(1): a script, which would run in the page on show");
    row("Back a Directory", "devtools://devtools/bundled/x.html",
        "PageSift does not open devtools://devtools/bundled/: an internal page of the web engine");
  }

  void refusesAddressesAtEveryEntry() {
    QFETCH(QString, entry);
    QFETCH(QString, address);
    QFETCH(QString, message);
    QVERIFY(::mkfifo(folder_->File("fifo").c_str(), 0600) == 0);
    address.replace("%F", Folder());
    wb(0).url = "http://host/page.html";
    ui().txtUrl->setText(address);
    if (entry == "Go") ui().cmdGo->click();
    if (entry == "Enter") QTest::keyClick(ui().txtUrl, Qt::Key_Return);
    if (entry == "hand-over") form_->openAddress(address);
    if (entry == "Send Page") {
      for (BrowserPane* pane : ui().wb) pane->setVisible(false);  // the address box's address is sent
      ui().Command1->click();
    }
    if (entry == "Back a Directory") ui().cmdBackDir->click();
    QCOMPARE(ui().sb1->panelText(1), message.replace("%F", Folder()));
    QCOMPARE(wb(0).url, QString("http://host/page.html"));
    // The page on show then ends its load and is analysed: the refusal is
    // said again once the views have loaded, and only then.
    emit wb(0).DownloadComplete(0);
    for (int view : {kSourcePane, kImagesPane}) {
      emit wb(view).StatusTextChange(view, "Done");
      emit wb(view).DownloadComplete(view);
      QCOMPARE(ui().sb1->panelText(1), message);
    }
    emit wb(kImagesPane).StatusTextChange(kImagesPane, "Done");
    emit wb(kImagesPane).DownloadComplete(kImagesPane);
    QCOMPARE(ui().sb1->panelText(1), QString("Done"));
  }

  // A working file that cannot be written leaves its view on the last page
  // it showed, and the status bar says which view that is, also once the
  // views have loaded; the next analysis that works says nothing.
  void saysWhichViewCouldNotBeUpdated_data() {
    QTest::addColumn<QString>("file");  // made a folder
    QTest::addColumn<QString>("message");
    QTest::newRow("the Source Code view's") << "source.htm" << "The Source Code view could not be updated: writing the source page: '%F/source.htm': not a regular file";
    QTest::newRow("the Images view's") << "imagepage.html" << "The Images view could not be updated: writing the image page: '%F/imagepage.html': not a regular file";
    QTest::newRow("the scans'") << "checkImagesClean.txt"
                                << "The Source Code and Images views could not be updated: finding image tags: '%F/checkImagesClean.txt': not a regular file";
    QTest::newRow("the reset's") << "browser.txt" << "The working files could not be reset: resetting the working files: '%F/browser.txt': not a regular file";
  }

  void saysWhichViewCouldNotBeUpdated() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    const std::string path = folder_->File(file.toStdString());
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    wb(0).url = "http://h/p.html";
    wb(0).body = "<img src='a.gif'><a href='b.jpg'>b</a>";
    emit wb(0).DownloadComplete(0);
    message.replace("%F", Folder());
    QCOMPARE(ui().sb1->panelText(1), message);
    for (int view : {kSourcePane, kImagesPane}) {
      emit wb(view).StatusTextChange(view, "Done");
      emit wb(view).DownloadComplete(view);
      QCOMPARE(ui().sb1->panelText(1), message);
    }
    std::filesystem::remove(path);
    emit wb(0).DownloadComplete(0);
    emit wb(kImagesPane).StatusTextChange(kImagesPane, "Done");
    emit wb(kImagesPane).DownloadComplete(kImagesPane);
    QCOMPARE(ui().sb1->panelText(1), QString("Done"));
  }

  // A Browser view whose render process ended has no page: it is not
  // analysed, not even with a capture asked for before the end, until a
  // page has loaded there again.
  void aStoppedBrowserViewIsNotAnalysed() {
    wb(0).url = "http://h/p.html";
    wb(0).body = "<img src='a.gif'>";
    QSignalSpy analysed(form_.data(), &Form1::pageProcessed);
    wb(0).holdCaptures = true;
    form_->ProcessPage();
    emit wb(0).rendererStopped(0, "its process was killed (signal 9)");
    QCOMPARE(ui().sb1->panelText(1), QString("The Browser view stopped: its process was killed (signal 9). "
                                             "Refresh to load it again."));
    wb(0).ReleaseCaptures();
    panes_->log.clear();
    ui().cmdRefresh[0]->click();
    QCOMPARE(panes_->log, kStops + QStringList{"wb(0).Refresh"});
    QCOMPARE(analysed.count(), 0);
    wb(0).holdCaptures = false;
    emit wb(0).DownloadComplete(0);
    QCOMPARE(analysed.count(), 1);
  }

  void fileExitUnloadsTheOtherWindowsAndStopsThePanes() {
    form_->show();
    ui().mnuFileItem[0]->trigger();
    QTRY_VERIFY(form_.isNull());
    QCOMPARE(panes_->log.mid(0, 4), QStringList{"unloadOtherWindows"} + kStops);
  }

  void progressFollowsTheBrowserPaneOnly_data() {
    QTest::addColumn<int>("pane");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<double>("shownMax");
    QTest::addColumn<double>("shownValue");
    QTest::newRow("in range") << 0 << 3 << 4 << 4.0 << 3.0;
    QTest::newRow("zero") << 0 << 0 << 100 << 100.0 << 0.01;
    QTest::newRow("above the maximum") << 0 << 150 << 100 << 100.0 << 0.01;
    QTest::newRow("maximum 0 ignored") << 0 << 5 << 0 << 100.0 << 7.0;
    QTest::newRow("refused maximum ignored") << 0 << 5 << -10 << 100.0 << 7.0;
    QTest::newRow("Source Code pane ignored") << 1 << 50 << 100 << 100.0 << 7.0;
  }

  void progressFollowsTheBrowserPaneOnly() {
    QFETCH(int, pane);
    QFETCH(int, progress);
    QFETCH(int, maximum);
    emit wb(0).ProgressChange(0, 7, 100);
    emit wb(pane).ProgressChange(pane, progress, maximum);
    QTEST(ui().pb1->maxValue(), "shownMax");
    QTEST(ui().pb1->currentValue(), "shownValue");
  }

  void captionAndAddressFollowTheBrowserPaneOnly() {
    emit wb(1).TitleChange(1, "source");
    QCOMPARE(form_->windowTitle(), QString("Form1"));

    wb(0).url = "http://h/p.html";
    wb(0).title = "A page";
    emit wb(0).TitleChange(0, "ignored text");
    QCOMPARE(form_->windowTitle(), QString("PageSift Test by Test Co - A page"));
    QCOMPARE(ui().txtUrl->text(), QString("http://h/p.html"));

    emit wb(2).StatusTextChange(2, "http://h/big.jpg");  // status text comes from every pane
    QCOMPARE(ui().sb1->panelText(1), QString("http://h/big.jpg"));
  }

  void onlyBrowserDownloadsAreAnalysed() {
    wb(0).url = "http://h/p.html";
    wb(0).body = "<img src='a.gif'>";
    QSignalSpy analysed(form_.data(), &Form1::pageProcessed);
    emit wb(1).DownloadComplete(1);
    emit wb(2).DownloadComplete(2);
    QCOMPARE(analysed.count(), 0);
    emit wb(0).DownloadComplete(0);
    QCOMPARE(analysed.count(), 1);
    QCOMPARE(form_->lists().Links[AnalysisLists::kImgTags].List(0), std::string("http://h/a.gif"));
  }

  void aCaptureArrivingAfterTheWindowWentIsIgnored() {
    wb(0).holdCaptures = true;
    form_->ProcessPage();
    auto* pane = panes_->wb[0];
    pane->setParent(nullptr);  // keep the pane alive past its window
    delete form_;
    pane->ReleaseCaptures();
    delete pane;
  }

  // The Browser view's page messages show in the bar as plain text, one
  // line, cut; the other views run no script and their messages go nowhere.
  void pageMessagesShowInTheBar_data() {
    QTest::addColumn<int>("pane");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << 0 << "Saved." << "evil.test: Saved.";
    QTest::newRow("markup stays text") << 0 << "<b>x</b><img src=x onerror=alert(1)>"
                                       << "evil.test: <b>x</b><img src=x onerror=alert(1)>";
    QTest::newRow("lines joined") << 0 << "one\n\ttwo\r\n" << "evil.test: one two";
    QTest::newRow("10 MB cut") << 0 << QString(10'000'000, 'x') << "evil.test: " + QString(1000, 'x') + "...";
    QTest::newRow("from the Source Code view") << 1 << "Saved." << "";
  }

  void pageMessagesShowInTheBar() {
    QFETCH(int, pane);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    form_->show();
    MessageBar* bar = ui().messageBar;
    emit wb(pane).pageMessage(pane, "evil.test", message);
    QCOMPARE(bar->isVisible(), !shown.isEmpty());
    QCOMPARE(bar->text(), shown);
    QCOMPARE(bar->label()->textFormat(), Qt::PlainText);
    QVERIFY(bar->label()->text().size() <= shown.size());
    QVERIFY(bar->y() <= ui().wb[0]->widget()->y() + 1);  // over the views' top edge
  }

  void theBarSilencesThePageAndCloses() {
    form_->show();
    MessageBar* bar = ui().messageBar;
    emit wb(0).pageMessage(0, "evil.test", "one");
    panes_->log.clear();
    bar->silenceBox()->click();
    QCOMPARE(panes_->log, QStringList{"wb(0).SilencePageMessages"});
    emit wb(0).pageMessage(0, "evil.test", "two");  // the pane lets one through: the silence ended
    QVERIFY(!bar->silenceBox()->isChecked());
    QCOMPARE(bar->text(), QString("evil.test: two"));
    bar->closeButton()->click();
    QVERIFY(!bar->isVisible());
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::MainWindowTest)
#include "main_window_test.moc"
