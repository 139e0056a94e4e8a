#include "app/command_line.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace pagesift {

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    QVERIFY(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
    QFile page(folder_.filePath(QStringLiteral("my page#1.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
  }

  // In `address`, FOLDER stands for the current folder as a file: address.
  void readsTheCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitStatus");  // -1: the program runs
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("listImages");
    QTest::addColumn<QString>("text");  // part of what is printed

    const auto row = [](const char* name, QStringList arguments, int exitStatus, const char* address,
                        bool listImages = false, const char* text = "") {
      QTest::newRow(name) << arguments << exitStatus << QString::fromUtf8(address) << listImages
                          << QString::fromUtf8(text);
    };
    row("nothing: the home page", {}, -1, "");
    row("existing file, whole name", {"my page#1.html"}, -1, "FOLDER/my%20page%231.html");
    row("existing folder", {"./sub/"}, -1, "FOLDER/sub");
    row("bare host", {"example.org"}, -1, "http://example.org");
    row("full address", {"https://x/y?q=1#top"}, -1, "https://x/y?q=1#top");
    row("Qt's options pass", {"-platform", "offscreen", "--reverse", "-style=fusion", "-qwindowtitle", "t", "example.org"},
        -1, "http://example.org");
    row("engine's options pass", {"example.org", "--webEngineArgs", "--foo", "other.org"}, -1, "http://example.org");
    row("list images", {"--list-images", "my page#1.html", "-platform", "offscreen"}, -1,
        "FOLDER/my%20page%231.html", true);
    row("unknown option", {"--bogus", "example.org"}, 2, "", false, "'bogus'");
    row("Qt's option without its value", {"example.org", "-platform"}, 2, "", false, "-platform");
    row("two addresses", {"a.example", "b.example"}, 2, "", false, "one address");
    row("list images without a value", {"--list-images"}, 2, "", false, "list-images");
    row("script address", {"javascript:alert(1)"}, 2, "", false, "javascript:");
    row("empty address", {""}, 2, "", false, "not an address");
    row("version", {"--version", "example.org"}, 0, "", false, qWebEngineChromiumVersion());
    row("help", {"-h"}, 0, "", false, "--webEngineArgs");
  }
  void readsTheCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitStatus);
    QFETCH(QString, address);
    QFETCH(bool, listImages);
    QFETCH(QString, text);

    const CommandLineOptions options =
        parseCommandLine(QStringList{QStringLiteral("PageSift")} + arguments, folder_.path());
    QCOMPARE(options.exitStatus.value_or(-1), exitStatus);
    address.replace(QStringLiteral("FOLDER"), QUrl::fromLocalFile(folder_.path()).toString(QUrl::FullyEncoded));
    QCOMPARE(options.address.toString(QUrl::FullyEncoded), address);
    QCOMPARE(options.listImages, listImages);
    QVERIFY2(options.text.contains(text), qPrintable(options.text));
  }

  // Help, version and bad usage answer before anything needs a display.
  void answersWithoutADisplay_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitStatus");
    QTest::newRow("version") << QStringLiteral("--version") << 0;
    QTest::newRow("unknown option") << QStringLiteral("--bogus") << 2;
  }
  void answersWithoutADisplay() {
    QFETCH(QString, argument);
    QFETCH(int, exitStatus);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PAGESIFT_APP_EXE), {argument});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitStatus);
    QVERIFY(!(exitStatus == 0 ? program.readAllStandardOutput() : program.readAllStandardError()).isEmpty());
  }

 private:
  QTemporaryDir folder_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::CommandLineTest)
#include "command_line_test.moc"
