// The paint box and the image control: buffer sizing, stages, placement of the bitmap in every
// scale mode and alignment, coordinate mapping, rendering elsewhere, and mouse routing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "Fixture.h"
#include "graphics/controls/Image.h"
#include "graphics/resampling/Resamplers.h"

namespace gfx {
namespace {

using controls_test::FirstDifference;
using controls_test::FormTest;
using plat::TMouseAction;

class ImageControl : public FormTest {};

TEST_F(ImageControl, TheBufferFollowsTheViewportWithSlack) {
  auto* box = Add<TCustomPaintBox32>(0, 0, 100, 50);
  EXPECT_EQ(box->Buffer().Width(), 100);  // shrunk from the 192 + 40 of construction
  box->SetWidth(101);
  EXPECT_EQ(box->Buffer().Width(), 141);
  box->SetWidth(120);
  EXPECT_EQ(box->Buffer().Width(), 141);
  box->SetWidth(101);
  EXPECT_EQ(box->Buffer().Width(), 141);
  box->SetWidth(100);
  EXPECT_EQ(box->Buffer().Width(), 100);
  box->SetWidth(0);
  EXPECT_EQ(box->Buffer().Width(), 1);
  EXPECT_TRUE(box->ForceFullRepaint());
}

// Random sizes (huge and negative ones too) and slacks against the buffer rule: grow to the
// viewport plus the slack, shrink to it once more than the slack is spare, never below 1 and
// never beyond the largest buffer; every change forces a full repaint.
TEST_F(ImageControl, TheBufferFollowsTheModelOfItsSlack) {
  std::mt19937 random(162);
  auto* box = Add<TCustomPaintBox32>(0, 0, 100, 50);
  int32_t w = box->Buffer().Width(), h = box->Buffer().Height();
  for (int step = 0; step < 200; ++step) {
    box->SetBufferOversize(int32_t(random() % 100));
    const int32_t sides[] = {
        int32_t(random() % 600), int32_t(random() % 600), 0, -40, 40000, INT32_MAX};
    const int32_t nw = sides[random() % 8 ? 0 : random() % 6],
                  nh = sides[random() % 8 ? 1 : random() % 6];
    box->SetBounds(0, 0, nw, nh);
    const auto fit = [&](int32_t current, int64_t wanted) {
      wanted = std::max<int64_t>(wanted, 0);
      int64_t side = current;
      if (current < wanted)
        side = wanted + box->BufferOversize();
      else if (wanted < current - box->BufferOversize())
        side = wanted;
      return int32_t(std::clamp<int64_t>(side, 1, TCustomPaintBox32::MaxBufferSide));
    };
    const int32_t ew = fit(w, box->Width()), eh = fit(h, box->Height());
    ASSERT_EQ(box->Buffer().Width(), ew) << step;
    ASSERT_EQ(box->Buffer().Height(), eh) << step;
    if (ew != w || eh != h) {
      ASSERT_TRUE(box->ForceFullRepaint()) << step;
    }
    w = ew, h = eh;
    Settle();
  }
}

TEST_F(ImageControl, PaintStagesStartAsRunTimeRecordsAndCheckTheirIndex) {
  TPaintStages stages;
  const TPaintStage& s = stages.Add();
  EXPECT_FALSE(s.InDesign);
  EXPECT_TRUE(s.AtRunTime);
  EXPECT_EQ(s.Stage, 0u);
  EXPECT_EQ(s.Parameter, 0u);
  EXPECT_THROW(stages.Items(1), plat::EListError);
  EXPECT_THROW(stages.Items(-1), plat::EListError);

  auto* image = Add<TImage32>(0, 0, 50, 50);
  ASSERT_EQ(image->PaintStages().Count(), 5);
  const uint32_t codes[] = {StageClearBackground, StageControlFrame, StageDrawBitmap,
                            StageBitmapFrame, StageDrawLayers};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(image->PaintStages().Items(i).Stage, codes[i]);
    EXPECT_EQ(image->PaintStages().Items(i).AtRunTime, i % 2 == 0);
  }
  EXPECT_EQ(image->PaintStages().Items(4).Parameter, LayerOptionVisible);
}

TEST_F(ImageControl, DirectModeQueuesTheDrawnArea) {
  auto box = std::make_unique<TCustomPaintBox32>(nullptr);  // no window: nothing paints
  box->SetBounds(0, 0, 60, 60);
  box->SetRepaintMode(rmDirect);
  box->InvalidRects().Clear();
  box->Buffer().FillRectS(5, 6, 20, 30, clRed32);
  ASSERT_GE(box->InvalidRects().Count(), 1);
  for (int32_t i = 0; i < box->InvalidRects().Count(); ++i)
    EXPECT_EQ(*box->InvalidRects().Items(i), (TRect{5, 6, 20, 30}));
}

// A plain paint box: its buffer is drawn on from outside, and every window paint is recorded
// with the area the window asked for.
class RecordingPaintBox : public TCustomPaintBox32 {
 public:
  explicit RecordingPaintBox(plat::TComponent* Owner) : TCustomPaintBox32(Owner) {
    OnGDIOverlay = [this](plat::TObject*) { paints.push_back(Canvas()->ClipRect()); };
  }
  std::vector<TRect> paints;
};

TEST_F(ImageControl, APlainPaintBoxInOptimizerModeShowsWhatWasDrawnOnItsBuffer) {
  auto* box = Add<RecordingPaintBox>(0, 0, 300, 200);
  box->SetRepaintMode(rmOptimizer);
  Settle();
  // Everything the optimizer marked when it started is shown by the first posted paint.
  box->paints.clear();
  box->Invalidate();
  Settle();
  ASSERT_EQ(box->paints.size(), 1u);
  EXPECT_EQ(box->paints[0], box->ClientRect());

  // Then the posted paint gathers the rectangles of what was drawn and shows only them.
  box->paints.clear();
  box->Buffer().FillRectS(70, 80, 110, 120, clRed32);
  box->Invalidate();
  Settle();
  ASSERT_EQ(box->paints.size(), 1u);
  const TRect shown = box->paints[0];
  EXPECT_TRUE(shown.Left <= 70 && shown.Top <= 80 && shown.Right >= 110 && shown.Bottom >= 120)
      << shown.Left << "," << shown.Top << "," << shown.Right << "," << shown.Bottom;
  EXPECT_NE(shown, box->ClientRect());

  // A request with nothing reported shows the whole client area.
  box->paints.clear();
  box->Invalidate();
  Settle();
  ASSERT_FALSE(box->paints.empty());
  EXPECT_EQ(box->paints.back(), box->ClientRect());
}

// The distinct rectangles in a list (drawing may report an area more than once).
std::vector<TRect> Distinct(TRectList& list) {
  std::vector<TRect> rects;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (std::find(rects.begin(), rects.end(), *list.Items(i)) == rects.end())
      rects.push_back(*list.Items(i));
  return rects;
}

TEST_F(ImageControl, DrawingOnTheBitmapQueuesItsAreaOnTheControl) {
  auto image = std::make_unique<TImage32>(nullptr);  // no window: the list is kept
  image->SetBounds(0, 0, 100, 60);
  image->SetScaleMode(smScale);
  image->SetScale(2);
  image->Bitmap().SetSize(30, 20);
  image->SetRepaintMode(rmDirect);
  image->InvalidRects().Clear();
  // Grown by the resampler's reach (1) plus 1, then doubled.
  image->Bitmap().FillRectS(10, 5, 20, 8, clRed32);
  EXPECT_EQ(Distinct(image->InvalidRects()), (std::vector<TRect>{{16, 6, 44, 20}}));

  // Tiled: once per tile of the 100 x 60 buffer, tiles of 60 x 40 at (0, 0), (60, 0), ...
  image->SetBitmapAlign(baTile);
  image->Repaint();
  image->InvalidRects().Clear();
  image->Bitmap().FillRectS(0, 0, 1, 1, clRed32);
  std::vector<TRect> expected;
  for (int j = 0; j <= 60 / 40; ++j)
    for (int i = 0; i <= 100 / 60; ++i)
      expected.push_back(TRect{-4, -4, 6, 6}.Offset(60 * i, 40 * j));
  EXPECT_EQ(Distinct(image->InvalidRects()), expected);

  image->Bitmap().SetSize(0, 0);  // nothing placed: no tiles, no division by zero
  image->InvalidRects().Clear();
  image->Bitmap().Changed();
  EXPECT_EQ(image->InvalidRects().Count(), 0);
}

// Placement of a 50 x 25 bitmap in a 100 x 100 image, worked out by hand.
struct Placement {
  TScaleMode mode;
  TBitmapAlign align;
  float scale;
  TRect expected;
};

TEST_F(ImageControl, BitmapsArePlacedByScaleModeAndAlignment) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  image->Bitmap().SetSize(50, 25);
  const Placement cases[] = {
      {smNormal, baTopLeft, 1, {0, 0, 50, 25}},
      {smNormal, baCenter, 1, {25, 37, 75, 62}},  // (100 - 25) div 2 = 37
      {smStretch, baTopLeft, 1, {0, 0, 100, 100}},
      {smScale, baTopLeft, 2, {0, 0, 100, 50}},
      {smScale, baCenter, 0.5f, {37, 44, 62, 56}},  // 25 x 12: 12.5 rounds to even
      {smResize, baCenter, 1, {0, 25, 100, 75}},
      {smOptimal, baTopLeft, 1, {0, 0, 50, 25}},
      {smOptimalScaled, baTopLeft, 4, {0, 0, 100, 50}},    // 200 x 100 does not fit: resized
      {smOptimalScaled, baTopLeft, 1.5f, {0, 0, 75, 38}},  // 37.5 rounds to even 38
      {smNormal, baTile, 1, {0, 0, 50, 25}},
  };
  for (const Placement& c : cases) {
    image->SetScaleMode(c.mode);
    image->SetBitmapAlign(c.align);
    image->SetScale(c.scale);
    EXPECT_EQ(image->GetBitmapRect(), c.expected) << int(c.mode) << " " << int(c.align);
  }
  image->SetScaleMode(smNormal);
  image->SetBitmapAlign(baCustom);
  image->SetOffsetHorz(10.5f);  // halves go to even
  image->SetOffsetVert(-3.5f);
  EXPECT_EQ(image->GetBitmapRect(), (TRect{10, -4, 60, 21}));

