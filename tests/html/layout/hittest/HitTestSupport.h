// Sections laid out and painted onto a bitmap, so that their lines know where they stand, and
// widths measured apart from the section.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "html/layout/text/TextSectionQueries.h"
#include "support/PixelCanvas.h"
#include "tests/html/layout/text/TextTestSupport.h"

namespace hittest {

class HitFixture : public texttest::TextFixture, protected test_support::PixelCanvas {
 protected:
  static constexpr int kWidth = 500, kHeight = 200;

  HitFixture() : PixelCanvas(kWidth, kHeight) {
    document.ManyLinks = true;  // no focus windows for links
  }

  // Lays s out at width from (0, y) with its first character at document position firstPos,
  // then paints it.
  void Place(html::TSection& s, int32_t width, int32_t firstPos = 0, int32_t y = 10) {
    indents.Reset(0, width);
    int32_t pos = firstPos, maxWidth = 0;
    s.Layout(canvas, 0, y, 0, 0, width, 0, 0, indents, maxWidth, pos);
    s.Draw(canvas, {0, 0, kWidth, kHeight}, indents, 0, 0, 0);
  }

  // Top of line i: the section's top plus the heights of the lines above.
  static int32_t LineTop(const html::TSection& s, int i) {
    int32_t y = s.TopY;
    for (int k = 0; k < i; ++k)
      y += s.Lines[k].SpaceAbove + s.Lines[k].TextHeight + s.Lines[k].SpaceBelow;
    return y;
  }

  html::IndentManager indents;
};

}  // namespace hittest
