// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The six working files the analysis passes its results through. Each lives
// in one folder (the program folder) under a fixed name.

#include <array>
#include <string>
#include <string_view>

namespace pagesift {

inline constexpr std::string_view kBrowserTxt = "browser.txt";
inline constexpr std::string_view kSourceHtm = "source.htm";
inline constexpr std::string_view kImagesHtm = "images.htm";
inline constexpr std::string_view kCheckImagesTxt = "checkImages.txt";
inline constexpr std::string_view kCheckImagesCleanTxt = "checkImagesClean.txt";
inline constexpr std::string_view kImagePageHtml = "imagepage.html";

// In the order start-up creates them.
inline constexpr std::array<std::string_view, 6> kWorkingFiles = {
    kBrowserTxt, kSourceHtm, kImagesHtm, kCheckImagesTxt, kCheckImagesCleanTxt, kImagePageHtml};

// folder + "/" + name.
std::string WorkingFilePath(std::string_view folder, std::string_view name);

// Start-up: every working file that is missing is created holding one empty
// line; files that exist are left as they are, whatever they hold. Throws
// FileError for the first file that cannot be created.
void CreateMissingWorkingFiles(std::string_view folder);

// Empties checkImages.txt, checkImagesClean.txt, browser.txt and images.htm,
// in that order, to one empty line each. Stops with FileError at the first
// file that cannot be written; the files after it keep their content.
void ResetWorkingFiles(std::string_view folder);

}  // namespace pagesift
