// Random presses, shift presses, drags and releases on characters of a scrolled page, through the
// window's own events, against a model of the selection, its anchor and the caret; turning
// selection off on the way.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "InteractionFixture.h"

namespace html::test {
namespace {

struct SelectionModel {
  int32_t selStart = 0, selEnd = 0, caret = 0, anchor = -1;
  bool selecting = false, noSelect = false;

  void Span(int32_t from, int32_t to) {
    selStart = std::min(from, to);
    selEnd = std::max(from, to);
  }
  void Press(int32_t at, bool shift) {
    anchor = at;
    selecting = true;
    if (shift && !noSelect) {
      Span(caret, at);
    } else {  // without selection a shift press is a plain one
      selStart = selEnd = caret = at;
    }
  }
  void Extend(int32_t at) {
    if (!selecting) return;
    if (!noSelect) Span(at, anchor);
    caret = at;
  }
  // A drag extends only while selection is on; the release places the caret all the same.
  void Move(int32_t at) {
    if (!noSelect) Extend(at);
  }
  void Release(int32_t at, bool shift) {
    if (!shift) Extend(at);
    selecting = false;  // a shift release ends the press too
  }
  void SetNoSelect(bool value) {
    if (value && !noSelect) selStart = selEnd = -1;
    noSelect = value;
  }
};

TEST_F(ViewerInteraction, PressesDragsAndShiftClicksSelectAsTheModelSays) {
  std::mt19937 random(1022);
  std::string page;
  for (int paragraph = 0; paragraph < 30; ++paragraph) {
    page += "<p>";
    for (int word = 4 + int(random() % 20); word > 0; --word) {
      page += ' ';
      for (int k = 1 + int(random() % 8); k > 0; --k) page += char('a' + random() % 26);
    }
  }
  Load(page);
  TSectionList& document = viewer->Document();
  int32_t length = 0;
  TSectionBase* item = nullptr;
  for (char16_t c = 0; document.GetChAtPos(length, c, item);) ++length;
  plat::TBitmap measure;
  SelectionModel model;
  int checked = 0;
  for (int step = 0; step < 400; ++step) {
    if (!model.selecting && random() % 12 == 0) {
      viewer->ScrollTo(int32_t(random() % uint32_t(viewer->ScrollHeight())));
      plat::CaptureControl(Panel());
    }
    if (!model.selecting && random() % 20 == 0) {
      model.SetNoSelect(!model.noSelect);
      viewer->SetNoSelect(model.noSelect);
    }
    // A point on the left quarter of a character the panel shows: the caret goes before it.
    int32_t pos = 0, x = 0, y = 0, nextX = 0, nextY = 0;
    do {
      pos = int32_t(random() % uint32_t(length - 1));
      ASSERT_TRUE(document.CursorToXY(&measure.Canvas(), pos, x, y));
      ASSERT_TRUE(document.CursorToXY(&measure.Canvas(), pos + 1, nextX, nextY));
      y += 6 - document.ScrollY;
    } while (nextY - document.ScrollY + 6 != y || nextX - x < 4 || y < 2 ||
             y > Panel().Height() - 3 || x > Panel().Width() - 8);
    const plat::TPoint at{x + (nextX - x) / 4, y};
    const bool shift = random() % 3 == 0;
    SCOPED_TRACE(testing::Message()
                 << "step " << step << " char " << pos << (shift ? " shift" : ""));
    switch (random() % 3) {
      case 0:
        if (model.selecting) continue;  // the button is up before it goes down again
        Press(at, plat::mbLeft, shift ? plat::ssShift : 0);
        model.Press(pos, shift);
        break;
      case 1:
        Move(at, plat::ssLeft);
        model.Move(pos);
        break;
      default:
        if (!model.selecting) continue;
        Release(at, plat::mbLeft, shift ? plat::ssShift : 0);
        model.Release(pos, shift);
        break;
    }
    ++checked;
    ASSERT_EQ(document.SelStart, model.selStart);
    ASSERT_EQ(document.SelEnd, model.selEnd);
    ASSERT_EQ(viewer->CaretPos(), model.caret);
  }
  EXPECT_GT(checked, 200);
}

}  // namespace
}  // namespace html::test
