// Breaking a text section into lines beside the floats of its cell.
#include <algorithm>
#include <cstdlib>

#include "html/layout/text/TextMeasure.h"
#include "html/layout/text/TextSection.h"

namespace html {

namespace {

// Records a floating object at y on the indents: left floats at the left indent, right floats
// at the right limit.
void AddImageFloat(IndentManager& indents, int32_t y, TFloatingObj& obj) {
  const int32_t width = obj.ImageWidth + obj.HSpaces();
  const int32_t height = obj.ImageHeight + obj.VSpaces();
  if (obj.ObjAlign == aLeft) {
    const int32_t left = indents.LeftIndent(y);
    obj.FloatX = left - indents.LeftEdge + obj.HSpaceL;
    indents.AddBlockFloat(y, left + width, TFloatSide::Left, height);
  } else if (obj.ObjAlign == aRight) {
    obj.FloatX = indents.RightLimit(y) - width - indents.LeftEdge + obj.HSpaceL;
    indents.AddBlockFloat(y, width, TFloatSide::Right, height);
  }
  obj.DrawY = y + obj.VSpaceT;
}

}  // namespace

int32_t TSection::ClearSpace(const IndentManager& indents, int32_t y) const {
  if (ClearMode == 0) return 0;
  int32_t left = 0, right = 0;
  indents.SideFloatsBottom(left, right);
  const int32_t leftSpace = std::max(0, left - y - 1);
  const int32_t rightSpace = std::max(0, right - y - 1);
  if (ClearMode == 1) return leftSpace;
  if (ClearMode == 2) return rightSpace;
  return std::max(leftSpace, rightSpace);
}

int32_t TSection::FindCountThatFits(plat::TCanvas& canvas, int32_t start,
                                    std::vector<TFloatingObj*>& deferredFloats,
                                    int32_t& floatHeight, IndentManager& indents, int32_t y,
                                    int32_t limit) {
  floatHeight = 0;
  const int32_t length = int32_t(Text.size());
  const int32_t n = std::min(limit, length - start);
  // Always measured: no font's widest character bounds a section, since later runs may be
  // larger, letter spacing widens every character and missing characters come from other fonts.
  const int32_t width = LineRoom(indents, y, start);
  plat::DeviceContext& dc = TextContext(canvas);
  int32_t count = 0;
  int64_t used = 0;
  while (count < n) {
    const int32_t i = start + count;
    const char16_t ch = Text[size_t(i)];
    // Everything before a line break fits: the line takes the break too.
    if (ch == kLineBreakChar) return count + 1;
    if (ch == kObjectChar || ch == kControlChar) {
      TFloatingObj* obj = ch == kObjectChar ? Images().FindImage(i) : nullptr;
      const TFormControlObj* control = ch == kControlChar ? FormControls().FindControl(i) : nullptr;
      if (obj && obj->IsFloating()) {
        const int32_t objWidth = obj->ImageWidth + obj->HSpaces();
        if (count > 0) {
          deferredFloats.push_back(obj);
        } else if (used + objWidth > width && indents.NextIndentChangeY(y) > y) {
          return 0;  // room may open lower down
        } else {
          AddImageFloat(indents, y, *obj);
          floatHeight = std::max(floatHeight, obj->ImageHeight + obj->VSpaces());
          used += objWidth;
        }
        ++count;
        continue;
      }
      const int32_t objWidth = obj       ? obj->ImageWidth + obj->HSpaces()
                               : control ? control->Width() + control->HSpaces()
                                         : 0;
      if (used + objWidth > width) break;
      used += objWidth;
      ++count;
      continue;
    }
    const int32_t runEnd = std::min(start + n, i + std::max(1, Fonts.GetFontCountAt(i, length)));
    int index = 0;
    SelectRunFont(canvas, *Fonts.GetFontObjAt(i, index));
    const TTextFit fit = FitCharacters(dc, i, runEnd, width - used, true);
    used += fit.Extent;
    count += fit.Count;
    if (!fit.Whole) break;
  }
  // A line ending at a soft hyphen shows a "-": when that does not fit, one character less.
  if (count > 0 && count < n && HyphenShows(start + count - 1) &&
      used + HyphenWidth(canvas, start + count - 1) > width) {
    do --count;
    while (count > 0 && ContinuesCluster(start + count));
  }
  return count;
}

int32_t TSection::LineEnd(int32_t start) const {
  const size_t end = BreakFlags.find(kBreakLineEnd, size_t(start));
  return end < Text.size() ? int32_t(end) + 1 : int32_t(Text.size());
}

int32_t TSection::LineRoom(const IndentManager& indents, int32_t y, int32_t start) const {
  return indents.RightLimit(y) - indents.LeftIndent(y) - (start == 0 ? FirstIndent() : 0);
}

int32_t TSection::HyphenWidth(plat::TCanvas& canvas, int32_t k) {
  int index = 0;
  SelectRunFont(canvas, *Fonts.GetFontObjAt(k, index));
  return GetWideTextExtent(TextContext(canvas), u"-", 1).cx;
}

int32_t TSection::ChooseBreak(plat::TCanvas& canvas, int32_t start, int32_t fit, int32_t room) {
  const int32_t length = int32_t(Text.size());
  const auto flag = [this](int32_t k) { return BreakFlags[size_t(k)]; };
  const auto takeSpaces = [&](int32_t end) {
    while (end < length && Text[size_t(end)] == u' ') ++end;
    return end;
  };
  const int32_t last = start + fit - 1;
  const int32_t next = last + 1;
  const char16_t lastCh = Text[size_t(last)];
  const char16_t nextCh = Text[size_t(next)];
  if ((IsObjectChar(lastCh) || lastCh == u' ' || IsWideChar(lastCh)) && flag(last) != kBreakNever)
    return takeSpaces(next) - start;
  if (lastCh == kLineBreakChar) return fit;
  if (nextCh == u' ' && flag(next) != kBreakNever) return takeSpaces(next) - start;
  if (IsObjectChar(nextCh) && flag(last) != kBreakNever) return fit;
  for (int32_t k = last; k >= start; --k) {
    if (ContinuesCluster(k + 1)) continue;
    const char16_t ch = Text[size_t(k)];
    bool breaks;
    if (k == start)
      breaks = IsObjectChar(ch);
    else
      breaks = IsObjectChar(ch) || ch == u' ' || ch == u'-' || ch == u'?' || IsWideChar(ch) ||
               (k + 1 < length && IsWideChar(Text[size_t(k + 1)])) || flag(k) == kBreakForced ||
               flag(k) == kBreakSoftHyphen;
    if (!breaks || flag(k) == kBreakNever) continue;
    // An earlier end at a soft hyphen must leave room for the "-" it shows.
    if (k < last && HyphenShows(k) &&
        int64_t(MeasureTextWidth(canvas, start, k - start + 1, true)) + HyphenWidth(canvas, k) >
            room)
      continue;
    return takeSpaces(k + 1) - start;
  }
  if (BreakWord) return fit;
  return -1;
}

bool TSection::EndsLongWord(int32_t k) const {
  const int32_t length = int32_t(Text.size());
  if (k >= length - 1) return true;
  if (BreakFlags[size_t(k + 1)] == kBreakNever || ContinuesCluster(k + 1)) return false;
  const char16_t ch = Text[size_t(k)], next = Text[size_t(k + 1)];
  return ch == u'-' || ch == u'?' || BreakFlags[size_t(k)] == kBreakForced ||
         BreakFlags[size_t(k)] == kBreakSoftHyphen || IsObjectChar(next) ||
         next == kLineBreakChar || next == u' ' || IsWideChar(next);
}

int32_t TSection::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t, int32_t,
                         int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                         IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  const int32_t y0 = y;
  TopY = PaintTop = PaintY = y0;
  LeftX = x;
  FirstPos = pos;
  FlowHeight = 0;
  Lines.Clear();
  if (rare_) rare_->LineBorders.clear();
  const int32_t length = int32_t(Text.size());
  if (length == 0) {
    const int32_t space = ClearSpace(indents, y0);
    FlowHeight = PaintHeight = space;
    BottomY = PaintBottom = y0 + space;
    maxWidth = 0;
    LayoutWidth = 0;
    return space;
  }
  TextContext(canvas).SetTextJustification(0, 0);
  if (FirstIndentPercent() != 0)
    rare_->FirstIndent = Clamped(int64_t(FirstIndentPercent()) * availWidth / 100);
  LayoutWidth = indents.RightLimit(y0) - x;
  const auto lineWidthAt = [&](int32_t top) {
    return std::min(indents.RightLimit(top) - indents.LeftIndent(top), availWidth);
  };
  const int32_t lineWidth = lineWidthAt(y0);
  maxWidth = lineWidth;
  const int32_t heightBase = availHeight != 0 ? availHeight : blockHeight;
  // Each line of PRE sizes its objects in the width at its own top, as a section of its own.
  const bool linesOfPre = KeepsSourceLines();
  if (!linesOfPre) SizeObjects(canvas, 0, length, lineWidth, heightBase, maxWidth);
  // Each PRE line counts as a section for the progress report.
  int32_t sectionNumber = SectionNumber;
  bool reported = false;
  const auto reportProgress = [&] {
    if (ProgressPass != Document->LayoutPass)
      reported = Document->ReportLayoutProgress(sectionNumber) || reported;
  };

