// A viewer shown on a form, loaded with one page at a time, and the pixels it paints.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "html/viewer/PageViewer.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace html::test {

// 0xAARRGGBB of a TColor (0x00BBGGRR).
inline uint32_t Argb(TColor color) {
  const uint32_t c = uint32_t(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class PaintedPageTest : public test_support::ShownFormTest {
 protected:
  PaintedPageTest() : ShownFormTest({0, 0, 620, 720}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<TPageViewer>(0, 0, 600, 700);
    viewer->SetBorderStyle(htNone);
    viewer->SetDefBackground(plat::clWhite);
    viewer->SetDefFontColor(plat::clBlack);
    viewer->SetMarginWidth(0);
    viewer->SetMarginHeight(0);
  }
  void Load(const std::string& page) {
    viewer->LoadFromBuffer(page.data(), int64_t(page.size()), "");
    shot = plat::CaptureControl(viewer->PaintPanel());
  }
  void Save(const std::string& name) {
    plat::SaveScreenshot(viewer->PaintPanel(), plat::ScreenshotFolder() + "/" + name + ".png");
  }
  uint32_t At(int x, int y) const { return shot.Pixel(x, y); }
  // The first x in [from, to) (stepping by step) on row y whose pixel has the colour, or -1.
  int FindX(int y, int from, int to, uint32_t argb, int step = 1) const {
    for (int x = from; x != to; x += step)
      if (At(x, y) == argb) return x;
    return -1;
  }
  int FindY(int x, int from, int to, uint32_t argb, int step = 1) const {
    for (int y = from; y != to; y += step)
      if (At(x, y) == argb) return y;
    return -1;
  }
  // The first row in [from, to) that holds a pixel other than white in columns [left, right).
  int FirstInkRow(int from, int to, int left = 0, int right = 600) const {
    for (int y = from; y < to; ++y)
      for (int x = left; x < right; ++x)
        if (At(x, y) != 0xFFFFFFFFu) return y;
    return -1;
  }
  int FirstInkColumn(int top, int bottom, int from = 0, int to = 600) const {
    for (int x = from; x < to; ++x)
      for (int y = top; y < bottom; ++y)
        if (At(x, y) != 0xFFFFFFFFu) return x;
    return -1;
  }
  TSectionList& Document() { return viewer->Document(); }

  TPageViewer* viewer = nullptr;
  plat::TCapturedImage shot;
};

}  // namespace html::test
