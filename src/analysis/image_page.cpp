// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/image_page.h"

#include "analysis/html_escape.h"
#include "analysis/text_file.h"
#include "analysis/text_helpers.h"
#include "analysis/working_files.h"

namespace pagesift {
namespace {

bool HasScheme(std::string_view address) {
  if (StartsWithNoCase(address, "file:")) return true;
  size_t letters = 0;
  while (letters < address.size() && IsAsciiLetter(address[letters])) ++letters;
  return letters > 0 && address.substr(letters).starts_with("://");
}

}  // namespace

std::string GalleryAddress(std::string_view listed) {
  return HasScheme(listed) ? std::string(listed) : "http://" + std::string(listed);
}

std::string ImagePageText(const AnalysisLists& lists) {
  const StringList& addresses = lists.Links[AnalysisLists::kImgTags];
  const size_t count = lists.frmList[AnalysisLists::kImgTags].ListCount();
  std::string page;
  for (size_t i = 0; i < count; ++i) {
    const std::string& listed = addresses.List(i);
    const std::string target = EscapeAttribute(GalleryAddress(listed));
    page += "<a href='" + target + "'><img src='" + target + "'></a><BR>" + EscapeText(listed) + "<BR><BR><BR>";
  }
  return page;
}

bool BuildImagePage(const AnalysisLists& lists, const std::string& folder) {
  ReplaceTextFile(WorkingFilePath(folder, kImagePageHtml), ImagePageText(lists));
  return true;
}

}  // namespace pagesift
