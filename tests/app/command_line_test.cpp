// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The program's start: its command line, the program itself as a script or a
// second start meets it, and how much of the engine's output it lets through.

#include "app/command_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/engine_output.h"
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
    const QByteArray page = "<img src=x.png><script>console.log('console says hi')</script>";
    QVERIFY(fd >= 0 && ::write(fd, page.constData(), size_t(page.size())) == page.size() && ::close(fd) == 0);
  }
  // Qt cannot name that file to remove it.
  void cleanupTestCase() { QCOMPARE(::unlink(badName().constData()), 0); }

  void readsTheCommandLine() {
    const struct {
      QStringList arguments;
      int exitStatus;          // -1: the program runs
      const char* address;     // FOLDER: the current folder as a file: address
      const char* flags = "";  // of --list-images and --verbose
      const char* text = "";   // part of what is printed
    } rows[] = {
        {{}, -1, ""},
        {{"my page#1.html"}, -1, "FOLDER/my%20page%231.html"},
        {{"./sub/"}, -1, "FOLDER/sub"},
        {{decodeArgument("bad\xff.html")}, -1, "FOLDER/bad%FF.html"},
        {{"fifo.png"}, -1, "FOLDER/fifo.png"},  // the window's to refuse
        {{"example.org"}, -1, "http://example.org"},
        {{"https://x/y?q=1#top"}, -1, "https://x/y?q=1#top"},
        {{"about:blank"}, -1, "about:blank"},
        {{"-platform", "offscreen", "--reverse", "-style=fusion", "-qwindowtitle", "t", "example.org"},
         -1,
         "http://example.org"},
        {{"example.org", "--webEngineArgs", "--foo", "other.org"}, -1, "http://example.org"},
        {{"--list-images", "my page#1.html", "-platform", "offscreen"}, -1, "FOLDER/my%20page%231.html", "list"},
        {{"--verbose", "--list-images", "example.org"}, -1, "http://example.org", "list verbose"},
        {{"--bogus", "example.org"}, 2, "", "", "'bogus'"},
        {{"example.org", "-platform"}, 2, "", "", "-platform"},
        {{"a.example", "b.example"}, 2, "", "", "one address"},
        {{"--list-images"}, 2, "", "", "list-images"},
        {{"javascript:alert(1)"}, 2, "", "", "'javascript:alert(1)': a script"},
        {{""}, 2, "", "", "not an address"},
        {{"http://[bad"}, 2, "", "", "'http://[bad': not a valid address (Expected"},
        {{"chrome://gpucrash"}, 2, "", "", "internal page of the web engine"},
        {{"chrome-error://chromewebdata/"}, 2, "", "", "internal"},
        {{"about:version"}, 2, "", "", "internal"},
        {{"--version", "example.org"}, 0, "", "", qWebEngineChromiumVersion()},
        {{"-h"}, 0, "", "", "-style VALUE -stylesheet VALUE -qmljsdebugger=VALUE -reverse"}};
    const QString folder = QUrl::fromLocalFile(folder_.path()).toString(QUrl::FullyEncoded);
    for (const auto& row : rows) {
      const CommandLineOptions options = parseCommandLine(QStringList{"PageSift"} + row.arguments, folder_.path());
      const QString flags = QString(options.listImages ? "list " : "") + (options.verbose ? "verbose" : "");
      QCOMPARE(QString("%1 %2 %3")
                   .arg(options.exitStatus.value_or(-1))
                   .arg(options.address.toString(QUrl::FullyEncoded), flags.trimmed()),
               QString("%1 %2 %3").arg(row.exitStatus).arg(QString(row.address).replace("FOLDER", folder), row.flags));
      QVERIFY2(options.text.contains(row.text), qPrintable(options.text));
    }
  }

  // Every byte string comes back from its text unchanged, and UTF-8 reads
  // as UTF-8.
  void argumentsKeepTheirBytes() {
    for (const QByteArray name :
         {"plain", "caf\xc3\xa9", "\xc2\xa0 the first lead of two", "bad\xff.html",
          "\xed\xb2\x80 (an encoded surrogate)", "\xe0\x80\xaf overlong", "\xf0\x9f\x98\x80 beyond the BMP",
          "\xf4\x8f\xbf\xbf the highest", "\xf4\x90\x80\x80 too high", "cut \xe2\x82", "\x80\xbf lone",
          "\xc3\xa9\xff\xc3\xa9"}) {
      const QString text = decodeArgument(name);
      QCOMPARE(encodeArgument(text), name);
      if (QString::fromUtf8(name).toUtf8() == name) QCOMPARE(text, QString::fromUtf8(name));
    }
  }

  // The program itself, as a script runs it: only its own messages on
  // standard error (the page's console only with --verbose), what it refuses
  // refused before the engine sees it, and help, version and bad usage
  // answered before anything needs a display. In arguments, %D stands for
  // the test folder; each argument goes through printf's %b, so "\0377" is
  // that byte.
  void listsImagesAndSaysOnlyItsOwn() {
    QVERIFY(test::writeFile(folder_.filePath("page.html"),
                            "<img src=x.png><script>console.log('console says hi')</script>"));
    const QStringList noDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};
    const struct {
      QStringList arguments, environment;
      int exitStatus;
      const char* output;  // part of standard output
      QString errors;      // standard error, whole; "~text": holds text
    } rows[] = {
        {{"--list-images", "%D/bad\\0377.html"}, {}, 0, "/x.png\"", ""},
        {{"--verbose", "--list-images", "%D/page.html"}, {}, 0, "/x.png\"", "~js: console says hi"},
        {{"--list-images", "%D/page.html"},
         {"QT_LOGGING_RULES=qt.webenginecontext.info=true"},
         0,
         "",
         "~qt.webenginecontext"},
        {{"--list-images", "%D/fifo.png"}, {}, 1, "", "~fifo.png: not opened: a named pipe, not a regular file\n"},
        {{"--list-images", "chrome://inducebrowsercrashforrealz"}, {}, 2, "", "~internal page of the web engine"},
        {{"--version"}, noDisplay, 0, "Chromium", ""},
        {{"--bogus"}, noDisplay, 2, "", "~'bogus'"}};
    const QString script = QStringLiteral(
        "exe=$1; shift; for a; do set -- \"$@\" \"$(printf %b \"$a\")\"; shift; done; "
        "exec \"$exe\" \"$@\"");
    for (const auto& row : rows) {
      QProcess program;
      program.setProcessEnvironment(environment(row.environment));
      QStringList arguments = row.arguments;
      program.start("/bin/sh", QStringList{"-c", script, "sh", PAGESIFT_APP_EXE} +
                                   arguments.replaceInStrings("%D", folder_.path()));
      QVERIFY(program.waitForFinished(60000));
      const QString error = QString::fromUtf8(program.readAllStandardError());
      const QString what = arguments.join(' ') + ": " + error;
      QCOMPARE(program.exitStatus(), QProcess::NormalExit);
      QVERIFY2(program.exitCode() == row.exitStatus, qPrintable(what));
      QVERIFY2(QString::fromUtf8(program.readAllStandardOutput()).contains(row.output), qPrintable(what));
      QVERIFY2(row.errors.startsWith('~') ? error.contains(row.errors.mid(1)) : error == row.errors, qPrintable(what));
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
    program.setProcessEnvironment(
        environment({"XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + run.filePath("config"), "HOME=" + run.path(),
                     "XDG_DATA_HOME=" + run.filePath("data")}));
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

  // Last: this changes this process's environment and logging rules. The
  // engine's own log is cut to fatal lines unless the user chose a log
  // level, in the environment or in the engine arguments; the pages'
  // console shows only when asked for.
  void leavesALogLevelTheUserChose() {
    const struct {
      QByteArray flags;
      QStringList arguments;
      QByteArray after;
    } rows[] = {{{}, {}, "--log-level=3 "},
                {"--disable-gpu", {"--no-proxy-server"}, "--log-level=3 --disable-gpu"},
                {"--disable-gpu --log-level=0", {}, "--disable-gpu --log-level=0"},
                {"--enable-logging=stderr", {}, "--enable-logging=stderr"},
                {"--disable-gpu", {"--x", "--log-level=1"}, "--disable-gpu"},
                {{}, {"--enable-logging"}, {}}};
    for (const auto& [flags, arguments, after] : rows) {
      qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
      limitEngineOutput(false, arguments);
      QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), after);
    }
    const QLoggingCategory console("js");
    QVERIFY(!console.isWarningEnabled());
    limitEngineOutput(true, {});
    QVERIFY(console.isWarningEnabled());
  }

 private:
  QByteArray badName() const { return QFile::encodeName(folder_.path()) + "/bad\xff.html"; }

  // This process's environment without its logging settings, and with
  // "NAME=value" settings (an empty value removes NAME).
  static QProcessEnvironment environment(const QStringList& settings) {
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.remove("QT_LOGGING_RULES");
    variables.remove("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const QString& setting : settings) {
      const QString name = setting.section(u'=', 0, 0), value = setting.section(u'=', 1);
      value.isEmpty() ? variables.remove(name) : variables.insert(name, value);
    }
    return variables;
  }

  QTemporaryDir folder_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::CommandLineTest)
#include "command_line_test.moc"
