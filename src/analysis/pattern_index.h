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

  size_t keyLength_ = 0;  // bytes every pattern shares as its lookup key
  uint32_t keyMask_ = 0;
  std::vector<uint64_t> filter_;
  std::unordered_map<uint32_t, std::vector<size_t>> lengthsByKey_;
  std::unordered_map<std::string_view, size_t> idByText_;
};

template <typename Found>
void PatternIndex::ForEachMatch(std::string_view text, Found&& found) const {
  if (keyLength_ == 0 || text.size() < keyLength_) return;
  const size_t lastStart = text.size() - keyLength_;
  // Whole-word loads where four bytes are left; the last few positions go
  // through a padded copy.
  const size_t fastEnd = text.size() >= 4 ? text.size() - 3 : 0;
  char tail[8] = {};
  for (size_t at = 0; at <= lastStart; ++at) {
    uint32_t key;
    if (at < fastEnd) {
      key = KeyAt(text.data() + at);
    } else {
      std::memcpy(tail, text.data() + at, text.size() - at);
      key = KeyAt(tail);
    }
    if (!MayStart(key)) continue;
    const auto lengths = lengthsByKey_.find(key);
    if (lengths == lengthsByKey_.end()) continue;
    for (const size_t length : lengths->second) {
      if (length > text.size() - at) continue;
      const auto id = idByText_.find(text.substr(at, length));
      if (id != idByText_.end()) found(id->second, at);
    }
  }
}

}  // namespace pagesift
