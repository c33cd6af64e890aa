#include "GifTestStreams.h"

#include <gif_lib.h>

#include <cstring>
#include <unordered_map>

namespace giftest {

namespace {

class BitWriter {
 public:
  void Put(int code, int size) {
    accumulator_ |= uint32_t(code) << bits_;
    bits_ += size;
    while (bits_ >= 8) {
      out_.push_back(uint8_t(accumulator_));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }
  Bytes Finish() {
    if (bits_ > 0) out_.push_back(uint8_t(accumulator_));
    return out_;
  }

 private:
  Bytes out_;
  uint32_t accumulator_ = 0;
  int bits_ = 0;
};

// Bits of the smallest power of two holding count entries (at least 1).
int TableBits(size_t count) {
  int bits = 1;
  while ((size_t(1) << bits) < count) ++bits;
  return bits;
}

}  // namespace

Bytes EncodeLzw(const Bytes& indices, const LzwOptions& options) {
  const int clear = 1 << options.minCodeSize, end = clear + 1;
  BitWriter out;
  // The code width follows the reader's table: it has one entry fewer than the writer's, since
  // it learns each entry only from the code after it.
  int size = options.minCodeSize + 1, limit = 0, readerNext = 0, writerNext = 0;
  bool firstAfterClear = true;
  std::unordered_map<uint32_t, int> table;
  auto startTable = [&] {
    out.Put(clear, size);
    size = options.minCodeSize + 1;
    limit = 1 << size;
    readerNext = writerNext = end + 1;
    firstAfterClear = true;
    table.clear();
  };
  auto emit = [&](int code) {
    out.Put(code, size);
    if (!firstAfterClear) {
      if (readerNext < 4096) ++readerNext;
      if (readerNext >= limit && size < 12) {
        limit *= 2;
        ++size;
      }
    }
    firstAfterClear = false;
  };

  startTable();
  if (!indices.empty()) {
    int prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
      const uint32_t key = uint32_t(prefix) << 8 | indices[i];
      if (auto found = table.find(key); found != table.end()) {
        prefix = found->second;
        continue;
      }
      emit(prefix);
      if (writerNext < 4096)
        table[key] = writerNext++;
      else if (options.clearWhenFull)
        startTable();
      prefix = indices[i];
    }
    emit(prefix);
  }
  out.Put(end, size);
  return out.Finish();
}

Bytes SubBlocks(const Bytes& data) {
  Bytes out;
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

GifBuilder::GifBuilder(int width, int height, const Colors& globalTable,
                       const std::string& signature) {
  bytes_.assign(signature.begin(), signature.end());
  Word(width);
  Word(height);
  bytes_.push_back(globalTable.empty() ? 0x70
                                       : uint8_t(0xF0 | (TableBits(globalTable.size()) - 1)));
  bytes_.push_back(0);
  bytes_.push_back(0);
  if (!globalTable.empty()) Table(globalTable);
}

void GifBuilder::Word(int value) {
  bytes_.push_back(uint8_t(value));
  bytes_.push_back(uint8_t(value >> 8));
}

void GifBuilder::Table(const Colors& colors) {
  const size_t count = size_t(1) << TableBits(colors.size());
  for (size_t i = 0; i < count; ++i) {
    const uint32_t c = i < colors.size() ? colors[i] : 0;
    bytes_.insert(bytes_.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  }
}

GifBuilder& GifBuilder::GraphicControl(int disposal, int delay, int transparentIndex) {
  Raw({0x21, 0xF9, 4, uint8_t((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0))});
  Word(delay);
  return Raw({uint8_t(transparentIndex >= 0 ? transparentIndex : 0), 0});
}

GifBuilder& GifBuilder::Netscape(const Bytes& firstSubBlock) {
  Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'});
  bytes_.push_back(uint8_t(firstSubBlock.size()));
  Raw(firstSubBlock);
  return Raw({0});
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
  Raw({0x21, 0xFE});
  return Raw(SubBlocks(Bytes(text.begin(), text.end())));
}

GifBuilder& GifBuilder::Image(const ImageBlock& image) {
  return ImageWithData(image, SubBlocks(EncodeLzw(image.indices, image.lzw)));
}

GifBuilder& GifBuilder::ImageWithData(const ImageBlock& image, const Bytes& lzwData) {
  bytes_.push_back(0x2C);
  Word(image.left);
  Word(image.top);
  Word(image.width);
  Word(image.height);
  uint8_t packed = image.interlaced ? 0x40 : 0;
  if (!image.localTable.empty()) packed |= uint8_t(0x80 | (TableBits(image.localTable.size()) - 1));
  bytes_.push_back(packed);
  if (!image.localTable.empty()) Table(image.localTable);
  bytes_.push_back(uint8_t(image.lzw.minCodeSize));
  return Raw(lzwData);
}

GifBuilder& GifBuilder::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

namespace {

struct ReadState {
  const Bytes* data;
  size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
  auto* state = static_cast<ReadState*>(gif->UserData);
  const size_t n = std::min(size_t(count), state->data->size() - state->position);
  std::memcpy(buffer, state->data->data() + state->position, n);
  state->position += n;
  return int(n);
}

int WriteToMemory(GifFileType* gif, const GifByteType* buffer, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), buffer, buffer + count);
  return count;
}

}  // namespace

bool DecodeWithGiflib(const Bytes& gif, std::vector<OracleImage>& images) {
  ReadState state{&gif, 0};
  int error = 0;
  GifFileType* file = DGifOpen(&state, ReadFromMemory, &error);
  if (!file) return false;
  const bool ok = DGifSlurp(file) == GIF_OK;
  if (ok)
    for (int i = 0; i < file->ImageCount; ++i) {
      const SavedImage& saved = file->SavedImages[i];
      const GifImageDesc& d = saved.ImageDesc;
      images.push_back(
          {d.Left, d.Top, d.Width, d.Height,
           Bytes(saved.RasterBits, saved.RasterBits + size_t(d.Width) * size_t(d.Height))});
    }
  DGifCloseFile(file, &error);
  return ok;
}

Bytes EncodeWithGiflib(int width, int height, int bits, const Bytes& indices) {
  Bytes out;
  int error = 0;
  GifFileType* file = EGifOpen(&out, WriteToMemory, &error);
  std::vector<GifColorType> grey(size_t(1) << bits);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  ColorMapObject* map = GifMakeMapObject(int(grey.size()), grey.data());
  EGifPutScreenDesc(file, width, height, bits, 0, map);
  EGifPutImageDesc(file, 0, 0, width, height, false, nullptr);
  Bytes row;
  for (int y = 0; y < height; ++y) {
    row.assign(indices.begin() + long(y) * width, indices.begin() + long(y + 1) * width);
    EGifPutLine(file, row.data(), width);
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return out;
}

Bytes RandomIndices(size_t count, int limit, uint32_t seed) {
  Bytes out;
  uint32_t state = seed * 2654435761u + 1;
  auto next = [&] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  while (out.size() < count) {
    const uint8_t value = uint8_t(next() % uint32_t(limit));
    for (uint32_t run = next() % 6 + 1; run > 0 && out.size() < count; --run) out.push_back(value);
  }
  return out;
}

}  // namespace giftest
