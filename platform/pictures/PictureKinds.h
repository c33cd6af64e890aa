// Picture data of unknown origin (the clipboard's) told apart by its first bytes, whatever name it
// comes under, with how few bytes can hold a picture of each kind.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

struct TPictureKind {
  const char* Name;           // as messages name it: "PNG", "XBM", ...
  const char* OwnExtension;   // the program's picture class for it, or nullptr
  const char* DecoderFormat;  // the desktop's decoder for it, or nullptr
  // The fewest bytes any data of this kind holding Width x Height pixels can have, counted in
  // its densest encoding; for the kinds the desktop's decoders read.
  int64_t (*FewestBytes)(int64_t width, int64_t height);
};

// The kind of the data by its first bytes; nullptr when it is none the program knows.
const TPictureKind* PictureKindOf(const char* bytes, size_t size);

}  // namespace plat
