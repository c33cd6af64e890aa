// Bar controls sharing one painter and one mouse and timer engine: the arrow bar base, the range
// bar (a scroll bar over a floating-point position) and the gauge bar (the slider used for every
// numeric setting), plus a forwarder of appearance properties to one or two bars.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/core/Types.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Controls.h"
#include "platform/windows/StdCtrls.h"

namespace gfx {

enum TRBStyle : uint8_t { rbsDefault, rbsMac };
enum TRBBackgnd : uint8_t { bgPattern, bgSolid };
enum TBarZone : uint8_t { zNone, zBtnPrev, zTrackPrev, zHandle, zTrackNext, zBtnNext };
enum TArrowDirection : uint8_t { adLeft, adUp, adRight, adDown };

// What the timer is doing.
inline constexpr int32_t TimerFirstRepeat = 1;
inline constexpr int32_t TimerRepeating = 2;
inline constexpr int32_t TimerHotTrack = 3;

class TArrowBar : public plat::TCustomControl {
 public:
  explicit TArrowBar(plat::TComponent* Owner);
  ~TArrowBar() override;

  TRBBackgnd Backgnd() const { return backgnd_; }
  void SetBackgnd(TRBBackgnd Value);
  int32_t ButtonSize() const { return buttonSize_; }
  void SetButtonSize(int32_t Value);
  plat::TColor HandleColor() const { return handleColor_; }
  void SetHandleColor(plat::TColor Value);
  plat::TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(plat::TColor Value);
  plat::TColor HighLightColor() const { return highLightColor_; }
  void SetHighLightColor(plat::TColor Value);
  plat::TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(plat::TColor Value);
  plat::TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(plat::TColor Value);
  plat::TScrollBarKind Kind() const { return kind_; }
  void SetKind(plat::TScrollBarKind Value);
  bool ShowArrows() const { return showArrows_; }
  void SetShowArrows(bool Value);
  bool ShowHandleGrip() const { return showHandleGrip_; }
  void SetShowHandleGrip(bool Value);
  TRBStyle Style() const { return style_; }
  void SetStyle(TRBStyle Value);

  TBarZone PressedZone() const { return pressedZone_; }
  TBarZone HoverZone() const { return hoverZone_; }
  int32_t TimerMode() const { return timerMode_; }
  plat::TTimer& Timer() const { return *timer_; }
  // The zone under a client point.
  TBarZone ZoneAt(int X, int Y);
  // The client rectangle of a zone.
  TRect ZoneRect(TBarZone Zone);
  virtual TRect HandleRect() = 0;
  // The repeat and hot-tracking step; tests and the timer call it.
  virtual void TimerTick(plat::TObject* Sender);

  plat::TNotifyEvent OnChange;
  plat::TNotifyEvent OnUserChange;

 protected:
  void Paint() override;
  void WndProc(plat::TMessage& Message) override;
  void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseMove(plat::TShiftState Shift, int X, int Y) override;
  void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;

  virtual void DoChange();
  virtual void DrawButton(TRect R, TArrowDirection Direction, bool Pushed, bool Enabled, bool Hot);
  virtual void DrawHandle(TRect R, bool Horz, bool Pushed, bool Hot);
  virtual void DrawTrack(TRect R, TArrowDirection Direction, bool Pushed, bool Enabled, bool Hot);
  virtual bool ShowsEnabled() const { return Enabled(); }
  virtual void MouseGone();
  // Whether a press is taken at all.
  virtual bool AcceptsPress() const { return true; }
  // The handle was pressed: remember where the drag starts.
  virtual void StartDrag() = 0;
  // The handle moved D pixels along the bar since the press.
  virtual void DragBy(int D) = 0;
  // One repeat step for the pressed zone; true when the position moved.
  virtual bool StepZone(TBarZone Zone) = 0;

