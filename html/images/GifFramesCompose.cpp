// Composing the decoded GIF frames, side by side in rows, into one bitmap and its transparency
// mask.
#include <algorithm>
#include <cstring>

#include "html/images/GifFrames.h"

namespace html {

namespace {

// The frames bitmap is built in memory in one piece; these cap that memory (in bytes of the
// frames side by side as a BMP file).
constexpr int64_t kMaxFramesBytes = 200'000'000;
constexpr int64_t kMaxFramesBytesWithMask = 100'000'000;

// Mask values of the working buffer: one byte per pixel until the monochrome bitmap is made.
constexpr uint8_t kOpaque = 0;
constexpr uint8_t kClear = 1;

}  // namespace

void CheckGifFramesSize(int width, int height, int frames, bool transparent) {
  const int perRow = GifFramesPerRow(width, frames);
  const int64_t gridWidth = int64_t(width) * std::min(perRow, frames);
  const int64_t gridHeight = int64_t(height) * ((frames + perRow - 1) / perRow);
  const int64_t rowBytes = (int64_t(width) * frames * 3 + 3) / 4 * 4;
  const int64_t fileBytes = height * rowBytes + 54;
  if (fileBytes > (transparent ? kMaxFramesBytesWithMask : kMaxFramesBytes) ||
      gridWidth > plat::kMaxPictureSide || gridHeight > plat::kMaxPictureSide ||
      gridWidth * gridHeight > plat::kMaxPicturePixels)
    GifError(geAnimationTooLarge);
}

int GifFramesPerRow(int width, int frames) {
  return int(
      std::clamp<int64_t>(plat::kMaxPictureSide / std::max(width, 1), 1, std::max(frames, 1)));
}

plat::TRect GifFrameCell(int index, int width, int height, int frames) {
  const int perRow = GifFramesPerRow(width, frames);
  const int left = index % perRow * width, top = index / perRow * height;
  return {left, top, left + width, top + height};
}

std::unique_ptr<plat::TBitmap> TGif::BuildFramesBitmap(std::unique_ptr<plat::TBitmap>& mask) const {
  auto bitmap = std::make_unique<plat::TBitmap>();
  BuildFramesBitmap(*bitmap, mask);
  return bitmap;
}

void TGif::BuildFramesBitmap(plat::TBitmap& bitmap, std::unique_ptr<plat::TBitmap>& mask) const {
  mask.reset();
  const int width = GetWidth(), height = GetHeight(), frames = GetImageCount();
  const bool transparent = GetTransparent();
  CheckGifFramesSize(width, height, frames, transparent);
  const int perRow = GifFramesPerRow(width, frames);
  const int64_t gridWidth = int64_t(width) * std::min(perRow, frames);
  const int64_t gridHeight = int64_t(height) * ((frames + perRow - 1) / perRow);

  bitmap.SetPixelFormat(plat::pf24bit);
  bitmap.SetSize(int(gridWidth), int(gridHeight));
  std::vector<uint8_t> clear;
  if (transparent) clear.assign(size_t(gridWidth) * size_t(gridHeight), kClear);
  auto maskAt = [&](int x, int y) -> uint8_t& {
    return clear[size_t(y) * size_t(gridWidth) + size_t(x)];
  };

  for (int i = 0; i < frames && gridWidth > 0; ++i) {
    const TGifImageRecord& image = images_[size_t(i)];
    const TGifColorTable& table = colorTables_[size_t(image.ColorTable)];
    const int transparentIndex = GetTransparentIndex(i);
    const plat::TRect cell = GifFrameCell(i, width, height, frames);
    const int left = cell.Left, top = cell.Top;
    // The part of the image inside the logical screen.
    const int rows = int(std::clamp<int64_t>(int64_t(height) - image.Top, 0, image.Height));
    const int columns = int(std::clamp<int64_t>(int64_t(width) - image.Left, 0, image.Width));

    for (int r = 0; r < rows; ++r) {
      const int y = top + image.Top + r;
      uint8_t* row = bitmap.ScanLine(y);
      const uint8_t* indices = image.Pixels.data() + size_t(r) * size_t(image.Width);
      for (int c = 0; c < columns; ++c) {
        const int x = left + image.Left + c;
        uint8_t* pixel = row + size_t(x) * 3;
        const int k = indices[c];
        if (k != transparentIndex) {
          // Indices beyond the table's colours show black.
          const uint32_t color = k < table.Count ? table.Colors[size_t(k)] : 0;
          pixel[0] = uint8_t(color >> 16);
          pixel[1] = uint8_t(color >> 8);
          pixel[2] = uint8_t(color);
          if (transparent) maskAt(x, y) = kOpaque;
        } else if (i == 0) {
          pixel[0] = pixel[1] = pixel[2] = 0;
          maskAt(x, y) = kClear;
        }
      }
    }

    if (i == frames - 1) break;
    // The next frame starts from this one.
    const plat::TRect next = GifFrameCell(i + 1, width, height, frames);
    const int nextLeft = next.Left, nextTop = next.Top;
    for (int y = 0; y < height; ++y) {
      std::memcpy(bitmap.ScanLine(nextTop + y) + size_t(nextLeft) * 3,
                  bitmap.ScanLine(top + y) + size_t(left) * 3, size_t(width) * 3);
      if (transparent)
        std::memcpy(&maskAt(nextLeft, nextTop + y), &maskAt(left, top + y), size_t(width));
    }
    const int disposal = GetImageDisposal(i);
    if (transparent && (disposal == 2 || disposal == 3) && columns > 0)
      for (int r = 0; r < rows; ++r)
        std::memset(&maskAt(nextLeft + image.Left, nextTop + image.Top + r), kClear,
                    size_t(columns));
  }

  if (transparent) {
    mask = std::make_unique<plat::TBitmap>();
    mask->SetPixelFormat(plat::pf1bit);
    mask->SetSize(int(gridWidth), int(gridHeight));
    for (int y = 0; y < gridHeight; ++y) {
      uint8_t* row = mask->ScanLine(y);
      for (int x = 0; x < gridWidth; ++x)
        if (maskAt(x, y) == kClear) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
  }
}

}  // namespace html