  image->Bitmap().SetSize(300, 200);  // larger than the control: the optimal mode fits it
  image->SetBitmapAlign(baTopLeft);
  image->SetScaleMode(smOptimal);
  EXPECT_EQ(image->GetBitmapRect(), (TRect{0, 0, 100, 67}));  // 200 / 3 = 66.7

  image->Bitmap().SetSize(0, 0);
  EXPECT_EQ(image->GetBitmapRect(), (TRect{}));
}

TEST_F(ImageControl, ControlAndBitmapCoordinatesMapBothWays) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  image->Bitmap().SetSize(50, 25);
  struct Mode {
    TScaleMode mode;
    TBitmapAlign align;
    float scale;
  };
  const Mode modes[] = {{smNormal, baTopLeft, 1},        {smNormal, baCenter, 1},
                        {smStretch, baTopLeft, 1},       {smScale, baCenter, 2},
                        {smResize, baCenter, 1},         {smOptimal, baCenter, 1},
                        {smOptimalScaled, baTopLeft, 4}, {smScale, baCustom, 2}};
  image->SetOffsetHorz(-8);
  image->SetOffsetVert(5);
  for (const Mode& m : modes) {
    image->SetScaleMode(m.mode);
    image->SetBitmapAlign(m.align);
    image->SetScale(m.scale);
    TRect r = image->GetBitmapRect();
    // Every control pixel over the bitmap lies inside the area of the pixel it maps to.
    for (int y = std::max(r.Top, 0); y < r.Bottom; ++y)
      for (int x = std::max(r.Left, 0); x < r.Right; ++x) {
        TPoint p = image->ControlToBitmap({x, y});
        ASSERT_GE(p.X, 0);
        ASSERT_LT(p.X, 50);
        ASSERT_GE(p.Y, 0);
        ASSERT_LT(p.Y, 25);
        TPoint from = image->BitmapToControl(p);
        TPoint to = image->BitmapToControl({p.X + 1, p.Y + 1});
        ASSERT_TRUE(from.X <= x && x < to.X && from.Y <= y && y < to.Y)
            << int(m.mode) << " at " << x << "," << y;
      }
    EXPECT_EQ(image->BitmapToControl({0, 0}), (TPoint{r.Left, r.Top}));
    EXPECT_EQ(image->BitmapToControl({50, 25}), (TPoint{r.Right, r.Bottom}));
  }
  // Left of the bitmap the mapping floors: -1 at twice the size is bitmap column -1, not 0.
  image->SetScaleMode(smScale);
  image->SetBitmapAlign(baTopLeft);
  image->SetScale(2);
  EXPECT_EQ(image->ControlToBitmap({-1, -3}), (TPoint{-1, -2}));
}

