// The layer builder and the layer the main window builds from it, against a model written from
// their rules: random pictures, random use of the builder's controls, and the builder used by
// mouse and keys in its own modal run.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "OverlayModel.h"
#include "OverlaySupport.h"
#include "app/colors/ColorInteraction.h"
#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "support/DialogUser.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

using namespace overlay_test;
using namespace overlay_model;
using app::TRGBALoaderForm;

struct Grid {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  uint32_t& at(int x, int y) { return px[size_t(y) * w + x]; }
  void FlipHorz() {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w / 2; ++x) std::swap(at(x, y), at(w - 1 - x, y));
  }
  void FlipVert() {
    for (int y = 0; y < h / 2; ++y)
      for (int x = 0; x < w; ++x) std::swap(at(x, y), at(x, h - 1 - y));
  }
  void Invert() {
    for (uint32_t& c : px) c ^= 0x00FFFFFF;
  }
  void Grey() {
    for (uint32_t& c : px) c = Gray(c);
  }
  // Stretched to w x h: by whole factors, or any size when every pixel is alike.
  std::vector<uint32_t> StretchedTo(int W, int H) const {
    std::vector<uint32_t> out;
    if (px.empty()) return out;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) out.push_back(px[size_t(y * h / H) * w + x * w / W]);
    return out;
  }
};

std::vector<uint32_t> PixelsOf(const gfx::TBitmap32& b) {
  return std::vector<uint32_t>(b.Bits(), b.Bits() + size_t(b.Width()) * b.Height());
}

// The first pixel, if any, that lies outside the model's range.
testing::AssertionResult Matches(const gfx::TBitmap32& b, const std::vector<PixelRange>& want,
                                 int w) {
  const std::vector<uint32_t> got = PixelsOf(b);
  if (got.size() != want.size())
    return testing::AssertionFailure() << got.size() << " pixels, " << want.size() << " expected";
  for (size_t i = 0; i < got.size(); ++i)
    if (!want[i].Holds(got[i]))
      return testing::AssertionFailure()
             << "pixel " << i % w << "," << i / w << " is " << std::hex << got[i] << ", range "
             << want[i].lo[3] << ".." << want[i].hi[3] << " a " << want[i].lo[2] << ".."
             << want[i].hi[2] << " r " << want[i].lo[1] << ".." << want[i].hi[1] << " g "
             << want[i].lo[0] << ".." << want[i].hi[0] << " b";
  return testing::AssertionSuccess();
}

TEST(OverlayLayerScaleModel, AgreesOverRandomAndExtremeSizes) {
  std::mt19937 rng(126);
  const int edges[] = {1, 2, 3, 99, 100, 101, 4000, 32767};
  auto pick = [&](int i) {
    return i % 3 == 0 ? edges[rng() % std::size(edges)] : int(rng() % 32767) + 1;
  };
  for (int i = 0; i < 200000; ++i) {
    const int W = pick(i), H = pick(i >> 1), BgW = pick(i >> 2), BgH = pick(i >> 3);
    ASSERT_EQ(app::OverlayLayerScale(W, H, BgW, BgH), LayerScale(W, H, BgW, BgH))
        << W << "x" << H << " on " << BgW << "x" << BgH;
  }
}

class OverlayOracle : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    Start();
  }
  Grid Random(int w, int h, bool flat) {
    Grid p{w, h, {}};
    // Mostly opaque, as photos are; the rest with any alpha.
    auto next = [this] { return uint32_t(rng()) | (rng() % 3 ? 0xFF000000u : 0u); };
    const uint32_t one = next();
    for (int i = 0; i < w * h; ++i) p.px.push_back(flat ? one : next());
    return p;
  }
  std::string Saved(const Grid& p, const std::string& name) {
    return WritePicture(folder, name, p.w, p.h,
                        [&p](int x, int y) { return p.px[size_t(y) * p.w + x]; });
  }

  std::mt19937 rng{142};
  ScratchFolder folder;
  std::string answer;
};

