// Reading GIF streams: block structure, extensions, LZW data (against giflib) and bad input.
#include <gtest/gtest.h>

#include "GifTestStreams.h"
#include "html/images/GifFrames.h"
#include "platform/runtime/SysUtils.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;
using giftest::ImageBlock;

const giftest::Colors kFour = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

void Load(html::TGif& gif, const Bytes& bytes) {
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  gif.LoadFromStream(stream);
}

// The message of the error loading bytes raises ("" when it loads).
std::string LoadError(const Bytes& bytes) {
  html::TGif gif;
  try {
    Load(gif, bytes);
  } catch (const plat::EInvalidGraphicOperation& e) {
    return e.Message();
  }
  return "";
}

ImageBlock Solid(int width, int height, uint8_t index) {
  ImageBlock image;
  image.width = width;
  image.height = height;
  image.indices.assign(size_t(width) * size_t(height), index);
  image.lzw.minCodeSize = 2;
  return image;
}

// The bytes of an image descriptor with a 2-bit code size, for hand-made code streams.
Bytes WithCodes(std::initializer_list<int> codes, int width = 4, int height = 1) {
  Bytes data;
  uint32_t accumulator = 0;
  int bits = 0;
  for (int code : codes) {  // three bits each: the width before the table grows
    accumulator |= uint32_t(code) << bits;
    bits += 3;
    for (; bits >= 8; bits -= 8, accumulator >>= 8) data.push_back(uint8_t(accumulator));
  }
  if (bits > 0) data.push_back(uint8_t(accumulator));
  return GifBuilder(width, height, kFour)
      .ImageWithData(Solid(width, height, 0), giftest::SubBlocks(data))
      .Trailer()
      .Data();
}

TEST(GifStructure, SignatureIsCheckedWithoutRegardToCase) {
  html::TGif gif;
  Load(gif, GifBuilder(2, 1, kFour, "gif89a").Image(Solid(2, 1, 1)).Trailer().Data());
  EXPECT_EQ(gif.Header(), "gif89a");
  Load(gif, GifBuilder(2, 1, kFour, "GIF87a").Image(Solid(2, 1, 1)).Trailer().Data());
  EXPECT_EQ(gif.GetImageCount(), 1);

  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour, "GIF90a").Image(Solid(2, 1, 1)).Data()),
            "TGif: Invalid GIF Signature Code");
  EXPECT_EQ(LoadError({'G', 'I', 'F'}), "TGif: Invalid GIF Signature Code");
  EXPECT_EQ(LoadError({}), "TGif: Invalid GIF Signature Code");
}

TEST(GifStructure, ScreenAndTablesAreRead) {
  html::TGif gif;
  ImageBlock local = Solid(1, 1, 0);
  local.localTable = {0x102030};
  Load(gif, GifBuilder(300, 200, kFour).Image(Solid(1, 1, 0)).Image(local).Trailer().Data());
  EXPECT_EQ(gif.GetWidth(), 300);
  EXPECT_EQ(gif.GetHeight(), 200);
  EXPECT_EQ(gif.ScreenDescriptor().GlobalColorTableSize, 4);
  ASSERT_EQ(gif.ColorTables().size(), 2u);
  // Red in the low byte.
  EXPECT_EQ(gif.ColorTables()[0].Colors[0], 0x0000FFu);
  EXPECT_EQ(gif.ColorTables()[0].Colors[2], 0xFF0000u);
  EXPECT_EQ(gif.ColorTables()[1].Count, 2);
  EXPECT_EQ(gif.ColorTables()[1].Colors[0], 0x302010u);
  EXPECT_EQ(gif.Images()[0].ColorTable, 0);
  EXPECT_EQ(gif.Images()[1].ColorTable, 1);
}

