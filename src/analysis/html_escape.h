#pragma once

#include <string>
#include <string_view>

namespace pagesift {

// For a value inside a quoted attribute: & ' " < > become entities, so the
// value can never close its attribute.
std::string EscapeAttribute(std::string_view value);
void AppendEscapedAttribute(std::string& out, std::string_view value);
size_t EscapedAttributeSize(std::string_view value);

// For running text: & and < become entities.
std::string EscapeText(std::string_view text);

}  // namespace pagesift
