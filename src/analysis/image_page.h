// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The Images view: every image of the page's image tags, one below the
// other, each picture linked to its address and followed by the address as
// listed.

#include <string>
#include <string_view>

#include "analysis/string_list.h"

namespace pagesift {

// The address the gallery uses for a listed one: as listed when it has a
// scheme ("letters://" or "file:"), otherwise with "http://" in front.
std::string GalleryAddress(std::string_view listed);

// The page text for the image-tag pair of `lists`.
std::string ImagePageText(const AnalysisLists& lists);

// Writes imagepage.html in `folder`. Throws FileError when it cannot; the
// old file then stays.
bool BuildImagePage(const AnalysisLists& lists, const std::string& folder);

}  // namespace pagesift