  std::vector<TFloatingObj*> deferredFloats;
  int32_t floatBottom = y0;
  const auto addEmptyLine = [&](int32_t height) {
    const int32_t startIndex =
        int32_t(Lines.Empty() ? 0 : Lines.Last().StartIndex + Lines.Last().CharCount);
    LineRec& line = Lines.Add();
    line.StartIndex = startIndex;
    line.SpaceAbove = height;
    line.TotalHeight = height;
    y = SaturatedSum(y, height);
    FlowHeight = SaturatedSum(FlowHeight, height);
  };
  // The line is tried again lower down: the floats it would have placed below it are found
  // again there.
  const auto tryLower = [&](int32_t height) {
    deferredFloats.clear();
    addEmptyLine(height);
  };
  if (const int32_t space = ClearSpace(indents, y0); space > 0) addEmptyLine(space);

  for (int32_t start = 0; start < length;) {
    const int32_t remaining = length - start;
    int32_t floatHeight = 0;
    int32_t count = linesOfPre ? LineEnd(start) - start
                               : FindCountThatFits(canvas, start, deferredFloats, floatHeight,
                                                   indents, y, remaining);
    floatBottom = std::max(floatBottom, SaturatedSum(y, floatHeight));
    const int32_t nextChange = indents.NextIndentChangeY(y);
    if (count <= 0) {
      if (nextChange > y) {
        tryLower(nextChange - y);
        continue;
      }
      count = 1;  // the first character, whole
      while (count < remaining && ContinuesCluster(start + count)) ++count;
    }
    int32_t lineCount = count >= remaining || linesOfPre
                            ? count
                            : ChooseBreak(canvas, start, count, LineRoom(indents, y, start));
    if (lineCount < 0) {
      // Room may open lower down; not where the line's own float narrows it, which placed lower
      // down would narrow the line again, without end.
      if (nextChange > y && floatHeight == 0) {
        tryLower(nextChange - y);
        continue;
      }
      // A word longer than the line: it goes on one line of its own, past the edge.
      int32_t end = start + count - 1;
      while (!EndsLongWord(end)) ++end;
      ++end;
      while (end < length && Text[size_t(end)] == u' ') ++end;
      if (end < length && Text[size_t(end)] == kLineBreakChar) ++end;
      lineCount = end - start;
      maxWidth = std::max(maxWidth, MeasureTextWidth(canvas, start, lineCount, true));
    }
    if (linesOfPre) {
      SizeObjects(canvas, start, start + lineCount, lineWidthAt(start == 0 ? y0 : y), heightBase,
                  maxWidth);
    }
    LineRec& rec = Lines.Add();
    FinishLine(canvas, rec, start, lineCount, indents, x, y, floatHeight, deferredFloats,
               floatBottom);
    if (BreakFlags[size_t(start + lineCount - 1)] == kBreakLineEnd) {
      reportProgress();
      ++sectionNumber;
    }
    y = SaturatedSum(y, Clamped(int64_t(rec.TextHeight) + rec.SpaceAbove + rec.SpaceBelow));
    start += lineCount;
  }

