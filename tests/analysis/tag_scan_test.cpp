// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/tag_scan.h"

#include <gtest/gtest.h>

#include "analysis/text_file.h"
#include "helpers/test_folder.h"

namespace pagesift {
namespace {

constexpr const char* kPage = "http://host/a/b/page.html";

using Finds = std::vector<std::string>;  // "name address", one a find

Finds Pair(const AnalysisLists& lists, size_t pair) {
  Finds finds;
  EXPECT_EQ(lists.Links[pair].ListCount(), lists.frmList[pair].ListCount());
  for (size_t i = 0; i < lists.Links[pair].ListCount(); ++i) {
    finds.push_back(lists.frmList[pair].List(i) + " " + lists.Links[pair].List(i));
  }
  return finds;
}

// Runs one scan over `page` as the captured page text.
Finds Scan(const ScanFamily& family, const std::string& page, const std::string& url = kPage) {
  test::TestFolder folder;
  WriteTextFile(folder.File("checkImages.txt"), page);
  AnalysisLists lists;
  ScanTags(family, url, folder.path(), lists);
  return Pair(lists, family.pair);
}

struct ScanCase {
  const char* source;
  Finds finds;
};

// Where the references lead is ResolveReference's table below; these cases
// are about finding them.
TEST(ExtractImgTags, FollowsTheLineAndTagRules) {
  const ScanCase cases[] = {
      {"<img src=\"pic.gif\">", {"pic.gif http://host/a/b/pic.gif"}},
      {"<IMG SRC='/img/pic.gif'>", {"pic.gif http://host/img/pic.gif"}},
      {"<img src='pic.gif'\r\nalt='x'>", {"pic.gif http://host/a/b/pic.gif"}},
      {"<img data-src='a.gif' src='b.gif'>", {"a.gif http://host/a/b/a.gif"}},
      {"<img src='pic.gif' border=0>", {"pic.gif http://host/a/b/pic.gif"}},
      // first occurrence of a file name wins, wherever it lives
      {"<img src='a/pic.gif'><img src='b/pic.gif'>", {"pic.gif http://host/a/b/a/pic.gif"}},
      // tags keep the order of the line
      {"<p><img src='z.gif'> text <img src='y.gif'></p>",
       {"z.gif http://host/a/b/z.gif", "y.gif http://host/a/b/y.gif"}},
      // the engine writes line breaks as LF: one line, still one tag per line after the split
      {"<body>\n<img src=\"a.gif\">\n<p>\n<img src=\"b.gif\"></body>",
       {"a.gif http://host/a/b/a.gif", "b.gif http://host/a/b/b.gif"}},
      // the name as the page shows it, the address as a browser reads the attribute
      {"<img src=\"a.png?x=1&amp;y=2\">", {"a.png?x=1&amp;y=2 http://host/a/b/a.png?x=1&y=2"}},
      {"<img src='/p.gif?q=&amp;amp;&amp;lt;&lt;&gt;&quot;&#39;'>",
       {"p.gif?q=&amp;amp;&amp;lt;&lt;&gt;&quot;&#39; http://host/p.gif?q=&amp;&lt;<>\"'"}},
      {"<img src='p.gif?&AMP;&#38;&amp&amp;#39;&&#x26;'>",
       {"p.gif?&AMP;&#38;&amp&amp;#39;&&#x26; http://host/a/b/p.gif?&AMP;&#38;&amp&#39;&&#x26;"}},
      // names are told apart as the page shows them, whatever their addresses
      {"<img src='p.gif?a&amp;b'><img src='p.gif?a&b'>",
       {"p.gif?a&amp;b http://host/a/b/p.gif?a&b", "p.gif?a&b http://host/a/b/p.gif?a&b"}},
      {"<img src='../x/p.gif?a&amp;b'><img src='//cdn/q&lt;.gif'>",
       {"p.gif?a&amp;b http://host/x/p.gif?a&b", "q&lt;.gif http://cdn/q<.gif"}},
      // "src=" in the next source line: nothing
      {"<img\r\nsrc='x.gif'>", {}},
      {"<p>no images</p>", {}},
  };
  for (const ScanCase& c : cases) EXPECT_EQ(Scan(kImgTagScan, c.source), c.finds) << c.source;
}

TEST(ExtractImageLinks, ListsLinksOnLinesThatMentionAnImage) {
  const ScanCase cases[] = {
      {"<a href='big.jpg'>", {"big.jpg http://host/a/b/big.jpg"}},
      {"<A HREF='PICS/BIG.JPG'>", {"BIG.JPG http://host/a/b/PICS/BIG.JPG"}},
      {"<a href='/cgi-bin/i/pics/a.jpg'>", {"a.jpg http://host/pics/a.jpg"}},
      {"<a href='page.html'><img src='t.gif'></a>", {"page.html http://host/a/b/page.html"}},
      {"<a href='page.html'>text</a>", {}},
      {"<a name='top'>x.gif</a>", {}},
      {"<a href='photo.png'>photo</a>", {}},
      {"<a\thref='x.gif'>", {}},              // a tab is not the blank after "a"
      {"<a href='x.gif'\r\ntitle='t'>", {}},  // no ">" on the tag's line
      {"<a href='x.jpeg'>1</a><a href='y/x.jpeg'>2</a>", {"x.jpeg http://host/a/b/x.jpeg"}},
      {"<a href=\"big.jpg?w=1&amp;h=2\">", {"big.jpg?w=1&amp;h=2 http://host/a/b/big.jpg?w=1&h=2"}},
      // the first line ends right after "href=": nothing to list there, and the scan goes on
      {"<a title='x.gif>' href=\r\n'a.gif'>\r\n<a href='b.gif'>", {"b.gif http://host/a/b/b.gif"}},
  };
  for (const ScanCase& c : cases) EXPECT_EQ(Scan(kImageLinkScan, c.source), c.finds) << c.source;
}

TEST(ScanTags, LeavesOneTagPerLineInTheCleanFile) {
  test::TestFolder folder;
  WriteTextFile(folder.File("checkImages.txt"), "x<IMG src='a.gif'>y<img src='b.gif'>\r\n\r\nz");
  AnalysisLists lists;
  ExtractImgTags(kPage, folder.path(), lists);
  EXPECT_EQ(folder.Read("checkImagesClean.txt"), "<img src='a.gif'>y\r\n<img src='b.gif'>\r\n\r\n");

  WriteTextFile(folder.File("checkImages.txt"), "<p>nothing</p>");
  ExtractImgTags(kPage, folder.path(), lists);
  EXPECT_EQ(folder.Read("checkImagesClean.txt"), "\r\n");
}

TEST(PageDirectory, CutsPagesBackButKeepsDirectoriesAndBareHosts) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://host/a/b/page.html", "http://host/a/b/"},
      {"http://host/a/b/", "http://host/a/b/"},
      {"http://www.example.com", "http://www.example.com"},
      {"http://www.example.org", "www.example.org/"},
      {"http://example.COM", "example.COM/"},  // the endings compare with case
      {"", "/"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(PageDirectory(in), out) << in;
}

struct ResolveCase {
  const char* reference;
  const char* directory;
  std::optional<std::string> address;
  bool filePage = false;
};

TEST(ResolveReference, AppliesTheAddressingRulesInOrder) {
  const std::string memberPages = "http://HomePages.PageSift.example/~ann/pics/";
  const ResolveCase cases[] = {
      // absolute, parent-relative, root-relative, relative
      {"pic.gif", "http://host/a/b/", "http://host/a/b/pic.gif"},
      {"/img/pic.gif", "http://host/a/b/", "http://host/img/pic.gif"},
      {"/img/pic.gif", "http://host", "http://img/pic.gif"},             // no "/" after the host: empty host part
      {"../x/../pic.gif", "http://host/a/b/", "http://host/x/pic.gif"},  // every "../" goes, two levels up
      {"../img/pic.gif", "http://host/", "host/img/pic.gif"},            // top of a site loses the scheme
      {"pic.gif", "host/a/", "host/a/pic.gif"},
      {"pic.gif", "http://www.example.com", "http://www.example.com/pic.gif"},  // a bare host
      {"x/http://y/pic.gif", "http://host/a/", "x/http://y/pic.gif"},
      // only relative references move to the files host
      {"pic.gif", memberPages.c_str(), "http://files.pagesift.example/~ann/pics/pic.gif"},
      {"/pic.gif", memberPages.c_str(), "http://HomePages.PageSift.example/pic.gif"},
      {"../pic.gif", memberPages.c_str(), "http://HomePages.PageSift.example/pic.gif"},
      {"http://x/pic.gif", memberPages.c_str(), "http://x/pic.gif"},
      // secure addresses as plain ones
      {"https://cdn.example.com/x.jpg", "https://host/a/b/", "https://cdn.example.com/x.jpg"},
      {"HTTPS://CDN/X.JPG", "http://host/a/b/", "HTTPS://CDN/X.JPG"},
      {"pic.gif", "https://host/a/b/", "https://host/a/b/pic.gif"},
      {"/img/pic.gif", "HTTPS://host/a/", "https://host/img/pic.gif"},
      {"../pic.gif", "https://host/a/b/", "https://host/pic.gif"},
      // network paths take the page's scheme, even when they hold a web address later
      {"//cdn.example.com/x.jpg", "https://host/a/", "https://cdn.example.com/x.jpg"},
      {"//cdn.example.com/x.jpg", "file:///site/", "http://cdn.example.com/x.jpg"},
      {"//cdn.example.com/x.jpg", "host/", "http://cdn.example.com/x.jpg"},
      {"//cdn/r.gif?u=http://x/y", "https://host/a/", "https://cdn/r.gif?u=http://x/y"},
      // schemes: a local file only from a local page, ftp kept, every other one dropped
      {"file:///c/x.gif", "http://host/", std::nullopt},
      {"FILE:///dev/zero", "https://host/", std::nullopt},
      {"file:///c/x.gif", "file:///site/", "file:///c/x.gif", true},
      {"FTP://h/x.gif", "http://host/", "FTP://h/x.gif"},
      {"data:image/gif;base64,R0lGODlh", "http://host/", std::nullopt},
      {"JavaScript:alert(1)//http://x.gif", "http://host/", std::nullopt},
      {"blob:https://host/1234", "http://host/", std::nullopt},
      {"mailto:me@x.gif", "http://host/", std::nullopt},
      {"svn+ssh:x.gif", "http://host/", std::nullopt},
      {"http:x.gif", "http://host/a/", "http://host/a/http:x.gif"},  // a web scheme goes on to the rules
      {"1x:y.gif", "http://host/a/", "http://host/a/1x:y.gif"},      // a scheme begins with a letter
      // root-relative on pages without a web prefix
      {"/img/p.gif", "file:///site/a/", "file:///img/p.gif"},
      {"/img/p.gif", "ftp://host/a/", "ftp://host/img/p.gif"},
      {"/img/p.gif", "ftp://host.com", "ftp://host.com/img/p.gif"},
      {"/img/p.gif", "site/a/", "/img/p.gif"},
  };
  for (const ResolveCase& c : cases) {
    EXPECT_EQ(ResolveReference(c.reference, c.directory, c.filePage), c.address)
        << c.reference << " on " << c.directory;
  }
}

using ReferenceCase = std::pair<const char*, std::optional<std::string>>;

TEST(TakeReference, ReadsValuesAsABrowserDoes) {
  const ReferenceCase imgCases[] = {
      {"<img src=pic.gif alt=x>", "pic.gif"},
      {"<img src=pic.gif", "pic.gif"},
      {"<img alt='a>b' src='pic.gif'>", "pic.gif"},  // a ">" before the keyword
      // unquoted is decided right after the keyword, whatever follows
      {"<img src=pic.gif alt=\"x\">", "pic.gif"},
      {"<img src=pic.gif\talt='x'>", "pic.gif"},
      {"<img src=\\\"https:\\/\\/cdn\\/x.jpg\\\">", "\\https:\\/\\/cdn\\/x.jpg\\"},
      {"<img src=href=\"x.gif\">", "x.gif"},
      {"<img src=\"a.gif>", "a.gif>"},  // a quoted value that is never closed runs to the tag end
      // blanks around the address go, tabs and line breaks inside it too
      {"<img src=\"  https://cdn/x.jpg \">", "https://cdn/x.jpg"},
      {"<img src=\"\r\n\tpic.gif\f\">", "pic.gif"},
      {"<img src=\"a\tb\nc\rd.gif\">", "abcd.gif"},
      {"<img src=\"a b\fc.gif\">", "a b\fc.gif"},  // spaces and form feeds inside stay
  };
  for (const auto& [line, reference] : imgCases) EXPECT_EQ(TakeReference(line, kImgTagScan), reference) << line;
  const char* empty[] = {"<img src=\"\" class=\"lazy\">",
                         "<img src='' alt='a.gif'>",
                         "<img src= alt=x.gif>",
                         "<img src=>",
                         "<img src=\" \">",
                         "<img src=",
                         "<img src=\"\t\n\">",
                         "<img src=\"",
                         "<img src=\f>"};
  for (const char* line : empty) EXPECT_EQ(TakeReference(line, kImgTagScan), std::nullopt) << line;

  const ReferenceCase linkCases[] = {
      {"<a href=big.jpg title=\"x\">", "big.jpg"},
      {"<a title='>' href='x.gif'>", "x.gif"},
      {"<a href='href=x.gif'>", "x.gif"},
      {"<a href=\"\" title='x.gif'>", std::nullopt},
  };
  for (const auto& [line, reference] : linkCases) EXPECT_EQ(TakeReference(line, kImageLinkScan), reference) << line;
}

TEST(ScanTags, StopsListingAddressesPastTheByteLimit) {
  // A page can make its own address long; every relative reference repeats it.
  const std::string url = "http://host/" + std::string(size_t{1} << 20, 'd') + "/page.html";
  std::string page;
  for (int i = 0; i < 40; ++i) page += "<img src='p" + std::to_string(i) + ".gif'>";
  page += "<img src='http://x/short.gif'><img src='p0.gif'>";
  test::TestFolder folder;
  WriteTextFile(folder.File("checkImages.txt"), page);
  AnalysisLists lists;
  ExtractImgTags(url, folder.path(), lists);
  const StringList& links = lists.Links[AnalysisLists::kImgTags];
  ASSERT_EQ(links.ListCount(), 32u);  // 31 long addresses, then the short one still fits
  EXPECT_EQ(links.List(31), "http://x/short.gif");
  EXPECT_LE(links.TotalBytes(), kMaxListedAddressBytes);
  EXPECT_EQ(lists.frmList[AnalysisLists::kImgTags].ListCount(), 32u);
  EXPECT_EQ(lists.dropped[AnalysisLists::kImgTags].atByteLimit, 9u);  // the repeated p0.gif is a duplicate
  EXPECT_EQ(lists.dropped[AnalysisLists::kImgTags].atEntryLimit, 0u);
}

}  // namespace
}  // namespace pagesift
