// Picture and text layers: fitting, presets, restored values, key colour, text boxes and the
// layer scale rule.
#include <gtest/gtest.h>

#include <cmath>

#include "RoadSupport.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"

namespace {

using namespace road_test;

class LayerTest : public testing::Test {
 protected:
  std::string Picture(const std::string& name, int w, int h, uint32_t color = 0xFF336699) {
    gfx::TBitmap32 b;
    b.SetSize(w, h);
    b.ClearWithColor(color);
    b.SaveToFile(folder.File(name));
    return folder.File(name);
  }

  ScratchFolder folder;
  gfx::TImage32 view{nullptr};
};

// The same search written as a closed check: P fits and P + 1 does not (or P is 100 or 2).
TEST_F(LayerTest, LargePicturesAreFittedAndSmallOnesKeepFullSize) {
  const struct {
    int w, h, bgw, bgh, scale;
  } cases[] = {{1000, 500, 400, 400, 40}, {20000, 4, 200, 200, 2},  {120, 80, 400, 300, 100},
               {401, 300, 400, 300, 99},  {800, 600, 400, 300, 50}, {300, 900, 400, 300, 33}};
  for (const auto& c : cases) {
    app::TPictureLayerRequest request{Picture("p.bmp", c.w, c.h)};
    request.X = 7;
    request.Y = 9;
    gfx::TBitmapLayer& L =
        app::AddPictureLayer(view.Layers(), request, {c.bgw, c.bgh, c.bgw, c.bgh});
    EXPECT_EQ(L.ScalePercent, c.scale) << c.w << "x" << c.h;
    EXPECT_EQ(L.OpacityValue, 255);
    EXPECT_EQ(L.Bitmap().MasterAlpha(), 255u);
    const gfx::TFloatRect r = L.Location();
    EXPECT_FLOAT_EQ(r.Left, 7);
    EXPECT_FLOAT_EQ(r.Top, 9);
    EXPECT_NEAR(r.Right - r.Left, c.w * c.scale / 100.0, 1e-2);
    EXPECT_NEAR(r.Bottom - r.Top, c.h * c.scale / 100.0, 1e-2);
    EXPECT_EQ(L.AngleCode, 0);
    EXPECT_EQ(L.SourceFile, folder.File("p.bmp"));
  }
}

TEST_F(LayerTest, PresetPicturesSitSmallAtTheBottomRight) {
  const std::string file = Picture("My-Logo.bmp", 300, 100);
  gfx::TBitmapLayer& L = app::AddPictureLayer(view.Layers(), {file}, {400, 300, 1000, 800});
  EXPECT_EQ(L.ScalePercent, 22);
  EXPECT_EQ(L.OpacityValue, 125);
  // 1000 - Round(33) - 135 and 800 - Round(11) - 35.
  EXPECT_FLOAT_EQ(L.Location().Left, 832);
  EXPECT_FLOAT_EQ(L.Location().Top, 754);
  EXPECT_NEAR(L.Location().Right, 832 + 66, 1e-3);
}

TEST_F(LayerTest, RestoredLayersKeepTheirValuesEvenAtZero) {
  app::TPictureLayerRequest request{Picture("Logo-back.bmp", 1000, 500)};
  request.Restored = true;
  request.X = 30;
  request.Y = 40;
  request.AngleCode = 10045;
  gfx::TBitmapLayer& L = app::AddPictureLayer(view.Layers(), request, {400, 300, 400, 300});
  EXPECT_EQ(L.OpacityValue, 0);
  EXPECT_EQ(L.ScalePercent, 0);
  EXPECT_EQ(L.AngleCode, 10045);
  // Scale 0 collapses the frame to its top-left corner, which is the given one, not a preset's.
  EXPECT_EQ(L.Location(), (gfx::TFloatRect{30, 40, 30, 40}));

  request.Opacity = 77;
  request.Scale = 150;
  request.Mode = 12;
  gfx::TBitmapLayer& M = app::AddPictureLayer(view.Layers(), request, {400, 300, 400, 300});
  EXPECT_EQ(M.OpacityValue, 77);
  EXPECT_EQ(M.ColorMode, 12);
  EXPECT_EQ(M.Bitmap().DrawMode(), gfx::dmCustom);
  EXPECT_NEAR(M.Location().Right, 30 + 1500, 1e-2);
}

TEST_F(LayerTest, KeyColourMakesHolesButBlackStaysOpaque) {
  gfx::TBitmap32 b;
  b.SetSize(3, 1);
  b.SetPixel(0, 0, 0xFF010101);
  b.SetPixel(1, 0, 0xFF000000);
  b.SetPixel(2, 0, 0xFF010102);
  b.SaveToFile(folder.File("k.bmp"));
  gfx::TBitmapLayer& L =
      app::AddPictureLayer(view.Layers(), {folder.File("k.bmp")}, {400, 300, 400, 300});
  EXPECT_EQ(L.Bitmap().Pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(L.Bitmap().Pixel(1, 0) >> 24, 255u);
  EXPECT_EQ(L.Bitmap().Pixel(2, 0) >> 24, 255u);
  EXPECT_EQ(L.Bitmap().DrawMode(), gfx::dmBlend);
}

TEST_F(LayerTest, UnreadablePictureAddsNoLayer) {
  app::AddPictureLayer(view.Layers(), {Picture("a.bmp", 10, 10)}, {400, 300, 400, 300});
  std::ofstream(folder.File("broken.bmp")) << "BM not really";
  EXPECT_THROW(
      app::AddPictureLayer(view.Layers(), {folder.File("broken.bmp")}, {400, 300, 400, 300}),
      std::exception);
  EXPECT_THROW(
      app::AddPictureLayer(view.Layers(), {folder.File("absent.png")}, {400, 300, 400, 300}),
      std::exception);
  EXPECT_EQ(view.Layers().Count(), 1);
}

TEST_F(LayerTest, LayerScaleKeepsTheTopLeftCorner) {
  const gfx::TFloatRect r = app::ScaledLayerRect({10, 20, 99, 99}, 120, 80, 50);
  EXPECT_EQ(r, (gfx::TFloatRect{10, 20, 70, 60}));
  EXPECT_EQ(app::ScaledLayerRect({10, 20, 99, 99}, 120, 80, 0), (gfx::TFloatRect{10, 20, 10, 20}));
  EXPECT_EQ(app::ScaledLayerRect({-5, 0, 0, 0}, 3, 7, 500), (gfx::TFloatRect{-5, 0, 10, 35}));
}

TEST_F(LayerTest, TextBoxesFollowTheSizeTable) {
  const plat::TSize e{200, 50};
  const struct {
    int size, dx, dy;
  } rows[] = {{20, -3, 3}, {30, 2, 4},  {40, 3, 6},    {50, 0, 7},    {60, 1, 8},    {70, 3, 10},
              {80, 3, 10}, {90, 3, 10}, {100, -8, 15}, {150, -8, 15}, {160, -6, 20}, {180, -6, 20}};
  for (const auto& r : rows) {
    const auto box = app::TextBoxSize(r.size, e, false);
    ASSERT_TRUE(box) << r.size;
    EXPECT_EQ(box->cx, 200 + r.dx) << r.size;
    EXPECT_EQ(box->cy, 50 + r.dy) << r.size;
  }
  for (int size : {10, 25, 45, 75, 95}) EXPECT_FALSE(app::TextBoxSize(size, e, false)) << size;
  EXPECT_EQ(app::TextBoxSize(25, e, true)->cx, 210);
  EXPECT_EQ(app::TextBoxSize(25, e, true)->cy, 60);
}

app::TRenderText Text(const std::string& s) {
  app::TRenderText t;
  t.FontName = "DejaVu Sans";
  t.Size = 40;
  t.TextColor = 0xFFFFFFFF;
  t.BackColor = 0x800000;
  t.Text = s;
  return t;
}

TEST_F(LayerTest, TextLayersAreOpaqueBoxesAtTheirPlace) {
  app::TTextLayerStyle style;
  style.TextTop = 70;
  style.HasAngle = true;
  style.AngleCode = 10000;
  style.ColorMode = 3;
  gfx::TBitmapLayer& L =
      app::AddTextLayer(view.Layers(), Text("Hello"), style, {400, 300, 500, 400});
  gfx::TBitmap32 probe;
  probe.Font().SetName("DejaVu Sans");
  probe.Font().SetSize(40);
  const plat::TSize e = probe.TextExtent(" Hello ");
  EXPECT_EQ(L.Bitmap().Width(), e.cx + 3);
  EXPECT_EQ(L.Bitmap().Height(), e.cy + 6);
  EXPECT_EQ(L.Location(), (gfx::TFloatRect{50, 70, 50.0f + e.cx + 3, 70.0f + e.cy + 6}));
  EXPECT_EQ(L.OpacityValue, 255);
  EXPECT_EQ(L.ScalePercent, 100);
  EXPECT_EQ(L.AngleCode, 10000);
  EXPECT_EQ(L.StateFlag, 0);
  EXPECT_EQ(L.Bitmap().Pixel(1, 1), 0xFF000080u);

  // The corner text: scale 32 and its place from the bottom-right corner.
  app::TRenderText corner = Text("(c) PixStamp");
  style.CornerSizing = true;
  style.ColorMode = 0;
  gfx::TBitmapLayer& C = app::AddTextLayer(view.Layers(), corner, style, {400, 300, 500, 400});
  const int w = C.Bitmap().Width(), h = C.Bitmap().Height();
  EXPECT_EQ(C.ScalePercent, 32);
  EXPECT_EQ(C.StateFlag, 1);
  EXPECT_FLOAT_EQ(C.Location().Left, float(500 - std::nearbyint(0.16 * w) - 125));
  EXPECT_FLOAT_EQ(C.Location().Top, float(400 - std::nearbyint(0.16 * h) - 35));
  EXPECT_NEAR(C.Location().Right - C.Location().Left, 0.32 * w, 1e-3);
}

TEST_F(LayerTest, TransparentTextAndBoxLeaveOnlyTheRims) {
  app::TTextLayerStyle style;
  style.FontTransparent = true;
  style.BackTransparent = true;
  gfx::TBitmapLayer& L =
      app::AddTextLayer(view.Layers(), Text("Wide"), style, {400, 300, 400, 300});
  int opaqueWhite = 0, navy = 0;
  for (int y = 0; y < L.Bitmap().Height(); ++y)
    for (int x = 0; x < L.Bitmap().Width(); ++x) {
      const uint32_t p = L.Bitmap().Pixel(x, y);
      if ((p & 0xFFFFFF) == 0xFFFFFF && (p >> 24) != 0) ++opaqueWhite;
      if ((p & 0xFFFFFF) == 0x000080 && (p >> 24) != 0) ++navy;
    }
  EXPECT_EQ(opaqueWhite, 0);
  EXPECT_EQ(navy, 0);
  EXPECT_EQ(L.Bitmap().Pixel(0, 0) >> 24, 0u);
}

TEST_F(LayerTest, SizesWithoutARuleGiveAnEmptyLayer) {
  app::TRenderText t = Text("x");
  t.Size = 45;
  gfx::TBitmapLayer& L = app::AddTextLayer(view.Layers(), t, {}, {400, 300, 400, 300});
  EXPECT_TRUE(L.Bitmap().Empty());
  EXPECT_EQ(view.Layers().Count(), 1);
}

}  // namespace
