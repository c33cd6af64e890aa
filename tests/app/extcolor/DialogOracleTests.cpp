// The extended colour dialog against a model of its rules and of the colour chain: random pictures
// and random use of every control (gauges dragged, typed into, stepped and reset with the mouse,
// boxes clicked, algorithms chosen); the preview and the work file OK writes follow the model.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ChainModel.h"
#include "ExtColorSupport.h"
#include "app/extcolor/ExtendedColorDialog.h"
#include "app/extcolor/ExtendedColorDialogRules.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"

namespace {

using chain_model::Controls;
using test_support::Click;

TEST(ExtendedColorZoom, FollowsTheRuleOverRandomAndExtremeSizes) {
  std::mt19937 rng(161);
  const int edges[] = {1, 5, 6, 99, 100, 101, 675, 637, 13500, 32767};
  auto pick = [&](int i) { return i % 4 == 0 ? edges[rng() % 10] : int(rng() % 32767) + 1; };
  for (int i = 0; i < 100000; ++i) {
    const int w = pick(i), h = pick(i + 1), pw = pick(i + 2) % 2000 + 1,
              ph = pick(i + 3) % 2000 + 1;
    const app::TPreviewZoom zoom = app::PreviewZoom(w, h, pw, ph);
    ASSERT_EQ(zoom.Percent, chain_model::Zoom(w, h, pw, ph))
        << w << "x" << h << " in " << pw << "x" << ph;
    ASSERT_EQ(zoom.Fits, w <= pw && h <= ph);
  }
}

// The chain as the dialog runs it, settings drawn densely so every step and algorithm meets every
// other, over pixels with the bytes' extremes.
TEST(ExtendedColorChain, RandomSettingsOverRandomPixelsFollowTheModel) {
  std::mt19937 rng(2160);
  const int special[] = {-255, -100, -35, -34, -1, 0, 1, 2, 34, 35, 99, 100, 101, 255};
  auto value = [&](int min, int max) {
    const int v =
        rng() % 3 ? special[rng() % std::size(special)] : min + int(rng() % (max - min + 1));
    return std::clamp(v, min, max);
  };
  auto often = [&] { return rng() % 3 == 0; };
  const uint32_t ends[] = {0, 1, 254, 255};
  gfx::TBitmap32 pixels;
  pixels.SetSize(16, 8);
  for (int round = 0; round < 4000; ++round) {
    Controls c;
    app::TExtendedColorSettings s;
    app::TLogicalOperation* logical[] = {&s.LogicalRGB, &s.LogicalR, &s.LogicalG, &s.LogicalB};
    app::TBalanceSection* balance[] = {&s.BalanceRGB, &s.BalanceR, &s.BalanceG, &s.BalanceB};
    int32_t* saturation[] = {&s.SaturationRGB, &s.SaturationR, &s.SaturationG, &s.SaturationB};
    app::TChannelThreshold* threshold[] = {&s.ThresholdR, &s.ThresholdG, &s.ThresholdB};
    for (int i = 0; i < 4; ++i) {
      c.logical[i] = {often(), int(rng() % 3) + 1, value(0, 255)};
      *logical[i] = {c.logical[i].on, c.logical[i].function, c.logical[i].amount};
      c.balance[i] = {often() ? value(-255, 255) : 0, int(rng() % 10) + 1};
      *balance[i] = {c.balance[i].value, c.balance[i].algorithm};
      c.saturation[i] = often() ? value(-255, 255) : 100;
      *saturation[i] = c.saturation[i];
    }
    for (int t = 0; t < 3; ++t) {
      c.threshold[t] = {often(), rng() % 2 == 0, value(0, 255)};
      *threshold[t] = {c.threshold[t].on, c.threshold[t].above, c.threshold[t].level};
    }
    s.ThresholdTouched = rng() % 2;
    s.Brightness = c.bright = often() ? value(-255, 255) : 0;
    s.Contrast = c.contrast = often() ? value(-255, 255) : 0;
    s.Gamma = c.gamma = often() ? value(1, 700) : 100;
    s.SwapRedBlue = c.redBlue = often();
    s.SwapRedGreen = c.redGreen = often();
    s.SwapGreenBlue = c.greenBlue = often();
    std::vector<uint32_t> in;
    for (int i = 0; i < 128; ++i) {
      uint32_t p = rng();
      for (int b = 0; b < 32; b += 8)  // bytes at 0, 1, 254 or 255 now and then
        if (rng() % 4 == 0) p = (p & ~(0xFFu << b)) | uint32_t(ends[rng() % 4]) << b;
      in.push_back(p);
      pixels.SetPixel(i % 16, i / 16, p);
    }
    app::RecolorKeepingAlpha(pixels, s);
    for (int i = 0; i < 128; ++i)
      ASSERT_EQ(pixels.Pixel(i % 16, i / 16), chain_model::Apply(in[i], c))
          << "round " << round << " pixel " << std::hex << in[i];
  }
}

class ExtendedColorOracle : public testing::Test {
 protected:
  void SetUp() override { plat::TestHooks().screenSize = plat::TSize{1600, 1200}; }
  void TearDown() override {
    dialog.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }
  template <class T>
  T& Named(const std::string& name) {
    T* control = dynamic_cast<T*>(dialog->FindComponent(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  // The model applied to every pixel of the picture, as the rules make the whole picture.
  static std::vector<uint32_t> Recoloured(const gfx::TBitmap32& b, const Controls& c) {
    std::vector<uint32_t> out;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) out.push_back(chain_model::Apply(b.Pixel(x, y), c));
    return out;
  }
  static std::vector<uint32_t> PixelsOf(const gfx::TBitmap32& b) {
    std::vector<uint32_t> out;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) out.push_back(b.Pixel(x, y));
    return out;
  }

  extcolor_test::ScratchFolder folder;
  const std::string work = folder.File("work.jpg");
  std::unique_ptr<app::TFormExtendedColor> dialog;
  std::mt19937 rng{2161};
};

// A gauge of the dialog with its edit, buttons, range, default and the value it stands for.
struct GaugeRow {
  const char* gauge;
  const char* edit;
  int min, max, byDefault;
  bool typed, marksChange;
  int& (*value)(Controls&);
};

const GaugeRow Rows[] = {
    {"Amout_RGB", "Edit_InvertRGB", 0, 255, 128, true, false,
     [](Controls& c) -> int& { return c.logical[0].amount; }},
    {"Amout_R", "Edit_InvertR", 0, 255, 128, true, false,
     [](Controls& c) -> int& { return c.logical[1].amount; }},
    {"Amout_G", "Edit_InvertG", 0, 255, 128, true, false,
     [](Controls& c) -> int& { return c.logical[2].amount; }},
    {"Amout_B", "Edit_InvertB", 0, 255, 128, true, false,
     [](Controls& c) -> int& { return c.logical[3].amount; }},
    {"Color_RGB_Gauge", "Edit_BalanceRGB", -255, 255, 0, true, true,
     [](Controls& c) -> int& { return c.balance[0].value; }},
    {"Color_R_Gauge", "Edit_BalanceR", -255, 255, 0, true, true,
     [](Controls& c) -> int& { return c.balance[1].value; }},
    {"Color_G_Gauge", "Edit_BalanceG", -255, 255, 0, true, true,
     [](Controls& c) -> int& { return c.balance[2].value; }},
    {"Color_B_Gauge", "Edit_BalanceB", -255, 255, 0, true, true,
     [](Controls& c) -> int& { return c.balance[3].value; }},
    {"Bright_Gauge", "Edit_Bright", -255, 255, 0, true, true,
     [](Controls& c) -> int& { return c.bright; }},
    {"Contrast_Gauge", "Edit_Contrast", -255, 255, 0, false, true,
     [](Controls& c) -> int& { return c.contrast; }},
    {"Gamma_Gauge", "Edit_Gamma", 1, 700, 100, false, true,
     [](Controls& c) -> int& { return c.gamma; }},
    {"Saturation_Gauge_RGB", "Edit_Saturation_RGB", -255, 255, 100, true, true,
     [](Controls& c) -> int& { return c.saturation[0]; }},
    {"Saturation_Gauge_R", "Edit_Saturation_R", -255, 255, 100, true, true,
     [](Controls& c) -> int& { return c.saturation[1]; }},
    {"Saturation_Gauge_G", "Edit_Saturation_G", -255, 255, 100, true, true,
     [](Controls& c) -> int& { return c.saturation[2]; }},
    {"Saturation_Gauge_B", "Edit_Saturation_B", -255, 255, 100, true, true,
     [](Controls& c) -> int& { return c.saturation[3]; }},
    {"Supress_Gauge_R", "Supress_Edit_R", 0, 255, 128, false, true,
     [](Controls& c) -> int& { return c.threshold[0].level; }},
    {"Supress_Gauge_G", "Supress_Edit_G", 0, 255, 128, false, true,
     [](Controls& c) -> int& { return c.threshold[1].level; }},
    {"Supress_Gauge_B", "Supress_Edit_B", 0, 255, 128, false, true,
     [](Controls& c) -> int& { return c.threshold[2].level; }},
};

TEST_F(ExtendedColorOracle, RandomUseShowsAndWritesWhatTheRulesMake) {
  const char* keys[] = {"RGB", "R", "G", "B"};
  const char* channels[] = {"R", "G", "B"};
  const char* swaps[] = {"Swap_RB", "Swap_RG", "Swap_GB"};
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    // Small pictures preview as they are; now and then a long one previews reduced.
    const bool reduced = round % 10 == 9;
    gfx::TBitmap32 picture;
    extcolor_test::MakeVariedPicture(picture,
                                     reduced ? 1400 + int(rng() % 600) : int(rng() % 40) + 1,
                                     reduced ? int(rng() % 3) + 1 : int(rng() % 40) + 1);
    for (int i = 0; i < int(rng() % 2000); ++i)  // salt the picture with the bytes' extremes
      picture.SetPixel(int(rng() % picture.Width()), int(rng() % picture.Height()),
                       (rng() % 2 ? 0xFFFFFFFFu : 0u) ^ (rng() % 2 ? 0x00FF00FFu : 0u));
    picture.SaveToFile(work);
    const std::string handedOver = extcolor_test::ReadBytes(work);
    dialog = std::make_unique<app::TFormExtendedColor>(nullptr);
    dialog->SetFileName(work);
    dialog->Show();
    Controls c;
    bool changed = false;
    for (int actions = int(rng() % 12) + 1; actions > 0; --actions) {
      const int what = int(rng() % 8);
      if (what < 4) {
        const GaugeRow& row = Rows[rng() % std::size(Rows)];
        auto& gauge = Named<gfx::TGaugeBar>(row.gauge);
        int& value = row.value(c);
        const int before = value;
        const int edge[] = {row.min, row.max, row.byDefault, 0,  1,   -1, 34,
                            35,      -34,     -35,           99, 100, 101};
        int wanted = rng() % 3 ? row.min + int(rng() % (row.max - row.min + 1)) : edge[rng() % 13];
        auto& minus = Named<plat::TButton>(std::string("Minus_") + row.gauge);
        auto& plus = Named<plat::TButton>(std::string("Plus_") + row.gauge);
        auto& reset = Named<plat::TButton>(std::string("Reset_") + row.gauge);
        const int how = int(rng() % 4);
        bool rejected = false;  // typed text the gauge did not take stays in its edit
        if (how == 1 && row.typed && gauge.Enabled()) {
          // The gauge follows the edit key by key, as long as it reads a number in range.
          const std::string text = rng() % 4 ? std::to_string(wanted) : rng() % 2 ? "300" : "x5";
          test_support::Retype(*dialog, Named<plat::TEdit>(row.edit), text);
          for (size_t n = 1; n <= text.size(); ++n) {
            const std::string typed = text.substr(0, n);
            rejected = typed == "-" || typed.find('x') != std::string::npos;
            if (rejected) continue;
            const int v = std::stoi(typed);
            rejected = v < row.min || v > row.max;
            if (rejected) continue;
            changed |= row.marksChange && v != value;
            value = v;
          }
        } else if (how == 2 && minus.Enabled()) {
          const bool up = rng() % 2;
          Click(up ? plus : minus);
          value = chain_model::Step(value, up, row.min, row.max);
          changed |= row.marksChange;
        } else if (how == 3 && reset.Enabled()) {
          Click(reset);
          value = row.byDefault;
        } else {
          if (wanted < row.min || wanted > row.max) wanted = row.byDefault;
          gauge.SetPosition(wanted);
          value = wanted;
        }
        ASSERT_EQ(gauge.Position(), value) << row.gauge;
        changed |= row.marksChange && value != before;
        const std::string shown = std::string(row.gauge) == "Gamma_Gauge"
                                      ? chain_model::GammaText(value)
                                      : std::to_string(value);
        if (!rejected) EXPECT_EQ(Named<plat::TEdit>(row.edit).Text(), shown) << row.gauge;
      } else if (what == 4) {
        const int s = int(rng() % 4);
        Click(Named<plat::TCheckBox>(std::string("Invert_") + keys[s]));
        c.logical[s].on = !c.logical[s].on;
        changed = true;
      } else if (what == 5) {
        const int t = int(rng() % 3);
        auto& box = Named<plat::TCheckBox>(std::string("Threshold_") + channels[t]);
        auto& sense = Named<plat::TCheckBox>(std::string("Sense_") + channels[t]);
        if (rng() % 2 || !sense.Enabled()) {
          Click(box);
          c.threshold[t].on = !c.threshold[t].on;
        } else {
          Click(sense);
          c.threshold[t].above = !c.threshold[t].above;
          EXPECT_EQ(sense.Caption(), c.threshold[t].above ? "<" : ">");
        }
        changed = true;
      } else if (what == 6) {
        const int k = int(rng() % 3);
        Click(Named<plat::TCheckBox>(swaps[k]));
        (k == 0 ? c.redBlue : k == 1 ? c.redGreen : c.greenBlue) ^= true;
        changed = true;
      } else {
        const int s = int(rng() % 4);
        if (rng() % 2) {
          const int item = int(rng() % 3);
          Named<plat::TRadioGroup>(std::string("LogicalFunc_") + keys[s]).SetItemIndex(item);
          c.logical[s].function = item + 1;
        } else {
          const int item = int(rng() % 10);
          Named<plat::TRadioGroup>(std::string("MaxPixelGroup_") + keys[s]).SetItemIndex(item);
          c.balance[s].algorithm = item + 1;
        }
      }
    }
    EXPECT_EQ(dialog->SettingsChanged(), changed);
    const gfx::TBitmap32& preview = dialog->Dst->Bitmap();
    ASSERT_EQ(PixelsOf(preview), Recoloured(dialog->Tmp->Bitmap(), c)) << "the preview";
    if (reduced) {
      const int z = chain_model::Zoom(picture.Width(), picture.Height(), dialog->Dst->Width(),
                                      dialog->Dst->Height());
      // A long, thin picture keeps a row at least.
      EXPECT_EQ(preview.Width(), chain_model::Round(picture.Width() * z / 100.0));
      EXPECT_EQ(preview.Height(), std::max(1, chain_model::Round(picture.Height() * z / 100.0)));
    } else {
      EXPECT_EQ(PixelsOf(dialog->Tmp->Bitmap()), PixelsOf(picture));
    }
    // OK, with the final run on the timer it starts.
    Click(*dialog->OkButton);
    if (dialog->Timer1->Enabled()) dialog->Timer1Timer(nullptr);
    EXPECT_EQ(dialog->ModalResult(), plat::mrOk);
    if (!changed) {
      EXPECT_EQ(extcolor_test::ReadBytes(work), handedOver);
      continue;
    }
    gfx::TBitmap32 written;
    written.LoadFromFile(work);
    ASSERT_EQ(PixelsOf(written), Recoloured(picture, c)) << "the work file";
  }
}

// A work file that cannot be read, or a disk too full for the result: a clear error, the
// handed-over file as it was, and the dialog usable again; a work file gone meanwhile is written
// anew.
TEST_F(ExtendedColorOracle, UnreadableWorkFilesAndFullDisksEndInAClearError) {
  plat::WriteFileAtomically(work, "BM but no picture");
  dialog = std::make_unique<app::TFormExtendedColor>(nullptr);
  EXPECT_THROW(dialog->SetFileName(work), plat::Exception);
  std::filesystem::remove(work);
  EXPECT_THROW(dialog->SetFileName(work), plat::Exception);

  gfx::TBitmap32 picture;
  extcolor_test::MakeVariedPicture(picture, 200, 100);
  picture.SaveToFile(work);
  const std::string handedOver = extcolor_test::ReadBytes(work);
  dialog->SetFileName(work);
  dialog->Show();
  Click(Named<plat::TCheckBox>("Swap_RB"));
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Click(*dialog->OkButton);
  ASSERT_TRUE(dialog->Timer1->Enabled());
  try {
    dialog->Timer1Timer(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const plat::Exception& e) {
    EXPECT_NE(std::string(e.what()).find("large"), std::string::npos) << e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(extcolor_test::ReadBytes(work), handedOver);
  EXPECT_TRUE(dialog->OkButton->Enabled());
  EXPECT_NE(dialog->ModalResult(), plat::mrOk);

  std::filesystem::remove(work);
  Click(*dialog->OkButton);
  dialog->Timer1Timer(nullptr);
  EXPECT_TRUE(dialog->ResultWritten());
  gfx::TBitmap32 written;
  written.LoadFromFile(work);
  chain_model::Controls swapped;
  swapped.redBlue = true;
  EXPECT_EQ(PixelsOf(written), Recoloured(picture, swapped));
}

}  // namespace