// Random pictures, controls, scale modes, alignments, scales and offsets, tiny, huge and
// undefined ones too: the placement and both coordinate mappings against a double model.
TEST_F(ImageControl, PlacementAndMappingsFollowTheModel) {
  std::mt19937 random(163);
  const auto between = [&](int32_t lo, int32_t hi) {
    return int32_t(lo + int64_t(random() % uint64_t(int64_t(hi) - lo + 1)));
  };
  const float scales[] = {0, -3, 0.001f, 1, NAN, INFINITY, 1e30f, 2.5f, 0.37f};
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    auto* image = Add<TImage32>(0, 0, between(0, 300), between(0, 300));
    const int32_t bw = random() % 8 == 0 ? 0 : between(1, 400), bh = between(0, 400);
    image->Bitmap().SetSize(bw, bh);
    const auto mode = TScaleMode(random() % 6);
    const auto align = TBitmapAlign(random() % 4);
    image->SetScaleMode(mode);
    image->SetBitmapAlign(align);
    const float scale = random() % 3 ? float(between(1, 4000)) / 1000 : scales[random() % 9];
    image->SetScale(scale);
    const float offsets[] = {float(between(-500, 500)) / 2, 1e10f, -3e9f, NAN};
    const float ox = offsets[random() % 4 ? 0 : random() % 4], oy = float(between(-500, 500)) / 4;
    image->SetOffsetHorz(ox);
    image->SetOffsetVert(oy);

    // The scale is at least 0.001; an undefined one counts as too small.
    const double s = scale >= 0.001f ? double(scale) : 0.001;
    ASSERT_EQ(image->Scale(), float(s));
    const double W = image->Width(), H = image->Height();
    double cx = 0, cy = 0;
    const bool empty = bw == 0 || bh == 0;
    if (!empty && W > 0 && H > 0) {
      TScaleMode m = mode;
      if (m == smOptimal) m = W < bw || H < bh ? smResize : smNormal;
      if (m == smOptimalScaled)
        m = W < std::nearbyint(bw * s) || H < std::nearbyint(bh * s) ? smResize : smScale;
      switch (m) {
        case smNormal:
          cx = bw, cy = bh;
          break;
        case smStretch:
          cx = W, cy = H;
          break;
        case smResize: {
          const double sx = W / bw, sy = H / bh;
          if (sx < sy)
            cx = W, cy = std::nearbyint(bh * sx);
          else
            cx = std::nearbyint(bw * sy), cy = H;
          break;
        }
        default:
          cx = std::nearbyint(bw * s), cy = std::nearbyint(bh * s);
      }
    }
    const plat::TSize size = image->GetBitmapSize();
    const TRect r = image->GetBitmapRect();
    if (cx > 1e9 || cy > 1e9 || std::isnan(ox)) {  // beyond any screen: only defined behaviour
      (void)image->ControlToBitmap({between(-1000, 1000), 0});
      form.DestroyComponent(image);
      continue;
    }
    ASSERT_EQ(size.cx, int32_t(cx)) << round;
    ASSERT_EQ(size.cy, int32_t(cy)) << round;
    double left = 0, top = 0;
    if (align == baCenter) {
      left = std::trunc((W - cx) / 2), top = std::trunc((H - cy) / 2);
    } else if (align == baCustom) {
      left = std::nearbyint(ox), top = std::nearbyint(oy);
    }
    if (empty || std::abs(left) > 1e9) {  // far off: held somewhere out there, the size kept
      ASSERT_TRUE(empty ? r == TRect{} : r.Left < -1e9 || r.Left > 1e9);
      ASSERT_EQ(r.Right - r.Left, size.cx);
      form.DestroyComponent(image);
      continue;
    }
    ASSERT_EQ(r, (TRect{int32_t(left), int32_t(top), int32_t(left + cx), int32_t(top + cy)}))
        << round;
    // The mappings through the cached placement, its scales and their inverses in singles.
    const float kx = float(double(r.Right - r.Left) / bw),
                ky = float(double(r.Bottom - r.Top) / bh);
    const float ix = kx == 0 ? 0 : 1 / kx, iy = ky == 0 ? 0 : 1 / ky;
    for (int k = 0; k < 20; ++k) {
      const TPoint p{between(-600, 600), between(-600, 600)};
      const TPoint b = image->ControlToBitmap(p);
      ASSERT_EQ(b.X, ix == 0 ? 0x7FFFFFFF : int32_t(std::floor((p.X - double(r.Left)) * ix)));
      ASSERT_EQ(b.Y, iy == 0 ? 0x7FFFFFFF : int32_t(std::floor((p.Y - double(r.Top)) * iy)));
      const TPoint c = image->BitmapToControl(p);
      ASSERT_EQ(c.X, int32_t(std::trunc(p.X * double(kx) + r.Left)));
      ASSERT_EQ(c.Y, int32_t(std::trunc(p.Y * double(ky) + r.Top)));
      ++compared;
    }
    form.DestroyComponent(image);
  }
  EXPECT_GT(compared, 2000);
}

