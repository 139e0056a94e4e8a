// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/view_commands.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cmath>
#include <iterator>

namespace pagesift {
namespace {

// The zoom steps, as the engine's range allows them.
constexpr double kZoomSteps[] = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                 1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
constexpr double kSameZoom = 0.005;

// Keeps a widget's ShortcutOverride from the item's keys: not accepted, the
// key goes on to the window's shortcut.
class KeyPasser : public QObject {
 public:
  KeyPasser(QWidget* edit, QAction* item) : QObject(edit), item_(item) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride || !item_ || !item_->isEnabled()) return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    return item_->shortcuts().contains(pressed);
  }

 private:
  QPointer<QAction> item_;
};

}  // namespace

void passKeysToWindow(QWidget* edit, QAction* item) { edit->installEventFilter(new KeyPasser(edit, item)); }

QList<QKeySequence> commandKeys(QKeySequence::StandardKey standard, const QList<QKeySequence>& named) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
  for (const QKeySequence& key : named) {
    if (!keys.contains(key)) keys.append(key);
  }
  return keys;
}

QAction* addCommand(QMenu* menu, const QString& caption, const QList<QKeySequence>& keys, const QString& tip) {
  QAction* item = menu->addAction(caption);
  item->setShortcuts(keys);
  item->setStatusTip(tip);
  return item;
}

void addFindItems(QMenu* menu, FindZoomItems& items) {
  items.find =
      addCommand(menu, QObject::tr("Find..."), commandKeys(QKeySequence::Find, {QKeySequence(Qt::CTRL | Qt::Key_F)}),
                 QObject::tr("Find text in the page on show"));
  items.findNext =
      addCommand(menu, QObject::tr("Find Next"),
                 commandKeys(QKeySequence::FindNext, {QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_G)}),
                 QObject::tr("Find the next match of the text"));
  items.findPrevious =
      addCommand(menu, QObject::tr("Find Previous"),
                 commandKeys(QKeySequence::FindPrevious,
                             {QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)}),
                 QObject::tr("Find the previous match of the text"));
}

void addZoomItems(QMenu* menu, FindZoomItems& items) {
  items.zoomIn = addCommand(menu, QObject::tr("Zoom In"),
                            commandKeys(QKeySequence::ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                                               QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
                            QObject::tr("Make the page on show larger"));
  items.zoomOut = addCommand(menu, QObject::tr("Zoom Out"),
                             commandKeys(QKeySequence::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}),
                             QObject::tr("Make the page on show smaller"));
  items.actualSize = addCommand(menu, QObject::tr("Actual Size"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
                                QObject::tr("Show the page on show at its actual size"));
}

double nextZoomFactor(double current, int direction) {
  if (direction > 0) {
    for (const double step : kZoomSteps) {
      if (step > current + kSameZoom) return step;
    }
    return std::end(kZoomSteps)[-1];
  }
  if (direction < 0) {
    for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
      if (*step < current - kSameZoom) return *step;
    }
    return kZoomSteps[0];
  }
  return 1.0;
}

QString zoomText(double factor) { return QObject::tr("Zoom: %1%").arg(std::lround(factor * 100)); }

}  // namespace pagesift
