// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// What the whole-process benchmarks print with their figures.

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pagesift::bench {

// The median of the figures (the mean of the middle two for an even count);
// not a number when there are none.
inline double median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The machine's load when the figures were taken, as /proc/loadavg says it.
inline QByteArray loadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

}  // namespace pagesift::bench
