#include <initializer_list>

#include "html/HtmlEngine.h"
#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"

namespace html {

namespace {

using Setting = std::pair<int, TCssValue>;

void Set(TStyleRule& rule, std::initializer_list<Setting> settings) {
  for (const Setting& s : settings) rule.Set(s.first, s.second);
}

TCssValue Text(const char* s) {
  return std::string(s);
}

}  // namespace

void TStyleList::Initialize(const std::string& fontName, const std::string& preFontName,
                            int pointSize, TColor colour, TColor linkColour, TColor visitedColour,
                            TColor hoverColour, bool underlineLinks, uint8_t charset,
                            int marginHeight, int marginWidth) {
  Clear();
  SetDefaultPointSize(pointSize);
  auto add = [&](const char* key, std::initializer_list<Setting> settings) -> TStyleRule& {
    TStyleRule& rule = AddObject(key);
    Set(rule, settings);
    return rule;
  };
  auto copies = [&](const TStyleRule& source, std::initializer_list<const char*> keys) {
    for (const char* key : keys) AddDuplicate(key, source);
  };
  const TCssValue paraMargin = DefaultParaMargin;

  add("default", {{piFontFamily, fontName},
                  {piFontSize, double(pointSize)},
                  {piFontStyle, Text("none")},
                  {piFontWeight, Text("normal")},
                  {piTextAlign, Text("left")},
                  {piTextDecoration, Text("none")},
                  {piTextTransform, uint8_t(0)},
                  {piWordWrap, Text("normal")},
                  {piFontVariant, Text("normal")},
                  {piColor, colour},
                  {piMarginTop, marginHeight},
                  {piMarginBottom, marginHeight},
                  {piMarginLeft, marginWidth},
                  {piMarginRight, marginWidth},
                  {piVisibility, uint8_t(2)},
                  {piLetterSpacing, 0}});
  defaultRule_ = &entries_.back();
  defaultCharset_ = charset;
  defaultFontName_ = fontName;
  RefreshDefaults();

  // Link colours keep to the viewer's palette on palette screens.
  const auto onPalette = [](TColor c) { return TColor(uint32_t(c) | PaletteRelative()); };
  add("::link", {{piColor, onPalette(linkColour)},
                 {piTextDecoration, Text(underlineLinks ? "underline" : "none")}});
  add("::visited", {{piColor, onPalette(visitedColour)}});
  add("::hover", {{piColor, onPalette(hoverColour)}});
  add("null", {});
  add("pre", {{piFontFamily, preFontName},
              {piFontSize, pointSize * 10.0 / 12.0},
              {piFontStyle, Text("none")},
              {piFontWeight, Text("normal")},
              {piTextDecoration, Text("none")}});
  add("p", {{piMarginTop, paraMargin}, {piMarginBottom, paraMargin}});
  add("p 11pre", {{piMarginTop, 0}});
  for (const char* key : {"ul", "ol", "menu", "dir"})
    add(key, {{piPaddingLeft, 35},
              {piListStyleType, Text("blank")},
              {piMarginTop, paraMargin},
              {piMarginBottom, paraMargin}});
  add("dl", {{piPaddingLeft, 0},
             {piMarginLeft, 0},
             {piMarginTop, 0},
             {piMarginBottom, 0},
             {piListStyleType, Text("none")}});
  add("dd", {{piPaddingLeft, 35}, {piMarginTop, 0}, {piMarginBottom, 0}});
  add("blockquote", {{piPaddingLeft, 35}, {piMarginTop, paraMargin}, {piMarginBottom, 14}});
  copies(add("code", {{piFontFamily, preFontName}, {piFontSize, Text("0.833em")}}),
         {"tt", "kbd", "samp"});
  copies(add("b", {{piFontWeight, Text("bold")}}), {"strong", "th"});
  add("sup", {{piFontSize, Text("75%")}, {piVerticalAlign, Text("super")}});
  add("sub", {{piFontSize, Text("75%")}, {piVerticalAlign, Text("sub")}});
  add("big", {{piFontSize, Text("1.25em")}});
  add("small", {{piFontSize, Text("0.75em")}});
  add("table", {{piTextAlign, Text("none")}});
  copies(add("i", {{piFontStyle, Text("italic")}}), {"em", "cite", "var", "address"});
  add("u", {{piTextDecoration, Text("underline")}});
  copies(add("s", {{piTextDecoration, Text("line-through")}}), {"strike"});
  copies(add("center", {{piTextAlign, Text("center")}}), {"caption"});
  TStyleRule& input = add("input", {{piFontFamily, Text("Arial Unicode MS, Arial")},
                                    {piFontSize, Text("10pt")},
                                    {piFontStyle, Text("none")},
                                    {piFontWeight, Text("normal")},
                                    {piTextAlign, Text("left")},
                                    {piTextDecoration, Text("none")},
                                    {piColor, colour}});
  copies(input, {"select"});
  AddDuplicate("textarea", input).Set(piFontFamily, preFontName);
  add("hr", {{piMarginLeft, 0}, {piMarginRight, 0}, {piMarginTop, 10}, {piMarginBottom, 10}});
  const double headingSizes[] = {24, 18, 14, 12, 10, 8};
  for (int level = 1; level <= 6; ++level) {
    const std::string key = "h" + std::to_string(level);
    add(key.c_str(), {{piFontSize, pointSize / 12.0 * headingSizes[level - 1]},
                      {piMarginTop, 19},
                      {piMarginBottom, 19},
                      {piFontWeight, Text("bold")}});
  }
}

}  // namespace html
