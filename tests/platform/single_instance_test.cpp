// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cstring>
#include <memory>
#include <string_view>

using namespace std::chrono_literals;

namespace pagesift {
namespace {

using Outcome = SingleInstance::Outcome;

// A socket file with nobody listening, as a program that crashed leaves it.
bool leaveSocketBehind(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private:
  // A fresh folder, for each test and for each row that needs its own.
  void fresh() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    path_ = folder_->filePath("PageSift.socket");
  }

 private slots:
  void init() { fresh(); }

  // Only a runtime folder that no one else can reach holds the socket.
  void placesTheSocketInAPrivateRuntimeFolder() {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString own = folder_->filePath("run");
    const std::tuple<QString, int, bool> rows[] = {
        {own, 0700, true}, {own, 0755, false}, {"relative", 0700, false}, {QString(), 0700, false}};
    for (const auto& [folder, permissions, usable] : rows) {
      if (QDir::isAbsolutePath(folder)) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), static_cast<mode_t>(permissions)) == 0);
      }
      folder.isEmpty() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
      const QString path = SingleInstance::socketPathFor("PageSift");
      qputenv("XDG_RUNTIME_DIR", saved);
      QCOMPARE(path, usable ? folder + "/PageSift.socket" : QString());
    }
  }

  // What a second start finds decides whether it hands over, waits in vain
  // or becomes the running program.
  void handsOverOrStarts() {
    const std::tuple<const char*, QUrl, Outcome> rows[] = {
        {"nobody", QUrl(), Outcome::kFirst},
        {"a socket left behind", QUrl(), Outcome::kFirst},
        {"a program that never answers", QUrl("https://x/"), Outcome::kNoAnswer},
        {"running", QUrl("file:///tmp/my%20page%231.html"), Outcome::kHandedOver},
        {"running", QUrl(), Outcome::kHandedOver}};  // only raise
    for (const auto& [found, address, outcome] : rows) {
      fresh();
      SingleInstance first(path_);
      QLocalServer silent;
      if (found == std::string_view("a socket left behind")) QVERIFY(leaveSocketBehind(path_));
      if (found == std::string_view("a program that never answers")) QVERIFY(silent.listen(path_));
      if (found == std::string_view("running")) QCOMPARE(first.start(QUrl()), Outcome::kFirst);
      QSignalSpy received(&first, &SingleInstance::addressReceived);

      // The running program answers from this thread's event loop, so the
      // second start, which blocks, runs in a thread of its own.
      std::atomic<int> result = -1;
      const QString path = path_;
      const QUrl asked = address;
      std::unique_ptr<QThread> second(QThread::create([&result, path, asked] {
        SingleInstance instance(path);
        result = static_cast<int>(instance.start(asked, 1500ms));
      }));
      second->start();
      QTRY_VERIFY_WITH_TIMEOUT(second->isFinished(), 10000);
      QVERIFY2(static_cast<Outcome>(result.load()) == outcome, found);
      if (outcome == Outcome::kHandedOver) {
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.first().first().toUrl(), address);
      }
    }
  }

  // At the end the running program removes its own socket only: not one
  // another program has put in its place.
  void removesOnlyItsOwnSocket() {
    for (const bool replaced : {false, true}) {
      SingleInstance running(path_);
      QCOMPARE(running.start(QUrl()), Outcome::kFirst);
      if (replaced) QVERIFY(QFile::remove(path_) && leaveSocketBehind(path_));
      running.socketRemover()();
      QCOMPARE(QFile::exists(path_), replaced);
      QFile::remove(path_);
    }
  }

  // A request that is not what a later start sends is dropped unanswered,
  // and the running program answers the next good one.
  void dropsHostileRequests() {
    const QByteArray requests[] = {"GET / HTTP/1.1\r\n\r\n",
                                   QByteArray(4 << 20, 'A'),  // an endless header
                                   "PAGESIFT-OPEN 9999999\n" + QByteArray(1 << 20, 'x'),
                                   "PAGESIFT-OPEN 000000001\nx",
                                   "PAGESIFT-OPEN -1\n",
                                   "PAGESIFT-OPEN 19\njavascript:alert(1)",
                                   QByteArray("PAGESIFT-OPEN 9\nhttp://\xff\x00", 25)};
    for (const QByteArray& request : requests) {
      fresh();
      SingleInstance running(path_);
      QCOMPARE(running.start(QUrl()), Outcome::kFirst);
      QSignalSpy received(&running, &SingleInstance::addressReceived);
      const auto send = [this](const QByteArray& bytes) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(path_);
        socket->write(bytes);
        return socket;
      };
      const std::unique_ptr<QLocalSocket> hostile = send(request);
      QTRY_COMPARE_WITH_TIMEOUT(hostile->state(), QLocalSocket::UnconnectedState, 3000);
      QVERIFY(hostile->readAll().isEmpty());
      QVERIFY2(received.isEmpty(), request.left(40).constData());

      const std::unique_ptr<QLocalSocket> good = send("PAGESIFT-OPEN 10\nhttps://x/");
      QTRY_COMPARE(good->bytesAvailable(), qint64(9));
      QCOMPARE(good->readAll(), QByteArray("ACCEPTED\n"));
      QCOMPARE(received.size(), 1);
      QCOMPARE(received.first().first().toUrl(), QUrl("https://x/"));
    }
  }

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  QString path_;
};

}  // namespace pagesift

QTEST_GUILESS_MAIN(pagesift::SingleInstanceTest)
#include "single_instance_test.moc"