TEST_F(ImageControl, ScaleHasAFloorAndReportsOnlyChanges) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  int scaleChanges = 0, changes = 0;
  image->OnScaleChanged = [&](plat::TObject*) { ++scaleChanges; };
  image->OnChange = [&](plat::TObject*) { ++changes; };
  image->SetScale(0);
  EXPECT_FLOAT_EQ(image->ScaleX(), 0.001f);
  EXPECT_FLOAT_EQ(image->ScaleY(), 0.001f);
  image->SetScale(0.001f);
  image->SetScale(-5);
  EXPECT_EQ(scaleChanges, 1);
  EXPECT_EQ(changes, 1);
  image->BeginUpdate();
  image->SetScale(3);
  image->EndUpdate();
  EXPECT_EQ(scaleChanges, 2);
  EXPECT_EQ(changes, 1);  // quiet inside an update
}

// A picture of distinct pixels, so that any misplaced pixel shows.
void FillPattern(TBitmap32& b, int w, int h, uint32_t seed) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 0xFF000000u | ((x * 7 + seed) & 0xFF) << 16 | ((y * 5 + seed) & 0xFF) << 8 |
                     ((x * y + seed) & 0xFF));
}

TEST_F(ImageControl, EmptyBitmapsClearEverythingInTheControlColour) {
  auto* image = Add<TImage32>(0, 0, 40, 30);
  image->SetColor(0x00102030);  // blue 0x10, green 0x20, red 0x30
  TBitmap32 dest;
  dest.SetSize(40, 30);
  dest.Clear();
  image->PaintTo(&dest, {0, 0, 40, 30});
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(dest.Pixel(x, y), 0xFF302010u);
}

