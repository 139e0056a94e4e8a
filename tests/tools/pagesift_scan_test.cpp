#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace pagesift {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs pagesift-scan with `arguments` (already quoted for the shell) in `folder`.
Outcome RunScan(const test::TestFolder& folder, const std::string& arguments, const std::string& input = "") {
  folder.Write("stdin.txt", input);
  const std::string command = "cd '" + folder.path() + "' && '" PAGESIFT_SCAN_EXE "' " + arguments +
                              " <stdin.txt >stdout.txt 2>stderr.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.Read("stdout.txt"), folder.Read("stderr.txt")};
}

TEST(PagesiftScan, PrintsTheImageTagsThenTheImageLinks) {
  test::TestFolder folder;
  folder.Write("page.html", "<a href='big.jpg'><img src='small.gif'></a><img src='/x/y.png'>");
  const Outcome run = RunScan(folder, "--url http://h/a/p.html --out views page.html");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "img\tsmall.gif\thttp://h/a/small.gif\n"
            "img\ty.png\thttp://h/x/y.png\n"
            "link\tbig.jpg\thttp://h/a/big.jpg\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(folder.Read("views/checkImages.txt"), "\r\n");
  EXPECT_NE(folder.Read("views/imagepage.html").find("http://h/x/y.png"), std::string::npos);

  // From standard input, into the current folder; no address: the page directory is "/".
  const Outcome fromInput = RunScan(folder, "-", "<img src=\"a.gif\">");
  EXPECT_EQ(fromInput.out, "img\ta.gif\t/a.gif\n");
  EXPECT_EQ(folder.Read("source.htm"), "&lt;img src=\"<a href='/a.gif'>a.gif</a>\">\r\n");
}

// The first entries are kept, up to the list limit, and the rest are counted.
TEST(PagesiftScan, SaysWhatAFullListLeftOut) {
  test::TestFolder folder;
  std::string page;
  for (int i = 0; i < 32'770; ++i) page += "<img src='" + std::to_string(i) + ".gif'>";
  folder.Write("page.html", page);
  const Outcome run = RunScan(folder, "--url http://h/a/p.html page.html");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 32'767);
  EXPECT_TRUE(run.out.ends_with("\nimg\t32766.gif\thttp://h/a/32766.gif\n"));
  EXPECT_EQ(run.err, "pagesift-scan: img list full at 32767 entries: 3 more references not listed\n");
}

TEST(PagesiftScan, ExitsWithAClearMessageOnBadUseOrUnusableFiles) {
  test::TestFolder folder;
  folder.Write("page.html", "<img src='a.gif'>");
  folder.Write("a-file", "");
  struct Case {
    const char* arguments;
    int status;
    const char* mentions;
  } cases[] = {
      {"", 2, "no FILE given"},
      {"--url", 2, "--url needs a value"},
      {"--bogus page.html", 2, "unknown option '--bogus'"},
      {"page.html other.html", 2, "only one FILE"},
      {"missing.html", 1, "missing.html"},
      {"--out a-file/views page.html", 1, "a-file/views"},
      {"--format xml page.html", 2, "unknown format 'xml'"},
      {"--help", 0, ""},
      {"--version", 0, ""},
  };
  for (const Case& c : cases) {
    const Outcome run = RunScan(folder, c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_NE(run.err.find(c.mentions), std::string::npos) << c.arguments << ": " << run.err;
    if (c.status != 0) {
      EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    }
  }
}

}  // namespace
}  // namespace pagesift
