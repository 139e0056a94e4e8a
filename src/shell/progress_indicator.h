// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QProgressBar>

namespace pagesift {

// A progress bar with a fractional range and value (a value of 0.01 on a
// range of 100 shows as the thinnest sliver, not as nothing).
class ProgressIndicator : public QProgressBar {
  Q_OBJECT

 public:
  explicit ProgressIndicator(QWidget* parent);

  double minValue() const { return 0; }
  double maxValue() const { return max_; }
  double currentValue() const { return value_; }

  // A maximum below the minimum is refused; the bar keeps its range.
  bool setMaxValue(double max);
  void setCurrentValue(double value);

 private:
  void redraw();

  double max_ = 100;
  double value_ = 0;
};

}  // namespace pagesift
