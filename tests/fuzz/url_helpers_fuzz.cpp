// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// UrlDirectory and FileNamePart on arbitrary addresses: a file name never
// holds "/", and a directory always ends with one.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/url_helpers.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  using pagesift::fuzz::require;
  require(pagesift::FileNamePart(address).find('/') == std::string::npos, "a file name with a '/'");
  const std::string directory = pagesift::UrlDirectory(address);
  require(!directory.empty() && directory.back() == '/', "a directory without its '/'");
  require(pagesift::UrlDirectory(directory).back() == '/', "a directory's directory without its '/'");
  return 0;
}
