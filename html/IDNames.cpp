#include "html/IDNames.h"

#include <algorithm>

namespace html {

size_t TIDNameList::LowerBound(const std::string& name) const {
  const auto found = std::lower_bound(
      entries_.begin(), entries_.end(), name,
      [](const Entry& e, const auto& n) { return plat::CompareText(e.name, n) < 0; });
  return size_t(found - entries_.begin());
}

int TIDNameList::IndexOf(const std::string& name) const {
  const size_t index = LowerBound(name);
  return index < entries_.size() && plat::SameText(entries_[index].name, name) ? int(index) : -1;
}

TIDObject* TIDNameList::Find(const std::string& name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : entries_[size_t(index)].object;
}

void TIDNameList::Put(const std::string& name, TIDObject* obj, std::unique_ptr<TChPosObj> owned) {
  const size_t index = LowerBound(name);
  if (index < entries_.size() && plat::SameText(entries_[index].name, name))
    entries_.erase(entries_.begin() + std::ptrdiff_t(index));
  entries_.insert(entries_.begin() + std::ptrdiff_t(index), Entry{name, obj, std::move(owned)});
}

void TIDNameList::AddObject(const std::string& name, TIDObject* obj) {
  Put(name, obj, nullptr);
}

void TIDNameList::AddChPosObject(const std::string& name, int32_t position) {
  auto owned = std::make_unique<TChPosObj>(position, OwnerList);
  TIDObject* obj = owned.get();
  Put(name, obj, std::move(owned));
}

}  // namespace html
