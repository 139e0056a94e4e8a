// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/source_view.h"

#include <random>

#include <gtest/gtest.h>

#include "analysis/html_escape.h"

namespace pagesift {
namespace {

struct Case {
  const char* page;
  std::vector<LinkPass> passes;
  const char* text;
};

// How names nest and cross is checked against a plain model further down;
// these are the cases the model takes as given or rarely meets.
TEST(SourceViewText, EscapesAndLinksNamesInThePageAndInAnchorTextsOnly) {
  const Case cases[] = {
      {"&amp; & \" ' \t>", {}, "&amp; & \" ' \t>"},
      // a name standing in an earlier anchor's address is not linked there
      {"c.gif pic.gif",
       {{"pic.gif", "http://h/pic.gif"}, {"c.gif", "http://h/c.gif"}},
       "<a href='http://h/c.gif'>c.gif</a> <a href='http://h/pic.gif'>pi<a href='http://h/c.gif'>c.gif</a></a>"},
      {"ba.gif", {{"a.gif", "A"}, {"ba.gif", "B"}}, "b<a href='A'>a.gif</a>"},  // crosses the earlier anchor
      {"x.gif", {{"x.gif", "http://h/it's&<x>.gif"}}, "<a href='http://h/it&#39;s&amp;&lt;x&gt;.gif'>x.gif</a>"},
      // the escaping's markup is not text: "&lt;" it made is not a name's, one the page had is
      {"<x.gif &lt;x.gif", {{"lt;x.gif", "L"}}, "&lt;x.gif &<a href='L'>lt;x.gif</a>"},
      {"a<b.gif a\rb.gif", {{"a<b.gif", "X"}, {"BR>b.gif", "Y"}}, "a&lt;b.gif a<BR>b.gif"},
  };
  for (const Case& c : cases) EXPECT_EQ(SourceViewText(c.page, c.passes), c.text) << c.page;
}

TEST(SourceViewText, LeavesOutPassesThatWouldPassTheSizeLimit) {
  // E = 1,000, so the limit is 8 x E + 1 MiB; one link to `address` adds
  // 15 bytes of markup and the escaped address.
  const std::string page = "a" + std::string(999, 'b');
  const size_t limit = 8 * 1000 + (size_t{1} << 20);
  ASSERT_EQ(SourceViewSizeLimit(page), limit);
  const std::string fits(limit - 1000 - 15, 'x');
  EXPECT_EQ(SourceViewText(page, {{"a", fits}}).size(), limit);
  const std::string tooLong = fits + "x";
  // "a" is left out; the pass after it still runs.
  EXPECT_EQ(SourceViewText(page, {{"a", tooLong}, {"bbbb", "Y"}}), SourceViewText(page, {{"bbbb", "Y"}}));
  EXPECT_NE(SourceViewText(page, {{"bbbb", "Y"}}), page);
  // Large pages may grow by at most 64 MiB.
  EXPECT_EQ(SourceViewSizeLimit(std::string(10'000'000, '<')), 40'000'000 + (size_t{64} << 20));
}

// A plain model of the linking: the text as a list of stretches and inserted
// markup, each pass splitting the stretches that stand before it.
std::string LinkedModel(std::string_view page, const std::vector<LinkPass>& passes) {
  struct Token {
    std::string text;
    bool markup;
  };
  std::vector<Token> tokens(1, {"", false});
  for (char c : page) {
    if (c == '<' || c == '\r' || c == '\n') {
      tokens.push_back({c == '<' ? "&lt;" : "<BR>", true});
      tokens.push_back({"", false});
    } else {
      tokens.back().text += c;
    }
  }
  for (const LinkPass& pass : passes) {
    if (pass.name.empty()) continue;
    std::vector<Token> next;
    for (const Token& token : tokens) {
      if (token.markup) {
        next.push_back(token);
        continue;
      }
      size_t from = 0;
      for (size_t at = token.text.find(pass.name); at != std::string::npos; at = token.text.find(pass.name, from)) {
        next.push_back({token.text.substr(from, at - from), false});
        next.push_back({"<a href='" + EscapeAttribute(pass.address) + "'>", true});
        next.push_back({pass.name, false});
        next.push_back({"</a>", true});
        from = at + pass.name.size();
      }
      next.push_back({token.text.substr(from), false});
    }
    tokens = std::move(next);
  }
  std::string out;
  for (const Token& token : tokens) out += token.text;
  return out;
}

TEST(SourceViewText, AgreesWithAPlainModelOfTheLinking) {
  std::mt19937 random(20261206);
  auto text = [&random](std::string_view alphabet, size_t maxLength) {
    std::string s(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
    for (char& c : s) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string page = text("ab.h< >'/\r\nref=&lt;", 60);
    std::vector<LinkPass> passes(std::uniform_int_distribution<size_t>(1, 6)(random));
    for (LinkPass& pass : passes) {
      pass.name = text(round % 7 == 0 ? "ab.<\r" : "ab.hr ef='/&lt;", 4);
      pass.address = text("ab.h/&'", 8);
    }
    if (round % 5 == 0) passes.push_back(passes.front());
    ASSERT_EQ(SourceViewText(page, passes), LinkedModel(page, passes)) << "round " << round;
  }
}

}  // namespace
}  // namespace pagesift
