// Mouse, wheel, key and paint messages as a custom control receives them through its window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

std::string At(const char* what, int x, int y) {
  return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y);
}

// A colour as the screen shows it: 0xRRGGBB.
uint32_t Rgb(TColor color) {
  TColor c = ColorToRGB(color);
  return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

class TProbe : public TCustomControl {
 public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
  std::vector<std::string> log;
  std::vector<TRect> paints;
  int paintRequests = 0;
  bool captureSeenInMove = false;

  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PAINT && !(ControlState() & csCustomPaint)) ++paintRequests;
    TCustomControl::WndProc(m);
  }

 protected:
  void Click() override {
    log.push_back("click");
    TCustomControl::Click();
  }
  void DblClick() override {
    log.push_back("dblclick");
    TCustomControl::DblClick();
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    log.push_back(At(shift & ssDouble    ? "down double"
                     : button == mbRight ? "rdown"
                                         : "down",
                     x, y));
    TCustomControl::MouseDown(button, shift, x, y);
  }
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
    log.push_back(At(button == mbRight ? "rup" : "up", x, y));
    TCustomControl::MouseUp(button, shift, x, y);
  }
  void MouseMove(TShiftState shift, int x, int y) override {
    log.push_back(At(shift & ssLeft ? "drag" : "move", x, y));
    if (shift & ssLeft) captureSeenInMove = MouseCapture();
    TCustomControl::MouseMove(shift, x, y);
  }
  void Paint() override { paints.push_back(Canvas()->ClipRect()); }
};

class Messages : public testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(40, 40, 300, 200);
    probe = form.Make<TProbe>();
    probe->SetBounds(20, 30, 100, 80);
    probe->SetParent(&form);
    form.Show();
    Application().ProcessMessages();
    probe->log.clear();
    probe->paints.clear();
  }
  TForm form{nullptr};
  TProbe* probe = nullptr;
};

TEST_F(Messages, AClickThenADoubleClickArriveInTheLibraryOrder) {
  SimulateMouse(*probe, TMouseAction::Press, mbLeft, {5, 6});
  SimulateMouse(*probe, TMouseAction::Release, mbLeft, {5, 6});
  SimulateMouse(*probe, TMouseAction::DoubleClick, mbLeft, {5, 6});
  SimulateMouse(*probe, TMouseAction::Release, mbLeft, {5, 6});
  EXPECT_EQ(probe->log, (std::vector<std::string>{"down 5,6", "click", "up 5,6", "dblclick",
                                                  "down double 5,6", "up 5,6"}));
}

TEST_F(Messages, WithoutDoubleClicksTheSecondPressIsAPress) {
  probe->SetControlStyle(probe->ControlStyle() & ~csDoubleClicks);
  SimulateMouse(*probe, TMouseAction::Press, mbLeft, {1, 2});
  SimulateMouse(*probe, TMouseAction::Release, mbLeft, {1, 2});
  SimulateMouse(*probe, TMouseAction::DoubleClick, mbLeft, {1, 2});
  SimulateMouse(*probe, TMouseAction::Release, mbLeft, {1, 2});
  EXPECT_EQ(probe->log, (std::vector<std::string>{"down 1,2", "click", "up 1,2", "down 1,2",
                                                  "click", "up 1,2"}));
}

TEST_F(Messages, ADragLeavingTheControlStaysWithItUntilRelease) {
  SimulateMouse(*probe, TMouseAction::Press, mbLeft, {10, 10});
  EXPECT_TRUE(probe->MouseCapture());
  SimulateMouse(*probe, TMouseAction::Move, mbLeft, {150, -20});
  EXPECT_TRUE(probe->captureSeenInMove);
  // Released outside: no click, but the release still comes here.
  SimulateMouse(*probe, TMouseAction::Release, mbLeft, {150, -20});
  EXPECT_FALSE(probe->MouseCapture());
  EXPECT_EQ(probe->log, (std::vector<std::string>{"down 10,10", "drag 150,-20", "up 150,-20"}));
}

TEST_F(Messages, AReleaseThatWentElsewhereIsDeliveredBeforeTheNextEvent) {
  // A second window takes the release, as a dialog opened during a drag would.
  TForm other(nullptr);
  other.SetBounds(400, 40, 100, 100);
  auto* elsewhere = other.Make<TProbe>();
  elsewhere->SetBounds(0, 0, 100, 100);
  elsewhere->SetParent(&other);
  other.Show();
  SimulateMouse(*probe, TMouseAction::Press, mbLeft, {10, 10});
  SimulateMouse(*elsewhere, TMouseAction::Release, mbLeft, {5, 5});
  SimulateMouse(*probe, TMouseAction::Move, mbLeft, {12, 12});
  ASSERT_EQ(probe->log.size(), 3u);
  EXPECT_EQ(probe->log[0], "down 10,10");
  EXPECT_EQ(probe->log[1].substr(0, 3), "up ");
  EXPECT_EQ(probe->log[2], "move 12,12");
  EXPECT_FALSE(probe->MouseCapture());
}

