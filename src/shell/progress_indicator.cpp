// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/progress_indicator.h"

#include <algorithm>
#include <cmath>

namespace pagesift {
namespace {

constexpr int kSteps = 100000;  // the bar's own integer range

}  // namespace

ProgressIndicator::ProgressIndicator(QWidget* parent) : QProgressBar(parent) {
  setRange(0, kSteps);
  setTextVisible(false);
  redraw();
}

bool ProgressIndicator::setMaxValue(double max) {
  if (!(max >= minValue())) return false;
  max_ = max;
  redraw();
  return true;
}

void ProgressIndicator::setCurrentValue(double value) {
  value_ = value;
  redraw();
}

void ProgressIndicator::redraw() {
  const double fraction = max_ > 0 ? std::clamp(value_ / max_, 0.0, 1.0) : 0.0;
  setValue(static_cast<int>(std::lround(fraction * kSteps)));
}

}  // namespace pagesift
