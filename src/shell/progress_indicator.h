#pragma once

#include <QProgressBar>

namespace pagesift {

// A progress bar with a fractional range and value (a value of 0.01 on a
// range of 100 shows as the thinnest sliver, not as nothing).
class ProgressIndicator : public QProgressBar {
  Q_OBJECT

 public:
  explicit ProgressIndicator(QWidget* parent);

  double Min() const { return 0; }
  double Max() const { return max_; }
  double Value() const { return value_; }

  // A maximum below the minimum is refused; the bar keeps its range.
  bool SetMax(double max);
  void SetValue(double value);

 private:
  void Redraw();

  double max_ = 100;
  double value_ = 0;
};

}  // namespace pagesift