// Calls its bottom-right 10 x 10 pixels the sizing corner and counts cursor questions.
class TGripProbe : public TProbe {
 public:
  using TProbe::TProbe;
  int cursorQuestions = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_NCHITTEST) {
      TPoint p = ScreenToClient({LParamX(m.LParam), LParamY(m.LParam)});
      m.Result = p.X >= Width() - 10 && p.Y >= Height() - 10 ? HTBOTTOMRIGHT : HTCLIENT;
      return;
    }
    if (m.Msg == WM_SETCURSOR) ++cursorQuestions;
    TProbe::WndProc(m);
  }
};

class TSizingForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<intptr_t> sizeRequests;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_NCLBUTTONDOWN) sizeRequests.push_back(m.WParam);
    TForm::WndProc(m);
  }
};

TEST(MessagesGrip, ThePressOnASizingCornerGoesToTheForm) {
  TSizingForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  auto* grip = form.Make<TGripProbe>();
  grip->SetBounds(10, 10, 100, 80);
  grip->SetParent(&form);
  form.Show();
  Application().ProcessMessages();
  SimulateMouse(*grip, TMouseAction::Move, mbLeft, {50, 40});
  EXPECT_EQ(grip->cursorQuestions, 1);
  SimulateMouse(*grip, TMouseAction::Press, mbLeft, {95, 75});
  SimulateMouse(*grip, TMouseAction::Release, mbLeft, {95, 75});
  EXPECT_EQ(form.sizeRequests, (std::vector<intptr_t>{HTBOTTOMRIGHT}));
  SimulateMouse(*grip, TMouseAction::Press, mbLeft, {20, 20});
  SimulateMouse(*grip, TMouseAction::Release, mbLeft, {20, 20});
  EXPECT_EQ(form.sizeRequests.size(), 1u);
  EXPECT_EQ(grip->log, (std::vector<std::string>{"move 50,40", "down 20,20", "click", "up 20,20"}));
}

TEST_F(Messages, ThePointerEnteringAndLeavingIsReported) {
  std::string seen;
  probe->OnMouseEnter = [&](TObject*) { seen += "enter "; };
  probe->OnMouseLeave = [&](TObject*) { seen += "leave "; };
  SimulateMouse(form, TMouseAction::Move, mbLeft, {5, 5});
  SimulateMouse(*probe, TMouseAction::Move, mbLeft, {5, 5});
  SimulateMouse(*probe, TMouseAction::Move, mbLeft, {6, 6});
  SimulateMouse(form, TMouseAction::Move, mbLeft, {250, 150});
  EXPECT_EQ(seen, "enter leave ");
}

TEST_F(Messages, WheelNotchesReachTheUpAndDownEventsAfterOnMouseWheel) {
  std::vector<std::string> calls;
  probe->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    calls.push_back("wheel " + std::to_string(delta));
    handled = delta == 999;  // never: the notches go on to the up and down events
  };
  probe->OnMouseWheelUp = [&](TObject*, TShiftState shift, TPoint, bool& handled) {
    calls.push_back(shift & ssCtrl ? "up ctrl" : "up");
    handled = true;
  };
  probe->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    calls.push_back("down");
    handled = true;
  };
  SimulateWheel(*probe, 120, {4, 4}, ssCtrl);
  // Half notches add up before they count.
  SimulateWheel(*probe, 60, {4, 4});
  SimulateWheel(*probe, 60, {4, 4});
  SimulateWheel(*probe, -240, {4, 4});
  // Both notches of the last turn count, though the first was handled.
  EXPECT_EQ(calls, (std::vector<std::string>{"wheel 120", "up ctrl", "wheel 60", "wheel 60", "up",
                                             "wheel -240", "down", "down"}));
}

TEST_F(Messages, KeyPreviewShowsEveryCharacterToTheFormFirst) {
  auto* edit = form.Make<TEdit>();
  edit->SetParent(&form);
  std::string seen;
  form.SetKeyPreview(true);
  form.OnKeyPress = [&](TObject*, char& key) {
    seen += key == 27 ? std::string("<esc>") : std::string("form:") + key + " ";
    if (key == 'q') key = 0;  // swallowed: the edit never sees it
  };
  edit->OnKeyPress = [&](TObject*, char& key) { seen += std::string("edit:") + key + " "; };
  SimulateKey(*edit, 'X', "x");
  SimulateKey(*edit, 'Q', "q");
  SimulateKey(*edit, VK_ESCAPE, "");
  // Esc is not swallowed, so the edit hears it after the form.
  EXPECT_EQ(seen, "form:x edit:x form:q <esc>edit:\x1b ");
  EXPECT_EQ(edit->Text(), "x");

  // Without preview the form hears nothing.
  seen.clear();
  form.SetKeyPreview(false);
  SimulateKey(*edit, '1', "1");
  EXPECT_EQ(seen, "edit:1 ");
}

