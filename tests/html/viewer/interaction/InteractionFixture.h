// A viewer shown on a form, with the pointer under the test's control and helpers that find
// where a link or a character of the page is drawn.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "html/viewer/PageViewer.h"
#include "platform/pictures/Bitmap.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace html::test {

// Runs a handler when a message posted to it arrives, so that a test can act from inside a
// loop that lets posted messages through.
class TMailbox : public plat::TCustomControl {
 public:
  static constexpr uint32_t kMail = plat::WM_USER + 500;
  using plat::TCustomControl::TCustomControl;
  void Post() { plat::PostMessage(this, kMail); }
  std::function<void()> OnMail;

 protected:
  void WndProc(plat::TMessage& message) override {
    if (message.Msg == kMail && OnMail) {
      OnMail();
      return;
    }
    plat::TCustomControl::WndProc(message);
  }
};

class ViewerInteraction : public test_support::ShownFormTest {
 protected:
  ViewerInteraction() : ShownFormTest({50, 50, 450, 350}) {}

  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<TPageViewer>(0, 0, 400, 300);
    mailbox = Add<TMailbox>(410, 0, 10, 10);
    plat::Application().ProcessMessages();
  }

  void Load(const std::string& page, const std::string& reference = "") {
    viewer->LoadFromString(page, reference);
    plat::Application().ProcessMessages();
  }
  plat::TControl& Panel() { return viewer->PaintPanel(); }

  void PointerAt(plat::TPoint p) { plat::TestHooks().cursorPos = Panel().ClientToScreen(p); }
  void Move(plat::TPoint p, plat::TShiftState shift = 0) {
    PointerAt(p);
    plat::SimulateMouse(Panel(), plat::TMouseAction::Move, plat::mbLeft, p, shift);
  }
  void Press(plat::TPoint p, plat::TMouseButton button = plat::mbLeft,
             plat::TShiftState shift = 0) {
    PointerAt(p);
    plat::SimulateMouse(Panel(), plat::TMouseAction::Press, button, p, shift);
  }
  void Release(plat::TPoint p, plat::TMouseButton button = plat::mbLeft,
               plat::TShiftState shift = 0) {
    PointerAt(p);
    plat::SimulateMouse(Panel(), plat::TMouseAction::Release, button, p, shift);
  }
  void Click(plat::TPoint p, plat::TMouseButton button = plat::mbLeft) {
    Press(p, button);
    Release(p, button);
  }
  void DoubleClick(plat::TPoint p) {
    plat::SimulateMouse(Panel(), plat::TMouseAction::DoubleClick, plat::mbLeft, p);
    plat::SimulateMouse(Panel(), plat::TMouseAction::Release, plat::mbLeft, p);
  }

  // A point well inside the drawn link with this URL; fails the test when there is none.
  plat::TPoint LinkPoint(const std::string& url) {
    std::vector<plat::TPoint> hits;
    for (int y = 0; y < Panel().Height(); y += 2)
      for (int x = 0; x < Panel().Width(); x += 2) {
        THitLink hit;
        if ((viewer->GetLinkAt(x, y, hit) & hlLink) && hit.UrlTarget->URL == url)
          hits.push_back({x, y});
      }
    EXPECT_FALSE(hits.empty()) << url;
    return hits.empty() ? plat::TPoint{-100, -100} : hits[hits.size() / 2];
  }

  // A point on the character at the first place where text occurs in the page's text, as the
  // last paint placed it.
  plat::TPoint TextPoint(const std::u16string& text) {
    plat::Application().ProcessMessages();
    TSectionList& document = viewer->Document();
    for (int32_t pos = 0; pos < 10000; ++pos) {
      bool match = true;
      for (size_t i = 0; i < text.size() && match; ++i) {
        char16_t ch = 0;
        TSectionBase* item = nullptr;
        match = document.GetChAtPos(pos + int32_t(i), ch, item) && ch == text[i];
      }
      if (!match) continue;
      int32_t x = 0, y = 0, nextX = 0, nextY = 0;
      plat::TBitmap measure;
      EXPECT_TRUE(document.CursorToXY(&measure.Canvas(), pos, x, y));
      EXPECT_TRUE(document.CursorToXY(&measure.Canvas(), pos + 1, nextX, nextY));
      return {(x + nextX) / 2, y + 6 - document.ScrollY};
    }
    ADD_FAILURE() << "text not in the page";
    return {-100, -100};
  }

  plat::TTestHooksScope hooks;
  TPageViewer* viewer = nullptr;
  TMailbox* mailbox = nullptr;
};

// Paragraphs enough to scroll: "line 0", "line 1" ...
inline std::string TallPage(int lines) {
  std::string page;
  for (int i = 0; i < lines; ++i) page += "<p>line " + std::to_string(i) + "</p>";
  return page;
}

}  // namespace html::test
