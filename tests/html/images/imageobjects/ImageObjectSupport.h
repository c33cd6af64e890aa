// Image objects made from attributes, pictures written to files, and a document to size and
// draw them against.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "html/css/CssFonts.h"
#include "html/images/ImageCache.h"
#include "html/images/ImageObjects.h"
#include "html/layout/sections/PageSections.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/pictures/Bitmap.h"
#include "support/PixelCanvas.h"
#include "support/ScratchFolder.h"

namespace imageobjects {

// An attribute as the tokenizer gives it: the symbol, its text and the number the text starts
// with.
struct Attr {
  html::Symb Which;
  std::string Text;
  int32_t Number = 0;
};

inline void FillAttributes(html::TAttributeList& list, const std::vector<Attr>& attrs) {
  for (const Attr& a : attrs)
    list.Add(std::make_unique<html::TAttribute>(a.Which, a.Number, "", a.Text, 65001));
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A BMP of w x h pixels of one colour.
inline std::string SolidBmp(int w, int h, plat::TColor color) {
  plat::TBitmap bitmap;
  bitmap.SetPixelFormat(plat::pf24bit);
  bitmap.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap.Canvas().SetPixel(x, y, color);
  plat::TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// A 1 x 1 GIF with one frame per colour (0x00BBGGRR; the first four are told apart), each
// showing 100 ms.
inline std::string FramesGif(const std::vector<plat::TColor>& colors) {
  std::string gif = "GIF89a";
  const auto byte = [&gif](int b) { gif.push_back(char(b)); };
  byte(1), byte(0), byte(1), byte(0);  // logical screen 1 x 1
  byte(0x81), byte(0), byte(0);        // global table of 4 entries
  for (int i = 0; i < 4; ++i) {
    const plat::TColor c = i < int(colors.size()) ? colors[size_t(i)] : 0;
    byte(c & 0xFF), byte((c >> 8) & 0xFF), byte((c >> 16) & 0xFF);
  }
  for (size_t i = 0; i < colors.size(); ++i) {
    byte(0x21), byte(0xF9), byte(4), byte(0), byte(10), byte(0), byte(0), byte(0);
    byte(0x2C);
    for (int k = 0; k < 4; ++k) byte(0);
    byte(1), byte(0), byte(1), byte(0), byte(0);
    // LZW with 2-bit codes: clear (4), the index, end (5), three bits each.
    const int index = int(i % 4);
    byte(2), byte(2), byte(4 | (index << 3) | ((5 & 3) << 6)), byte(5 >> 2), byte(0);
  }
  byte(0x3B);
  return gif;
}

// A document with an image cache, and a canvas over 32-bit pixels to size and draw on.
class ImageObjectTest : public testing::Test, protected test_support::PixelCanvas {
 protected:
  static constexpr int kWidth = 300, kHeight = 200;

  ImageObjectTest() : PixelCanvas(kWidth, kHeight) { document.ImageCache = &cache; }
  ~ImageObjectTest() override { document.Clear(); }

  std::unique_ptr<html::TImageObj> Make(const std::vector<Attr>& attrs) {
    html::TAttributeList list;
    FillAttributes(list, attrs);
    return std::make_unique<html::TImageObj>(&document, 0, list);
  }
  void Size(html::TImageObj& image, int32_t availWidth = 400, int32_t heightBase = 0) {
    image.ComputeSize(canvas, availWidth, heightBase, font);
  }
  uint32_t At(int x, int y) const { return PixelAt(x, y); }

  html::TStringBitmapList cache;
  html::TSectionList document{nullptr, nullptr};
  html::TMyFont font;
  test_support::ScratchFolder folder;
};

}  // namespace imageobjects