TEST_F(ImageControl, PaintingElsewhereScalesScaledLayers) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  image->Bitmap().SetSize(40, 40);
  image->Bitmap().ClearWithColor(clWhite32);
  auto& layer = image->Layers().Add<TBitmapLayer>();
  layer.Bitmap().SetSize(10, 10);
  layer.Bitmap().ClearWithColor(clRed32);
  layer.SetScaled(true);
  layer.SetLocation({10, 10, 20, 20});
  TBitmap32 dest;
  dest.SetSize(80, 80);
  dest.Clear();
  image->PaintTo(&dest, {0, 0, 80, 80});
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) {
      bool inLayer = x >= 20 && x < 40 && y >= 20 && y < 40;
      ASSERT_EQ(dest.Pixel(x, y), inLayer ? clRed32 : clWhite32) << x << "," << y;
    }
  EXPECT_FALSE(image->RenderingElsewhere());
  EXPECT_EQ(image->RepaintMode(), rmFull);
}

// Tiles cover whatever they are painted into, however much larger than the control's buffer.
TEST_F(ImageControl, TiledPaintingFillsADestinationLargerThanTheBuffer) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  image->SetBitmapAlign(baTile);
  FillPattern(image->Bitmap(), 10, 10, 17);
  TBitmap32 dest;
  dest.SetSize(400, 300);
  dest.Clear();
  image->PaintTo(&dest, {0, 0, 10, 10});
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      ASSERT_EQ(dest.Pixel(x, y), image->Bitmap().Pixel(x % 10, y % 10)) << x << "," << y;
}

