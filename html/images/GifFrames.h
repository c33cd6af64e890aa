// The page engine's GIF decoder: reads a GIF87a/GIF89a stream into frames of colour indices with
// their extensions, and composes all frames into one 24-bit bitmap (plus a mask when any frame
// is transparent), side by side in rows that keep within a picture's side.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace html {

// Numbers of the decoder's messages (GifErrorMessage gives the text).
enum TGifErrorNumber {
  geNoError = 0,
  geInvalidSignature = 1,
  geNoColorTable = 2,
  geUnknownExtensionType = 3,
  geUnknownOperationCode = 4,
  geInvalidExtensionSize = 5,
  geSpecialMessage = 6,
  geInvalidExtensionTerminator = 7,
  geInvalidIntegerSize = 8,
  geNoTerminator = 9,
  geExtensionOutOfOrder = 10,
  geInvalidImageIndex = 11,
  geInvalidCodeSize = 12,
  geInvalidLzwData = 13,
  geLzwOverflow = 14,
  geValueOutOfRange = 15,
  geNilPointer = 16,
  geInvalidColorTableSize = 17,
  geNoImage = 18,
  geInvalidBitmapImage = 19,
  geInvalidColorIndex = 20,
  geInvalidInterlacePass = 21,
  geInvalidBitmap = 22,
  geTooManyColors = 23,
  geUnexpectedEnd = 24,
  geAnimationTooLarge = 25,
  geZeroSize = 26,
  geNextMessage = 27,
};

// Raises error 25 when frames frames of width x height would make a frames bitmap (with a mask
// when transparent) beyond what one picture may hold.
void CheckGifFramesSize(int width, int height, int frames, bool transparent);
// How many frames of the given width stand side by side in a row of the frames bitmap: as many
// as a picture's side allows, at least 1; frame i is at column i mod that, row i div that.
int GifFramesPerRow(int width, int frames);
// The cell of frame index (from 0) in the frames bitmap of frames frames of width x height.
plat::TRect GifFrameCell(int index, int width, int height, int frames);

// The table text of an error number ("" outside the table).
const char* GifErrorMessage(int number);
// Raise EInvalidGraphicOperation "TGif: " + the table text, or + text.
[[noreturn]] void GifError(int number);
[[noreturn]] void GifErrorText(const std::string& text);

struct TGifScreenDescriptor {
  int32_t Width = 0;
  int32_t Height = 0;
  bool GlobalColorTableFlag = false;
  int32_t ColorResolution = 0;
  bool SortFlag = false;
  int32_t GlobalColorTableSize = 0;
  uint8_t BackgroundIndex = 0;
  uint8_t AspectRatio = 0;
  int32_t GlobalColorTable = -1;  // index into TGif::ColorTables(), -1: none
};

// Entries are TColor values (red in the low byte); only the first Count are filled.
struct TGifColorTable {
  int32_t Count = 0;
  std::array<uint32_t, 256> Colors{};
};

using TGifDataSubBlock = std::vector<uint8_t>;

enum : uint8_t {
  kGifGraphicControlLabel = 0xF9,
  kGifCommentLabel = 0xFE,
  kGifPlainTextLabel = 0x01,
  kGifApplicationLabel = 0xFF,
};

// One extension block; the fields that apply depend on Label.
struct TGifExtension {
  uint8_t Label = 0;
  uint8_t BlockSize = 0;
  // Graphic control.
  uint8_t Disposal = 0;
  bool UserInput = false;
  bool TransparentFlag = false;
  uint16_t Delay = 0;  // hundredths of a second
  uint8_t TransparentIndex = 0;
  // Plain text.
  uint16_t GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0;
  uint8_t CellWidth = 0, CellHeight = 0, ForegroundIndex = 0, BackgroundIndex = 0;
  // Application.
  std::string Identifier;
  std::string AuthenticationCode;
  // Comment, plain text and application data.
  std::vector<TGifDataSubBlock> SubBlocks;
};

struct TGifImageRecord {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool LocalColorTableFlag = false;
  bool Interlaced = false;
  bool SortFlag = false;
  int32_t LocalColorTableSize = 0;
  int32_t ColorTable = -1;  // index into TGif::ColorTables()
  uint8_t MinCodeSize = 0;
  std::vector<TGifExtension> Extensions;  // the extensions read before this image
  std::vector<uint8_t> Pixels;            // Width x Height colour indices, row by row
  int64_t PixelCount = 0;
};

class TGif {
 public:
  TGif();
  TGif(const TGif&) = delete;
  TGif& operator=(const TGif&) = delete;

  void Clear();
  // Reads the whole stream from its start; bad data raises EInvalidGraphicOperation and keeps
  // what was loaded before.
  void LoadFromStream(plat::TStream& source);

  int GetWidth() const { return screen_.Width; }
  int GetHeight() const { return screen_.Height; }
  int GetImageCount() const { return int(images_.size()); }
  // Indices count from 0; outside the images they raise error 15.
  int GetImageLeft(int index) const { return Image(index).Left; }
  int GetImageTop(int index) const { return Image(index).Top; }
  int GetImageWidth(int index) const { return Image(index).Width; }
  int GetImageHeight(int index) const { return Image(index).Height; }
  // Hundredths of a second, at least 1.
  int GetImageDelay(int index) const;
  // 0-3; 0 without a graphic control.
  int GetImageDisposal(int index) const;
  // -1 when the image has no transparent colour.
  int GetTransparentIndex(int index) const;
  // Some image has a transparent colour.
  bool GetTransparent() const;
  // The NETSCAPE loop count; -1 when the stream has none.
  int32_t LoopCount() const { return loopCount_; }

  // All frames in rows of GifFramesPerRow, each composed onto the one before. With
  // transparency, mask receives a monochrome bitmap of the same size, white where the picture
  // is transparent; otherwise mask is reset.
  std::unique_ptr<plat::TBitmap> BuildFramesBitmap(std::unique_ptr<plat::TBitmap>& mask) const;
  // The same into bitmap, which keeps its class.
  void BuildFramesBitmap(plat::TBitmap& bitmap, std::unique_ptr<plat::TBitmap>& mask) const;

  const std::string& Header() const { return header_; }
  const TGifScreenDescriptor& ScreenDescriptor() const { return screen_; }
  const std::vector<TGifImageRecord>& Images() const { return images_; }
  const std::vector<TGifColorTable>& ColorTables() const { return colorTables_; }
  // The first graphic control extension of the image, or nullptr.
  const TGifExtension* FindGraphicControl(int index) const;

 private:
  const TGifImageRecord& Image(int index) const;

  std::string header_;
  TGifScreenDescriptor screen_;
  std::vector<TGifImageRecord> images_;
  std::vector<TGifColorTable> colorTables_;
  int32_t loopCount_ = -1;
};

}  // namespace html
