// List items: the marker kind from the list and its TYPE or list-style-type, the item's number
// as text, and the marker drawn left of the first line's baseline.
#include <algorithm>

#include "html/images/ImageLoading.h"
#include "html/layout/blocks/PageItems.h"
#include "platform/drawing/DeviceContext.h"

namespace html {

namespace {

std::u16string Ascii(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

std::u16string RomanNumeral(int32_t number, bool upper) {
  static constexpr std::string_view kOnes[] = {"",  "i",  "ii",  "iii",  "iv",
                                               "v", "vi", "vii", "viii", "ix"};
  static constexpr std::string_view kTens[] = {"", "x", "xx"};
  std::u16string text = Ascii(kTens[number / 10]) + Ascii(kOnes[number % 10]);
  if (upper)
    for (char16_t& ch : text) ch = char16_t(ch - u'a' + u'A');
  return text;
}

uint8_t MarkerStyleOfType(char typeChar) {
  switch (typeChar) {
    case 'A':
      return lmUpperAlpha;
    case 'I':
      return lmUpperRoman;
    case 'a':
      return lmLowerAlpha;
    case 'i':
      return lmLowerRoman;
    default:
      return lmDecimal;
  }
}

// Nested unordered lists cycle through disc, circle and square.
uint8_t BulletOfLevel(int level) {
  switch (level % 3) {
    case 1:
      return lmDisc;
    case 2:
      return lmCircle;
    default:
      return lmSquare;
  }
}

}  // namespace

std::u16string ListMarkerText(uint8_t style, int32_t number) {
  switch (style) {
    case lmDecimal:
      return Ascii(std::to_string(number)) + u".";
    case lmLowerAlpha:
    case lmUpperAlpha: {
      const char16_t first = style == lmLowerAlpha ? u'a' : u'A';
      return std::u16string(1, char16_t(first + std::clamp(number - 1, 0, 25))) + u".";
    }
    case lmLowerRoman:
    case lmUpperRoman:
      // Numerals exist from 1 on; smaller numbers are shown as they are.
      if (number < 1) return Ascii(std::to_string(number)) + u".";
      return RomanNumeral(std::min(number, 20), style == lmUpperRoman) + u".";
    default:
      return {};
  }
}

TBlockLI::TBlockLI(TSectionList* document, TProperties& prop, TCellBasic* container,
                   Symb listSymbol, bool plain, char typeChar, int32_t itemNumber, int level,
                   TAttributeList* attributes)
    : TBlock(document, prop, container, attributes), ItemNumber(itemNumber) {
  switch (listSymbol) {
    case OLSy:
      ListKind = lkOrdered;
      MarkerStyle = MarkerStyleOfType(typeChar);
      break;
    case ULSy:
    case DirSy:
    case MenuSy:
      ListKind = lkUnordered;
      MarkerStyle = plain ? uint8_t(lmNone) : BulletOfLevel(level);
      break;
    case DLSy:
      ListKind = lkDefinition;
      break;
    default:
      ListKind = lkOther;
      MarkerStyle = lmDisc;
      if (const int32_t left = VarToInt(RawMargins()[piMarginLeft], -1);
          VarIsEmpty(RawMargins()[piMarginLeft]) || left == UnsetLength || left == 0)
        SetRawMargin(piMarginLeft, int32_t(16));
  }
  if (const int style = prop.GetListStyleType(); style != lmBlank) MarkerStyle = uint8_t(style);
  MarkerFont = prop.GetFont();
  MarkerImageUrl = prop.GetListStyleImage();
}

TBlockLI::TBlockLI(TSectionList* document, const TBlockLI& source)
    : TBlock(document, source),
      ListKind(source.ListKind),
      ItemNumber(source.ItemNumber),
      MarkerStyle(source.MarkerStyle),
      MarkerImageUrl(source.MarkerImageUrl),
      FirstLineY(source.FirstLineY) {
  if (source.MarkerFont) {
    MarkerFont = std::make_unique<TMyFont>();
    MarkerFont->Assign(*source.MarkerFont);
  }
}

std::unique_ptr<TSectionBase> TBlockLI::CreateCopy(TSectionList* document) const {
  return std::make_unique<TBlockLI>(document, *this);
}

std::optional<bool> TBlockLI::ClearOwnBottomMargin() {
  if (IsAbsolutelyPositioned()) return std::nullopt;
  return Content.ClearLastBottomMargin();
}

int32_t TBlockLI::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                         int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                         IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  if (!markerFetched_ && Document && Document->ImagesOn && !MarkerImageUrl.empty()) {
    markerFetched_ = true;
    MarkerImage = FetchBlockPicture(*Document, MarkerImageUrl);
  }
  FirstLineY = 0;
  // An item that starts with a nested list waits for that list's first line: the outer
  // item's slot is kept and handed the inner baseline, so both markers stand on that line.
  int32_t* outerSlot = Document ? Document->FirstBaselineSlot : nullptr;
  if (Document) Document->FirstBaselineSlot = &FirstLineY;
  const int32_t height = TBlock::Layout(canvas, x, y, refX, refY, availWidth, availHeight,
                                        blockHeight, indents, maxWidth, pos);
  if (Document) {
    if (outerSlot && *outerSlot == 0) *outerSlot = FirstLineY;
    Document->FirstBaselineSlot = outerSlot;
  }
  return height;
}

int32_t TBlockLI::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                       int32_t x, int32_t refX, int32_t refY) {
  const int32_t result = TBlock::Draw(canvas, clipRect, indents, x, refX, refY);
  if (FirstLineY <= 0 || Style().NotDisplayed || Style().VisibilityCode == 1) return result;
  const int32_t baseline = SaturatedSum(FirstLineY, Document ? -Document->ScrollY : 0);
  if (baseline < clipRect.Top - 50 || baseline >= clipRect.Bottom + 50) return result;
  const int32_t cx = SaturatedSum(x, ContentLeftOffset);
  if (MarkerImage.Image && Document && Document->ImagesOn)
    DrawMarkerImage(canvas, cx, baseline);
  else
    DrawMarker(canvas, cx, baseline);
  return result;
}

