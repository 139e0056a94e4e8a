// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/url_helpers.h"

#include <gtest/gtest.h>

namespace pagesift {
namespace {

struct Case {
  std::string in;
  std::string out;
};

TEST(UrlDirectory, CutsBackToTheDirectory) {
  const Case cases[] = {
      {"http://host/a/b/page.html", "http://host/a/b/"},
      {"http://host/a/b/", "http://host/a/"},
      {"http://host/a/b//", "http://host/a/b/"},  // only one trailing "/" is dropped
      {"http://host/", "host/"},                  // nothing left above the host: the scheme is lost
      {"host", "host/"},
      {"file:///site/a/page.html", "file:///site/a/"},
      {"HTTP://Host/A/b.htm", "http://Host/A/"},
      {"HTTPS://Host/A/b.htm", "https://Host/A/"},
      // every prefix goes; the first one is put back
      {"https://host/go?to=http://x/y", "https://host/go?to=x/"},
      {"http://host/go?to=https://x/y", "http://host/go?to=x/"},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlDirectory(c.in), c.out) << c.in;
}

TEST(FileNamePart, TakesTheLastSegmentCleaned) {
  const Case cases[] = {
      {"http://host/dir/pic.gif", "pic.gif"},
      {"a.jpg", "a.jpg"},
      {"http://host/dir/", ""},
      {"pic.gif BORDER=0", "pic.gif0"},
      {"\"pic.gif\"", "pic.gif"},
      {"a/bhttps://c.gif", "bc.gif"},  // the prefix goes before the last "/" is looked for
  };
  for (const Case& c : cases) EXPECT_EQ(FileNamePart(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace pagesift
