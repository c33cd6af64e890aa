// Peak memory of opening a large picture the way the editor does (the engine bitmap's load), one
// file of each kind the editor reads whole: PNG, GIF, BMP and JPEG. Each load's peak is measured
// beside the picture's own 32-bit size; the ratio line is (peak - file) / 32-bit size, so a load
// that keeps one copy of the picture and the file comes out a little above 1.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "bench/support/BenchMain.h"
#include "bench/support/PngWriter.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/JpegCodec.h"

namespace {

constexpr int Width = 8192, Height = 6144;
constexpr double PictureBytes = double(Width) * Height * 4;

// Gradients with a little noise, so every format works as on a real picture.
uint32_t PixelAt(std::mt19937& random, int x, int y) {
  const int noise = int(random() % 9) - 4;
  const auto channel = [noise](int value) { return uint32_t(std::clamp(value + noise, 0, 255)); };
  return channel(x * 255 / Width) << 16 | channel(y * 255 / Height) << 8 |
         channel((x + y) / 64 % 256) | channel(200 + y % 56) << 24;
}

void WritePng(const std::string& path) {
  std::mt19937 random(1);
  std::vector<uint8_t> row(size_t(Width) * 4);
  bench::WriteRgbaPng(path, Width, Height, 1, [&](int y) {
    for (int x = 0; x < Width; ++x) {
      const uint32_t p = PixelAt(random, x, y);
      row[4 * size_t(x)] = uint8_t(p >> 16);
      row[4 * size_t(x) + 1] = uint8_t(p >> 8);
      row[4 * size_t(x) + 2] = uint8_t(p);
      row[4 * size_t(x) + 3] = uint8_t(p >> 24);
    }
    return row.data();
  });
}

void WriteGif(const std::string& path) {
  std::vector<GifColorType> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (!gif) throw std::runtime_error("giflib could not write " + path);
  EGifPutScreenDesc(gif, Width, Height, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, Width, Height, false, nullptr);
  std::mt19937 random(2);
  std::vector<GifPixelType> row(Width);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x)
      row[size_t(x)] = GifPixelType(((x + y) / 16 + (random() % 4 == 0 ? random() % 8 : 0)) & 255);
    EGifPutLine(gif, row.data(), Width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
}

// 24 bits, bottom-up: the common BMP, read by the platform's BMP decoder.
void WriteBmp(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t stride = (uint32_t(Width) * 3 + 3) / 4 * 4, image = stride * Height;
  const auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(char(value >> (8 * i)));
  };
  out.write("BM", 2);
  put(54 + image, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(Width, 4);
  put(Height, 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(image, 4);
  put(0, 16);
  std::mt19937 random(3);
  std::string row(stride, '\0');
  for (int y = Height - 1; y >= 0; --y) {
    for (int x = 0; x < Width; ++x) {
      const uint32_t p = PixelAt(random, x, y);
      row[3 * size_t(x)] = char(p);
      row[3 * size_t(x) + 1] = char(p >> 8);
      row[3 * size_t(x) + 2] = char(p >> 16);
    }
    out.write(row.data(), std::streamsize(row.size()));
  }
}

void WriteJpeg(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 random(4);
  std::vector<uint32_t> row(Width);
  plat::EncodeJpegArgbRows(
      Width, Height, 90,
      [&](int32_t y) {
        for (int x = 0; x < Width; ++x) row[size_t(x)] = PixelAt(random, x, y);
        return row.data();
      },
      [&out](const char* bytes, size_t count) { out.write(bytes, std::streamsize(count)); });
}

struct Folder {
  Folder() {
    char name[] = "/tmp/pixstamp-loadmemory-XXXXXX";
    if (!mkdtemp(name)) throw std::runtime_error("no temporary folder");
    path = name;
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

// The files, made once; the program's start-up first, so the registry knows the readers.
std::string PictureFile(const std::string& extension) {
  static Folder folder;
  static const bool started = [] {
    app::StartProgram();
    std::atexit([] { app::StopProgram(); });
    return true;
  }();
  (void)started;
  const std::string path = folder.path + "/large." + extension;
  if (!std::filesystem::exists(path)) {
    if (extension == "png") WritePng(path);
    if (extension == "gif") WriteGif(path);
    if (extension == "bmp") WriteBmp(path);
    if (extension == "jpg") WriteJpeg(path);
  }
  return path;
}

// Bytes of the process's "VmHWM" (peak) or "VmRSS" (now) line.
double StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) * 1024;
  throw std::runtime_error("no " + key + " in /proc/self/status");
}

// The peak now starts again from the memory in use.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_LoadPeakMemory(benchmark::State& state, const std::string& extension) {
  const std::string path = PictureFile(extension);
  const double fileBytes = double(std::filesystem::file_size(path));
  double peak = 0;
  for (auto _ : state) {
    ResetPeak();
    const double before = StatusBytes("VmRSS");
    {
      gfx::TBitmap32 bitmap;
      bitmap.LoadFromFile(path);
      benchmark::DoNotOptimize(bitmap.Bits());
      peak = std::max(peak, StatusBytes("VmHWM") - before);
    }
  }
  constexpr double MB = 1 << 20;
  state.counters["peak_MB"] = peak / MB;
  state.counters["picture_MB"] = PictureBytes / MB;
  state.counters["file_MB"] = fileBytes / MB;
  bench::ReportRatio("load_peak_memory_" + extension, (peak - fileBytes) / PictureBytes, "1.3");
}

const bool registered = [] {
  for (const char* extension : {"png", "gif", "bmp", "jpg"})
    benchmark::RegisterBenchmark((std::string("BM_LoadPeakMemory/") + extension).c_str(),
                                 BM_LoadPeakMemory, std::string(extension))
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
