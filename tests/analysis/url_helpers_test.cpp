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
  const std::string longPath(100000, 'x');
  const Case cases[] = {
      {"http://host/a/b/page.html", "http://host/a/b/"},
      {"http://host/a/b/", "http://host/a/"},
      {"http://host/a", "http://host/"},
      {"http://host/", "host/"},  // nothing left above the host: the scheme is lost
      {"http://host", "host/"},
      {"host/a/b", "host/a/"},
      {"host", "host/"},
      {"", "/"},
      {"http://", "/"},
      {"http://host/a/b//", "http://host/a/b/"},  // only one trailing "/" is dropped
      {"HTTP://Host/A/b.htm", "http://Host/A/"},
      {"http://host/go?to=http://x/y", "http://host/go?to=x/"},
      {"file:///site/a/page.html", "file:///site/a/"},
      {"http://host/" + longPath + "/p.html", "http://host/" + longPath + "/"},
      // the secure prefix like the plain one
      {"https://host/a/b", "https://host/a/"},
      {"HTTPS://Host/A/b.htm", "https://Host/A/"},
      {"https://host/", "host/"},
      {"https://host/go?to=http://x/y", "https://host/go?to=x/"},  // the first prefix is put back
      {"http://host/go?to=https://x/y", "http://host/go?to=x/"},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlDirectory(c.in), c.out) << c.in.substr(0, 80);
}

TEST(FileNamePart, TakesTheLastSegmentCleaned) {
  const Case cases[] = {
      {"http://host/dir/pic.gif", "pic.gif"},
      {"pics/a.jpg", "a.jpg"},
      {"a.jpg", "a.jpg"},
      {"http://host/dir/", ""},
      {"pic.gif border=0", "pic.gif0"},
      {"pic.gif BORDER=0", "pic.gif0"},
      {"\"pic.gif\"", "pic.gif"},
      {"img.cgi?f=x/y.gif", "y.gif"},
      {"https://host/dir/pic.gif", "pic.gif"},
      {"a/bhttps://c.gif", "bc.gif"},  // the prefix goes before the last "/" is looked for
  };
  for (const Case& c : cases) EXPECT_EQ(FileNamePart(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace pagesift
