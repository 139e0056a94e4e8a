// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/help_window.h"

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
#include "support/mod_on_top.h"

namespace pagesift {
namespace {

bool onTop(const QWidget* window) { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private:
  // Each test has its own configuration and program folders.
  std::unique_ptr<QTemporaryDir> config_;
  std::unique_ptr<QTemporaryDir> program_;

  QString iniPath() const { return config_->filePath("PageSift Test.ini"); }
  QString helpPath() const { return program_->filePath("Help.rtf"); }
  SettingsStore store() const { return SettingsStore("PageSift Test"); }

  std::unique_ptr<Form8> loadedHelp() {
    auto help = std::make_unique<Form8>(program_->path(), store());
    help->Form_Load();
    return help;
  }

 private slots:
  void init() {
    embedProductInformation({"PageSift Test", "Test Co", "site.test"});
    config_ = std::make_unique<QTemporaryDir>();
    program_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
    QVERIFY(test::writeFile(helpPath(), "{\\rtf1\\ansi {\\b Help} text}"));
  }

  // One stored value decides both whether the main window opens the help
  // window at start and how the box comes up; the load never rewrites it.
  void storedValue_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("opensAtStart");
    QTest::addColumn<bool>("checked");  // the box starts checked here, to see whether the load keeps it
    QTest::newRow("absent") << QByteArray() << true << true;
    QTest::newRow("1") << QByteArray("[Settings]\nshowHelp=1\n") << true << true;
    QTest::newRow("0") << QByteArray("[Settings]\nshowHelp=0\n") << false << false;
    QTest::newRow("2") << QByteArray("[Settings]\nshowHelp=2\n") << false << true;
    QTest::newRow("a trailing blank") << QByteArray("[Settings]\nshowHelp=\"1 \"\n") << false << true;
    QTest::newRow("a list") << QByteArray("[Settings]\nshowHelp=1,0\n") << false << true;
  }

  void storedValue() {
    QFETCH(QByteArray, ini);
    QFETCH(bool, opensAtStart);
    QFETCH(bool, checked);
    if (!ini.isEmpty()) QVERIFY(test::writeFile(iniPath(), ini));

    test::FakePanes panes;
    Form1 form(program_->path(), panes.Factory());
    bool opened = false;
    Form1::Commands commands;
    commands.showHelp = [&opened] { opened = true; };
    form.setCommands(commands);
    form.Form_Load();
    QCOMPARE(opened, opensAtStart);

    Form8 help(program_->path(), store());
    help.Check1->setChecked(true);
    help.Form_Load();
    QCOMPARE(help.Check1->isChecked(), checked);
    QCOMPARE(help.rtf1->toPlainText(), "Help text");
    QVERIFY(help.rtf1->isReadOnly());
    QVERIFY(onTop(&help));
    QCOMPARE(test::readFile(iniPath()), ini);  // nothing written, nothing corrected
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
    QCOMPARE(QDir(config_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{"PageSift Test.ini"});
    QVERIFY(QDir(iniPath()).isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
  }

  void helpFileMissingOrNotRichText_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("topmostAndChecked");
    QTest::newRow("missing") << false << false;
    QTest::newRow("not rich text") << true << true;
  }

  // Also: one window while it lives, a new one after closing.
  void helpFileMissingOrNotRichText() {
    QFETCH(bool, present);
    QFETCH(bool, topmostAndChecked);
    QFile::remove(helpPath());
    if (present) QVERIFY(test::writeFile(helpPath(), "Help, but plain text {\\rtf1 x}"));
    AuxiliaryWindows windows({program_->path(), store(), {}, {}});
    windows.showHelp();
    QPointer<Form8> help = windows.help();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->rtf1->toPlainText(), "RichTextBox1");
    QCOMPARE(onTop(help), topmostAndChecked);
    QCOMPARE(help->Check1->isChecked(), topmostAndChecked);
    windows.showHelp();
    QCOMPARE(windows.help(), help.data());
    help->close();
    QTRY_VERIFY(help.isNull());
    windows.showHelp();
    QVERIFY(windows.help() && windows.help()->isVisible());
  }

  void setOnTop_data() {
    QTest::addColumn<int>("flag");
    QTest::addColumn<bool>("topmost");
    QTest::newRow("True") << -1 << true;
    QTest::newRow("1 is not True") << 1 << false;
  }

  void setOnTop() {
    QFETCH(int, flag);
    QFETCH(bool, topmost);
    auto help = loadedHelp();  // topmost already
    help->show();
    QVERIFY(QTest::qWaitForWindowExposed(help.get()));
    const QRect geometry = help->geometry();
    modOnTop::SetOnTop(help.get(), static_cast<std::int16_t>(flag));
    QCOMPARE(onTop(help.get()), topmost);
    QVERIFY(help->isVisible());
    QCOMPARE(help->geometry(), geometry);
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::HelpWindowTest)
#include "help_window_test.moc"
