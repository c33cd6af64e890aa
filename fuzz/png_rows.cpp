// PNG files built around the fuzzer's bytes: a header, palette, transparency and gamma taken from
// the first bytes, and the rest as the raw filtered rows, compressed here. Mutated compressed
// data hardly ever inflates, so this reaches the filters, the interlace passes and every colour
// path. Each file is read into the bitmap and straight into 32-bit memory, and the two must agree.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"
#include "readers/pictures/PngGraphic.h"

namespace {

struct TColorFormat {
  uint8_t Type, Depth, Samples;
};
constexpr TColorFormat Formats[] = {{0, 1, 1}, {0, 2, 1},  {0, 4, 1},  {0, 8, 1}, {0, 16, 1},
                                    {2, 8, 3}, {2, 16, 3}, {3, 1, 1},  {3, 2, 1}, {3, 4, 1},
                                    {3, 8, 1}, {4, 8, 2},  {4, 16, 2}, {6, 8, 4}, {6, 16, 4}};

struct TAdam7Pass {
  uint32_t FirstRow, FirstColumn, RowStep, ColumnStep;
};
constexpr TAdam7Pass Adam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                 {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// Reads the fuzzer's bytes in order; past the end every byte is 0.
struct TInput {
  const uint8_t* At;
  const uint8_t* End;
  uint8_t Byte() { return At < End ? *At++ : 0; }
};

void Put32(std::string& Out, uint32_t Value) {
  for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(char(Value >> shift));
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data) {
  Put32(Out, uint32_t(Data.size()));
  const std::string body = Type + Data;
  Out += body;
  Put32(Out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

uint64_t RowBytes(uint64_t Pixels, const TColorFormat& Format) {
  return (Pixels * Format.Depth * Format.Samples + 7) / 8 + 1;
}

std::string BuildPng(TInput& In) {
  const uint32_t width = 1 + In.Byte() % 96, height = 1 + In.Byte() % 48;
  const uint8_t choice = In.Byte();
  TColorFormat format = Formats[choice % 15];
  const uint8_t flags = In.Byte();
  const bool interlaced = flags & 1;
  if (choice >= 240) format.Depth = In.Byte();  // mostly an invalid pair

  std::string file = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32(header, width);
  Put32(header, height);
  header += {char(format.Depth), char(format.Type), 0, 0, char(interlaced ? 1 : (flags & 2))};
  PutChunk(file, "IHDR", header);
  if (flags & 4) {
    std::string gamma;
    Put32(gamma, 1 + In.Byte() * 1000u + In.Byte());
    PutChunk(file, "gAMA", gamma);
  }
  if (format.Type == 3 || (flags & 8)) {
    const uint32_t entries = 1 + In.Byte();
    std::string palette;
    for (uint32_t i = 0; i < 3 * entries; ++i) palette.push_back(char(In.Byte() ^ (i * 37)));
    PutChunk(file, "PLTE", palette);
  }
  if (flags & 16) {
    std::string key(In.Byte() % 10, '\0');
    for (char& c : key) c = char(In.Byte());
    PutChunk(file, "tRNS", key);
  }

  uint64_t rawSize = 0;
  if (interlaced) {
    for (const TAdam7Pass& p : Adam7) {
      if (width <= p.FirstColumn || height <= p.FirstRow) continue;
      const uint64_t columns = (width - p.FirstColumn + p.ColumnStep - 1) / p.ColumnStep;
      const uint64_t rows = (height - p.FirstRow + p.RowStep - 1) / p.RowStep;
      rawSize += rows * RowBytes(columns, format);
    }
  } else {
    rawSize = height * RowBytes(width, format);
  }
  // The rest of the input, repeated to fill every row; cut short when the flags say so.
  std::string raw;
  const size_t rest = size_t(In.End - In.At);
  for (uint64_t i = 0; i < rawSize; ++i) raw.push_back(rest ? char(In.At[i % rest]) : '\0');
  if ((flags & 32) && rest < raw.size()) raw.resize(rest);

  uLongf packedSize = compressBound(uLong(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), (flags >> 6) * 3);
  packed.resize(packedSize);
  // Split the stream over several data chunks, some of them empty.
  const size_t pieces = (flags & 64) ? 1 + packed.size() % 5 : 1;
  for (size_t i = 0; i < pieces; ++i)
    PutChunk(file, "IDAT",
             packed.substr(i * packed.size() / pieces,
                           (i + 1) * packed.size() / pieces - i * packed.size() / pieces));
  PutChunk(file, "IEND", "");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TInput input{Data, Data + Size};
  const std::string file = BuildPng(input);
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  readers::TPNGGraphic drawn, direct;
  try {
    drawn.LoadFromMemory(bytes, int64_t(file.size()));
  } catch (const plat::Exception&) {
    return 0;
  }
  std::vector<uint32_t> pixels;
  plat::TReadOnlyMemoryStream stream(bytes, int64_t(file.size()));
  direct.LoadFromStreamInto(stream, [&](int32_t Width, int32_t Height) {
    pixels.assign(size_t(Width) * size_t(Height), 0);
    return pixels.data();
  });
  // The rows written straight into memory are the ones the bitmap draws.
  std::vector<uint32_t> row(size_t(drawn.Width()));
  if (pixels.size() != size_t(drawn.Width()) * size_t(drawn.Height())) __builtin_trap();
  for (int y = 0; y < drawn.Height(); ++y) {
    drawn.ReadRowARGB(y, row.data());
    if (std::memcmp(row.data(), &pixels[size_t(y) * row.size()], row.size() * 4) != 0)
      __builtin_trap();
  }
  return 0;
}
