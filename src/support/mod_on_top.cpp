// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/mod_on_top.h"

#include <QWidget>

namespace pagesift::modOnTop {

void SetOnTop(QWidget* window, std::int16_t flag) {
  // Changing the flags of a shown window hides it: show it again where it was.
  const bool shown = window->isVisible();
  const QRect geometry = window->geometry();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, flag == kTrue);
  if (!shown) return;
  window->setGeometry(geometry);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace pagesift::modOnTop
