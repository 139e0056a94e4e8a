// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <sys/types.h>

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace pagesift {

// One PageSift per user. The first program listens on a local socket that
// only its user can reach; a later one hands its address (or none) to it
// and ends.
//
// The exchange: the later program sends "PAGESIFT-OPEN <length>\n" followed by
// <length> bytes of the encoded address (length 0: no address), and the
// running program answers "ACCEPTED\n" once it has taken it. Anything else is
// dropped: a request that is malformed, too long, or not complete within a
// few seconds is closed without an answer, and only a few requests are read
// at a time. An address the program does not open (addressRefusal) is
// dropped the same way.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    kFirst,        // no program was running: this one now listens
    kHandedOver,   // the running program took the address
    kNoAnswer,     // a program is there but did not answer in time
    kUnavailable,  // no usable socket place: this program cannot tell
  };

  static constexpr std::chrono::milliseconds kAnswerTimeout{10000};

  // `socketPath` is the full path of the socket; empty: no single instance.
  explicit SingleInstance(const QString& socketPath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // "$XDG_RUNTIME_DIR/<name>.socket"; empty when XDG_RUNTIME_DIR is not set
  // or is not a folder that only this user can reach.
  static QString socketPathFor(const QString& name);

  // Hands `address` (empty: none, the running program is only raised) to a
  // running program, waiting at most `answerTimeout` for its answer, or
  // becomes the running program when there is none. Blocks; needs no event
  // loop.
  Outcome start(const QUrl& address, std::chrono::milliseconds answerTimeout = kAnswerTimeout);

  // For an exit that cannot wait for this object's destructor: removes the
  // socket file if it is still the one this program listens on (another
  // program may have taken its place since). Uses only what it holds and
  // system calls, so it may run on any thread. Does nothing when this
  // program does not listen.
  std::function<void()> socketRemover() const;

 signals:
  // A later program handed over `address` (empty: it gave none).
  void addressReceived(const QUrl& address);

 private:
  void acceptConnections();
  void readRequest(QLocalSocket* socket);

  QString socketPath_;
  QLocalServer* server_ = nullptr;
  int clients_ = 0;
  dev_t socketDevice_ = 0;  // the socket file's identity once listening
  ino_t socketInode_ = 0;
};

}  // namespace pagesift
