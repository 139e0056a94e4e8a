// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// Where the main window's stretching controls go for a window size, as
// numbers in twips. No widgets here: the window applies the result.

namespace pagesift {

struct TwipsRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

struct LayoutInput {
  double windowWidth;   // W: the window's outer width
  double windowHeight;  // H: the window's outer height
  double tabStripTop = 960;
  double statusBarTop;  // the status bar lies along the bottom of the client area
  double statusBarHeight = 315;
  double addressLeft = 540;
  double websiteButtonLeft = 3300;
  double goButtonWidth = 1095;
};

struct Layout {
  TwipsRect tabStrip;
  TwipsRect pane;  // all three panes share it
  double panel1Width;
  double panel2Width;
  TwipsRect progressBar;
  double addressWidth;
  double websiteButtonWidth;
  double goButtonLeft;
};

Layout computeLayout(const LayoutInput& input);

}  // namespace pagesift
