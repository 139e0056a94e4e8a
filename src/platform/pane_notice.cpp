// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/pane_notice.h"

#include <QEvent>

namespace pagesift {

PaneNotice::PaneNotice(QWidget* view) : QLabel(view) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setMargin(24);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setForegroundRole(QPalette::Text);
  hide();
  view->installEventFilter(this);
}

void PaneNotice::showText(const QString& text) {
  setText(text);
  setGeometry(parentWidget()->rect());
  show();
  raise();  // over the engine's own drawing surface
}

bool PaneNotice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QLabel::eventFilter(watched, event);
}

QString renderProcessEnding(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
  switch (status) {
    case QWebEnginePage::NormalTerminationStatus: return QObject::tr("its process ended");
    case QWebEnginePage::AbnormalTerminationStatus:
      return QObject::tr("its process ended with status %1").arg(exitCode);
    case QWebEnginePage::CrashedTerminationStatus: return QObject::tr("its process crashed (signal %1)").arg(exitCode);
    case QWebEnginePage::KilledTerminationStatus:
      return QObject::tr("its process was killed (signal %1)").arg(exitCode);
  }
  return QObject::tr("its process ended");
}

QString stoppedViewText(const QString& ending) {
  return QObject::tr("This view stopped: %1. Refresh to load it again.").arg(ending);
}

}  // namespace pagesift
