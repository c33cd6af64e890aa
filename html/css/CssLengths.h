// CSS numbers, lengths and font sizes turned into pixels and points.
#pragma once

#include <cstdint>
#include <string_view>

namespace html {

// Point size of the document's default font; font-size keywords are relative to it. Set by the
// style sheet's initialisation.
double DefaultPointSize();
void SetDefaultPointSize(double points);

// The longest leading number of `s`: optional sign, digits, optional fraction. An exponent is
// never part of it, so 2em is 2 em. Magnitudes stop at 1e9. Returns the number of characters
// read (0: no number) and the value in `value` (0 without a number).
size_t ReadNumber(std::string_view s, double& value);
// The whole text (without blanks around it) as a decimal integer; `fallback` otherwise or when it
// does not fit 32 bits.
int32_t StrToIntDef(std::string_view s, int32_t fallback);

// Rounded half to even and clamped to +-limit, so that absurd page values stay harmless.
int32_t RoundClamped(double v, double limit = 16777216.0);

// Font sizes stay within what a screen font can be (2000 pixels at 96 dots per inch).
inline constexpr double kLargestPointSize = 1500;
// A size in points within 0..kLargestPointSize; not a number gives the default size.
double BoundedPointSize(double points);
// A measure in points for a base size in points (the em, ex and percent base), bounded.
double FontSizeConv(std::string_view s, double baseSize);
// A measure in pixels. Percentages are of `base`; a bare number is base x number when
// `relative`, else pixels; an unknown unit gives `fallback`.
int32_t LengthConv(std::string_view s, bool relative, int32_t base, int32_t emPixels,
                   int32_t exPixels, int32_t fallback);

}  // namespace html
