// The lists of objects in a section's text: look-ups by position and by point.
#include <algorithm>

#include "html/layout/text/InlineObjects.h"
#include "html/layout/text/PointedObjects.h"

namespace html {

namespace {

// Characters from position to the first item at or after it; none when there is none.
template <class List, class PosOf>
int32_t CountToNext(const List& list, int32_t position, int32_t none, PosOf posOf) {
  int32_t count = none;
  for (const auto& item : list)
    if (posOf(item) >= position) count = std::min(count, posOf(item) - position);
  return count;
}

// The item at position in a list ordered by position, or null.
template <class List>
auto FindAt(const List& list, int32_t position) {
  const auto at = FirstAtOrAfter(list, position);
  return at != list.end() && (*at)->Pos == position ? &**at : nullptr;
}

}  // namespace

TFloatingObj* TImageObjList::FindImage(int32_t position) const {
  return FindAt(*this, position);
}

int32_t TImageObjList::GetHeightAt(int32_t position, uint8_t& align, TFloatingObj*& obj) const {
  obj = FindImage(position);
  if (!obj) return -1;
  align = obj->ObjAlign;
  return obj->ImageHeight + obj->VSpaces();
}

int32_t TImageObjList::GetWidthAt(int32_t position, uint8_t& align, int32_t& spaceL,
                                  int32_t& spaceR, TFloatingObj*& obj) const {
  obj = FindImage(position);
  if (!obj) return -1;
  align = obj->ObjAlign;
  spaceL = obj->HSpaceL;
  spaceR = obj->HSpaceR;
  return obj->ImageWidth;
}

int32_t TImageObjList::GetImageCountAt(int32_t position) const {
  return CountToNext(*this, position, kNoMoreImages, [](const auto& obj) { return obj->Pos; });
}

TPointedImage* TImageObjList::PtInImage(int32_t x, int32_t y, int32_t& ix, int32_t& iy,
                                        const TFloatingObj*& obj, int32_t from, int32_t to) const {
  for (auto at = FirstAtOrAfter(*this, from); at != end() && (*at)->Pos < to; ++at) {
    const auto& candidate = *at;
    auto* image = dynamic_cast<TPointedImage*>(candidate.get());
    if (image && image->PointInside(x, y, ix, iy)) {
      obj = candidate.get();
      return image;
    }
  }
  return nullptr;
}

TFloatingObj* TImageObjList::PtInObject(int32_t x, int32_t y, int32_t& ix, int32_t& iy,
                                        int32_t from, int32_t to) const {
  for (auto at = FirstAtOrAfter(*this, from); at != end() && (*at)->Pos < to; ++at) {
    const auto& obj = *at;
    const auto* pointed = dynamic_cast<const TPointedObject*>(obj.get());
    if (pointed && pointed->PointInside(x, y, ix, iy)) return obj.get();
  }
  return nullptr;
}

TFormControlObj* TFormControlList::FindControl(int32_t position) const {
  return FindAt(*this, position);
}

int32_t TFormControlList::GetFlagAtPosition(int32_t position, uint8_t& align) const {
  const TFormControlObj* control = FindControl(position);
  if (!control) return -1;
  align = control->FormAlign;
  return control->Height();
}

int32_t TFormControlList::GetSizeAtPosition(int32_t position, int32_t& spaceL,
                                            int32_t& spaceR) const {
  const TFormControlObj* control = FindControl(position);
  if (!control) return -1;
  spaceL = control->HSpaceL;
  spaceR = control->HSpaceR;
  return control->Width();
}

int32_t TFormControlList::NextPosition(int32_t position) const {
  return CountToNext(*this, position, kNoMoreControls,
                     [](const TFormControlObj* control) { return control->Pos; });
}

}  // namespace html
