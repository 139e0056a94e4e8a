// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class QSocketNotifier;

namespace pagesift {

// How long the engine has to let go once the program has decided to end.
inline constexpr std::chrono::milliseconds kExitGrace{5000};

// The program has decided to end with `status` and now releases the engine
// (its windows, pages, profiles and the application object). The engine's
// threads can be stuck where nothing stops them: a file reader waiting on a
// named pipe keeps the application object's destructor waiting for ever
// (seen on Qt WebEngine 6.4). So this flushes standard output and error now
// and, if the process still runs `grace` later, says so on standard error,
// calls `cleanup` (on another thread: it may use only what it holds and
// system calls) and ends the process with `status` at once. The first call
// counts; later ones change nothing.
void endWithinGracePeriod(int status, std::function<void()> cleanup = {}, std::chrono::milliseconds grace = kExitGrace);

// SIGTERM and SIGINT, delivered to the event loop as received(): the
// signal handler only writes the signal's number to a pipe that a
// QSocketNotifier watches, so receivers may do anything. The handler stays
// for the rest of the process (a signal during the ending is then taken
// care of by endWithinGracePeriod); one object at a time.
class QuitSignals : public QObject {
  Q_OBJECT

 public:
  explicit QuitSignals(QObject* parent = nullptr);

 signals:
  void received(int signalNumber);

 private:
  QSocketNotifier* notifier_;
};

}  // namespace pagesift
