// Decoding speed of the picture readers against libpng and giflib on the same files.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "bench/support/BenchMain.h"
#include "readers/pictures/GifGraphic.h"
#include "readers/pictures/PngGraphic.h"

namespace {

constexpr int PngWidth = 4000, PngHeight = 3000;
constexpr int GifSide = 2000;

// Gradients with noise: compressible like a photograph, and every filter gets chosen.
std::vector<uint8_t> RgbaPixels(int Width, int Height) {
  std::mt19937 random(1);
  std::vector<uint8_t> pixels(size_t(Width) * Height * 4);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      uint8_t* p = &pixels[(size_t(y) * Width + x) * 4];
      const int noise = static_cast<int>(random() % 9) - 4;
      p[0] = static_cast<uint8_t>(x * 255 / Width + noise);
      p[1] = static_cast<uint8_t>(y * 255 / Height - noise);
      p[2] = static_cast<uint8_t>((x + y) / 16 + noise);
      p[3] = static_cast<uint8_t>(x < Width / 2 ? 255 : 128 + y % 128);
    }
  }
  return pixels;
}

std::vector<uint8_t> EncodePng(bool Interlaced) {
  const auto pixels = RgbaPixels(PngWidth, PngHeight);
  std::vector<uint8_t> file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng could not write");
  png_set_write_fn(
      png, &file,
      [](png_structp Png, png_bytep Data, size_t Length) {
        auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(Png));
        out->insert(out->end(), Data, Data + Length);
      },
      nullptr);
  png_set_IHDR(png, info, PngWidth, PngHeight, 8, PNG_COLOR_TYPE_RGBA,
               Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (int y = 0; y < PngHeight; ++y)
    rows.push_back(const_cast<uint8_t*>(&pixels[size_t(y) * PngWidth * 4]));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return file;
}

const std::vector<uint8_t>& PngFile(bool Interlaced) {
  static const std::vector<uint8_t> plain = EncodePng(false);
  static const std::vector<uint8_t> interlaced = EncodePng(true);
  return Interlaced ? interlaced : plain;
}

void DecodeWithLibpng(const std::vector<uint8_t>& File, std::vector<uint8_t>& Pixels) {
  struct Source {
    const std::vector<uint8_t>* Bytes;
    size_t Position;
  } source{&File, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng could not read");
  png_set_read_fn(png, &source, [](png_structp Png, png_bytep Data, size_t Length) {
    auto* from = static_cast<Source*>(png_get_io_ptr(Png));
    std::memcpy(Data, from->Bytes->data() + from->Position, Length);
    from->Position += Length;
  });
  png_read_info(png, info);
  png_set_bgr(png);  // the bitmap's byte order
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  Pixels.assign(size_t(width) * height * 4, 0);
  std::vector<png_bytep> rows;
  for (uint32_t y = 0; y < height; ++y) rows.push_back(&Pixels[size_t(y) * width * 4]);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
}

void BM_PngRgbaOurs(benchmark::State& State, bool Interlaced) {
  const auto& file = PngFile(Interlaced);
  for (auto _ : State) {
    readers::TPNGGraphic graphic;
    graphic.LoadFromMemory(file.data(), static_cast<int64_t>(file.size()));
    benchmark::DoNotOptimize(graphic.ScanLine(0));
  }
}

void BM_PngRgbaLibpng(benchmark::State& State, bool Interlaced) {
  const auto& file = PngFile(Interlaced);
  std::vector<uint8_t> pixels;
  for (auto _ : State) {
    DecodeWithLibpng(file, pixels);
    benchmark::DoNotOptimize(pixels.data());
    std::vector<uint8_t>().swap(pixels);  // both sides allocate their picture anew
  }
}

BENCHMARK_CAPTURE(BM_PngRgbaOurs, plain, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngRgbaLibpng, plain, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngRgbaOurs, interlaced, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngRgbaLibpng, interlaced, true)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> EncodeGif() {
  std::mt19937 random(2);
  std::vector<GifColorType> colours(256);
  for (int i = 0; i < 256; ++i)
    colours[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                  static_cast<uint8_t>(i / 2)};
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  std::vector<uint8_t> file;
  int error = 0;
  GifFileType* gif = EGifOpen(
      &file,
      [](GifFileType* Gif, const GifByteType* Data, int Length) {
        auto* out = static_cast<std::vector<uint8_t>*>(Gif->UserData);
        out->insert(out->end(), Data, Data + Length);
        return Length;
      },
      &error);
  EGifPutScreenDesc(gif, GifSide, GifSide, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, GifSide, GifSide, false, nullptr);
  // Dithered gradients: short strings mixed with runs.
  std::vector<GifPixelType> row(GifSide);
  for (int y = 0; y < GifSide; ++y) {
    for (int x = 0; x < GifSide; ++x)
      row[x] =
          static_cast<GifPixelType>(((x + y) / 16 + (random() % 4 == 0 ? random() % 8 : 0)) & 255);
    EGifPutLine(gif, row.data(), GifSide);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return file;
}

const std::vector<uint8_t>& GifFile() {
  static const std::vector<uint8_t> file = EncodeGif();
  return file;
}

void BM_GifOurs(benchmark::State& State) {
  const auto& file = GifFile();
  for (auto _ : State) {
    readers::TGIFGraphic graphic;
    graphic.LoadFromMemory(file.data(), static_cast<int64_t>(file.size()));
    benchmark::DoNotOptimize(graphic.ScanLine(0));
  }
}

void BM_GifGiflib(benchmark::State& State) {
  const auto& file = GifFile();
  struct Source {
    const std::vector<uint8_t>* Bytes;
    size_t Position;
  };
  for (auto _ : State) {
    Source source{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(
        &source,
        [](GifFileType* Gif, GifByteType* Data, int Length) {
          auto* from = static_cast<Source*>(Gif->UserData);
          const size_t count = std::min<size_t>(Length, from->Bytes->size() - from->Position);
          std::memcpy(Data, from->Bytes->data() + from->Position, count);
          from->Position += count;
          return static_cast<int>(count);
        },
        &error);
    DGifSlurp(gif);
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
}

BENCHMARK(BM_GifOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifGiflib)->Unit(benchmark::kMillisecond);

bench::PeerComparison pngPlain("png_rgba_4000x3000", "BM_PngRgbaOurs/plain",
                               "BM_PngRgbaLibpng/plain", "1.1");
bench::PeerComparison pngInterlaced("png_rgba_4000x3000_interlaced", "BM_PngRgbaOurs/interlaced",
                                    "BM_PngRgbaLibpng/interlaced");
bench::PeerComparison gif("gif_2000x2000", "BM_GifOurs", "BM_GifGiflib", "1.0");

}  // namespace