// The builder used at random: pictures of random sizes and pixels (overlays stretched by whole
// factors or flat), loaded in the builder or remembered from the last use with random filter
// switches, then flips, inversions, both gauges and both groups in random order. The preview, the
// layer the main window builds and the switches it remembers all follow the model.
TEST_F(OverlayOracle, RandomUsesBuildTheLayerTheRulesDescribe) {
  // The gauges keep their places from one use to the next.
  int layerGauge = 255, overlayGauge = 125;
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    const int bgW = int(rng() % 60) + 1, bgH = int(rng() % 60) + 1;
    form->LoadBackground(Picture("bg.bmp", bgW, bgH));
    const int kx = int(rng() % 3) + 1, ky = int(rng() % 3) + 1;
    const int kind = int(rng() % 4);  // 0 no overlay, 1 flat of any size, else stretched
    Grid background, overlay;
    if (kind == 1) {
      overlay = Random(int(rng() % 30) + 1, int(rng() % 30) + 1, true);
      background = Random(int(rng() % 40) + 1, int(rng() % 40) + 1, false);
    } else {
      overlay = Random(int(rng() % 14) + 1, int(rng() % 14) + 1, false);
      background = Random(overlay.w * kx, overlay.h * ky, false);
      if (kind == 0) overlay = {};
    }
    const std::string bgFile = Saved(background, "layer" + std::to_string(round) + ".bmp");
    const std::string ovFile =
        overlay.px.empty() ? "" : Saved(overlay, "overlay" + std::to_string(round) + ".bmp");
    const Grid backgroundFile = background, overlayFile = overlay;
    // Remembered pictures open with the switches applied, invert first.
    const bool remembered = rng() % 3 == 0;
    bool rgbInvert = remembered && rng() % 2, rgbGray = remembered && rng() % 2;
    bool overlayInvert = remembered && rng() % 2, overlayGray = remembered && rng() % 2;
    form->OverlayBackgroundFile = remembered ? bgFile : "";
    form->OverlayFile = remembered ? ovFile : "";
    form->RgbInvert = rgbInvert, form->RgbGray = rgbGray;
    form->OverlayInvert = overlayInvert, form->OverlayGray = overlayGray;
    if (rgbInvert) background.Invert();
    if (rgbGray) background.Grey();
    if (overlayInvert) overlay.Invert();
    if (overlayGray) overlay.Grey();

    // Opening leaves the overlay blended at its gauge and the layer at its last opacity.
    OverlayDraw how{OverlayDraw::Blend, 0, remembered ? overlayGauge : 255};
    int layerMode = 0, pattern = 0;
    int& layerMaster = layerGauge;
    if (!remembered) layerMaster = 255;
    if (!remembered && !ovFile.empty()) overlayGauge = 255;
    plat::TestHooks().modal = [&](plat::TCustomForm& f) -> plat::TModalResult {
      auto& b = dynamic_cast<TRGBALoaderForm&>(f);
      if (!remembered) {
        answer = bgFile;
        b.btLoadImageClick(nullptr);
        if (!ovFile.empty()) {
          answer = ovFile;
          b.btLoadAlphaClick(nullptr);
        }
      }
      EXPECT_EQ(PixelsOf(b.ImgRGB->Bitmap()), background.px);
      EXPECT_EQ(PixelsOf(b.ImgAlpha->Bitmap()), overlay.px);
      for (int actions = int(rng() % 7); actions > 0; --actions) {
        const int v = int(rng() % 256), item = int(rng() % 11);
        const int pick = int(rng() % 10);
        switch (pick) {
          case 0:
            b.LayerGaugeBar->SetPosition(v);
            layerMaster = v;
            break;
          case 1:
            b.RadioGroup->SetItemIndex(item);
            layerMode = item;
            break;
          case 2:
            // A group runs its handler only when its item changes.
            if (item != b.RadioGroup1->ItemIndex())
              how = {item ? OverlayDraw::Handler : OverlayDraw::Copy, item, 0};
            b.RadioGroup1->SetItemIndex(item);
            break;
          case 3:
            if (v != b.OverlayGaugeBar->Position()) how = {OverlayDraw::Blend, 0, v};
            b.OverlayGaugeBar->SetPosition(v);
            overlayGauge = v;
            break;
          case 4:
            (b.*(v & 1 ? &TRGBALoaderForm::BackFlipVerticallyClick
                       : &TRGBALoaderForm::BackFlipHorizontallyClick))(nullptr);
            v & 1 ? background.FlipVert() : background.FlipHorz();
            break;
          case 5:
            (b.*(v & 1 ? &TRGBALoaderForm::ButtonFlipVertiClick
                       : &TRGBALoaderForm::ButtonFlipHorizClick))(nullptr);
            v & 1 ? overlay.FlipVert() : overlay.FlipHorz();
            break;
          case 6:
            b.BackInvertRGBCheck->SetChecked(!b.BackInvertRGBCheck->Checked());
            background.Invert();
            rgbInvert = !rgbInvert;
            break;
          case 7:
            b.InvertRGBCheck->SetChecked(!b.InvertRGBCheck->Checked());
            overlay.Invert();
            overlayInvert = !overlayInvert;
            break;
          default: {
            // Grey off clears both boxes and reloads the file, flips and all undone.
            const bool back = pick == 8;
            plat::TCheckBox& box = *(back ? b.BackGrayScaleCheck : b.GrayScaleCheck);
            Grid& picture = back ? background : overlay;
            bool& gray = back ? rgbGray : overlayGray;
            box.SetChecked(!box.Checked());
            if ((gray = !gray)) {
              picture.Grey();
            } else {
              picture = back ? backgroundFile : overlayFile;
              (back ? rgbInvert : overlayInvert) = false;
            }
            break;
          }
        }
      }
      pattern = app::LayerBuilderInteraction().PatternCounter();
      // The preview is the same layer, except that "Pattern" goes on counting.
      auto composed = std::make_unique<gfx::TBitmap32>();
      b.ComposeLayerPicture(*composed);
      if (how.mode != app::ColorModePattern) EXPECT_TRUE(b.ResultLayer->Bitmap().Equal(*composed));
      int probe = pattern;
      EXPECT_TRUE(Matches(*composed,
                          Layer(background.px, overlay.StretchedTo(background.w, background.h), how,
                                layerMode, probe),
                          background.w));
      pattern = app::LayerBuilderInteraction().PatternCounter();
      return plat::mrOk;
    };
    form->WatermarkToolsClick(nullptr);

    auto* L = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    ASSERT_NE(L, nullptr);
    const gfx::TBitmap32& B = L->Bitmap();
    ASSERT_TRUE(Matches(B,
                        Layer(background.px, overlay.StretchedTo(background.w, background.h), how,
                              layerMode, pattern),
                        background.w));
    EXPECT_EQ(B.MasterAlpha(), uint32_t(layerMaster));
    EXPECT_EQ(L->ColorMode, layerMode);
    EXPECT_EQ(L->OpacityValue, 255);
    const int scale = LayerScale(background.w, background.h, bgW, bgH);
    EXPECT_EQ(L->ScalePercent, scale);
    const gfx::TFloatRect at = L->Location();
    EXPECT_EQ(at.Left, 0.0f);
    EXPECT_EQ(at.Top, 0.0f);
    EXPECT_NEAR(at.Right, background.w * scale / 100.0, 1e-3);
    EXPECT_NEAR(at.Bottom, background.h * scale / 100.0, 1e-3);
    EXPECT_EQ(form->OverlayBackgroundFile, bgFile);
    EXPECT_EQ(form->OverlayFile, ovFile);
    EXPECT_EQ(form->RgbInvert, rgbInvert);
    EXPECT_EQ(form->RgbGray, rgbGray);
    EXPECT_EQ(form->OverlayInvert, overlayInvert);
    EXPECT_EQ(form->OverlayGray, overlayGray);
    if (layerMode == 0) {
      EXPECT_EQ(B.DrawMode(), gfx::dmBlend);
      EXPECT_FALSE(B.OnPixelCombine);
    } else {
      EXPECT_EQ(B.DrawMode(), gfx::dmCustom);
      ASSERT_TRUE(B.OnPixelCombine);
      for (int i = 0; i < 8 && layerMode != app::ColorModePattern; ++i) {
        const uint32_t F = rng(), under = rng();
        uint32_t got = under;
        B.OnPixelCombine(F, got, 255);
        EXPECT_EQ(got, Interact(layerMode, F, under)) << layerMode;
      }
    }
  }
}

