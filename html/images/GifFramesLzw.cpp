// LZW decoding of one GIF image into its index buffer, with interlaced row order.
#include "html/images/GifFramesLzw.h"

#include <array>

namespace html {

namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxCodeSize = 12;

class LzwDecoder {
 public:
  LzwDecoder(TGifImageRecord& image, const std::vector<uint8_t>& data, int storedRows)
      : image_(image),
        data_(data),
        storedRows_(storedRows),
        storedPixels_(int64_t(image.Width) * storedRows) {}

  void Run() {
    // Wider codes than 12 bits cannot be read; refuse before 2^MinCodeSize is even formed.
    if (image_.MinCodeSize >= kMaxCodeSize) GifError(geInvalidCodeSize);
    codeSize_ = image_.MinCodeSize + 1;
    clearCode_ = 1 << image_.MinCodeSize;
    endCode_ = clearCode_ + 1;
    highLiteral_ = clearCode_ - 1;

    int code = ReadCode();
    int oldCode = code;
    while (code != endCode_) {
      if (code == clearCode_) {
        ResetTable();
        do code = ReadCode();
        while (code == clearCode_);
        if (code == endCode_) GifError(geInvalidLzwData);
        if (code >= nextCode_) code = 0;
        Push(code);
        oldCode = code;
      } else if (nextCode_ == 0) {
        // Data that starts without a clear code: only code 0 fits the empty table, and it is
        // taken as if a clear code had come first.
        if (code != 0) GifError(geInvalidLzwData);
        ResetTable();
        Push(0);
        oldCode = 0;
      } else if (code >= nextCode_) {
        if (code != nextCode_) GifError(geInvalidLzwData);
        AddEntry(oldCode, FirstByte(oldCode));
        CheckCodeSize();
        PushString(code);
        oldCode = code;
      } else {
        const int first = PushString(code);
        AddEntry(oldCode, first);
        oldCode = code;
        CheckCodeSize();
      }
      FlushPixels();
      // Codes after the image's last pixel would start the rows over.
      if (pixelsOut_ >= storedPixels_) break;
      // The last byte can hold more than one code: stop only when no whole code is left.
      if (position_ >= data_.size() && bitCount_ < codeSize_) break;
      code = ReadCode();
    }
  }

 private:
  int ReadCode() {
    while (bitCount_ < codeSize_) {
      const uint32_t next = position_ < data_.size() ? data_[position_++] : 0;
      bitBuffer_ |= next << bitCount_;
      bitCount_ += 8;
    }
    const int code = int(bitBuffer_ & ((1u << codeSize_) - 1));
    bitBuffer_ >>= codeSize_;
    bitCount_ -= codeSize_;
    return code;
  }

  void ResetTable() {
    codeSize_ = image_.MinCodeSize + 1;
    nextCode_ = endCode_ + 1;
    codeLimit_ = 1 << codeSize_;
  }

  void AddEntry(int prefix, int suffix) {
    if (nextCode_ > codeLimit_ || nextCode_ >= kTableSize) return;
    prefix_[size_t(nextCode_)] = uint16_t(prefix);
    suffix_[size_t(nextCode_)] = uint16_t(suffix);
    ++nextCode_;
  }

  void CheckCodeSize() {
    if (nextCode_ >= codeLimit_ && codeSize_ < kMaxCodeSize) {
      codeLimit_ *= 2;
      ++codeSize_;
    }
  }

  // The literal a code's string starts with. Corrupt data can chain an entry to itself, so the
  // walk is bounded by the table's size.
  int FirstByte(int code) const {
    for (int steps = 0; code > highLiteral_; ++steps) {
      if (steps == kTableSize) GifError(geInvalidLzwData);
      code = prefix_[size_t(code)];
    }
    return code;
  }

  // Pushes the string of code (last byte first) and returns its first byte.
  int PushString(int code) {
    while (code > highLiteral_) {
      Push(suffix_[size_t(code)]);
      code = prefix_[size_t(code)];
    }
    Push(code);
    return code;
  }

  void Push(int value) {
    if (stackCount_ == kTableSize) GifError(geInvalidLzwData);
    stack_[size_t(stackCount_++)] = uint8_t(value);
  }

  void FlushPixels() {
    for (; stackCount_ > 0 && pixelsOut_ < storedPixels_; ++pixelsOut_) {
      const int64_t index = y_ * image_.Width + x_;
      const uint8_t value = stack_[size_t(--stackCount_)];
      if (index >= 0 && index < image_.PixelCount) image_.Pixels[size_t(index)] = value;
      NextPixel();
    }
    stackCount_ = 0;
  }

  void NextPixel() {
    if (pass_ == 0) pass_ = 1;
    if (++x_ < image_.Width) return;
    x_ = 0;
    if (!image_.Interlaced) {
      ++y_;
      return;
    }
    static constexpr int kStep[] = {8, 8, 4, 2};
    static constexpr int kFirstRow[] = {0, 4, 2, 1};
    y_ += kStep[pass_ - 1];
    // Passes that have no row in a short image are skipped (pass 1 always has row 0).
    while (y_ >= storedRows_) {
      pass_ = pass_ % 4 + 1;
      y_ = kFirstRow[pass_ - 1];
    }
  }

  TGifImageRecord& image_;
  const std::vector<uint8_t>& data_;
  const int storedRows_;
  const int64_t storedPixels_;
  size_t position_ = 0;

  std::array<uint16_t, kTableSize> prefix_{};
  std::array<uint16_t, kTableSize> suffix_{};
  std::array<uint8_t, kTableSize> stack_{};
  int stackCount_ = 0;
  int clearCode_ = 0, endCode_ = 0, highLiteral_ = 0;
  int codeSize_ = 0;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  int nextCode_ = 0;
  int codeLimit_ = 0;
  int64_t x_ = 0, y_ = 0;
  int64_t pixelsOut_ = 0;
  int pass_ = 0;
};

}  // namespace

void DecodeGifImage(TGifImageRecord& image, const std::vector<uint8_t>& data, int storedRows) {
  LzwDecoder(image, data, storedRows).Run();
}

}  // namespace html
