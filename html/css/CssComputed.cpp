#include "html/css/CssComputed.h"

#include <algorithm>
#include <array>

#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"

namespace html {

namespace {

constexpr std::array<std::string_view, 10> kListStyleNames = {
    "blank",       "circle", "decimal", "disc",        "lower-alpha",
    "lower-roman", "none",   "square",  "upper-alpha", "upper-roman"};
constexpr std::array<std::string_view, 9> kBorderStyleNames = {
    "none", "solid", "inset", "outset", "groove", "ridge", "dashed", "dotted", "double"};

// Pixels of a string length; integers as they are, `unset` standing in for UnsetLength.
struct LengthReader {
  int emPixels, exPixels;
  bool Read(const TCssValue& v, int base, int fallback, int unset, int32_t& out) const {
    if (const std::string* s = VarString(v)) {
      out = LengthConv(*s, false, base, emPixels, exPixels, fallback);
      return true;
    }
    if (VarIsInteger(v)) {
      const int32_t i = VarToInt(v);
      out = i == UnsetLength ? unset : i;
      return true;
    }
    return false;
  }
};

constexpr int kBorderWidthDefault = 4;

// A side's border width; false leaves the result as it was.
bool ReadBorderWidth(const TVMarginArray& a, int index, int base, const LengthReader& reader,
                     int32_t& out) {
  const TCssValue style = a[index + 8];
  if (VarIsInteger(style) && VarToInt(style) == 0) {
    out = 0;
    return true;
  }
  const TCssValue v = a[index];
  if (VarIs(v, "thin"))
    out = 2;
  else if (VarIs(v, "medium"))
    out = 4;
  else if (VarIs(v, "thick"))
    out = 6;
  else
    return reader.Read(v, base, kBorderWidthDefault, kBorderWidthDefault, out);
  return true;
}

}  // namespace

int ParseAlignment(std::string_view s) {
  const std::string a = LowerCase(s);
  if (a == "top") return 1;
  if (a == "middle" || a == "absmiddle" || a == "center") return 2;
  if (a == "left") return 5;
  if (a == "right") return 6;
  if (a == "bottom") return 4;
  if (a == "baseline") return 3;
  if (a == "justify") return 7;
  return 0;
}

int BorderStyleCode(std::string_view s) {
  const auto it = std::find(kBorderStyleNames.begin(), kBorderStyleNames.end(), s);
  return it == kBorderStyleNames.end() ? 0 : int(it - kBorderStyleNames.begin());
}

std::string ExtractCssUrl(const TCssValue& v) {
  const std::string* s = VarString(v);
  if (!s) return {};
  const size_t url = s->find("url(");
  if (url == std::string::npos) return {};
  const size_t start = url + 4;
  const size_t close = s->find(')', start);
  std::string address =
      s->substr(start, close == std::string::npos ? std::string::npos : close - start);
  if (address.size() > 2 && (address.front() == '"' || address.front() == '\'')) {
    address.pop_back();
    address.erase(0, 1);
  }
  return address;
}

// ---- Readers of a property set

bool TProperties::GetBackgroundImage(std::string& url) const {
  const std::string* s = VarString(Values[piBackgroundImage]);
  if (!s) return false;
  if (*s == "none") {
    url.clear();
    return true;
  }
  url = ExtractCssUrl(Values[piBackgroundImage]);
  return !url.empty();
}

bool TProperties::GetVertAlign(int& align) const {
  const std::string* s = VarString(Values[piVerticalAlign]);
  if (!s) return false;
  if (*s == "top" || *s == "text-top")
    align = 1;
  else if (*s == "middle")
    align = 2;
  else if (*s == "baseline")
    align = 3;
  else if (*s == "bottom")
    align = 4;
  else if (*s == "sub")
    align = 8;
  else if (*s == "super")
    align = 9;
  else
    return false;
  return true;
}

bool TProperties::IsOverflowHidden() const {
  return VarIs(Values[piOverflow], "hidden");
}

bool TProperties::GetFloat(int& align) const {
  const TCssValue& v = Values[piFloat];
  if (VarIs(v, "left"))
    align = 5;
  else if (VarIs(v, "right"))
    align = 6;
  else if (VarIs(v, "none"))
    align = 0;
  else
    return false;
  return true;
}

bool TProperties::GetClear(int& clear) {
  const std::string* s = VarString(Values[piClear]);
  if (!s) return false;
  bool known = true;
  if (*s == "left")
    clear = 1;
  else if (*s == "right")
    clear = 2;
  else if (*s == "both")
    clear = 3;
  else if (*s == "none")
    clear = 0;
  else
    known = false;
  Values[piClear] = TCssValue();
  return known;
}

int TProperties::GetListStyleType() const {
  const std::string* s = VarString(Values[piListStyleType]);
  if (!s) return 0;
  const auto it = std::find(kListStyleNames.begin(), kListStyleNames.end(), *s);
  return it == kListStyleNames.end() ? 0 : int(it - kListStyleNames.begin());
}

std::string TProperties::GetListStyleImage() const {
  return ExtractCssUrl(Values[piListStyleImage]);
}

int TProperties::GetPosition() const {
  if (VarIs(Values[piPosition], "absolute")) return 1;
  if (VarIs(Values[piPosition], "relative")) return 2;
  return 0;
}

int TProperties::GetVisibility() const {
  const TCssValue& v = Values[piVisibility];
  return VarIsInteger(v) && VarToInt(v) == 1 ? 1 : 2;
}

int TProperties::GetZIndex() const {
  const TCssValue& v = Values[piZIndex];
  return VarIsInteger(v) || VarIsString(v) ? VarToInt(v, 0) : 0;
}

bool TProperties::DisplayNone() const {
  return VarIs(Values[piDisplay], "none");
}

bool TProperties::Collapse() const {
  return VarIs(Values[piBorderCollapse], "collapse");
}

int TProperties::GetLineHeight(int newHeight) const {
  const std::string* s = VarString(Values[piLineHeight]);
  if (!s) return -1;
  double factor;
  if (!s->empty() && ReadNumber(*s, factor) == s->size()) return RoundClamped(newHeight * factor);
  return LengthConv(*s, true, EmPixels, EmPixels, ExPixels, -1);
}

int TProperties::GetTextIndent(bool& isPercent) const {
  isPercent = false;
  const std::string* s = VarString(Values[piTextIndent]);
  if (!s) return 0;
  if (Contains(*s, "%")) {
    isPercent = true;
    return LengthConv(*s, true, 100, 0, 0, 0);
  }
  return LengthConv(*s, false, 0, EmPixels, EmPixels, 0);
}

int TProperties::GetTextTransform() const {
  const TCssValue& v = Values[piTextTransform];
  return VarIsInteger(v) ? VarToInt(v) : 0;
}

std::string TProperties::GetFontVariant() const {
  const std::string* s = VarString(Values[piFontVariant]);
  return s ? *s : "normal";
}

void TProperties::GetPageBreaks(bool& before, bool& after, bool& inside) const {
  before = VarIs(Values[piPageBreakBefore], "always");
  after = VarIs(Values[piPageBreakAfter], "always");
  inside = VarIs(Values[piPageBreakInside], "avoid");
}

TColor TProperties::GetBoxBackgroundColor() const {
  const TCssValue& v = Values[piBackgroundColor];
  return VarIsInteger(v) && GivenHere[piBackgroundColor] ? VarToInt(v) : clNone;
}

TColor TProperties::GetForegroundColor() const {
  const TCssValue& v = Values[piColor];
  return VarIsInteger(v) && GivenHere[piColor] ? VarToInt(v) : clNone;
}

int TProperties::HasBorderStyle() const {
  const std::string* s = VarString(Values[piBorderStyle]);
  return s ? BorderStyleCode(*s) : 0;
}

bool TProperties::BorderStyleAssigned() const {
  return VarIsString(Values[piBorderStyle]);
}

void TProperties::GetBackgroundPos(int emPixels, int exPixels, TBackgroundPos& pos) const {
  pos = TBackgroundPos{};
  if (const std::string* s = VarString(Values[piBackgroundPosition])) {
    const std::string text = Trim(*s);
    const size_t blank = text.find(' ');
    std::array<std::string, 2> words = {text.substr(0, blank), ""};
    if (blank != std::string::npos) words[1] = Trim(text.substr(blank + 1));
    const int count = words[1].empty() ? 1 : 2;
    size_t record = 0;  // the record the next word goes to
    bool verticalWordFirst = false;
    for (int k = 0; k < count; ++k) {
      const std::string& word = words[size_t(k)];
      TBackgroundPosRec& r = pos[record];
      r.PosKind = bpPixels;
      if (word == "center") {
        r.PosKind = bpCenter;
      } else if (Contains(word, "%")) {
        r.PosKind = bpPercent;
      } else if (word == "left" || word == "right") {
        if (record == 1) pos[1] = pos[0];
        pos[0].PosKind = word == "left" ? bpLeft : bpRight;
      } else if (word == "top" || word == "bottom") {
        pos[1].PosKind = word == "top" ? bpTop : bpBottom;
        if (record == 0) {
          verticalWordFirst = true;
          continue;  // the next word is the horizontal one
        }
      }
      if (r.PosKind == bpPercent || r.PosKind == bpPixels)
        r.PosValue = LengthConv(word, false, 100, emPixels, exPixels, 0);
      record = 1;
    }
    if (count == 1) {
      if (verticalWordFirst)
        pos[0].PosKind = bpCenter;
      else
        pos[1].PosKind = bpCenter;
    }
  }
  const std::string* repeat = VarString(Values[piBackgroundRepeat]);
  if (repeat && *repeat == "no-repeat") pos[0].Repeats = pos[1].Repeats = false;
  if (repeat && *repeat == "repeat-x") pos[1].Repeats = false;
  if (repeat && *repeat == "repeat-y") pos[0].Repeats = false;
  pos[0].Fixed = pos[1].Fixed = VarIs(Values[piBackgroundAttachment], "fixed");
}

void TProperties::GetVMarginArray(TVMarginArray& a) const {
  for (int i = BoxFirst; i <= BoxLast; ++i) {
    const TCssValue& v = Values[size_t(i)];
    if (i >= piBorderTopStyle && i <= piBorderLeftStyle) {
      const std::string* s = VarString(v);
      a.Set(i, uint8_t(s ? BorderStyleCode(*s) : 0));
    } else {
      a.Set(i, v);
    }
  }
}

// ---- Box arrays

void ConvMargArray(const TVMarginArray& a, int baseWidth, int baseHeight, int emPixels,
                   int exPixels, int& autoCount, TMarginArray& r) {
  r = TMarginArray{};
  autoCount = 0;
  const LengthReader reader{emPixels, exPixels};
  for (int i = BoxFirst; i <= BoxLast; ++i) {
    const TCssValue v = a[i];
    const int base = i == piHeight || i == piTop ? baseHeight : baseWidth;
    switch (i) {
      case piBackgroundColor:
      case piBorderColor:
        r[i] = VarIsEmpty(v) ? clNone : VarToInt(v, 0);
        break;
      case piMarginTop:
      case piMarginBottom:
        break;
      case piMarginRight:
      case piMarginLeft:
        if (VarIs(v, "auto")) {
          r[i] = AutoLength;
          ++autoCount;
        } else if (!reader.Read(v, base, 0, 0, r[i])) {
          r[i] = 0;
        }
        break;
      case piPaddingTop:
      case piPaddingRight:
      case piPaddingBottom:
      case piPaddingLeft:
      case piHeight:
        if (!reader.Read(v, base, 0, 0, r[i])) r[i] = 0;
        if (i == piHeight && VarString(v) && Contains(*VarString(v), "%"))
          r[i] = std::max(0, r[i] - r[piBorderTopWidth] - r[piBorderBottomWidth] - r[piPaddingTop] -
                                 r[piPaddingBottom]);
        break;
      case piBorderTopWidth:
      case piBorderRightWidth:
      case piBorderBottomWidth:
      case piBorderLeftWidth:
        ReadBorderWidth(a, i, base, reader, r[i]);
        break;
      case piWidth:
        if (!reader.Read(v, base, AutoLength, AutoLength, r[i])) r[i] = AutoLength;
        if (r[i] == AutoLength) ++autoCount;
        break;
      case piTop:
      case piBottom:
      case piRight:
      case piLeft:
        if (!reader.Read(v, base, AutoLength, AutoLength, r[i])) r[i] = AutoLength;
        break;
      default:  // side colours and styles
        if (!reader.Read(v, base, 0, 0, r[i])) r[i] = 0;
    }
  }
}

void ConvInlineMargArray(const TVMarginArray& a, int base, int emPixels, int exPixels,
                         TMarginArray& r) {
  const LengthReader reader{emPixels, exPixels};
  for (int i = piMarginTop; i <= piMarginLeft; ++i)
    if (!reader.Read(a[i], base, 0, UnsetLength, r[i])) r[i] = UnsetLength;
  for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i)
    ReadBorderWidth(a, i, base, reader, r[i]);
  for (int i : {int(piWidth), int(piHeight)})
    if (!reader.Read(a[i], base, AutoLength, UnsetLength, r[i])) r[i] = UnsetLength;
}

void ConvCellPadding(const TVMarginArray& a, int emPixels, int exPixels, TMarginArray& r) {
  const LengthReader reader{emPixels, exPixels};
  // A negative base returns a percentage negated, telling it from pixels.
  for (int i = piPaddingTop; i <= piPaddingLeft; ++i)
    if (!reader.Read(a[i], -100, 0, -1, r[i])) r[i] = -1;
}

void ConvVertMargins(const TVMarginArray& a, int base, int emPixels, int exPixels, bool& topFlag,
                     bool& bottomFlag, TMarginArray& r) {
  constexpr int kParagraphMargin = 14;
  const LengthReader reader{emPixels, exPixels};
  topFlag = bottomFlag = false;
  for (int i : {int(piMarginTop), int(piMarginBottom)}) {
    const TCssValue v = a[i];
    bool& flag = i == piMarginTop ? topFlag : bottomFlag;
    if (VarIsInteger(v) && VarToInt(v) == DefaultParaMargin) {
      r[i] = kParagraphMargin;
      flag = true;
    } else if (!reader.Read(v, base, 0, 0, r[i])) {
      r[i] = 0;
    }
  }
}

}  // namespace html
