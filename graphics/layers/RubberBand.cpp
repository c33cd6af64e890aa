#include "graphics/layers/RubberBand.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/windows/Application.h"

namespace gfx {

namespace {

// The suppress bit of each handle state; 0 for the states that are not handles.
constexpr TRBOptions SuppressBit[10] = {
    0,
    0,
    RubberbandOptionNoLeft,
    RubberbandOptionNoTop,
    RubberbandOptionNoRight,
    RubberbandOptionNoBottom,
    RubberbandOptionNoTopLeft,
    RubberbandOptionNoTopRight,
    RubberbandOptionNoBottomLeft,
    RubberbandOptionNoBottomRight,
};

// Shown while the pointer hovers over each state; the move state shows the layer's own cursor.
constexpr plat::TCursor HoverCursor[10] = {
    plat::crDefault, plat::crDefault,  plat::crSizeWE,   plat::crSizeNS,   plat::crSizeWE,
    plat::crSizeNS,  plat::crSizeNWSE, plat::crSizeNESW, plat::crSizeNESW, plat::crSizeNWSE,
};

bool IsCorner(TRBDragState State) {
  return State >= DragSizeTopLeft;
}

bool Near(int64_t A, int64_t B, int64_t Tolerance) {
  return std::llabs(A - B) <= Tolerance;
}

bool MovesLeft(TRBDragState S) {
  return S == DragSizeLeft || S == DragSizeTopLeft || S == DragSizeBottomLeft;
}
bool MovesRight(TRBDragState S) {
  return S == DragSizeRight || S == DragSizeTopRight || S == DragSizeBottomRight;
}
bool MovesTop(TRBDragState S) {
  return S == DragSizeTop || S == DragSizeTopLeft || S == DragSizeTopRight;
}
bool MovesBottom(TRBDragState S) {
  return S == DragSizeBottom || S == DragSizeBottomLeft || S == DragSizeBottomRight;
}

// Moves one edge to Pos while keeping the extent from Fixed within [Min, Max]; Max applies only
// when it is at least Min. Direction is +1 for a trailing edge, -1 for a leading one.
float PlaceEdge(float Pos, float Fixed, float Direction, float Min, float Max) {
  float extent = (Pos - Fixed) * Direction;
  if (extent < Min) extent = Min;
  if (Max >= Min && extent > Max) extent = Max;
  return Fixed + extent * Direction;
}

}  // namespace

TRubberbandLayer::TRubberbandLayer() {
  SetLayerOptionsDirect(LayerOptionVisible | LayerOptionMouseEvents);
}

TRubberbandLayer::~TRubberbandLayer() {
  // The child must not call back into a freed frame.
  if (childLayer_) childLayer_->RemoveFreeWatcher(this);
}

void TRubberbandLayer::SetChildLayer(TPositionedLayer* Value) {
  // A band that would carry itself, directly or through the bands it carries, is refused: moving
  // it would never end.
  for (TPositionedLayer* carried = Value; carried;) {
    if (carried == this) return;
    const auto* band = dynamic_cast<const TRubberbandLayer*>(carried);
    carried = band ? band->childLayer_ : nullptr;
  }
  if (childLayer_) childLayer_->RemoveFreeWatcher(this);
  childLayer_ = Value;
  if (!Value) return;
  SetLocation(Value->Location());
  SetScaled(Value->Scaled());
  Value->AddFreeWatcher(this);
}

void TRubberbandLayer::Notification(TCustomLayer* ALayer) {
  if (ALayer == childLayer_) childLayer_ = nullptr;
}

void TRubberbandLayer::AppearanceChanged() {
  if (LayerCollection()) LayerCollection()->GDIUpdate();
}

void TRubberbandLayer::SetFrameStippleStep(float Value) {
  if (Value == frameStippleStep_) return;
  frameStippleStep_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetFrameStippleCounter(float Value) {
  if (Value == frameStippleCounter_) return;
  frameStippleCounter_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetHandleFrame(TColor32 Value) {
  if (Value == handleFrame_) return;
  handleFrame_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetHandleFill(TColor32 Value) {
  if (Value == handleFill_) return;
  handleFill_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetOptions(TRBOptions Value) {
  if (Value == options_) return;
  options_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetHandleSize(int32_t Value) {
  Value = std::max(Value, 1);
  if (Value == handleSize_) return;
  handleSize_ = Value;
  AppearanceChanged();
}

void TRubberbandLayer::SetLayerOptions(uint32_t Value) {
  TPositionedLayer::SetLayerOptions(Value & ~LayerOptionNoUpdate);
}

void TRubberbandLayer::DoSetLocation(const TFloatRect& NewLocation) {
  TPositionedLayer::DoSetLocation(NewLocation);
  if (childLayer_) childLayer_->SetLocation(Location());
}

bool TRubberbandLayer::HandleShown(TRBDragState Handle) const {
  const TRBOptions kind =
      IsCorner(Handle) ? RubberbandOptionCornerHandles : RubberbandOptionSideHandles;
  return (options_ & kind) != 0 && (options_ & SuppressBit[Handle]) == 0;
}

TRBDragState TRubberbandLayer::GetHandleAt(int X, int Y) {
  TRect r = RoundRect(GetAdjustedLocation());
  --r.Right;
  --r.Bottom;
  const int64_t d = int64_t{handleSize_} + 1;
  const bool nearL = Near(X, r.Left, d);
  const bool nearR = Near(r.Right, X, d);
  const bool nearHC = Near((int64_t{r.Left} + r.Right) / 2, X, d);
  const bool nearT = Near(Y, r.Top, d);
  const bool nearVC = Near((int64_t{r.Top} + r.Bottom) / 2, Y, d);
  const bool nearB = Near(r.Bottom, Y, d);
  // Corners first, so a point near a corner and a side takes the corner.
  const std::pair<TRBDragState, bool> candidates[] = {
      {DragSizeBottomRight, nearR && nearB}, {DragSizeBottomLeft, nearL && nearB},
      {DragSizeTopRight, nearR && nearT},    {DragSizeTopLeft, nearL && nearT},
      {DragSizeRight, nearR && nearVC},      {DragSizeBottom, nearHC && nearB},
      {DragSizeLeft, nearL && nearVC},       {DragSizeTop, nearT && nearHC},
  };
  for (const auto& [state, hit] : candidates)
    if (hit && HandleShown(state)) return state;
  if ((options_ & RubberbandOptionMove) && r.Left <= X && X < r.Right && r.Top <= Y && Y < r.Bottom)
    return DragMove;
  return DragNone;
}

bool TRubberbandLayer::HitTest(int X, int Y) {
  return GetHandleAt(X, Y) != DragNone;
}

void TRubberbandLayer::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  if (isDragging_) return;
  dragState_ = GetHandleAt(X, Y);
  isDragging_ = dragState_ != DragNone;
  if (isDragging_) {
    dragStartLocation_ = Location();
    const TFloatRect a = GetAdjustedLocation();
    grabOffset_ = dragState_ == DragMove ? TFloatPoint{X - a.Left, Y - a.Top} : TFloatPoint{};
  }
  TPositionedLayer::MouseDown(Button, Shift, X, Y);
}

void TRubberbandLayer::MouseMove(plat::TShiftState Shift, int X, int Y) {
  if (!isDragging_) {
    dragState_ = GetHandleAt(X, Y);
    plat::Screen().SetCursor(dragState_ == DragMove ? Cursor() : HoverCursor[dragState_]);
    return;
  }
  double mx = X - double(grabOffset_.X), my = Y - double(grabOffset_.Y);
  if (Scaled()) {
    const TFloatRect a = GetAdjustedLocation();
    if (IsFloatRectEmpty(a)) return;
    const TFloatRect& l = Location();
    mx = (mx - a.Left) / (double(a.Right) - a.Left) * (double(l.Right) - l.Left) + l.Left;
    my = (my - a.Top) / (double(a.Bottom) - a.Top) * (double(l.Bottom) - l.Top) + l.Top;
  }
  TFloatRect frame = DraggedFrame(float(mx), float(my));
  if (dragOptions_ & DragOptionLimitFrame)
    DoLimitFrame(dragStartLocation_, frame, dragState_, Shift);
  if (dragOptions_ & DragOptionKeepAspect) KeepAspect(frame);
  DoFrameChanging(dragStartLocation_, frame, dragState_, Shift);
  if (frame == Location()) return;
  SetLocation(frame);
  if (OnUserChange) OnUserChange(this);
}

TFloatRect TRubberbandLayer::DraggedFrame(float X, float Y) const {
  TFloatRect f = dragStartLocation_;
  if (dragState_ == DragMove) {
    const float w = f.Right - f.Left, h = f.Bottom - f.Top;
    return {X, Y, X + w, Y + h};
  }
  if (MovesLeft(dragState_)) f.Left = PlaceEdge(X, f.Right, -1, minWidth_, maxWidth_);
  if (MovesRight(dragState_)) f.Right = PlaceEdge(X, f.Left, 1, minWidth_, maxWidth_);
  if (MovesTop(dragState_)) f.Top = PlaceEdge(Y, f.Bottom, -1, minHeight_, maxHeight_);
  if (MovesBottom(dragState_)) f.Bottom = PlaceEdge(Y, f.Top, 1, minHeight_, maxHeight_);
  return f;
}

void TRubberbandLayer::KeepAspect(TFloatRect& Frame) const {
  const TFloatRect& o = dragStartLocation_;
  const double ow = double(o.Right) - o.Left, oh = double(o.Bottom) - o.Top;
  // A frame that started without area has no aspect to keep.
  if (ow <= 0 || oh <= 0) return;
  const double w = double(Frame.Right) - Frame.Left, h = double(Frame.Bottom) - Frame.Top;
  switch (dragState_) {
    case DragSizeLeft:
    case DragSizeTopRight:
      Frame.Top = float(o.Bottom - oh * w / ow);
      break;
    case DragSizeTop:
    case DragSizeTopLeft:
      Frame.Left = float(o.Right - ow * h / oh);
      break;
    case DragSizeRight:
    case DragSizeBottomLeft:
      Frame.Bottom = float(oh * w / ow + o.Top);
      break;
    case DragSizeBottom:
    case DragSizeBottomRight:
      Frame.Right = float(ow * h / oh + o.Left);
      break;
    default:
      break;
  }
}

void TRubberbandLayer::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  isDragging_ = false;
  TPositionedLayer::MouseUp(Button, Shift, X, Y);
}

void TRubberbandLayer::DoFrameChanging(const TFloatRect& DragStartLocation, TFloatRect& NewLocation,
                                       TRBDragState DragState, plat::TShiftState Shift) {
  if (OnFrameChanging) OnFrameChanging(this, DragStartLocation, NewLocation, DragState, Shift);
}

void TRubberbandLayer::DoLimitFrame(const TFloatRect& DragStartLocation, TFloatRect& NewLocation,
                                    TRBDragState DragState, plat::TShiftState Shift) {
  if (OnLimitFrame) OnLimitFrame(this, DragStartLocation, NewLocation, DragState, Shift);
}

void TRubberbandLayer::Paint(TBitmap32& Buffer) {
  const TRect r = RoundRect(GetAdjustedLocation());
  if (options_ & RubberbandOptionFrame) {
    if (Buffer.MeasuringMode()) {
      // Report every side with its last pixel, so no corner of the frame goes stale.
      if (r.Right > r.Left && r.Bottom > r.Top) {
        Buffer.AreaChanged({r.Left, r.Top, r.Right, r.Top + 1}, AreaInfoRect);
        Buffer.AreaChanged({r.Left, r.Bottom - 1, r.Right, r.Bottom}, AreaInfoRect);
        Buffer.AreaChanged({r.Left, r.Top, r.Left + 1, r.Bottom}, AreaInfoRect);
        Buffer.AreaChanged({r.Right - 1, r.Top, r.Right, r.Bottom}, AreaInfoRect);
      }
    } else {
      // The bitmap steps along the pattern by adding the step to the counter, so both must stay
      // finite; stepping over whole patterns is the same as not stepping over them.
      const auto length = static_cast<float>(frameStipple_.size());
      const float step = std::isfinite(frameStippleStep_) && length > 0
                             ? std::fmod(frameStippleStep_, length)
                             : 0.0f;
      Buffer.SetStipplePattern(frameStipple_);
      Buffer.SetStippleStep(step);
      Buffer.SetStippleCounter(std::isfinite(frameStippleCounter_) ? frameStippleCounter_ : 0.0f);
      Buffer.FrameRectStippled(r.Left, r.Top, r.Right, r.Bottom);
    }
  }
  // A handle may reach past any coordinate: its square is computed in 64 bits and kept in range.
  const int64_t s = handleSize_;
  auto edge = [](int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); };
  auto handle = [&](TRBDragState State, int32_t X, int32_t Y) {
    if (!HandleShown(State)) return;
    const int32_t x1 = edge(X - s), y1 = edge(Y - s), x2 = edge(X + s), y2 = edge(Y + s);
    Buffer.FillRectBlendClipped(x1, y1, x2, y2, handleFill_);
    Buffer.FrameRectBlendClipped(x1, y1, x2, y2, handleFrame_);
  };
  handle(DragSizeTopLeft, r.Left, r.Top);
  handle(DragSizeTopRight, r.Right, r.Top);
  handle(DragSizeBottomLeft, r.Left, r.Bottom);
  handle(DragSizeBottomRight, r.Right, r.Bottom);
  const int32_t cx = int32_t((int64_t{r.Left} + r.Right) / 2);
  const int32_t cy = int32_t((int64_t{r.Top} + r.Bottom) / 2);
  handle(DragSizeTop, cx, r.Top);
  handle(DragSizeLeft, r.Left, cy);
  handle(DragSizeRight, r.Right, cy);
  handle(DragSizeBottom, cx, r.Bottom);
}

std::unique_ptr<TCustomLayer> TRubberbandLayer::NewLayer() const {
  return std::make_unique<TRubberbandLayer>();
}

}  // namespace gfx
