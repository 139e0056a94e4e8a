#pragma once

// The Source Code view: the captured page shown as text, with every listed
// file name turned into a link to its address.

#include <string>
#include <string_view>
#include <vector>

namespace pagesift {

// "<" becomes "&lt;", then CR and LF each become "<BR>". Nothing else changes.
std::string EscapeSourceText(std::string_view page);

struct LinkPass {
  std::string name;
  std::string address;
};

// The anchor that replaces one occurrence of a file name.
std::string FileNameAnchor(std::string_view name, std::string_view address);

// Runs the passes in order; each replaces every occurrence of its name in
// the text as it stands after the previous passes (including inside anchors
// those passes inserted) by FileNameAnchor(name, address).
std::string LinkFileNames(std::string_view text, const std::vector<LinkPass>& passes);

// The same, one literal replace-all per pass.
std::string LinkFileNamesOneByOne(std::string_view text, const std::vector<LinkPass>& passes);

}  // namespace pagesift
