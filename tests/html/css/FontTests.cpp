#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "html/css/CssFonts.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/FontFamilies.h"

using namespace html;

namespace {

TEST(FontFamilies, TakenOneByOneWithGenericNamesMapped) {
  std::string_view list = " 'Courier New' ,serif,  \"x\" , Helvetica,SANS-SERIF,cursive,monospace";
  EXPECT_EQ(NextFontFamily(list), "Courier New");
  EXPECT_EQ(NextFontFamily(list), "Times New Roman");
  EXPECT_EQ(NextFontFamily(list), "x");
  EXPECT_EQ(NextFontFamily(list), "Arial");
  EXPECT_EQ(NextFontFamily(list), "Arial");
  EXPECT_EQ(NextFontFamily(list), "Lucida Handwriting");
  EXPECT_EQ(NextFontFamily(list), "Courier New");
  EXPECT_EQ(list, "");
  EXPECT_EQ(NextFontFamily(list), "");
  std::string_view lone = "'";
  EXPECT_EQ(NextFontFamily(lone), "");
}

TEST(FontFamilies, PickedOnlyWhenInstalled) {
  EXPECT_EQ(PickFontFamily("no such family, 'nor this one'"), "");
  EXPECT_EQ(PickFontFamily(""), "");
  if (!plat::FontFamilyInstalled("Liberation Sans")) GTEST_SKIP() << "no Liberation Sans";
  EXPECT_TRUE(plat::FontFamilyInstalled("ARIAL"));
  EXPECT_EQ(PickFontFamily("missing, sans-serif, serif"), "Arial");
  EXPECT_EQ(PickFontFamily("missing, liberation sans"), "liberation sans");
}

TEST(EngineFonts, AssignCarriesMetricsAndSpacing) {
  TMyFont source;
  source.SetName("Liberation Serif");
  source.SetHeight(-20);
  source.BackgroundColor = 0x123456;
  source.tmHeight = 23;
  source.tmDescent = 5;
  source.tmExternalLeading = 1;
  source.tmAveCharWidth = 9;
  source.tmMaxCharWidth = 30;
  source.tmCharset = 238;
  source.LetterSpacing = 3;
  TMyFont copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Name(), "Liberation Serif");
  EXPECT_EQ(copy.Height(), -20);
  EXPECT_EQ(copy.BackgroundColor, 0x123456);
  EXPECT_EQ(copy.tmHeight, 23);
  EXPECT_EQ(copy.tmDescent, 5);
  EXPECT_EQ(copy.tmExternalLeading, 1);
  EXPECT_EQ(copy.tmAveCharWidth, 9);
  EXPECT_EQ(copy.tmMaxCharWidth, 30);
  EXPECT_EQ(copy.tmCharset, 238);
  EXPECT_EQ(copy.LetterSpacing, 3);
  // A plain font brings only itself.
  plat::TFont plain;
  plain.SetHeight(-9);
  copy.Assign(plain);
  EXPECT_EQ(copy.Height(), -9);
  EXPECT_EQ(copy.LetterSpacing, 3);

  std::vector<uint32_t> pixels(16 * 16);
  plat::DeviceContext dc(pixels.data(), 16, 16, 16 * 4);
  plat::TCanvas canvas(&dc);
  AssignCanvasFont(canvas, source);
  EXPECT_EQ(canvas.Font().Height(), -20);
  EXPECT_EQ(dc.TextCharacterExtra(), 3);
}

}  // namespace

namespace {

TEST(EngineFonts, AShareHoldsEachLookOnce) {
  const auto font = [](const std::string& name, int spacing, TColor background) {
    auto made = std::make_shared<TMyFont>();
    made->SetName(name);
    made->SetHeight(-16);
    made->LetterSpacing = spacing;
    made->BackgroundColor = background;
    MeasureFont(*made);
    return std::shared_ptr<const TMyFont>(std::move(made));
  };
  TFontShare share;
  const auto first = share.Share(font("Liberation Sans", 0, clNone));
  EXPECT_EQ(share.Share(font("Liberation Sans", 0, clNone)), first);
  // Fields that plain names and sizes do not show keep fonts apart, and so does a name that
  // only extends another.
  EXPECT_NE(share.Share(font("Liberation Sans", 1, clNone)), first);
  EXPECT_NE(share.Share(font("Liberation Sans", 0, 0xFF)), first);
  EXPECT_NE(share.Share(font("Liberation Sans Narrow", 0, clNone)), first);
  share.Clear();
  const auto again = font("Liberation Sans", 0, clNone);
  EXPECT_EQ(share.Share(again), again);
}

}  // namespace
