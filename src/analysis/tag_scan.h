// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The tag scan: finds the references of one kind of tag in the captured page
// with plain substring searches (no HTML parsing), turns each into an address
// against the page's directory and lists the new ones in one list pair.
// ExtractImgTags and ExtractImageLinks are the same scan with two parameter
// sets.

#include <optional>
#include <string>
#include <string_view>

#include "analysis/string_list.h"

namespace pagesift {

struct ScanFamily {
  std::string_view tagKeyword;        // begins a tag, found without regard to case
  std::string_view attributeKeyword;  // the attribute whose value is the reference
  bool removeCgiBinPrefix;            // every "cgi-bin/i/" leaves a source line first
  bool requireClosingBracket;         // a tag line without ">" is skipped
  bool requireImageEnding;            // a tag line must mention an image file ending
  size_t pair;                        // the list pair that receives the finds
};

inline constexpr ScanFamily kImgTagScan{"<img", "src=", false, false, false, AnalysisLists::kImgTags};
inline constexpr ScanFamily kImageLinkScan{"<a ", "href=", true, true, true, AnalysisLists::kImageLinks};

// A page directory on the member-pages host serves its files from the files
// host; relative references are rewritten to it.
inline constexpr std::string_view PagesHostFragment = "homepages.pagesift.example";
inline constexpr std::string_view FilesHostFragment = "files.pagesift.example";

// The directory relative references are resolved against: the page address
// cut back once, unless it ends with "/" or with ".com", ".net", ".edu" or
// ".gov" (a bare host).
std::string PageDirectory(const std::string& pageAddress);

// The scan's source lines that hold the tag keyword are joined, each followed
// by CR LF, and then split so that every keyword begins a line: up to 100
// passes over the whole, each putting CR LF before every keyword (in lower
// case) and then replacing CR LF CR LF by CR LF in one left-to-right scan,
// until a pass changes nothing. This appends one such line (it holds the
// keyword and no CR) to `out`, which holds the lines before it, as the passes
// leave it. `tagKeyword` holds no CR or LF.
void AppendOneTagPerLine(std::string& out, std::string_view line, std::string_view tagKeyword);

// The reference of one tag line, or nothing when the line is not one the
// family lists or its value is empty.
std::optional<std::string> TakeReference(std::string_view tagLine, const ScanFamily& family);

// The address for a reference on a page in `pageDirectory`, or nothing when
// the reference is not to be listed (a script, data or other non-file scheme,
// or a local file named by a page that is not itself a local file).
std::optional<std::string> ResolveReference(const std::string& reference, const std::string& pageDirectory,
                                            bool filePage);

// Reads checkImages.txt in `folder`, rewrites checkImagesClean.txt with the
// tag lines and appends every new find to the family's list pair: the file
// name of the reference as the page text shows it, and the address
// ResolveReference makes of the reference with UnescapeAttribute's five
// entities read back ("a.gif?x=1&amp;y=2" is listed as "a.gif?x=1&amp;y=2"
// with the address ".../a.gif?x=1&y=2"). Throws
// FileError when a working file cannot be read or written; finds listed
// before that stay.
//
// `savedPage`, when given, is the text whose WriteTextFile to checkImages.txt
// succeeded last: the file holds it followed by CR LF, and the scan takes it
// from memory instead of reading the file back. Likewise the scan goes on
// from what it has just written to checkImagesClean.txt.
void ScanTags(const ScanFamily& family, const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
              std::optional<std::string_view> savedPage = std::nullopt);

// The images of the page's image tags, into Links[1] and frmList[1].
void ExtractImgTags(const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
                    std::optional<std::string_view> savedPage = std::nullopt);

// The page's links to image files, into Links[0] and frmList[0].
void ExtractImageLinks(const std::string& pageAddress, const std::string& folder, AnalysisLists& lists,
                       std::optional<std::string_view> savedPage = std::nullopt);

}  // namespace pagesift
