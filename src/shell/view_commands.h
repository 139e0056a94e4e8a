// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace pagesift {

// The find and zoom commands, as the main window and the Page Source window
// both offer them.
struct FindZoomItems {
  QAction* find = nullptr;          // Find...
  QAction* findNext = nullptr;      // Find Next
  QAction* findPrevious = nullptr;  // Find Previous
  QAction* zoomIn = nullptr;
  QAction* zoomOut = nullptr;
  QAction* actualSize = nullptr;
};

// The platform's keys for `standard` followed by those of `named` it lacks
// (the keys a command answers to everywhere), the first one shown.
QList<QKeySequence> commandKeys(QKeySequence::StandardKey standard, const QList<QKeySequence>& named = {});

// A new item at the end of `menu` with its keys and status tip.
QAction* addCommand(QMenu* menu, const QString& caption, const QList<QKeySequence>& keys, const QString& tip);

// Find..., Find Next and Find Previous at the end of `menu`.
void addFindItems(QMenu* menu, FindZoomItems& items);
// Zoom In, Zoom Out and Actual Size at the end of `menu`.
void addZoomItems(QMenu* menu, FindZoomItems& items);

// Lets the keys of `item` reach the window from `edit`, which would take
// them for itself otherwise (a line edit deletes its line on Ctrl+U on X11).
void passKeysToWindow(QWidget* edit, QAction* item);

// The zoom after `current` one step in `direction` (+1 in, -1 out) through
// the steps from 25% to 500%; 1 (actual size) for direction 0.
double nextZoomFactor(double current, int direction);

// "Zoom: 125%".
QString zoomText(double factor);

}  // namespace pagesift
