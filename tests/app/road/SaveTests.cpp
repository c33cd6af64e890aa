// The composed picture and its JPEG file: size at any screen zoom, quality-100 tables, pixels
// against a composition computed here, forced extension and failures that keep everything.
#include <gtest/gtest.h>

#include <filesystem>

#include "RoadSupport.h"
#include "app/road/Background.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"

namespace {

using namespace road_test;

constexpr uint32_t kNavy32 = 0xFF000080;

class SaveTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteQuadrantsBackground(folder.File("bg.bmp"));
    WriteKeyedLayer(folder.File("layer.bmp"));

    app::InstallBackground(view, pristine, app::ReadBackground(folder.File("bg.bmp")));
    around = {400, 300, 400, 300};
    app::TPictureLayerRequest request;
    request.FileName = folder.File("layer.bmp");
    request.X = 100;
    request.Y = 50;
    picture = &app::AddPictureLayer(view.Layers(), request, around);
    app::ApplyLayerOpacity(*picture, 128);
    app::ApplyLayerScale(*picture, 50);
  }

  app::TRenderText NavyText() const {
    app::TRenderText text;
    text.FontName = "DejaVu Sans";
    text.Size = 40;
    text.TextColor = 0xFFFFFFFF;
    text.BackColor = 0x800000;
    text.Text = "Ab";
    return text;
  }

  // What the background shows at (x, y) with the picture layer at (100, 50), 60 x 40, opacity
  // 128, in the flat parts of its blocks.
  static uint32_t Expected(int x, int y) {
    const uint32_t bg = kTopLeft;
    if (x >= 110 && x < 120 && y >= 60 && y < 70) return bg;
    return Over(x < 130 ? kYellow : kBlack, bg, 128);
  }

  ScratchFolder folder;
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::TLayerSurroundings around;
  gfx::TBitmapLayer* picture = nullptr;
};

TEST_F(SaveTest, CompositionBlendsVisibleLayersAtTheBackgroundSize) {
  app::TTextLayerStyle style;
  style.TextTop = 200;
  const gfx::TBitmapLayer& text = app::AddTextLayer(view.Layers(), NavyText(), style, around);
  gfx::TBitmapLayer& hidden =
      app::AddPictureLayer(view.Layers(), {folder.File("layer.bmp")}, around);
  hidden.SetVisible(false);
  view.SetScale(2.5f);

  const auto b = app::ComposePicture(view);
  ASSERT_TRUE(b);
  ASSERT_EQ(b->Width(), 400);
  ASSERT_EQ(b->Height(), 300);
  for (int y = 52; y < 88; ++y)
    for (int x = 102; x < 158; ++x)
      ASSERT_LE(MaxChannelDifference(b->Pixel(x, y), Expected(x, y)), 1) << x << "," << y;
  // Outside the layers, including where the hidden one would be, the background is untouched.
  EXPECT_EQ(b->Pixel(10, 10) | 0xFF000000u, kTopLeft);
  EXPECT_EQ(b->Pixel(300, 100) | 0xFF000000u, kTopRight);
  EXPECT_EQ(b->Pixel(390, 290) | 0xFF000000u, kBottomRight);
  // The text box is opaque navy in its leading blank column.
  const gfx::TFloatRect r = text.Location();
  EXPECT_EQ(r.Left, 50);
  EXPECT_EQ(r.Top, 200);
  EXPECT_EQ(b->Pixel(51, int(r.Top) + 2) | 0xFF000000u, kNavy32);
  EXPECT_EQ(b->Pixel(51, int(r.Bottom) - 2) | 0xFF000000u, kNavy32);
}

