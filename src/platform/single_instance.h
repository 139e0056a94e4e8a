#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace pagesift {

// The longest address, in its encoded form, the program takes from outside
// (the command line or a hand-over). The system allows 128 KiB per command
// line argument; encoding may triple that.
inline constexpr qsizetype kMaxOutsideAddressBytes = 512 * 1024;

// Whether an address from outside the program may be opened: a valid,
// absolute address of bounded length, and no script (a "javascript:" address
// would run in whatever page the program shows).
bool isOpenableAddress(const QUrl& address);

// One PageSift per user. The first program listens on a local socket that
// only its user can reach; a later one hands its address (or none) to it
// and ends.
//
// The exchange: the later program sends "PAGESIFT-OPEN <length>\n" followed by
// <length> bytes of the encoded address (length 0: no address), and the
// running program answers "ACCEPTED\n" once it has taken it. Anything else is
// dropped: a request that is malformed, too long, or not complete within a
// few seconds is closed without an answer, and only a few requests are read
// at a time.
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

 signals:
  // A later program handed over `address` (empty: it gave none).
  void addressReceived(const QUrl& address);

 private:
  void acceptConnections();
  void readRequest(QLocalSocket* socket);

  QString socketPath_;
  QLocalServer* server_ = nullptr;
  int clients_ = 0;
};

}  // namespace pagesift
