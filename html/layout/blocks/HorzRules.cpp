// HR: the rule's attributes, its place between the floats, its drawing, and the block that
// gives it its width and alignment.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/css/CssComputed.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

namespace {

uint8_t RuleAlignOf(std::string_view text) {
  if (text == "left") return BlockAlignLeft;
  if (text == "right") return BlockAlignRight;
  if (text == "center") return BlockAlignCenter;
  return 0;
}

std::string LowerCase(std::string text) {
  for (char& ch : text)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return text;
}

// The rule's light edge: silver on a white page, the button highlight elsewhere.
TColor LightEdgeColor(TColor documentBackground) {
  const bool white =
      (documentBackground & ~kPaletteRelativeFlag) == 0xFFFFFF ||
      (documentBackground == plat::clWindow && plat::ColorToRGB(plat::clWindow) == 0xFFFFFF);
  return white ? plat::clSilver : plat::clBtnHighlight;
}

}  // namespace

THorzLine::THorzLine(TSectionList* document, TAttributeList* attributes, TProperties& prop)
    : TSectionBase(document) {
  if (attributes) {
    for (const auto& attr : *attributes) {
      switch (attr->Which) {
        case SizeSy:
          if (attr->Value >= 1 && attr->Value <= 20) RuleHeight = attr->Value;
          break;
        case AlignSy:
          if (const uint8_t align = RuleAlignOf(LowerCase(attr->Name));
              align == BlockAlignLeft || align == BlockAlignRight)
            RuleAlignCode = align;
          break;
        case WidthSy:
          if (!attr->IsPercent()) {
            if (attr->Value >= 1) prop.AddPropertyValue(piWidth, TCssValue(int32_t(attr->Value)));
          } else if (attr->Value <= 100) {
            prop.AddPropertyValue(piWidth, TCssValue(std::to_string(attr->Value) + "%"));
          }
          break;
        case ColorSy: {
          TColor colour = clNone;
          if (ParseColor(attr->Name, false, colour))
            prop.AddPropertyValue(piColor, int32_t(colour));
          break;
        }
        case NoShadeSy:
          Flat = true;
          break;
        default:
          break;
      }
    }
  }
  TVMarginArray raw;
  prop.GetVMarginArray(raw);
  TMarginArray box;
  int autoCount = 0;
  prop.GetFont();  // the rule's own em and ex
  ConvMargArray(raw, 0, 0, prop.EmPixels, prop.ExPixels, autoCount, box);
  if (box[piHeight] >= 1) RuleHeight = ClampBoxLength(box[piHeight]);
  const TColor colour = prop.GetForegroundColor();
  if (colour != clNone) RuleColor = colour;
  // Only a text-align given to the rule itself: every element inherits the page's "left".
  if (const std::string* align = VarString(prop.Values[piTextAlign]);
      align && prop.GivenHere[piTextAlign])
    if (const uint8_t code = RuleAlignOf(*align)) RuleAlignCode = code;
}

THorzLine::THorzLine(TSectionList* document, const THorzLine& source)
    : TSectionBase(document, source),
      RuleHeight(source.RuleHeight),
      RuleColor(source.RuleColor),
      RuleAlignCode(source.RuleAlignCode),
      Flat(source.Flat),
      RuleWidth(source.RuleWidth),
      RuleLeft(source.RuleLeft) {}

std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TSectionList* document) const {
  return std::make_unique<THorzLine>(document, *this);
}

void THorzLine::CopySelectedText() {
  if (Document && Document->SelBuffer) Document->SelBuffer->AddTextCR(u"", 0);
}

int32_t THorzLine::Layout(plat::TCanvas&, int32_t x, int32_t y, int32_t, int32_t,
                          int32_t availWidth, int32_t, int32_t, IndentManager& indents,
                          int32_t& maxWidth, int32_t& pos) {
  FirstPos = pos;
  PaintY = TopY = PaintTop = y;
  LeftX = x;
  RuleLeft = std::max(x, indents.LeftIndent(y));
  RuleWidth = Clamp32(std::min(int64_t(x) + availWidth, int64_t(indents.RightLimit(y))) - RuleLeft);
  maxWidth = RuleWidth;
  FlowHeight = PaintHeight = RuleHeight;
  BottomY = PaintBottom = SaturatedSum(y, RuleHeight);
  return RuleHeight;
}

int32_t THorzLine::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager&,
                        int32_t drawX, int32_t, int32_t) {
  const int32_t result = SaturatedSum(PaintY, FlowHeight);
  // Beside a float the rule starts where the float ends.
  const int32_t x = Clamp32(int64_t(drawX) + RuleLeft - LeftX);
  const int32_t top = Clamp32(int64_t(PaintY) - (Document ? Document->ScrollY : 0));
  const int32_t bottom = SaturatedSum(top, RuleHeight);
  if (bottom <= clipRect.Top || top >= clipRect.Bottom || RuleWidth < 1 || RuleHeight < 1)
    return result;
  const int32_t right = SaturatedSum(x, RuleWidth);  // one past the last column
  canvas.Brush().SetStyle(plat::bsSolid);
  if (RuleColor != clNone) {
    canvas.Brush().SetColor(TColor(RuleColor | PaletteRelative()));
    canvas.FillRect({x, top, right, bottom});
    return result;
  }
  const TColor documentBackground = Document ? Document->BackColor : clNone;
  const TColor light = Flat ? plat::clBlack : LightEdgeColor(documentBackground);
  const TColor dark = Flat ? plat::clBlack : plat::clBtnShadow;
  // Sunken: light right and bottom edges under dark left and top edges.
  canvas.Brush().SetColor(light);
  canvas.FillRect({right - 1, top, right, bottom});
  canvas.FillRect({x, bottom - 1, right, bottom});
  canvas.Brush().SetColor(dark);
  canvas.FillRect({x, top, x + 1, bottom});
  canvas.FillRect({x, top, right, top + 1});
  return result;
}

THRBlock::THRBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
                   TAttributeList* attributes, std::unique_ptr<THorzLine> rule)
    : TBlock(document, prop, container, attributes), Rule(rule.get()) {
  if (Rule) {
    RuleAlign = Rule->RuleAlignCode;
    Content.Add(std::move(rule), 0);
  }
}

THRBlock::THRBlock(TSectionList* document, const THRBlock& source)
    : TBlock(document, source), RuleAlign(source.RuleAlign) {
  for (const auto& item : Content)
    if (auto* rule = dynamic_cast<THorzLine*>(item.get())) Rule = rule;
}

std::unique_ptr<TSectionBase> THRBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<THRBlock>(document, *this);
}

int32_t THRBlock::ComputeWidth(plat::TCanvas&, int32_t availWidth, int, int32_t) {
  if (IsAbsolutelyPositioned()) RuleAlign = BlockAlignLeft;
  TMarginArray& box = Margins.Edit();
  for (int i : {int(piMarginLeft), int(piMarginRight)})
    if (box[i] == AutoLength) box[i] = 0;
  const int32_t room = ClampBoxLength(Clamp32(int64_t(availWidth) - LeftExtras() - RightExtras()));
  int32_t& width = box[piWidth];
  width = width < 1 ? std::max(15, room) : std::min(width, room);
  const int32_t rest = room - width;
  if (rest > 0) {
    if (RuleAlign == BlockAlignCenter) box[piMarginLeft] += rest / 2;
    if (RuleAlign == BlockAlignRight) box[piMarginLeft] += rest;
  }
  if (Rule && box[piHeight] >= 1) Rule->RuleHeight = box[piHeight];
  return width;
}

}  // namespace html
