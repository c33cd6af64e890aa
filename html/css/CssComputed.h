// Computed CSS values: codes of alignment and border style, url() addresses, and the box
// range converted to pixels once the available width is known.
#pragma once

#include <string>
#include <string_view>

#include "html/css/CssBoxes.h"
#include "html/css/CssValues.h"

namespace html {

// 0 none, 1 top, 2 middle, 3 baseline, 4 bottom, 5 left, 6 right, 7 justify, 8 sub, 9 super.
int ParseAlignment(std::string_view s);
// 0 none, 1 solid, 2 inset, 3 outset, 4 groove, 5 ridge, 6 dashed, 7 dotted, 8 double; unknown
// names are 0.
int BorderStyleCode(std::string_view s);
// The address inside url(...), without quotes; empty when the value is not a url().
std::string ExtractCssUrl(const TCssValue& v);

// The box of a block; autoCount counts the "auto" margins and width.
void ConvMargArray(const TVMarginArray& a, int baseWidth, int baseHeight, int emPixels,
                   int exPixels, int& autoCount, TMarginArray& r);
// Margins, border widths and size of an inline object (image, form control).
void ConvInlineMargArray(const TVMarginArray& a, int base, int emPixels, int exPixels,
                         TMarginArray& r);
// Paddings of a table cell: a percentage comes back negated, a length in pixels, none as -1.
void ConvCellPadding(const TVMarginArray& a, int emPixels, int exPixels, TMarginArray& r);
// Top and bottom margins of a block; a default paragraph margin sets its side's flag.
void ConvVertMargins(const TVMarginArray& a, int base, int emPixels, int exPixels, bool& topFlag,
                     bool& bottomFlag, TMarginArray& r);

}  // namespace html