TEST(GifStructure, EndOfDataAndTrailer) {
  html::TGif gif;
  // No trailer: the file ends where a block would start.
  Load(gif, GifBuilder(2, 1, kFour).Image(Solid(2, 1, 3)).Data());
  EXPECT_EQ(gif.GetImageCount(), 1);
  // Blocks after the trailer are not read.
  Load(gif, GifBuilder(2, 1, kFour).Image(Solid(2, 1, 3)).Trailer().Image(Solid(2, 1, 3)).Data());
  EXPECT_EQ(gif.GetImageCount(), 1);

  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Trailer().Data()), "TGif: No Image Description");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Comment("x").Data()), "TGif: No Image Description");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Raw({0x55}).Data()),
            "TGif: Unknown Graphics Operation Code");
}

TEST(GifStructure, BadBlocksRaiseTheirErrors) {
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour)
                          .Raw({0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0})
                          .Image(Solid(2, 1, 0))
                          .Data()),
            "TGif: Invalid Extension Block Size");
  EXPECT_EQ(
      LoadError(
          GifBuilder(2, 1, kFour).Raw({0x21, 0xF9, 4, 0, 0, 0, 0, 7}).Image(Solid(2, 1, 0)).Data()),
      "TGif: Invalid Extension Block Terminator");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Raw({0x21, 0x01, 11}).Data()),
            "TGif: Invalid Extension Block Size");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Raw({0x21, 0x02, 0}).Data()),
            "TGif: unknown extension: 0002");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, {}).Image(Solid(2, 1, 0)).Data()),
            "TGif: No Local or Global Color Table for Image");
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Image(Solid(0, 1, 0)).Data()),
            "TGif: Zero width or height");
  // A sub-block shorter than its size byte, in an extension and in image data.
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).Raw({0x21, 0xFE, 10, 'a', 'b'}).Data()),
            "TGif: Unexpected end of file");
  Bytes cut = GifBuilder(8, 8, kFour).Image(Solid(8, 8, 1)).Data();
  cut.resize(cut.size() - 3);
  EXPECT_EQ(LoadError(cut), "TGif: Unexpected end of file");
  // An index buffer beyond the pixel budget is refused before it is made.
  EXPECT_EQ(
      LoadError(GifBuilder(1, 20000, kFour).ImageWithData(Solid(20000, 20000, 0), {0}).Data()),
      "TGif: Image too large");
}

TEST(GifStructure, FieldsCutShortReadAsZero) {
  // The screen descriptor ends after its width: the rest reads as 0, the block loop ends at
  // once and there is no image.
  EXPECT_EQ(LoadError({'G', 'I', 'F', '8', '9', 'a', 5, 0}), "TGif: No Image Description");
  // The code stream stops early (no end code): the rest of the image stays index 0.
  Bytes indices = giftest::RandomIndices(64, 3, 5);
  for (uint8_t& index : indices) ++index;
  ImageBlock image = Solid(64, 1, 0);
  image.indices = indices;
  Bytes codes = giftest::EncodeLzw(indices, image.lzw);
  codes.resize(4);
  html::TGif gif;
  Load(gif, GifBuilder(64, 1, kFour).ImageWithData(image, giftest::SubBlocks(codes)).Data());
  EXPECT_EQ(gif.Images()[0].Pixels.front(), indices.front());
  EXPECT_EQ(gif.Images()[0].Pixels.back(), 0);
}

TEST(GifExtensions, LoopCountComesFromTheNetscapeBlock) {
  auto loopCount = [](const Bytes& bytes) {
    html::TGif gif;
    Load(gif, bytes);
    return gif.LoopCount();
  };
  const ImageBlock image = Solid(2, 1, 0);
  EXPECT_EQ(loopCount(GifBuilder(2, 1, kFour).Image(image).Data()), -1);
  EXPECT_EQ(loopCount(GifBuilder(2, 1, kFour).Netscape({1, 3, 0}).Image(image).Data()), 3);
  EXPECT_EQ(loopCount(GifBuilder(2, 1, kFour).Netscape({9, 0x10, 0x27}).Image(image).Data()),
            10000);
  EXPECT_EQ(loopCount(GifBuilder(2, 1, kFour).Netscape({1, 3, 0, 0}).Image(image).Data()), -1);
  // A later block overrides an earlier one, even after the image.
  EXPECT_EQ(
      loopCount(
          GifBuilder(2, 1, kFour).Netscape({1, 3, 0}).Image(image).Netscape({1, 0, 0}).Data()),
      0);
  // An application block of another size is skipped with its data.
  EXPECT_EQ(loopCount(GifBuilder(2, 1, kFour)
                          .Raw({0x21, 0xFF, 3, 'N', 'E', 'T', 3, 1, 5, 0, 0})
                          .Image(image)
                          .Data()),
            -1);
}