TEST_F(Messages, EnterAndEscReachTheDefaultAndCancelButtons) {
  auto* edit = form.Make<TEdit>();
  edit->SetParent(&form);
  auto* ok = form.Make<TButton>();
  ok->SetParent(&form);
  ok->SetDefault(true);
  auto* cancel = form.Make<TButton>();
  cancel->SetParent(&form);
  cancel->SetCancel(true);
  std::string clicks;
  ok->OnClick = [&](TObject*) { clicks += "ok "; };
  cancel->OnClick = [&](TObject*) { clicks += "cancel "; };
  SimulateKey(*edit, VK_RETURN, "\r");
  SimulateKey(*edit, VK_ESCAPE, "\x1b");
  cancel->SetEnabled(false);
  SimulateKey(*edit, VK_ESCAPE, "\x1b");
  EXPECT_EQ(clicks, "ok cancel ");
}

TEST_F(Messages, PaintRequestsCoalesceAndRepaintTheUnionOfInvalidAreas) {
  PostMessage(probe, WM_PAINT);
  PostMessage(probe, WM_PAINT);
  probe->InvalidateRect({0, 0, 10, 10});
  probe->InvalidateRect({30, 20, 40, 30});
  Application().ProcessMessages();
  EXPECT_EQ(probe->paintRequests, 1);
  ASSERT_EQ(probe->paints.size(), 1u);
  EXPECT_EQ(probe->paints[0], (TRect{0, 0, 40, 30}));

  // Update runs a queued paint request at once, and only once.
  PostMessage(probe, WM_PAINT);
  probe->Update();
  EXPECT_EQ(probe->paintRequests, 2);
  Application().ProcessMessages();
  EXPECT_EQ(probe->paintRequests, 2);

  // A synchronous repaint paints at once, before any event runs.
  probe->paints.clear();
  probe->RepaintRect({5, 5, 15, 25});
  ASSERT_EQ(probe->paints.size(), 1u);
  EXPECT_EQ(probe->paints[0], (TRect{5, 5, 15, 25}));
}

// Paints a buffer whose pixels have no alpha at all: the window must still show their colour.
class TBufferProbe : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<uint32_t> buffer = std::vector<uint32_t>(20 * 10, 0x0033CC99u);

 protected:
  void Paint() override {
    DeviceContext source(buffer.data(), 20, 10, 20 * 4);
    Canvas()->Handle()->BitBlt(0, 0, 20, 10, &source, 0, 0, SRCCOPY);
  }
};

TEST_F(Messages, CopyingABufferToTheWindowIgnoresItsAlpha) {
  auto* view = form.Make<TBufferProbe>();
  view->SetBounds(150, 10, 20, 10);
  view->SetParent(&form);
  TCapturedImage image = CaptureControl(*view);
  ASSERT_EQ(image.width, 20);
  EXPECT_EQ(image.Pixel(3, 4) & 0xFFFFFF, 0x33CC99u);
  EXPECT_EQ(image.Pixel(19, 9) & 0xFFFFFF, 0x33CC99u);
}

TEST_F(Messages, ACustomControlPaintsItsColourAndASingleBorder) {
  probe->SetColor(clRed);
  probe->SetBorderStyle(bsSingle);
  EXPECT_EQ(probe->ClientRect(), (TRect{0, 0, 98, 78}));
  TCapturedImage image = CaptureControl(*probe);
  ASSERT_EQ(image.width, 100);
  EXPECT_EQ(image.Pixel(50, 40) & 0xFFFFFF, 0xFF0000u);
  // Sunken: shadow on the top-left edge, highlight on the bottom-right.
  EXPECT_EQ(image.Pixel(50, 0) & 0xFFFFFF, Rgb(clBtnShadow));
  EXPECT_EQ(image.Pixel(0, 40) & 0xFFFFFF, Rgb(clBtnShadow));
  EXPECT_EQ(image.Pixel(50, 79) & 0xFFFFFF, Rgb(clBtnHighlight));
  EXPECT_EQ(image.Pixel(99, 40) & 0xFFFFFF, Rgb(clBtnHighlight));
  // Mouse positions are client positions inside the border.
  SimulateMouse(*probe, TMouseAction::Move, mbLeft, {7, 8});
  EXPECT_EQ(probe->log.back(), "move 7,8");
}

}  // namespace
}  // namespace plat
