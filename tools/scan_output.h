// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// How pagesift-scan writes one find: a tab-separated line or a JSON object.

#include <string>
#include <string_view>

namespace pagesift {

// One tab-separated field: backslash, tab, line feed and carriage return
// written as \\, \t, \n and \r; every other byte as it is.
std::string EscapeField(std::string_view field);

// One JSON string, quotes included. Bytes that are not UTF-8 become U+FFFD,
// so the result is always valid UTF-8.
std::string JsonString(std::string_view text);

// A find in either format, without the line end.
std::string FindAsTsv(std::string_view list, std::string_view name, std::string_view address);
std::string FindAsJson(std::string_view list, std::string_view name, std::string_view address);

}  // namespace pagesift
