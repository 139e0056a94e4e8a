// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "helpers/files.h"
#include "platform/registry_hive.h"
#include "support/c_register.h"
#include "support/ie_tools.h"

namespace pagesift {
namespace {

// The header, the lines given (each ending CR LF) and the final blank line.
QByteArray hive(const QList<const char*>& lines) {
  QByteArray bytes = "Windows Registry Editor Version 5.00\r\n";
  for (const char* line : lines) bytes += QByteArray(line) + "\r\n";
  return bytes + "\r\n";
}

const char* const kKey =
    R"([HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer\Extensions\{ECC5777A-6E88-BFCE-13CE-81F134789E7B}])";

}  // namespace

class RegistryTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString hivePath_;
  QAction addItem_, removeItem_;
  QStringList reports_;

  IETOOLS makeTools(const QString& folder, const QString& product) {
    return IETOOLS(folder, product, &addItem_, &removeItem_, [this](const QString& message) { reports_ << message; });
  }

  // Adds or removes, from the items as they are before that, and checks
  // whether the two items switched.
  void run(IETOOLS& tools, bool add, bool switches = true) {
    addItem_.setEnabled(add);
    removeItem_.setEnabled(!add);
    add ? tools.AddToToolsMenu() : tools.RemoveFromToolsMenu();
    QCOMPARE(addItem_.isEnabled(), add != switches);
    QCOMPARE(removeItem_.isEnabled(), add == switches);
  }

 private:
  // A fresh folder, for each test and for each row that needs its own.
  void fresh() {
    reports_.clear();
    dir_ = std::make_unique<QTemporaryDir>();
    hivePath_ = dir_->filePath("etc/pagesift/HKEY_LOCAL_MACHINE.reg");  // folder missing
    qputenv("PAGESIFT_HIVE", hivePath_.toUtf8());
  }

 private slots:
  void init() { fresh(); }

