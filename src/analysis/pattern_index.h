// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// Finds every occurrence of many fixed texts in one pass over a text.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pagesift {

class PatternIndex {
 public:
  // `patterns` must be non-empty texts, no two equal. They must outlive the
  // index. A pattern's id is its position in the vector.
  explicit PatternIndex(const std::vector<std::string_view>& patterns);

  // Calls found(id, offset) for every occurrence of every pattern in `text`,
  // overlapping ones included, in order of increasing offset.
  template <typename Found>
  void ForEachMatch(std::string_view text, Found&& found) const;

 private:
  static constexpr unsigned kFilterBits = 16;

  // The first keyLength_ bytes at `at`, of which at least 4 are readable.
  uint32_t KeyAt(const char* at) const {
    uint32_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word & keyMask_;
  }
  static uint32_t FilterSlot(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kFilterBits); }
  bool MayStart(uint32_t key) const {
    const uint32_t slot = FilterSlot(key);
    return (filter_[slot / 64] >> (slot % 64)) & 1u;
  }
  uint32_t KeyOf(std::string_view pattern) const;
  // The blockLength_ bytes at `at`.
  size_t BlockAt(const char* at) const {
    const auto byte = [at](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(at[i])); };
    return blockLength_ == 1 ? byte(0) : byte(0) | byte(1) << 8;
  }

  template <typename Found>
  void MatchesAt(std::string_view text, size_t at, Found& found) const;

  size_t keyLength_ = 0;  // bytes every pattern shares as its lookup key
  uint32_t keyMask_ = 0;
  std::vector<uint64_t> filter_;
  std::unordered_map<uint32_t, std::vector<size_t>> lengthsByKey_;
  std::unordered_map<std::string_view, size_t> idByText_;

  // The search slides a window no longer than the shortest pattern over the
  // text. The block of bytes that ends the window tells how far it may move
  // on without passing the start of an occurrence: shift_[block] is 0 where
  // a pattern may start at the window, otherwise the distance to the nearest
  // place where the block could stand inside a pattern's window.
  size_t window_ = 0;
  size_t blockLength_ = 0;
  std::vector<uint8_t> shift_;
};

template <typename Found>
void PatternIndex::MatchesAt(std::string_view text, size_t at, Found& found) const {
  // Whole-word loads where four bytes are left; the last few positions go
  // through a padded copy.
  uint32_t key;
  if (text.size() - at >= 4) {
    key = KeyAt(text.data() + at);
  } else {
    char tail[8] = {};
    std::memcpy(tail, text.data() + at, text.size() - at);
    key = KeyAt(tail);
  }
  if (!MayStart(key)) return;
  const auto lengths = lengthsByKey_.find(key);
  if (lengths == lengthsByKey_.end()) return;
  for (const size_t length : lengths->second) {
    if (length > text.size() - at) continue;
    const auto id = idByText_.find(text.substr(at, length));
    if (id != idByText_.end()) found(id->second, at);
  }
}

template <typename Found>
void PatternIndex::ForEachMatch(std::string_view text, Found&& found) const {
  if (window_ == 0 || text.size() < window_) return;
  const size_t lastStart = text.size() - window_;
  const size_t blockAt = window_ - blockLength_;
  for (size_t at = 0; at <= lastStart;) {
    const uint8_t shift = shift_[BlockAt(text.data() + at + blockAt)];
    if (shift != 0) {
      at += shift;
      continue;
    }
    MatchesAt(text, at, found);
    ++at;
  }
}

}  // namespace pagesift
