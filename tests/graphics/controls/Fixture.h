// A shown form to put controls on, and bitmap helpers shared by the control suites.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "graphics/bitmap/Bitmap32.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace controls_test {

class FormTest : public test_support::ShownFormTest {
 protected:
  FormTest() : ShownFormTest({40, 40, 680, 520}) {}
  // Delivers posted paint requests and pending window paints.
  static void Settle() { plat::Application().ProcessMessages(); }

  plat::TTestHooksScope hooks;
};

// The first pixel where the two bitmaps' top-left W x H parts differ, as text; empty when equal.
inline std::string FirstDifference(const gfx::TBitmap32& a, const gfx::TBitmap32& b, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) {
        char text[96];
        std::snprintf(text, sizeof text, "(%d, %d): %08X vs %08X", x, y, a.Pixel(x, y),
                      b.Pixel(x, y));
        return text;
      }
  return {};
}

}  // namespace controls_test
