#include "analysis/string_list.h"

#include <utility>

namespace pagesift {

void StringList::Clear() {
  items_.clear();
  index_.clear();
  totalBytes_ = 0;
}

bool StringList::AddItem(std::string text) {
  if (IsFull()) return false;
  totalBytes_ += text.size();
  index_.insert(text);
  items_.push_back(std::move(text));
  return true;
}

void AnalysisLists::Clear() {
  for (StringList* list : {&Links[0], &frmList[0], &Links[1], &frmList[1]}) list->Clear();
  dropped = {};
}

}  // namespace pagesift
