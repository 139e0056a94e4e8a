#include "analysis/source_view.h"

#include <random>

#include <gtest/gtest.h>

namespace pagesift {
namespace {

TEST(EscapeSourceText, EscapesOnlyTheOpeningBracketAndLineBreaks) {
  const std::pair<const char*, const char*> cases[] = {
      {"<p>x</p>", "&lt;p>x&lt;/p>"},
      {"a\r\nb", "a<BR><BR>b"},  // CR LF shows as an empty line between lines
      {"a\rb\nc", "a<BR>b<BR>c"},
      {"&amp; & \" ' \t>", "&amp; & \" ' \t>"},
  };
  for (const auto& [page, escaped] : cases) EXPECT_EQ(EscapeSourceText(page), escaped) << page;
}

TEST(LinkFileNames, ReplacesEveryOccurrenceInListOrder) {
  struct Case {
    const char* text;
    std::vector<LinkPass> passes;
    const char* result;
  } cases[] = {
      {"src=\"pic.gif\" and pic.gif", {{"pic.gif", "http://h/pic.gif"}},
       "src=\"<a href='http://h/pic.gif'>pic.gif</a>\" and <a href='http://h/pic.gif'>pic.gif</a>"},
      // a later pass also finds the name inside the anchor an earlier one made
      {"see pic.gif", {{"pic.gif", "http://h/pic.gif"}, {"pic.gif", "u/pic.gif"}},
       "see <a href='http://h/<a href='u/pic.gif'>pic.gif</a>'><a href='u/pic.gif'>pic.gif</a></a>"},
      {"ba.gif", {{"a.gif", "A"}, {"ba.gif", "B"}}, "b<a href='A'>a.gif</a>"},
      {"ba.gif", {{"ba.gif", "B"}, {"a.gif", "A"}}, "<a href='B'>b<a href='A'>a.gif</a></a>"},
      {"x.gif", {{"x.gif", "http://h/it's&<x>.gif"}},
       "<a href='http://h/it&#39;s&amp;&lt;x&gt;.gif'>x.gif</a>"},
      {"a.gif", {{"", "http://h/"}}, "a.gif"},
      {"a<b.gif a<b.gif", {{"a<b.gif", "X"}}, "<a href='X'>a<b.gif</a> <a href='X'>a<b.gif</a>"},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkFileNames(c.text, c.passes), c.result) << c.text;
}

// The indexed linker must give exactly what one literal replace-all per pass
// gives, also where names overlap, repeat, or occur inside inserted anchors.
TEST(LinkFileNames, AgreesWithOneReplaceAllPerPass) {
  std::mt19937 random(20261206);
  auto text = [&random](std::string_view alphabet, size_t maxLength) {
    std::string s(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
    for (char& c : s) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string page = text("ab.h< >'/ref=", 60);
    std::vector<LinkPass> passes(std::uniform_int_distribution<size_t>(1, 6)(random));
    for (LinkPass& pass : passes) {
      pass.name = text(round % 7 == 0 ? "ab.<" : "ab.hr ef='/", 4);
      pass.address = text("ab.h/&'", 8);
    }
    if (round % 5 == 0) passes.push_back(passes.front());
    ASSERT_EQ(LinkFileNames(page, passes), LinkFileNamesOneByOne(page, passes)) << "round " << round;
  }
}

}  // namespace
}  // namespace pagesift
