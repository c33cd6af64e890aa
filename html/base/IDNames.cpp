#include "html/base/IDNames.h"

namespace html {

TIDObject* TIDNameList::Find(const std::string& name) const {
  const auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : found->second.object;
}

void TIDNameList::Put(const std::string& name, TIDObject* obj, std::unique_ptr<TChPosObj> owned) {
  entries_.erase(name);
  entries_.emplace(name, Entry{obj, std::move(owned)});
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
