#include "analysis/string_list.h"

#include <utility>

namespace pagesift {

void StringList::Clear() {
  items_.clear();
  index_.clear();
}

bool StringList::AddItem(std::string text) {
  if (IsFull()) return false;
  index_.insert(text);
  items_.push_back(std::move(text));
  return true;
}

}  // namespace pagesift
