// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "common/file_exists.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/ascii.h"

namespace pagesift {
namespace {

// Wildcard match as this platform's directory search does it: "*" any run,
// "?" one character, every other character exactly (file names here are
// case-sensitive).
bool MatchesPattern(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::string PathLeafName(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FileExists(std::string_view path) noexcept {
  try {
    const std::string leaf = PathLeafName(path);
    if (leaf.empty()) return false;  // a folder path names no file
    const size_t slash = path.rfind('/');
    const std::filesystem::path folder = slash == std::string_view::npos
                                             ? std::filesystem::path(".")
                                             : std::filesystem::path(std::string(path.substr(0, slash + 1)));

    std::error_code ec;
    std::optional<std::string> first;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.empty() || name.front() == '.') continue;  // hidden
      std::error_code typeEc;
      if (!it->is_regular_file(typeEc) || typeEc) continue;
      if (!MatchesPattern(name, leaf)) continue;
      if (!first || name < *first) first = name;
    }
    if (ec) return false;
    return first && EqualsNoCase(*first, leaf);
  } catch (...) {
    return false;
  }
}

}  // namespace pagesift