  Lines.ShrinkToFit();
  pos = FirstPos + PosCount;
  if (Document->FirstBaselineSlot && *Document->FirstBaselineSlot == 0 && !Lines.Empty()) {
    const LineRec& first = Lines.First();
    *Document->FirstBaselineSlot = PaintY + first.TextHeight - first.Descent + first.SpaceAbove;
  }
  PaintHeight = std::max(Clamped(int64_t(floatBottom) - y0), FlowHeight);
  BottomY = SaturatedSum(y0, FlowHeight);
  PaintBottom = SaturatedSum(y0, PaintHeight);
  reportProgress();
  if (reported) ProgressPass = Document->LayoutPass;
  return FlowHeight;
}

void TSection::SizeObjects(plat::TCanvas& canvas, int32_t from, int32_t to, int32_t lineWidth,
                           int32_t heightBase, int32_t& maxWidth) {
  for (auto at = FirstAtOrAfter(Images(), from); at != Images().end() && (*at)->Pos < to; ++at) {
    TFloatingObj& obj = **at;
    int32_t overhang = 0;
    obj.ComputeSize(canvas, lineWidth, heightBase, *Fonts.GetFontAt(obj.Pos, overhang));
    maxWidth = std::max(maxWidth, obj.ImageWidth);
  }
  for (auto at = FirstAtOrAfter(FormControls(), from);
       at != FormControls().end() && (*at)->Pos < to; ++at) {
    TFormControlObj& control = **at;
    plat::TWinControl* window = control.TheControl();
    if (!window) continue;
    if (control.PercentWidth)
      window->SetWidth(std::max(10, std::min(plat::MulDiv(control.FWidth, lineWidth, 100),
                                             lineWidth - control.HSpaces())));
    maxWidth = std::max(maxWidth, window->Width());
  }
}

