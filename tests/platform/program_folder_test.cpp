// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace pagesift {

class ProgramFolderTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(temp_.isValid());
    qputenv("TMPDIR", QFile::encodeName(temp_.path()));
    QFile file(temp_.filePath("a-file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }

  // A folder that cannot be made is replaced by a private one in the
  // system's temporary folder.
  void usesAPrivateFolderWhenThereIsNoUsableOne_data() {
    QTest::addColumn<QString>("standard");
    QTest::addColumn<bool>("usable");
    QTest::newRow("usable") << temp_.filePath("data/PageSift") << true;
    QTest::newRow("below a file") << temp_.filePath("a-file/PageSift") << false;
    QTest::newRow("none known") << QString() << false;
  }
  void usesAPrivateFolderWhenThereIsNoUsableOne() {
    QFETCH(QString, standard);
    QFETCH(bool, usable);
    const QString folder = usableDataFolder(standard);
    QVERIFY(QFileInfo(folder).isDir());
    if (usable) {
      QCOMPARE(folder, standard);
    } else {
      QVERIFY(folder.startsWith(temp_.path() + "/PageSift-"));
      QCOMPARE(QFile::permissions(folder) & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    }
  }

  // The program folder holds the working files only when they can be written
  // there and it is not an installed copy's; otherwise they go to the
  // per-user folder, here (no home folder) the private one, never below "/".
  void choosesTheWorkingFolder_data() {
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<bool>("beside");
    QTest::newRow("writable") << temp_.filePath("build") << true;
    QTest::newRow("installed") << temp_.filePath("installed") << false;
    QTest::newRow("cannot be written") << temp_.filePath("a-file") << false;
  }
  void choosesTheWorkingFolder() {
    QFETCH(QString, programFolder);
    QFETCH(bool, beside);
    qunsetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    QDir().mkpath(temp_.filePath("build"));
    QDir().mkpath(temp_.filePath("installed"));
    QFile marker(temp_.filePath("installed/") + kInstalledMarker);
    QVERIFY(marker.open(QIODevice::WriteOnly));
    const QString folder = prepareWorkingFolder(programFolder);
    if (beside) {
      QCOMPARE(folder, programFolder);
    } else {
      QVERIFY(folder.startsWith(temp_.path() + "/PageSift-"));
      QVERIFY(userDataFolderIsPrivate());
    }
    QVERIFY(QFileInfo(folder + "/source.htm").isFile());
    QCOMPARE(QFileInfo::exists(programFolder + "/source.htm"), beside);
  }

 private:
  QTemporaryDir temp_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::ProgramFolderTest)
#include "program_folder_test.moc"
