// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/url_helpers.h"

#include "analysis/text_helpers.h"

namespace pagesift {

WithoutWebPrefixes StripWebPrefixes(std::string_view text) {
  WithoutWebPrefixes out;
  out.rest.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    std::string_view found;
    if (StartsWithNoCase(text.substr(at), kHttpsPrefix)) {
      found = kHttpsPrefix;
    } else if (StartsWithNoCase(text.substr(at), kHttpPrefix)) {
      found = kHttpPrefix;
    }
    if (found.empty()) {
      out.rest.push_back(text[at++]);
      continue;
    }
    if (out.prefix.empty()) out.prefix = found;
    at += found.size();
  }
  return out;
}

bool HasWebPrefix(std::string_view text) {
  return ContainsNoCase(text, kHttpPrefix) || ContainsNoCase(text, kHttpsPrefix);
}

std::string UrlDirectory(std::string_view address) {
  WithoutWebPrefixes s = StripWebPrefixes(address);
  if (!s.rest.empty() && s.rest.back() == '/') s.rest.pop_back();
  const size_t slash = s.rest.rfind('/');
  if (slash == std::string::npos) return s.rest + "/";
  return s.prefix + s.rest.substr(0, slash + 1);
}

std::string FileNamePart(std::string_view address) {
  std::string s = StripWebPrefixes(address).rest;
  const size_t slash = s.rfind('/');
  if (slash != std::string::npos) s.erase(0, slash + 1);
  return ReplaceAll(ReplaceAllNoCase(s, " border=", ""), "\"", "");
}

}  // namespace pagesift
