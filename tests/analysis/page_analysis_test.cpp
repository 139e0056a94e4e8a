// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/page_analysis.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "analysis/text_file.h"
#include "analysis/working_files.h"
#include "helpers/test_folder.h"

namespace pagesift {
namespace {

// Runs `fn` in a child process whose writes past `bytes` fail, as on a full
// disk; whether it returned true.
bool RunWithFileSizeLimit(rlim_t bytes, const std::function<bool()>& fn) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(fn() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

PageAnalysis Process(const test::TestFolder& folder, const std::optional<std::string>& page, const std::string& url,
                     AnalysisLists& lists) {
  return AnalysePage(
      page, [url] { return url; }, folder.path(), lists);
}

TEST(AnalysePage, WritesBothViewsOfWholePagesExactly) {
  // The image that links to its big picture: the thumbnail's anchor nests
  // whole inside the link's anchor.
  const std::string nested =
      "<a href='http://example.org/pets/big/cat.jpg'><a href='http://example.org/pets/thumbs/cat.jpg'>cat.jpg</a></a>";
  struct Case {
    std::string url;
    std::optional<std::string> page;  // none: nothing was captured
    std::string source;
    std::string images;
  } cases[] = {
      {"http://example.org/pets/index.html",
       "<body>\n<h1>Gallery</h1>\n<a href=\"big/cat.jpg\"><img src=\"thumbs/cat.jpg\" alt=\"cat\"></a>\n"
       "<img src=\"/logo.png\">\n</body>",
       "&lt;body><BR>&lt;h1>Gallery&lt;/h1><BR>&lt;a href=\"big/" + nested + "\">&lt;img src=\"thumbs/" + nested +
           "\" alt=\"cat\">&lt;/a><BR>&lt;img src=\"/<a href='http://example.org/logo.png'>logo.png</a>\"><BR>"
           "&lt;/body>\r\n",
       "<a href='http://example.org/pets/thumbs/cat.jpg'><img src='http://example.org/pets/thumbs/cat.jpg'></a><BR>"
       "http://example.org/pets/thumbs/cat.jpg<BR><BR><BR>"
       "<a href='http://example.org/logo.png'><img src='http://example.org/logo.png'></a><BR>"
       "http://example.org/logo.png<BR><BR><BR>\r\n"},
      {"https://shop.example/items/list.html",
       "<div>\r\n<IMG SRC='//cdn.example/p/a.gif'><img src=\"data:image/gif;base64,R0lG\"><img src=x.gif></div>",
       "&lt;div><BR><BR>&lt;IMG SRC='//cdn.example/p/<a href='https://cdn.example/p/a.gif'>a.gif</a>'>"
       "&lt;img src=\"data:image/gif;base64,R0lG\">&lt;img src=<a href='https://shop.example/items/x.gif'>x.gif</a>>"
       "&lt;/div>\r\n",
       "<a href='https://cdn.example/p/a.gif'><img src='https://cdn.example/p/a.gif'></a><BR>"
       "https://cdn.example/p/a.gif<BR><BR><BR>"
       "<a href='https://shop.example/items/x.gif'><img src='https://shop.example/items/x.gif'></a><BR>"
       "https://shop.example/items/x.gif<BR><BR><BR>\r\n"},
      // addresses are made from the references as a browser reads them; the
      // view links the names as the page shows them
      {"http://host/d/p.html",
       "<a href=\"big.jpg?w=1&amp;h=2\"><img src=\"a.png?x=1&amp;y=2\"></a><img src=\"b.png?t=&amp;amp;\">",
       "&lt;a href=\"<a href='http://host/d/big.jpg?w=1&amp;h=2'>big.jpg?w=1&amp;h=2</a>\">"
       "&lt;img src=\"<a href='http://host/d/a.png?x=1&amp;y=2'>a.png?x=1&amp;y=2</a>\">&lt;/a>"
       "&lt;img src=\"<a href='http://host/d/b.png?t=&amp;amp;'>b.png?t=&amp;amp;</a>\">\r\n",
       "<a href='http://host/d/a.png?x=1&amp;y=2'><img src='http://host/d/a.png?x=1&amp;y=2'></a><BR>"
       "http://host/d/a.png?x=1&amp;y=2<BR><BR><BR>"
       "<a href='http://host/d/b.png?t=&amp;amp;'><img src='http://host/d/b.png?t=&amp;amp;'></a><BR>"
       "http://host/d/b.png?t=&amp;amp;<BR><BR><BR>\r\n"},
      {"http://host/", std::nullopt, "\r\n", "\r\n"},
  };
  for (const Case& c : cases) {
    test::TestFolder folder;
    AnalysisLists lists;
    lists.Links[1].AddItem("http://old/a.gif");  // the last page's finds go
    lists.frmList[1].AddItem("a.gif");
    const PageAnalysis result = Process(folder, c.page, c.url, lists);
    EXPECT_EQ(lists.Links[1].ListCount(), c.page ? 2u : 0u) << c.url;
    EXPECT_EQ(result.skipped.size(), c.page ? 0u : 1u) << c.url;  // the capture, when there was none
    EXPECT_EQ(folder.Read("source.htm"), c.source) << c.url;
    EXPECT_EQ(folder.Read("imagepage.html"), c.images) << c.url;
    for (const char* name : {"checkImages.txt", "checkImagesClean.txt", "browser.txt", "images.htm"}) {
      EXPECT_EQ(folder.Read(name), "\r\n") << name;
    }
  }
}

TEST(AnalysePage, AsksForTheBrowserAddressOncePerScan) {
  test::TestFolder folder;
  AnalysisLists lists;
  int asked = 0;
  const auto location = [&asked] { return ++asked == 1 ? std::string("http://h/one/p.html") : "http://h/two/p.html"; };
  AnalysePage("<a href='a.gif'><img src='b.gif'></a>", location, folder.path(), lists);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(lists.Links[AnalysisLists::kImgTags].List(0), "http://h/one/b.gif");
  EXPECT_EQ(lists.Links[AnalysisLists::kImageLinks].List(0), "http://h/two/a.gif");
}

TEST(AnalysePage, SkipsWhatCannotBeWrittenAndGoesOn) {
  test::TestFolder folder;
  for (const char* name : {"browser.txt", "images.htm"}) folder.Write(name, "old");
  std::filesystem::create_directory(folder.File("checkImagesClean.txt"));  // cannot be opened as a file

  AnalysisLists lists;
  const PageAnalysis result = Process(folder, "<img src='a.gif'>", "http://h/p.html", lists);
  EXPECT_EQ(result.skipped.size(), 3u);  // both scans and the reset
  EXPECT_EQ(lists.Links[1].ListCount(), 0u);
  EXPECT_EQ(folder.Read("source.htm"), "&lt;img src='a.gif'>\r\n");
  EXPECT_EQ(folder.Read("imagepage.html"), "\r\n");
  // The reset stops at the file it cannot write; the files after it keep their content.
  EXPECT_EQ(folder.Read("checkImages.txt"), "\r\n");
  EXPECT_EQ(folder.Read("browser.txt"), "old");
  EXPECT_EQ(folder.Read("images.htm"), "old");
}

// A link, FIFO or folder named like a working file is never opened: start-up
// refuses the folder, and a run skips the step that needs the file without
// touching what a link points to.
TEST(WorkingFiles, RefusesWhatIsNotARegularFile) {
  for (const char* name : {"checkImagesClean.txt", "source.htm", "imagepage.html"}) {
    for (const std::string_view kind : {"fifo", "link", "folder"}) {
      test::TestFolder folder;
      folder.Write("elsewhere.txt", "keep me");
      const std::string path = folder.File(name);
      if (kind == "fifo") {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
      }
      if (kind == "link") std::filesystem::create_symlink(folder.File("elsewhere.txt"), path);
      if (kind == "folder") std::filesystem::create_directory(path);
      EXPECT_THROW(CreateMissingWorkingFiles(folder.path()), FileError) << name << " " << kind;

      AnalysisLists lists;
      const PageAnalysis result = Process(folder, "<img src='a.gif'>", "http://h/p.html", lists);
      EXPECT_FALSE(result.skipped.empty()) << name << " " << kind;
      EXPECT_EQ(folder.Read("elsewhere.txt"), "keep me") << name << " " << kind;
    }
  }
}

// A disk that fills up while a view is written leaves the old view whole.
TEST(AnalysePage, NeverLeavesACutView) {
  test::TestFolder folder;
  CreateMissingWorkingFiles(folder.path());
  folder.Write("source.htm", "old view\r\n");
  EXPECT_TRUE(RunWithFileSizeLimit(4096, [&] {
    AnalysisLists lists;
    return !Process(folder, std::string(10'000, 'x'), "http://h/p.html", lists).skipped.empty();
  }));
  EXPECT_EQ(folder.Read("source.htm"), "old view\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << "left behind: " << entry.path();
  }
}

// A write that fails leaves the file as the failure left it, and the next
// step reads exactly that: here checkImages.txt, cut off by a full disk, still
// holds the end of the last page, and the scans list what stands there.
TEST(AnalysePage, ScansWhatAFailedSaveLeftInTheFile) {
  test::TestFolder folder;
  CreateMissingWorkingFiles(folder.path());
  folder.Write("checkImages.txt", std::string(8192, 'y') + "\r\n<img src='old.gif'><a href='big.jpg'>");
  EXPECT_TRUE(RunWithFileSizeLimit(4096, [&] {
    AnalysisLists lists;
    Process(folder, std::string(6000, 'x'), "http://h/p.html", lists);  // too long for the disk
    return lists.Links[AnalysisLists::kImageLinks].ListCount() == 1;
  })) << "the link scan did not read the old file";
  EXPECT_EQ(folder.Read("imagepage.html"),
            "<a href='http://h/old.gif'><img src='http://h/old.gif'></a><BR>http://h/old.gif<BR><BR><BR>\r\n");
}

TEST(CreateMissingWorkingFiles, CreatesOnlyWhatIsMissing) {
  test::TestFolder folder;
  folder.Write("source.htm", "last page");
  folder.Write("imagepage.html", "");
  CreateMissingWorkingFiles(folder.path());
  EXPECT_EQ(folder.Read("source.htm"), "last page");
  EXPECT_EQ(folder.Read("imagepage.html"), "");
  for (const char* name : {"browser.txt", "images.htm", "checkImages.txt", "checkImagesClean.txt"}) {
    EXPECT_EQ(folder.Read(name), "\r\n") << name;
  }
}

}  // namespace
}  // namespace pagesift
