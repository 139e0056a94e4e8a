// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// Plain text operations the page analysis is built from. "Without regard to
// case" always means ASCII letters only (common/ascii.h).

#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"

namespace pagesift {

inline constexpr std::string_view kCrLf = "\r\n";

std::string ToLowerAscii(std::string_view text);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Position of the first occurrence of `needle` at or after `from`, without
// regard to case; npos when there is none.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);
bool ContainsNoCase(std::string_view text, std::string_view needle);

// Replace-all: one left-to-right scan replacing every non-overlapping
// occurrence, never rescanning inserted text. An empty search text changes
// nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view with);
std::string ReplaceAllNoCase(std::string_view text, std::string_view find, std::string_view with);

// The lines of a text file's content: a line ends at CR or at CR LF (neither
// belongs to it); LF alone does not end a line. Text after the last line end
// is one more line when it is not empty.
std::vector<std::string> SplitTextLines(std::string_view text);

// Calls `line` with each line of `content` (as SplitTextLines splits it),
// without copying. With `crLfAfter`, the lines are those of `content`
// followed by CR LF, as WriteTextFile leaves a file: the text after the last
// line end is then one more line even when it is empty.
template <typename Line>
void ForEachTextLine(std::string_view content, bool crLfAfter, Line&& line) {
  size_t start = 0;
  for (size_t cr = content.find('\r'); cr != std::string_view::npos; cr = content.find('\r', start)) {
    line(content.substr(start, cr - start));
    start = cr + 1;
    if (start < content.size() && content[start] == '\n') ++start;
  }
  if (start < content.size() || crLfAfter) line(content.substr(start));
}

}  // namespace pagesift
