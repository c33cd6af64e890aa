#include "readers/pictures/ReaderGraphic.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "readers/pictures/FileMapping.h"
#include "readers/pictures/ReaderStrings.h"

namespace readers {

TReaderGraphic::TReaderGraphic() : ColorManager_(std::make_unique<TColorManager>()) {}

TReaderGraphic::~TReaderGraphic() = default;

const plat::TGraphicClass& TReaderGraphic::StaticClass() {
  static const plat::TGraphicClass cls{"TReaderGraphic", &plat::TBitmap::StaticClass(), nullptr};
  return cls;
}

void TReaderGraphic::Assign(const plat::TPersistent& Source) {
  if (const auto* reader = dynamic_cast<const TReaderGraphic*>(&Source))
    ImageProperties_ = reader->ImageProperties_;
  plat::TBitmap::Assign(Source);
}

void TReaderGraphic::LoadFromMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) {
  Load(Memory, Size, ImageIndex, nullptr);
}

void TReaderGraphic::Load(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex,
                          const plat::ArgbPictureTarget* Into) {
  // Only a bitmap that already holds something needs a copy to fall back on.
  std::unique_ptr<plat::TBitmap> previous;
  if (!Empty() || PixelFormat() != plat::pfDevice) {
    previous = std::make_unique<plat::TBitmap>();
    previous->Assign(*this);
  }
  const TImageProperties previousProperties = ImageProperties_;
  const auto restore = [&] {
    Target = nullptr;
    Decoder.reset();
    ImageProperties_ = previousProperties;
    if (previous) {
      plat::TBitmap::Assign(*previous);
    } else {
      Clear();
      SetTransparent(false);
    }
  };

  // Every load starts from scratch: nothing of an earlier file carries over.
  Decoder.reset();
  *ColorManager_ = TColorManager();  // in place: ColorManager() references stay valid
  Clear();
  SetTransparent(false);
  SetTransparentMode(plat::tmAuto);
  Target = Into;
  try {
    DecodeMemory(Memory, Size, ImageIndex);
    Target = nullptr;
    Decoder.reset();
  } catch (const std::bad_alloc&) {
    restore();
    throw plat::EOutOfMemory("Not enough memory to load the picture.");
  } catch (...) {
    restore();
    throw;
  }
}

void TReaderGraphic::LoadFromFileByIndex(const std::string& FileName, uint32_t ImageIndex) {
  LoadFile(FileName, ImageIndex, nullptr);
}

bool TReaderGraphic::LoadFromFileInto(const std::string& FileName,
                                      const plat::ArgbPictureTarget& Into) {
  LoadFile(FileName, 0, &Into);
  return true;
}

bool TReaderGraphic::HeadFits(const std::string& Head, uint32_t ImageIndex) {
  const TImageProperties kept = ImageProperties_;
  const bool fits = ReadImageProperties(reinterpret_cast<const uint8_t*>(Head.data()),
                                        static_cast<int64_t>(Head.size()), ImageIndex);
  ImageProperties_ = kept;
  return fits;
}

void TReaderGraphic::LoadFile(const std::string& FileName, uint32_t ImageIndex,
                              const plat::ArgbPictureTarget* Into) {
  // A file whose first bytes are not of this format fails on them alone, as the whole file would,
  // before all of it (up to a gigabyte of anything) is read into memory.
  const std::string head = TFileMapping::Head(FileName, 64);
  if (!head.empty() && !HeadFits(head, ImageIndex))
    Load(reinterpret_cast<const uint8_t*>(head.data()), static_cast<int64_t>(head.size()),
         ImageIndex, Into);
  const TFileMapping mapping(FileName);
  Load(mapping.Memory(), mapping.FileSize(), ImageIndex, Into);
}

template <typename Read>
auto TReaderGraphic::WithStreamBytes(plat::TStream& Stream, Read&& Reader) {
  if (auto* memory = dynamic_cast<plat::TCustomMemoryStream*>(&Stream))
    return Reader(static_cast<const uint8_t*>(memory->Memory()), memory->Size());
  if (auto* handle = dynamic_cast<plat::THandleStream*>(&Stream);
      handle && handle->IsRegularFile()) {
    const TFileMapping mapping(*handle);
    return Reader(mapping.Memory(), mapping.FileSize());
  }
  // Streams that cannot seek are read from where they stand; the copy is capped like files.
  Stream.Seek(0, plat::soBeginning);
  std::vector<uint8_t> copy;
  uint8_t block[65536];
  for (int64_t count; (count = Stream.Read(block, sizeof block)) > 0;) {
    if (static_cast<int64_t>(copy.size()) + count > TFileMapping::MaxFileSize)
      throw plat::EReadError("The picture stream is too large.");
    copy.insert(copy.end(), block, block + count);
  }
  return Reader(copy.data(), static_cast<int64_t>(copy.size()));
}

void TReaderGraphic::LoadFromStreamByIndex(plat::TStream& Stream, uint32_t ImageIndex) {
  WithStreamBytes(Stream, [&](const uint8_t* Memory, int64_t Size) {
    LoadFromMemory(Memory, Size, ImageIndex);
  });
}

bool TReaderGraphic::LoadFromStreamInto(plat::TStream& Stream,
                                        const plat::ArgbPictureTarget& Into) {
  WithStreamBytes(Stream,
                  [&](const uint8_t* Memory, int64_t Size) { Load(Memory, Size, 0, &Into); });
  return true;
}

bool TReaderGraphic::ReadImageProperties(const uint8_t*, int64_t, uint32_t) {
  ImageProperties_ = TImageProperties{};
  ImageProperties_.FileGamma = 1.0f;
  return true;
}

bool TReaderGraphic::ReadImagePropertiesFromFile(const std::string& FileName, uint32_t ImageIndex) {
  const TFileMapping mapping(FileName);
  return ReadImageProperties(mapping.Memory(), mapping.FileSize(), ImageIndex);
}

bool TReaderGraphic::ReadImagePropertiesFromStream(plat::TStream& Stream, uint32_t ImageIndex) {
  const int64_t position = Stream.Position();
  const bool result = WithStreamBytes(Stream, [&](const uint8_t* Memory, int64_t Size) {
    return ReadImageProperties(Memory, Size, ImageIndex);
  });
  if (position >= 0) Stream.Seek(position, plat::soBeginning);
  return result;
}

void TReaderGraphic::StartStage(const char* Text, uint32_t Width) {
  ProgressRect = {0, 0, static_cast<int32_t>(std::min<uint32_t>(Width, INT32_MAX)), 1};
  StartStage(Text);
}

void TReaderGraphic::StartStage(const char* Text) {
  if (OnProgress) Progress(this, plat::psStarting, 0, false, ProgressRect, Text);
}

void TReaderGraphic::RowDone(int64_t Row, int64_t Height) {
  if (OnProgress) {
    const auto percent = static_cast<uint8_t>(
        plat::MulDiv(static_cast<int32_t>(Row), 100, static_cast<int32_t>(Height)));
    Progress(this, plat::psRunning, percent, true, ProgressRect, "");
  }
  ProgressRect = ProgressRect.Offset(0, 1);
}

void TReaderGraphic::EndStage() {
  if (OnProgress) Progress(this, plat::psEnding, 0, false, ProgressRect, "");
}

void TReaderGraphic::ReaderError(const char* Message,
                                 std::initializer_list<plat::TFormatArg> Arguments) {
  throw plat::EInvalidGraphic(plat::Format(Message, Arguments));
}

void TReaderGraphic::ReaderErrorPlain(const char* Message) {
  throw plat::EInvalidGraphic(std::string(Message));
}

}  // namespace readers
