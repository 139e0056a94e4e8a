// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The whole page analysis on arbitrary bytes. The input's first line is the
// page's address, the rest the captured page. Checks that both list pairs
// stay equal in length and within their limits, that the Source Code view
// stays within its size limit, that reading a reference's entities back
// undoes the escaping of the generated views, and that the address's file
// name never holds "/" and its directory always ends with one.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "analysis/html_escape.h"
#include "analysis/page_analysis.h"
#include "analysis/source_view.h"
#include "analysis/url_helpers.h"
#include "analysis/working_files.h"
#include "fuzz_check.h"

namespace {

using pagesift::fuzz::require;

const std::string& Folder() {
  static const std::string folder = [] {
    const char* shm = "/dev/shm";
    std::string pattern = std::string(std::filesystem::is_directory(shm) ? shm : "/tmp") + "/pagesift-fuzz-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr, "no scratch folder");
    pagesift::CreateMissingWorkingFiles(pattern);
    return pattern;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string address(newline == std::string_view::npos ? std::string_view() : input.substr(0, newline));
  const std::string page(newline == std::string_view::npos ? input : input.substr(newline + 1));

  pagesift::AnalysisLists lists;
  const pagesift::PageAnalysis result = pagesift::AnalysePage(
      page, [&address] { return address; }, Folder(), lists);
  require(result.skipped.empty(), "a step was skipped");
  for (size_t pair = 0; pair < 2; ++pair) {
    const size_t count = lists.Links[pair].ListCount();
    require(lists.frmList[pair].ListCount() == count, "the lists of a pair differ in length");
    require(count <= pagesift::StringList::kMaxEntries, "a list past its entry limit");
    require(lists.Links[pair].TotalBytes() <= pagesift::kMaxListedAddressBytes, "addresses past their byte limit");
  }
  require(std::filesystem::file_size(result.sourcePage) <= pagesift::SourceViewSizeLimit(page) + 2,
          "the Source Code view past its size limit");
  require(pagesift::UnescapeAttribute(pagesift::EscapeAttribute(page)) == page, "unescaping does not undo escaping");
  require(pagesift::FileNamePart(address).find('/') == std::string::npos, "a file name with a '/'");
  const std::string directory = pagesift::UrlDirectory(address);
  require(!directory.empty() && directory.back() == '/', "a directory without its '/'");
  require(pagesift::UrlDirectory(directory).back() == '/', "a directory's directory without its '/'");
  return 0;
}
