// Painting a laid-out text section: runs of text in their fonts and colours, the selection,
// objects, and the borders and backgrounds of inline elements.
#include <algorithm>

#include "html/layout/blocks/PageItems.h"
#include "html/layout/sections/BorderDrawing.h"
#include "html/layout/text/TextMeasure.h"
#include "html/layout/text/TextSection.h"
#include "platform/htmlservices/TextClusters.h"

namespace html {

namespace {

constexpr int32_t kBandMargin = 40;

// A floating picture drawn after the text of the page.
class TImageRec : public TDeferredImage {
 public:
  TImageRec(TFloatingObj& obj, int32_t x, int32_t top) : obj_(obj), x_(x), top_(top) {}
  void Draw(plat::TCanvas& canvas) override { obj_.DrawFloat(canvas, x_, top_); }

 private:
  TFloatingObj& obj_;
  int32_t x_, top_;
};

plat::TColorRef Rgb(TColor color) {
  return plat::TColorRef(plat::ColorToRGB(color));
}

bool Misses(const plat::TRect& clip, int32_t top, int32_t bottom) {
  return bottom + kBandMargin < clip.Top || top - kBandMargin > clip.Bottom;
}

}  // namespace

int32_t TSection::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                       int32_t x, int32_t, int32_t) {
  const int32_t result = PaintY + FlowHeight;
  const int32_t scrollY = Document->ScrollY;
  if (Text.empty() || Misses(clipRect, PaintTop - scrollY, PaintBottom - scrollY)) return result;
  plat::DeviceContext& dc = TextContext(canvas);
  dc.SetTextAlign(plat::TA_BASELINE);
  // PRE lines never wrap: their text keeps within the cell's width, unless the block around
  // them already clips what overflows.
  const bool clipToCell =
      IsPreformatted() && indents.ClipWidth > 0 && !(OwnerBlock && OwnerBlock->ClipsOverflow());
  const plat::TRect cellClip{x, clipRect.Top, SaturatedSum(x, indents.ClipWidth), clipRect.Bottom};
  int32_t y = PaintY;
  for (LineRec& line : Lines) {
    const int32_t height = line.SpaceAbove + line.TextHeight + line.SpaceBelow;
    if (Misses(clipRect, y - scrollY, y + line.TotalHeight - scrollY)) {
      y += height;
      continue;
    }
    const int32_t lineBottom = y + line.SpaceAbove + line.TextHeight;
    if (line.HasInlineBorders) {
      MakeBorderRecords(line);
      DrawLine(canvas, line, x, lineBottom, indents, clipRect, nullptr, true);
      if (TLineBorders* borders = BordersOf(line)) borders->RecordedX = x;
      line.HasInlineBorders = false;
    }
    if (const TLineBorders* borders = BordersOf(line))
      PaintBorders(canvas, line, x - borders->RecordedX);
    DrawLine(canvas, line, x, lineBottom, indents, clipRect, clipToCell ? &cellClip : nullptr,
             false);
    y += height;
  }
  return result;
}

TSection::TLineBorders* TSection::BordersOf(const LineRec& line) const {
  const size_t index = Lines.IndexOf(line);
  return rare_ && index < rare_->LineBorders.size() ? &rare_->LineBorders[index] : nullptr;
}

std::span<BorderRec> TSection::Borders(const LineRec& line) const {
  TLineBorders* borders = BordersOf(line);
  return borders ? std::span<BorderRec>(borders->Records) : std::span<BorderRec>();
}

void TSection::MakeBorderRecords(LineRec& line) {
  if (TLineBorders* borders = BordersOf(line)) borders->Records.clear();
  TInlineList& elements = Document->InlineElements;
  const int32_t lineStart = FirstPos + line.StartIndex;
  const int32_t lineEnd = lineStart + line.CharCount;  // one past the line
  for (int i = 0; i < elements.Count(); ++i) {
    const int32_t start = elements.StartOf(i), end = elements.EndOf(i);
    if (end <= lineStart || start >= lineEnd) continue;
    BorderRec rec;
    rec.OpenStart = start < lineStart;
    rec.OpenEnd = end > lineEnd;
    rec.BStart = std::max(start, lineStart) - FirstPos;
    rec.BEnd = std::min(end, lineEnd) - FirstPos;
    rec.MargArray = elements.Items(i)->MargArray;
    std::vector<TLineBorders>& all = Rare().LineBorders;
    const size_t index = Lines.IndexOf(line);
    if (all.size() <= index) all.resize(index + 1);
    all[index].Records.push_back(rec);
  }
}

