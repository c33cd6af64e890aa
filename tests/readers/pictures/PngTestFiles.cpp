#include "PngTestFiles.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <random>
#include <stdexcept>

namespace readers::testing {

namespace {

void PutBigEndian32(std::vector<uint8_t>& Out, uint32_t Value) {
  for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<uint8_t>(Value >> shift));
}

uint32_t GetBigEndian32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) << 24 | uint32_t(Bytes[1]) << 16 | uint32_t(Bytes[2]) << 8 | Bytes[3];
}

int ChannelsOf(int ColorType) {
  switch (ColorType) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;
  }
}

// Samples of one row packed the way PNG stores them.
std::vector<uint8_t> PackRow(const std::vector<uint16_t>& Samples, int Depth) {
  std::vector<uint8_t> row;
  if (Depth == 16) {
    for (uint16_t sample : Samples) {
      row.push_back(static_cast<uint8_t>(sample >> 8));
      row.push_back(static_cast<uint8_t>(sample));
    }
  } else if (Depth == 8) {
    for (uint16_t sample : Samples) row.push_back(static_cast<uint8_t>(sample));
  } else {
    row.assign((Samples.size() * Depth + 7) / 8, 0);
    for (size_t i = 0; i < Samples.size(); ++i)
      row[i * Depth / 8] |= static_cast<uint8_t>(Samples[i] << (8 - Depth - i * Depth % 8));
  }
  return row;
}

}  // namespace

