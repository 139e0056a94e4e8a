// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <string>
#include <string_view>

namespace pagesift {

// For a value inside a quoted attribute: & ' " < > become entities, so the
// value can never close its attribute.
std::string EscapeAttribute(std::string_view value);
void AppendEscapedAttribute(std::string& out, std::string_view value);
size_t EscapedAttributeSize(std::string_view value);

// The other way: the five entities EscapeAttribute writes (&amp; &lt; &gt;
// &quot; &#39;, exactly so, letter case included) become their characters
// again, in one left-to-right pass that never looks again at what it put in
// ("&amp;lt;" gives "&lt;"). Every other text stays, other character
// references ("&AMP;", "&#38;") included.
std::string UnescapeAttribute(std::string_view value);

// For running text: & and < become entities.
std::string EscapeText(std::string_view text);

}  // namespace pagesift
