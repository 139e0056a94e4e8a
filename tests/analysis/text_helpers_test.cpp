#include "analysis/text_helpers.h"

#include <gtest/gtest.h>

#include "analysis/text_file.h"
#include "support/test_folder.h"

namespace pagesift {
namespace {

TEST(ReplaceAll, ScansOnceLeftToRightWithoutOverlapOrRescanning) {
  struct Case {
    const char* text;
    const char* find;
    const char* with;
    const char* result;
  } cases[] = {
      {"aaaa", "aa", "b", "bb"},
      {"aaa", "aa", "b", "ba"},                // non-overlapping, leftmost first
      {"abc", "b", "bb", "abbc"},              // inserted text is not scanned again
      {"\r\n\r\n\r\n", "\r\n\r\n", "\r\n", "\r\n\r\n"},  // one pass shortens a run, does not collapse it
      {"abc", "", "x", "abc"},                 // an empty search text changes nothing
      {"", "a", "b", ""},
      {"Pic.GIF pic.gif", "pic.gif", "X", "Pic.GIF X"},  // case counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.find, c.with), c.result) << c.text << " / " << c.find;
  }
}

TEST(ReplaceAllNoCase, MatchesAsciiLettersInAnyCase) {
  EXPECT_EQ(ReplaceAllNoCase("<IMG a><Img b><img c>", "<img", "[x]"), "[x] a>[x] b>[x] c>");
  EXPECT_EQ(ReplaceAllNoCase("HTTP://a http://b HtTp://c", "http://", ""), "a b c");
  EXPECT_EQ(ReplaceAllNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9", "e"), "\xC3\x89te");  // only ASCII folds
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
      {"a\r\n\nb", {"a", "\nb"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines);
}

TEST(TextFile, WritesReplaceTheFileAndAppendCrLf) {
  test::TestFolder folder;
  const std::string path = folder.File("f.txt");
  WriteTextFile(path, "first version, longer");
  WriteTextFile(path, "second");
  EXPECT_EQ(folder.Read("f.txt"), "second\r\n");
  AppendTextLine(path, "");
  EXPECT_EQ(folder.Read("f.txt"), "second\r\n\r\n");
  EXPECT_THROW(WriteTextFile(folder.File("no/such/folder.txt"), "x"), FileError);
  EXPECT_THROW(ReadWholeFile(folder.File("missing.txt")), FileError);
}

}  // namespace
}  // namespace pagesift
