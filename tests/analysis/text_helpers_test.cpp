// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/text_helpers.h"

#include <gtest/gtest.h>

namespace pagesift {
namespace {

TEST(ReplaceAll, ScansOnceLeftToRightWithoutOverlapOrRescanning) {
  struct Case {
    const char* text;
    const char* find;
    const char* with;
    const char* result;
  } cases[] = {
      {"aaa", "aa", "b", "ba"},                          // non-overlapping, leftmost first
      {"abc", "b", "bb", "abbc"},                        // inserted text is not scanned again
      {"\r\n\r\n\r\n", "\r\n\r\n", "\r\n", "\r\n\r\n"},  // one pass shortens a run, does not collapse it
      {"abc", "", "x", "abc"},                           // an empty search text changes nothing
      {"Pic.GIF pic.gif", "pic.gif", "X", "Pic.GIF X"},  // case counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.find, c.with), c.result) << c.text << " / " << c.find;
  }
}

TEST(ReplaceAllNoCase, MatchesAsciiLettersInAnyCase) {
  EXPECT_EQ(ReplaceAllNoCase("<IMG a><Img b><img c>", "<img", "[x]"), "[x] a>[x] b>[x] c>");
  EXPECT_EQ(ReplaceAllNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9", "e"), "\xC3\x89te");  // only ASCII folds
}

TEST(FindNoCase, FindsTheFirstPlaceWhereverTheNeedleHasALetter) {
  constexpr size_t npos = std::string_view::npos;
  struct Case {
    const char* text;
    const char* needle;
    size_t from;
    size_t at;
  } cases[] = {
      {"x<IMG <img", "<img", 0, 1},
      {"cgi-cgi-BIN/I/", "cgi-bin/i/", 0, 4},      // the first "-" does not begin a match
      {"-bin/i/ cgi-bin/i/", "cgi-bin/i/", 0, 8},  // a "-" before any room for "cgi"
      {"cgi-bin/i", "cgi-bin/i/", 0, npos},        // the needle would run past the end
      {"SRC=src=", "src=", 1, 4},                  // a match may not begin before `from`
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9", 0, 3},     // bytes past ASCII compare exactly
      {"Border borDER", "border", 1, 7},           // letters only
      {"abc", "", 2, 2},
      {"abc", "b", 4, npos},
  };
  for (const Case& c : cases) EXPECT_EQ(FindNoCase(c.text, c.needle, c.from), c.at) << c.text << " / " << c.needle;
}

TEST(SplitTextLines, EndsLinesAtCrOrCrLfButNotAtLfAlone) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\r\n", {"a\nb"}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines);
}

}  // namespace
}  // namespace pagesift
