// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The Source Code view: the captured page shown as text, with every listed
// file name turned into a link to its address.

#include <string>
#include <string_view>
#include <vector>

namespace pagesift {

struct LinkPass {
  std::string name;
  std::string address;
};

// The Source Code view's text. The page is escaped for display ("<" becomes
// "&lt;", CR and LF each become "<BR>", nothing else changes); then each pass,
// in order, turns every occurrence of its name into
// "<a href='ADDRESS'>NAME</a>" (the address escaped for the attribute).
//
// The markup that escaping and earlier passes put in is never rewritten: a
// pass links its name in each stretch of text between inserted markup (the
// page's own text, and the anchors' texts as they stand before the pass), left
// to right without overlap. A name inside an earlier anchor's text gets a
// nested anchor; a name inside an earlier anchor's address is left alone.
//
// A pass that would make the text larger than the smaller of 8 x E + 1 MiB
// and E + 64 MiB (E the size of the escaped page) is not applied; the passes
// after it still run.
std::string SourceViewText(std::string_view page, const std::vector<LinkPass>& passes);

// The largest size SourceViewText lets the text of a page grow to.
size_t SourceViewSizeLimit(std::string_view page);

}  // namespace pagesift