// The builder in its own modal run, used with the mouse and keys as a user does: Enter builds the
// layer the controls show; Esc and the close box build nothing and remember nothing.
TEST_F(OverlayOracle, MouseAndKeysInTheBuilderBuildWhatItShows) {
  form->Show();
  answer = Picture("bg.bmp", 200, 150);
  form->mnFileOpenClick(nullptr);
  const Grid background = Random(40, 30, false), overlay = Random(20, 10, false);
  const std::string bgFile = Saved(background, "fill.bmp"), ovFile = Saved(overlay, "mask.bmp");
  plat::TestHooks().modal = nullptr;
  test_support::DialogUser<TRGBALoaderForm> user{[this] { return form->RGBALoaderForm; }};
  const auto click = [](plat::TControl& c, plat::TPoint at) { test_support::Click(c, at); };
  const auto middle = [](plat::TControl& c) { test_support::Click(c); };

  int overlayOpacity = -1;
  user.Next([&](TRGBALoaderForm& b) {
    answer = bgFile;
    middle(*b.btLoadImage);
    answer = ovFile;
    middle(*b.btLoadAlpha);
    middle(*b.InvertRGBCheck);
    // A click on the overlay gauge's track moves it off 255.
    click(*b.OverlayGaugeBar, {b.OverlayGaugeBar->Width() / 3, b.OverlayGaugeBar->Height() / 2});
    overlayOpacity = b.OverlayGaugeBar->Position();
    plat::PressKey(b, plat::VK_RETURN, "\r");
  });
  middle(*form->WatermarkTools);
  ASSERT_LT(overlayOpacity, 255);
  Grid inverted = overlay;
  inverted.Invert();
  int pattern = 0;
  auto* L = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(L, nullptr);
  const int layers = form->ImgView->Layers().Count();
  EXPECT_TRUE(Matches(L->Bitmap(),
                      Layer(background.px, inverted.StretchedTo(40, 30),
                            {OverlayDraw::Blend, 0, overlayOpacity}, 0, pattern),
                      40));
  EXPECT_TRUE(form->OverlayInvert);

  // Esc, then the close box: the builder shows its pictures again and builds nothing.
  form->OverlayBackgroundFile = form->OverlayFile = "";
  for (bool escape : {true, false}) {
    bool shown = false;
    user.Next([&](TRGBALoaderForm& b) {
      answer = bgFile;
      middle(*b.btLoadImage);
      middle(*b.BackInvertRGBCheck);
      shown = !b.ImgRGB->Bitmap().Empty();
      if (escape)
        plat::PressKey(b, plat::VK_ESCAPE);
      else
        b.CloseFromWindow();
    });
    middle(*form->WatermarkTools);
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->ImgView->Layers().Count(), layers) << escape;
    EXPECT_EQ(form->OverlayBackgroundFile, "") << escape;
    EXPECT_FALSE(form->RgbInvert) << escape;
  }
}

}  // namespace
