// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/page_analysis.h"

#include <exception>

#include "analysis/image_page.h"
#include "analysis/source_view.h"
#include "analysis/tag_scan.h"
#include "analysis/text_file.h"
#include "analysis/working_files.h"

namespace pagesift {
namespace {

std::vector<LinkPass> LinkPasses(const AnalysisLists& lists) {
  std::vector<LinkPass> passes;
  // Links to image files first, then the images of image tags.
  for (const size_t pair : {AnalysisLists::kImageLinks, AnalysisLists::kImgTags}) {
    const StringList& names = lists.frmList[pair];
    const StringList& addresses = lists.Links[pair];
    for (size_t i = 0; i < addresses.ListCount(); ++i) passes.push_back({names.List(i), addresses.List(i)});
  }
  return passes;
}

}  // namespace

PageAnalysis AnalysePage(const std::optional<std::string>& capturedBody,
                         const std::function<std::string()>& browserLocation, const std::string& folder,
                         AnalysisLists& lists) {
  PageAnalysis result;
  result.sourcePage = WorkingFilePath(folder, kSourceHtm);
  result.imagePage = WorkingFilePath(folder, kImagePageHtml);

  auto step = [&result](const char* what, auto&& body) {
    try {
      body();
    } catch (const std::exception& e) {
      result.skipped.push_back(std::string(what) + ": " + e.what());
    }
  };

  const std::string_view page = capturedBody ? std::string_view(*capturedBody) : std::string_view();
  if (!capturedBody) result.skipped.push_back("capture: the Browser view holds no page body");
  // The scans take the page from memory once it is in checkImages.txt.
  std::optional<std::string_view> savedPage;
  step("saving the page", [&] {
    WriteTextFile(WorkingFilePath(folder, kCheckImagesTxt), page);
    savedPage = page;
  });
  lists.Clear();
  step("finding image tags", [&] { ExtractImgTags(browserLocation(), folder, lists, savedPage); });
  step("finding image links", [&] { ExtractImageLinks(browserLocation(), folder, lists, savedPage); });
  // The Source Code view shows the page as it is when both ways of making
  // its text fail.
  std::string sourceText;
  std::string_view source = page;
  const size_t skippedBefore = result.skipped.size();
  step("linking file names", [&] { source = sourceText = SourceViewText(page, LinkPasses(lists)); });
  if (result.skipped.size() != skippedBefore) {
    step("escaping the page", [&] { source = sourceText = SourceViewText(page, {}); });
  }
  step("writing the image page", [&] { BuildImagePage(lists, folder); });
  step("writing the source page", [&] { ReplaceTextFile(result.sourcePage, source); });
  step("resetting the working files", [&] { ResetWorkingFiles(folder); });
  return result;
}

}  // namespace pagesift
