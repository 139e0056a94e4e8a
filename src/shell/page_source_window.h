// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QMainWindow>
#include <QUrl>

#include "platform/browser_pane.h"
#include "shell/view_commands.h"

namespace pagesift {

class FindBar;

// The page as the server sent it: the engine's view-source: page of an
// address (line numbers, highlighting, line wrap), in a pane of its own
// with script off, with its own find and zoom. It has no history the user
// can reach and never touches the Browser view's.
class PageSourceWindow : public QMainWindow {
  Q_OBJECT

 public:
  PageSourceWindow(const BrowserPaneFactory& makePane, QWidget* parent);

  // Shows the source of `address` (a page's address, not view-source:).
  void showSourceOf(const QString& address);
  QUrl sourceAddress() const { return address_; }

  BrowserPane* pane() const { return pane_; }
  FindBar* findBar() const { return findBar_; }
  const FindZoomItems& items() const { return items_; }

 private:
  void zoomBy(int direction);

  BrowserPane* pane_;
  FindBar* findBar_;
  FindZoomItems items_;
  QUrl address_;
};

}  // namespace pagesift
