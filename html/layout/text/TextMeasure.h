// Measuring and classifying the characters of a text section, shared by its layout and drawing.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

#include "html/layout/text/FontRuns.h"
#include "html/layout/text/TextSection.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace html {

// The canvas's context, or a measuring-only one when the canvas has none.
plat::DeviceContext& TextContext(plat::TCanvas& canvas);
// Selects the run's font with its letter spacing for measuring and drawing.
void SelectRunFont(plat::TCanvas& canvas, const TFontObj& run);

// Characters of far-eastern scripts: each may stand alone on a line. The second half of a
// surrogate pair is not one, so a pair is never split.
inline bool IsWideChar(char16_t ch) {
  return ch >= 0x3000 && !(ch >= 0xDC00 && ch <= 0xDFFF);
}

inline bool IsObjectChar(char16_t ch) {
  return ch == kObjectChar || ch == kControlChar;
}

// Characters after which a word may end.
inline bool IsBreakChar(char16_t ch) {
  return IsObjectChar(ch) || ch == kLineBreakChar || ch == u' ' || ch == u'-' || ch == u'?' ||
         IsWideChar(ch);
}

// Hands out a justified line's extra pixels gap by gap (spaces and no-break spaces), as text
// output spreads them: the context's justification always covers the gaps not yet passed, so
// what is measured or drawn next gets the shares painting gives it.
class TGapShares {
 public:
  TGapShares(plat::DeviceContext& dc, const LineRec& line)
      : dc_(dc),
        justified_(line.ExtraWidth > 0 && line.GapCount > 0),
        extra_(justified_ ? line.ExtraWidth : 0),
        count_(justified_ ? line.GapCount : 0) {
    Apply();
  }
  ~TGapShares() { dc_.SetTextJustification(0, 0); }
  TGapShares(const TGapShares&) = delete;
  TGapShares& operator=(const TGapShares&) = delete;

  // The gaps of text are passed.
  void Pass(std::u16string_view text) {
    for (char16_t ch : text)
      if (ch == u' ' || ch == kNoBreakSpace) ++used_;
    Apply();
  }

 private:
  void Apply() {
    if (used_ >= count_) {
      dc_.SetTextJustification(0, 0);
      return;
    }
    // The first (extra mod count) gaps get one pixel more than the others.
    const int64_t given = int64_t(used_) * (extra_ / count_) + std::min(used_, extra_ % count_);
    dc_.SetTextJustification(int(extra_ - given), int(count_ - used_));
  }

  plat::DeviceContext& dc_;
  bool justified_;
  int32_t extra_, count_;
  int32_t used_ = 0;
};

inline int32_t Clamped(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace html
