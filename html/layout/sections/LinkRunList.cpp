// The document's list of link runs, found again through the place each run remembers.
#include <algorithm>

#include "html/layout/sections/DocumentObjects.h"

namespace html {

uint32_t TLinkRun::Remembered(size_t place, size_t count) {
  return place < count && place < kNotListed ? uint32_t(place) : kNotListed;
}

size_t FindLinkRun(const std::vector<TLinkRun*>& runs, const TLinkRun& run) {
  const size_t count = runs.size();
  size_t place = run.listed_;
  if (place < count && runs[place] == &run) return place;
  // Runs taken out before it moved it towards the front; a list filled some other way is
  // searched whole.
  const size_t from = place == TLinkRun::kNotListed ? count : std::min(place, count);
  const auto before =
      std::find(std::make_reverse_iterator(runs.begin() + ptrdiff_t(from)), runs.rend(), &run);
  if (before != runs.rend()) {
    place = size_t(runs.rend() - before) - 1;
  } else {
    place = size_t(std::find(runs.begin() + ptrdiff_t(from), runs.end(), &run) - runs.begin());
  }
  run.listed_ = TLinkRun::Remembered(place, count);
  return place;
}

void AddLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run) {
  // A run that was never listed, or was taken out since, is not there.
  if (run.listed_ != TLinkRun::kNotListed && FindLinkRun(runs, run) < runs.size()) return;
  run.listed_ = TLinkRun::Remembered(runs.size(), runs.size() + 1);
  runs.push_back(&run);
}

void DropLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run) {
  if (run.listed_ == TLinkRun::kNotListed) return;
  const size_t place = FindLinkRun(runs, run);
  if (place < runs.size()) runs.erase(runs.begin() + ptrdiff_t(place));
  run.listed_ = TLinkRun::kNotListed;
}

}  // namespace html
