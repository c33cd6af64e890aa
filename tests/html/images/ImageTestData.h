// Pictures the image tests make themselves: PNG through libpng, BMP through the platform bitmap's
// writer, JPEG through the platform JPEG class; and files holding them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "support/PngBytes.h"

namespace imagetest {

using test_support::PngBytes;
// A BMP of the bitmap in its own pixel format.
std::string BmpBytes(const plat::TBitmap& bitmap);
// A w x h bitmap of the format filled with colour (0x00BBGGRR).
std::unique_ptr<plat::TBitmap> SolidBitmap(plat::TPixelFormat format, int w, int h,
                                           plat::TColor color);
// A baseline JPEG of a w x h picture of one colour, quality 100.
std::string JpegBytes(int w, int h, plat::TColor color);
std::unique_ptr<plat::TMemoryStream> StreamOf(const std::string& bytes);

// A file in a fresh folder of its own, removed with the object.
class TempFile {
 public:
  TempFile(const std::string& name, const std::string& bytes);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

// 32-bit pixels with a device context over them, filled with one 0xAARRGGBB value.
struct Surface {
  Surface(int w, int h, uint32_t fill);
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  int width, height;
  std::vector<uint32_t> pixels;
};

}  // namespace imagetest
