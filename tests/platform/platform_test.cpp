// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The page dialogs' silence, the settings store and the program's folders.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "helpers/files.h"
#include "platform/page_dialogs.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

namespace pagesift {

class PlatformTest : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;

 private slots:
  void initTestCase() {
    QVERIFY(temp_.isValid());
    qputenv("TMPDIR", QFile::encodeName(temp_.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp_.filePath("config")));
    QVERIFY(test::writeFile(temp_.filePath("a-file"), {}));
  }

  // Silenced on http://a.test/p?1#top: what ends the silence ("": the user asks for a page).
  void silenceEnds() {
    const std::pair<const char*, bool> rows[] = {{"http://a.test/p?1", true}, {"http://a.test/other", true},
                                                 {"http://b.test/p", false},  {"http://a.test:81/p", false},
                                                 {"https://a.test/p", false}, {"", false}};
    for (const auto& [loading, silenced] : rows) {
      PageDialogGate gate;
      QVERIFY(!gate.silenced());
      gate.silence(QUrl("http://a.test/p?1#top"));
      QVERIFY(gate.silenced());
      *loading ? gate.mainFrameLoading(QUrl(loading)) : gate.lift();
      QVERIFY2(gate.silenced() == silenced, loading);
    }
  }

  // Only a whole number in range is taken; anything else is the default.
  void readsTheLargestImageSize() {
    const int other = kMaxImageSizeDefault;
    const std::pair<QString, int> rows[] = {{QString(), other},   {" 16 ", 16}, {"1", 1},
                                            {"1048576", 1048576}, {"0", other}, {"1048577", other},
                                            {"12MB", other}};
    SettingsStore store("Sizes");
    for (const auto& [stored, mebibytes] : rows) {
      QFile::remove(store.filePath());
      if (!stored.isNull()) QVERIFY(store.write(kSettingsSection, kMaxImageSizeKey, stored));
      QVERIFY2(readMaxImageSizeMiB(store) == mebibytes, qPrintable(stored));
    }
  }

  void aSettingsWriteThatFailsSaysSo() {
    QVERIFY(test::writeFile(temp_.filePath("config/blocked"), {}));
    SettingsStore store("blocked/Program");
    QVERIFY(!store.write(kSettingsSection, kShowHelpKey, "0"));
    QCOMPARE(store.read(kSettingsSection, kShowHelpKey, "absent"), "absent");
  }

  // A data folder that cannot be made is replaced by a private one in the
  // system's temporary folder.
  void usesAPrivateFolderWhenThereIsNoUsableOne() {
    const std::pair<QString, bool> rows[] = {
        {temp_.filePath("data/PageSift"), true}, {temp_.filePath("a-file/PageSift"), false}, {QString(), false}};
    for (const auto& [standard, usable] : rows) {
      const QString folder = usableDataFolder(standard);
      QVERIFY(QFileInfo(folder).isDir());
      if (usable) {
        QCOMPARE(folder, standard);
      } else {
        QVERIFY(folder.startsWith(temp_.path() + "/PageSift-"));
        QCOMPARE(QFile::permissions(folder) & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
      }
    }
  }

  // The program folder holds the working files only when they can be written
  // there and it is not an installed copy's; otherwise they go to the
  // per-user folder, here (no home folder) the private one, never below "/".
  void choosesTheWorkingFolder() {
    qunsetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    QVERIFY(QDir().mkpath(temp_.filePath("build")));
    QVERIFY(test::writeFile(temp_.filePath("installed/") + kInstalledMarker, {}));
    const std::pair<const char*, bool> rows[] = {{"build", true}, {"installed", false}, {"a-file", false}};
    for (const auto& [name, beside] : rows) {
      const QString programFolder = temp_.filePath(name), folder = prepareWorkingFolder(programFolder);
      if (beside) {
        QCOMPARE(folder, programFolder);
      } else {
        QVERIFY(folder.startsWith(temp_.path() + "/PageSift-"));
        QVERIFY(userDataFolderIsPrivate());
      }
      QVERIFY(QFileInfo(folder + "/source.htm").isFile());
      QVERIFY(isWorkingFileUrl(QUrl::fromLocalFile(folder + "/source.htm"), folder));
      QVERIFY(!isWorkingFileUrl(QUrl::fromLocalFile(folder + "/gone.htm"), folder));  // nothing there: no working file
      QCOMPARE(QFileInfo::exists(programFolder + "/source.htm"), beside);
    }
  }
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::PlatformTest)
#include "platform_test.moc"
