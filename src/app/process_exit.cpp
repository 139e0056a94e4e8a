// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/process_exit.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

namespace pagesift {
namespace {

int signalPipe[2] = {-1, -1};  // read end, write end

void writeSignalNumber(int signalNumber) {
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);  // a full pipe drops it
  errno = savedErrno;
}

}  // namespace

void endWithinGracePeriod(int status, std::function<void()> cleanup, std::chrono::milliseconds grace) {
  static std::atomic_flag started = ATOMIC_FLAG_INIT;
  if (started.test_and_set()) return;
  std::fflush(stdout);
  std::fflush(stderr);
  std::thread([status, cleanup = std::move(cleanup), grace] {
    std::this_thread::sleep_for(grace);
    // Past this point the main thread may hold any lock: only system calls.
    static const char kMessage[] = "PageSift: the web engine did not stop in time; PageSift ends without it\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    if (cleanup) cleanup();
    ::_exit(status);
  }).detach();
}

QuitSignals::QuitSignals(QObject* parent) : QObject(parent), notifier_(nullptr) {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1) emit received(number);
  });
  struct sigaction action {};
  action.sa_handler = writeSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signalNumber : {SIGTERM, SIGINT}) ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace pagesift
