// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/image_page.h"

#include <gtest/gtest.h>

#include "helpers/test_folder.h"

namespace pagesift {
namespace {

AnalysisLists ImageTags(const std::vector<std::string>& addresses) {
  AnalysisLists lists;
  for (const std::string& address : addresses) {
    lists.Links[AnalysisLists::kImgTags].AddItem(address);
    lists.frmList[AnalysisLists::kImgTags].AddItem("name");
  }
  return lists;
}

TEST(GalleryAddress, PutsHttpOnlyInFrontOfAddressesWithoutAScheme) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://x/a.gif", "http://x/a.gif"},
      {"FILE:/x/a.gif", "FILE:/x/a.gif"},
      {"host/img/a.gif", "http://host/img/a.gif"},
      {"a1://x/a.gif", "http://a1://x/a.gif"},  // letters only before "://"
      {"", "http://"},
  };
  for (const auto& [listed, used] : cases) EXPECT_EQ(GalleryAddress(listed), used) << listed;
}

// Whole pages' image views are checked byte for byte with AnalysePage.
TEST(BuildImagePage, WritesOneBlockPerImageOnOneLine) {
  struct Case {
    std::vector<std::string> addresses;
    std::string file;
  } cases[] = {
      {{"host/a.gif", "http://h/b.gif"},
       "<a href='http://host/a.gif'><img src='http://host/a.gif'></a><BR>host/a.gif<BR><BR><BR>"
       "<a href='http://h/b.gif'><img src='http://h/b.gif'></a><BR>http://h/b.gif<BR><BR><BR>\r\n"},
      // an address cannot close its attribute; the text under the picture reads as listed
      {{"http://h/a'b\"c<d>&e.gif"},
       "<a href='http://h/a&#39;b&quot;c&lt;d&gt;&amp;e.gif'><img src='http://h/a&#39;b&quot;c&lt;d&gt;&amp;e.gif'>"
       "</a><BR>http://h/a'b\"c&lt;d>&amp;e.gif<BR><BR><BR>\r\n"},
  };
  for (const Case& c : cases) {
    test::TestFolder folder;
    EXPECT_TRUE(BuildImagePage(ImageTags(c.addresses), folder.path()));
    EXPECT_EQ(folder.Read("imagepage.html"), c.file);
  }
}

}  // namespace
}  // namespace pagesift
