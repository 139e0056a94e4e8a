// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace pagesift {

// A status bar of text panels side by side, numbered from 1, each as wide as
// it is told; what does not fit the bar is cut off.
class StatusPanels : public QFrame {
  Q_OBJECT

 public:
  explicit StatusPanels(QWidget* parent);

  void addPanel();
  int panelCount() const { return static_cast<int>(panels_.size()); }
  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;
  void setPanelWidth(int panel, int pixels);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placePanels();

  QList<QLabel*> panels_;
};

}  // namespace pagesift