TEST(GifExtensions, FramePropertiesComeFromTheFirstGraphicControl) {
  html::TGif gif;
  Load(gif, GifBuilder(2, 1, kFour)
                .GraphicControl(2, 0)
                .Image(Solid(2, 1, 0))
                .GraphicControl(7, 250, 3)
                .GraphicControl(1, 9, 1)
                .Comment("between")
                .Image(Solid(2, 1, 0))
                .Image(Solid(2, 1, 0))
                .GraphicControl(1, 5, 2)  // after the last image: belongs to none
                .Data());
  ASSERT_EQ(gif.GetImageCount(), 3);
  EXPECT_EQ(gif.GetImageDelay(0), 1);  // 0 counts as 1
  EXPECT_EQ(gif.GetImageDisposal(0), 2);
  EXPECT_EQ(gif.GetTransparentIndex(0), -1);
  EXPECT_EQ(gif.GetImageDelay(1), 250);
  EXPECT_EQ(gif.GetImageDisposal(1), 3);  // 7 and 3
  EXPECT_EQ(gif.GetTransparentIndex(1), 3);
  EXPECT_EQ(gif.Images()[1].Extensions.size(), 3u);
  EXPECT_EQ(gif.GetImageDelay(2), 1);
  EXPECT_EQ(gif.GetImageDisposal(2), 0);
  EXPECT_EQ(gif.GetTransparentIndex(2), -1);
  EXPECT_TRUE(gif.GetTransparent());
  EXPECT_THROW(gif.GetImageLeft(3), plat::EInvalidGraphicOperation);
  EXPECT_THROW(gif.GetImageDelay(-1), plat::EInvalidGraphicOperation);

  // Bad data keeps what was loaded.
  EXPECT_THROW(Load(gif, GifBuilder(2, 1, kFour).Image(Solid(2, 1, 0)).Raw({0x55}).Data()),
               plat::EInvalidGraphicOperation);
  EXPECT_EQ(gif.GetImageCount(), 3);
  EXPECT_EQ(gif.GetImageDelay(1), 250);

  Load(gif, GifBuilder(2, 1, kFour).GraphicControl(0, 4).Image(Solid(2, 1, 0)).Data());
  EXPECT_FALSE(gif.GetTransparent());
  gif.Clear();
  EXPECT_EQ(gif.Header(), "------");
  EXPECT_EQ(gif.GetImageCount(), 0);
}

TEST(GifImages, TallImagesAreCutToTheScreenAndWideOnesKeepTheirWidth) {
  ImageBlock image;
  image.width = 5;
  image.height = 4;
  image.indices = giftest::RandomIndices(20, 4, 7);
  image.lzw.minCodeSize = 2;
  html::TGif gif;
  Load(gif, GifBuilder(3, 2, kFour).Image(image).Data());
  EXPECT_EQ(gif.GetImageWidth(0), 5);
  EXPECT_EQ(gif.GetImageHeight(0), 2);
  EXPECT_EQ(gif.Images()[0].Pixels, Bytes(image.indices.begin(), image.indices.begin() + 10));
}

// An interlaced image whose rows are stored pass by pass: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1. Each row holds its own row number + 1, so a row in the
// wrong place shows.
ImageBlock NumberedInterlacedRows(int width, int height) {
  ImageBlock image;
  image.width = width;
  image.height = height;
  image.interlaced = true;
  image.lzw.minCodeSize = 5;
  const int first[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int row = first[pass]; row < height; row += step[pass])
      image.indices.insert(image.indices.end(), size_t(width), uint8_t(row + 1));
  return image;
}