// An auto-sized control takes the bitmap's (scaled) size on the sides its alignment leaves
// free, whoever sets its bounds.
TEST_F(ImageControl, AutoSizeKeepsTheBitmapSizeOnTheSidesTheAlignmentLeavesFree) {
  auto* image = Add<TImage32>(5, 6, 200, 150);
  image->Bitmap().SetSize(70, 50);
  EXPECT_EQ(image->Width(), 200);  // not auto-sized yet
  image->SetAutoSize(true);
  EXPECT_EQ(image->BoundsRect(), (TRect{5, 6, 75, 56}));
  image->SetBounds(10, 12, 300, 300);
  EXPECT_EQ(image->BoundsRect(), (TRect{10, 12, 80, 62}));
  image->SetScaleMode(smScale);
  image->SetScale(2);
  image->SetWidth(1);
  EXPECT_EQ(image->Width(), 140);
  EXPECT_EQ(image->Height(), 100);

  image->SetAlign(plat::alTop);  // the form decides the width
  EXPECT_EQ(image->Width(), form.ClientWidth());
  EXPECT_EQ(image->Height(), 100);
  int w = 7, h = 9;
  EXPECT_TRUE(image->CanAutoSize(w, h));
  EXPECT_EQ(w, 7);
  EXPECT_EQ(h, 100);
  image->SetAlign(plat::alClient);
  EXPECT_EQ(image->Height(), form.ClientHeight());
}

TEST_F(ImageControl, TheWindowShowsWhatPaintToRenders) {
  auto* image = Add<TImage32>(10, 10, 120, 90);
  image->SetColor(plat::clNavy);
  image->SetBitmapAlign(baCenter);
  FillPattern(image->Bitmap(), 70, 50, 3);
  auto& layer = image->Layers().Add<TBitmapLayer>();
  FillPattern(layer.Bitmap(), 20, 20, 99);
  layer.SetLocation({5, 5, 25, 25});
  Settle();
  image->Repaint();
  TBitmap32 expected;
  expected.SetSize(120, 90);
  image->PaintTo(&expected, image->GetBitmapRect());
  EXPECT_EQ(FirstDifference(image->Buffer(), expected, 120, 90), "");
  plat::TCapturedImage shot = plat::CaptureControl(*image);
  ASSERT_EQ(shot.width, 120);
  ASSERT_EQ(shot.height, 90);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x)
      ASSERT_EQ(shot.Pixel(x, y), expected.Pixel(x, y) | 0xFF000000u) << x << "," << y;
}

// The buffer reaches past the window; a change seen only there leaves its rectangles waiting. A
// window paint (an expose) that comes before the next paint request must still show a change
// made meanwhile, and the paint request after it must leave nothing stale.
TEST_F(ImageControl, AnExposeNeverDropsAPendingChange) {
  auto* image = Add<TImage32>(0, 0, 100, 100);
  image->SetBounds(0, 0, 300, 200);
  image->SetRepaintMode(rmOptimizer);
  ASSERT_GT(image->Buffer().Width(), 320);
  image->SetColor(plat::clGray);
  auto& slack = image->Layers().Add<TBitmapLayer>();
  slack.Bitmap().SetSize(10, 10);
  slack.Bitmap().ClearWithColor(0xFFFF0000);
  slack.SetLocation({305, 20, 315, 30});
  auto& blue = image->Layers().Add<TBitmapLayer>();
  blue.Bitmap().SetSize(20, 20);
  blue.Bitmap().ClearWithColor(0xFF0000FF);
  blue.SetLocation({20, 20, 40, 40});
  Settle();
  const TColor32 grey = image->Buffer().Pixel(0, 0);
  ASSERT_EQ(image->Buffer().Pixel(25, 25), 0xFF0000FFu);
  slack.SetLocation({320, 20, 330, 30});
  Settle();
  blue.SetLocation({100, 100, 120, 120});
  image->RepaintRect(image->ClientRect());  // what the window system does for an expose
  EXPECT_EQ(image->Buffer().Pixel(25, 25), grey);
  EXPECT_EQ(image->Buffer().Pixel(105, 105), 0xFF0000FFu);
  Settle();
  TBitmap32 expected;
  expected.SetSize(300, 200);
  image->PaintTo(&expected, image->ClientRect());
  EXPECT_EQ(FirstDifference(image->Buffer(), expected, 300, 200), "");
}

