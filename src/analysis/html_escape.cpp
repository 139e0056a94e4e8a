// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/html_escape.h"

namespace pagesift {
namespace {

std::string_view TextEntity(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    default: return {};
  }
}

std::string_view AttributeEntity(char c) {
  switch (c) {
    case '\'': return "&#39;";
    case '"': return "&quot;";
    case '>': return "&gt;";
    default: return TextEntity(c);
  }
}

template <typename Entity>
void AppendEscaped(std::string& out, std::string_view text, Entity entityFor) {
  size_t copied = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    const std::string_view entity = entityFor(text[at]);
    if (entity.empty()) continue;
    out.append(text, copied, at - copied);
    out += entity;
    copied = at + 1;
  }
  out.append(text, copied);
}

constexpr std::string_view kAttributeSpecials = "&'\"<>";

}  // namespace

void AppendEscapedAttribute(std::string& out, std::string_view value) { AppendEscaped(out, value, AttributeEntity); }

size_t EscapedAttributeSize(std::string_view value) {
  size_t size = 0;
  for (char c : value) size += AttributeEntity(c).empty() ? 1 : AttributeEntity(c).size();
  return size;
}

std::string EscapeAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  AppendEscapedAttribute(out, value);
  return out;
}

std::string UnescapeAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  size_t copied = 0;
  // No entity holds a second "&", so the next search starts after the one read.
  for (size_t amp = value.find('&'); amp != std::string_view::npos; amp = value.find('&', amp + 1)) {
    for (const char c : kAttributeSpecials) {
      if (value.substr(amp).starts_with(AttributeEntity(c))) {
        out.append(value, copied, amp - copied);
        out += c;
        copied = amp + AttributeEntity(c).size();
        break;
      }
    }
  }
  out.append(value, copied);
  return out;
}

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text, TextEntity);
  return out;
}

}  // namespace pagesift
