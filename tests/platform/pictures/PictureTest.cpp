// The picture container: extension registry, filters, loading by extension, clipboard.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PictureTestUtil.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Icon.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"
#include "platform/windows/TestSeams.h"
#include "support/PngBytes.h"

using namespace plat;
using namespace pictest;

namespace {

// A bitmap subclass registered in tests: it must survive unregistering TBitmap.
class TTestBitmap : public TBitmap {
 public:
  static const TGraphicClass& StaticClass() {
    static const TGraphicClass cls{"TTestBitmap", &TBitmap::StaticClass(),
                                   MakeGraphic<TTestBitmap>};
    return cls;
  }
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }
};

// Each test starts from the platform's own table and leaves it that way.
class PictureRegistry : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    TPicture::UnregisterGraphicClass(TTestBitmap::StaticClass());
    RegisterDefaultPictureFormats();
  }
};

std::string WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = JoinPath(WorkFolder(), name);
  WriteFileAtomically(path, bytes);
  return path;
}

std::string SmallBmp() {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(2, 3);
  bitmap.ScanLine(1)[3] = 0x77;
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

}  // namespace

TEST_F(PictureRegistry, LookupIgnoresCaseAndTakesTheNewestEntry) {
  EXPECT_EQ(TPicture::FindFileFormat("JPG"), &TJPEGImage::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("Bmp"), &TBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("ico"), &TIcon::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("png"), nullptr);
  EXPECT_EQ(TPicture::FindFileFormat(""), nullptr);

  TPicture::RegisterFileFormat("BMP", "Test bitmaps", TTestBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("bmp"), &TTestBitmap::StaticClass());
  // Removing TBitmap keeps its descendant's entry.
  TPicture::UnregisterGraphicClass(TBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("bmp"), &TTestBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("dib"), nullptr);
  TPicture::UnregisterGraphicClass(TTestBitmap::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("bmp"), nullptr);
  EXPECT_TRUE(TTestBitmap::StaticClass().InheritsFrom(TGraphic::StaticClass()));
  EXPECT_FALSE(TBitmap::StaticClass().InheritsFrom(TTestBitmap::StaticClass()));
}

TEST_F(PictureRegistry, FilterListsNewestFirstInBothCases) {
  for (const TFileFormat& format : TPicture::FileFormats()) {
    TPicture::UnregisterGraphicClass(*format.GraphicClass);
  }
  TPicture::RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("png", "Portable network graphic images",
                               TTestBitmap::StaticClass());
  TPicture::RegisterFileFormat("jpg", "JPG images", TJPEGImage::StaticClass());
  EXPECT_EQ(TPicture::GraphicFilter(),
            "All pictures (*.jpg *.JPG *.png *.PNG *.bmp *.BMP);;JPG images (*.jpg *.JPG);;"
            "Portable network graphic images (*.png *.PNG);;Bitmaps (*.bmp *.BMP)");
  EXPECT_EQ(TPicture::GraphicFilter(TBitmap::StaticClass()),
            "All pictures (*.png *.PNG *.bmp *.BMP);;Portable network graphic images (*.png "
            "*.PNG);;Bitmaps (*.bmp *.BMP)");
}

TEST_F(PictureRegistry, LoadFromFileByExtension) {
  EXPECT_EQ(PictureExtension("/a/b.dir/PHOTO.Bmp"), "bmp");
  EXPECT_EQ(PictureExtension("/a/b.dir/noext"), "");
  EXPECT_EQ(PictureExtension("/a/.bmp"), "bmp");

  const std::string bmp = WriteFile("picture.BMP", SmallBmp());
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(bmp);
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.Bitmap().PixelARGB(1, 1), 0xFF000077u);
  EXPECT_GE(changes, 1);
  TGraphic* loaded = picture.Graphic();

  // A damaged file and an unknown extension leave the loaded picture in place.
  const std::string broken = WriteFile("broken.bmp", "BM not really");
  EXPECT_THROW(picture.LoadFromFile(broken), EInvalidGraphic);
  const std::string unknown = WriteFile("picture.xyz", SmallBmp());
  try {
    picture.LoadFromFile(unknown);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(picture.LoadFromFile(JoinPath(WorkFolder(), "missing.bmp")), EFOpenError);
  const std::string fifo = JoinPath(WorkFolder(), "pipe.bmp");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(picture.LoadFromFile(fifo), EFOpenError);  // refused, not waited on
  ::unlink(fifo.c_str());
  EXPECT_EQ(picture.Graphic(), loaded);

  // Bitmap() replaces a graphic of another class by an empty bitmap.
  picture.SetGraphic(std::make_unique<TIcon>());
  EXPECT_TRUE(picture.Bitmap().Empty());
  for (const std::string& path : {bmp, broken, unknown}) DeleteFile(path);
}

TEST_F(PictureRegistry, AssignCopiesTheGraphic) {
  TPicture first;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(4, 4);
  first.SetGraphic(std::move(bitmap));
  TPicture second;
  second.Assign(first);
  ASSERT_NE(second.Graphic(), nullptr);
  EXPECT_NE(second.Graphic(), first.Graphic());
  EXPECT_EQ(second.Width(), 4);
  TJPEGImage jpeg;
  second.Assign(jpeg);
  EXPECT_NE(dynamic_cast<TJPEGImage*>(second.Graphic()), nullptr);
  TStringList notAPicture;
  EXPECT_THROW(second.Assign(notAPicture), EConvertError);
  EXPECT_NE(dynamic_cast<TJPEGImage*>(second.Graphic()), nullptr);
}

// A 32-bit bitmap goes through the clipboard with its alpha, also as the PNG other programs
// read; a picture without alpha comes back opaque.
TEST(Clipboard, PicturesRoundTripWithTheirAlpha) {
  TBitmap source;
  source.SetPixelFormat(pf32bit);
  source.SetSize(3, 2);
  for (int y = 0; y < 2; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(source.ScanLine(y));
    for (int x = 0; x < 3; ++x)
      row[x] = uint32_t(x * 80) << 24 | uint32_t(0x102030 * (x + 3 * y + 1));
  }
  Clipboard().Assign(source);
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));

  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.PixelFormat(), pf32bit);
  ASSERT_EQ(pasted.Width(), 3);
  ASSERT_EQ(pasted.Height(), 2);
  const test_support::PngPicture png = test_support::ReadPng(ClipboardData("image/png"));
  ASSERT_EQ(png.width, 3);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(pasted.PixelARGB(x, y), source.PixelARGB(x, y));
      EXPECT_EQ(png.argb[size_t(y * 3 + x)], source.PixelARGB(x, y));
    }
  }

  source.SetPixelFormat(pf24bit);
  Clipboard().Assign(source);
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.PixelFormat(), pf24bit);
  EXPECT_EQ(pasted.PixelARGB(0, 0), 0xFF000000u | (source.PixelARGB(0, 0) & 0xFFFFFF));

  TPicture picture;
  picture.Assign(Clipboard());
  EXPECT_EQ(picture.Width(), 3);

  TBitmap empty;
  Clipboard().Assign(empty);  // nothing to copy: the clipboard keeps its picture
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
}
