#include "html/css/CssRuleSet.h"

#include <algorithm>

#include "html/css/CssBoxes.h"
#include "html/css/CssColors.h"

namespace html {

namespace {

const TCssValue kNoValue;

}  // namespace

const TCssValue& TStyleRule::Value(int index) const {
  const auto it = std::lower_bound(slots_.begin(), slots_.end(), index,
                                   [](const Slot& slot, int i) { return slot.index < i; });
  return it != slots_.end() && it->index == index ? it->value : kNoValue;
}

void TStyleRule::Set(int index, TCssValue value) {
  if (index < 0 || index >= PropertyCount) return;
  const auto it = std::lower_bound(slots_.begin(), slots_.end(), index,
                                   [](const Slot& slot, int i) { return slot.index < i; });
  if (it != slots_.end() && it->index == index)
    it->value = std::move(value);
  else
    slots_.insert(it, Slot{uint8_t(index), std::move(value)});
}

void TStyleRule::AddPropertyByName(std::string_view name, const std::string& value) {
  const int index = FindPropertyIndex(name);
  if (index >= 0) AddPropertyByIndex(index, value);
}

void TStyleRule::AddPropertyByIndex(int index, const std::string& value) {
  TColor colour = 0;
  switch (index) {
    case piBorderStyle:
      for (int i : {int(piBorderStyle), int(piBorderTopStyle), int(piBorderRightStyle),
                    int(piBorderBottomStyle), int(piBorderLeftStyle)})
        Set(i, value);
      break;
    case piColor:
      // A colour that cannot be read leaves whatever the element has.
      if (ParseColor(value, false, colour)) Set(index, colour);
      break;
    case piBackgroundColor:
      Set(index, ParseColor(value, false, colour) ? colour : clNone);
      break;
    case piBorderColor:
      if (!ParseColor(value, false, colour)) break;
      for (int i : {int(piBorderColor), int(piBorderTopColor), int(piBorderRightColor),
                    int(piBorderBottomColor), int(piBorderLeftColor)})
        Set(i, colour);
      break;
    case piBorderTopColor:
    case piBorderRightColor:
    case piBorderBottomColor:
    case piBorderLeftColor:
      if (ParseColor(value, false, colour)) Set(index, colour);
      break;
    case piBorderTopStyle:
    case piBorderRightStyle:
    case piBorderBottomStyle:
    case piBorderLeftStyle:
      Set(index, value);
      if (value != "none") Set(piBorderStyle, value);
      break;
    case piVisibility:
      if (value == "visible") Set(index, uint8_t(2));
      if (value == "hidden") Set(index, uint8_t(1));
      break;
    case piTextTransform:
      Set(index, uint8_t(value == "uppercase" ? 1 : value == "lowercase" ? 2 : 0));
      break;
    case piWordWrap:
      Set(index, value == "break-word" ? value : std::string("normal"));
      break;
    case piFontVariant:
      if (value == "small-caps" || value == "normal") Set(index, value);
      break;
    default:
      Set(index, value);
  }
}

}  // namespace html
