// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "helpers/test_folder.h"

namespace pagesift {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs pagesift-scan with `arguments` (already quoted for the shell; a
// redirection among them wins over the ones made here) in `folder`.
Outcome RunScan(const test::TestFolder& folder, const std::string& arguments, const std::string& input = "") {
  folder.Write("stdin.txt", input);
  const std::string command =
      "cd '" + folder.path() + "' && '" PAGESIFT_SCAN_EXE "' <stdin.txt >stdout.txt 2>stderr.txt " + arguments;
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.Read("stdout.txt"), folder.Read("stderr.txt")};
}

TEST(PagesiftScan, PrintsTheFindsAndCountsWhatAFullListLeftOut) {
  test::TestFolder folder;
  folder.Write("page.html", "<a href='big.jpg'><img src='small.gif'></a><img src='/x/y.png?w=1&amp;h=2'>");
  const Outcome run = RunScan(folder, "--url http://h/a/p.html --out views page.html");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "img\tsmall.gif\thttp://h/a/small.gif\n"
            "img\ty.png?w=1&amp;h=2\thttp://h/x/y.png?w=1&h=2\n"
            "link\tbig.jpg\thttp://h/a/big.jpg\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(folder.Read("views/checkImages.txt"), "\r\n");
  EXPECT_NE(folder.Read("views/imagepage.html").find("http://h/x/y.png?w=1&amp;h=2'"), std::string::npos);

  // Options the GNU way, after FILE too.
  const Outcome json = RunScan(folder, "page.html --format=json --url=http://h/a/p.html --out views");
  EXPECT_EQ(json.out,
            "{\"list\":\"img\",\"name\":\"small.gif\",\"address\":\"http://h/a/small.gif\"}\n"
            "{\"list\":\"img\",\"name\":\"y.png?w=1&amp;h=2\",\"address\":\"http://h/x/y.png?w=1&h=2\"}\n"
            "{\"list\":\"link\",\"name\":\"big.jpg\",\"address\":\"http://h/a/big.jpg\"}\n");

  // From standard input, into the current folder; no address: the page directory is "/".
  const Outcome fromInput = RunScan(folder, "-", "<img src=\"a.gif\">");
  EXPECT_EQ(fromInput.out, "img\ta.gif\t/a.gif\n");
  EXPECT_EQ(folder.Read("source.htm"), "&lt;img src=\"<a href='/a.gif'>a.gif</a>\">\r\n");

  // The first entries are kept, up to the list limit, and the rest are counted.
  std::string page;
  for (int i = 0; i < 32'770; ++i) page += "<img src='" + std::to_string(i) + ".gif'>";
  folder.Write("page.html", page);
  const Outcome full = RunScan(folder, "--url http://h/a/p.html page.html");
  EXPECT_EQ(full.status, 0) << full.err;
  EXPECT_EQ(std::count(full.out.begin(), full.out.end(), '\n'), 32'767);
  EXPECT_TRUE(full.out.ends_with("\nimg\t32766.gif\thttp://h/a/32766.gif\n"));
  EXPECT_EQ(full.err, "pagesift-scan: img list full at 32767 entries: 3 more references not listed\n");
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
      {"page.html other.html", 2, "only one FILE"},
      {"--bogus=x page.html", 2, "unknown option '--bogus'"},
      {"-x page.html", 2, "unknown option '-x'"},
      {"--help=x", 2, "--help takes no value"},
      {"missing.html", 1, "cannot read the page 'missing.html': cannot open for reading: No such file or directory"},
      {"-- --url", 1, "'--url': cannot open for reading: No such file or directory"},  // "--" ends the options
      {"--out=a-file/views page.html", 1, "'a-file/views': cannot create the folder: Not a directory"},
      {"page.html >/dev/full", 1, "cannot write the finds to standard output: No space left on device"},
      {"--format=xml page.html", 2, "unknown format 'xml'"},
      {"--help", 0, ""},
      {"-h", 0, ""},
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
