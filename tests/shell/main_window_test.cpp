// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/main_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <filesystem>

#include "helpers/fake_browser_pane.h"
#include "helpers/files.h"
#include "helpers/test_folder.h"
#include "platform/product_information.h"
#include "shell/find_bar.h"
#include "shell/message_bar.h"
#include "shell/mod_product_info.h"
#include "shell/page_source_window.h"
#include "shell/progress_indicator.h"
#include "shell/status_panels.h"

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
  QStringList loadLog_;   // what the window's load asked of the panes and the other windows

  const Form1Ui& ui() const { return form_->ui(); }
  test::FakeBrowserPane& wb(int index) { return *panes_->wb[index]; }
  QString Folder() const { return QString::fromStdString(folder_->path()); }

  // The two generated views end their loads, the Images view last: `said`
  // stays in the bar throughout, then the last "Done" replaces it.
  void ViewsLoad(const QString& said) {
    for (int view : {kSourcePane, kImagesPane}) {
      emit wb(view).StatusTextChange(view, "Done");
      emit wb(view).DownloadComplete(view);
      QCOMPARE(ui().sb1->panelText(1), said);
    }
  }
  void ImagesViewDone() {
    emit wb(kImagesPane).StatusTextChange(kImagesPane, "Done");
    emit wb(kImagesPane).DownloadComplete(kImagesPane);
    QCOMPARE(ui().sb1->panelText(1), QString("Done"));
  }

  // The panes that report themselves visible, and the selected tab.
  QString ViewState() const {
    QString state;
    for (BrowserPane* pane : ui().wb) state += pane->Visible() ? '1' : '0';
    return state + " tab " + QString::number(ui().TabStrip1->currentIndex());
  }

  // No pane is ever hidden: the one on show lies above the other two and
  // below the bars over the views, and only it takes input.
  void VerifyPanesStacked() const {
    const QObjectList stack = ui().client->children();  // bottom to top
    const auto level = [&stack](const QWidget* widget) { return stack.indexOf(widget); };
    for (BrowserPane* pane : ui().wb) {
      QVERIFY(!pane->widget()->isHidden());
      QCOMPARE(pane->widget()->isEnabled(), pane->Visible());
      if (!pane->Visible()) continue;
      for (BrowserPane* other : ui().wb) QVERIFY(other == pane || level(other->widget()) < level(pane->widget()));
      QVERIFY(level(pane->widget()) < level(ui().messageBar) && level(pane->widget()) < level(ui().findBar));
    }
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
    form_->setCommands(
        {.showHelp = record("showHelp"),
         .showWebsite = record("showWebsite"),
         .addToToolsMenu = record("addToToolsMenu"),
         .removeFromToolsMenu = record("removeFromToolsMenu"),
         .unloadOtherWindows = record("unloadOtherWindows"),
         .showEveryImage = record("showEveryImage"),
         .copyImageAddresses = record("copyImageAddresses"),
         .saveAllImages = record("saveAllImages"),
         .saveImageAs = [this](const QUrl& address) { panes_->log.append("saveImageAs " + address.toString()); }});
    form_->Form_Load();
    loadLog_ = std::exchange(panes_->log, {});
  }

  void cleanup() { delete form_; }

  void loadPreparesTheWindow() {
    QCOMPARE(ui().cmdWebsite->text(), QString("Visit pagesift.test"));
    QCOMPARE(ui().mnuViewItem[3]->text(), QString("pagesift.test"));
    for (int index = 0; index < kPaneCount; ++index) QCOMPARE(wb(index).workingFolder, Folder());
    for (const char* name :
         {"browser.txt", "source.htm", "images.htm", "checkImages.txt", "checkImagesClean.txt", "imagepage.html"}) {
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
    for (test::FakeBrowserPane* pane : panes_->wb) pane->canBack = pane->canForward = true;
    form_->SelectView(qMin(startView, 2));
    if (startView == 3) {
      for (BrowserPane* pane : ui().wb) pane->setVisible(false);
    }
    panes_->log.clear();
    const QHash<QString, QList<QAction*>> menus = {{"Go", ui().mnuGoItem},
                                                   {"View", ui().mnuViewItem},
                                                   {"Tools", ui().mnuToolsItem},
                                                   {"Page", ui().mnuPageItem},
                                                   {"Help", ui().mnuHelpItem}};
    if (menus.contains(control)) menus[control][index]->trigger();
    if (control == "Send") ui().Command1->click();
    if (control == "Website") ui().cmdWebsite->click();
    if (control == "Tab") ui().TabStrip1->setCurrentIndex(index);
    if (control == "Enter") QTest::keyClick(ui().txtUrl, Qt::Key_Return);
    QCOMPARE(panes_->log, calls.replaceInStrings("%F", Folder()));
    QTEST(ViewState(), "view");
    VerifyPanesStacked();
  }

  // An address no view may open is refused wherever it enters the window,
  // with the reason in the status bar; the Browser view stays on its page.
  void refusesAddressesAtEveryEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("address");  // %F: the working folder, which holds the named pipe "fifo"
    QTest::addColumn<QString>("message");
    const auto row = [](const char* entry, const char* address, const char* message) {
      QTest::newRow(qPrintable(QString(entry) + ": " + address))
          << QString(entry) << QString(address) << QString(message);
    };
    row("Go", "http://[bad",
        "PageSift does not open http://[bad: not a valid address (Expected ']' to match '[' in hostname)");
    row("Go", "/dev/null", "PageSift does not open /dev/null: a device, not a regular file");
    row("Enter", "about:inducebrowsercrashforrealz",
        "PageSift does not open about:inducebrowsercrashforrealz: an internal page of the web engine");
    row("hand-over", "file://%F/fifo", "PageSift does not open file://%F/fifo: a named pipe, not a regular file");
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
    ViewsLoad(message);
    ImagesViewDone();
  }

  // A working file that cannot be written leaves its view on the last page
  // it showed, and the status bar says which view that is, also once the
  // views have loaded; the next analysis that works says nothing.
  void saysWhichViewCouldNotBeUpdated_data() {
    QTest::addColumn<QString>("file");  // made a folder
    QTest::addColumn<QString>("message");
    QTest::newRow("the Source Code view's")
        << "source.htm"
        << "The Source Code view could not be updated: writing the source page: '%F/source.htm': not a regular file";
    QTest::newRow("the Images view's")
        << "imagepage.html"
        << "The Images view could not be updated: writing the image page: '%F/imagepage.html': not a regular file";
    QTest::newRow("the scans'") << "checkImagesClean.txt"
                                << "The Source Code and Images views could not be updated: finding image tags: "
                                   "'%F/checkImagesClean.txt': not a regular file";
    QTest::newRow("the reset's")
        << "browser.txt"
        << "The working files could not be reset: resetting the working files: '%F/browser.txt': not a regular file";
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
    ViewsLoad(message);
    std::filesystem::remove(path);
    emit wb(0).DownloadComplete(0);
    ImagesViewDone();
  }

  // Only the Browser view's loads are analysed. A Browser view whose render
  // process ended has no page: it is not analysed, not even with a capture
  // asked for before the end, until a page has loaded there again.
  void onlyTheBrowserViewsPageIsAnalysed() {
    wb(0).url = "http://h/p.html";
    wb(0).body = "<img src='a.gif'>";
    QSignalSpy analysed(form_.data(), &Form1::pageProcessed);
    emit wb(1).DownloadComplete(1);
    emit wb(2).DownloadComplete(2);
    QCOMPARE(analysed.count(), 0);
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
    QCOMPARE(form_->lists().Links[AnalysisLists::kImgTags].List(0), std::string("http://h/a.gif"));
  }

  // The Edit menu, the Page menu's own items, their keys, the find bar and
  // the context menu: which command each reaches, from a view (each pane on
  // a page of its own, the address box holding the focus). Setup and
  // trigger are steps separated by ";"; the check is one "what:expected".
  void pageCommands_data() {
    QTest::addColumn<int>("startView");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("check");
    const auto row = [](const char* name, int view, const char* setup, const char* trigger, const QStringList& calls,
                        const char* check) {
      QTest::newRow(name) << view << QString(setup) << QString(trigger) << calls << QString(check);
    };
    const QString menu =
        "Open Link in Browser View|Copy Link Address|-|Open Image in Browser View|Copy Image Address|"
        "Save Image As...|-|Copy|-|(Back)|(Forward)|Reload|-|Select All|Page Source";
    row("Ctrl+F opens the bar", 1, "", "key:Ctrl+F", {}, "bar:");
    row("F3 finds the next", 2, "bar:needle", "key:F3", {"wb(2).Find needle"}, "bar:1 of 3");
    row("Ctrl+G finds the next", 2, "bar:needle", "key:Ctrl+G", {"wb(2).Find needle"}, "bar:1 of 3");
    row("Shift+F3 finds the previous", 2, "bar:needle", "key:Shift+F3", {"wb(2).Find needle backward"}, "bar:1 of 3");
    row("Find Next with the bar closed", 0, "bar:needle;key:Esc in bar", "item:Find Next", {"wb(0).Find needle"},
        "bar:1 of 3");
    row("Esc in the bar closes it, stops nothing", 1, "bar:needle", "key:Esc in bar", {"wb(1).Find "}, "bar:closed");
    row("Esc elsewhere is Stop", 1, "bar:needle", "key:Esc", kStops, "bar:1 of 3");
    row("Ctrl++", 2, "", "key:Ctrl++", {"wb(2).Zoom 1.1"}, "status:Zoom: 110%");
    row("Ctrl+=", 1, "zoom:1.1", "key:Ctrl+=", {"wb(1).Zoom 1.25"}, "status:Zoom: 125%");
    row("Ctrl+-", 0, "", "key:Ctrl+-", {"wb(0).Zoom 0.9"}, "status:Zoom: 90%");
    row("Ctrl+0", 0, "zoom:2.5", "key:Ctrl+0", {"wb(0).Zoom 1"}, "status:Zoom: 100%");
    row("zoom stops at 500%", 0, "zoom:5", "item:Zoom In", {"wb(0).Zoom 5"}, "status:Zoom: 500%");
    row("Ctrl+U in the address box", 2, "", "key:Ctrl+U", {"wb(4).Navigate view-source:http://host/page.html"},
        "source:http://host/page.html");
    row("Ctrl+P prints the view on show", 2, "", "key:Ctrl+P;print", {"wb(2).Print"}, "status:Printed");
    row("Save as PDF", 1, "", "item:Save as PDF...;save:v.pdf", {"wb(1).PrintToPdf %F/v.pdf"},
        "status:Saved the page as %F/v.pdf");
    row("the next save asks in the last folder", 1, "item:Save as PDF...;save:v.pdf", "key:Ctrl+S", {}, "dialog:%F");
    row("Save Page complete, its folder there", 0, "file:p_files/a.gif",
        "key:Ctrl+S;save:p.html complete;answer:Replace", {"wb(0).SavePage %F/p.html complete"},
        "file:p_files/a.gif=old");
    row("Save Page HTML only, a folder there", 0, "file:p_files/a.gif", "key:Ctrl+S;save:p.html",
        {"wb(0).SavePage %F/p.html single"}, "");
    row("Save Page kept on Cancel", 0, "file:p.html", "key:Ctrl+S;save:p.html;answer:Cancel", {}, "file:p.html=old");
    row("context menu entries", 1, "", "context:all", {}, qPrintable("menu:" + menu));
    row("Open Link in Browser View", 1, "", "context:link/Open Link in Browser View",
        kStops + QStringList{"wb(0).Navigate http://host/linked%20page.html"}, "view:100 tab 0");
    row("Copy Link Address", 2, "", "context:link/Copy Link Address", {}, "clipboard:http://host/linked%20page.html");
    row("a javascript: link is not opened, a broken image address left out", 1, "",
        "context:script/Open Link in Browser View", {},
        "menu:(Open Link in Browser View)|Copy Link Address|-|(Back)|(Forward)|Reload|-|Select All|Page Source");
    row("Save Image As", 0, "", "context:image/Save Image As...", {"saveImageAs http://host/pic.gif"}, "");
    row("Copy", 1, "", "context:selection/Copy", {"wb(1).Copy"}, "");
    row("Select All", 2, "", "context:none/Select All", {"wb(2).SelectAll"}, "");
    row("Back", 1, "history", "context:none/Back", {"wb(1).GoBack"}, "");
    row("Page Source", 1, "", "context:none/Page Source", {"wb(4).Navigate view-source:http://host/page.html"},
        "source:http://host/page.html");
    row("Back greyed with no history", 1, "", "key:Alt+Left", {}, "backForward:00");
    row("Back and Forward follow the view on show", 1, "history", "tab:2", {}, "backForward:01");
    row("and its history", 0, "", "history", {}, "backForward:11");
  }

  void pageCommands() {
    QFETCH(int, startView);
    QFETCH(QString, setup);
    QFETCH(QString, trigger);
    QFETCH(QStringList, calls);
    QFETCH(QString, check);
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_));
    wb(0).url = "http://host/page.html";
    wb(1).url = "file:///w/source.htm";
    wb(2).url = "http://host/pic.gif";
    form_->SelectView(startView);
    ui().txtUrl->setFocus();
    const QTemporaryDir files;
    const auto path = [&files](const QString& name) { return files.filePath(name); };
    FindBar* bar = ui().findBar;
    const auto step = [&](const QString& command) {
      const QString what = command.section(':', 0, 0);
      const QString value = command.section(':', 1);
      if (what == "key") {
        QWidget* to = value.endsWith(" in bar") ? static_cast<QWidget*>(bar->textBox()) : ui().txtUrl;
        QTest::keySequence(to, QKeySequence(QString(value).remove(" in bar")));
      } else if (what == "item") {
        for (QAction* item : ui().mnuEdit->actions() + ui().mnuPage->actions()) {
          if (item->text() == value) item->trigger();
        }
      } else if (what == "bar") {
        bar->textBox()->setText(value);
        bar->openBar();
        panes_->log.clear();
      } else if (what == "tab") {
        ui().TabStrip1->setCurrentIndex(value.toInt());
      } else if (what == "zoom") {
        wb(startView).zoom = value.toDouble();
      } else if (what == "history") {
        wb(0).canBack = wb(0).canForward = wb(1).canBack = wb(2).canForward = true;
        for (int index = 0; index < kPaneCount; ++index) emit wb(index).historyChanged(index);
      } else if (what == "file") {
        QVERIFY(test::writeFile(path(value), "old"));
      } else if (what == "print") {
        auto* dialog = form_->findChild<QPrintDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        dialog->accept();
      } else if (what == "save") {
        auto* dialog = form_->findChild<QFileDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        if (value.endsWith(" complete")) dialog->selectNameFilter(dialog->nameFilters().value(1));
        dialog->selectFile(path(value.section(' ', 0, 0)));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own, protected there
      } else if (what == "answer") {
        auto* box = form_->findChild<QMessageBox*>();
        QVERIFY(box && box->isVisible());
        for (QAbstractButton* button : box->buttons()) {
          if (button->text().remove('&') == value) button->click();
        }
      } else if (what == "context") {
        const int view = form_->VisiblePaneIndex();
        PaneContextRequest request;
        const QString kind = value.section('/', 0, 0);
        if (kind == "link" || kind == "all") request.linkUrl = QUrl("http://host/linked page.html");
        if (kind == "script") request.linkUrl = QUrl("javascript:alert(1)");
        if (kind == "script") request.imageUrl = QUrl("http://[bad");
        if (kind == "image" || kind == "all") request.imageUrl = QUrl("http://host/pic.gif");
        if (kind == "selection" || kind == "all") request.selectedText = "some text";
        emit wb(view).contextMenuRequested(view, request);
        auto* shown = ui().wb[view]->widget()->findChild<QMenu*>();
        QVERIFY(shown);
        QStringList entries;
        for (QAction* item : shown->actions()) {
          const QString text = item->isSeparator() ? "-" : item->text();
          entries << (item->isEnabled() ? text : "(" + text + ")");
          if (item->text() == value.section('/', 1)) item->trigger();
        }
        if (check.startsWith("menu:")) QCOMPARE(entries.join('|'), QString(check).remove("menu:"));
        shown->close();
      }
    };
    for (const QString& command : setup.split(';', Qt::SkipEmptyParts)) step(command);
    panes_->log.clear();
    for (const QString& command : trigger.split(';', Qt::SkipEmptyParts)) step(command);
    QCOMPARE(panes_->log, calls.replaceInStrings("%F", files.path()));

    const QString what = check.section(':', 0, 0);
    const QString expected = check.section(':', 1).replace("%F", files.path());
    if (what == "bar") {
      QCOMPARE(bar->isHidden() ? QString("closed") : bar->resultText(), expected);
      if (!bar->isHidden()) QVERIFY(bar->y() >= ui().wb[0]->widget()->geometry().bottom());  // below the views
    }
    if (what == "status") QCOMPARE(ui().sb1->panelText(1), expected);
    if (what == "clipboard") QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    if (what == "dialog") QCOMPARE(form_->findChildren<QFileDialog*>().last()->directory().absolutePath(), expected);
    if (what == "view") QCOMPARE(ViewState(), expected);
    if (what == "source") QCOMPARE(form_->pageSourceWindow()->sourceAddress(), QUrl(expected));
    if (what == "backForward") {
      const QString shown = QString::number(ui().cmbBack->isEnabled()) + QString::number(ui().cmdForward->isEnabled());
      QCOMPARE(shown, expected);
      QCOMPARE(QString::number(ui().mnuGoItem[0]->isEnabled()) + QString::number(ui().mnuGoItem[1]->isEnabled()),
               expected);
    }
    if (what == "file") {
      QCOMPARE(test::readFile(path(expected.section('=', 0, 0))), expected.section('=', 1).toUtf8());
    }
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
    QTest::newRow("at the maximum") << 0 << 100 << 100 << 100.0 << 100.0;
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
    QTest::newRow("text") << 0 << "Saved."
                          << "evil.test: Saved.";
    QTest::newRow("markup stays text") << 0 << "<b>x</b><img src=x onerror=alert(1)>"
                                       << "evil.test: <b>x</b><img src=x onerror=alert(1)>";
    QTest::newRow("lines joined") << 0 << "one\n\ttwo\r\n"
                                  << "evil.test: one two";
    QTest::newRow("10 MB cut") << 0 << QString(10'000'000, 'x') << "evil.test: " + QString(1000, 'x') + "...";
    QTest::newRow("from the Source Code view") << 1 << "Saved."
                                               << "";
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
