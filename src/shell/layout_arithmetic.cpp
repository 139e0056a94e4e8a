// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/layout_arithmetic.h"

#include <algorithm>
#include <cmath>

namespace pagesift {

Layout computeLayout(const LayoutInput& in) {
  const double W = in.windowWidth;
  const double H = in.windowHeight;
  Layout out{};

  out.tabStrip.left = 25;
  out.tabStrip.top = in.tabStripTop;
  out.tabStrip.height = std::abs(H - in.tabStripTop - in.statusBarHeight - 800);
  out.tabStrip.width = std::abs(W - 2 * out.tabStrip.left);

  out.pane.top = std::abs(out.tabStrip.top + 400);
  out.pane.left = std::abs(out.tabStrip.left + 100);
  out.pane.width = std::abs(out.tabStrip.width - 250);
  out.pane.height = std::abs(out.tabStrip.height - 500);

  out.panel1Width = 0.75 * W;
  out.panel2Width = std::abs(out.panel1Width - 300);

  const double panel2Left = out.panel1Width;  // panel 1 starts at the status bar's left edge
  out.progressBar.left = panel2Left + 50;
  out.progressBar.top = in.statusBarTop - 10;
  out.progressBar.height = in.statusBarHeight - 20;
  out.progressBar.width = std::max(0.0, out.panel2Width - 100);  // never a negative width

  out.addressWidth = std::abs(W - in.addressLeft - in.goButtonWidth - 200);
  out.websiteButtonWidth = std::abs(W - in.websiteButtonLeft - 150);
  out.goButtonLeft = out.addressWidth + in.addressLeft + 50;
  return out;
}

}  // namespace pagesift
