// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/string_list.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <utility>

namespace pagesift {

void StringList::Clear() {
  items_.clear();
  slots_.clear();
  totalBytes_ = 0;
}

bool StringList::AddItem(std::string text) {
  if (IsFull()) return false;
  totalBytes_ += text.size();
  items_.push_back(std::move(text));
  if (2 * items_.size() > slots_.size()) {
    // A table a power of two long, a quarter full after the rehash.
    slots_.assign(std::bit_ceil(std::max<size_t>(64, 4 * items_.size())), kNoEntry);
    for (size_t i = 0; i < items_.size(); ++i) {
      uint32_t& slot = slots_[SlotOf(items_[i])];
      if (slot == kNoEntry) slot = static_cast<uint32_t>(i + 1);
    }
  } else {
    uint32_t& slot = slots_[SlotOf(items_.back())];
    if (slot == kNoEntry) slot = static_cast<uint32_t>(items_.size());
  }
  return true;
}

size_t StringList::SlotOf(std::string_view text) const {
  const size_t mask = slots_.size() - 1;
  size_t slot = std::hash<std::string_view>{}(text)&mask;
  while (slots_[slot] != kNoEntry && items_[slots_[slot] - 1] != text) slot = (slot + 1) & mask;
  return slot;
}

void AnalysisLists::Clear() {
  for (StringList* list : {&Links[0], &frmList[0], &Links[1], &frmList[1]}) list->Clear();
  dropped = {};
}

}  // namespace pagesift
