// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QUrl>

#include <functional>

#include "platform/browser_pane.h"

class QMenu;
class QWidget;

namespace pagesift {

// What the context menu's entries do beyond the pane itself.
struct PaneMenuCommands {
  std::function<void(const QString& address)> openInBrowser;  // as Send Page to Browser Tab
  std::function<void(const QUrl& address)> saveImageAs;       // unset: the entry is greyed
  std::function<void()> showPageSource;
};

// The context menu of `pane` for `request`: on a link "Open Link in Browser
// View" and "Copy Link Address"; on an image "Open Image in Browser View",
// "Copy Image Address" and "Save Image As..."; on a selection "Copy"; and
// always Back, Forward (greyed with nowhere to go), Reload, "Select All" and
// "Page Source". A child of `parent`, deleted when it closes.
QMenu* makePaneContextMenu(BrowserPane* pane, const PaneContextRequest& request, const PaneMenuCommands& commands,
                           QWidget* parent);

}  // namespace pagesift
