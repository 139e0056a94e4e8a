// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace pagesift {

// The splash window shown while the program starts: on the fourth tick of
// its half-second timer (precise: four ticks are two seconds) it opens the
// main window and goes away.
class frmSplash : public QWidget {
  Q_OBJECT

 public:
  // `openMainWindow` loads and shows the main window.
  explicit frmSplash(std::function<void()> openMainWindow);

  // Reads the product information and starts the timer.
  void Form_Load();

  int ticks() const { return intTicks; }

 signals:
  // The splash has been painted for the first time.
  void painted();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Timer1_Timer();

  std::function<void()> openMainWindow_;
  QLabel* Image1;
  QTimer* Timer1;
  qint16 intTicks = 0;
  bool paintedOnce_ = false;
};

}  // namespace pagesift
