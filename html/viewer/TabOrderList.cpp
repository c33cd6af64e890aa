#include <algorithm>

#include "html/layout/sections/DocumentObjects.h"

namespace html {

void TTabOrderList::Add(int32_t tabIndex, plat::TWinControl* control) {
  const Entry entry{tabIndex, nextSequence_++, control};
  const auto at =
      std::upper_bound(entries_.begin(), entries_.end(), entry, [](const Entry& a, const Entry& b) {
        return a.TabIndex != b.TabIndex ? a.TabIndex < b.TabIndex : a.Sequence < b.Sequence;
      });
  entries_.insert(at, entry);
}

void TTabOrderList::Remove(const plat::TWinControl* control) {
  std::erase_if(entries_, [control](const Entry& e) { return e.Control == control; });
}

}  // namespace html