TEST(GifImages, InterlacedRowsArriveInFourPasses) {
  // Short images have passes without rows.
  for (int height = 1; height <= 20; ++height) {
    html::TGif gif;
    Load(gif, GifBuilder(3, height, giftest::Colors(32, 0))
                  .Image(NumberedInterlacedRows(3, height))
                  .Data());
    for (int y = 0; y < height; ++y)
      EXPECT_EQ(gif.Images()[0].Pixels[size_t(y * 3)], y + 1)
          << "height " << height << " row " << y;
  }
}

TEST(GifImages, InterlacedImagesTallerThanTheScreenKeepTheirTopRowsInPlace) {
  // The rows are stored in the passes of the image's own height; those below the screen go.
  for (int height = 2; height <= 20; ++height)
    for (int screen = 1; screen < height; ++screen) {
      html::TGif gif;
      Load(gif, GifBuilder(2, screen, giftest::Colors(32, 0))
                    .Image(NumberedInterlacedRows(2, height))
                    .Trailer()
                    .Data());
      Bytes rows;
      for (int y = 0; y < screen; ++y) rows.insert(rows.end(), 2, uint8_t(y + 1));
      EXPECT_EQ(gif.Images()[0].Pixels, rows) << "height " << height << " screen " << screen;
    }
}

TEST(GifImages, AFrameWiderThanAPictureSideLoadsOnASmallScreen) {
  // Its index row is no picture; only the columns on the screen are ever shown.
  ImageBlock image = Solid(33000, 1, 0);
  const Bytes data = giftest::SubBlocks(giftest::EncodeLzw({1, 2, 3, 1}, image.lzw));
  html::TGif gif;
  Load(gif, GifBuilder(4, 1, kFour).ImageWithData(image, data).Trailer().Data());
  EXPECT_EQ(gif.GetImageWidth(0), 33000);
  EXPECT_EQ(Bytes(gif.Images()[0].Pixels.begin(), gif.Images()[0].Pixels.begin() + 5),
            (Bytes{1, 2, 3, 1, 0}));
  std::unique_ptr<plat::TBitmap> mask;
  const std::unique_ptr<plat::TBitmap> frames = gif.BuildFramesBitmap(mask);
  ASSERT_EQ(frames->Width(), 4);
  EXPECT_EQ(frames->PixelARGB(1, 0), 0xFF0000FFu);
  EXPECT_EQ(frames->PixelARGB(3, 0), 0xFF00FF00u);
}

TEST(GifImages, CodesAfterTheLastPixelAreNotDecoded) {
  // Three pixels too many would start the first pass over and overwrite row 0.
  for (bool interlaced : {false, true}) {
    ImageBlock image;
    image.width = 3;
    image.height = 8;
    image.interlaced = interlaced;
    image.lzw.minCodeSize = 5;
    image.indices.assign(24, 1);
    image.indices.insert(image.indices.end(), {9, 9, 9});
    html::TGif gif;
    Load(gif, GifBuilder(3, 8, giftest::Colors(32, 0)).Image(image).Data());
    EXPECT_EQ(gif.Images()[0].Pixels, std::vector<uint8_t>(24, 1)) << interlaced;
  }
}

struct LzwCase {
  int width, height, minCodeSize, colors;
  bool clearWhenFull;
};

class GifLzw : public testing::TestWithParam<LzwCase> {};