TEST_F(SaveTest, SavedJpegIsQuality100UnderTheForcedNameAndMatchesTheComposition) {
  view.SetScale(0.5f);
  const std::string written = app::SaveAsJpeg(view, folder.File("out.png"));
  EXPECT_EQ(written, folder.File("out.jpg"));
  EXPECT_FALSE(std::filesystem::exists(folder.File("out.png")));

  const std::string bytes = ReadBytes(written);
  const std::vector<int> q = QuantisationEntries(bytes);
  ASSERT_EQ(q.size(), 128u);  // luminance and chrominance
  for (int v : q) EXPECT_EQ(v, 1);

  gfx::TBitmap32 back;
  back.LoadFromFile(written);
  ASSERT_EQ(back.Width(), 400);
  ASSERT_EQ(back.Height(), 300);
  // Flat parts at least 3 pixels from any colour edge.
  const struct {
    int x0, y0, x1, y1;
  } flats[] = {{103, 53, 107, 87}, {123, 53, 127, 87}, {133, 53, 157, 87}, {113, 63, 116, 66}};
  for (const auto& f : flats)
    for (int y = f.y0; y <= f.y1; ++y)
      for (int x = f.x0; x <= f.x1; ++x)
        ASSERT_LE(MaxChannelDifference(back.Pixel(x, y), Expected(x, y)), 6) << x << "," << y;
  EXPECT_LE(MaxChannelDifference(back.Pixel(300, 250), kBottomRight), 2);
  EXPECT_LE(MaxChannelDifference(back.Pixel(50, 250), kBottomLeft), 2);
}

TEST_F(SaveTest, JpegExtensionIsForcedOnTheFileNamePartOnly) {
  const struct {
    const char* typed;
    const char* written;
  } cases[] = {
      {"/p/photo.png", "/p/photo.jpg"},
      {"/p/photo", "/p/photo.jpg"},
      {"/p/PHOTO.JPG", "/p/PHOTO.JPG"},
      {"/p/photo.Jpg", "/p/photo.Jpg"},
      {"/p/my.pics/photo", "/p/my.pics/photo.jpg"},
      {"/p/a.b.jpeg", "/p/a.b.jpg"},
      {"/p/12:30", "/p/12:30.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::ForcedJpegName(c.typed), c.written) << c.typed;
}

TEST_F(SaveTest, FailedSaveKeepsTheOldFileThePictureAndTheLayers) {
  // A folder in the way of the final name makes the rename fail after encoding.
  std::filesystem::create_directory(folder.File("taken.jpg"));
  std::filesystem::path keep = folder.File("taken.jpg");
  std::ofstream(keep / "inside.txt") << "kept";
  const int32_t layers = view.Layers().Count();
  const uint32_t corner = view.Bitmap().Pixel(0, 0);
  EXPECT_THROW(app::SaveAsJpeg(view, folder.File("taken.png")), std::exception);
  EXPECT_TRUE(std::filesystem::exists(keep / "inside.txt"));
  EXPECT_THROW(app::SaveAsJpeg(view, folder.File("missing/out.jpg")), std::exception);
  // Nothing but what the test made is left in the folder.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 3);  // bg.bmp, layer.bmp, taken.jpg
  EXPECT_EQ(view.Layers().Count(), layers);
  EXPECT_EQ(view.Bitmap().Pixel(0, 0), corner);
}

TEST_F(SaveTest, NoPictureMeansNothingWrittenAndFlattenBakesTheLayersIn) {
  gfx::TImage32 empty{nullptr};
  EXPECT_EQ(app::SaveAsJpeg(empty, folder.File("none.jpg")), "");
  EXPECT_FALSE(std::filesystem::exists(folder.File("none.jpg")));

  app::Flatten(view);
  EXPECT_EQ(view.Layers().Count(), 0);
  ASSERT_EQ(view.Bitmap().Width(), 400);
  EXPECT_LE(MaxChannelDifference(view.Bitmap().Pixel(140, 70), Expected(140, 70)), 1);
  EXPECT_EQ(view.Bitmap().Pixel(115, 65) | 0xFF000000u, kTopLeft);
}

}  // namespace
