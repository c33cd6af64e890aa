// 32-bit BMP files and the "Data" block of the bitmap.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/Bitmap32Format.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/BitmapRows.h"
#include "platform/pictures/BmpCodec.h"
#include "platform/pictures/Picture.h"
#include "platform/runtime/Files.h"

namespace gfx {

namespace fmt = bitmap32_format;

namespace {

[[noreturn]] void RaiseInvalid(const std::string& reason) {
  throw plat::EInvalidGraphic("Invalid 32-bit bitmap: " + reason);
}

// Bytes left in the stream from its position, or -1 when it cannot tell.
int64_t Remaining(plat::TStream& stream, int64_t position) {
  const int64_t size = stream.Size();
  return size >= 0 && size >= position ? size - position : -1;
}

// Reads as much as the stream gives, up to Count bytes.
int64_t ReadUpTo(plat::TStream& stream, void* buffer, int64_t count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t got = stream.Read(bytes + done, count - done);
    if (got <= 0) break;
    done += got;
  }
  return done;
}

// The whole pixel block, rows in the order they are stored; a short read raises.
void ReadPixels(plat::TStream& stream, TColor32* pixels, int32_t width, int32_t height) {
  const auto bytes = static_cast<int64_t>(width) * height * int64_t(sizeof(TColor32));
  if (ReadUpTo(stream, pixels, bytes) != bytes) RaiseInvalid("the pixel data is truncated");
}

TColor32* RowOf(TColor32* pixels, int32_t width, int32_t y) {
  return pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
}

}  // namespace

void TCustomBitmap32::SaveToStream(plat::TStream& stream, bool bottomUp) const {
  const int32_t w = Width(), h = Height();
  if (!fmt::FitsBmpFields(w, h)) throw EBitmapException("The bitmap is too large for a BMP file");
  const auto header = fmt::EncodeBmpHeader(w, h, bottomUp);
  stream.WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
  if (bits_ == nullptr) return;
  if (bottomUp) {
    for (int32_t y = h - 1; y >= 0; --y) stream.WriteBuffer(RowPtr(y), int64_t{w} * 4);
  } else {
    stream.WriteBuffer(bits_, int64_t{w} * h * 4);
  }
}

void TCustomBitmap32::SaveToFile(const std::string& fileName, bool bottomUp) const {
  plat::TAtomicFileStream file(fileName);
  SaveToStream(file, bottomUp);
  file.Commit();
}

void TCustomBitmap32::LoadFromStream(plat::TStream& stream) {
  const int64_t start = stream.Position();
  std::array<uint8_t, fmt::kBmpHeaderSize> header{};
  const int64_t got = ReadUpTo(stream, header.data(), static_cast<int64_t>(header.size()));
  if (got == static_cast<int64_t>(header.size()) &&
      fmt::ClassifyBmpHeader(header) == fmt::BmpKind::Direct32) {
    const fmt::BmpParse parse = fmt::ParseDirectHeader(header, Remaining(stream, start));
    if (!parse.layout) RaiseInvalid(parse.error);
    const fmt::BmpLayout& layout = *parse.layout;
    stream.SetPosition(start + layout.pixelOffset);
    LoadPixels([&](const plat::ArgbPictureTarget& target) {
      TColor32* const pixels = target(layout.width, layout.height);
      ReadPixels(stream, pixels, layout.width, layout.height);
      if (!layout.realAlpha) {
        plat::OpaqueWhenAlphaEmpty(reinterpret_cast<uint8_t*>(pixels),
                                   std::size_t(layout.width) * std::size_t(layout.height));
      }
      if (layout.bottomUp) {
        for (int32_t y = 0; y < layout.height / 2; ++y) {
          std::swap_ranges(RowOf(pixels, layout.width, y), RowOf(pixels, layout.width, y + 1),
                           RowOf(pixels, layout.width, layout.height - 1 - y));
        }
      }
    });
  } else {
    stream.SetPosition(start);
    std::unique_ptr<plat::TBitmap> read;
    LoadPixels([&](const plat::ArgbPictureTarget& target) {
      read = plat::ReadBmpStream(stream, &target);
    });
    ChangeInUpdate([&] { TakeBitmapSettings(*read); });
  }
  Changed();
}

void TCustomBitmap32::LoadFromFile(const std::string& fileName) {
  {
    plat::TFileStream file(fileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    char signature[2] = {};
    if (ReadUpTo(file, signature, 2) == 2 && signature[0] == 'B' && signature[1] == 'M') {
      file.SetPosition(0);
      LoadFromStream(file);
      return;
    }
  }
  LoadPicture(fileName);
}

void TCustomBitmap32::ReadData(plat::TStream& stream) {
  std::array<uint8_t, fmt::kDataHeaderSize> head{};
  if (ReadUpTo(stream, head.data(), static_cast<int64_t>(head.size())) !=
      static_cast<int64_t>(head.size()))
    RaiseInvalid("the size of the pixel block is missing");
  const fmt::DataParse parse = fmt::ParseDataHeader(head, Remaining(stream, stream.Position()));
  if (!parse.error.empty()) RaiseInvalid(parse.error);
  LoadPixels([&](const plat::ArgbPictureTarget& target) {
    ReadPixels(stream, target(parse.width, parse.height), parse.width, parse.height);
  });
  Changed();
}

void TCustomBitmap32::WriteData(plat::TStream& stream) const {
  const auto head = fmt::EncodeDataHeader(Width(), Height());
  stream.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
  if (bits_ != nullptr) stream.WriteBuffer(bits_, int64_t{Width()} * Height() * 4);
}

bool TCustomBitmap32::DataNeedsWriting(const plat::TPersistent* ancestor) const {
  if (ancestor == nullptr) return !Empty();
  const auto* other = dynamic_cast<const TCustomBitmap32*>(ancestor);
  return other == nullptr || !Equal(*other);
}

void TCustomBitmap32::DefineProperties(plat::TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](plat::TStream& stream) { ReadData(stream); },
      [this](plat::TStream& stream) { WriteData(stream); }, DataNeedsWriting(filer.Ancestor()));
}

bool TCustomBitmap32::Equal(const TCustomBitmap32& other) const {
  if (Empty() || other.Empty()) return Empty() && other.Empty();
  if (typeid(*this) != typeid(other)) return false;
  plat::TMemoryStream mine, theirs;
  SaveToStream(mine, false);
  other.SaveToStream(theirs, false);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(), static_cast<std::size_t>(mine.Size())) == 0;
}

}  // namespace gfx
