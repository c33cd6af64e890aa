#include "html/images/ImageCache.h"

#include <algorithm>

#include "html/images/GdiPlusLoader.h"
#include "platform/runtime/SysUtils.h"

namespace html {

TStringBitmapList::TStringBitmapList() {
  GdiPlusAcquire();
}

TStringBitmapList::~TStringBitmapList() {
  // The pictures of the imaging layer go before the layer is released.
  Clear();
  GdiPlusRelease();
}

const TStringBitmapList::TEntry& TStringBitmapList::Entry(int index) const {
  if (index < 0 || index >= Count())
    throw plat::EListError(plat::Format("List index out of bounds (%d)", {index}));
  return entries_[size_t(index)];
}

bool TStringBitmapList::Find(const std::string& name, int& index) const {
  const auto it =
      std::lower_bound(entries_.begin(), entries_.end(), name,
                       [](const auto& entry, const std::string& key) { return entry.first < key; });
  index = int(it - entries_.begin());
  return it != entries_.end() && it->first == name;
}

int TStringBitmapList::IndexOf(const std::string& name) const {
  int index;
  return Find(name, index) ? index : -1;
}

int TStringBitmapList::AddObject(const std::string& name, std::unique_ptr<TBitmapItem> item) {
  int index;
  if (!Find(name, index)) entries_.insert(entries_.begin() + index, {name, std::move(item)});
  if (TBitmapItem* entry = Objects(index)) {
    entry->AccessCount = 0;
    ++entry->UsageCount;
  }
  return index;
}

plat::TObject* TStringBitmapList::GetImage(int index) {
  TBitmapItem* item = Objects(index);
  if (!item) return nullptr;
  item->AccessCount = 0;
  ++item->UsageCount;
  return item->MImage.get();
}

void TStringBitmapList::DecUsage(const std::string& name) {
  int index;
  if (Find(name, index) && Objects(index)) --Objects(index)->UsageCount;
}

template <class Predicate>
void TStringBitmapList::RemoveUnused(Predicate tooOld) {
  for (int i = Count() - 1; i >= 0; --i) {
    const TBitmapItem* item = Objects(i);
    if (item && item->UsageCount < 1 && tooOld(item->AccessCount))
      entries_.erase(entries_.begin() + i);
  }
}

void TStringBitmapList::PurgeOld(int age) {
  RemoveUnused([age](int accessCount) { return accessCount > age; });
  MaxUsage = age;
}

void TStringBitmapList::AgeAndPurge() {
  for (auto& entry : entries_)
    if (entry.second) ++entry.second->AccessCount;
  RemoveUnused([this](int accessCount) { return accessCount > MaxUsage; });
}

}  // namespace html
