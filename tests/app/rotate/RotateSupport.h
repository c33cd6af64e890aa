// A rotation dialog opened on a work file the test writes, and measures of what it drew.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/rotate/RotateDialog.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/windows/TestSeams.h"

namespace rotate_test {

inline constexpr uint32_t kBlue = 0xFF2050C0, kRed = 0xFFE01010, kClear = 0x00000000;

// Every channel (alpha too) within Tolerance: the linear sampling of an opaque picture may come
// out a step lower.
inline bool Near(uint32_t a, uint32_t b, int tolerance = 1) {
  for (int shift = 0; shift < 32; shift += 8)
    if (std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > tolerance) return false;
  return true;
}

// W x H of one colour.
inline void Fill(gfx::TBitmap32& b, int w, int h, uint32_t color) {
  b.SetSize(w, h);
  b.ClearWithColor(color);
}

// Alpha mass and its centre in pixel-index coordinates.
struct AlphaMass {
  double total = 0, x = 0, y = 0;
};

inline AlphaMass MeasureAlpha(const gfx::TBitmap32& b) {
  AlphaMass m;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const double a = b.Pixel(x, y) >> 24;
      m.total += a;
      m.x += a * x;
      m.y += a * y;
    }
  if (m.total > 0) {
    m.x /= m.total;
    m.y /= m.total;
  }
  return m;
}

// Alpha mass in the four quadrants around (Cx, Cy): top-left, top-right, bottom-left,
// bottom-right.
inline std::array<double, 4> QuadrantMass(const gfx::TBitmap32& b, double cx, double cy) {
  std::array<double, 4> q{};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if (x + 0.5 == cx || y + 0.5 == cy) continue;  // the row and column through the middle
      q[(y + 0.5 > cy ? 2 : 0) + (x + 0.5 > cx ? 1 : 0)] += b.Pixel(x, y) >> 24;
    }
  return q;
}

class RotateDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "rotate-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    workFile = (folder_ / "work.bmp").string();
    plat::TestHooks().screenSize = plat::TSize{1280, 1024};
  }
  void TearDown() override {
    dialog.reset();
    plat::TestHooks() = plat::TTestHooks{};
    std::filesystem::remove_all(folder_);
  }

  struct Values {
    int mode = 1;
    int angle = 0;
    bool rotatedBefore = false;
    int combine = 0;
    int steps = 0, stepAngle = 0;
  };

  // Writes Picture as the work file (rows bottom-up, as the main window does) and opens it.
  void Open(const gfx::TBitmap32& picture, const Values& v) {
    picture.SaveToFile(workFile, true);
    dialog = std::make_unique<app::TFormRotateExample>(nullptr);
    dialog->SetAngle(v.angle);
    dialog->SetMode(v.mode);
    dialog->SetCombineMode(v.combine);
    dialog->SetSteps(v.steps);
    dialog->SetStepAngle(v.stepAngle);
    dialog->SetFileName(workFile + (v.rotatedBefore ? "1" : ""));
  }
  void OpenSquare(int side, const Values& v) {
    gfx::TBitmap32 b;
    Fill(b, side, side, kBlue);
    Open(b, v);
  }

  gfx::TBitmap32& Canvas() { return dialog->Dst->Bitmap(); }
  std::string File(const std::string& name) const { return (folder_ / name).string(); }

  std::string workFile;
  std::unique_ptr<app::TFormRotateExample> dialog;

 private:
  std::filesystem::path folder_;
};

}  // namespace rotate_test
