// Horizontal rules: attributes and CSS, width and alignment inside their block, the sunken and
// flat edges and coloured bars painted pixel by pixel; the body block.
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

constexpr TColor kRed = plat::RGB(255, 0, 0);
constexpr TColor kBlack = 0;

struct Attr {
  Symb which;
  int32_t value;
  const char* text;
};

class Rules : public BlockTest {
 protected:
  void SetUp() override { document.SetBackColor(kWhite); }
  // An HR with its block, 10 pixels of margin above and below.
  THRBlock* AddRule(std::initializer_list<Attr> attrs, TDeclarations css = {}) {
    TAttributeList list;
    for (const Attr& a : attrs)
      list.Add(std::make_unique<TAttribute>(a.which, a.value, "", a.text, 0));
    auto prop = Props("hr", css);
    prop->AddPropertyByName("margin-top", "10px");
    prop->AddPropertyByName("margin-bottom", "10px");
    auto rule = std::make_unique<THorzLine>(&document, &list, *prop);
    rule_ = rule.get();
    auto block = std::make_unique<THRBlock>(&document, *prop, &document, &list, std::move(rule));
    THRBlock* raw = block.get();
    document.Add(std::move(block), 0);
    return raw;
  }
  THorzLine* rule_ = nullptr;
};

TEST_F(Rules, APlainRuleIsTwoPixelsHighFullWidthAndSunken) {
  THRBlock* block = AddRule({});
  EXPECT_EQ(LayOut(200), 22);
  EXPECT_EQ(rule_->RuleHeight, 2);
  EXPECT_EQ(rule_->RuleWidth, 200);
  EXPECT_EQ(block->RuleAlign, BlockAlignCenter);
  Paint(200, 30);
  const TColor dark = plat::ColorToRGB(plat::clBtnShadow);
  ExpectPixels([&](int x, int y) {
    if (y == 10 || (y == 11 && x == 0)) return dark;
    return y == 11 ? plat::clSilver : kWhite;
  });
}

TEST_F(Rules, AttributesSetSizeWidthAlignmentAndFlatEdges) {
  AddRule({{SizeSy, 5, "5"}, {WidthSy, 50, "50%"}, {AlignSy, 0, "RIGHT"}, {NoShadeSy, 0, ""}});
  EXPECT_EQ(LayOut(200), 25);
  EXPECT_EQ(rule_->RuleHeight, 5);
  EXPECT_EQ(rule_->RuleWidth, 100);
  EXPECT_TRUE(rule_->Flat);
  Paint(200, 30);
  ExpectPixels([&](int x, int y) {
    const bool frame =
        x >= 100 && y >= 10 && y < 15 && (x == 100 || x == 199 || y == 10 || y == 14);
    return frame ? kBlack : kWhite;
  });
}

TEST_F(Rules, AColouredRuleIsASolidBarCentredInTheRest) {
  AddRule({{WidthSy, 60, "60"}, {ColorSy, 0, "red"}, {SizeSy, 30, "30"}});
  LayOut(200);
  EXPECT_EQ(rule_->RuleColor, kRed);
  EXPECT_EQ(rule_->RuleHeight, 2);  // sizes above 20 are refused
  Paint(200, 30);
  ExpectPixels(
      [&](int x, int y) { return x >= 70 && x < 130 && y >= 10 && y < 12 ? kRed : kWhite; });
}

TEST_F(Rules, CssOverridesAttributesAndFloatsNarrowTheRule) {
  AddRule({{AlignSy, 0, "left"}, {WidthSy, 60, "60"}},
          {{"height", "6px"}, {"text-align", "center"}, {"width", "80px"}});
  LayOut(200);
  EXPECT_EQ(rule_->RuleHeight, 6);
  EXPECT_EQ(rule_->RuleAlignCode, BlockAlignCenter);
  EXPECT_EQ(rule_->RuleWidth, 80);
  EXPECT_EQ(rule_->LeftX, 60);  // centred: (200 - 80) / 2

  document.Clear();
  TBlock* floating = AddBlock(document, "div", {{"float", "left"}, {"width", "50px"}});
  AddBox(floating->Content, 40);
  AddRule({});
  LayOut(200);
  EXPECT_EQ(rule_->RuleLeft, 50);
  EXPECT_EQ(rule_->RuleWidth, 150);
  Paint(200, 30);
  EXPECT_EQ(At(49, 10), kWhite);
  EXPECT_EQ(At(50, 10), plat::ColorToRGB(plat::clBtnShadow));
  EXPECT_EQ(At(199, 11), plat::clSilver);
}

TEST_F(Rules, TheBodySpansTheDocumentAndHandsItsBackgroundOver) {
  auto* body = AddBlock<TBodyBlock>(document, "body",
                                    {{"margin-left", "8px"},
                                     {"margin-right", "8px"},
                                     {"margin-top", "8px"},
                                     {"margin-bottom", "8px"},
                                     {"background-color", "red"}});
  EXPECT_EQ(document.BackColor, kRed);
  TBox* box = AddBox(body->Content, 30, 0, 400);
  int32_t maxWidth = 0, pos = 0;
  EXPECT_EQ(document.Layout(canvas, 0, 300, 0, 0, maxWidth, pos), 8 + 30 + 8);
  EXPECT_EQ(box->LaidX, 8);
  EXPECT_EQ(box->LaidAvailWidth, 284);
  EXPECT_EQ(box->TopY, 8);
  EXPECT_EQ(maxWidth, 416);
  EXPECT_EQ(body->PaintTop, 0);
  EXPECT_GT(body->PaintBottom, 900000);  // painted whatever part is shown
  Paint(40, 40);
  EXPECT_EQ(box->DrawnX, 8);
  EXPECT_EQ(At(20, 20), kWhite);  // the viewer paints the page background, not the body
}

}  // namespace
}  // namespace html::test
