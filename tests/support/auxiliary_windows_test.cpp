// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The help window and its stored value, and the website window.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

#include "helpers/fake_browser_pane.h"
#include "helpers/files.h"
#include "platform/product_information.h"
#include "shell/main_window.h"
#include "support/auxiliary_windows.h"
#include "support/help_window.h"
#include "support/mod_on_top.h"
#include "support/website_window.h"

namespace pagesift {
namespace {

bool onTop(const QWidget* window) { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

}  // namespace

class AuxiliaryWindowsTest : public QObject {
  Q_OBJECT

  // Each test has its own configuration and program folders.
  std::unique_ptr<QTemporaryDir> config_, program_;

  QString iniPath() const { return config_->filePath("PageSift Test.ini"); }
  QString helpPath() const { return program_->filePath("Help.rtf"); }
  SettingsStore store() const { return SettingsStore("PageSift Test"); }

  std::unique_ptr<Form8> loadedHelp() {
    auto help = std::make_unique<Form8>(program_->path(), store());
    help->Form_Load();
    return help;
  }

  // Fresh folders and help file, for each test and for each row that needs its own.
  void fresh() {
    embedProductInformation({"PageSift Test", "Test Co", "site.test"});
    config_ = std::make_unique<QTemporaryDir>();
    program_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
    QVERIFY(test::writeFile(helpPath(), "{\\rtf1\\ansi {\\b Help} text}"));
  }

 private slots:
  void init() { fresh(); }

  // One stored value decides both whether the main window opens the help
  // window at start and how the box comes up (it starts checked here, to see
  // whether the load keeps it); the load never rewrites the value.
  void storedValue() {
    const struct {
      QByteArray value;  // null: absent
      bool opensAtStart, checked;
    } rows[] = {{{}, true, true},   {"1", true, true},       {"0", false, false},
                {"2", false, true}, {"\"1 \"", false, true}, {"1,0", false, true}};
    for (const auto& row : rows) {
      fresh();
      const QByteArray ini = row.value.isNull() ? QByteArray() : "[Settings]\nshowHelp=" + row.value + "\n";
      if (!ini.isEmpty()) QVERIFY(test::writeFile(iniPath(), ini));
      test::FakePanes panes;
      Form1 form(program_->path(), panes.Factory());
      bool opened = false;
      form.setCommands({.showHelp = [&opened] { opened = true; }});
      form.Form_Load();
      QVERIFY2(opened == row.opensAtStart, ini.constData());

      Form8 help(program_->path(), store());
      help.Check1->setChecked(true);
      help.Form_Load();
      QVERIFY2(help.Check1->isChecked() == row.checked, ini.constData());
      QCOMPARE(help.rtf1->toPlainText(), "Help text");
      QVERIFY(help.rtf1->isReadOnly());
      QVERIFY(onTop(&help));
      QCOMPARE(test::readFile(iniPath()), ini);  // nothing written, nothing corrected
    }
  }

  void onlyAClickWritesAndAtOnce() {
    auto help = loadedHelp();
    QVERIFY(help->Check1->isChecked());  // absent: "1"
    QVERIFY(!QFile::exists(iniPath()));
    help->Check1->click();
    QCOMPARE(test::readFile(iniPath()), QByteArray("[Settings]\nshowHelp=0\n"));
    help->Check1->click();
    QCOMPARE(test::readFile(iniPath()), QByteArray("[Settings]\nshowHelp=1\n"));
  }

  void anUnwritableStoreChangesNothing() {
    QVERIFY(QDir(config_->path()).mkdir("PageSift Test.ini"));  // a folder in the file's place
    auto help = loadedHelp();
    const qsizetype windows = QApplication::topLevelWidgets().size();
    help->Check1->click();
    QCOMPARE(test::folderEntries(config_->path()), QStringList{"PageSift Test.ini"});
    QVERIFY(QDir(iniPath()).isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
  }

  // A missing help file leaves the window as designed, one that is not rich
  // text only its text. Also: one window while it lives, a new one after closing.
  void helpFileMissingOrNotRichText() {
    for (const bool present : {false, true}) {
      QFile::remove(helpPath());
      if (present) QVERIFY(test::writeFile(helpPath(), "Help, but plain text {\\rtf1 x}"));
      AuxiliaryWindows windows({program_->path(), store(), {}, {}});
      windows.showHelp();
      QPointer<Form8> help = windows.help();
      QVERIFY(help && help->isVisible());
      QCOMPARE(help->rtf1->toPlainText(), "RichTextBox1");
      QCOMPARE(onTop(help), present);
      QCOMPARE(help->Check1->isChecked(), present);
      windows.showHelp();
      QCOMPARE(windows.help(), help.data());
      help->close();
      QTRY_VERIFY(help.isNull());
      windows.showHelp();
      QVERIFY(windows.help() && windows.help()->isVisible());
    }
  }

  // Only True (-1) keeps a window on top; the window stays where it was.
  void setOnTop() {
    for (const std::int16_t flag : {modOnTop::kTrue, std::int16_t(1)}) {
      auto help = loadedHelp();  // on top already
      help->show();
      QVERIFY(QTest::qWaitForWindowExposed(help.get()));
      const QRect geometry = help->geometry();
      modOnTop::SetOnTop(help.get(), flag);
      QCOMPARE(onTop(help.get()), flag == modOnTop::kTrue);
      QVERIFY(help->isVisible());
      QCOMPARE(help->geometry(), geometry);
    }
  }

  // Each load reads the caption afresh and opens the website anew; a show
  // while the window lives does neither.
  void oneWebsiteWindowWhileItLivesAnewAfterUnloading() {
    QStringList log;
    int reads = 0;
    AuxiliaryWindows windows({QString(), SettingsStore(QString()),
                              [&log](int index, PaneRole, QWidget* parent) -> BrowserPane* {
                                return new test::FakeBrowserPane(index, parent, &log);
                              },
                              [&reads] { return QString("site.test #%1").arg(++reads); }});
    windows.showWebsite();
    QPointer<frmWebsite> first = windows.website();
    windows.showWebsite();
    QCOMPARE(windows.website(), first.data());
    QCOMPARE(first->windowTitle(), "site.test #1");
    windows.unloadWebsite();
    QVERIFY(first.isNull());
    windows.showWebsite();
    QVERIFY(windows.website()->isVisible());
    QCOMPARE(windows.website()->windowTitle(), "site.test #2");
    QCOMPARE(log, QStringList(2, "wb(3).Navigate pagesift.example.org"));
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::AuxiliaryWindowsTest)
#include "auxiliary_windows_test.moc"