// Counts the drawings of one picture through the engine's stretch transfer while it lives.
class PictureDrawings {
 public:
  explicit PictureDrawings(const TCustomBitmap32& Picture) : saved_(ResamplerLink()) {
    picture_ = &Picture;
    count_ = 0;
    forward_ = saved_.StretchTransfer;
    ResamplerLink().StretchTransfer = [](TCustomBitmap32& dst, const TRect& dstRect,
                                         const TRect& dstClip, TCustomBitmap32& src,
                                         const TRect& srcRect, TCustomResampler* resampler,
                                         TDrawMode mode, const TPixelCombineEvent& callback) {
      if (&src == picture_) ++count_;
      forward_(dst, dstRect, dstClip, src, srcRect, resampler, mode, callback);
    };
  }
  ~PictureDrawings() { ResamplerLink() = saved_; }
  PictureDrawings(const PictureDrawings&) = delete;
  PictureDrawings& operator=(const PictureDrawings&) = delete;
  int Count() const { return count_; }

 private:
  static inline const TCustomBitmap32* picture_ = nullptr;
  static inline int count_ = 0;
  static inline decltype(TResamplerLink::StretchTransfer) forward_ = nullptr;
  TResamplerLink saved_;
};

// A layer dragged over a reduced opaque picture: after the first step the partial rebuilds copy
// the picture as a full rebuild draws it instead of reducing it again; what the picture reports
// changed, and what a full rebuild shows after a change it did not report, reach them too.
TEST_F(ImageControl, DragStepsReuseThePictureAsDrawnUntilItChanges) {
  auto* image = Add<TImage32>(0, 0, 300, 200);
  image->SetRepaintMode(rmOptimizer);
  FillPattern(image->Bitmap(), 900, 600, 5);
  image->Bitmap().SetResamplerClassName("TDraftResampler");
  image->SetScaleMode(smResize);
  auto& layer = image->Layers().Add<TBitmapLayer>();
  FillPattern(layer.Bitmap(), 40, 30, 6);
  Settle();
  PictureDrawings drawings(image->Bitmap());
  float x = 20;
  auto step = [&] {
    x += 7;
    layer.SetLocation({x, 20, x + 40, 50});
    Settle();
    image->Update();
  };
  auto shownIsFull = [&](const char* when) {
    TBitmap32 expected;
    expected.SetSize(300, 200);
    image->PaintTo(&expected, image->GetBitmapRect());
    EXPECT_EQ(FirstDifference(image->Buffer(), expected, 300, 200), "") << when;
    Settle();  // PaintTo's mode switch rebuilds the whole buffer
    image->Update();
  };
  step();
  const int drawn = drawings.Count();
  EXPECT_LE(drawn, 1);
  for (int i = 0; i < 5; ++i) step();
  EXPECT_EQ(drawings.Count(), drawn);
  shownIsFull("after the drag");

  image->Bitmap().FillRectS(30, 30, 400, 300, 0xFFFF0000);  // reported
  step();
  step();
  shownIsFull("after a reported change");

  step();
  image->Bitmap().Bits()[0] = 0xFF00FF00;  // unreported, then a full rebuild shows it
  image->Invalidate();
  Settle();
  image->Update();
  layer.SetLocation({0, 0, 40, 30});
  Settle();
  image->Update();
  step();  // uncovers the changed corner
  shownIsFull("after an unreported change and a full rebuild");
}