void TSection::FinishLine(plat::TCanvas& canvas, LineRec& line, int32_t start, int32_t count,
                          IndentManager& indents, int32_t leftX, int32_t y, int32_t floatHeight,
                          std::vector<TFloatingObj*>& deferredFloats, int32_t& floatBottom) {
  const int32_t length = int32_t(Text.size());
  const int32_t end = start + count;
  // A line break alone, or an empty PRE line (only its closing space), is as high as its font.
  bool hasText = (count == 1 && Text[size_t(start)] == kLineBreakChar) ||
                 (IsPreformatted() && count == 1 && IsClosingSpace(start));
  for (int32_t i = start; i < end && !hasText; ++i) {
    const char16_t ch = Text[size_t(i)];
    hasText = !IsObjectChar(ch) && ch != kLineBreakChar && !IsClosingSpace(i);
  }
  if (hasText) {
    int index = 0;
    Fonts.GetFontObjAt(start, index);
    for (; index < Fonts.Count() && Fonts[index]->StartPos < end; ++index) {
      line.TextHeight = std::max(line.TextHeight, Fonts[index]->LineHeight());
      line.Descent = std::max(line.Descent, Fonts[index]->Descent());
    }
  }
  if (LineHeight >= 0) {
    const int32_t d = LineHeight - line.TextHeight;
    line.SpaceAbove = d / 2;
    line.SpaceBelow = d - d / 2;
  }
  for (auto at = FirstAtOrAfter(Images(), start); at != Images().end() && (*at)->Pos < end; ++at) {
    TFloatingObj* obj = at->get();
    if (obj->IsFloating()) continue;
    obj->DrawY = y;
    const int32_t height = obj->ImageHeight + obj->VSpaces();
    int32_t textHeight = line.TextHeight, descent = line.Descent;
    switch (obj->ObjAlign) {
      case aTop:
        line.SpaceBelow = std::max(line.SpaceBelow, height - textHeight);
        break;
      case aMiddle: {
        if (textHeight == 0) {
          int index = 0;
          textHeight = Fonts.GetFontObjAt(start, index)->GetHeights(descent);
        }
        const int32_t h = (height - textHeight) / 2;
        line.SpaceBelow = std::max(line.SpaceBelow, h);
        line.SpaceAbove = std::max(line.SpaceAbove, height - textHeight - h);
        break;
      }
      default:
        line.SpaceAbove = std::max(line.SpaceAbove, height - (textHeight - descent));
        break;
    }
  }
  for (auto at = FirstAtOrAfter(FormControls(), start);
       at != FormControls().end() && (*at)->Pos < end; ++at) {
    TFormControlObj* control = *at;
    const int32_t va = control->VSpaceT, vb = control->VSpaceB, height = control->Height();
    switch (control->FormAlign) {
      case aTop:
        line.SpaceBelow = std::max(line.SpaceBelow, va + height + vb - line.TextHeight);
        break;
      case aMiddle: {
        const int32_t h = (height - line.TextHeight) / 2;
        line.SpaceBelow = std::max(line.SpaceBelow, vb + h);
        line.SpaceAbove = std::max(line.SpaceAbove, height - line.TextHeight - h + va);
        break;
      }
      case aBaseline:
        line.SpaceAbove =
            std::max(line.SpaceAbove, va + height + vb - (line.TextHeight - line.Descent));
        break;
      default:
        line.SpaceAbove = std::max(line.SpaceAbove, va + height + vb - line.TextHeight);
        break;
    }
    control->LinkY = y;
  }
  {
    int index = 0;
    Fonts.GetFontObjAt(start, index);
    for (; index < Fonts.Count() && Fonts[index]->StartPos < end; ++index)
      Fonts[index]->AssignLinkY(y);
  }

  line.StartIndex = start;
  line.CharCount = count;
  line.EndsWithHyphen = HyphenShows(end - 1);
  line.HasInlineBorders = !Document->InlineElements.Empty();
  const int32_t left = indents.LeftIndent(y) + (start == 0 ? FirstIndent() : 0);
  const int32_t right = indents.RightLimit(y);
  int32_t width = MeasureTextWidth(canvas, start, count, true);
  if (line.EndsWithHyphen) width += HyphenWidth(canvas, end - 1);
  switch (TextAlign) {
    case 2:
      line.Indent = Clamped((int64_t(left) + right - width) / 2 - leftX);
      break;
    case 3:
      line.Indent = right - leftX - width;
      break;
    default:
      line.Indent = left - leftX;
      break;
  }
  // The last line of a paragraph, or of a PRE line, is not spread.
  if (TextAlign == 4 && end < length && BreakFlags[size_t(end - 1)] != kBreakLineEnd) {
    line.ExtraWidth = std::max(0, right - left - width);
    for (int32_t i = start; i < end - 1; ++i)
      if (Text[size_t(i)] == u' ' || Text[size_t(i)] == kNoBreakSpace) ++line.GapCount;
  }
  line.AvailWidth = right - left;

  // Object sizes come from the page: sums stop at the ends of the 32-bit range.
  const int32_t height = Clamped(int64_t(line.TextHeight) + line.SpaceAbove + line.SpaceBelow);
  FlowHeight = SaturatedSum(FlowHeight, height);
  line.TotalHeight = std::max(height, floatHeight);
  const int32_t below = SaturatedSum(y, height);
  for (TFloatingObj* obj : deferredFloats) {
    AddImageFloat(indents, below, *obj);
    const int32_t objHeight = Clamped(int64_t(obj->ImageHeight) + obj->VSpaces());
    line.TotalHeight = std::max(line.TotalHeight, SaturatedSum(height, objHeight));
    floatBottom = std::max(floatBottom, SaturatedSum(below, objHeight));
  }
  deferredFloats.clear();
}

}  // namespace html
