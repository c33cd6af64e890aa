// Tile sets against a brute-force pixel model, in every tier.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PixelMask.h"
#include "Tiers.h"
#include "graphics/layers/MicroTiles.h"

namespace {

using namespace gfx;
using gfx::testing::DisjointUnion;
using gfx::testing::PixelMask;

constexpr TRect Bounds{0, 0, 150, 110};

TTileSet EmptySet(const TRect& R = Bounds) {
  TTileSet tiles;
  TileSetResize(tiles, R);
  return tiles;
}

PixelMask Rects(TTileSet& Tiles, int32_t* Count = nullptr) {
  TRectList list;
  const int32_t n = TileSetToRects(Tiles, &list, false);
  EXPECT_EQ(n, list.Count());
  EXPECT_EQ(n, TileSetToRects(Tiles, nullptr, true));
  if (Count) *Count = n;
  return DisjointUnion(list, Tiles.BoundsRect);
}

// Edges near tile borders, beyond the bounds and inverted.
TRect RandomRect(std::mt19937& Rng) {
  std::uniform_int_distribution<int32_t> pick(0, 3), any(-40, 200), border(-1, 6), nudge(-1, 1);
  auto coord = [&] { return pick(Rng) == 0 ? border(Rng) * 32 + nudge(Rng) : any(Rng); };
  return {coord(), coord(), coord(), coord()};
}

class TileSetTest : public ::testing::TestWithParam<gfx::testing::TileTier> {
 protected:
  gfx::testing::ScopedTileTier tier{GetParam()};
};

TEST_P(TileSetTest, RandomRectanglesBecomeExactlyTheTileBoxes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const bool coarse = round % 3 == 0;
    TTileSet tiles = EmptySet();
    PixelMask added(Bounds.Right, Bounds.Bottom);
    const int n = 1 + round % 6;
    for (int i = 0; i < n; ++i) {
      const TRect r = RandomRect(rng);
      TileSetAddRect(tiles, r, coarse);
      added.Add(r);
    }
    const PixelMask expected = coarse ? added.WholeTiles() : added.TileBoxes();
    EXPECT_TRUE(Rects(tiles) == expected) << "round " << round;
  }
}

TEST_P(TileSetTest, UnionOfTwoSetsIsTheBoxesOfBothAreas) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    const bool coarse = round % 4 == 0;
    TTileSet a = EmptySet(), b = EmptySet();
    PixelMask inA(Bounds.Right, Bounds.Bottom), inB(Bounds.Right, Bounds.Bottom);
    for (int i = 0; i < 3; ++i) {
      const TRect ra = RandomRect(rng), rb = RandomRect(rng);
      TileSetAddRect(a, ra, false);
      TileSetAddRect(b, rb, false);
      inA.Add(ra);
      inB.Add(rb);
    }
    TileSetUnion(a, b, coarse);
    // Only the added set is rounded; each tile then holds the box of both parts.
    inA.Add(coarse ? inB.WholeTiles() : inB);
    EXPECT_TRUE(Rects(a) == inA.TileBoxes()) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Tiers, TileSetTest, ::testing::ValuesIn(gfx::testing::TileTiers()),
                         [](const auto& Info) { return Info.param.Name; });

TEST(TileSetShapes, SmallRectangleIsOnePackedTile) {
  TTileSet tiles = EmptySet();
  TileSetAddRect(tiles, {10, 10, 20, 20}, false);
  EXPECT_EQ(tiles.Tile(0, 0), 0x0A0A1414u);
  EXPECT_EQ(PackTile(10, 10, 20, 20), 0x0A0A1414u);
  TRectList list;
  ASSERT_EQ(TileSetToRects(tiles, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{10, 10, 20, 20}));

  TTileSet coarse = EmptySet();
  TileSetAddRect(coarse, {10, 10, 20, 20}, true);
  EXPECT_EQ(coarse.Tile(0, 0), TileFull);
  EXPECT_EQ(coarse.Tile(1, 0), TileEmpty);
}

TEST(TileSetShapes, RectanglesOnTileBordersMergeIntoOne) {
  TTileSet wide = EmptySet();
  TileSetAddRect(wide, {0, 0, 64, 32}, false);
  EXPECT_EQ(wide.Tile(0, 0), TileFull);
  EXPECT_EQ(wide.Tile(1, 0), TileFull);
  EXPECT_EQ(wide.Tile(0, 1), TileEmpty);
  TRectList list;
  ASSERT_EQ(TileSetToRects(wide, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{0, 0, 64, 32}));

  TTileSet tall = EmptySet();
  TileSetAddRect(tall, {0, 0, 32, 64}, true);
  list.Clear();
  ASSERT_EQ(TileSetToRects(tall, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{0, 0, 32, 64}));
}

TEST(TileSetShapes, RunsDoNotBridgeAGap) {
  TTileSet tiles = EmptySet();
  TileSetAddRect(tiles, {0, 0, 43, 20}, false);
  TileSetAddRect(tiles, {64, 0, 100, 20}, false);
  TRectList list;
  ASSERT_EQ(TileSetToRects(tiles, &list, false), 2);
  EXPECT_EQ(*list.Items(0), (TRect{0, 0, 43, 20}));
  EXPECT_EQ(*list.Items(1), (TRect{64, 0, 100, 20}));
}

