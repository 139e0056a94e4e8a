// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/source_view.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "analysis/html_escape.h"
#include "analysis/pattern_index.h"

namespace pagesift {
namespace {

constexpr std::string_view kAnchorOpen = "<a href='";
constexpr std::string_view kAnchorClose = "'>";
constexpr std::string_view kAnchorEnd = "</a>";
constexpr std::string_view kEscapedBracket = "&lt;";
constexpr std::string_view kLineBreak = "<BR>";

// The characters escaping replaces: a name holding one never occurs in the
// escaped text outside the markup that replaced it.
constexpr std::array<char, 3> kEscapedCharacters = {'<', '\r', '\n'};
bool IsEscaped(char c) {
  return std::find(kEscapedCharacters.begin(), kEscapedCharacters.end(), c) != kEscapedCharacters.end();
}

// The page's escaped characters in order, each of the three found with the
// library's byte search.
class EscapedCharacters {
 public:
  explicit EscapedCharacters(std::string_view page) : page_(page) {
    for (size_t i = 0; i < kEscapedCharacters.size(); ++i) next_[i] = page.find(kEscapedCharacters[i]);
  }

  // The first escaped character at or after `from`, or npos; `from` never
  // goes back from one call to the next.
  size_t Next(size_t from) {
    size_t first = std::string_view::npos;
    for (size_t i = 0; i < kEscapedCharacters.size(); ++i) {
      if (next_[i] < from) next_[i] = page_.find(kEscapedCharacters[i], from);
      first = std::min(first, next_[i]);
    }
    return first;
  }

 private:
  std::string_view page_;
  std::array<size_t, kEscapedCharacters.size()> next_{};
};

size_t EscapedSize(std::string_view page) {
  size_t size = page.size();
  EscapedCharacters escaped(page);
  for (size_t at = escaped.Next(0); at != std::string_view::npos; at = escaped.Next(at + 1)) {
    size += kEscapedBracket.size() - 1;  // "<BR>" is as long
  }
  return size;
}

size_t SizeLimit(size_t escapedSize) {
  return std::min(8 * escapedSize + (size_t{1} << 20), escapedSize + (size_t{64} << 20));
}

// Writes the escaped page to `out` piece by piece, front to back.
class PageEscaper {
 public:
  explicit PageEscaper(std::string_view page) : page_(page), escaped_(page) {}

  // Writes the page from where the last call stopped up to offset `to`.
  void AppendUpTo(std::string& out, size_t to) {
    for (size_t at = escaped_.Next(copied_); at < to; at = escaped_.Next(copied_)) {
      out.append(page_, copied_, at - copied_);
      out += page_[at] == '<' ? kEscapedBracket : kLineBreak;
      copied_ = at + 1;
    }
    out.append(page_, copied_, to - copied_);
    copied_ = to;
  }

 private:
  std::string_view page_;
  EscapedCharacters escaped_;
  size_t copied_ = 0;
};

// The places in the page text where markup has been put in, one bit each.
class InsertedMarkup {
 public:
  explicit InsertedMarkup(size_t positions) : words_(positions / 64 + 1) {}

  void Add(size_t at) { words_[at / 64] |= uint64_t{1} << (at % 64); }

  // Whether markup stands strictly between `begin` and `end`, so that the
  // text there is not one stretch.
  bool Inside(size_t begin, size_t end) const {
    for (size_t at = begin + 1; at < end; ++at) {
      const uint64_t word = words_[at / 64] >> (at % 64);
      if (word == 0) {
        at |= 63;  // nothing more in this word
        continue;
      }
      return (at + static_cast<size_t>(__builtin_ctzll(word))) < end;
    }
    return false;
  }

