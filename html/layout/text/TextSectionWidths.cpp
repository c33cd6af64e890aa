// The widths of a text section: of a stretch of its characters, and the narrowest and widest
// it can be laid out in.
#include <algorithm>

#include "html/layout/text/TextMeasure.h"
#include "html/layout/text/TextSection.h"

namespace html {

plat::DeviceContext& TextContext(plat::TCanvas& canvas) {
  if (canvas.Handle()) return *canvas.Handle();
  static thread_local plat::DeviceContext measuring;
  return measuring;
}

void SelectRunFont(plat::TCanvas& canvas, const TFontObj& run) {
  AssignCanvasFont(canvas, *run.Font);
  plat::DeviceContext& dc = TextContext(canvas);
  dc.SelectFont(canvas.Font().LogFont());
  dc.SetTextCharacterExtra(run.Font->LetterSpacing);
}

TSection::TTextFit TSection::FitCharacters(const plat::DeviceContext& dc, int32_t from, int32_t end,
                                           int64_t room, bool stopAtLineBreak) const {
  TTextFit fit;
  if (room < 1) return fit;
  constexpr int32_t kFirstStretch = 64;
  std::vector<int32_t> extents;
  int64_t used = 0;
  int32_t pos = from;
  for (int32_t stretch = kFirstStretch; pos < end; stretch = std::min(stretch, 1 << 24) * 2) {
    int32_t stop = int32_t(std::min<int64_t>(end, int64_t(pos) + stretch));
    bool stopped = false;  // at an object or a line break
    for (int32_t k = pos; k < stop; ++k) {
      if (IsObjectChar(Text[size_t(k)]) || (stopAtLineBreak && Text[size_t(k)] == kLineBreakChar)) {
        stop = k;
        stopped = true;
      }
    }
    while (stop < end && ContinuesCluster(stop)) ++stop;
    // Measured from the start each time: text shaped as a whole (joined letters) is as wide as
    // when it is drawn, not as its stretches would be apart.
    int32_t n = 0;
    if (stop > from)
      dc.GetTextExtentEx(std::u16string_view(Text).substr(size_t(from), size_t(stop - from)),
                         Clamped(room), &n, &extents);
    const bool all = n == stop - from;
    while (!all && n > 0 && ContinuesCluster(from + n)) --n;
    used = n > 0 ? extents[size_t(n - 1)] : 0;
    pos = from + n;
    if (!all || stopped) {
      fit.Whole = all;
      break;
    }
  }
  if (pos == end) fit.Whole = true;
  fit.Count = pos - from;
  fit.Extent = Clamped(used);
  return fit;
}

bool TSection::HyphenShows(int32_t k) const {
  if (k < 0 || size_t(k) + 1 >= Text.size() || BreakFlags[size_t(k)] != kBreakSoftHyphen ||
      Text[size_t(k)] == u' ')
    return false;
  const char16_t next = Text[size_t(k) + 1];
  return next != u' ' && next != kLineBreakChar;
}

int32_t TSection::MeasureTextWidth(plat::TCanvas& canvas, int32_t start, int32_t count,
                                   bool ignoreTrailing) {
  const int32_t length = int32_t(Text.size());
  count = std::clamp(count, 0, length - std::clamp(start, 0, length));
  if (ignoreTrailing)
    while (count > 0 && (Text[size_t(start + count - 1)] == kLineBreakChar ||
                         Text[size_t(start + count - 1)] == u' '))
      --count;
  plat::DeviceContext& dc = TextContext(canvas);
  int64_t width = 0;
  const int32_t end = start + count;
  for (int32_t i = start; i < end;) {
    const char16_t ch = Text[size_t(i)];
    if (ch == kObjectChar) {
      if (const TFloatingObj* obj = Images().FindImage(i); obj && !obj->IsFloating())
        width += obj->ImageWidth + obj->HSpaces();
      ++i;
      continue;
    }
    if (ch == kControlChar) {
      if (const TFormControlObj* control = FormControls().FindControl(i))
        width += control->Width() + control->HSpaces();
      ++i;
      continue;
    }
    int32_t pieceEnd = std::min(end, i + std::max(1, Fonts.GetFontCountAt(i, length)));
    for (int32_t k = i + 1; k < pieceEnd; ++k)
      if (IsObjectChar(Text[size_t(k)])) pieceEnd = k;
    int index = 0;
    const TFontObj* run = Fonts.GetFontObjAt(i, index);
    SelectRunFont(canvas, *run);
    width += GetWideTextExtent(dc, Text.data() + i, pieceEnd - i).cx + run->Overhang();
    i = pieceEnd;
  }
  return Clamped(width);
}

void TSection::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  if (CachedMinWidth >= 1 && Images().Empty()) {
    minWidth = CachedMinWidth;
    maxWidth = CachedMaxWidth;
    return;
  }
  minWidth = maxWidth = 0;
  const int32_t length = int32_t(Text.size());
  if (length == 0) return;
  TextContext(canvas).SetTextJustification(0, 0);