  bool IsHorz() const { return kind_ == plat::sbHorizontal; }
  int32_t GetButtonSize();
  // The client rectangle less the two buttons.
  TRect TrackRect();
  int32_t TrackLength();
  // The part of the track from Start, Length long.
  TRect PlaceAlong(int32_t Start, int32_t Length);
  // Extent of the client across the bar.
  int32_t Thickness();
  void StartHotTracking();
  // Runs F with the user flag set, so that changes fire OnUserChange.
  template <class F>
  void AsUser(F&& f) {
    bool saved = byUser_;
    byUser_ = true;
    try {
      f();
    } catch (...) {
      byUser_ = saved;
      throw;
    }
    byUser_ = saved;
  }

 private:
  void StartRepeat();
  void SetAppearance(plat::TColor& Field, plat::TColor Value);

  TRBBackgnd backgnd_ = bgPattern;
  int32_t buttonSize_ = 0;
  plat::TColor handleColor_ = plat::clBtnShadow;
  plat::TColor buttonColor_ = plat::clBtnFace;
  plat::TColor highLightColor_ = plat::clBtnHighlight;
  plat::TColor shadowColor_ = plat::clBtnShadow;
  plat::TColor borderColor_ = plat::clWindowFrame;
  plat::TScrollBarKind kind_ = plat::sbHorizontal;
  bool showArrows_ = true;
  bool showHandleGrip_ = true;
  TRBStyle style_ = rbsDefault;
  bool byUser_ = false;
  TBarZone pressedZone_ = zNone;
  TBarZone hoverZone_ = zNone;
  std::unique_ptr<plat::TTimer> timer_;
  int32_t timerMode_ = 0;
  int pressX_ = 0, pressY_ = 0;
};

// A scroll bar over Position in 0 .. Range - VisibleSpan.
class TCustomRangeBar : public TArrowBar {
 public:
  explicit TCustomRangeBar(plat::TComponent* Owner);

  bool Centered() const { return centered_; }
  void SetCentered(bool Value) { centered_ = Value; }
  uint16_t Increment() const { return increment_; }
  void SetIncrement(uint16_t Value) { increment_ = Value; }
  float Position() const { return position_; }
  void SetPosition(float Value);
  int32_t Range() const { return range_; }
  void SetRange(int32_t Value) { SetRangeAndWindow(Value, pageSize_); }
  int32_t PageSize() const { return pageSize_; }
  void SetPageSize(int32_t Value) { SetRangeAndWindow(range_, Value); }
  void SetRangeAndWindow(int32_t NewRange, int32_t NewWindow);
  int32_t VisibleSpan() const { return visibleSpan_; }
  TRect HandleRect() override;

 protected:
  void Resize() override;
  bool DoMouseWheel(plat::TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  bool ShowsEnabled() const override;
  bool AcceptsPress() const override { return range_ > visibleSpan_; }
  void StartDrag() override { dragStartPosition_ = position_; }
  void DragBy(int D) override;
  bool StepZone(TBarZone Zone) override;

 private:
  void ComputeVisibleSpan();
  void ClampPosition();
  // Keeps the centre of the view where it was relative to the range.
  void Recenter(int32_t OldRange, int32_t OldSpan);

  float dragStartPosition_ = 0;
  bool centered_ = false;
  int32_t visibleSpan_ = 0;
  uint16_t increment_ = 8;
  float position_ = 0;
  int32_t range_ = 0;
  int32_t pageSize_ = 0;
};

// A slider over an integer Position in Min .. Max.
class TCustomGaugeBar : public TArrowBar {
 public:
  explicit TCustomGaugeBar(plat::TComponent* Owner);

  int32_t HandleSize() const { return handleSize_; }
  void SetHandleSize(int32_t Value);
  int32_t LargeChange() const { return largeChange_; }
  void SetLargeChange(int32_t Value) { largeChange_ = std::max(Value, 1); }
  int32_t SmallChange() const { return smallChange_; }
  void SetSmallChange(int32_t Value) { smallChange_ = std::max(Value, 1); }
  int32_t Max() const { return max_; }
  void SetMax(int32_t Value);
  int32_t Min() const { return min_; }
  void SetMin(int32_t Value);
  int32_t Position() const { return position_; }
  void SetPosition(int32_t Value);
  TRect HandleRect() override;

