#include "analysis/html_escape.h"

namespace pagesift {
namespace {

template <typename Entity>
std::string Escape(std::string_view text, Entity entityFor) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char* entity = entityFor(c);
    if (entity) {
      out += entity;
    } else {
      out += c;
    }
  }
  return out;
}

const char* TextEntity(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    default: return nullptr;
  }
}

const char* AttributeEntity(char c) {
  switch (c) {
    case '\'': return "&#39;";
    case '"': return "&quot;";
    case '>': return "&gt;";
    default: return TextEntity(c);
  }
}

}  // namespace

std::string EscapeAttribute(std::string_view value) { return Escape(value, AttributeEntity); }

std::string EscapeText(std::string_view text) { return Escape(text, TextEntity); }

}  // namespace pagesift