void TSection::PaintBorders(plat::TCanvas& canvas, const LineRec& line, int32_t shift) {
  const int32_t scrollY = Document->ScrollY;
  for (const BorderRec& rec : Borders(line)) {
    const TMarginArray& m = rec.MargArray;
    plat::TRect box{rec.BRect.Left + shift, rec.BRect.Top - scrollY, rec.BRect.Right + shift,
                    rec.BRect.Bottom - scrollY};
    if (m[piBackgroundColor] != int32_t(clNone)) {
      canvas.Brush().SetStyle(plat::bsSolid);
      canvas.Brush().SetColor(TColor(m[piBackgroundColor]));
      canvas.FillRect(box);
    }
    const int32_t left = rec.OpenStart ? 0 : m[piBorderLeftWidth];
    const int32_t right = rec.OpenEnd ? 0 : m[piBorderRightWidth];
    plat::TRect inner{box.Left - (rec.OpenStart ? 0 : m[piPaddingLeft]), box.Top - m[piPaddingTop],
                      box.Right + (rec.OpenEnd ? 0 : m[piPaddingRight]),
                      box.Bottom + m[piPaddingBottom]};
    plat::TRect outer{inner.Left - left, inner.Top - m[piBorderTopWidth], inner.Right + right,
                      inner.Bottom + m[piBorderBottomWidth]};
    const uint32_t styles = PackBorderSides(
        uint8_t(rec.OpenStart ? 0 : m[piBorderLeftStyle]), uint8_t(m[piBorderTopStyle]),
        uint8_t(rec.OpenEnd ? 0 : m[piBorderRightStyle]), uint8_t(m[piBorderBottomStyle]));
    const TSideColors colors =
        SetRectRec(TColor(m[piBorderLeftColor]), TColor(m[piBorderTopColor]),
                   TColor(m[piBorderRightColor]), TColor(m[piBorderBottomColor]));
    DrawCssBorder(canvas, outer, inner, TColor(m[piBackgroundColor]), styles, colors);
  }
}

