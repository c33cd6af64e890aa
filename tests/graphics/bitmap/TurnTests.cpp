// Flips and quarter turns: against index mapping, and composed into identities.
#include <gtest/gtest.h>

#include <functional>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using bitmap_test::Recorder;

using Turn = void (TCustomBitmap32::*)(TCustomBitmap32*);

struct TurnCase {
  const char* name;
  Turn turn;
  bool swapsSides;
  // Where source pixel (x, y) of a W x H bitmap lands.
  std::function<std::pair<int, int>(int x, int y, int w, int h)> target;
};

const TurnCase kTurns[] = {
    {"FlipHorz", &TCustomBitmap32::FlipHorz, false,
     [](int x, int y, int w, int) {
       return std::pair{w - 1 - x, y};
     }},
    {"FlipVert", &TCustomBitmap32::FlipVert, false,
     [](int x, int y, int, int h) {
       return std::pair{x, h - 1 - y};
     }},
    {"Rotate180", &TCustomBitmap32::Rotate180, false,
     [](int x, int y, int w, int h) {
       return std::pair{w - 1 - x, h - 1 - y};
     }},
    {"Rotate90", &TCustomBitmap32::Rotate90, true,
     [](int x, int y, int, int h) {
       return std::pair{h - 1 - y, x};
     }},
    {"Rotate270", &TCustomBitmap32::Rotate270, true,
     [](int x, int y, int w, int) {
       return std::pair{y, w - 1 - x};
     }},
};

TEST(BitmapTurns, EveryPixelLandsWhereTheTurnSends_InPlaceAndIntoAnother) {
  for (const TurnCase& c : kTurns) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {7, 2}, {4, 4}, {17, 1}}) {
      TCustomBitmap32 source, copy, target;
      source.SetSize(w, h);
      FillRandom(source, w * 31 + h);
      copy.Assign(source);
      (source.*c.turn)(&target);
      (copy.*c.turn)(nullptr);
      const int tw = c.swapsSides ? h : w, th = c.swapsSides ? w : h;
      ASSERT_EQ(target.Width(), tw) << c.name;
      ASSERT_EQ(target.Height(), th) << c.name;
      ASSERT_EQ(copy.Width(), tw) << c.name;
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const auto [tx, ty] = c.target(x, y, w, h);
          ASSERT_EQ(target.Pixel(tx, ty), source.Pixel(x, y)) << c.name << " " << w << "x" << h;
        }
      }
      EXPECT_EQ(Pixels(copy), Pixels(target)) << c.name;
    }
  }
}

TEST(BitmapTurns, ComposeIntoIdentities) {
  TCustomBitmap32 original, b, other;
  original.SetSize(6, 9);
  FillRandom(original, 77);
  b.Assign(original);
  for (int i = 0; i < 4; ++i) b.Rotate90();
  EXPECT_EQ(Pixels(b), Pixels(original));
  b.Rotate90();
  b.Rotate270();
  EXPECT_EQ(Pixels(b), Pixels(original));
  b.FlipHorz();
  b.FlipVert();
  original.Rotate180(&other);
  EXPECT_EQ(Pixels(b), Pixels(other));
  // The same through a second bitmap.
  other.Rotate90(&b);
  b.Rotate90(&other);
  other.FlipHorz(&b);
  b.FlipVert(&other);
  original.Rotate180(&b);
  original.Rotate180(&b);
  EXPECT_EQ(Pixels(other), Pixels(b));
}

// In place, a turn reports once: square or not, empty or not, measured or drawn.
TEST(BitmapTurns, InPlaceTurnsReportOnce) {
  for (auto [w, h] : {std::pair{3, 2}, {4, 4}, {0, 4}, {5, 0}}) {
    for (bool measuring : {false, true}) {
      TCustomBitmap32 b;
      b.SetSize(w, h);
      Recorder recorder(b);
      if (measuring) b.StartMeasuring(recorder.Handler());
      b.Rotate90();
      b.Rotate270();
      EXPECT_EQ(recorder.reports.size(), 2u) << w << "x" << h << " " << measuring;
      EXPECT_EQ(recorder.changes, measuring ? 0 : 2) << w << "x" << h;
      EXPECT_EQ(b.Width(), w);
      EXPECT_EQ(b.Height(), h);
    }
  }
}

TEST(BitmapTurns, IntoAnotherBitmapReportsThereOnce) {
  TCustomBitmap32 source, target;
  source.SetSize(3, 2);
  FillRandom(source, 4);
  target.SetSize(3, 2);
  Recorder recorder(target);
  source.Rotate90(&target);
  EXPECT_EQ(recorder.changes, 1);
  EXPECT_EQ(target.Width(), 2);
  EXPECT_EQ(target.Pixel(1, 0), source.Pixel(0, 0));  // top-right = source's top-left
  recorder.changes = 0;
  source.FlipHorz(&target);  // resized inside an update bracket
  EXPECT_EQ(recorder.changes, 1);
  target.SetSize(2, 3);
  recorder.changes = 0;
  source.FlipVert(&target);  // no bracket: the resize, then the picture
  EXPECT_EQ(recorder.changes, 2);
}

}  // namespace