void TBlockLI::DrawMarkerImage(plat::TCanvas& canvas, int32_t cx, int32_t baseline) {
  const plat::TBitmap& image = *MarkerImage.Image;
  const plat::TRect place{cx - 16, baseline - image.Height(), cx - 16 + image.Width(), baseline};
  if (!MarkerImage.Mask)
    image.Draw(canvas, place);
  else if (plat::DeviceContext* dc = canvas.Handle())
    DrawTransparentBitmap(*dc, image, *MarkerImage.Mask, place.Left, place.Top, image.Width(),
                          image.Height());
}

void TBlockLI::DrawMarker(plat::TCanvas& canvas, int32_t cx, int32_t baseline) {
  if (ListKind == lkDefinition || !MarkerFont) return;
  const TColor colour = MarkerFont->Color();
  switch (MarkerStyle) {
    case lmCircle:
    case lmDisc:
    case lmSquare: {
      plat::TPen savedPen;
      savedPen.Assign(canvas.Pen());
      plat::TBrush savedBrush;
      savedBrush.Assign(canvas.Brush());
      canvas.Pen().SetColor(colour);
      canvas.Pen().SetStyle(plat::psSolid);
      canvas.Pen().SetWidth(1);
      canvas.Brush().SetColor(colour);
      canvas.Brush().SetStyle(MarkerStyle == lmCircle ? plat::bsClear : plat::bsSolid);
      if (MarkerStyle == lmCircle)
        canvas.Ellipse(cx - 16, baseline - 7, cx - 9, baseline);
      else if (MarkerStyle == lmDisc)
        canvas.Ellipse(cx - 15, baseline - 6, cx - 10, baseline - 1);
      else
        canvas.FillRect({cx - 15, baseline - 6, cx - 10, baseline - 1});
      canvas.SetPen(savedPen);
      canvas.SetBrush(savedBrush);
      break;
    }
    default: {
      const std::u16string text = ListMarkerText(MarkerStyle, ItemNumber);
      plat::DeviceContext* dc = canvas.Handle();
      if (text.empty() || !dc) return;
      AssignCanvasFont(canvas, *MarkerFont);
      dc->SelectFont(canvas.Font().LogFont());
      const uint32_t savedAlign = dc->SetTextAlign(plat::TA_RIGHT | plat::TA_BASELINE);
      const int savedMode = dc->SetBkMode(plat::TRANSPARENT);
      const plat::TColorRef savedColour = dc->SetTextColor(plat::ColorToRGB(colour));
      dc->TextOut(cx - 10, baseline, text);
      dc->SetTextColor(savedColour);
      dc->SetBkMode(savedMode);
      dc->SetTextAlign(savedAlign);
    }
  }
}

}  // namespace html