 private:
  std::vector<uint64_t> words_;
};

// One inserted tag: an anchor's start before, or its end after, the name at
// page offset `at`.
struct Tag {
  size_t at;
  uint32_t pass;
  bool start;
};

// At one offset, ends come first (the latest pass's innermost first), then
// starts (the earliest pass's outermost first), so anchors nest.
bool WrittenBefore(const Tag& a, const Tag& b) {
  if (a.at != b.at) return a.at < b.at;
  if (a.start != b.start) return !a.start;
  return a.start ? a.pass < b.pass : a.pass > b.pass;
}

// Every offset at which each distinct name occurs in the page, overlapping
// ones included, ascending; names that cannot occur are left out.
class NameOffsets {
 public:
  NameOffsets(std::string_view page, const std::vector<LinkPass>& passes) {
    std::unordered_map<std::string_view, size_t> ids;
    std::vector<std::string_view> names;
    for (const LinkPass& pass : passes) {
      size_t id = kNever;
      const std::string_view name = pass.name;
      if (!name.empty() && std::none_of(name.begin(), name.end(), IsEscaped)) {
        const auto [it, added] = ids.emplace(name, names.size());
        if (added) names.push_back(name);
        id = it->second;
      }
      idOfPass_.push_back(id);
    }
    offsets_.resize(names.size());
    if (names.empty()) return;
    PatternIndex(names).ForEachMatch(page, [this](size_t id, size_t at) { offsets_[id].push_back(at); });
  }

  static const std::vector<size_t>& None() {
    static const std::vector<size_t> none;
    return none;
  }

  const std::vector<size_t>& OfPass(size_t pass) const {
    return idOfPass_[pass] == kNever ? None() : offsets_[idOfPass_[pass]];
  }

 private:
  static constexpr size_t kNever = SIZE_MAX;
  std::vector<size_t> idOfPass_;
  std::vector<std::vector<size_t>> offsets_;
};

}  // namespace

size_t SourceViewSizeLimit(std::string_view page) { return SizeLimit(EscapedSize(page)); }

std::string SourceViewText(std::string_view page, const std::vector<LinkPass>& passes) {
  size_t size = EscapedSize(page);
  const size_t limit = SizeLimit(size);

  // Escaping replaces single characters, so the page's own offsets serve
  // throughout: a name that holds no escaped character matches only inside
  // one stretch of escaped text, and the anchors keep their names in place.
  const NameOffsets offsets(page, passes);
  InsertedMarkup markup(page.size() + 1);
  std::vector<Tag> tags;
  std::vector<size_t> starts;
  for (size_t pass = 0; pass < passes.size(); ++pass) {
    const size_t length = passes[pass].name.size();
    const size_t growth =
        kAnchorOpen.size() + EscapedAttributeSize(passes[pass].address) + kAnchorClose.size() + kAnchorEnd.size();
    // Count before building anything: a pass that would pass the limit is
    // left out whole.
    starts.clear();
    size_t scannedTo = 0;
    size_t grown = 0;
    bool fits = true;
    for (const size_t at : offsets.OfPass(pass)) {
      if (at < scannedTo || markup.Inside(at, at + length)) continue;
      if (growth > limit - size - grown) {
        fits = false;
        break;
      }
      grown += growth;
      starts.push_back(at);
      scannedTo = at + length;
    }
    if (!fits) continue;
    size += grown;
    for (const size_t at : starts) {
      markup.Add(at);
      markup.Add(at + length);
      tags.push_back({at, static_cast<uint32_t>(pass), true});
      tags.push_back({at + length, static_cast<uint32_t>(pass), false});
    }
  }
  std::sort(tags.begin(), tags.end(), WrittenBefore);

  std::string out;
  out.reserve(size);
  PageEscaper escaper(page);
  for (const Tag& tag : tags) {
    escaper.AppendUpTo(out, tag.at);
    if (tag.start) {
      out += kAnchorOpen;
      AppendEscapedAttribute(out, passes[tag.pass].address);
      out += kAnchorClose;
    } else {
      out += kAnchorEnd;
    }
  }
  escaper.AppendUpTo(out, page.size());
  return out;
}

}  // namespace pagesift
