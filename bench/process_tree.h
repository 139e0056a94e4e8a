// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// This process and every process below it (the engine's processes), from
// /proc: their CPU time and memory, for the benchmarks.

#include <unistd.h>

#include <QDir>
#include <QFile>

#include <map>
#include <utility>
#include <vector>

namespace pagesift::bench {

// The fields of /proc/PID/stat after the command name: field 3 of the line is [0].
inline QList<QByteArray> statFields(int pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return {};
  const QByteArray text = stat.readAll();
  return text.mid(text.lastIndexOf(')') + 2).split(' ');
}

inline std::vector<int> processTree() {
  std::map<int, int> parentOf;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool isPid = false;
    const int pid = entry.toInt(&isPid);
    if (isPid) parentOf[pid] = statFields(pid).value(1).toInt();
  }
  std::vector<int> tree;
  for (const auto& [pid, parent] : parentOf) {
    int ancestor = pid;
    while (ancestor > 1 && ancestor != getpid()) ancestor = parentOf.count(ancestor) ? parentOf[ancestor] : 0;
    if (ancestor == getpid()) tree.push_back(pid);
  }
  return tree;
}

// CPU time (user and system) the tree has used so far, in milliseconds.
inline double treeCpuMilliseconds() {
  double ticks = 0;
  for (const int pid : processTree()) {
    const QList<QByteArray> fields = statFields(pid);
    ticks += fields.value(11).toDouble() + fields.value(12).toDouble();  // utime, stime
  }
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Resident and proportional memory of the tree, in MiB.
inline std::pair<double, double> treeMemoryMiB() {
  double rss = 0, pss = 0;
  for (const int pid : processTree()) {
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
      const QList<QByteArray> parts = line.simplified().split(' ');
      if (parts.size() < 2) continue;
      if (parts[0] == "Rss:") rss += parts[1].toDouble() / 1024;
      if (parts[0] == "Pss:") pss += parts[1].toDouble() / 1024;
    }
  }
  return {rss, pss};
}

}  // namespace pagesift::bench