std::vector<uint8_t> WritePng(const PngSpec& Recipe) {
  std::mt19937 random(Recipe.Seed);
  const int channels = ChannelsOf(Recipe.ColorType);
  const uint32_t paletteSize =
      Recipe.PaletteSize ? static_cast<uint32_t>(Recipe.PaletteSize) : 1u << Recipe.Depth;
  const uint32_t maxSample = Recipe.ColorType == 3 ? paletteSize - 1 : (1u << Recipe.Depth) - 1;
  std::vector<std::vector<uint16_t>> samples(Recipe.Height);
  uint16_t last = 0;
  for (auto& row : samples) {
    row.resize(size_t{Recipe.Width} * channels);
    for (auto& sample : row) {
      // Runs of equal values between random ones.
      if (random() % 3 != 0) last = static_cast<uint16_t>(random() % (maxSample + 1));
      sample = last;
    }
  }
  std::vector<std::vector<uint8_t>> packed;
  for (const auto& row : samples) packed.push_back(PackRow(row, Recipe.Depth));

  std::vector<uint8_t> file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the test picture");
  }
  png_set_write_fn(
      png, &file,
      [](png_structp Png, png_bytep Data, size_t Length) {
        auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(Png));
        out->insert(out->end(), Data, Data + Length);
      },
      nullptr);
  png_set_IHDR(png, info, Recipe.Width, Recipe.Height, Recipe.Depth, Recipe.ColorType,
               Recipe.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  static constexpr int filterFlags[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP,
                                        PNG_FILTER_AVG, PNG_FILTER_PAETH};
  png_set_filter(png, 0, Recipe.Filter < 0 ? PNG_ALL_FILTERS : filterFlags[Recipe.Filter]);
  if (Recipe.CompressionBuffer) png_set_compression_buffer_size(png, Recipe.CompressionBuffer);
  std::vector<png_color> palette(paletteSize);
  if (Recipe.ColorType == 3) {
    for (auto& colour : palette)
      colour = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                static_cast<uint8_t>(random())};
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  if (Recipe.Gamma) png_set_gAMA(png, info, *Recipe.Gamma);
  if (Recipe.ColorKey && (Recipe.ColorType == 0 || Recipe.ColorType == 2)) {
    png_color_16 key{};
    key.gray = samples[0][0];
    if (Recipe.ColorType == 2) {
      key.red = samples[0][0];
      key.green = samples[0][1];
      key.blue = samples[0][2];
    }
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  std::vector<uint8_t> paletteAlpha;
  if (Recipe.ColorKey && Recipe.ColorType == 3) {
    for (uint32_t i = 0; i < (paletteSize + 1) / 2; ++i) {
      const uint32_t kind = random() % 3;
      paletteAlpha.push_back(kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8_t>(random()));
    }
    png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
  }
  if (Recipe.Background) {
    png_color_16 background{};
    background.index = 0;
    background.gray = static_cast<uint16_t>(maxSample / 2);
    background.red = background.green = background.blue = static_cast<uint16_t>(maxSample / 3);
    png_set_bKGD(png, info, &background);
  }
  std::vector<png_text> texts;
  for (const auto& [key, text] : Recipe.Texts) {
    png_text entry{};
    entry.compression = PNG_TEXT_COMPRESSION_NONE;
    entry.key = const_cast<char*>(key.c_str());
    entry.text = const_cast<char*>(text.c_str());
    entry.text_length = text.size();
    texts.push_back(entry);
  }
  if (!texts.empty()) png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (auto& row : packed) rows.push_back(row.data());
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return file;
}

PngSamples ReadPngSamples(const std::vector<uint8_t>& File) {
  struct Source {
    const std::vector<uint8_t>* Bytes;
    size_t Position;
  } source{&File, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw std::runtime_error("libpng could not read the test picture");
  }
  png_set_read_fn(png, &source, [](png_structp Png, png_bytep Data, size_t Length) {
    auto* from = static_cast<Source*>(png_get_io_ptr(Png));
    if (from->Position + Length > from->Bytes->size()) png_error(Png, "short file");
    std::memcpy(Data, from->Bytes->data() + from->Position, Length);
    from->Position += Length;
  });
  png_read_info(png, info);
  png_set_packing(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  PngSamples result;
  result.Width = png_get_image_width(png, info);
  result.Height = png_get_image_height(png, info);
  result.Channels = png_get_channels(png, info);
  const int depth = png_get_bit_depth(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<std::vector<uint8_t>> raw(result.Height, std::vector<uint8_t>(rowBytes));
  std::vector<png_bytep> rows;
  for (auto& row : raw) rows.push_back(row.data());
  png_read_image(png, rows.data());
  for (const auto& row : raw) {
    std::vector<uint16_t> values(size_t{result.Width} * result.Channels);
    for (size_t i = 0; i < values.size(); ++i)
      values[i] = depth == 16 ? static_cast<uint16_t>(row[2 * i] << 8 | row[2 * i + 1]) : row[i];
    result.Rows.push_back(std::move(values));
  }
  png_colorp palette;
  int paletteCount;
  if (png_get_PLTE(png, info, &palette, &paletteCount))
    for (int i = 0; i < paletteCount; ++i)
      result.Palette.insert(result.Palette.end(),
                            {palette[i].red, palette[i].green, palette[i].blue});
  png_bytep alphas;
  int alphaCount;
  png_color_16p key;
  if (png_get_tRNS(png, info, &alphas, &alphaCount, &key)) {
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY) result.ColorKey = {key->gray};
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB)
      result.ColorKey = {key->red, key->green, key->blue};
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE)
      result.PaletteAlpha.assign(alphas, alphas + alphaCount);
  }
  double gamma;
  if (png_get_gAMA(png, info, &gamma)) result.Gamma = gamma;
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

std::vector<uint8_t> PngChunk(const char* Type, const std::vector<uint8_t>& Data) {
  std::vector<uint8_t> chunk;
  PutBigEndian32(chunk, static_cast<uint32_t>(Data.size()));
  chunk.insert(chunk.end(), Type, Type + 4);
  chunk.insert(chunk.end(), Data.begin(), Data.end());
  PutBigEndian32(chunk, static_cast<uint32_t>(crc32(0, chunk.data() + 4, Data.size() + 4)));
  return chunk;
}

std::vector<uint8_t> PngHeaderData(uint32_t Width, uint32_t Height, int Depth, int ColorType,
                                   int Interlace, int Compression) {
  std::vector<uint8_t> data;
  PutBigEndian32(data, Width);
  PutBigEndian32(data, Height);
  data.insert(data.end(), {static_cast<uint8_t>(Depth), static_cast<uint8_t>(ColorType),
                           static_cast<uint8_t>(Compression), 0, static_cast<uint8_t>(Interlace)});
  return data;
}

std::vector<uint8_t> AssemblePng(const std::vector<uint8_t>& HeaderData,
                                 const std::vector<std::vector<uint8_t>>& Chunks, bool WithEnd) {
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const auto header = PngChunk("IHDR", HeaderData);
  file.insert(file.end(), header.begin(), header.end());
  for (const auto& chunk : Chunks) file.insert(file.end(), chunk.begin(), chunk.end());
  if (WithEnd) {
    const auto end = PngChunk("IEND", {});
    file.insert(file.end(), end.begin(), end.end());
  }
  return file;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& Raw) {
  uLongf size = compressBound(Raw.size());
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, Raw.data(), Raw.size(), 9);
  packed.resize(size);
  return packed;
}

std::vector<std::pair<size_t, std::string>> PngChunks(const std::vector<uint8_t>& File) {
  std::vector<std::pair<size_t, std::string>> chunks;
  for (size_t offset = 8; offset + 12 <= File.size();) {
    chunks.emplace_back(offset, std::string(File.begin() + offset + 4, File.begin() + offset + 8));
    offset += 12 + GetBigEndian32(File.data() + offset);
  }
  return chunks;
}

void FixPngCrc(std::vector<uint8_t>& File, size_t Offset) {
  const uint32_t length = GetBigEndian32(File.data() + Offset);
  const auto crc = static_cast<uint32_t>(crc32(0, File.data() + Offset + 4, length + 4));
  for (int i = 0; i < 4; ++i)
    File[Offset + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

}  // namespace readers::testing