  int64_t floatSum = 0;
  int32_t minW = 0;
  for (const auto& obj : Images()) {
    int32_t overhang = 0;
    obj->ComputeSize(canvas, 0, 0, *Fonts.GetFontAt(obj->Pos, overhang));
    if (obj->PercentWidth) continue;
    if (obj->IsFloating()) {
      floatSum += obj->ImageWidth + obj->HSpaces();
      BreakFlags[size_t(obj->Pos)] = kBreakOrdinary;
    } else {
      minW = std::max(minW, obj->ImageWidth);
    }
  }
  for (const TFormControlObj* control : FormControls())
    if (!control->PercentWidth) minW = std::max(minW, control->Width() + control->HSpaces());

  // The first line's indent widens whatever starts at the first character.
  const auto withIndent = [this](int32_t start, int32_t width) {
    if (start != 0) return width;
    if (FirstIndentPercent() != 0 && FirstIndentPercent() < 100)
      return Clamped(int64_t(width) * 100 / (100 - FirstIndentPercent()));
    return Clamped(int64_t(width) + FirstIndent());
  };

  int32_t widest = 0;
  for (int32_t start = 0; start <= length;) {
    const size_t br = Text.find(kLineBreakChar, size_t(start));
    const int32_t end = br == std::u16string::npos ? length : int32_t(br);
    const bool last = br == std::u16string::npos;
    widest =
        std::max(widest, withIndent(start, MeasureTextWidth(canvas, start, end - start, last)));
    if (last) break;
    start = end + 1;
  }
  maxWidth = Clamped(widest + floatSum);

  if (BreakWord) {
    for (int32_t i = 0, j = 0; i < length; i = j) {
      for (j = i + 1; j < length && ContinuesCluster(j); ++j) {
      }
      minW = std::max(minW, withIndent(i, MeasureTextWidth(canvas, i, j - i, false)));
    }
  } else {
    int32_t i = 0;
    while (i < length && Text[size_t(i)] == u' ') ++i;
    while (i < length) {
      int32_t j = i + 1;
      const bool alone = IsWideChar(Text[size_t(i)]) && BreakFlags[size_t(i)] == kBreakOrdinary;
      for (; j < length; ++j) {
        if (ContinuesCluster(j)) continue;  // a character is never cut
        if (alone) break;
        const char before = BreakFlags[size_t(j - 1)];
        if (before == kBreakForced || before == kBreakSoftHyphen) break;
        if (IsBreakChar(Text[size_t(j)]) && BreakFlags[size_t(j)] == kBreakOrdinary) {
          if (Text[size_t(j)] == u'-' || Text[size_t(j)] == u'?') ++j;
          break;
        }
      }
      while (j < length && ContinuesCluster(j)) ++j;
      int32_t width = withIndent(i, MeasureTextWidth(canvas, i, j - i, true));
      if (HyphenShows(j - 1)) width += HyphenWidth(canvas, j - 1);
      minW = std::max(minW, width);
      i = j;
      while (i < length && (IsObjectChar(Text[size_t(i)]) || Text[size_t(i)] == kLineBreakChar ||
                            Text[size_t(i)] == u' '))
        ++i;
    }
  }
  minWidth = std::max<int32_t>(minW, Clamped(floatSum));
  CachedMinWidth = minWidth;
  CachedMaxWidth = maxWidth;
}

}  // namespace html
