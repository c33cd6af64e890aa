#include <algorithm>
#include <string_view>

#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"

namespace html {

namespace {

constexpr std::string_view kPropertyNames[PropertyCount] = {
    "font-family",
    "font-size",
    "font-style",
    "font-weight",
    "text-align",
    "text-decoration",
    "letter-spacing",
    "border-style",
    "color",
    "background-color",
    "border-color",
    "margin-top",
    "margin-right",
    "margin-bottom",
    "margin-left",
    "padding-top",
    "padding-right",
    "padding-bottom",
    "padding-left",
    "border-top-width",
    "border-right-width",
    "border-bottom-width",
    "border-left-width",
    "border-top-color",
    "border-right-color",
    "border-bottom-color",
    "border-left-color",
    "border-top-style",
    "border-right-style",
    "border-bottom-style",
    "border-left-style",
    "width",
    "height",
    "top",
    "bottom",
    "right",
    "left",
    "visibility",
    "line-height",
    "background-image",
    "background-position",
    "background-repeat",
    "background-attachment",
    "vertical-align",
    "position",
    "z-index",
    "list-style-type",
    "list-style-image",
    "float",
    "clear",
    "text-indent",
    "page-break-before",
    "page-break-after",
    "page-break-inside",
    "text-transform",
    "word-wrap",
    "font-variant",
    "border-collapse",
    "overflow",
    "display",
};

// Wraps around after 2^32 sets rather than overflowing.
uint32_t serialCounter = 0;

struct CharsetCodePage {
  uint8_t charset;
  int32_t codePage;
};

constexpr CharsetCodePage kCodePages[] = {
    {0, 1252},   {1, 0},      {2, 0},      {77, 2},     {128, 932},  {129, 949},  {130, 1361},
    {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 1},
};

constexpr uint8_t kIso8859_2Code = 31;
constexpr uint8_t kEastEuropeCharset = 238;
constexpr uint8_t kDefaultCharset = 1;

bool IsBoxIndex(int index) {
  return index >= piMarginTop && index <= BoxLast;
}

}  // namespace

std::string_view PropertyName(int index) {
  return index >= 0 && index < PropertyCount ? kPropertyNames[index] : std::string_view();
}

int FindPropertyIndex(std::string_view name) {
  for (int i = 0; i < PropertyCount; ++i)
    if (kPropertyNames[i] == name) return i;
  return -1;
}

TProperties::TProperties() : SerialNo(int32_t(serialCounter++)) {
  // An empty z-index reads as 0; a stored 0 would override a rule's z-index in every merge.
  for (int i = piMarginTop; i <= BoxLast; ++i) Values[size_t(i)] = UnsetLength;
}

TProperties::~TProperties() = default;

void TProperties::CopyPropsFrom(const TProperties& source) {
  Values = source.Values;
}

void TProperties::CopyFrom(const TProperties& source) {
  Values = source.Values;
  AssignCharSet(source.Charset);
  DefaultFontName = source.DefaultFontName;
  Tag = "default";
}

void TProperties::AddPropertyByName(std::string_view name, const std::string& value) {
  const int index = FindPropertyIndex(name);
  if (index >= 0) AddPropertyByIndex(index, value);
}

void TProperties::AddPropertyByIndex(int index, const std::string& value) {
  TStyleRule declaration;
  declaration.AddPropertyByIndex(index, value);
  for (const TStyleRule::Slot& slot : declaration.Slots()) Values[slot.index] = slot.value;
}

void TProperties::AddPropertyValue(int index, const TCssValue& value) {
  if (index < 0 || index >= PropertyCount || GivenHere[size_t(index)]) return;
  Values[size_t(index)] = value;
  GivenHere[size_t(index)] = true;
  if (!IsLink || !LinkFonts) return;
  for (ThtFontInfo& font : LinkFonts->Ar) {
    if (index == piFontFamily) font.Name = VarToStr(value);
    if (index == piFontSize) font.Size = BoundedPointSize(VarToDouble(value, font.Size));
    if (index == piColor) font.Color = VarToInt(value, font.Color);
  }
}

void TProperties::Inherit(std::string_view tag, const TProperties& parent) {
  if (parent.Tag == "span") {
    for (int i = 0; i < PropertyCount; ++i)
      if (i != piBorderStyle) Values[size_t(i)] = parent.Values[size_t(i)];
  } else if (parent.Tag == "thead" || parent.Tag == "tbody" || parent.Tag == "tfoot") {
    Values = parent.Values;
    GivenHere = parent.GivenHere;
  } else {
    static constexpr int kInherited[] = {
        piFontFamily,     piFontSize,      piFontStyle,     piFontWeight,     piTextAlign,
        piTextDecoration, piLetterSpacing, piColor,         piVisibility,     piLineHeight,
        piVerticalAlign,  piZIndex,        piListStyleType, piListStyleImage, piTextIndent,
        piTextTransform,  piWordWrap,      piFontVariant,
    };
    for (int i : kInherited) Values[size_t(i)] = parent.Values[size_t(i)];
    // A table starts its own wrapping.
    if (tag == "table") Values[piWordWrap] = std::string("normal");
    for (int i = piMarginTop; i <= BoxLast; ++i) Values[size_t(i)] = UnsetLength;
  }
  DefaultFontName = parent.DefaultFontName;
  Title = parent.Title;
  TextBackground = parent.TextBackground;
  Charset = parent.Charset;
  CodePage = parent.CodePage;
  IsLink = parent.IsLink;
  if (IsLink) {
    if (!LinkFonts) LinkFonts = std::make_unique<TFontInfoArray>();
    if (parent.LinkFonts) *LinkFonts = *parent.LinkFonts;
  }
  EmPixels = parent.EmPixels;
  ExPixels = EmPixels / 2;
}

void TProperties::MergeItems(const TProperties& source) {
  for (int i = 0; i < PropertyCount; ++i) MergeSlot(i, source.Values[size_t(i)]);
}

void TProperties::MergeItems(const TStyleRule& source) {
  for (const TStyleRule::Slot& slot : source.Slots()) MergeSlot(slot.index, slot.value);
}

void TProperties::MergeSlot(int index, const TCssValue& value) {
  if (VarIsEmpty(value)) return;
  if (IsBoxIndex(index) && VarIsInteger(value) && VarToInt(value) == UnsetLength) return;
  Values[size_t(index)] = value;
  GivenHere[size_t(index)] = true;
  if (IsLink && index <= piBackgroundColor && index != piTextAlign && index != piBorderStyle)
    UpdateLinkFonts(index, value);
}

void TProperties::UpdateLinkFonts(int index, const TCssValue& value) {
  if (!LinkFonts) return;
  const std::string text = VarToStr(value);
  for (ThtFontInfo& font : LinkFonts->Ar) {
    switch (index) {
      case piFontFamily: {
        const std::string family = PickFontFamily(text);
        if (!family.empty()) font.Name = family;
        break;
      }
      case piFontSize:
        // A resolved size is already in points.
        font.Size = VarIsDouble(value) ? BoundedPointSize(VarToDouble(value))
                                       : FontSizeConv(text, font.Size);
        break;
      case piFontStyle:
        if (text == "italic" || text == "oblique") font.Style |= plat::fsItalic;
        if (text == "normal") font.Style &= uint8_t(~plat::fsItalic);
        break;
      case piFontWeight:
        if (Contains(text, "bold") || VarToInt(value, 0) >= 600) font.Style |= plat::fsBold;
        if (Contains(text, "normal")) font.Style &= uint8_t(~plat::fsBold);
        break;
      case piTextDecoration:
        if (text == "underline") font.Style |= plat::fsUnderline;
        if (text == "line-through") font.Style |= plat::fsStrikeOut;
        if (text == "none") font.Style &= uint8_t(~(plat::fsUnderline | plat::fsStrikeOut));
        break;
      case piLetterSpacing:
        font.LetterSpacing = value;
        break;
      case piColor:
        font.Color = VarToInt(value, font.Color);
        break;
      case piBackgroundColor:
        font.BackgroundColor = VarToInt(value, font.BackgroundColor);
        break;
      default:
        break;
    }
  }
}

void TProperties::GetBackgroundColor() {
  if (VarIsInteger(Values[piBackgroundColor]) && GivenHere[piBackgroundColor])
    TextBackground = VarToInt(Values[piBackgroundColor]);
}

void TProperties::GetFontInfo(TFontInfoArray& target) const {
  if (LinkFonts) target = *LinkFonts;
}

void TProperties::AssignCharSet(uint8_t charset) {
  if (charset == kIso8859_2Code) {
    Charset = kEastEuropeCharset;
    CodePage = 28592;
  } else {
    // The default charset stands for the system's ANSI one.
    const uint8_t resolved = charset == kDefaultCharset ? 0 : charset;
    Charset = charset == kDefaultCharset ? kDefaultCharset : resolved;
    const auto* row = std::find_if(std::begin(kCodePages), std::end(kCodePages),
                                   [&](const CharsetCodePage& r) { return r.charset == resolved; });
    if (row != std::end(kCodePages)) CodePage = row->codePage;
  }
  if (LinkFonts)
    for (ThtFontInfo& font : LinkFonts->Ar) font.Charset = Charset;
}

void TProperties::AssignUTF8() {
  CodePage = 65001;
  Charset = 0;
}

}  // namespace html
