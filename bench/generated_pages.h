// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The generated pages the benchmarks share: a typical page (200 KB, 60 image
// tags, 20 links to image files) and a large one (2 MB, 1,000 image tags,
// 200 links), with relative addresses ("images/photo00001.jpg",
// "gallery/full00000.jpg").

#include <cstdio>
#include <string>

namespace pagesift::bench {

struct PageShape {
  size_t bytes;
  size_t imgTags;
  size_t imageLinks;
};

inline constexpr PageShape kTypical{200'000, 60, 20};
inline constexpr PageShape kLarge{2'000'000, 1'000, 200};

inline std::string Numbered(const char* stem, size_t i, const char* ending) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%05zu%s", stem, i, ending);
  return name;
}

// A body as the engine serialises it: LF line breaks, double-quoted
// attributes, image tags and image links spread evenly through text.
inline std::string GeneratePage(const PageShape& shape) {
  const std::string filler =
      "<p class=\"text\">Pages are made of markup, style and pictures; this paragraph only takes up room "
      "so that the page reaches its size, <em>like</em> the text around pictures does.</p>\n";
  const size_t items = shape.imgTags + shape.imageLinks;
  std::string page = "<body>\n<div id=\"content\">\n";
  page.reserve(shape.bytes + 4096);
  for (size_t i = 0; i < items; ++i) {
    const size_t target = (i + 1) * shape.bytes / (items + 1);
    while (page.size() < target) page += filler;
    if (i % (items / (shape.imageLinks + 1) + 1) == 0 && i / (items / (shape.imageLinks + 1) + 1) < shape.imageLinks) {
      page += "<a href=\"gallery/" + Numbered("full", i, ".jpg") + "\">Full size " + std::to_string(i) + "</a>\n";
    } else {
      page += "<img src=\"images/" + Numbered("photo", i, ".jpg") + "\" alt=\"Photo " + std::to_string(i) +
              "\" width=\"120\">\n";
    }
  }
  while (page.size() < shape.bytes) page += filler;
  return page + "</div>\n</body>";
}

}  // namespace pagesift::bench
