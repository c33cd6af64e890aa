// Background pictures of blocks: fetched once per document, placed by background-position,
// repeated as background-repeat says, and painted over the visible part of the padding box.
#include <algorithm>

#include "html/images/ImageLoading.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/BlockPictures.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

namespace {

// Where the picture starts along one axis of a box, in pixels from the box's start.
int64_t PictureOffset(const TBackgroundPosRec& rec, int64_t box, int64_t picture) {
  switch (rec.PosKind) {
    case bpCenter:
      return (box - picture) / 2;
    case bpBottom:
    case bpRight:
      return box - picture;
    case bpPercent:
      return (box - picture) * rec.PosValue / 100;
    case bpPixels:
      return rec.PosValue;
    default:
      return 0;
  }
}

// The picture's column (or row) under box coordinate p; -1 where the picture does not reach.
int64_t PictureIndex(int64_t p, int64_t offset, int64_t size, bool repeats) {
  int64_t i = p - offset;
  if (repeats) return ((i % size) + size) % size;
  return i >= 0 && i < size ? i : -1;
}

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kWhitePixel = 0xFFFFFFFF;

}  // namespace

void TBlock::FetchBackImage() {
  if (!rare_ || rare_->BackFetched || rare_->BackImageUrl.empty() || !Document ||
      !Document->ImagesOn)
    return;
  rare_->BackFetched = true;
  TBlockPicture picture = FetchBlockPicture(*Document, rare_->BackImageUrl);
  if (!picture.Image) return;
  rare_->Backdrop = std::make_unique<TBackdrop>();
  rare_->Backdrop->Image = std::move(picture.Image);
  rare_->Backdrop->Mask = std::move(picture.Mask);
}

void TBlock::PrepareBackground(const plat::TRect& padding, const plat::TRect& area) {
  TBackdrop& back = *rare_->Backdrop;
  if (back.Tile && padding == back.TilePadding && area == back.TileArea) return;
  back.TilePadding = padding;
  back.TileArea = area;
  const plat::TBitmap& image = *back.Image;
  const plat::TBitmap* mask = back.Mask.get();
  const int width = area.Right - area.Left, height = area.Bottom - area.Top;
  const int64_t boxWidth = int64_t(padding.Right) - padding.Left;
  const int64_t boxHeight = int64_t(padding.Bottom) - padding.Top;
  const int pictureWidth = image.Width(), pictureHeight = image.Height();
  const TBackgroundPos& place = BackPosition();
  const int64_t offsetX = PictureOffset(place[0], boxWidth, pictureWidth);
  const int64_t offsetY = PictureOffset(place[1], boxHeight, pictureHeight);
  const bool repeatX = place[0].Repeats, repeatY = place[1].Repeats;

  back.Tile = std::make_unique<plat::TBitmap>();
  back.Tile->SetPixelFormat(plat::pf32bit);
  back.Tile->SetSize(width, height);
  back.TileMask = std::make_unique<plat::TBitmap>();
  back.TileMask->SetPixelFormat(plat::pf32bit);
  back.TileMask->SetSize(width, height);
  bool covered = true;
  for (int y = 0; y < height; ++y) {
    auto* tileRow = reinterpret_cast<uint32_t*>(back.Tile->ScanLine(y));
    auto* maskRow = reinterpret_cast<uint32_t*>(back.TileMask->ScanLine(y));
    const int64_t row =
        PictureIndex(int64_t(area.Top) + y - padding.Top, offsetY, pictureHeight, repeatY);
    const uint32_t* source =
        row < 0 ? nullptr : reinterpret_cast<const uint32_t*>(image.ScanLine(int(row)));
    const uint32_t* sourceMask = row < 0 || !mask || row >= mask->Height()
                                     ? nullptr
                                     : reinterpret_cast<const uint32_t*>(mask->ScanLine(int(row)));
    for (int x = 0; x < width; ++x) {
      const int64_t column =
          PictureIndex(int64_t(area.Left) + x - padding.Left, offsetX, pictureWidth, repeatX);
      const bool clear =
          !source || column < 0 ||
          (sourceMask && column < mask->Width() && (sourceMask[column] & 0xFFFFFF) == 0xFFFFFF);
      tileRow[x] = clear ? kOpaqueBlack : source[column];
      maskRow[x] = clear ? kWhitePixel : kOpaqueBlack;
      covered = covered && !clear;
    }
  }
  back.TileOpaque = covered;
}

void TBlock::DrawBackImage(plat::TCanvas& canvas, const plat::TRect& padding,
                           const plat::TRect& clipRect) {
  FetchBackImage();
  if (!HasBackImage()) return;
  const plat::TRect area{std::max(padding.Left, clipRect.Left), std::max(padding.Top, clipRect.Top),
                         std::min(padding.Right, clipRect.Right),
                         std::min(padding.Bottom, clipRect.Bottom)};
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  // The visible part is at most a window's size; beyond the picture limits nothing is drawn.
  if (area.Right - area.Left > plat::kMaxPictureSide ||
      area.Bottom - area.Top > plat::kMaxPictureSide ||
      int64_t(area.Right - area.Left) * (area.Bottom - area.Top) > plat::kMaxPicturePixels)
    return;
  PrepareBackground(padding, area);
  const TBackdrop& back = *Backdrop();
  if (back.TileOpaque) {
    back.Tile->Draw(canvas, area);
  } else if (plat::DeviceContext* dc = canvas.Handle()) {
    DrawTransparentBitmap(*dc, *back.Tile, *back.TileMask, area.Left, area.Top,
                          area.Right - area.Left, area.Bottom - area.Top);
  }
}

}  // namespace html
