// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/command_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "helpers/files.h"

namespace pagesift {

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    QVERIFY(QDir(folder_.path()).mkdir("sub"));
    QVERIFY(test::writeFile(folder_.filePath("my page#1.html"), {}));
    QVERIFY(::mkfifo(QFile::encodeName(folder_.filePath("fifo.png")).constData(), 0600) == 0);
    // A name that is not UTF-8, as the system gives it.
    const int fd = ::open(badName().constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0 && ::write(fd, "<img src=x.png>", 15) == 15 && ::close(fd) == 0);
  }
  // Qt cannot name that file to remove it.
  void cleanupTestCase() { QCOMPARE(::unlink(badName().constData()), 0); }

  // In `address`, FOLDER stands for the current folder as a file: address.
  void readsTheCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitStatus");  // -1: the program runs
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("flags");  // of --list-images and --verbose
    QTest::addColumn<QString>("text");   // part of what is printed

    const auto row = [](const char* name, QStringList arguments, int exitStatus, const char* address,
                        const char* flags = "", const char* text = "") {
      QTest::newRow(name) << arguments << exitStatus << QString::fromUtf8(address) << QString::fromUtf8(flags)
                          << QString::fromUtf8(text);
    };
    row("nothing: the home page", {}, -1, "");
    row("existing file, whole name", {"my page#1.html"}, -1, "FOLDER/my%20page%231.html");
    row("existing folder", {"./sub/"}, -1, "FOLDER/sub");
    row("a file name that is not text", {decodeArgument("bad\xff.html")}, -1, "FOLDER/bad%FF.html");
    row("a named pipe is the window's to refuse", {"fifo.png"}, -1, "FOLDER/fifo.png");
    row("bare host", {"example.org"}, -1, "http://example.org");
    row("full address", {"https://x/y?q=1#top"}, -1, "https://x/y?q=1#top");
    row("about:blank", {"about:blank"}, -1, "about:blank");
    row("Qt's options pass",
        {"-platform", "offscreen", "--reverse", "-style=fusion", "-qwindowtitle", "t", "example.org"}, -1,
        "http://example.org");
    row("engine's options pass", {"example.org", "--webEngineArgs", "--foo", "other.org"}, -1, "http://example.org");
    row("list images", {"--list-images", "my page#1.html", "-platform", "offscreen"}, -1, "FOLDER/my%20page%231.html",
        "list");
    row("verbose", {"--verbose", "--list-images", "example.org"}, -1, "http://example.org", "list verbose");
    row("unknown option", {"--bogus", "example.org"}, 2, "", "", "'bogus'");
    row("Qt's option without its value", {"example.org", "-platform"}, 2, "", "", "-platform");
    row("two addresses", {"a.example", "b.example"}, 2, "", "", "one address");
    row("list images without a value", {"--list-images"}, 2, "", "", "list-images");
    row("script address", {"javascript:alert(1)"}, 2, "", "", "'javascript:alert(1)': a script");
    row("empty address", {""}, 2, "", "", "not an address");
    row("an address that does not parse", {"http://[bad"}, 2, "", "", "'http://[bad': not a valid address (Expected");
    row("an internal page", {"chrome://gpucrash"}, 2, "", "", "internal page of the web engine");
    row("the engine's error page", {"chrome-error://chromewebdata/"}, 2, "", "", "internal");
    row("an about: page", {"about:version"}, 2, "", "", "internal");
    row("version", {"--version", "example.org"}, 0, "", "", qWebEngineChromiumVersion());
    row("help", {"-h"}, 0, "", "", "-style VALUE -stylesheet VALUE -qmljsdebugger=VALUE -reverse");
  }
  void readsTheCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitStatus);
    QFETCH(QString, address);
    QFETCH(QString, flags);
    QFETCH(QString, text);

    const CommandLineOptions options = parseCommandLine(QStringList{"PageSift"} + arguments, folder_.path());
    QCOMPARE(options.exitStatus.value_or(-1), exitStatus);
    address.replace("FOLDER", QUrl::fromLocalFile(folder_.path()).toString(QUrl::FullyEncoded));
    QCOMPARE(options.address.toString(QUrl::FullyEncoded), address);
    QCOMPARE(options.listImages, flags.contains("list"));
    QCOMPARE(options.verbose, flags.contains("verbose"));
    QVERIFY2(options.text.contains(text), qPrintable(options.text));
  }

  // Every byte string comes back from its text unchanged, and UTF-8 reads
  // as UTF-8.
  void argumentsKeepTheirBytes() {
    const QByteArray names[] = {"plain",
                                "caf\xc3\xa9",
                                "\xc2\xa0 the first lead of two",
                                "bad\xff.html",
                                "\xed\xb2\x80 (an encoded surrogate)",
                                "\xe0\x80\xaf overlong",
                                "\xf0\x9f\x98\x80 beyond the BMP",
                                "\xf4\x90\x80\x80 too high",
                                "cut \xe2\x82",
                                "\x80\xbf lone",
                                "\xc3\xa9\xff\xc3\xa9"};
    for (const QByteArray& name : names) {
      const QString text = decodeArgument(name);
      QCOMPARE(encodeArgument(text), name);
      if (QString::fromUtf8(name).toUtf8() == name) QCOMPARE(text, QString::fromUtf8(name));
    }
  }

  // The program itself, as a script runs it: only its own messages on
  // standard error, what it refuses refused before the engine sees it, and
  // help, version and bad usage answered before anything needs a display.
  // In arguments, %D stands for the test folder; each argument goes through
  // printf's %b, so "\0377" is that byte.
  void listsImagesAndSaysOnlyItsOwn_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environment");  // "NAME=value ...", an empty value removes NAME
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("output");  // part of standard output
    QTest::addColumn<QString>("errors");  // standard error, whole; "~text": holds text
    QTest::newRow("a local page") << QStringList{"--list-images", "%D/page.html"} << "" << 0 << "/x.png\""
                                  << "";
    QTest::newRow("its console with --verbose")
        << QStringList{"--verbose", "--list-images", "%D/page.html"} << "" << 0 << "/x.png\""
        << "~js: console says hi";
    QTest::newRow("the user's logging rules win")
        << QStringList{"--list-images", "%D/page.html"} << "QT_LOGGING_RULES=qt.webenginecontext.info=true" << 0 << ""
        << "~qt.webenginecontext";
    QTest::newRow("a name that is not text")
        << QStringList{"--list-images", "%D/bad\\0377.html"} << "" << 0 << "/x.png\""
        << "";
    QTest::newRow("a named pipe") << QStringList{"--list-images", "%D/fifo.png"} << "" << 1 << ""
                                  << "~fifo.png: not opened: a named pipe, not a regular file\n";
    QTest::newRow("a browser crash") << QStringList{"--list-images", "chrome://inducebrowsercrashforrealz"} << "" << 2
                                     << ""
                                     << "~internal page of the web engine";
    const QString noDisplay = "DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=xcb";
    QTest::newRow("version without a display") << QStringList{"--version"} << noDisplay << 0 << "Chromium"
                                               << "";
    QTest::newRow("bad usage without a display") << QStringList{"--bogus"} << noDisplay << 2 << ""
                                                 << "~'bogus'";
  }
  void listsImagesAndSaysOnlyItsOwn() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(int, exitStatus);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QVERIFY(test::writeFile(folder_.filePath("page.html"),
                            "<img src=x.png><script>console.log('console says hi')</script>"));

    QProcess program;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.remove("QT_LOGGING_RULES");
    variables.remove("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const QString& setting : environment.split(u' ', Qt::SkipEmptyParts)) {
      const QString name = setting.section(u'=', 0, 0), value = setting.section(u'=', 1);
      value.isEmpty() ? variables.remove(name) : variables.insert(name, value);
    }
    program.setProcessEnvironment(variables);
    const QString script = QStringLiteral(
        "exe=$1; shift; for a; do set -- \"$@\" \"$(printf %b \"$a\")\"; shift; done; "
        "exec \"$exe\" \"$@\"");
    program.start("/bin/sh",
                  QStringList{"-c", script, "sh", PAGESIFT_APP_EXE} + arguments.replaceInStrings("%D", folder_.path()));
    QVERIFY(program.waitForFinished(60000));
    const QString error = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == exitStatus, qPrintable(error));
    QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).contains(output));
    if (errors.startsWith(QLatin1Char('~'))) {
      QVERIFY2(error.contains(errors.mid(1)), qPrintable(error));
    } else {
      QCOMPARE(error, errors);
    }
  }

  // A running PageSift, on a page whose image is a named pipe (the engine's
  // file reader then waits on it for ever): a hand-over of an address it
  // does not open is dropped unanswered and leaves it running; SIGTERM ends
  // it as File > Exit does, within the grace period although the engine
  // cannot let go, with status 0 and its socket removed.
  void aRunningProgramRefusesAndEnds() {
    const QTemporaryDir run;
    const QString runtime = run.filePath("runtime");
    QVERIFY(QDir().mkdir(runtime) && ::chmod(QFile::encodeName(runtime).constData(), 0700) == 0);
    QVERIFY(test::writeFile(run.filePath("config/PageSift.ini"), "[Settings]\nshowHelp=0\n"));
    const QString page = run.filePath("stuck.html");
    QVERIFY(test::writeFile(page, "<title>stuck</title><img src=\"fifo.png\">"));
    const QByteArray fifo = QFile::encodeName(run.filePath("fifo.png"));
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.insert("XDG_CONFIG_HOME", run.filePath("config"));
    environment.insert("HOME", run.path());
    environment.insert("XDG_DATA_HOME", run.filePath("data"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PAGESIFT_APP_EXE), {page});
    // Once the page loads, one of the engine's threads waits in its open() of the image.
    const auto waitsOnThePipe = [&program] {
      const QString tasks = QString("/proc/%1/task").arg(program.processId());
      for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile waiting(tasks + QLatin1Char('/') + task + "/wchan");
        if (waiting.open(QIODevice::ReadOnly) && waiting.readAll() == "wait_for_partner") return true;
      }
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(waitsOnThePipe(), 60000);
    const QString socketPath = runtime + "/PageSift.socket";
    QVERIFY(QFile::exists(socketPath));

    // The answer, or "dropped" when the program closed the connection without one.
    const auto handOver = [&socketPath](const QByteArray& address) {
      QLocalSocket socket;
      socket.connectToServer(socketPath);
      socket.write("PAGESIFT-OPEN " + QByteArray::number(address.size()) + '\n' + address);
      (void)QTest::qWaitFor(
          [&socket] { return socket.state() == QLocalSocket::UnconnectedState || socket.bytesAvailable() >= 9; },
          20000);
      const QByteArray answer = socket.readAll();
      return answer.isEmpty() && socket.state() == QLocalSocket::UnconnectedState ? QByteArray("dropped") : answer;
    };
    for (const QByteArray address :
         {"chrome://gpucrash", "chrome://inducebrowsercrashforrealz", "chrome://memory-exhaust", "about:crash",
          "devtools://devtools/", "view-source:file:///etc/passwd", "javascript:alert(1)"}) {
      QCOMPARE(handOver(address), QByteArray("dropped"));
      QCOMPARE(program.state(), QProcess::Running);
    }
    // The window refuses this one itself; the answer shows the program alive.
    QCOMPARE(handOver("file://" + fifo), QByteArray("ACCEPTED\n"));

    program.terminate();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(!QFile::exists(socketPath));
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()),
             "PageSift: the web engine did not stop in time; PageSift ends without it\n");
  }

 private:
  QByteArray badName() const { return QFile::encodeName(folder_.path()) + "/bad\xff.html"; }

  QTemporaryDir folder_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::CommandLineTest)
#include "command_line_test.moc"
