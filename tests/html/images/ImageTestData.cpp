#include "ImageTestData.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"

namespace imagetest {

std::string BmpBytes(const plat::TBitmap& bitmap) {
  plat::TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::unique_ptr<plat::TBitmap> SolidBitmap(plat::TPixelFormat format, int w, int h,
                                           plat::TColor color) {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetSize(w, h);
  bitmap->Canvas().Brush().SetColor(color);
  bitmap->Canvas().FillRect({0, 0, w, h});
  if (plat::TBitmap::BitsPerPixel(format) <= 8) {
    // Without a palette of its own an indexed bitmap would be grey.
    const plat::TPaletteEntry own{uint8_t(color), uint8_t(color >> 8), uint8_t(color >> 16), 0};
    bitmap->SetPalette(plat::TPalette({own, {0, 0, 0, 0}}));
  }
  bitmap->SetPixelFormat(format);
  return bitmap;
}

std::string JpegBytes(int w, int h, plat::TColor color) {
  auto bitmap = SolidBitmap(plat::pf24bit, w, h, color);
  plat::TJPEGImage jpeg;
  jpeg.Assign(*bitmap);
  jpeg.SetCompressionQuality(100);
  jpeg.Compress();
  return jpeg.CompressedData();
}

std::unique_ptr<plat::TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = std::make_unique<plat::TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes);
  stream->SetPosition(0);
  return stream;
}

TempFile::TempFile(const std::string& name, const std::string& bytes) {
  std::string pattern = (std::filesystem::temp_directory_path() / "htmlimagesXXXXXX").string();
  folder_ = mkdtemp(pattern.data());
  path_ = folder_ + "/" + name;
  plat::WriteFileAtomically(path_, bytes);
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

Surface::Surface(int w, int h, uint32_t fill)
    : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

}  // namespace imagetest
