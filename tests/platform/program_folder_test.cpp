#include "platform/program_folder.h"

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
    QFile file(temp_.filePath(QStringLiteral("a-file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }

  // A folder that cannot be made is replaced by a private one in the
  // system's temporary folder.
  void usesAPrivateFolderWhenThereIsNoUsableOne_data() {
    QTest::addColumn<QString>("standard");
    QTest::addColumn<bool>("usable");
    QTest::newRow("usable") << temp_.filePath(QStringLiteral("data/PageSift")) << true;
    QTest::newRow("below a file") << temp_.filePath(QStringLiteral("a-file/PageSift")) << false;
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
      QVERIFY(folder.startsWith(temp_.path() + QStringLiteral("/PageSift-")));
      QCOMPARE(QFile::permissions(folder) & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    }
  }

  // No home folder and a program folder that cannot be written: the working
  // files go to the private folder, never below "/".
  void putsWorkingFilesInThePrivateFolderWithoutAHome() {
    qunsetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    const QString folder = prepareWorkingFolder(temp_.filePath(QStringLiteral("a-file")));
    QVERIFY(folder.startsWith(temp_.path() + QStringLiteral("/PageSift-")));
    QVERIFY(userDataFolderIsPrivate());
    QVERIFY(QFileInfo(folder + QStringLiteral("/source.htm")).isFile());
  }

 private:
  QTemporaryDir temp_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::ProgramFolderTest)
#include "program_folder_test.moc"
