// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QLabel>
#include <QWebEnginePage>

namespace pagesift {

// A short page of the program's own drawn over a view, covering it whole
// while shown: what the view would otherwise leave blank. Plain text only.
class PaneNotice : public QLabel {
  Q_OBJECT

 public:
  explicit PaneNotice(QWidget* view);

  void showText(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// How a page's render process ended, as a phrase for "This view stopped:
// <phrase>." ("its process crashed").
QString renderProcessEnding(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);

// What a pane whose render process ended shows over its view.
QString stoppedViewText(const QString& ending);

}  // namespace pagesift
