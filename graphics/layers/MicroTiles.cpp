#include "graphics/layers/MicroTiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "graphics/core/System.h"
#include "graphics/layers/MicroTilesTiers.h"

namespace gfx {

// Usable before start-up; StartMicroTiles picks the best tier.
TTileUnionProc TileUnion = tiles::TileUnion_Portable;
TTileSetMergeProc TileSetMerge = tiles::TileSetMerge_Portable;

void StartMicroTiles() {
  TFunctionRegistry& registry = NewRegistry("MicroTiles bindings");
  registry.RegisterBinding(FID_TileUnion, &TileUnion);
  registry.RegisterBinding(FID_TileSetMerge, &TileSetMerge);
  registry.Add(FID_TileUnion, tiles::TileUnion_Portable, 0, tierPortable);
  registry.Add(FID_TileSetMerge, tiles::TileSetMerge_Portable, 0, tierPortable);
#if defined(__x86_64__) || defined(__i386__)
  const TInstructionSets simd = SetOf(isExtendedMMX) | SetOf(isSSE2);
  registry.Add(FID_TileUnion, tiles::TileUnion_SSE2, simd, tierSSE2);
  registry.Add(FID_TileSetMerge, tiles::TileSetMerge_SSE2, simd, tierSSE2);
#endif
  registry.RebindAll();
}

namespace {

TRect NoTilesUsed(const TTileSet& Tiles) {
  return {Tiles.TileColumns, Tiles.TileRows, 0, 0};
}

// The used bounds limited to the grid; inverted when nothing is used.
TRect UsedInGrid(const TTileSet& Tiles) {
  const TRect& u = Tiles.UsedTileBounds;
  return {std::max(u.Left, 0), std::max(u.Top, 0), std::min(u.Right, Tiles.TileColumns - 1),
          std::min(u.Bottom, Tiles.TileRows - 1)};
}

bool HasUsedTiles(const TTileSet& Tiles) {
  const TRect u = UsedInGrid(Tiles);
  return Tiles.Count > 0 && u.Left <= u.Right && u.Top <= u.Bottom;
}

void GrowUsedBounds(TTileSet& Tiles, const TRect& TileRange) {
  TRect& u = Tiles.UsedTileBounds;
  u = {std::min(u.Left, TileRange.Left), std::min(u.Top, TileRange.Top),
       std::max(u.Right, TileRange.Right), std::max(u.Bottom, TileRange.Bottom)};
}

void FillTiles(TTileSet& Tiles, const TRect& Range, TTileWord Value) {
  for (int32_t y = Range.Top; y <= Range.Bottom; ++y)
    std::fill_n(&Tiles.Tile(Range.Left, y), Range.Right - Range.Left + 1, Value);
}

int32_t Saturate(int64_t V) {
  return int32_t(std::clamp<int64_t>(V, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

bool TileHasArea(TTileWord W) {
  return TileRight(W) > TileLeft(W) && TileBottom(W) > TileTop(W);
}

}  // namespace

void TileSetInit(TTileSet& Tiles) {
  Tiles = TTileSet{};
}

void TileSetFree(TTileSet& Tiles) {
  Tiles.TileWords = {};
  Tiles.Count = 0;
}

void TileSetResize(TTileSet& Tiles, const TRect& DstRect) {
  Tiles.BoundsRect = DstRect;
  Tiles.TileColumns = (std::max(DstRect.Right - DstRect.Left, 0) >> TileShift) + 1;
  Tiles.TileRows = (std::max(DstRect.Bottom - DstRect.Top, 0) >> TileShift) + 1;
  Tiles.Count = (Tiles.TileColumns + 1) * (Tiles.TileRows + 1);
  Tiles.TileWords.assign(size_t(Tiles.Count), TileEmpty);
  TileSetFill(Tiles, TileEmpty);
}

void TileSetFill(TTileSet& Tiles, TTileWord Value) {
  Tiles.UsedTileBounds = NoTilesUsed(Tiles);
  std::fill(Tiles.TileWords.begin(), Tiles.TileWords.end(), Value);
}

void TileSetFillUsed(TTileSet& Tiles, TTileWord Value) {
  if (HasUsedTiles(Tiles)) FillTiles(Tiles, UsedInGrid(Tiles), Value);
  Tiles.UsedTileBounds = NoTilesUsed(Tiles);
}

void TileSetMarkAll(TTileSet& Tiles) {
  if (Tiles.Count == 0) return;
  Tiles.UsedTileBounds = {0, 0, Tiles.TileColumns - 1, Tiles.TileRows - 1};
  FillTiles(Tiles, Tiles.UsedTileBounds, TileFull);
}

void TileSetCopy(TTileSet& Dst, const TTileSet& Src) {
  if (Dst.Count > 0) TileSetFillUsed(Dst, TileEmpty);
  Dst.BoundsRect = Src.BoundsRect;
  Dst.TileColumns = Src.TileColumns;
  Dst.TileRows = Src.TileRows;
  Dst.UsedTileBounds = Src.UsedTileBounds;
  Dst.Count = Src.Count;
  Dst.TileWords.resize(size_t(Src.Count), TileEmpty);
  if (!HasUsedTiles(Src)) return;
  const TRect u = UsedInGrid(Src);
  for (int32_t y = u.Top; y <= u.Bottom; ++y)
    std::copy_n(&Src.Tile(u.Left, y), u.Right - u.Left + 1, &Dst.Tile(u.Left, y));
}

void TileSetAddRect(TTileSet& Tiles, TRect Rect, bool RoundToWholeTiles) {
  if (Tiles.Count == 0) return;
  if (Rect.Left > Rect.Right) std::swap(Rect.Left, Rect.Right);
  if (Rect.Top > Rect.Bottom) std::swap(Rect.Top, Rect.Bottom);
  // Parts beyond the bounds would only widen the boxes of the tiles on the edge.
  Rect.Left = std::max(Rect.Left, 0);
  Rect.Top = std::max(Rect.Top, 0);
  Rect.Right = std::min({Rect.Right, Tiles.BoundsRect.Right, Tiles.TileColumns * TileSize});
  Rect.Bottom = std::min({Rect.Bottom, Tiles.BoundsRect.Bottom, Tiles.TileRows * TileSize});
  if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;

  // The last tile is the one holding the last pixel, so a rectangle ending on a tile border
  // marks nothing beyond it.
  const TRect range{Rect.Left >> TileShift, Rect.Top >> TileShift, (Rect.Right - 1) >> TileShift,
                    (Rect.Bottom - 1) >> TileShift};
  if (RoundToWholeTiles) {
    FillTiles(Tiles, range, TileFull);
  } else {
    for (int32_t y = range.Top; y <= range.Bottom; ++y) {
      const uint32_t t = y == range.Top ? uint32_t(Rect.Top & (TileSize - 1)) : 0;
      const uint32_t b = y == range.Bottom ? uint32_t(Rect.Bottom - y * TileSize) : TileSize;
      TTileWord* row = &Tiles.Tile(0, y);
      TileUnion(row[range.Left],
                PackTile(uint32_t(Rect.Left & (TileSize - 1)), t,
                         range.Left == range.Right ? uint32_t(Rect.Right - range.Left * TileSize)
                                                   : TileSize,
                         b));
      if (range.Left == range.Right) continue;
      // Tiles between the first and the last column span the whole tile width.
      const TTileWord inner = PackTile(0, t, TileSize, b);
      if (inner == TileFull) {
        std::fill(row + range.Left + 1, row + range.Right, TileFull);
      } else {
        for (int32_t x = range.Left + 1; x < range.Right; ++x) TileUnion(row[x], inner);
      }
      TileUnion(row[range.Right], PackTile(0, t, uint32_t(Rect.Right - range.Right * TileSize), b));
    }
  }
  GrowUsedBounds(Tiles, range);
}

void TileSetAddLine(TTileSet& Tiles, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                    int32_t LineWidth, bool RoundToWholeTiles) {
  const int32_t margin = Saturate(int64_t{LineWidth} * 2);
  auto addSegment = [&](double ax, double ay, double bx, double by) {
    TRect r{Saturate(int64_t(std::floor(std::min(ax, bx)))),
            Saturate(int64_t(std::floor(std::min(ay, by)))),
            Saturate(int64_t(std::ceil(std::max(ax, bx))) + 1),
            Saturate(int64_t(std::ceil(std::max(ay, by))) + 1)};
    InflateArea(r, margin, margin);
    TileSetAddRect(Tiles, r, RoundToWholeTiles);
  };
  // End points are pixels of the line, so both are covered. A line far longer than any buffer
  // is not walked: its bounding box is enough.
  const int64_t longest = std::max(std::abs(int64_t{X2} - X1), std::abs(int64_t{Y2} - Y1));
  if (X1 == X2 || Y1 == Y2 || longest > int64_t{1} << 16) {
    addSegment(X1, Y1, X2, Y2);
    return;
  }
  // Segments of at most one tile along the major axis keep the covered area close to the line.
  const double dx = double(X2) - X1, dy = double(Y2) - Y1;
  const int64_t steps =
      std::max<int64_t>(1, int64_t(std::ceil(std::max(std::abs(dx), std::abs(dy)) / TileSize)));
  for (int64_t i = 0; i < steps; ++i) {
    const double f0 = double(i) / double(steps), f1 = double(i + 1) / double(steps);
    addSegment(X1 + dx * f0, Y1 + dy * f0, X1 + dx * f1, Y1 + dy * f1);
  }
}

void TileSetUnion(TTileSet& Dst, const TTileSet& Src, bool RoundToWholeTiles) {
  if (!HasUsedTiles(Src) || Dst.Count == 0) return;
  const TRect u = UsedInGrid(Src);
  if (Src.TileColumns != Dst.TileColumns || Src.TileRows != Dst.TileRows) {
    // A set measured on another grid: repaint the whole tiles it reaches.
    TRect area{u.Left * TileSize, u.Top * TileSize, (u.Right + 1) * TileSize,
               (u.Bottom + 1) * TileSize};
    TileSetAddRect(Dst, area, true);
    return;
  }
  if (RoundToWholeTiles) {
    for (int32_t y = u.Top; y <= u.Bottom; ++y)
      for (int32_t x = u.Left; x <= u.Right; ++x)
        if (TileHasArea(Src.Tile(x, y))) Dst.Tile(x, y) = TileFull;
  } else if (u == Src.UsedTileBounds) {
    TileSetMerge(Dst, Src);
  } else {
    TTileSet inGrid;
    TileSetCopy(inGrid, Src);
    inGrid.UsedTileBounds = u;
    TileSetMerge(Dst, inGrid);
  }
  GrowUsedBounds(Dst, u);
}

int32_t TileSetToRects(const TTileSet& Tiles, TRectList* DstRects, bool CountOnly) {
  if (!HasUsedTiles(Tiles)) return 0;
  const TRect u = UsedInGrid(Tiles);
  const TRect& clip = Tiles.BoundsRect;
  auto clampX = [&clip](int32_t X) {
    return std::clamp(X, clip.Left, std::max(clip.Left, clip.Right));
  };
  auto clampY = [&clip](int32_t Y) {
    return std::clamp(Y, clip.Top, std::max(clip.Top, clip.Bottom));
  };

  std::vector<TRect> rects;
  // For each column: the rectangle that a run starting there in this row may extend.
  std::vector<int32_t> above(size_t(Tiles.TileColumns), -1), below(size_t(Tiles.TileColumns), -1);
  for (int32_t y = u.Top; y <= u.Bottom; ++y) {
    std::fill(below.begin(), below.end(), -1);
    const TTileWord* row = &Tiles.Tile(0, y);
    int32_t x = u.Left;
    while (x <= u.Right) {
      const TTileWord t = row[x];
      if (t == TileEmpty || !TileHasArea(t)) {
        ++x;
        continue;
      }
      const int32_t start = x;
      // A run goes on only over whole-width joins: a tile that stops short of its right edge
      // ends it, so runs never bridge an undirty gap.
      int32_t last = x;
      while (TileRight(row[last]) == TileSize && last < u.Right) {
        const TTileWord n = row[last + 1];
        if (TileLeft(n) != 0 || TileTop(n) != TileTop(t) || TileBottom(n) != TileBottom(t) ||
            !TileHasArea(n))
          break;
        ++last;
      }
      x = last + 1;
      const TRect r{clampX(start * TileSize + TileLeft(t)), clampY(y * TileSize + TileTop(t)),
                    clampX(last * TileSize + TileRight(row[last])),
                    clampY(y * TileSize + TileBottom(t))};
      if (IsRectEmpty(r)) continue;
      const int32_t up = above[size_t(start)];
      if (up >= 0 && rects[size_t(up)].Left == r.Left && rects[size_t(up)].Right == r.Right &&
          rects[size_t(up)].Bottom == r.Top) {
        rects[size_t(up)].Bottom = r.Bottom;
        below[size_t(start)] = up;
      } else {
        rects.push_back(r);
        below[size_t(start)] = int32_t(rects.size()) - 1;
      }
    }
    std::swap(above, below);
  }
  if (!CountOnly && DstRects)
    for (const TRect& r : rects) DstRects->Add(r);
  return int32_t(rects.size());
}

void InflateArea(TRect& Area, int32_t Dx, int32_t Dy) {
  const int64_t sx = Area.Left <= Area.Right ? Dx : -int64_t{Dx};
  const int64_t sy = Area.Top <= Area.Bottom ? Dy : -int64_t{Dy};
  Area = {Saturate(Area.Left - sx), Saturate(Area.Top - sy), Saturate(Area.Right + sx),
          Saturate(Area.Bottom + sy)};
}

}  // namespace gfx
