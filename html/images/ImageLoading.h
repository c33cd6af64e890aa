// Pictures of pages other than GIF: their kind from the first bytes, BMP and JPEG pictures as
// bitmaps of the screen's depth, PNG pictures through the imaging layer, transparency masks and
// masked drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/drawing/DeviceContext.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace html {

// A picture file of a page larger than this is refused unread.
inline constexpr int64_t kMaxImageFileBytes = int64_t(256) << 20;

// Picture kinds told from the first bytes of the data.
inline constexpr uint8_t ikNone = 0;
inline constexpr uint8_t ikBmp = 1;
inline constexpr uint8_t ikGif87 = 2;  // any GIF whose fifth byte is not "9"
inline constexpr uint8_t ikGif89 = 3;
inline constexpr uint8_t ikPng = 4;
inline constexpr uint8_t ikJpeg = 5;

// The kind of the size bytes at data (fewer than five bytes: ikNone).
uint8_t ImageKind(const void* data, size_t size);
// ikNone when the file does not exist, cannot be read or holds fewer than 10 bytes.
uint8_t FileImageKind(const std::string& fileName);

// `transparent` is the caller's transparency kind: 0 none, 1 make a mask from the lower-left
// pixel's colour, 2 a mask is known, 3 as stored in the cache. The loaders read only 1 and set
// 0 for pictures that never take a mask (JPEG, PNG streams).
//
// The picture of a file: a TGpBitmap for PNG while the imaging layer is active, otherwise what
// LoadImageFromStream makes of the file's bytes; null when the file does not exist. Failures to
// read the file, and a PNG file that cannot be decoded (EGDIPlus), reach the caller.
std::unique_ptr<plat::TObject> LoadImageFromFile(const std::string& fileName, uint8_t& transparent,
                                                 std::unique_ptr<plat::TBitmap>& mask);
// The picture in a stream of at least 20 bytes: a TGpImage for PNG while the imaging layer is
// active (decoded straight from memory), else as LoadBitmapOrJpegFromStream. Never raises:
// anything that goes wrong gives null.
std::unique_ptr<plat::TObject> LoadImageFromStream(plat::TMemoryStream* stream,
                                                   uint8_t& transparent,
                                                   std::unique_ptr<plat::TBitmap>& mask);
// A BMP or JPEG picture in a stream of at least 20 bytes, converted for the screen, with a mask
// from the lower-left pixel when transparent is 1. Never raises: failures give null and no mask.
std::unique_ptr<plat::TBitmap> LoadBitmapOrJpegFromStream(plat::TMemoryStream* stream,
                                                          uint8_t& transparent,
                                                          std::unique_ptr<plat::TBitmap>& mask);

// The bitmap to keep for the screen's depth: on true-colour screens device-format and 1, 4 and
// 8-bit bitmaps become device bitmaps (32 bits), others stay as they are; on palette screens
// every bitmap is brought to the viewer palette.
std::unique_ptr<plat::TBitmap> ConvertImage(std::unique_ptr<plat::TBitmap> bitmap);

// A new monochrome mask of bitmap, white where its pixels have the transparent colour: color
// when colorValid, else the lower-left pixel's colour. The bitmap stays opaque.
std::unique_ptr<plat::TBitmap> GetImageMask(plat::TBitmap& bitmap, bool colorValid,
                                            plat::TColor color);

// Stretches bitmap into (x, y, w, h) of dc, leaving the pixels where mask is white as they were.
void DrawTransparentBitmap(plat::DeviceContext& dc, const plat::TBitmap& bitmap,
                           const plat::TBitmap& mask, int x, int y, int w, int h);

}  // namespace html
