#include "ImageTestData.h"

#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"

namespace imagetest {

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

}  // namespace

std::string PngBytes(int w, int h, const std::vector<uint32_t>& argb) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, PngWrite, nullptr);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = argb[size_t(y) * size_t(w) + size_t(x)];
      row[size_t(4 * x)] = uint8_t(p >> 16), row[size_t(4 * x + 1)] = uint8_t(p >> 8);
      row[size_t(4 * x + 2)] = uint8_t(p), row[size_t(4 * x + 3)] = uint8_t(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

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
