// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// UrlDirectory and FileNamePart on arbitrary addresses: a file name never
// holds "/", and a directory always ends with one.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/url_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  if (pagesift::FileNamePart(address).find('/') != std::string::npos) std::abort();
  const std::string directory = pagesift::UrlDirectory(address);
  if (directory.empty() || directory.back() != '/') std::abort();
  if (pagesift::UrlDirectory(directory).back() != '/') std::abort();
  return 0;
}