void TSection::DrawLine(plat::TCanvas& canvas, LineRec& line, int32_t x, int32_t lineBottom,
                        IndentManager& indents, const plat::TRect& clipRect,
                        const plat::TRect* textClip, bool recording) {
  plat::DeviceContext& dc = TextContext(canvas);
  const int32_t scrollY = Document->ScrollY;
  const int32_t start = line.StartIndex;
  int32_t textEnd = start + line.CharCount;
  if (textEnd > start &&
      (Text[size_t(textEnd - 1)] == kLineBreakChar || Text[size_t(textEnd - 1)] == u' '))
    --textEnd;
  const int32_t selStart = Document->SelStart - FirstPos;
  const int32_t selEnd = Document->SelEnd - FirstPos;
  const bool hasSelection = selEnd > selStart;
  const int32_t baseline = lineBottom - line.Descent;  // document y
  const int32_t lineTop = lineBottom - line.TextHeight - line.SpaceAbove;
  line.TextTop = lineBottom - line.TextHeight;
  line.LineLeft = x + line.Indent;
  // Pictures and panels keep the justification on: the text after them is spread as before
  // them, the line reaches its right edge, and hit tests measure it the same way.
  TGapShares shares(dc, line);

  // Recording pass: the boxes of the inline elements that the piece at p belongs to.
  const auto recordBox = [&](int32_t p, int32_t left, int32_t top, int32_t bottom) {
    for (BorderRec& rec : Borders(line)) {
      if (p < rec.BStart || p > rec.BEnd) continue;
      if (p == rec.BStart) {
        rec.BRect.Left = left;
        rec.BRect.Top = top;
        rec.BRect.Bottom = bottom;
      } else if (p == rec.BEnd) {
        if (rec.BRect.Right == 0) rec.BRect.Right = left;
      } else {
        rec.BRect.Top = std::min(rec.BRect.Top, top);
        rec.BRect.Bottom = std::max(rec.BRect.Bottom, bottom);
      }
    }
  };

  // An object alone in its element is framed at its own width, not up to the next piece.
  const auto recordObject = [&](int32_t p, int32_t left, int32_t top, int32_t width,
                                int32_t height) {
    recordBox(p, left, top, top + height);
    for (BorderRec& rec : Borders(line))
      if (rec.BStart == p && rec.BEnd <= p + 1) rec.BRect.Right = left + width;
  };

  int32_t cx = x + line.Indent;
  bool pastClip = false;      // what is left of the line lies right of the clip rectangle
  int32_t clipCut = textEnd;  // where that part begins
  const auto queueFloat = [&](TFloatingObj& obj, int32_t top) {
    Document->ImageDrawList.Add(std::make_unique<TImageRec>(obj, indents.LeftEdge + obj.FloatX,
                                                            top + obj.VSpaceT - scrollY));
  };
  const auto drawCaret = [&](int32_t caretX, const TFontObj& run) {
    if (recording || !Document->ShowDummyCaret || hasSelection) return;
    const int32_t top = baseline - (run.LineHeight() - run.Descent()) - scrollY;
    dc.FillRect({caretX, top, caretX + 1, top + run.LineHeight()},
                {plat::BS_SOLID, Rgb(run.Font->Color()), 0});
  };
  for (int32_t i = start; i < textEnd && !pastClip;) {
    const char16_t ch = Text[size_t(i)];
    if (ch == kObjectChar) {
      TFloatingObj* obj = Images().FindImage(i);
      if (obj && obj->IsFloating()) {
        if (!recording) queueFloat(*obj, i == start ? lineTop : lineBottom);
        if (TLineBorders* borders = BordersOf(line))
          std::erase_if(borders->Records,
                        [i](const BorderRec& rec) { return rec.BStart == i && rec.BEnd <= i + 1; });
      } else if (obj) {
        int index = 0;
        const TFontObj& run = *Fonts.GetFontObjAt(i, index);
        if (recording) {
          const int32_t top =
              obj->InlineTop({cx, lineTop, line.TextTop, baseline, lineBottom, run});
          recordObject(i, cx + obj->HSpaceL, top, obj->ImageWidth, obj->ImageHeight);
        } else {
          obj->DrawInline(canvas, {cx, lineTop - scrollY, line.TextTop - scrollY,
                                   baseline - scrollY, lineBottom - scrollY, run});
        }
        cx += obj->ImageWidth + obj->HSpaces();
      }
      ++i;
      continue;
    }
    if (ch == kControlChar) {
      if (TFormControlObj* control = FormControls().FindControl(i);
          control && control->TheControl()) {
        const int32_t h = control->Height();
        int32_t top = lineBottom;
        switch (control->FormAlign) {
          case aTop:
            top = line.TextTop + control->VSpaceT;
            break;
          case aMiddle:
            top = lineBottom - (line.TextHeight + h) / 2;
            break;
          case aBaseline:
            top = lineBottom - h - control->VSpaceB - line.Descent;
            break;
          case aBottom:
            top = lineBottom - h - control->VSpaceB;
            break;
          default:
            break;
        }
        if (recording) {
          recordObject(i, cx + control->HSpaceL, top, control->Width(), h);
        } else {
          control->ShowIt = true;
          control->ShowAt(cx + control->HSpaceL, top - scrollY);
          control->DrawFocusFrame(canvas);
        }
        cx += control->Width() + control->HSpaces();
      }
      ++i;
      continue;
    }

    int index = 0;
    const TFontObj& run = *Fonts.GetFontObjAt(i, index);
    int32_t pieceEnd =
        std::min(textEnd, i + std::max(1, Fonts.GetFontCountAt(i, int32_t(Text.size()))));
    // Selection and bordered elements start and end between pieces.
    const auto cutAt = [&](int32_t p) {
      if (p > i && p < pieceEnd) pieceEnd = p;
    };
    if (hasSelection) {
      cutAt(selStart);
      cutAt(selEnd);
    }
    for (const BorderRec& rec : Borders(line)) {
      cutAt(rec.BStart);
      cutAt(rec.BEnd);
    }
    SelectRunFont(canvas, run);
    int32_t offset = 0;
    if (run.ScriptShift == 9)
      offset = -(run.LineHeight() / 3);
    else if (run.ScriptShift == 8)
      offset = run.Descent() / 2 + 1;
    const int32_t textBaseline = baseline + offset;
    const auto withHyphen = [&](int32_t from, int32_t to) {
      std::u16string piece = Text.substr(size_t(from), size_t(to - from));
      if (to == textEnd && line.EndsWithHyphen) piece += u'-';
      return piece;
    };
    const auto pass = [&](int32_t from, int32_t to) {
      shares.Pass(std::u16string_view(Text).substr(size_t(from), size_t(to - from)));
    };
    int32_t from = i, to = pieceEnd;
    // Text laid out as a whole is drawn whole: a part of it alone would stand elsewhere. A
    // section without a cluster table has none.
    const bool laidOutWhole = HasClusters() && plat::LaidOutWhole(std::u16string_view(Text).substr(
                                                   size_t(i), size_t(pieceEnd - i)));
    if (recording || run.IsFocused || laidOutWhole) {
      // Boxes and focus frames need the whole piece, up to the next object.
      for (int32_t k = i + 1; k < pieceEnd; ++k)
        if (IsObjectChar(Text[size_t(k)])) pieceEnd = to = k;
    } else {
      // Only the characters that meet the clip rectangle are measured and drawn: a line may be
      // very long. Ink reaches at most this far beside a character's cell. Measuring stops at
      // the next object too.
      const int32_t reach = 2 * run.Font->tmMaxCharWidth + 8;
      if (const int64_t skip = int64_t(clipRect.Left) - reach - cx; skip > 0) {
        const TTextFit left = FitCharacters(dc, i, pieceEnd, skip, false);
        pass(i, i + left.Count);
        from += left.Count;
        cx += left.Extent;
        if (left.Whole) pieceEnd = to = from;
      }
      const int64_t room = int64_t(clipRect.Right) + reach - cx;
      const TTextFit shown = room > 0 ? FitCharacters(dc, from, pieceEnd, room, false) : TTextFit{};
      to = from + shown.Count;
      if (shown.Whole) {
        pieceEnd = to;
      } else {
        // The character that reaches past the clip is drawn too.
        if (to < pieceEnd) ++to;
        while (to < pieceEnd && ContinuesCluster(to)) ++to;
        pastClip = true;
        clipCut = to;
      }
    }
    if (recording) {
      recordBox(i, cx, textBaseline - (run.LineHeight() - run.Descent()) + 1,
                textBaseline + run.Descent());
      cx += dc.GetTextExtent(withHyphen(i, pieceEnd)).cx;
      pass(i, pieceEnd);
      i = pieceEnd;
      continue;
    }
    // Measured before anything is drawn, while the piece's justification shares are unused.
    const bool caretHere = selStart >= from && selStart < to;
    const int32_t caretX = caretHere ? cx + dc.GetTextExtent(withHyphen(from, selStart)).cx : 0;
    const std::u16string piece = withHyphen(from, to);
    const int32_t width = dc.GetTextExtent(piece).cx;
    if (!piece.empty()) {
      const bool selected = hasSelection && i >= selStart && i < selEnd;
      const TColor background = run.Font->BackgroundColor;
      const plat::TColorRef fontColor = Rgb(run.Font->Color());
      if (selected) {
        dc.SetBkMode(plat::OPAQUE);
        dc.SetBkColor(fontColor);
        dc.SetTextColor(background != clNone ? Rgb(background) : fontColor ^ 0xFFFFFF);
      } else if (background != clNone) {
        dc.SetBkMode(plat::OPAQUE);
        dc.SetBkColor(Rgb(background));
        dc.SetTextColor(fontColor);
      } else {
        dc.SetBkMode(plat::TRANSPARENT);
        dc.SetTextColor(fontColor);
      }
      dc.ExtTextOut(cx, textBaseline - scrollY, textClip ? plat::ETO_CLIPPED : 0, textClip, piece);
    }
    pass(from, to);
    if (run.IsFocused) {
      dc.SetTextColor(0);
      dc.DrawFocusRect({cx, textBaseline - (run.LineHeight() - run.Descent()) - scrollY, cx + width,
                        textBaseline + run.Descent() - scrollY});
    }
    if (caretHere) drawCaret(caretX, run);
    cx += width;
    i = pieceEnd;
  }
  // Past the clip, floats still stand at the left edge, and the other objects are out of view:
  // no hit test may find them where an earlier paint drew them.
  for (auto it = FirstAtOrAfter(Images(), clipCut); it != Images().end() && (*it)->Pos < textEnd;
       ++it)
    if ((*it)->IsFloating())
      queueFloat(**it, lineBottom);
    else
      (*it)->DrawX = clipRect.Right;
  // A caret just past the section, or past a PRE line, stands at the end of its text too.
  const int32_t lineEnd = start + line.CharCount;
  if (!recording && !pastClip && selStart == lineEnd && lineEnd > 0 &&
      (lineEnd == PosCount || BreakFlags[size_t(lineEnd - 1)] == kBreakLineEnd)) {
    int index = 0;
    drawCaret(cx, *Fonts.GetFontObjAt(lineEnd - 1, index));
  }
  if (recording)
    for (BorderRec& rec : Borders(line))
      if (rec.BRect.Right == 0) rec.BRect.Right = cx;
}

}  // namespace html