TEST_P(GifLzw, DecodesWhatGiflibDecodes) {
  const LzwCase c = GetParam();
  ImageBlock image;
  image.width = c.width;
  image.height = c.height;
  image.indices =
      giftest::RandomIndices(size_t(c.width) * size_t(c.height), c.colors, uint32_t(c.width));
  image.lzw = {c.minCodeSize, c.clearWhenFull};
  const Bytes bytes = GifBuilder(c.width, c.height, giftest::Colors(size_t(1) << c.minCodeSize, 0))
                          .Image(image)
                          .Trailer()
                          .Data();
  std::vector<giftest::OracleImage> oracle;
  ASSERT_TRUE(giftest::DecodeWithGiflib(bytes, oracle));
  ASSERT_EQ(oracle.size(), 1u);
  ASSERT_EQ(oracle[0].indices, image.indices) << "the test's encoder disagrees with giflib";

  html::TGif gif;
  Load(gif, bytes);
  EXPECT_EQ(gif.Images()[0].Pixels, oracle[0].indices);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, GifLzw,
    testing::Values(LzwCase{1, 1, 2, 2, true}, LzwCase{7, 5, 2, 4, true},
                    LzwCase{33, 17, 3, 8, true}, LzwCase{64, 64, 4, 16, true},
                    LzwCase{120, 90, 8, 256, true}, LzwCase{300, 200, 8, 200, true},
                    // the table fills and 12-bit codes go on without a clear code
                    LzwCase{300, 200, 8, 256, false}, LzwCase{256, 256, 2, 4, false}));

TEST(GifLzwOracle, ReadsWhatGiflibWrites) {
  for (int bits : {1, 3, 8}) {
    const Bytes indices = giftest::RandomIndices(97 * 61, 1 << bits, uint32_t(bits));
    html::TGif gif;
    Load(gif, giftest::EncodeWithGiflib(97, 61, bits, indices));
    EXPECT_EQ(gif.Images()[0].Pixels, indices) << bits;
  }
}

TEST(GifLzwCodes, HandMadeCodeStreams) {
  html::TGif gif;
  // Clear (4), 1, 6 (the next free code: 1 1), 6; the data ends without an end code.
  Load(gif, WithCodes({4, 1, 6, 6}, 5));
  EXPECT_EQ(gif.Images()[0].Pixels, (Bytes{1, 1, 1, 1, 1}));
  // Clear, 1, 1, 1, end: the last 1 lies wholly in the byte fetched for the code before it.
  const Bytes lastInBuffer = WithCodes({4, 1, 1, 1, 5}, 3);
  std::vector<giftest::OracleImage> oracle;
  ASSERT_TRUE(giftest::DecodeWithGiflib(lastInBuffer, oracle));
  ASSERT_EQ(oracle[0].indices, (Bytes{1, 1, 1}));
  Load(gif, lastInBuffer);
  EXPECT_EQ(gif.Images()[0].Pixels, oracle[0].indices);
  // Repeated clear codes are read past.
  Load(gif, WithCodes({4, 4, 4, 2, 3, 5}));
  EXPECT_EQ(gif.Images()[0].Pixels, (Bytes{2, 3, 0, 0}));
  // A first code of 0 without a clear code starts the table as a clear code would.
  Load(gif, WithCodes({0, 2, 6, 5}));
  EXPECT_EQ(gif.Images()[0].Pixels, (Bytes{0, 2, 0, 2}));
  // More pixels than the image holds are dropped.
  Load(gif, WithCodes({4, 1, 2, 5}, 1));
  EXPECT_EQ(gif.Images()[0].Pixels, (Bytes{1}));

  EXPECT_EQ(LoadError(WithCodes({1, 5})), "TGif: Invalid LZW Data Format");
  EXPECT_EQ(LoadError(WithCodes({4, 5})), "TGif: Invalid LZW Data Format");
  EXPECT_EQ(LoadError(WithCodes({4, 1, 7, 5})), "TGif: Invalid LZW Data Format");
  EXPECT_EQ(LoadError(WithCodes({4, 4, 5})), "TGif: Invalid LZW Data Format");
  ImageBlock wide = Solid(2, 1, 0);
  wide.lzw.minCodeSize = 12;
  EXPECT_EQ(LoadError(GifBuilder(2, 1, kFour).ImageWithData(wide, {1, 0xFF, 0}).Data()),
            "TGif: Invalid LZW Code Size");
}

}  // namespace
