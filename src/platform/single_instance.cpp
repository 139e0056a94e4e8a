// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/single_instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include "platform/address_policy.h"

namespace pagesift {
namespace {

constexpr char kRequestPrefix[] = "PAGESIFT-OPEN ";
constexpr char kAccepted[] = "ACCEPTED\n";
// The prefix, at most seven digits and the line feed.
constexpr qsizetype kMaxHeaderBytes = qsizetype(sizeof kRequestPrefix) - 1 + 7 + 1;
constexpr qsizetype kMaxRequestBytes = kMaxHeaderBytes + kMaxOutsideAddressBytes;
constexpr int kMaxClients = 8;
constexpr int kClientTimeoutMs = 5000;

int remainingMs(const QDeadlineTimer& deadline) { return static_cast<int>(qMax<qint64>(0, deadline.remainingTime())); }

// The length the header announces; -1 when there is no complete, well-formed
// header yet or ever (see `complete`).
qsizetype announcedLength(const QByteArray& start, bool& malformed) {
  const qsizetype end = start.indexOf('\n');
  malformed = false;
  if (end < 0) {
    malformed = start.size() >= kMaxHeaderBytes;
    return -1;
  }
  const QByteArray prefix(kRequestPrefix);
  const QByteArray digits = start.mid(prefix.size(), end - prefix.size());
  bool ok = !digits.isEmpty() && digits.size() <= 7 && start.startsWith(prefix);
  for (const char c : digits) ok = ok && c >= '0' && c <= '9';
  const qsizetype length = ok ? digits.toLongLong() : -1;
  malformed = !ok || length > kMaxOutsideAddressBytes;
  return malformed ? -1 : length;
}

bool writeAll(QLocalSocket& socket, const QByteArray& data, const QDeadlineTimer& deadline) {
  if (socket.write(data) != data.size()) return false;
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(remainingMs(deadline))) return false;
  }
  return true;
}

bool readAnswer(QLocalSocket& socket, const QDeadlineTimer& deadline) {
  const QByteArray expected(kAccepted);
  QByteArray answer;
  while (answer.size() < expected.size()) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remainingMs(deadline))) return false;
    answer += socket.read(expected.size() - answer.size());
  }
  return answer == expected;
}

}  // namespace

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent) : QObject(parent), socketPath_(socketPath) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPathFor(const QString& name) {
  const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!QDir::isAbsolutePath(runtimeFolder)) return QString();
  struct stat status {};
  if (::stat(QFile::encodeName(runtimeFolder).constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != ::geteuid() || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    return QString();
  }
  return QDir::cleanPath(runtimeFolder) + QLatin1Char('/') + name + QStringLiteral(".socket");
}

SingleInstance::Outcome SingleInstance::start(const QUrl& address, std::chrono::milliseconds answerTimeout) {
  if (socketPath_.isEmpty()) return Outcome::kUnavailable;
  const QDeadlineTimer deadline(answerTimeout);
  // Two programs starting at once: one listens, the other finds it.
  QLockFile lock(socketPath_ + QStringLiteral(".lock"));
  if (!lock.tryLock(remainingMs(deadline))) {
    return lock.error() == QLockFile::LockFailedError ? Outcome::kNoAnswer : Outcome::kUnavailable;
  }

  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (socket.waitForConnected(remainingMs(deadline))) {
    lock.unlock();
    const QByteArray body = address.isEmpty() ? QByteArray() : address.toEncoded();
    const QByteArray request = kRequestPrefix + QByteArray::number(body.size()) + '\n' + body;
    return writeAll(socket, request, deadline) && readAnswer(socket, deadline) ? Outcome::kHandedOver
                                                                               : Outcome::kNoAnswer;
  }
  if (socket.error() != QLocalSocket::ServerNotFoundError && socket.error() != QLocalSocket::ConnectionRefusedError) {
    return Outcome::kNoAnswer;
  }

  // Nobody listens: a socket left behind by a program that ended is replaced.
  QLocalServer::removeServer(socketPath_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(socketPath_)) {
    delete server_;
    server_ = nullptr;
    return Outcome::kUnavailable;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  struct stat status {};
  if (::stat(QFile::encodeName(socketPath_).constData(), &status) == 0) {
    socketDevice_ = status.st_dev;
    socketInode_ = status.st_ino;
  }
  return Outcome::kFirst;
}

std::function<void()> SingleInstance::socketRemover() const {
  if (!server_ || socketInode_ == 0) return [] {};
  return [path = QFile::encodeName(socketPath_).toStdString(), device = socketDevice_, inode = socketInode_] {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && status.st_dev == device && status.st_ino == inode) {
      ::unlink(path.c_str());
    }
  };
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (clients_ >= kMaxClients) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    ++clients_;
    // Qt keeps no more than one request's worth; the rest waits in the system.
    socket->setReadBufferSize(kMaxRequestBytes);
    connect(socket, &QObject::destroyed, this, [this] { --clients_; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    QTimer::singleShot(kClientTimeoutMs, socket, [socket] {
      socket->abort();
      socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0) readRequest(socket);
  }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
  if (socket->state() != QLocalSocket::ConnectedState) return;  // answered or dropped already
  bool malformed = false;
  const qsizetype length = announcedLength(socket->peek(kMaxHeaderBytes), malformed);
  const auto drop = [socket] {
    socket->abort();
    socket->deleteLater();
  };
  if (malformed) return drop();
  if (length < 0) return;  // the header is not complete yet
  const qsizetype headerSize = socket->peek(kMaxHeaderBytes).indexOf('\n') + 1;
  if (socket->bytesAvailable() < headerSize + length) return;

  socket->read(headerSize);
  const QByteArray body = socket->read(length);
  const QUrl address = body.isEmpty() ? QUrl() : QUrl::fromEncoded(body, QUrl::StrictMode);
  // A local file's kind is the pane's to look at when it loads it.
  if (!body.isEmpty() && !addressRefusal(address, PaneRole::kBrowsing, LocalFileCheck::kAtNavigation).isEmpty()) {
    return drop();
  }

  socket->write(kAccepted);
  socket->disconnectFromServer();  // after the answer is written
  emit addressReceived(address);
}

}  // namespace pagesift
