// Composing the decoded GIF frames side by side into one bitmap and its transparency mask.
#include <algorithm>
#include <cstring>

#include "html/images/GifFrames.h"

namespace html {

namespace {

// The frames bitmap is built in memory in one piece; these cap that memory (in BMP file bytes).
constexpr int64_t kMaxFramesBytes = 200'000'000;
constexpr int64_t kMaxFramesBytesWithMask = 100'000'000;

void CheckFramesSize(int64_t width, int64_t height, int64_t frames, bool transparent) {
  const int64_t stripWidth = width * frames;
  const int64_t rowBytes = (stripWidth * 3 + 3) / 4 * 4;
  const int64_t fileBytes = height * rowBytes + 54;
  if (fileBytes > (transparent ? kMaxFramesBytesWithMask : kMaxFramesBytes) ||
      stripWidth > plat::kMaxPictureSide || height > plat::kMaxPictureSide ||
      stripWidth * height > plat::kMaxPicturePixels)
    GifError(geAnimationTooLarge);
}

// Mask values of the working buffer: one byte per pixel until the monochrome bitmap is made.
constexpr uint8_t kOpaque = 0;
constexpr uint8_t kClear = 1;

}  // namespace

std::unique_ptr<plat::TBitmap> TGif::BuildFramesBitmap(std::unique_ptr<plat::TBitmap>& mask) const {
  mask.reset();
  const int width = GetWidth(), height = GetHeight(), frames = GetImageCount();
  const bool transparent = GetTransparent();
  CheckFramesSize(width, height, frames, transparent);

  const int stripWidth = width * frames;
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf24bit);
  bitmap->SetSize(stripWidth, height);
  std::vector<uint8_t> clear;
  if (transparent) clear.assign(size_t(stripWidth) * size_t(height), kClear);
  auto maskAt = [&](int x, int y) -> uint8_t& {
    return clear[size_t(y) * size_t(stripWidth) + size_t(x)];
  };

  for (int i = 0; i < frames && stripWidth > 0; ++i) {
    const TGifImageRecord& image = images_[size_t(i)];
    const TGifColorTable& table = colorTables_[size_t(image.ColorTable)];
    const int transparentIndex = GetTransparentIndex(i);
    const int section = i * width;
    // The part of the image inside the logical screen.
    const int rows = int(std::clamp<int64_t>(int64_t(height) - image.Top, 0, image.Height));
    const int columns = int(std::clamp<int64_t>(int64_t(width) - image.Left, 0, image.Width));

    for (int r = 0; r < rows; ++r) {
      const int y = image.Top + r;
      uint8_t* row = bitmap->ScanLine(y);
      const uint8_t* indices = image.Pixels.data() + size_t(r) * size_t(image.Width);
      for (int c = 0; c < columns; ++c) {
        const int x = section + image.Left + c;
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
    for (int y = 0; y < height; ++y) {
      uint8_t* row = bitmap->ScanLine(y);
      std::memcpy(row + size_t(section + width) * 3, row + size_t(section) * 3, size_t(width) * 3);
      if (transparent) std::memcpy(&maskAt(section + width, y), &maskAt(section, y), size_t(width));
    }
    const int disposal = GetImageDisposal(i);
    if (transparent && (disposal == 2 || disposal == 3) && columns > 0)
      for (int r = 0; r < rows; ++r)
        std::memset(&maskAt(section + width + image.Left, image.Top + r), kClear, size_t(columns));
  }

  if (transparent) {
    mask = std::make_unique<plat::TBitmap>();
    mask->SetPixelFormat(plat::pf1bit);
    mask->SetSize(stripWidth, height);
    for (int y = 0; y < height; ++y) {
      uint8_t* row = mask->ScanLine(y);
      for (int x = 0; x < stripWidth; ++x)
        if (maskAt(x, y) == kClear) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
  }
  return bitmap;
}

}  // namespace html
