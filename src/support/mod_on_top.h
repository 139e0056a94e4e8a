// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <cstdint>

class QWidget;

// Keeping a window above all others.
namespace pagesift::modOnTop {

// 16-bit booleans: True has all bits set.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// Makes `window` a topmost window when `flag` is True exactly, and an
// ordinary one for any other value (1 included). Position and size are
// kept; a shown window stays shown and is activated.
void SetOnTop(QWidget* window, std::int16_t flag);

}  // namespace pagesift::modOnTop