TEST(TileSetShapes, NothingOutsideTheBoundsIsAdded) {
  TTileSet tiles = EmptySet();
  TileSetAddRect(tiles, {-50, -50, -10, -10}, false);
  TileSetAddRect(tiles, {500, 0, 600, 50}, true);
  TileSetAddRect(tiles, {20, 20, 20, 40}, false);
  EXPECT_EQ(TileSetToRects(tiles, nullptr, true), 0);
  // A tile beyond the right edge of the picture gives no empty rectangle either.
  TTileSet exact = EmptySet({0, 0, 64, 64});
  TileSetAddRect(exact, {50, 10, 90, 20}, false);
  TRectList list;
  ASSERT_EQ(TileSetToRects(exact, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{50, 10, 64, 20}));
}

TEST(TileSetShapes, AFullMarkStaysInsideTheGrid) {
  for (const TRect bounds : {TRect{0, 0, 64, 64}, TRect{0, 0, 150, 110}, TRect{0, 0, 1, 1}}) {
    TTileSet tiles = EmptySet(bounds);
    TileSetMarkAll(tiles);
    TRectList list;
    ASSERT_EQ(TileSetToRects(tiles, &list, false), 1);
    EXPECT_EQ(*list.Items(0), bounds);
    TileSetFillUsed(tiles, TileEmpty);
    EXPECT_EQ(TileSetToRects(tiles, nullptr, true), 0);
    for (TTileWord w : tiles.TileWords) EXPECT_EQ(w, TileEmpty);
  }
}

TEST(TileSetShapes, CopyCarriesTheAreaAndClearsTheOld) {
  TTileSet source = EmptySet(), target = EmptySet({0, 0, 40, 40});
  TileSetAddRect(target, {0, 0, 40, 40}, false);
  TileSetAddRect(source, {70, 33, 120, 90}, false);
  TileSetCopy(target, source);
  TRectList list;
  ASSERT_EQ(TileSetToRects(target, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{70, 33, 120, 90}));
  EXPECT_EQ(target.Tile(0, 0), TileEmpty);
}

TEST(TileSetShapes, SetsOfAnotherGridAreUnitedAsWholeTiles) {
  TTileSet small = EmptySet({0, 0, 40, 40}), large = EmptySet();
  TileSetAddRect(small, {5, 5, 10, 10}, false);
  TileSetUnion(large, small, false);
  TRectList list;
  ASSERT_EQ(TileSetToRects(large, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{0, 0, 32, 32}));
}

TEST(TileSetShapes, LinesAreCoveredWithTheirMargin) {
  const int32_t w = 2;
  const struct {
    int32_t x1, y1, x2, y2;
  } lines[] = {{10, 10, 140, 100}, {140, 5, 3, 90}, {20, 50, 120, 50}, {75, 100, 75, 3}};
  for (const auto& l : lines) {
    TTileSet tiles = EmptySet();
    TileSetAddLine(tiles, l.x1, l.y1, l.x2, l.y2, w, false);
    const PixelMask covered = Rects(tiles);
    const int steps = std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1));
    for (int i = 0; i <= steps; ++i) {
      // The line's pixel nearest to the exact position.
      const int32_t x = int32_t(std::lround(l.x1 + double(l.x2 - l.x1) * i / steps));
      const int32_t y = int32_t(std::lround(l.y1 + double(l.y2 - l.y1) * i / steps));
      for (int32_t dy = -2 * w; dy <= 2 * w; ++dy)
        for (int32_t dx = -2 * w; dx <= 2 * w; ++dx) {
          const int32_t px = x + dx, py = y + dy;
          if (px < 0 || py < 0 || px >= Bounds.Right || py >= Bounds.Bottom) continue;
          ASSERT_TRUE(covered.At(px, py)) << px << "," << py;
        }
    }
  }
}

TEST(TileSetShapes, FarAwayLinesEndQuickly) {
  TTileSet tiles = EmptySet();
  TileSetAddLine(tiles, INT32_MIN / 2, -5, INT32_MAX / 2, 60, 1, false);
  TRectList list;
  ASSERT_EQ(TileSetToRects(tiles, &list, false), 1);
  EXPECT_EQ(*list.Items(0), (TRect{0, 0, Bounds.Right, 63}));  // rows -7 .. 62
}

TEST(InflateArea, GrowsBothOrderedAndInvertedRectangles) {
  TRect r{10, 20, 30, 40};
  InflateArea(r, 2, 3);
  EXPECT_EQ(r, (TRect{8, 17, 32, 43}));
  TRect inverted{30, 40, 10, 20};
  InflateArea(inverted, 2, 3);
  EXPECT_EQ(inverted, (TRect{32, 43, 8, 17}));
  TRect far{INT32_MIN + 1, 0, INT32_MAX - 1, 1};
  InflateArea(far, 5, 0);
  EXPECT_EQ(far, (TRect{INT32_MIN, 0, INT32_MAX, 1}));
}

}  // namespace
