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
  QStringList commandLog_;
  QStringList loadLog_;       // what the window's load asked of the panes
  QStringList loadCommands_;  // and of the other windows

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
    commandLog_.clear();
    auto record = [this](const char* command) { return [this, command] { commandLog_.append(command); }; };
    form_->setCommands({record("showHelp"), record("showWebsite"), record("addToToolsMenu"),
                        record("removeFromToolsMenu"), [this] { panes_->log.append("unloadOtherWindows"); }});
    form_->Form_Load();
    loadLog_ = std::exchange(panes_->log, {});
    loadCommands_ = std::exchange(commandLog_, {});
  }

  void cleanup() { delete form_; }

  void loadPreparesTheWindow() {
    QCOMPARE(ui().cmdWebsite->text(), QString("Visit pagesift.test"));
    QCOMPARE(ui().mnuViewItem[3]->text(), QString("pagesift.test"));
    QCOMPARE(form_->windowTitle(), QString("Form1"));
    QCOMPARE(form_->workingFolder(), Folder());
    for (int index = 0; index < kPaneCount; ++index) QCOMPARE(wb(index).workingFolder, Folder());
    for (const char* name : {"browser.txt", "source.htm", "images.htm", "checkImages.txt", "checkImagesClean.txt",
                             "imagepage.html"}) {
      QCOMPARE(folder_->Read(name), std::string("\r\n"));
    }
    QCOMPARE(ui().sb1->panelCount(), 2);
    QCOMPARE(ViewState(), QString("100 tab 0"));
    QCOMPARE(loadLog_, QStringList{"wb(0).GoHome"});
    QCOMPARE(loadCommands_, QStringList{"showHelp"});  // nothing stored: the help window opens
  }

  void menusDispatchByIndex_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("paneCalls");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("view");
    const QStringList none;
    QTest::newRow("Go Back") << "Go" << 0 << kStops + QStringList{"wb(0).GoBack"} << none << "100 tab 0";
    QTest::newRow("Go Forward") << "Go" << 1 << kStops + QStringList{"wb(0).GoForward"} << none << "100 tab 0";
    QTest::newRow("Go Stop") << "Go" << 2 << kStops << none << "001 tab 2";
    QTest::newRow("Go Refresh")
        << "Go" << 3
        << kStops + QStringList{"wb(0).Refresh", "wb(0).Capture", "wb(1).Navigate %F/source.htm",
                                "wb(2).Navigate %F/imagepage.html"}
        << none << "100 tab 0";
    QTest::newRow("Go Back a Directory") << "Go" << 4 << QStringList{"wb(0).Navigate http://host/a/b/"} << none
                                         << "100 tab 0";
    QTest::newRow("Go Send Page") << "Go" << 5 << kStops + QStringList{"wb(0).Navigate http://host/a/b/page.html"}
                                  << none << "100 tab 0";
    QTest::newRow("Go out of range") << "Go" << 6 << none << none << "001 tab 2";
    QTest::newRow("View Browser") << "View" << 0 << none << none << "100 tab 0";
    QTest::newRow("View Source Code") << "View" << 1 << none << none << "010 tab 1";
    QTest::newRow("View Images") << "View" << 2 << none << none << "001 tab 2";
    QTest::newRow("View website") << "View" << 3 << none << QStringList{"showWebsite"} << "001 tab 2";
    QTest::newRow("website button") << "Button" << 0 << none << QStringList{"showWebsite"} << "001 tab 2";
    QTest::newRow("Tools add") << "Tools" << 0 << none << QStringList{"addToToolsMenu"} << "001 tab 2";
    QTest::newRow("Tools remove") << "Tools" << 1 << none << QStringList{"removeFromToolsMenu"} << "001 tab 2";
    QTest::newRow("Tools out of range") << "Tools" << 2 << none << none << "001 tab 2";
    QTest::newRow("Help") << "Help" << 5 << none << QStringList{"showHelp"} << "001 tab 2";
  }

  void menusDispatchByIndex() {
    QFETCH(QString, menu);
    QFETCH(int, index);
    QFETCH(QStringList, paneCalls);
    QFETCH(QStringList, commands);
    QFETCH(QString, view);
    // Start on the Images view, the Browser pane on a page.
    form_->SelectView(2);
    wb(0).url = "http://host/a/b/page.html";
    ui().txtUrl->setText(wb(0).url);
    panes_->log.clear();
    if (menu == "Go") {
      // Back, Forward and Send act on the visible pane: make it the Browser pane.
      if (index == 0 || index == 1 || index == 5) form_->SelectView(0);
      form_->mnuGoItem_Click(index);
    }
    if (menu == "View") form_->mnuViewItem_Click(index);
    if (menu == "Tools") form_->mnuToolsItem_Click(index);
    if (menu == "Help") form_->mnuHelpItem_Click(index);
    if (menu == "Button") ui().cmdWebsite->click();
    QCOMPARE(panes_->log, paneCalls.replaceInStrings("%F", Folder()));
    QCOMPARE(commandLog_, commands);
    QCOMPARE(ViewState(), view);
  }

  void fileExitUnloadsTheOtherWindowsAndStopsThePanes() {
    form_->show();
    ui().mnuFileItem[0]->trigger();
    QTRY_VERIFY(form_.isNull());
    QCOMPARE(panes_->log.mid(0, 4), QStringList{"unloadOtherWindows"} + kStops);
  }

  void visiblePaneIndexFollowsTheView() {
    for (int view = 0; view < 3; ++view) {
      form_->SelectView(view);
      QCOMPARE(form_->VisiblePaneIndex(), view);
    }
    ui().TabStrip1->setCurrentIndex(1);  // a click on the tab
    QCOMPARE(ViewState(), QString("010 tab 1"));
    ui().mnuViewItem[2]->trigger();
    QCOMPARE(ViewState(), QString("001 tab 2"));
    for (BrowserPane* pane : ui().wb) pane->setVisible(false);
    QCOMPARE(form_->VisiblePaneIndex(), 3);
  }

  void backAndForwardActOnTheVisiblePaneAndSkipFailures() {
    form_->SelectView(1);
    form_->cmbBack_Click();  // no history: the failure is skipped
    form_->cmdForward_Click();
    QCOMPARE(panes_->log, kStops + QStringList{"wb(1).GoBack"} + kStops + QStringList{"wb(1).GoForward"});

    panes_->log.clear();
    for (BrowserPane* pane : ui().wb) pane->setVisible(false);
    form_->cmbBack_Click();  // no visible pane: nothing to go back in
    QCOMPARE(panes_->log, kStops);
  }

  void refreshAnalysesAtOnceAndAgainWhenTheReloadCompletes() {
    form_->SelectView(2);
    wb(0).url = "http://h/p.html";
    wb(0).body = "<img src='a.gif'>";
    QSignalSpy analysed(form_.data(), &Form1::pageProcessed);
    form_->cmdRefresh_Click(0);
    QCOMPARE(analysed.count(), 1);
    QCOMPARE(ViewState(), QString("100 tab 0"));
    emit wb(0).DownloadComplete(0);
    QCOMPARE(analysed.count(), 2);
    QCOMPARE(form_->lists().Links[AnalysisLists::kImgTags].List(0), std::string("http://h/a.gif"));
  }

  void sendPageToBrowserTab_data() {
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("sent");
    QTest::newRow("from the Browser view") << 0 << "http://h/page.html";
    QTest::newRow("from the Source Code view") << 1 << "file:///work/source.htm";
    QTest::newRow("from the Images view") << 2 << "http://h/pic.gif";
    QTest::newRow("with no visible pane") << 3 << "typed address";
  }

  void sendPageToBrowserTab() {
    QFETCH(int, view);
    QFETCH(QString, sent);
    wb(0).url = "http://h/page.html";
    wb(1).url = "file:///work/source.htm";
    wb(2).url = "http://h/pic.gif";
    ui().txtUrl->setText("typed address");
    if (view < 3) {
      form_->SelectView(view);
    } else {
      for (BrowserPane* pane : ui().wb) pane->setVisible(false);
    }
    panes_->log.clear();
    form_->Command1_Click();
    QCOMPARE(ui().txtUrl->text(), sent);
    QCOMPARE(panes_->log, kStops + QStringList{"wb(0).Navigate " + sent});
    QCOMPARE(ViewState(), QString("100 tab 0"));
  }

  void progressFollowsTheBrowserPaneOnly_data() {
    QTest::addColumn<int>("pane");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<double>("shownMax");
    QTest::addColumn<double>("shownValue");
    QTest::newRow("in range") << 0 << 3 << 4 << 4.0 << 3.0;
    QTest::newRow("zero") << 0 << 0 << 100 << 100.0 << 0.01;
    QTest::newRow("negative") << 0 << -5 << 100 << 100.0 << 0.01;
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
    wb(1).url = "file:///x/source.htm";
    wb(1).title = "source";
    emit wb(1).TitleChange(1, "source");
    QCOMPARE(form_->windowTitle(), QString("Form1"));
    QCOMPARE(ui().txtUrl->text(), QString());

    wb(0).url = "http://h/p.html";
    wb(0).title = "A page";
    emit wb(0).TitleChange(0, "ignored text");
    QCOMPARE(form_->windowTitle(), QString("PageSift Test by Test Co - A page"));
    QCOMPARE(ui().txtUrl->text(), QString("http://h/p.html"));

    emit wb(2).StatusTextChange(2, "http://h/big.jpg");  // status text comes from every pane
    QCOMPARE(ui().sb1->panelText(1), QString("http://h/big.jpg"));
  }

  void enterNavigatesTheBrowserPaneWithoutChangingTheView() {
    form_->SelectView(1);
    ui().txtUrl->setText("example.org");
    QTest::keyClick(ui().txtUrl, Qt::Key_Return);
    QCOMPARE(panes_->log, QStringList{"wb(0).Navigate example.org"});
    QCOMPARE(ViewState(), QString("010 tab 1"));
  }

  void onlyBrowserDownloadsAreAnalysed() {
    QSignalSpy analysed(form_.data(), &Form1::pageProcessed);
    emit wb(1).DownloadComplete(1);
    emit wb(2).DownloadComplete(2);
    QCOMPARE(analysed.count(), 0);
    QVERIFY(panes_->log.isEmpty());

    // Nothing captured (no HTML document): both views are still written and shown.
    wb(0).body.reset();
    emit wb(0).DownloadComplete(0);
    QCOMPARE(analysed.count(), 1);
    QCOMPARE(panes_->log, (QStringList{"wb(0).Capture", "wb(1).Navigate " + Folder() + "/source.htm",
                                       "wb(2).Navigate " + Folder() + "/imagepage.html"}));
    QCOMPARE(folder_->Read("source.htm"), std::string("\r\n"));
  }

  void aCaptureArrivingAfterTheWindowWentIsIgnored() {
    wb(0).holdCaptures = true;
    form_->ProcessPage();
    QCOMPARE(wb(0).HeldCaptures(), 1);
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

  void layoutFollowsTheWindowSize() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.data()));
    form_->resize(1000, 700);
    const int right = ui().cmdGo->geometry().right() + 1;
    QVERIFY(qAbs(right - (form_->frameGeometry().width() - 10)) <= 2);  // 150 twips = 10 px
    QCOMPARE(ui().wb[0]->widget()->geometry(), ui().wb[2]->widget()->geometry());
    form_->resize(20, 20);
    QVERIFY(ui().pb1->width() >= 0);
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::MainWindowTest)
#include "main_window_test.moc"
