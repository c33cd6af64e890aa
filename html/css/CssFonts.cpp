#include "html/css/CssFonts.h"

#include <cstring>
#include <string_view>

#include "html/css/CssText.h"
#include "platform/drawing/FontFamilies.h"

namespace html {

namespace {

struct GenericFamily {
  std::string_view generic;
  std::string_view family;
};

constexpr GenericFamily kGenericFamilies[] = {
    {"serif", "Times New Roman"},      {"monospace", "Courier New"}, {"sans-serif", "Arial"},
    {"cursive", "Lucida Handwriting"}, {"helvetica", "Arial"},
};

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

}  // namespace

void TMyFont::Assign(const plat::TPersistent& source) {
  if (const auto* font = dynamic_cast<const TMyFont*>(&source)) {
    BackgroundColor = font->BackgroundColor;
    tmHeight = font->tmHeight;
    tmDescent = font->tmDescent;
    tmExternalLeading = font->tmExternalLeading;
    tmAveCharWidth = font->tmAveCharWidth;
    tmMaxCharWidth = font->tmMaxCharWidth;
    tmCharset = font->tmCharset;
    LetterSpacing = font->LetterSpacing;
  }
  plat::TFont::Assign(source);
}

plat::TTextMetric MeasureFont(TMyFont& font) {
  plat::DeviceContext screen;
  screen.SelectFont(font.LogFont());
  const plat::TTextMetric metric = screen.GetTextMetrics();
  font.tmHeight = metric.Height;
  font.tmDescent = metric.Descent;
  font.tmExternalLeading = metric.ExternalLeading;
  font.tmAveCharWidth = metric.AveCharWidth;
  font.tmMaxCharWidth = metric.MaxCharWidth;
  font.tmCharset = font.Charset();
  return metric;
}

namespace {
template <class T>
void AppendBytes(std::string& key, const T& value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  key.append(bytes, sizeof(T));
}

}  // namespace

// Everything that tells one font from another; the name comes last, so no two keys of
// different fields run together.
std::string TMyFont::ShareKey() const {
  std::string key;
  for (const int value :
       {Height(), int(Style()), int(Color()), int(Charset()), int(Pitch()), int(Quality()),
        int(BackgroundColor), tmHeight, tmDescent, tmExternalLeading, tmAveCharWidth,
        tmMaxCharWidth, int(tmCharset), LetterSpacing})
    AppendBytes(key, value);
  return key + Name();
}

void AssignCanvasFont(plat::TCanvas& canvas, const TMyFont& font) {
  canvas.Font().Assign(font);
  if (canvas.Handle()) canvas.Handle()->SetTextCharacterExtra(font.LetterSpacing);
}

std::string NextFontFamily(std::string_view& list) {
  const size_t comma = list.find(',');
  std::string family = Trim(list.substr(0, comma));
  list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
  for (const GenericFamily& generic : kGenericFamilies)
    if (SameText(family, generic.generic)) family = generic.family;
  if (!family.empty() && IsQuote(family.back())) family.pop_back();
  if (!family.empty() && IsQuote(family.front())) family.erase(0, 1);
  return family;
}

std::string PickFontFamily(std::string_view list) {
  while (!list.empty()) {
    const std::string family = NextFontFamily(list);
    if (!family.empty() && plat::FontFamilyInstalled(family)) return family;
  }
  return {};
}

}  // namespace html
