// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagesift {

// An ordered, unsorted list of texts with the list-box operations the page
// analysis uses. It holds at most kMaxEntries entries; AddItem on a full list
// adds nothing and returns false.
class StringList {
 public:
  static constexpr size_t kMaxEntries = 32767;

  void Clear();
  bool AddItem(std::string text);
  size_t ListCount() const { return items_.size(); }
  const std::string& List(size_t index) const { return items_.at(index); }
  bool IsFull() const { return items_.size() >= kMaxEntries; }
  // The bytes of all entries together.
  size_t TotalBytes() const { return totalBytes_; }

  // Whether an entry equals `text` exactly (an index, not a linear search).
  bool Contains(std::string_view text) const { return !slots_.empty() && slots_[SlotOf(text)] != kNoEntry; }

  const std::vector<std::string>& Items() const { return items_; }

 private:
  static constexpr uint32_t kNoEntry = 0;

  // The slot that holds the entry equal to `text`, or the empty one where
  // it would go.
  size_t SlotOf(std::string_view text) const;

  std::vector<std::string> items_;
  // The index: an open-addressing table of entry numbers plus one (kNoEntry
  // marks an empty slot), never more than half full. The entries are not
  // copied into it.
  std::vector<uint32_t> slots_;
  size_t totalBytes_ = 0;
};

// The addresses one list pair lists add up to at most this many bytes.
inline constexpr size_t kMaxListedAddressBytes = size_t{32} << 20;

// How many finds a list pair dropped because it was full.
struct DroppedFinds {
  size_t atEntryLimit = 0;  // the pair held kMaxEntries entries
  size_t atByteLimit = 0;   // the address would have passed kMaxListedAddressBytes
};

// The four lists one page's analysis fills, in two pairs. Entry i of Links[k]
// is an address and entry i of frmList[k] its file name; the two lists of a
// pair always hold the same number of entries.
struct AnalysisLists {
  static constexpr size_t kImageLinks = 0;  // links to image files
  static constexpr size_t kImgTags = 1;     // images of image tags

  std::array<StringList, 2> Links;
  std::array<StringList, 2> frmList;
  std::array<DroppedFinds, 2> dropped;

  // Empties the four lists in their order and forgets what was dropped.
  void Clear();
};

}  // namespace pagesift
