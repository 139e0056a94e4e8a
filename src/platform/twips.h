// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QWidget>

// Window and control sizes are kept in twips, as the layout arithmetic needs
// them, and converted to device-independent pixels once, at 15 to the pixel.

namespace pagesift {

inline constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPixels(double twips) { return static_cast<int>(twips / kTwipsPerPixel + (twips < 0 ? -0.5 : 0.5)); }

// Places a widget at a position given in twips.
inline void placeTwips(QWidget* widget, double left, double top, double width, double height) {
  widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

}  // namespace pagesift
