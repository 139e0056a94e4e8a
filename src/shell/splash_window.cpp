// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <utility>

#include "platform/twips.h"
#include "shell/mod_product_info.h"

namespace pagesift {

frmSplash::frmSplash(std::function<void()> openMainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      openMainWindow_(std::move(openMainWindow)),
      Image1(new QLabel(this)),
      Timer1(new QTimer(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(twipsToPixels(7140), twipsToPixels(4695));
  Image1->setGeometry(0, 0, twipsToPixels(7140), twipsToPixels(4740));
  Image1->setPixmap(QPixmap(QStringLiteral(":/pagesift/splash.png")));
  Timer1->setInterval(500);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void frmSplash::Form_Load() {
  modProductInfo::ReadProductInfo();
  intTicks = 0;
  Timer1->start();
}

void frmSplash::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!std::exchange(paintedOnce_, true)) emit painted();
}

void frmSplash::Timer1_Timer() {
  if (intTicks == 3) {
    openMainWindow_();
    Timer1->stop();
    close();
  }
  ++intTicks;
}

}  // namespace pagesift
