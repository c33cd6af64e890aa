// The new picture as the user makes it, keys and mouse on the shown dialog, against a model of the
// dialog's rules: random typed sizes, presets, arrows and colours, then Enter, Esc or the close
// box.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "app/mainwindow/MainUnit.h"
#include "app/newpicture/NewImageDialog.h"
#include "graphics/layers/Layers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"
#include "support/LargestAllocation.h"
#include "support/MainWindowFixture.h"

namespace {

using test_support::Click;

constexpr int MaxWidth = 5760, MaxHeight = 3240;

// The whole number a text spells, blanks and thousands commas aside: an optional sign and decimal
// digits within 32 bits, nothing else.
std::optional<int> WholeNumber(const std::string& text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != ',') s += c;
  size_t i = s.size() > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (i == s.size()) return std::nullopt;
  long long v = 0;
  for (size_t j = i; j < s.size(); ++j) {
    if (s[j] < '0' || s[j] > '9') return std::nullopt;
    v = v * 10 + (s[j] - '0');
    if (v > 1LL << 32) return std::nullopt;
  }
  if (s[0] == '-') v = -v;
  if (v < INT_MIN || v > INT_MAX) return std::nullopt;
  return int(v);
}

// A size as its up-down holds it: the edit's number kept to 1..max, else the last one held.
struct Side {
  int max, held;
  void Read(const std::string& text) {
    if (auto v = WholeNumber(text)) held = std::clamp(*v, 1, max);
  }
};

// 0x00BBGGRR as the opaque pixel 0xAARRGGBB; the highest byte is dropped.
uint32_t Opaque(int32_t c) {
  const uint32_t u = uint32_t(c);
  return 0xFF000000u | (u & 0xFF) << 16 | (u & 0xFF00) | (u >> 16 & 0xFF);
}

class NewPictureOracle : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->Show();
    plat::Application().ProcessMessages();
  }
  test_support::DialogUser<app::TNewImageForm> user{[this] { return form->NewImageForm; }};
  std::mt19937 rng{143};
};

