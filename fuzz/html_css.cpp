// Style sheets and STYLE attributes from arbitrary bytes, then the cascade and the computed
// values of nested elements styled by them. The first byte picks the entry point (low two bits)
// and how often the four elements nest (the rest); a font size that is not finite or beyond a
// screen font stops the run.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "html/css/CssComputed.h"
#include "html/css/CssLengths.h"
#include "html/css/CssParser.h"
#include "html/css/CssStyles.h"
#include "platform/windows/QtRuntime.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  return 0;
}

namespace {

void Inspect(html::TProperties& p) {
  html::TVMarginArray a;
  p.GetVMarginArray(a);
  html::TMarginArray r;
  int autoCount;
  html::ConvMargArray(a, 640, 480, p.EmPixels, p.ExPixels, autoCount, r);
  html::ConvInlineMargArray(a, 640, 16, 8, r);
  html::ConvCellPadding(a, 16, 8, r);
  bool top, bottom;
  html::ConvVertMargins(a, 640, 16, 8, top, bottom, r);
  html::TBackgroundPos pos;
  p.GetBackgroundPos(16, 8, pos);
  std::string url;
  p.GetBackgroundImage(url);
  bool isPercent;
  p.GetTextIndent(isPercent);
  p.GetLineHeight(20);
  int code;
  p.GetClear(code);
  p.GetFont();
  html::TFontInfoArray fonts;
  p.GetFontInfo(fonts);
  for (const html::ThtFontInfo& font : fonts.Ar)
    if (!std::isfinite(font.Size) || font.Size > html::kLargestPointSize) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  html::TStyleList styles;
  styles.Initialize("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF, true, 0, 5,
                    5);
  auto inlineStyle = std::make_shared<html::TProperties>();
  const int mode = data[0] % 4;
  if (mode == 3) {
    html::ParseInlineStyle(text, *inlineStyle);
  } else {
    size_t next = 1;
    char ch = text.empty() ? '\0' : text[0];
    const std::string linkPath = mode == 2 ? "http://host/css/" : mode == 1 ? "/site/" : "";
    html::ParseStyleSheet(
        styles, ch, [&] { return next < text.size() ? text[next++] : '\0'; },
        [&] { return next < text.size() ? text[next] : '\0'; }, mode != 0, linkPath);
  }
  html::TPropStack stack;
  stack.Add(std::make_unique<html::TProperties>()).CopyFrom(*styles.DefaultProperties());
  const char* const tags[][4] = {{"div", "x", "n", ""},
                                 {"p", "a.b", "", ""},
                                 {"a", "x", "", "link"},
                                 {"span", "", "m", "hover"}};
  for (int round = data[0] / 4 % 16; round >= 0; --round) {
    for (const auto& element : tags) {
      html::TProperties& parent = stack.Last();
      html::TProperties& p = stack.Add(std::make_unique<html::TProperties>());
      p.Inherit(element[0], parent);
      p.CombineCascade(styles, &stack, element[0], element[1], element[2], element[3], "",
                       inlineStyle);
      Inspect(p);
    }
  }
  return 0;
}
