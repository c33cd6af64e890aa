// Property indexes, markers and the box arrays of the CSS layer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "html/css/CssValues.h"

namespace html {

// Box values: not given, "auto", and the default paragraph margin (14 pixels and a flag).
inline constexpr int32_t UnsetLength = -12345678;
inline constexpr int32_t AutoLength = -12348765;
inline constexpr int32_t DefaultParaMargin = -12348766;

// The properties, in slot order.
enum TPropertyIndex : int {
  piFontFamily,
  piFontSize,
  piFontStyle,
  piFontWeight,
  piTextAlign,
  piTextDecoration,
  piLetterSpacing,
  piBorderStyle,
  piColor,
  piBackgroundColor,
  piBorderColor,
  piMarginTop,
  piMarginRight,
  piMarginBottom,
  piMarginLeft,
  piPaddingTop,
  piPaddingRight,
  piPaddingBottom,
  piPaddingLeft,
  piBorderTopWidth,
  piBorderRightWidth,
  piBorderBottomWidth,
  piBorderLeftWidth,
  piBorderTopColor,
  piBorderRightColor,
  piBorderBottomColor,
  piBorderLeftColor,
  piBorderTopStyle,
  piBorderRightStyle,
  piBorderBottomStyle,
  piBorderLeftStyle,
  piWidth,
  piHeight,
  piTop,
  piBottom,
  piRight,
  piLeft,
  piVisibility,
  piLineHeight,
  piBackgroundImage,
  piBackgroundPosition,
  piBackgroundRepeat,
  piBackgroundAttachment,
  piVerticalAlign,
  piPosition,
  piZIndex,
  piListStyleType,
  piListStyleImage,
  piFloat,
  piClear,
  piTextIndent,
  piPageBreakBefore,
  piPageBreakAfter,
  piPageBreakInside,
  piTextTransform,
  piWordWrap,
  piFontVariant,
  piBorderCollapse,
  piOverflow,
  piDisplay,
  PropertyCount
};

// The first and last index of the box range (background colour to "left").
inline constexpr int BoxFirst = piBackgroundColor;
inline constexpr int BoxLast = piLeft;

// The CSS name of a property index.
std::string_view PropertyName(int index);
// The index of a CSS name (exact comparison), or -1.
int FindPropertyIndex(std::string_view name);

// One value per property of the box range, indexed by property index.
template <class T>
struct TBoxArray {
  std::array<T, BoxLast - BoxFirst + 1> Items{};
  T& operator[](int index) { return Items[size_t(index - BoxFirst)]; }
  const T& operator[](int index) const { return Items[size_t(index - BoxFirst)]; }
  // Equal for arrays of equal values.
  std::string ShareKey() const {
    static_assert(std::has_unique_object_representations_v<T>);
    return std::string(reinterpret_cast<const char*>(Items.data()), sizeof(Items));
  }
};
using TMarginArray = TBoxArray<int32_t>;

// The box values of an element as the style gave them, converted when laid out. Nearly all are
// markers and small numbers: a slot holds those itself in 5 bytes, and texts and real numbers
// are kept beside the slots, so that a block keeps under 200 bytes instead of a kilobyte.
class TVMarginArray {
 public:
  // A copy, const so that assigning to it does not compile: values change through Set.
  const TCssValue operator[](int index) const;
  void Set(int index, TCssValue value);
  // Equal for arrays that hold the same values in the same places.
  std::string ShareKey() const;

 private:
  static constexpr size_t kSlots = BoxLast - BoxFirst + 1;
  static size_t SlotOf(int index) { return size_t(index - BoxFirst); }
  static bool KeptBeside(uint8_t kind);

  // Per slot the number, or the place of a text or real number in others_...
  std::array<int32_t, kSlots> values_{};
  // ...and the value's alternative in TCssValue.
  std::array<uint8_t, kSlots> kinds_{};
  std::vector<TCssValue> others_;
};

// One axis of a background's placement.
enum TBackgroundPosKind : uint8_t {
  bpTop,
  bpCenter,
  bpBottom,
  bpLeft,
  bpRight,
  bpPercent,
  bpPixels
};
struct TBackgroundPosRec {
  uint8_t PosKind = bpPixels;
  int32_t PosValue = 0;  // the percentage or pixels of bpPercent and bpPixels
  bool Repeats = true;
  bool Fixed = false;
};
// Horizontal, then vertical.
using TBackgroundPos = std::array<TBackgroundPosRec, 2>;

}  // namespace html
