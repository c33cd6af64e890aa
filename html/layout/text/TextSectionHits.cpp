// Point queries on a laid-out text section: how many characters lie left of an x, the link
// under the mouse, the caret for a click, and where a position is drawn.
#include <algorithm>
#include <memory>
#include <string>

#include "html/layout/text/PointedObjects.h"
#include "html/layout/text/TextMeasure.h"
#include "html/layout/text/TextSectionQueries.h"

namespace html {

namespace {

// A click this far left of a line's text still puts the caret at the line's start.
constexpr int32_t kLeftTolerance = 10;

// Spreads the line's justification over the measuring that follows, as painting does.
class LineJustification {
 public:
  LineJustification(plat::TCanvas& canvas, const LineRec& line) : dc_(TextContext(canvas)) {
    if (line.ExtraWidth > 0 && line.GapCount > 0)
      dc_.SetTextJustification(line.ExtraWidth, line.GapCount);
    else
      dc_.SetTextJustification(0, 0);
  }
  ~LineJustification() { dc_.SetTextJustification(0, 0); }
  LineJustification(const LineJustification&) = delete;
  LineJustification& operator=(const LineJustification&) = delete;

 private:
  plat::DeviceContext& dc_;
};

struct LineSpan {
  int32_t Count;
  int32_t Width;
};

// Walks the characters from start (at most limit) while they fit in width. Measured text uses
// up its justification shares, so the next piece gets the shares painting gives it.
LineSpan WalkLine(TSection& s, plat::TCanvas& canvas, int32_t start, int32_t limit, int32_t width) {
  const int32_t length = int32_t(s.Text.size());
  start = std::clamp(start, 0, length);
  const int32_t end = start + std::clamp(limit, 0, length - start);
  plat::DeviceContext& dc = TextContext(canvas);
  int64_t used = 0;
  int32_t i = start;
  while (i < end) {
    const char16_t ch = s.Text[size_t(i)];
    if (IsObjectChar(ch)) {
      int64_t box = 0;
      if (ch == kObjectChar) {
        if (const TFloatingObj* obj = s.Images().FindImage(i); obj && !obj->IsFloating())
          box = int64_t(obj->ImageWidth) + obj->HSpaces();
      } else if (const TFormControlObj* control = s.FormControls().FindControl(i)) {
        box = int64_t(control->Width()) + control->HSpaces();
      }
      if (used + box > width) break;
      used += box;
      ++i;
      continue;
    }
    int32_t pieceEnd = std::min(end, i + std::max(1, s.Fonts.GetFontCountAt(i, length)));
    for (int32_t k = i + 1; k < pieceEnd; ++k)
      if (IsObjectChar(s.Text[size_t(k)])) pieceEnd = k;
    int index = 0;
    const TFontObj* run = s.Fonts.GetFontObjAt(i, index);
    if (!run) break;
    SelectRunFont(canvas, *run);
    const int32_t n = pieceEnd - i;
    int extent = 0;
    const int fit = FitText(dc, s.Text.data() + i, n, Clamped(int64_t(width) - used), extent);
    if (fit > 0) {
      const plat::TRect nothing{};
      dc.ExtTextOut(0, 0, plat::ETO_CLIPPED, &nothing,
                    std::u16string_view(s.Text).substr(size_t(i), size_t(fit)));
    }
    used += extent;
    i += fit;
    if (fit < n) break;
  }
  return {i - start, Clamped(used)};
}

// Hands out a copy of the run's link target and makes the run the hovered link.
int RunLink(TSection& s, TFontObj& run, THitLink& hit) {
  if (!run.IsLink()) return 0;
  hit.UrlTarget = std::make_unique<TUrlTarget>();
  hit.UrlTarget->Copy(*run.Link());
  s.Document->HoverLink = &run;
  return hlLink;
}

int ImageHit(TSection& s, TPointedImage& image, const TFloatingObj& obj, int32_t ix, int32_t iy,
             THitLink& hit) {
  int flags = 0;
  if (!image.Title.empty() || !image.Alt.empty()) {
    hit.Title = image.Title.empty() ? image.Alt : image.Title;
    flags |= hlTitle;
  }
  s.Document->HoverImage = &image;
  if (image.ImageInput) {
    hit.FormControl = image.ImageInput;
    hit.ControlX = ix;
    hit.ControlY = iy;
    return flags | hlControl;
  }
  if (image.Map) {
    std::string areaTitle;
    if (image.Map->HitTest(ix, iy, hit.UrlTarget, areaTitle)) flags |= hlLink;
    if (!areaTitle.empty()) {
      hit.Title = areaTitle;
      flags |= hlTitle;
    }
    return flags;
  }
  int index = 0;
  TFontObj* run = s.Fonts.GetFontObjAt(obj.Pos, index);
  const int link = run ? RunLink(s, *run, hit) : 0;
  if (link && image.IsMap)
    hit.UrlTarget->URL += "?" + std::to_string(ix) + "," + std::to_string(iy);
  return flags | link;
}

int32_t LineHeightOf(const LineRec& line) {
  return Clamped(int64_t(line.SpaceAbove) + line.TextHeight + line.SpaceBelow);
}

// The characters whose line or objects a point may meet: in PRE only those of the line whose
// band holds y, as a section of its own would answer; elsewhere all. False when no line's band
// holds y in PRE.
bool CharactersAt(const TSection& section, int32_t y, int32_t& from, int32_t& to) {
  from = 0;
  to = INT32_MAX;
  if (!section.KeepsSourceLines()) return true;
  int64_t top = section.TopY;
  for (const auto& line : section.Lines) {
    const int64_t bottom = top + LineHeightOf(line);
    if (y >= top && y < bottom) {
      from = line.StartIndex;
      to = line.StartIndex + line.CharCount;
      return true;
    }
    top = bottom;
  }
  return false;
}

}  // namespace

int32_t FitCountAt(TSection& section, plat::TCanvas& canvas, int32_t width, int32_t limit,
                   int32_t lineStart) {
  TSection::TFitCount& last = section.LastFit();
  const int32_t pass = section.Document->LayoutPass;
  if (last.Pass == pass && last.Start == lineStart && last.Width == width && last.Limit == limit)
    return last.Count;
  const int32_t count = WalkLine(section, canvas, lineStart, limit, width).Count;
  last = {pass, lineStart, width, limit, count};
  return count;
}

int32_t LineWidthTo(TSection& section, plat::TCanvas& canvas, const LineRec& line, int32_t count) {
  const LineJustification justification(canvas, line);
  return WalkLine(section, canvas, line.StartIndex, std::min(count, line.CharCount), INT32_MAX)
      .Width;
}

int SectionHitTestLink(TSection& section, plat::TCanvas& canvas, int32_t x, int32_t y,
                       THitLink& hit) {
  int32_t ix = 0, iy = 0, from = 0, to = 0;
  if (!CharactersAt(section, y, from, to)) return 0;
  const TFloatingObj* obj = nullptr;
  if (TPointedImage* image = section.Images().PtInImage(x, y, ix, iy, obj, from, to))
    return ImageHit(section, *image, *obj, ix, iy, hit);
  for (const auto& line : section.Lines) {
    if (line.StartIndex < from || line.StartIndex >= to) continue;
    if (y < line.TextTop || int64_t(y) >= int64_t(line.TextTop) + line.TextHeight) continue;
    if (x < line.LineLeft) return 0;
    int32_t n = 0;
    {
      const LineJustification justification(canvas, line);
      n = FitCountAt(section, canvas, Clamped(int64_t(x) - line.LineLeft), line.CharCount,
                     line.StartIndex);
    }
    if (n >= line.CharCount) return 0;
    const int32_t p = line.StartIndex + n;
    int index = 0;
    TFontObj* run = section.Fonts.GetFontObjAt(p, index);
    if (!run || section.Text[size_t(p)] == kObjectChar) return 0;
    int flags = RunLink(section, *run, hit);
    if (!run->Title().empty()) {
      hit.Title = run->Title();
      flags |= hlTitle;
    }
    return flags;
  }
  return 0;
}

TFloatingObj* SectionFindObjectAt(const TSection& section, int32_t x, int32_t y, int32_t& objX,
                                  int32_t& objY) {
  int32_t from = 0, to = 0;
  if (!CharactersAt(section, y, from, to)) return nullptr;
  return section.Images().PtInObject(x, y, objX, objY, from, to);
}

int32_t SectionFindCursorAt(TSection& section, plat::TCanvas& canvas, int32_t x, int32_t y,
                            TCursorHit& hit) {
  if (section.Lines.Empty()) return -1;
  int64_t top = section.TopY;
  int32_t before = 0;
  int i = 0;
  for (; i + 1 < section.Lines.Count(); ++i) {
    const LineRec& passed = section.Lines[i];
    if (top + LineHeightOf(passed) > y) break;
    top += LineHeightOf(passed);
    before += passed.CharCount;
  }
  const LineRec& line = section.Lines[i];
  if (x < int64_t(line.LineLeft) - kLeftTolerance || x > int64_t(line.LineLeft) + line.AvailWidth)
    return -1;
  hit.CaretHeight = line.TextHeight;
  hit.CaretY = Clamped(top + line.SpaceAbove);
  const int32_t lineFirst = section.FirstPos + before;
  if (x < line.LineLeft) {
    hit.InText = false;
    hit.CaretX = line.LineLeft;
    return lineFirst;
  }
  int32_t n = 0;
  {
    const LineJustification justification(canvas, line);
    n = FitCountAt(section, canvas, x - line.LineLeft, line.CharCount, line.StartIndex);
  }
  const int32_t left = LineWidthTo(section, canvas, line, n);
  hit.CaretX = Clamped(int64_t(line.LineLeft) + left);
  hit.InText = n < line.CharCount;
  if (hit.InText) {
    const int32_t next = LineWidthTo(section, canvas, line, n + 1) - left;
    if (int64_t(x) > int64_t(hit.CaretX) + next / 2) {
      ++n;
      hit.CaretX = Clamped(int64_t(hit.CaretX) + next);
    }
  }
  return lineFirst + n;
}

bool SectionPositionToXY(TSection& section, plat::TCanvas* canvas, int32_t pos, int32_t& y,
                         int32_t& x) {
  if (section.Text.empty() || pos < section.FirstPos ||
      int64_t(pos) > int64_t(section.FirstPos) + section.PosCount)
    return false;
  int32_t p = pos - section.FirstPos;
  int64_t top = section.TopY;
  for (const auto& line : section.Lines) {
    if (p < line.CharCount) {
      y = Clamped(top);
      x = line.LineLeft;
      if (canvas) x = Clamped(int64_t(x) + LineWidthTo(section, *canvas, line, p));
      return true;
    }
    p -= line.CharCount;
    top += LineHeightOf(line);
  }
  return false;
}

}  // namespace html