// The strip a drag step uncovers is rebuilt alone; it must show the picture as a full rebuild
// draws it now, also after changes that reach nobody: a kernel setting that reports nothing, and
// pixels written unreported before the control was invalidated.
TEST_F(ImageControl, AStepUncoversThePictureAsAFullRebuildDrawsIt) {
  auto* image = Add<TImage32>(0, 0, 300, 200);
  image->SetRepaintMode(rmOptimizer);
  FillPattern(image->Bitmap(), 900, 600, 5);
  image->SetScaleMode(smResize);
  auto& resampler = TCustomResampler::Create<TKernelResampler>(image->Bitmap());
  resampler.SetKernelClassName("TAlbrechtKernel");
  static_cast<TWindowedSincKernel*>(resampler.Kernel())->SetWidth(6);
  auto& layer = image->Layers().Add<TBitmapLayer>();
  FillPattern(layer.Bitmap(), 40, 30, 6);
  Settle();
  int32_t x = 20;
  auto step = [&] {
    x += 7;
    layer.SetLocation({float(x), 20, float(x + 40), 50});
    Settle();
    image->Update();
  };
  auto uncoveredIsFull = [&](const char* when) {
    TBitmap32 expected;
    expected.SetSize(300, 200);
    image->PaintTo(&expected, image->GetBitmapRect());
    for (int32_t v = 20; v < 50; ++v)
      for (int32_t u = x - 7; u < x; ++u)
        ASSERT_EQ(image->Buffer().Pixel(u, v), expected.Pixel(u, v)) << when << " at " << u;
    Settle();  // PaintTo's mode switch rebuilds the whole buffer
    image->Update();
  };
  step();
  step();
  static_cast<TAlbrechtKernel*>(resampler.Kernel())->SetTerms(2);
  step();
  uncoveredIsFull("after the kernel's terms changed");

  step();
  TCustomBitmap32& picture = image->Bitmap();
  std::fill(picture.Bits(), picture.Bits() + 900 * 600, 0xFF00FF00u);
  image->Invalidate();
  step();
  uncoveredIsFull("after unreported pixels and an invalidation");
}

// Mouse routing: which presses capture, and that a capture never outlives its release.
class MouseRouting : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    image = Add<TImage32>(10, 10, 200, 150);
    image->Bitmap().SetSize(200, 150);
    layer = &image->Layers().Add<TBitmapLayer>();
    layer->Bitmap().SetSize(40, 40);
    layer->SetLocation({50, 50, 90, 90});
    layer->SetLayerOptions(LayerOptionVisible | LayerOptionMouseEvents);
    image->OnMouseDown = [&](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int,
                             TCustomLayer* l) { pressedLayers.push_back(l); };
  }
  TImage32* image = nullptr;
  TBitmapLayer* layer = nullptr;
  std::vector<TCustomLayer*> pressedLayers;
};

TEST_F(MouseRouting, RightPressesCaptureOnlyOverALayer) {
  plat::SimulateMouse(*image, TMouseAction::Press, plat::mbRight, {10, 10});
  EXPECT_FALSE(image->MouseCapture());
  plat::SimulateMouse(*image, TMouseAction::Release, plat::mbRight, {10, 10});

  plat::SimulateMouse(*image, TMouseAction::Press, plat::mbRight, {60, 60});
  EXPECT_TRUE(image->MouseCapture());
  EXPECT_EQ(image->Layers().MouseListener(), layer);
  plat::SimulateMouse(*image, TMouseAction::Release, plat::mbRight, {60, 60});
  EXPECT_FALSE(image->MouseCapture());  // released although the listener is gone already
  EXPECT_EQ(image->Layers().MouseListener(), nullptr);

  plat::SimulateMouse(*image, TMouseAction::Press, plat::mbLeft, {5, 5});
  EXPECT_TRUE(image->MouseCapture());  // left presses always capture
  plat::SimulateMouse(*image, TMouseAction::Release, plat::mbLeft, {5, 5});
  EXPECT_FALSE(image->MouseCapture());
  ASSERT_EQ(pressedLayers.size(), 3u);
  EXPECT_EQ(pressedLayers[0], nullptr);
  EXPECT_EQ(pressedLayers[1], layer);
  EXPECT_EQ(pressedLayers[2], nullptr);
}

TEST_F(MouseRouting, DoubleClicksLetGoOfTheListener) {
  int doubleClicks = 0;
  image->OnDblClick = [&](plat::TObject*) { ++doubleClicks; };
  plat::SimulateMouse(*image, TMouseAction::Press, plat::mbLeft, {60, 60});
  plat::SimulateMouse(*image, TMouseAction::Release, plat::mbLeft, {60, 60});
  plat::SimulateMouse(*image, TMouseAction::DoubleClick, plat::mbLeft, {60, 60});
  EXPECT_EQ(doubleClicks, 1);
  plat::SimulateMouse(*image, TMouseAction::Release, plat::mbLeft, {60, 60});
  EXPECT_EQ(image->Layers().MouseListener(), nullptr);
  EXPECT_FALSE(image->MouseCapture());
}

}  // namespace
}  // namespace gfx
