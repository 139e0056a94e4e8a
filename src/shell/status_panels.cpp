// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/status_panels.h"

#include <QLabel>

namespace pagesift {

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) { addPanel(); }

void StatusPanels::addPanel() {
  auto* panel = new QLabel(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setTextFormat(Qt::PlainText);
  panel->setIndent(2);
  panel->resize(100, height());
  panel->show();
  panels_.append(panel);
  placePanels();
}

void StatusPanels::setPanelText(int panel, const QString& text) { panels_.at(panel - 1)->setText(text); }

QString StatusPanels::panelText(int panel) const { return panels_.at(panel - 1)->text(); }

void StatusPanels::setPanelWidth(int panel, int pixels) {
  panels_.at(panel - 1)->resize(pixels, panels_.at(panel - 1)->height());
  placePanels();
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  placePanels();
}

void StatusPanels::placePanels() {
  int left = 0;
  for (QLabel* panel : panels_) {
    panel->setGeometry(left, 0, panel->width(), height());
    left += panel->width();
  }
}

}  // namespace pagesift
