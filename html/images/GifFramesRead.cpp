// Reading a GIF stream: header, logical screen, colour tables, extension blocks and images.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "html/images/GifFrames.h"
#include "html/images/GifFramesLzw.h"
#include "platform/pictures/Bitmap.h"

namespace html {

namespace {

// Bytes of the stream with a read position. Fixed-size fields that run past the end read as 0.
class ByteCursor {
 public:
  explicit ByteCursor(plat::TMemoryStream& stream)
      : data_(static_cast<const uint8_t*>(stream.Memory())), size_(size_t(stream.Size())) {}

  bool AtEnd() const { return position_ >= size_; }
  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  uint16_t Word() {
    const uint8_t low = Byte();
    return uint16_t(low | Byte() << 8);
  }
  void Skip(size_t count) { position_ += std::min(count, size_ - std::min(position_, size_)); }
  // Appends count bytes; a stream that has fewer raises the unexpected-end error.
  void Take(size_t count, std::vector<uint8_t>& out) {
    if (size_ - std::min(position_, size_) < count) GifError(geUnexpectedEnd);
    out.insert(out.end(), data_ + position_, data_ + position_ + count);
    position_ += count;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

class GifParser {
 public:
  GifParser(ByteCursor& in, std::string& header, TGifScreenDescriptor& screen,
            std::vector<TGifImageRecord>& images, std::vector<TGifColorTable>& colorTables,
            int32_t& loopCount)
      : in_(in),
        header_(header),
        screen_(screen),
        images_(images),
        colorTables_(colorTables),
        loopCount_(loopCount) {}

  void Run() {
    ReadHeader();
    ReadScreenDescriptor();
    for (;;) {
      const uint8_t introducer = in_.Byte();
      if (introducer == 0 || introducer == 0x3B) break;  // a missing trailer is no error
      if (introducer == 0x2C)
        ReadImageDescriptor();
      else if (introducer == 0x21)
        ReadExtension();
      else
        GifError(geUnknownOperationCode);
    }
    if (images_.empty()) GifError(geNoImage);
  }

 private:
  void ReadHeader() {
    header_.clear();
    for (int i = 0; i < 6; ++i) header_ += char(in_.Byte());
    std::string upper = header_;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (upper != "GIF87A" && upper != "GIF89A") GifError(geInvalidSignature);
  }

  void ReadScreenDescriptor() {
    screen_.Width = in_.Word();
    screen_.Height = in_.Word();
    const uint8_t packed = in_.Byte();
    screen_.GlobalColorTableFlag = (packed & 0x80) != 0;
    screen_.ColorResolution = ((packed >> 4) & 7) + 1;
    screen_.SortFlag = (packed & 0x08) != 0;
    screen_.GlobalColorTableSize = 2 << (packed & 7);
    screen_.BackgroundIndex = in_.Byte();
    screen_.AspectRatio = in_.Byte();
    screen_.GlobalColorTable = -1;
    if (screen_.GlobalColorTableFlag)
      screen_.GlobalColorTable = ReadColorTable(screen_.GlobalColorTableSize);
  }

  int ReadColorTable(int size) {
    TGifColorTable& table = colorTables_.emplace_back();
    table.Count = size;
    for (int i = 0; i < size; ++i) {
      const uint32_t red = in_.Byte(), green = in_.Byte(), blue = in_.Byte();
      table.Colors[size_t(i)] = blue << 16 | green << 8 | red;
    }
    return int(colorTables_.size()) - 1;
  }

  void ReadDataSubBlocks(std::vector<TGifDataSubBlock>& blocks) {
    for (uint8_t size = in_.Byte(); size != 0; size = in_.Byte())
      in_.Take(size, blocks.emplace_back());
  }

  void ReadExtension() {
    TGifExtension& extension = pending_.emplace_back();
    extension.Label = in_.Byte();
    switch (extension.Label) {
      case kGifGraphicControlLabel: {
        extension.BlockSize = in_.Byte();
        if (extension.BlockSize != 4) GifError(geInvalidExtensionSize);
        const uint8_t packed = in_.Byte();
        extension.Disposal = (packed >> 2) & 7;
        extension.UserInput = (packed & 2) != 0;
        extension.TransparentFlag = (packed & 1) != 0;
        extension.Delay = in_.Word();
        extension.TransparentIndex = in_.Byte();
        if (in_.Byte() != 0) GifError(geInvalidExtensionTerminator);
        break;
      }
      case kGifCommentLabel:
        ReadDataSubBlocks(extension.SubBlocks);
        break;
      case kGifPlainTextLabel:
        extension.BlockSize = in_.Byte();
        if (extension.BlockSize != 12) GifError(geInvalidExtensionSize);
        extension.GridLeft = in_.Word();
        extension.GridTop = in_.Word();
        extension.GridWidth = in_.Word();
        extension.GridHeight = in_.Word();
        extension.CellWidth = in_.Byte();
        extension.CellHeight = in_.Byte();
        extension.ForegroundIndex = in_.Byte();
        extension.BackgroundIndex = in_.Byte();
        ReadDataSubBlocks(extension.SubBlocks);
        break;
      case kGifApplicationLabel:
        extension.BlockSize = in_.Byte();
        if (extension.BlockSize == 11) {
          for (int i = 0; i < 8; ++i) extension.Identifier += char(in_.Byte());
          for (int i = 0; i < 3; ++i) extension.AuthenticationCode += char(in_.Byte());
          ReadDataSubBlocks(extension.SubBlocks);
          if (extension.Identifier == "NETSCAPE") ReadLoopCount(extension);
        } else {
          in_.Skip(extension.BlockSize);
          ReadDataSubBlocks(extension.SubBlocks);
        }
        break;
      default: {
        char text[40];
        std::snprintf(text, sizeof text, "unknown extension: %04X", unsigned(extension.Label));
        GifErrorText(text);
      }
    }
  }

  void ReadLoopCount(const TGifExtension& extension) {
    if (extension.SubBlocks.empty() || extension.SubBlocks[0].size() != 3) return;
    const TGifDataSubBlock& block = extension.SubBlocks[0];
    loopCount_ = block[1] + 256 * block[2];
  }

  void ReadImageDescriptor() {
    TGifImageRecord& image = images_.emplace_back();
    image.Extensions = std::move(pending_);
    pending_.clear();
    image.Left = in_.Word();
    image.Top = in_.Word();
    image.Width = in_.Word();
    // Rows below the screen are never shown: the index buffer holds only those above its end.
    const int32_t storedRows = in_.Word();
    image.Height = std::min(storedRows, screen_.Height);
    const uint8_t packed = in_.Byte();
    image.LocalColorTableFlag = (packed & 0x80) != 0;
    image.Interlaced = (packed & 0x40) != 0;
    image.SortFlag = (packed & 0x20) != 0;
    image.LocalColorTableSize = 2 << (packed & 7);
    image.ColorTable = image.LocalColorTableFlag ? ReadColorTable(image.LocalColorTableSize)
                                                 : screen_.GlobalColorTable;
    if (image.ColorTable < 0) GifError(geNoColorTable);
    image.MinCodeSize = in_.Byte();

    std::vector<uint8_t> data;
    for (uint8_t size = in_.Byte(); size >= 1; size = in_.Byte()) in_.Take(size, data);

    image.PixelCount = int64_t(image.Width) * image.Height;
    if (image.PixelCount == 0) GifError(geZeroSize);
    // Index buffers are no pictures (a wide row is cut to the screen when composed), but all
    // of them together keep to the pixel budget of one.
    totalPixels_ += image.PixelCount;
    if (totalPixels_ > plat::kMaxPicturePixels) GifErrorText("Image too large");
    // A GIF whose frames could never be composed is refused before its indices take memory.
    CheckGifFramesSize(screen_.Width, screen_.Height, int(images_.size()), false);
    image.Pixels.assign(size_t(image.PixelCount), 0);
    DecodeGifImage(image, data, storedRows);
  }

  ByteCursor& in_;
  std::string& header_;
  TGifScreenDescriptor& screen_;
  std::vector<TGifImageRecord>& images_;
  std::vector<TGifColorTable>& colorTables_;
  int32_t& loopCount_;
  std::vector<TGifExtension> pending_;
  int64_t totalPixels_ = 0;
};

}  // namespace

void TGif::LoadFromStream(plat::TStream& source) {
  plat::TMemoryStream stream;
  stream.LoadFromStream(source);
  ByteCursor in(stream);
  // Read into a fresh decoder, so that bad data leaves what was loaded before.
  TGif loaded;
  GifParser(in, loaded.header_, loaded.screen_, loaded.images_, loaded.colorTables_,
            loaded.loopCount_)
      .Run();
  header_ = std::move(loaded.header_);
  screen_ = loaded.screen_;
  images_ = std::move(loaded.images_);
  colorTables_ = std::move(loaded.colorTables_);
  loopCount_ = loaded.loopCount_;
}

}  // namespace html