  // The eight values go in and out as one key; the hive's other keys stay.
  void addAndRemove() {
    IETOOLS tools = makeTools("/opt/Page Sift", "P&S");
    run(tools, true);  // creates the folder and the file
    const QList<const char*> key = {"",
                                    kKey,
                                    R"("ButtonText"="P&S")",
                                    R"("CLSID"="{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")",
                                    R"("Default Visible"="Yes")",
                                    R"("Exec"="/opt/Page Sift/P&S")",
                                    R"("HotIcon"="/opt/Page Sift/hoticon.ico")",
                                    R"("Icon"="/opt/Page Sift/icon.ico")",
                                    R"("MenuStatusBar"="P&S")",
                                    R"("MenuText"="&P&S")"};
    QCOMPARE(test::readFile(hivePath_), hive(key));

    const QList<const char*> others = {"", R"([HKEY_LOCAL_MACHINE\Software\Other])", "@=\"a \\\\ \\\"b\\\"\""};
    const QByteArray other = hive(others);
    QVERIFY(test::writeFile(hivePath_, other));
    run(tools, true);
    QCOMPARE(test::readFile(hivePath_), hive(others + key));
    run(tools, false);
    QCOMPARE(test::readFile(hivePath_), other);
    run(tools, false);  // nothing to remove: as good as removed
    QCOMPARE(test::readFile(hivePath_), other);
    QCOMPARE(reports_, QStringList());
  }

  // What stands at the hive path and is not a regular file (or a folder
  // that cannot be made) is never read, written or followed: Add and Remove
  // leave the items as they were and say why, once each.
  void refusedHive() {
    for (const QString kind : {"folder", "link to another file", "fifo", "below a file"}) {
      fresh();
      const QString other = dir_->filePath("other.reg");  // another user's file
      QVERIFY(test::writeFile(other, hive({})));
      QVERIFY(QDir().mkpath(QFileInfo(hivePath_).absolutePath()));
      QString why = "not a regular file (%1)";
      if (kind == "folder") {
        QVERIFY(QDir().mkpath(hivePath_));
      } else if (kind == "below a file") {
        hivePath_ = other + "/HKEY_LOCAL_MACHINE.reg";
        qputenv("PAGESIFT_HIVE", hivePath_.toUtf8());
        why = "cannot look at the file: Not a directory (%1)";
      } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(hivePath_).constData(), 0600), 0);
      } else {
        QVERIFY(QFile::link(other, hivePath_));
      }
      why = why.arg(hivePath_);
      const QFileInfo before(hivePath_);
      IETOOLS tools = makeTools("/p", "P");
      run(tools, true, false);
      run(tools, false, false);
      QCOMPARE(reports_, QStringList({"Tools menu registration not written: " + why,
                                      "Tools menu registration not removed: " + why}));
      QString error;
      QCOMPARE(CRegister::SetValue(CRegister::HKEY_LOCAL_MACHINE, "A", QString(), QString(), &error),
               CRegister::kFalse);
      QCOMPARE(error, why);
      const QFileInfo after(hivePath_);
      QCOMPARE(after.isSymLink(), before.isSymLink());
      QCOMPARE(after.symLinkTarget(), before.symLinkTarget());
      QCOMPARE(after.isDir(), before.isDir());
      QCOMPARE(test::readFile(other), hive({}));
      QCOMPARE(QFileInfo(hivePath_).absoluteDir().entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".reg."),
               QStringList());  // nothing left beside it
    }
  }

  // Operations "set|key|name|text" or "delete|key|name", joined by ";", and
  // their results, T or F each. A null initial or expected file: no file.
  void operations() {
    const char* const a = R"([HKEY_LOCAL_MACHINE\Software\A])";
    QList<std::tuple<QByteArray, QString, QString, QByteArray>> rows = {
        {{},
         "set|\\Software\\A\\|*|x;set|Software\\A|Name|;set|Software\\A|a\\\"b|C:\\x \"y\"",
         "TTT",
         hive({"", a, R"(@="x")", R"("Name"="")", "\"a\\\\\\\"b\"=\"C:\\\\x \\\"y\\\"\""})},
        {{},
         R"(set|Software\A|One|1;set|Software\A|Two|2;set|software\a|ONE|3)",
         "TTT",
         hive({"", a, R"("One"="3")", R"("Two"="2")"})},
        {hive({"", a, R"(@="x")", R"("One"="1")", R"("Two"="2")"}),
         R"(delete|\Software\A\|one;delete|Software\A|*;delete|Software\A|One;delete|Software\B|Two)", "TTFF",
         hive({"", a, R"("Two"="2")"})},
        // The key as given; a file in LF line ends is read too.
        {"Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"x\"=\"1\"\n",
         R"(delete|\Software\A|;delete|SOFTWARE\a|;delete|SOFTWARE\a|)", "FTF", hive({})},
        {{}, "delete|A|;delete|A|x", "FF", {}},  // nothing on a missing file
        // What the file cannot hold; one leading and one trailing "\" at most
        // are trimmed: what is left is no key path.
        {{}, "set|A|x\ny|1;set|A|x|1\r;set|A\\\\B|x|1;set|\\\\|x|1;set|\\\\A|x|1;set|A\\\\|x|1", "FFFFFF", {}}};
    // Files this program did not write are left alone.
    for (const QByteArray& foreign :
         {"\xEF\xBB\xBF" + hive({}), hive({R"("x"="1")"}), hive({R"([HKEY_CURRENT_USER\A])"}),
          hive({"[HKEY_LOCAL_MACHINE\\A]", R"("x"=dword:00000001)"}), hive({"[HKEY_LOCAL_MACHINE\\A]", R"("x"="a\b")"}),
          hive({"[HKEY_LOCAL_MACHINE\\A]", R"("x"="a" )"}), hive({"[HKEY_LOCAL_MACHINE\\A]", "\"x\"=\"\xC3\""})}) {
      rows.append({foreign, "set|A|x|1;delete|A|x;delete|A|", "FFF", foreign});
    }
    for (const auto& [initial, operations, results, expected] : rows) {
      QFile::remove(hivePath_);
      if (!initial.isNull()) QVERIFY(test::writeFile(hivePath_, initial));
      QString got;
      for (const QString& operation : operations.split(u';')) {
        const QStringList f = operation.split(u'|');
        const std::int16_t result = f[0] == QLatin1String("set")
                                        ? CRegister::SetValue(CRegister::HKEY_LOCAL_MACHINE, f[1], f[2], f[3])
                                        : CRegister::DeleteEntry(CRegister::HKEY_LOCAL_MACHINE, f[1], f[2]);
        QVERIFY(result == CRegister::kTrue || result == CRegister::kFalse);
        got += result ? u'T' : u'F';
      }
      QCOMPARE(got, results);
      QCOMPARE(QFileInfo::exists(hivePath_), !expected.isNull());
      QCOMPARE(test::readFile(hivePath_), expected);
    }
  }

  void onlyTheMachineHiveAndItsFile() {
    QCOMPARE(CRegister::SetValue(0x80000001, "A", "x", QString()), CRegister::kFalse);
    QVERIFY(!QFileInfo::exists(hivePath_));
    qputenv("PAGESIFT_HIVE", QByteArray());
    QCOMPARE(machineHivePath(), QString("/etc/pagesift/HKEY_LOCAL_MACHINE.reg"));
    const std::optional<RegistryHive> two = RegistryHive::parse(
        hive({"", R"([HKEY_LOCAL_MACHINE\A])", "@=\"1\"", "", R"([HKEY_LOCAL_MACHINE\B])", "@=\"2\""}));
    QVERIFY(two && two->hasKey("a") && two->hasKey("B"));  // the first key too
    QVERIFY(!two->hasKey("C"));
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::RegistryTest)
#include "registry_test.moc"
