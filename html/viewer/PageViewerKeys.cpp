// Scrolling the viewer by keys, the wheel, middle-button panning and dragging a selection past
// the panel's edge.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "html/HtmlEngine.h"
#include "html/viewer/PageViewer.h"
#include "platform/runtime/Cpu.h"
#include "platform/windows/Application.h"

namespace html {

namespace {

constexpr int kPanDeadZone = 20;
constexpr uint64_t kStepIntervalMs = 100;
// How long the scrolling loop rests between looks at the pointer.
constexpr auto kLoopRest = std::chrono::milliseconds(5);

// The step while dragging a selection: a line beside the edge, eight lines further out.
int32_t SelectionStep(int y, int panelHeight, int32_t line) {
  constexpr int kNearEdge = 15;
  if (y < -kNearEdge) return -8 * line;
  if (y < 1) return -line;
  if (y <= panelHeight + kNearEdge) return line;
  return 8 * line;
}

// The step while panning, by the distance from where panning began.
int32_t PanStep(int distance) {
  if (distance < -60) return -32;
  if (distance < -kPanDeadZone) return -8;
  if (distance > 60) return 32;
  if (distance > kPanDeadZone) return 8;
  return 0;
}

}  // namespace

void TPageViewer::ScrollBy(int32_t delta) {
  const int64_t target = int64_t(vScrollBar_->Position()) + delta;
  ScrollTo(int32_t(std::clamp<int64_t>(target, 0, MaxVertPosition())));
}

void TPageViewer::KeyDown(uint16_t& key, plat::TShiftState shift) {
  plat::TCustomControl::KeyDown(key, shift);
  if (panning_) EndPanning();
  if (shift != 0) return;
  const int32_t line = vScrollBar_->SmallChange();
  switch (key) {
    case plat::VK_PRIOR:
      ScrollBy(-vScrollBar_->LargeChange());
      break;
    case plat::VK_NEXT:
      ScrollBy(vScrollBar_->LargeChange());
      break;
    case plat::VK_HOME:
      ScrollTo(0);
      break;
    case plat::VK_END:
      ScrollTo(scrollHeight_);
      break;
    case plat::VK_UP:
      ScrollBy(-line);
      break;
    case plat::VK_DOWN:
      ScrollBy(line);
      break;
    case plat::VK_LEFT:
      SetHorzPosition(hScrollBar_->Position() - hScrollBar_->SmallChange());
      break;
    case plat::VK_RIGHT:
      SetHorzPosition(hScrollBar_->Position() + hScrollBar_->SmallChange());
      break;
    default:
      break;
  }
}

bool TPageViewer::DoMouseWheel(plat::TShiftState shift, int wheelDelta, plat::TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (handled || (options_ & HtOption(htNoWheelMouse))) return handled;
  const int lines = plat::Mouse().WheelScrollLines();
  const int32_t line = vScrollBar_->SmallChange();
  int64_t delta = 0;
  if (lines >= 1) {
    // A notch (120) moves the desktop's lines; fine wheels and touchpads send parts of a notch,
    // which move their part of it.
    delta = plat::TakeWholeSteps(wheelRest_, -int64_t(wheelDelta) * lines * line, 120);
  } else {
    delta = -(wheelDelta / 2);
  }
  const int32_t before = vScrollBar_->Position();
  const int32_t after = int32_t(std::clamp<int64_t>(int64_t(before) + delta, 0, MaxVertPosition()));
  if (after != before) ScrollTo(after);
  return true;
}

void TPageViewer::EndPanning() {
  panning_ = false;
  autoScrollPending_ = false;
  paintPanel_->SetCursor(Cursor());
}

plat::TPoint TPageViewer::PointerInPanel() const {
  return paintPanel_->ScreenToClient(plat::Mouse().CursorPos());
}

bool TPageViewer::AutoScrollWanted(plat::TPoint pointer) const {
  if (!autoScrollPending_ || processing_) return false;
  if (panning_) return std::abs(pointer.Y - panStartY_) > kPanDeadZone;
  return leftButtonDown_ && (pointer.Y < 1 || pointer.Y > paintPanel_->Height());
}

void TPageViewer::AutoScrollStep(plat::TPoint pointer) {
  int32_t step = 0;
  if (panning_) {
    step = PanStep(pointer.Y - panStartY_);
    paintPanel_->SetCursor(step < 0 ? UpOnlyCursor : DownOnlyCursor);
  } else {
    step = SelectionStep(pointer.Y, paintPanel_->Height(), vScrollBar_->SmallChange());
  }
  ScrollBy(step);
  ExtendSelection(pointer.X, pointer.Y);
}

void TPageViewer::AutoScroll() {
  const std::weak_ptr<bool> alive = alive_;
  uint64_t lastStep = 0;
  bool stepped = false;
  for (plat::TPoint pointer = PointerInPanel(); AutoScrollWanted(pointer);
       pointer = PointerInPanel()) {
    const uint64_t now = plat::GetTickCount64();
    if (!stepped || now - lastStep >= kStepIntervalMs) {
      AutoScrollStep(pointer);
      lastStep = now;
      stepped = true;
    }
    // A release, a key or the window closing arrive here and end the loop.
    plat::Application().ProcessMessages();
    if (alive.expired()) return;
    std::this_thread::sleep_for(kLoopRest);
  }
  autoScrollPending_ = false;
  if (panning_) paintPanel_->SetCursor(UpDownCursor);
}

}  // namespace html
