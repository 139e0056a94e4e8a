// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/pattern_index.h"

#include <algorithm>
#include <cstring>

namespace pagesift {
namespace {

constexpr size_t kMaxKeyLength = 4;
constexpr size_t kMaxBlockLength = 2;
constexpr size_t kMaxWindow = UINT8_MAX;  // so that every shift fits a byte

}  // namespace

PatternIndex::PatternIndex(const std::vector<std::string_view>& patterns) {
  if (patterns.empty()) return;
  keyLength_ = kMaxKeyLength;
  for (std::string_view p : patterns) keyLength_ = std::min(keyLength_, p.size());
  if (keyLength_ == 0) return;  // an empty pattern is never searched
  keyMask_ = keyLength_ == 4 ? ~uint32_t{0} : (uint32_t{1} << (8 * keyLength_)) - 1;

  filter_.assign((size_t{1} << kFilterBits) / 64, 0);
  for (size_t id = 0; id < patterns.size(); ++id) {
    const std::string_view p = patterns[id];
    idByText_.emplace(p, id);
    const uint32_t key = KeyOf(p);
    std::vector<size_t>& lengths = lengthsByKey_[key];
    if (std::find(lengths.begin(), lengths.end(), p.size()) == lengths.end()) lengths.push_back(p.size());
    const uint32_t slot = FilterSlot(key);
    filter_[slot / 64] |= uint64_t{1} << (slot % 64);
  }

  window_ = kMaxWindow;
  for (std::string_view p : patterns) window_ = std::min(window_, p.size());
  blockLength_ = std::min(kMaxBlockLength, window_);
  // A block nowhere in a pattern's window lets the window move past it.
  const size_t lastBlock = window_ - blockLength_;
  shift_.assign(size_t{1} << (8 * blockLength_), static_cast<uint8_t>(lastBlock + 1));
  for (std::string_view p : patterns) {
    for (size_t at = 0; at <= lastBlock; ++at) {
      uint8_t& shift = shift_[BlockAt(p.data() + at)];
      shift = std::min(shift, static_cast<uint8_t>(lastBlock - at));
    }
  }
}

uint32_t PatternIndex::KeyOf(std::string_view pattern) const {
  char padded[4] = {};
  std::memcpy(padded, pattern.data(), std::min(pattern.size(), sizeof padded));
  return KeyAt(padded);
}

}  // namespace pagesift