 protected:
  bool DoMouseWheel(plat::TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void StartDrag() override { dragStartPosition_ = position_; }
  void DragBy(int D) override;
  bool StepZone(TBarZone Zone) override;

 private:
  void ClampPosition();
  // Handle length and its room to travel in the track.
  void HandleMetrics(int32_t& Size, int32_t& Travel);

  // Whole, so that a drag over a range wider than a single's precision starts where it was.
  int32_t dragStartPosition_ = 0;
  int32_t handleSize_ = 0;
  int32_t largeChange_ = 1;
  int32_t max_ = 100;
  int32_t min_ = 0;
  int32_t position_ = 0;
  int32_t smallChange_ = 1;
  int64_t wheelRest_ = 0;  // a turn short of a whole notch
};

class TGaugeBar : public TCustomGaugeBar {
 public:
  using TCustomGaugeBar::TCustomGaugeBar;
};

// Forwards the appearance of bars: reads the first, writes both.
class TArrowBarAccess : public plat::TPersistent {
 public:
  TArrowBarAccess(TArrowBar* FirstBar, TArrowBar* SecondBar)
      : firstBar_(FirstBar), secondBar_(SecondBar) {}
  TArrowBar* FirstBar() const { return firstBar_; }
  TArrowBar* SecondBar() const { return secondBar_; }

  TRBBackgnd Backgnd() const { return firstBar_->Backgnd(); }
  void SetBackgnd(TRBBackgnd V) { ForBoth(&TArrowBar::SetBackgnd, V); }
  int32_t ButtonSize() const { return firstBar_->ButtonSize(); }
  void SetButtonSize(int32_t V) { ForBoth(&TArrowBar::SetButtonSize, V); }
  plat::TColor Color() const { return firstBar_->Color(); }
  void SetColor(plat::TColor V) { ForBoth(&TArrowBar::SetColor, V); }
  plat::TColor HandleColor() const { return firstBar_->HandleColor(); }
  void SetHandleColor(plat::TColor V) { ForBoth(&TArrowBar::SetHandleColor, V); }
  plat::TColor ButtonColor() const { return firstBar_->ButtonColor(); }
  void SetButtonColor(plat::TColor V) { ForBoth(&TArrowBar::SetButtonColor, V); }
  plat::TColor HighLightColor() const { return firstBar_->HighLightColor(); }
  void SetHighLightColor(plat::TColor V) { ForBoth(&TArrowBar::SetHighLightColor, V); }
  plat::TColor ShadowColor() const { return firstBar_->ShadowColor(); }
  void SetShadowColor(plat::TColor V) { ForBoth(&TArrowBar::SetShadowColor, V); }
  plat::TColor BorderColor() const { return firstBar_->BorderColor(); }
  void SetBorderColor(plat::TColor V) { ForBoth(&TArrowBar::SetBorderColor, V); }
  bool ShowArrows() const { return firstBar_->ShowArrows(); }
  void SetShowArrows(bool V) { ForBoth(&TArrowBar::SetShowArrows, V); }
  bool ShowHandleGrip() const { return firstBar_->ShowHandleGrip(); }
  void SetShowHandleGrip(bool V) { ForBoth(&TArrowBar::SetShowHandleGrip, V); }
  TRBStyle Style() const { return firstBar_->Style(); }
  void SetStyle(TRBStyle V) { ForBoth(&TArrowBar::SetStyle, V); }

  void Assign(const plat::TPersistent& Source) override;

 private:
  template <class S, class V>
  void ForBoth(S Setter, V Value) {
    (firstBar_->*Setter)(Value);
    if (secondBar_) (secondBar_->*Setter)(Value);
  }
  TArrowBar* firstBar_;
  TArrowBar* secondBar_;
};

}  // namespace gfx
