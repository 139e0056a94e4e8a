// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// Web addresses as plain text: no URL parsing, only substring searches on the
// two web prefixes "http://" and "https://" (any letter case) and on "/".

#include <string>
#include <string_view>

namespace pagesift {

inline constexpr std::string_view kHttpPrefix = "http://";
inline constexpr std::string_view kHttpsPrefix = "https://";

// `text` with every occurrence of either web prefix removed (one left-to-right
// scan), and the prefix that occurred first, in lower case ("" when none).
struct WithoutWebPrefixes {
  std::string rest;
  std::string prefix;
};
WithoutWebPrefixes StripWebPrefixes(std::string_view text);

bool HasWebPrefix(std::string_view text);

// The address cut back to the directory that holds it, ending with "/".
// Repeated calls climb: ".../a/b/page.html" -> ".../a/b/" -> ".../a/".
// The web prefix is put back when there is a directory left; otherwise the
// result is the prefix-less text followed by "/".
std::string UrlDirectory(std::string_view address);

// The text after the last "/" of the address, with every " border=" and every
// double quote removed. May be empty.
std::string FileNamePart(std::string_view address);

}  // namespace pagesift
