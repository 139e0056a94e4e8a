// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <string>
#include <string_view>

namespace pagesift {

// The text after the last "/" of a path; the whole text when there is none.
std::string PathLeafName(std::string_view path);

// True when the folder of `path` holds a normal file (not hidden, not a
// folder) named by the path's last component. That component goes through
// the directory search, so it may hold the wildcards "*" and "?"; the first
// matching file (in name order) must then also equal it, ignoring letter
// case. Any error gives false.
bool FileExists(std::string_view path) noexcept;

}  // namespace pagesift
