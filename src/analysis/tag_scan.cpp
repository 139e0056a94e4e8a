// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/tag_scan.h"

#include <algorithm>
#include <array>

#include "analysis/html_escape.h"
#include "analysis/text_file.h"
#include "analysis/text_helpers.h"
#include "analysis/url_helpers.h"
#include "analysis/working_files.h"

namespace pagesift {
namespace {

constexpr std::array<std::string_view, 4> kBareHostEndings = {".com", ".net", ".edu", ".gov"};
constexpr std::array<std::string_view, 4> kImageEndings = {".bmp", ".gif", ".jpeg", ".jpg"};
constexpr char kBlanks[] = " \t\n\f\r";
constexpr char kBlanksAndTagEnd[] = " \t\n\f\r>";
constexpr std::string_view kCgiBinPrefix = "cgi-bin/i/";

// The scheme the reference begins with (a letter, then letters, digits, "+",
// "-" or ".", then ":"), in lower case; nothing when it begins with none.
std::optional<std::string> LeadingScheme(std::string_view reference) {
  if (reference.empty() || !IsAsciiLetter(reference.front())) return std::nullopt;
  size_t at = 1;
  while (at < reference.size() && (IsAsciiLetter(reference[at]) || IsAsciiDigit(reference[at]) ||
                                   reference[at] == '+' || reference[at] == '-' || reference[at] == '.')) {
    ++at;
  }
  if (at == reference.size() || reference[at] != ':') return std::nullopt;
  return ToLowerAscii(reference.substr(0, at));
}

bool HasImageEnding(std::string_view line) {
  return std::any_of(kImageEndings.begin(), kImageEndings.end(),
                     [line](std::string_view ending) { return ContainsNoCase(line, ending); });
}

// "/a.gif" on the page directory `directory`: against the site root.
std::string ResolveRootRelative(std::string_view pathFromRoot, const std::string& directory) {
  if (HasWebPrefix(directory)) {
    const WithoutWebPrefixes b = StripWebPrefixes(directory);
    const size_t slash = b.rest.find('/');
    const std::string host = slash == std::string::npos ? std::string() : b.rest.substr(0, slash + 1);
    return b.prefix + host + std::string(pathFromRoot);
  }
  const size_t schemeEnd = directory.find("://");
  if (schemeEnd == std::string::npos) return std::string(1, '/').append(pathFromRoot);
  const size_t rootSlash = directory.find('/', schemeEnd + 3);
  const std::string root = rootSlash == std::string::npos ? directory + "/" : directory.substr(0, rootSlash + 1);
  return root + std::string(pathFromRoot);
}

std::string ResolveRelative(std::string_view reference, const std::string& directory) {
  WithoutWebPrefixes b = StripWebPrefixes(directory);
  if (b.rest.empty() || b.rest.back() != '/') b.rest = UrlDirectory(b.rest);
  if (ContainsNoCase(b.rest, PagesHostFragment)) {
    b.rest = ReplaceAllNoCase(b.rest, PagesHostFragment, FilesHostFragment);
  }
  return b.prefix + b.rest + std::string(reference);
}

}  // namespace

std::string PageDirectory(const std::string& pageAddress) {
  if (!pageAddress.empty() && pageAddress.back() == '/') return pageAddress;
  const std::string_view last4 =
      std::string_view(pageAddress).substr(pageAddress.size() < 4 ? 0 : pageAddress.size() - 4);
  if (std::find(kBareHostEndings.begin(), kBareHostEndings.end(), last4) != kBareHostEndings.end()) {
    return pageAddress;
  }
  return UrlDirectory(pageAddress);
}

void AppendOneTagPerLine(std::string& out, std::string_view line, std::string_view tagKeyword) {
  // The passes see the source lines joined, each followed by CR LF. There the
  // only CR LF pairs are the line ends, one at a time. The first pass puts a
  // line end before every keyword; where one was there already, the two are
  // taken back to one. So after it every keyword begins a line, and each later
  // pass adds a pair that its own collapse takes back: the passes rest after
  // the first, whose result is written here.
  size_t copied = 0;
  for (size_t tag = FindNoCase(line, tagKeyword); tag != std::string_view::npos;
       tag = FindNoCase(line, tagKeyword, copied)) {
    out.append(line, copied, tag - copied);
    if (tag > 0 || out.empty()) out += kCrLf;
    for (const char c : tagKeyword) out += ToLowerAscii(c);
    copied = tag + tagKeyword.size();
  }
  out.append(line, copied);
  out += kCrLf;
}

std::optional<std::string> TakeReference(std::string_view tagLine, const ScanFamily& family) {
  const std::string_view keyword = family.attributeKeyword;
  if (!ContainsNoCase(tagLine, family.tagKeyword) || !ContainsNoCase(tagLine, keyword)) return std::nullopt;
  if (family.requireClosingBracket && tagLine.find('>') == std::string_view::npos) return std::nullopt;
  if (family.requireImageEnding && !HasImageEnding(tagLine)) return std::nullopt;

  // The tag text: from the keyword to the first ">" after it, or to the end
  // of the line.
  const size_t start = FindNoCase(tagLine, keyword);
  const size_t close = tagLine.find('>', start + keyword.size());
  std::string value(tagLine.substr(start, close == std::string_view::npos ? close : close - start + 1));

  std::replace(value.begin(), value.end(), '\'', '"');
  value.erase(0, keyword.size());
  // Quoted or not is decided by the character right after the keyword alone.
  const bool quoted = !value.empty() && value.front() == '"';
  if (quoted) {
    if (value.size() > 1 && value[1] == '"') return std::nullopt;  // an empty value: src=""
    value.erase(0, 1);
  }
  value = ReplaceAllNoCase(value, "href=", "");
  value.erase(0, value.find_first_not_of('"'));
  const size_t end = quoted ? value.find('"') : value.find_first_of(std::string_view(kBlanksAndTagEnd));
  if (end != std::string::npos) value.resize(end);
  value.erase(std::remove(value.begin(), value.end(), '"'), value.end());

  // As a browser reads an address: no blanks around it, no tabs or line
  // breaks inside it.
  const size_t first = value.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::nullopt;  // nothing left to list
  value = value.substr(first, value.find_last_not_of(kBlanks) - first + 1);
  value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }),
              value.end());
  return value;
}