TEST_F(NewPictureOracle, WhatTheUserTypesAndPicksMakesThePicture) {
  const int remembered[] = {INT_MIN, -7, 0, 1, 2, 640, 3240, 5760, 5761, 99999, INT_MAX};
  const std::string typed[] = {"0",    "-1", "1",    "5760",  "5761",        "3240",
                               "3241", "12", "+640", " 8 0 ", "99999999999", "abc",
                               "12x",  "-",  "",     "007",   "1 000",       "-2147483648"};
  plat::TColor offered = 0;
  std::optional<plat::TColor> chosen;
  plat::TestHooks().colorDialog = [&](plat::TColor initial) {
    offered = initial;
    return chosen;
  };
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    form->NewImageWidth = rng() % 2 ? remembered[rng() % std::size(remembered)] : rng() % 300 + 1;
    form->NewImageHeight = rng() % 2 ? remembered[rng() % std::size(remembered)] : rng() % 300 + 1;
    form->NewImageColor = plat::TColor(rng() & 0x7FFFFFFF);
    const plat::TColor before = form->NewImageColor;
    const int beforeW = form->NewImageWidth, beforeH = form->NewImageHeight;
    const int oldW = form->ImgView->Bitmap().Width(), oldH = form->ImgView->Bitmap().Height();

    Side w{MaxWidth, std::clamp(beforeW, 1, MaxWidth)},
        h{MaxHeight, std::clamp(beforeH, 1, MaxHeight)};
    plat::TColor color = before;
    std::string shown;
    const int ending = int(rng() % 4);  // Enter twice as often as Esc or the close box
    user.Next([&](app::TNewImageForm& d) {
      shown = d.ImageWidth->Text() + "x" + d.ImageHeight->Text();
      for (int actions = int(rng() % 6); actions > 0; --actions) {
        switch (rng() % 5) {
          case 0:
          case 1: {
            const bool width = rng() % 2;
            std::string text = typed[rng() % std::size(typed)];
            if (rng() % 2) text = std::to_string(rng() % (width ? 400 : 300));
            test_support::Retype(d, width ? *d.ImageWidth : *d.ImageHeight, text);
            (width ? w : h).Read(text);
            break;
          }
          case 2: {
            plat::TButton* presets[] = {d.ButtonHD, d.ButtonFullHD, d.Button4K, d.Button5K};
            const int sizes[][2] = {{1280, 720}, {1920, 1080}, {3840, 2160}, {5760, 3240}};
            const int p = int(rng() % 4);
            Click(*presets[p]);
            w.held = sizes[p][0];
            h.held = sizes[p][1];
            break;
          }
          case 3: {
            const bool width = rng() % 2;
            (width ? d.ImageWidth : d.ImageHeight)->SetFocus();
            const bool up = rng() % 2;
            plat::PressKey(d, up ? plat::VK_UP : plat::VK_DOWN);
            Side& s = width ? w : h;
            s.held = std::clamp(s.held + (up ? 1 : -1), 1, s.max);
            break;
          }
          default:
            chosen.reset();
            if (rng() % 3) chosen = plat::TColor(rng() & 0xFFFFFF);
            Click(*d.btSelect);
            EXPECT_EQ(offered, color);
            if (chosen) color = *chosen;
        }
      }
      // From a size, as a clicked preset button would take Enter for itself.
      d.ImageHeight->SetFocus();
      if (ending == 0)
        plat::PressKey(d, plat::VK_ESCAPE);
      else if (ending == 1)
        d.CloseFromWindow();
      else
        plat::PressKey(d, plat::VK_RETURN, "\r");
    });
    Click(*form->NewButton);
    EXPECT_TRUE(user.Acted()) << "the dialog never showed";
    EXPECT_EQ(shown, std::to_string(std::clamp(beforeW, 1, MaxWidth)) + "x" +
                         std::to_string(std::clamp(beforeH, 1, MaxHeight)));
    gfx::TBitmap32& picture = form->ImgView->Bitmap();
    if (ending < 2) {
      EXPECT_EQ(form->NewImageWidth, beforeW);
      EXPECT_EQ(form->NewImageHeight, beforeH);
      EXPECT_EQ(form->NewImageColor, before);
      EXPECT_EQ(picture.Width(), oldW);
      EXPECT_EQ(picture.Height(), oldH);
      continue;
    }
    ASSERT_EQ(picture.Width(), w.held);
    ASSERT_EQ(picture.Height(), h.held);
    EXPECT_EQ(form->NewImageWidth, w.held);
    EXPECT_EQ(form->NewImageHeight, h.held);
    EXPECT_EQ(form->NewImageColor, color);
    EXPECT_EQ(form->ImgView->Layers().Count(), 0);
    // The corners and a sample inside carry the colour exactly.
    for (int i = 0; i < 64; ++i) {
      const int x = i < 2 ? 0 : i < 4 ? w.held - 1 : int(rng() % w.held);
      const int y = i < 4 ? (i % 2 ? 0 : h.held - 1) : int(rng() % h.held);
      ASSERT_EQ(picture.Pixel(x, y), Opaque(color)) << x << "," << y;
    }
  }

  // Colours from a hand-edited settings file: system colours and stray high bytes still give an
  // opaque picture of one colour.
  for (const int32_t c : {-1, INT_MIN, int32_t(0x80000005), int32_t(0x7FFFFFFF)}) {
    form->NewImageColor = c;
    user.Next([](app::TNewImageForm& d) {
      d.ImageHeight->SetFocus();
      plat::PressKey(d, plat::VK_RETURN, "\r");
    });
    Click(*form->NewButton);
    const gfx::TBitmap32& picture = form->ImgView->Bitmap();
    const uint32_t first = picture.Pixel(0, 0);
    EXPECT_EQ(first >> 24, 0xFFu) << c;
    if (c >= 0) EXPECT_EQ(first, Opaque(c));
    EXPECT_EQ(picture.Pixel(picture.Width() - 1, picture.Height() - 1), first) << c;
    EXPECT_EQ(form->NewImageColor, c);
  }
}

// The largest picture the dialog offers, made again and again: each costs its own pixels once,
// and the one it replaces goes.
TEST_F(NewPictureOracle, TheLargestPictureCostsItsPixelsOnce) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  form->NewImageWidth = MaxWidth;
  form->NewImageHeight = MaxHeight;
  plat::TestHooks().modal = [](plat::TCustomForm&) { return plat::mrOk; };
  const size_t pixels = size_t(MaxWidth) * MaxHeight * 4;
  for (int i = 0; i < 3; ++i) {
    test_support::LargestAllocation watch;
    form->NewButtonClick(nullptr);
    EXPECT_LT(watch.PeakBytes(), pixels + pixels / 10) << i;
  }
}

}  // namespace
