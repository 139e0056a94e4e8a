// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/text_helpers.h"

#include <algorithm>

namespace pagesift {
namespace {

template <typename Find>
std::string ReplaceEach(std::string_view text, std::string_view find, std::string_view with, Find findAt) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t from = 0;
  for (size_t hit = findAt(text, find, from); hit != std::string_view::npos; hit = findAt(text, find, from)) {
    if (out.empty()) out.reserve(text.size());
    out.append(text, from, hit - from);
    out.append(with);
    from = hit + find.size();
  }
  if (from == 0) return std::string(text);
  out.append(text, from, std::string_view::npos);
  return out;
}

}  // namespace

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  if (needle.size() > text.size()) return std::string_view::npos;
  const size_t last = text.size() - needle.size();
  // A byte that is not a letter has one case only: the library finds it
  // ("<" of "<img", "-" of "cgi-bin/i/") and the needle is compared around it.
  const size_t anchor =
      static_cast<size_t>(std::find_if_not(needle.begin(), needle.end(), IsAsciiLetter) - needle.begin());
  if (anchor < needle.size()) {
    for (size_t hit = text.find(needle[anchor], from + anchor); hit != std::string_view::npos && hit - anchor <= last;
         hit = text.find(needle[anchor], hit + 1)) {
      if (EqualsNoCase(text.substr(hit - anchor, needle.size()), needle)) return hit - anchor;
    }
    return std::string_view::npos;
  }
  const char lower = ToLowerAscii(needle.front());
  const std::string_view rest = needle.substr(1);
  for (size_t at = from; at <= last; ++at) {
    if (ToLowerAscii(text[at]) == lower && EqualsNoCase(text.substr(at + 1, rest.size()), rest)) return at;
  }
  return std::string_view::npos;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  return FindNoCase(text, needle) != std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view with) {
  return ReplaceEach(text, find, with,
                     [](std::string_view t, std::string_view f, size_t from) { return t.find(f, from); });
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view find, std::string_view with) {
  return ReplaceEach(text, find, with,
                     [](std::string_view t, std::string_view f, size_t from) { return FindNoCase(t, f, from); });
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachTextLine(text, false, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace pagesift