std::optional<std::string> ResolveReference(const std::string& reference, const std::string& pageDirectory,
                                            bool filePage) {
  if (const std::optional<std::string> scheme = LeadingScheme(reference)) {
    // A page from the web never lists a file of this machine.
    if (*scheme == "file") return filePage ? std::optional(reference) : std::nullopt;
    if (*scheme == "ftp") return reference;
    if (*scheme != "http" && *scheme != "https") return std::nullopt;
  }
  if (reference.starts_with("//")) {
    const std::string prefix = StripWebPrefixes(pageDirectory).prefix;
    return (prefix == kHttpsPrefix ? "https:" : "http:") + reference;
  }
  if (HasWebPrefix(reference)) return reference;
  if (reference.find("../") != std::string::npos) {
    return UrlDirectory(UrlDirectory(pageDirectory)) + ReplaceAll(reference, "../", "");
  }
  if (reference.starts_with('/')) return ResolveRootRelative(std::string_view(reference).substr(1), pageDirectory);
  return ResolveRelative(reference, pageDirectory);
}

void ScanTags(const ScanFamily& family, const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
              std::optional<std::string_view> savedPage) {
  const std::string pageDirectory = PageDirectory(pageAddress);
  const bool filePage = StartsWithNoCase(pageAddress, "file:");
  const std::string cleanPath = WorkingFilePath(folder, kCheckImagesCleanTxt);

  std::string readPage;
  if (!savedPage) readPage = ReadWholeFile(WorkingFilePath(folder, kCheckImagesTxt));
  const std::string_view page = savedPage ? *savedPage : readPage;
  std::string clean;
  // Room for a line break before a tag every few bytes, without growing.
  clean.reserve(page.size() + page.size() / 4 + kCrLf.size());
  std::string cutLine;
  ForEachTextLine(page, savedPage.has_value(), [&](std::string_view line) {
    if (family.removeCgiBinPrefix && ContainsNoCase(line, kCgiBinPrefix)) {
      cutLine = ReplaceAllNoCase(line, kCgiBinPrefix, "");
      line = cutLine;
    }
    if (ContainsNoCase(line, family.tagKeyword)) AppendOneTagPerLine(clean, line, family.tagKeyword);
  });
  WriteTextFile(cleanPath, clean);

  // Keep only the lines that begin a tag: this drops the text before the
  // first tag of a source line, and the empty lines.
  std::string tagLines;
  tagLines.reserve(clean.size() + kCrLf.size());
  ForEachTextLine(clean, true, [&](std::string_view line) {
    if (ContainsNoCase(line, family.tagKeyword)) {
      tagLines += line;
      tagLines += kCrLf;
    }
  });
  WriteTextFile(cleanPath, tagLines);

  StringList& links = lists.Links[family.pair];
  StringList& names = lists.frmList[family.pair];
  DroppedFinds& dropped = lists.dropped[family.pair];
  ForEachTextLine(tagLines, true, [&](std::string_view line) {
    const std::optional<std::string> reference = TakeReference(line, family);
    if (!reference) return;
    // The name is the reference as the page text shows it: the Source Code
    // view links that text, and duplicates are told apart by it. The address
    // is made from the reference as a browser reads the attribute.
    std::string name = FileNamePart(*reference);
    std::optional<std::string> address = ResolveReference(UnescapeAttribute(*reference), pageDirectory, filePage);
    // The first reference of a file name wins; a full pair takes no more.
    if (!address || names.Contains(name)) return;
    if (names.IsFull() || links.IsFull()) {
      ++dropped.atEntryLimit;
    } else if (address->size() > kMaxListedAddressBytes - links.TotalBytes()) {
      ++dropped.atByteLimit;
    } else {
      links.AddItem(std::move(*address));
      names.AddItem(std::move(name));
    }
  });
}

void ExtractImgTags(const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
                    std::optional<std::string_view> savedPage) {
  ScanTags(kImgTagScan, pageAddress, folder, lists, savedPage);
}

void ExtractImageLinks(const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
                       std::optional<std::string_view> savedPage) {
  ScanTags(kImageLinkScan, pageAddress, folder, lists, savedPage);
}

}  // namespace pagesift
