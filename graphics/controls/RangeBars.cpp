#include "graphics/controls/RangeBars.h"

#include <algorithm>
#include <cmath>

#include "platform/drawing/Edges.h"
#include "platform/windows/Application.h"

namespace gfx {
namespace {

constexpr unsigned FirstRepeatDelay = 600;
constexpr unsigned RepeatDelay = 100;
constexpr unsigned HotTrackDelay = 150;
constexpr int32_t MinRangeHandle = 17;

// Half to even, held at the ends of the 32-bit range.
int32_t RoundEven(double V) {
  if (std::isnan(V)) return 0;
  return int32_t(std::clamp(std::nearbyint(V), double(INT32_MIN), double(INT32_MAX)));
}

// A position moved by Delta steps, held at the ends of the 32-bit range; the gauge then clamps
// it to its own.
int32_t Moved(int32_t Position, int64_t Delta) {
  return int32_t(std::clamp<int64_t>(int64_t(Position) + Delta, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TArrowBar ----

TArrowBar::TArrowBar(plat::TComponent* Owner) : plat::TCustomControl(Owner) {
  SetControlStyle((ControlStyle() & ~(plat::csAcceptsControls | plat::csDoubleClicks)) |
                  plat::csOpaque);
  SetBorderStyle(plat::bsSingle);
  SetColor(plat::clScrollBar);
  SetBounds(Left(), Top(), 100, 16);
  timer_ = std::make_unique<plat::TTimer>(nullptr);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](plat::TObject* sender) { TimerTick(sender); };
}

TArrowBar::~TArrowBar() {
  timer_->OnTimer = nullptr;
}

void TArrowBar::SetAppearance(plat::TColor& Field, plat::TColor Value) {
  if (Field == Value) return;
  Field = Value;
  Invalidate();
}

void TArrowBar::SetBackgnd(TRBBackgnd Value) {
  if (backgnd_ == Value) return;
  backgnd_ = Value;
  Invalidate();
}

void TArrowBar::SetButtonSize(int32_t Value) {
  if (buttonSize_ == Value) return;
  buttonSize_ = Value;
  Invalidate();
}

void TArrowBar::SetHandleColor(plat::TColor Value) {
  SetAppearance(handleColor_, Value);
}
void TArrowBar::SetButtonColor(plat::TColor Value) {
  SetAppearance(buttonColor_, Value);
}
void TArrowBar::SetHighLightColor(plat::TColor Value) {
  SetAppearance(highLightColor_, Value);
}
void TArrowBar::SetShadowColor(plat::TColor Value) {
  SetAppearance(shadowColor_, Value);
}
void TArrowBar::SetBorderColor(plat::TColor Value) {
  SetAppearance(borderColor_, Value);
}

void TArrowBar::SetKind(plat::TScrollBarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Invalidate();
}

void TArrowBar::SetShowArrows(bool Value) {
  if (showArrows_ == Value) return;
  showArrows_ = Value;
  Invalidate();
}

void TArrowBar::SetShowHandleGrip(bool Value) {
  if (showHandleGrip_ == Value) return;
  showHandleGrip_ = Value;
  Invalidate();
}

void TArrowBar::SetStyle(TRBStyle Value) {
  style_ = Value;
  Invalidate();
}

int32_t TArrowBar::Thickness() {
  TRect c = ClientRect();
  return IsHorz() ? c.Height() : c.Width();
}

int32_t TArrowBar::GetButtonSize() {
  if (!showArrows_) return 0;
  TRect c = ClientRect();
  int32_t length = IsHorz() ? c.Width() : c.Height();
  // In 64 bits: a size at either end of the integer range doubles or steps past it.
  int64_t b = buttonSize_ != 0 ? buttonSize_ : std::min(Thickness(), 32);
  if (length <= 2 * b) b = length / 2;
  if (style_ == rbsMac) --b;
  return b < 2 ? 0 : int32_t(b);
}

TRect TArrowBar::TrackRect() {
  TRect c = ClientRect();
  int32_t b = GetButtonSize();
  if (IsHorz()) return {c.Left + b, c.Top, c.Right - b, c.Bottom};
  return {c.Left, c.Top + b, c.Right, c.Bottom - b};
}

int32_t TArrowBar::TrackLength() {
  TRect t = TrackRect();
  return std::max(0, IsHorz() ? t.Width() : t.Height());
}

TRect TArrowBar::PlaceAlong(int32_t Start, int32_t Length) {
  TRect t = TrackRect();
  if (IsHorz()) return {t.Left + Start, t.Top, t.Left + Start + Length, t.Bottom};
  return {t.Left, t.Top + Start, t.Right, t.Top + Start + Length};
}

TBarZone TArrowBar::ZoneAt(int X, int Y) {
  TRect c = ClientRect();
  TPoint p{X, Y};
  if (!c.Contains(p)) return zNone;
  int32_t b = GetButtonSize();
  int32_t along = IsHorz() ? X : Y;
  int32_t length = IsHorz() ? c.Right : c.Bottom;
  if (b > 0 && along < b) return zBtnPrev;
  if (b > 0 && along >= length - b) return zBtnNext;
  TRect h = HandleRect();
  if (!h.IsEmpty() && h.Contains(p)) return zHandle;
  int32_t handleStart = IsHorz() ? h.Left : h.Top;
  int32_t handleEnd = IsHorz() ? h.Right : h.Bottom;
  if (h.IsEmpty())
    handleStart = handleEnd = (IsHorz() ? TrackRect().Left : TrackRect().Top) + TrackLength() / 2;
  if (along < handleStart && along >= 1) return zTrackPrev;
  if (along >= handleEnd && along < length - 1) return zTrackNext;
  return zNone;
}

TRect TArrowBar::ZoneRect(TBarZone Zone) {
  TRect c = ClientRect();
  int32_t b = GetButtonSize();
  TRect t = TrackRect();
  TRect h = HandleRect();
  int32_t split1, split2;
  if (!ShowsEnabled() || h.IsEmpty()) {
    split1 = split2 = (IsHorz() ? t.Left : t.Top) + TrackLength() / 2;
  } else {
    split1 = IsHorz() ? h.Left : h.Top;
    split2 = IsHorz() ? h.Right : h.Bottom;
  }
  auto along = [&](int32_t from, int32_t to) {
    return IsHorz() ? TRect{from, c.Top, to, c.Bottom} : TRect{c.Left, from, c.Right, to};
  };
  int32_t end = IsHorz() ? c.Right : c.Bottom;
  switch (Zone) {
    case zBtnPrev:
      return along(0, b);
    case zBtnNext:
      return along(end - b, end);
    case zTrackPrev:
      return along(IsHorz() ? t.Left : t.Top, split1);
    case zTrackNext:
      return along(split2, IsHorz() ? t.Right : t.Bottom);
    case zHandle:
      return h;
    default:
      return {};
  }
}

void TArrowBar::DoChange() {
  if (OnChange) OnChange(this);
  if (byUser_ && OnUserChange) OnUserChange(this);
}

void TArrowBar::WndProc(plat::TMessage& Message) {
  if (Message.Msg == plat::WM_ERASEBKGND) {
    Message.Result = -1;
    return;
  }
  plat::TCustomControl::WndProc(Message);
}

void TArrowBar::StartRepeat() {
  timer_->SetInterval(FirstRepeatDelay);
  timerMode_ = TimerRepeating;
  TimerTick(timer_.get());
  timerMode_ = TimerFirstRepeat;
  timer_->SetEnabled(true);
}

void TArrowBar::StartHotTracking() {
  timer_->SetInterval(HotTrackDelay);
  timerMode_ = TimerHotTrack;
  timer_->SetEnabled(true);
}

void TArrowBar::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  plat::TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != plat::mbLeft) return;
  if (!AcceptsPress()) {
    pressedZone_ = zNone;
    return;
  }
  pressedZone_ = ZoneAt(X, Y);
  Invalidate();
  pressX_ = X;
  pressY_ = Y;
  if (pressedZone_ == zHandle) {
    StartHotTracking();
    StartDrag();
  } else {
    StartRepeat();
  }
}

void TArrowBar::MouseMove(plat::TShiftState Shift, int X, int Y) {
  plat::TCustomControl::MouseMove(Shift, X, Y);
  if (pressedZone_ == zNone && ShowsEnabled()) {
    TBarZone z = ZoneAt(X, Y);
    if (z != hoverZone_) {
      hoverZone_ = z;
      if (z != zNone) StartHotTracking();
      Invalidate();
    }
  }
  if (pressedZone_ == zHandle) DragBy(IsHorz() ? X - pressX_ : Y - pressY_);
}

void TArrowBar::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  plat::TCustomControl::MouseUp(Button, Shift, X, Y);
  pressedZone_ = zNone;
  Invalidate();
  StartHotTracking();
}

void TArrowBar::MouseLeave() {
  MouseGone();
  plat::TCustomControl::MouseLeave();
}

void TArrowBar::MouseGone() {
  timer_->SetEnabled(false);
  hoverZone_ = zNone;
  Invalidate();
}

void TArrowBar::TimerTick(plat::TObject*) {
  TPoint cursor = ScreenToClient(plat::Mouse().CursorPos());
  if (timerMode_ == TimerFirstRepeat) {
    timer_->SetInterval(RepeatDelay);
    timerMode_ = TimerRepeating;
  } else if (timerMode_ == TimerHotTrack && !ClientRect().Contains(cursor)) {
    timer_->SetEnabled(false);
    hoverZone_ = zNone;
    Invalidate();
  }
  TRect c = ClientRect();
  if (c.IsEmpty()) return;
  TBarZone under =
      ZoneAt(std::clamp(cursor.X, c.Left, c.Right - 1), std::clamp(cursor.Y, c.Top, c.Bottom - 1));
  AsUser([&] {
    switch (pressedZone_) {
      case zBtnPrev:
      case zBtnNext:
        // Holding a button at the end of the range only hot-tracks.
        if (!StepZone(pressedZone_)) StartHotTracking();
        break;
      case zTrackPrev:
        if (under == zBtnPrev || under == zTrackPrev) StepZone(zTrackPrev);
        break;
      case zTrackNext:
        if (under == zTrackNext || under == zBtnNext) StepZone(zTrackNext);
        break;
      default:
        break;
    }
  });
}

// ---- painting ----

namespace {

int32_t ChannelSum(int32_t a, int32_t n) {
  return std::clamp(a + n, 0, 255);
}

plat::TColor Lighten(plat::TColor C, int32_t N) {
  plat::TColor rgb = plat::ColorToRGB(C);
  return plat::TColor(ChannelSum(plat::GetRValue(rgb), N) |
                      (ChannelSum(plat::GetGValue(rgb), N) << 8) |
                      (ChannelSum(plat::GetBValue(rgb), N) << 16));
}

// (a * w + b * (255 - w)) / 256 per channel.
plat::TColor BlendColors(plat::TColor A, plat::TColor B, int32_t W) {
  plat::TColor a = plat::ColorToRGB(A), b = plat::ColorToRGB(B);
  auto mix = [&](int shift) {
    int32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    return ((ca * W + cb * (255 - W)) / 256) << shift;
  };
  return plat::TColor(mix(0) | mix(8) | mix(16));
}

void FillSolid(plat::TCanvas& Canvas, const TRect& R, plat::TColor C) {
  Canvas.Brush().SetStyle(plat::bsSolid);
  Canvas.Brush().SetColor(C);
  Canvas.FillRect(R);
}

// A one-pixel frame on every side except Open (the side facing the rest of the bar).
void PartialFrame(plat::TCanvas& Canvas, TRect& R, TArrowDirection Open, plat::TColor C) {
  if (Open != adLeft) FillSolid(Canvas, {R.Left, R.Top, R.Left + 1, R.Bottom}, C);
  if (Open != adUp) FillSolid(Canvas, {R.Left, R.Top, R.Right, R.Top + 1}, C);
  if (Open != adRight) FillSolid(Canvas, {R.Right - 1, R.Top, R.Right, R.Bottom}, C);
  if (Open != adDown) FillSolid(Canvas, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, C);
  if (Open != adLeft) ++R.Left;
  if (Open != adUp) ++R.Top;
  if (Open != adRight) --R.Right;
  if (Open != adDown) --R.Bottom;
}

void DrawArrow(plat::TCanvas& Canvas, const TRect& R, TArrowDirection D, plat::TColor C) {
  int32_t cx = (R.Left + R.Right - 1) / 2, cy = (R.Top + R.Bottom - 1) / 2;
  int32_t h = std::min(cx - R.Left, cy - R.Top) * 3 / 4;
  if (h < 1) return;
  int32_t s = h == 1 ? 1 : h - 1;
  int32_t o = (D == adRight || D == adDown) ? s / 3 : (s + 1) / 3;
  TPoint p[3];
  switch (D) {
    case adLeft:
      p[0] = {cx + o, cy + s}, p[1] = {cx + o - s, cy}, p[2] = {cx + o, cy - s};
      break;
    case adUp:
      p[0] = {cx + s, cy + o}, p[1] = {cx, cy + o - s}, p[2] = {cx - s, cy + o};
      break;
    case adRight:
      p[0] = {cx - o, cy + s}, p[1] = {cx - o + s, cy}, p[2] = {cx - o, cy - s};
      break;
    case adDown:
      p[0] = {cx + s, cy - o}, p[1] = {cx, cy - o + s}, p[2] = {cx - s, cy - o};
      break;
  }
  Canvas.Pen().SetColor(C);
  Canvas.Brush().SetStyle(plat::bsSolid);
  Canvas.Brush().SetColor(C);
  Canvas.Polygon(p);
}

// The side of a button that faces the track.
TArrowDirection TrackSide(TArrowDirection D) {
  switch (D) {
    case adLeft:
      return adRight;
    case adRight:
      return adLeft;
    case adUp:
      return adDown;
    default:
      return adUp;
  }
}

}  // namespace

void TArrowBar::DrawButton(TRect R, TArrowDirection Direction, bool Pushed, bool Enabled, bool) {
  plat::TCanvas& canvas = *Canvas();
  if (style_ == rbsDefault) {
    static constexpr uint32_t arrowFlags[] = {plat::DFCS_SCROLLLEFT, plat::DFCS_SCROLLUP,
                                              plat::DFCS_SCROLLRIGHT, plat::DFCS_SCROLLDOWN};
    uint32_t state = arrowFlags[Direction];
    if (!Enabled) state |= plat::DFCS_INACTIVE;
    if (Pushed) state |= plat::DFCS_PUSHED | plat::DFCS_FLAT;
    plat::DrawFrameControl(canvas, R, plat::DFC_SCROLL, state);
    return;
  }
  PartialFrame(canvas, R, TrackSide(Direction), Enabled ? borderColor_ : shadowColor_);
  if (Pushed) {
    FillSolid(canvas, R, buttonColor_);
    DrawArrow(canvas, R.Offset(1, 1), Direction, borderColor_);
    return;
  }
  TRect inner = R;
  plat::Frame3D(canvas, inner, highLightColor_, shadowColor_, 1);
  FillSolid(canvas, inner, buttonColor_);
  if (Enabled) {
    DrawArrow(canvas, R, Direction, borderColor_);
  } else {
    DrawArrow(canvas, R.Offset(1, 1), Direction, highLightColor_);
    DrawArrow(canvas, R, Direction, shadowColor_);
  }
}

void TArrowBar::DrawTrack(TRect R, TArrowDirection Direction, bool Pushed, bool Enabled, bool) {
  if (R.IsEmpty()) return;
  plat::TCanvas& canvas = *Canvas();
  plat::TColor control = EffectiveColor();
  if (style_ == rbsDefault) {
    plat::FillDither(canvas, R, Pushed ? plat::clWindowFrame : highLightColor_, control);
    return;
  }
  PartialFrame(canvas, R, TrackSide(Direction), Enabled ? borderColor_ : shadowColor_);
  if (R.IsEmpty()) return;
  if (Pushed) {
    FillSolid(canvas, R, borderColor_);
  } else if (!Enabled) {
    FillSolid(canvas, R, buttonColor_);
  } else {
    plat::TColor shade = BlendColors(BlendColors(highLightColor_, control, 127), borderColor_, 32);
    if (IsHorz()) {
      FillSolid(canvas, {R.Left, R.Top, R.Right, R.Top + 1}, shade);
      ++R.Top;
    } else {
      FillSolid(canvas, {R.Left, R.Top, R.Left + 1, R.Bottom}, shade);
      ++R.Left;
    }
    if (backgnd_ == bgPattern)
      plat::FillDither(canvas, R, highLightColor_, control);
    else
      FillSolid(canvas, R, control);
  }
}

void TArrowBar::DrawHandle(TRect R, bool Horz, bool Pushed, bool) {
  plat::TCanvas& canvas = *Canvas();
  if (style_ == rbsDefault) {
    plat::DrawEdge(canvas, R, plat::EDGE_RAISED, plat::BF_RECT | plat::BF_MIDDLE);
    return;
  }
  canvas.Brush().SetColor(borderColor_);
  canvas.FrameRect(R);
  InflateRect(R, -1, -1);
  if (Pushed)
    plat::Frame3D(canvas, R, Lighten(handleColor_, -24), handleColor_, 1);
  else
    plat::Frame3D(canvas, R, Lighten(handleColor_, 24), BlendColors(borderColor_, handleColor_, 96),
                  1);
  FillSolid(canvas, R, handleColor_);
  if (!showHandleGrip_) return;
  int32_t length = Horz ? R.Width() : R.Height();
  int32_t ridges = length > 10 ? 4 : 2;
  int32_t centre = (Horz ? R.Left + R.Right : R.Top + R.Bottom) / 2 + (Pushed ? 1 : 0);
  int32_t first = centre - (ridges * 3 - 1) / 2;
  for (int32_t i = 0; i < ridges; ++i) {
    int32_t at = first + 3 * i;
    TRect ridge = Horz ? TRect{at, R.Top + 2, at + 2, R.Bottom - 2}
                       : TRect{R.Left + 2, at, R.Right - 2, at + 2};
    if (ridge.IsEmpty()) continue;
    TRect lit = ridge;
    plat::Frame3D(canvas, lit, Lighten(handleColor_, 24), Lighten(handleColor_, -48), 1);
  }
}

void TArrowBar::Paint() {
  bool enabled = ShowsEnabled();
  if (showArrows_ && GetButtonSize() > 0) {
    DrawButton(ZoneRect(zBtnPrev), IsHorz() ? adLeft : adUp, pressedZone_ == zBtnPrev, enabled,
               hoverZone_ == zBtnPrev);
    DrawButton(ZoneRect(zBtnNext), IsHorz() ? adRight : adDown, pressedZone_ == zBtnNext, enabled,
               hoverZone_ == zBtnNext);
  }
  DrawTrack(ZoneRect(zTrackPrev), IsHorz() ? adLeft : adUp, pressedZone_ == zTrackPrev, enabled,
            hoverZone_ == zTrackPrev);
  DrawTrack(ZoneRect(zTrackNext), IsHorz() ? adRight : adDown, pressedZone_ == zTrackNext, enabled,
            hoverZone_ == zTrackNext);
  TRect h = HandleRect();
  if (!h.IsEmpty()) DrawHandle(h, IsHorz(), pressedZone_ == zHandle, hoverZone_ == zHandle);
}

// ---- TCustomRangeBar ----

TCustomRangeBar::TCustomRangeBar(plat::TComponent* Owner) : TArrowBar(Owner) {
  ComputeVisibleSpan();
}

// Without a page, the bar's own length, frame included.
void TCustomRangeBar::ComputeVisibleSpan() {
  visibleSpan_ = pageSize_ > 0 ? pageSize_ : std::max(IsHorz() ? Width() : Height(), 0);
}

void TCustomRangeBar::ClampPosition() {
  position_ = std::min(position_, float(range_ - visibleSpan_));
  position_ = std::max(position_, 0.0f);
}

void TCustomRangeBar::SetPosition(float Value) {
  if (Value == position_) return;
  float old = position_;
  position_ = Value;
  ClampPosition();
  if (position_ != old) {
    Invalidate();
    DoChange();
  }
}

void TCustomRangeBar::Recenter(int32_t OldRange, int32_t OldSpan) {
  if (!centered_ || range_ <= visibleSpan_) return;
  double c = 0.5;
  if (OldSpan < OldRange) c = (OldSpan * 0.5 + position_) / OldRange;
  position_ = float(range_ * c - visibleSpan_ * 0.5);
}

void TCustomRangeBar::SetRangeAndWindow(int32_t NewRange, int32_t NewWindow) {
  NewRange = std::max(NewRange, 0);
  NewWindow = std::max(NewWindow, 0);
  if (NewRange == range_ && NewWindow == visibleSpan_) return;
  int32_t oldRange = range_, oldSpan = visibleSpan_;
  range_ = NewRange;
  pageSize_ = NewWindow;
  ComputeVisibleSpan();
  Recenter(oldRange, oldSpan);
  ClampPosition();
  Invalidate();
}

void TCustomRangeBar::Resize() {
  int32_t oldSpan = visibleSpan_;
  ComputeVisibleSpan();
  Recenter(range_, oldSpan);
  ClampPosition();
  TArrowBar::Resize();
}

bool TCustomRangeBar::ShowsEnabled() const {
  return Enabled() && range_ > visibleSpan_;
}

TRect TCustomRangeBar::HandleRect() {
  int32_t t = TrackLength();
  if (t < MinRangeHandle + 1) return {};
  if (visibleSpan_ >= range_) return PlaceAlong(0, t);
  int32_t s = RoundEven(double(t) * visibleSpan_ / range_);
  int32_t o;
  if (s < MinRangeHandle) {
    s = MinRangeHandle;
    o = RoundEven(double(t - MinRangeHandle) * position_ / (range_ - visibleSpan_));
  } else {
    o = RoundEven(double(t) * position_ / range_);
  }
  return PlaceAlong(o, s);
}

void TCustomRangeBar::DragBy(int D) {
  if (range_ <= visibleSpan_) return;
  int32_t t = TrackLength();
  if (t <= 0) return;
  double d;
  if (RoundEven(double(t) * visibleSpan_ / range_) < MinRangeHandle) {
    if (t <= MinRangeHandle) return;
    d = RoundEven(double(range_ - visibleSpan_) * D / (t - MinRangeHandle));
  } else {
    d = double(range_) * D / t;
  }
  AsUser([&] { SetPosition(float(dragStartPosition_ + d)); });
}

bool TCustomRangeBar::StepZone(TBarZone Zone) {
  float old = position_;
  switch (Zone) {
    case zBtnPrev:
      SetPosition(position_ - increment_);
      break;
    case zBtnNext:
      SetPosition(position_ + increment_);
      break;
    case zTrackPrev:
      SetPosition(position_ - visibleSpan_);
      break;
    case zTrackNext:
      SetPosition(position_ + visibleSpan_);
      break;
    default:
      break;
  }
  return position_ != old;
}

bool TCustomRangeBar::DoMouseWheel(plat::TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TArrowBar::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  SetPosition(float(position_ + double(increment_) * WheelDelta / 120));
  return true;
}

// ---- TCustomGaugeBar ----

TCustomGaugeBar::TCustomGaugeBar(plat::TComponent* Owner) : TArrowBar(Owner) {}

void TCustomGaugeBar::SetPosition(int32_t Value) {
  Value = std::clamp(Value, min_, std::max(min_, max_));
  if (Value == position_) return;
  position_ = Value;
  Invalidate();
  DoChange();
}

void TCustomGaugeBar::ClampPosition() {
  if (min_ > position_)
    SetPosition(min_);
  else if (position_ > max_)
    SetPosition(max_);
}

void TCustomGaugeBar::SetMax(int32_t Value) {
  if (Value <= min_ && !Loading()) Value = Moved(min_, 1);
  if (Value == max_) return;
  max_ = Value;
  ClampPosition();
  Invalidate();
}

void TCustomGaugeBar::SetMin(int32_t Value) {
  if (Value >= max_ && !Loading()) Value = Moved(max_, -1);
  if (Value == min_) return;
  min_ = Value;
  ClampPosition();
  Invalidate();
}

void TCustomGaugeBar::SetHandleSize(int32_t Value) {
  Value = std::max(Value, 0);
  if (Value == handleSize_) return;
  handleSize_ = Value;
  Invalidate();
}

void TCustomGaugeBar::HandleMetrics(int32_t& Size, int32_t& Travel) {
  int32_t t = TrackLength();
  Size = handleSize_ != 0 ? handleSize_ : Thickness();
  if (t - Size < 1) Size = t - 1;
  Size = std::max(Size, 0);
  Travel = t - Size;
}

TRect TCustomGaugeBar::HandleRect() {
  int32_t s, travel;
  HandleMetrics(s, travel);
  int32_t o = 0;
  if (max_ > min_ && travel > 0)
    o = RoundEven(double(travel) * (int64_t(position_) - min_) / (int64_t(max_) - min_));
  return PlaceAlong(o, s);
}

void TCustomGaugeBar::DragBy(int D) {
  int32_t s, travel;
  HandleMetrics(s, travel);
  if (travel <= 0) return;
  int32_t target =
      RoundEven(double(dragStartPosition_) + double(int64_t(max_) - min_) * D / travel);
  AsUser([&] { SetPosition(target); });
}

bool TCustomGaugeBar::StepZone(TBarZone Zone) {
  int32_t old = position_;
  switch (Zone) {
    case zBtnPrev:
      SetPosition(Moved(position_, -int64_t(smallChange_)));
      break;
    case zBtnNext:
      SetPosition(Moved(position_, smallChange_));
      break;
    case zTrackPrev:
      SetPosition(Moved(position_, -int64_t(largeChange_)));
      break;
    case zTrackNext:
      SetPosition(Moved(position_, largeChange_));
      break;
    default:
      break;
  }
  return position_ != old;
}

bool TCustomGaugeBar::DoMouseWheel(plat::TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TArrowBar::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  // Fine-grained wheels send parts of a notch; whole notches move the gauge.
  const int64_t notches = plat::TakeWholeSteps(wheelRest_, WheelDelta, 120);
  if (notches != 0) SetPosition(Moved(position_, int64_t(smallChange_) * notches));
  return true;
}

// ---- TArrowBarAccess ----

void TArrowBarAccess::Assign(const plat::TPersistent& Source) {
  const auto* other = dynamic_cast<const TArrowBarAccess*>(&Source);
  if (!other) {
    plat::TPersistent::Assign(Source);
    return;
  }
  SetBackgnd(other->Backgnd());
  SetButtonSize(other->ButtonSize());
  SetHandleColor(other->HandleColor());
  SetButtonColor(other->ButtonColor());
  SetHighLightColor(other->HighLightColor());
  SetShadowColor(other->ShadowColor());
  SetBorderColor(other->BorderColor());
  SetShowArrows(other->ShowArrows());
  SetShowHandleGrip(other->ShowHandleGrip());
  SetStyle(other->Style());
}

}  // namespace gfx
