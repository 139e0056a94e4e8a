// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QWidget>

#include <functional>

#include "platform/browser_pane.h"

namespace pagesift {

struct PaneSize {
  float width;  // twips
  float height;
};

// The website pane's size for the window's outer size (frame and title bar
// included), all in twips: 150 narrower and 400 lower, never below zero.
PaneSize websitePaneSize(double windowWidth, double windowHeight);

// The website window: one pane at its top-left corner that opens the maker's
// website. Closing it destroys it.
class frmWebsite : public QWidget {
  Q_OBJECT

 public:
  // `makePane` makes the pane (index kWebsitePane); `readWebsiteText` reads
  // the product information afresh and gives the website text.
  frmWebsite(const BrowserPaneFactory& makePane, std::function<QString()> readWebsiteText);

  // Sets the caption, sizes the pane and opens the website.
  void Form_Load();

  BrowserPane* WebBrowser1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void sizePane();

  std::function<QString()> readWebsiteText_;
};

}  // namespace pagesift
