#include "graphics/controls/Image.h"

#include <algorithm>
#include <cmath>

#include "graphics/resampling/Resamplers.h"
#include "platform/drawing/Graphics.h"
#include "platform/windows/Application.h"

namespace gfx {
namespace {

// Far beyond any control size, yet safe to convert.
constexpr double CoordinateLimit = 1 << 30;

double Limited(double V) {
  return std::isnan(V) ? 0 : std::clamp(V, -CoordinateLimit, CoordinateLimit);
}

int32_t RoundEven(double V) {
  return int32_t(std::nearbyint(Limited(V)));
}

uint8_t ButtonBit(plat::TMouseButton Button) {
  return uint8_t(1u << Button);
}

}  // namespace

TCustomImage32::TCustomImage32(plat::TComponent* Owner) : TCustomPaintBox32(Owner) {
  SetControlStyle(plat::csAcceptsControls | plat::csCaptureMouse | plat::csClickEvents |
                  plat::csOpaque | plat::csDoubleClicks | plat::csReplicatable);
  bitmap_ = std::make_unique<TBitmap32>();
  bitmap_->OnResize = [this](plat::TObject*) { BitmapResized(); };
  layers_ = std::make_unique<TLayerCollection>(this);
  layers_->OnChange = [this](plat::TObject*) { Changed(); };
  layers_->OnGDIUpdate = [this](plat::TObject*) { Paint(); };
  layers_->OnGetViewportScale = [this](plat::TObject*, float& x, float& y) {
    UpdateCache();
    x = viewScaleX_;
    y = viewScaleY_;
  };
  layers_->OnGetViewportShift = [this](plat::TObject*, float& x, float& y) {
    UpdateCache();
    x = viewShiftX_;
    y = viewShiftY_;
  };
  RepaintOptimizer().RegisterLayerCollection(*layers_);
  paintStages_ = std::make_unique<TPaintStages>();
  SetRepaintMode(rmFull);
  SetCachedTransform(0, 0, 1, 1);
  InitDefaultStages();
}

TCustomImage32::~TCustomImage32() {
  BeginUpdate();
  bitmap_->OnResize = nullptr;
  bitmap_->OnChange = nullptr;
  bitmap_->OnAreaChanged = nullptr;
  paintStages_.reset();
  RepaintOptimizer().UnregisterLayerCollection(*layers_);
  layers_.reset();
  bitmap_.reset();
}

void TCustomImage32::InitDefaultStages() {
  auto add = [&](bool inDesign, bool atRunTime, uint32_t stage, uint32_t parameter) {
    TPaintStage& s = paintStages_->Add();
    s.InDesign = inDesign;
    s.AtRunTime = atRunTime;
    s.Stage = stage;
    s.Parameter = parameter;
  };
  add(true, true, StageClearBackground, 0);
  add(true, false, StageControlFrame, 0);
  add(true, true, StageDrawBitmap, 0);
  add(true, false, StageBitmapFrame, 0);
  add(true, true, StageDrawLayers, LayerOptionVisible);
}

void TCustomImage32::Loaded() {
  TCustomPaintBox32::Loaded();
  DoInitStages();
}

void TCustomImage32::DoInitStages() {
  if (OnInitStages) OnInitStages(this);
}

// Whoever invalidates the control may have written the picture's pixels without a report: the
// next rebuild, whole or partial, draws the picture afresh.
void TCustomImage32::Invalidate() {
  snapshot_.Forget();
  InvalidateBuffer();
}

void TCustomImage32::InvalidateBuffer() {
  SetBufferValid(false);
  viewCacheValid_ = false;
  TCustomPaintBox32::Invalidate();
}

bool TCustomImage32::HasInvalidRects() {
  CollectInvalidRects();
  return InvalidRects().Count() > 0;
}

// A layer moved or changed reaches here on every step of a drag: the picture's snapshot stays.
void TCustomImage32::Changed() {
  if (updateCount_ != 0) return;
  InvalidateBuffer();
  if (OnChange) OnChange(this);
}

void TCustomImage32::BitmapChanged(const TRect&) {
  Changed();
}

void TCustomImage32::UpdateArea(const TRect& Area) {
  if (OptimizerEnabled()) RepaintOptimizer().AreaReported(this, Area, AreaInfoRect);
}

void TCustomImage32::DropCache() {
  if (OptimizerEnabled()) RepaintOptimizer().Reset();
  viewCacheValid_ = false;
}

void TCustomImage32::SetCachedTransform(float ShiftX, float ShiftY, float ScaleX, float ScaleY) {
  viewShiftX_ = ShiftX;
  viewShiftY_ = ShiftY;
  viewScaleX_ = ScaleX;
  viewScaleY_ = ScaleY;
  viewInvScaleX_ = ScaleX == 0 ? 0 : 1 / ScaleX;
  viewInvScaleY_ = ScaleY == 0 ? 0 : 1 / ScaleY;
}

void TCustomImage32::UpdateCache() {
  if (viewCacheValid_) return;
  viewBitmapRect_ = GetBitmapRect();
  const TRect& r = viewBitmapRect_;
  if (!bitmap_->Empty())
    SetCachedTransform(float(r.Left), float(r.Top),
                       float(double(r.Right - r.Left) / bitmap_->Width()),
                       float(double(r.Bottom - r.Top) / bitmap_->Height()));
  else
    SetCachedTransform(0, 0, 1, 1);
  viewCacheValid_ = true;
}

TPoint TCustomImage32::ControlToBitmap(TPoint P) {
  UpdateCache();
  auto axis = [](int32_t v, float shift, float inv) {
    if (inv == 0) return int32_t(0x7FFFFFFF);
    return int32_t(std::floor(Limited((double(v) - shift) * inv)));
  };
  return {axis(P.X, viewShiftX_, viewInvScaleX_), axis(P.Y, viewShiftY_, viewInvScaleY_)};
}

TPoint TCustomImage32::BitmapToControl(TPoint P) {
  UpdateCache();
  return {int32_t(std::trunc(Limited(double(P.X) * viewScaleX_ + viewShiftX_))),
          int32_t(std::trunc(Limited(double(P.Y) * viewScaleY_ + viewShiftY_)))};
}

void TCustomImage32::SetBitmap(const TBitmap32& Value) {
  DropCache();
  bitmap_->Assign(Value);
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign Value) {
  DropCache();
  bitmapAlign_ = Value;
  Changed();
}

void TCustomImage32::SetOffsetHorz(float Value) {
  if (Value == offsetHorz_) return;
  DropCache();
  offsetHorz_ = Value;
  Changed();
}

void TCustomImage32::SetOffsetVert(float Value) {
  if (Value == offsetVert_) return;
  DropCache();
  offsetVert_ = Value;
  Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode Value) {
  if (Value == scaleMode_) return;
  DropCache();
  scaleMode_ = Value;
  Changed();
}

// An undefined scale counts as the smallest, as a too small one does.
void TCustomImage32::SetScale(float Value) {
  float v = Value >= 0.001f ? Value : 0.001f;
  if (v == scaleX_) return;
  DropCache();
  scaleX_ = scaleY_ = v;
  viewScaleX_ = viewScaleY_ = v;
  viewInvScaleX_ = viewInvScaleY_ = 1 / v;
  ScaleChanged();
  Changed();
}

void TCustomImage32::ScaleChanged() {
  if (OnScaleChanged) OnScaleChanged(this);
}

void TCustomImage32::SizeBitmapToView(bool DoClear, TColor32 ClearColor) {
  TRect v = ViewportRect();
  bitmap_->BeginUpdate();
  try {
    bitmap_->SetSize(std::max(v.Right - v.Left, 0), std::max(v.Bottom - v.Top, 0));
    if (DoClear) bitmap_->ClearWithColor(ClearColor);
  } catch (...) {
    bitmap_->EndUpdate();
    throw;
  }
  bitmap_->EndUpdate();
  DropCache();
  Changed();
}

void TCustomImage32::SetRepaintMode(TRepaintMode Value) {
  TCustomPaintBox32::SetRepaintMode(Value);
  switch (Value) {
    case rmDirect:
      bitmap_->OnAreaChanged = [this](plat::TObject* sender, const TRect& area, uint32_t) {
        BitmapDirectAreaHook(sender, area);
      };
      bitmap_->OnChange = nullptr;
      break;
    case rmOptimizer:
      bitmap_->OnAreaChanged = [this](plat::TObject* sender, const TRect& area, uint32_t) {
        BitmapAreaHook(sender, area);
      };
      bitmap_->OnChange = nullptr;
      break;
    default:
      bitmap_->OnAreaChanged = nullptr;
      bitmap_->OnChange = [this](plat::TObject*) { BitmapChangeHook(); };
      break;
  }
}

plat::TSize TCustomImage32::GetBitmapSize() {
  if (bitmap_->Empty() || Width() == 0 || Height() == 0) return {0, 0};
  TRect v = ViewportRect();
  const double w = v.Right - v.Left, h = v.Bottom - v.Top;
  const double bw = bitmap_->Width(), bh = bitmap_->Height();
  TScaleMode mode = scaleMode_;
  if (mode == smOptimal) mode = (w < bw || h < bh) ? smResize : smNormal;
  if (mode == smOptimalScaled)
    mode = (w < RoundEven(bw * scaleX_) || h < RoundEven(bh * scaleY_)) ? smResize : smScale;
  plat::TSize s;
  switch (mode) {
    case smNormal:
      s = {int32_t(bw), int32_t(bh)};
      break;
    case smStretch:
      s = {int32_t(w), int32_t(h)};
      break;
    case smResize: {
      const double sx = w / bw, sy = h / bh;
      s = sx < sy ? plat::TSize{int32_t(w), RoundEven(bh * sx)}
                  : plat::TSize{RoundEven(bw * sy), int32_t(h)};
      break;
    }
    default:
      s = {RoundEven(bw * scaleX_), RoundEven(bh * scaleY_)};
      break;
  }
  return {std::max(s.cx, 0), std::max(s.cy, 0)};
}

TRect TCustomImage32::GetBitmapRect() {
  if (bitmap_->Empty()) return {};
  plat::TSize s = GetBitmapSize();
  TRect r{0, 0, s.cx, s.cy};
  switch (bitmapAlign_) {
    case baCenter:
      OffsetRect(r, (Width() - s.cx) / 2, (Height() - s.cy) / 2);
      break;
    case baCustom:
      OffsetRect(r, RoundEven(offsetHorz_), RoundEven(offsetVert_));
      break;
    default:
      break;
  }
  return r;
}

TColor32 TCustomImage32::ControlColor32() const {
  return Color32(int32_t(EffectiveColor())) | 0xFF000000u;
}

bool TCustomImage32::TileCounts(const TBitmap32& Target, int32_t& Across, int32_t& Down) const {
  const TRect& r = viewBitmapRect_;
  if (r.Right <= 0 || r.Bottom <= 0) return false;
  Across = Target.Width() / r.Right;
  Down = Target.Height() / r.Bottom;
  return true;
}

// ---- stages ----

TCustomImage32::TStageHandler TCustomImage32::HandlerOf(uint32_t Stage) {
  switch (Stage) {
    case StageCustom:
      return &TCustomImage32::RunCustom;
    case StageClearBuffer:
      return &TCustomImage32::RunClearBuffer;
    case StageClearBackground:
      return &TCustomImage32::RunClearBackground;
    case StageDrawBitmap:
      return &TCustomImage32::RunDrawBitmap;
    case StageDrawLayers:
      return &TCustomImage32::RunDrawLayers;
    case StageControlFrame:
      return &TCustomImage32::RunControlFrame;
    case StageBitmapFrame:
      return &TCustomImage32::RunBitmapFrame;
    default:
      return nullptr;
  }
}

void TCustomImage32::RunStage(uint32_t Stage, TBitmap32& Dest, uint32_t StageNum) {
  if (TStageHandler handler = HandlerOf(Stage)) (this->*handler)(Dest, StageNum);
}

void TCustomImage32::DoPaintBuffer() {
  if (OptimizerEnabled()) RepaintOptimizer().BufferPaintStarting();
  // Rectangles gathered before a full invalidation are covered by the full rebuild. Changes made
  // after the rectangles were gathered are gathered now: a window paint may come before the
  // paint request that would gather them, and they must not be dropped.
  if (ForceFullRepaint())
    InvalidRects().Clear();
  else if (OptimizerEnabled() && RepaintOptimizer().HasNewUpdates())
    CollectInvalidRects();
  UpdateCache();
  const bool designing = (ComponentState() & plat::csDesigning) != 0;
  std::vector<std::pair<TStageHandler, uint32_t>> active;
  for (int32_t i = 0; i < paintStages_->Count(); ++i) {
    const TPaintStage& s = paintStages_->Items(i);
    if (!(designing ? s.InDesign : s.AtRunTime)) continue;
    if (TStageHandler handler = HandlerOf(s.Stage)) active.emplace_back(handler, uint32_t(i));
  }
  TBitmap32& buffer = Buffer();
  buffer.BeginUpdate();
  try {
    auto runAll = [&] {
      for (auto& [handler, index] : active) (this->*handler)(buffer, index);
    };
    if (InvalidRects().Count() > 0) {
      for (int32_t i = 0; i < InvalidRects().Count(); ++i) {
        buffer.SetClipRect(*InvalidRects().Items(i));
        runAll();
      }
      buffer.SetClipRect(ViewportRect());
    } else {
      buffer.SetClipRect(ViewportRect());
      runAll();
    }
  } catch (...) {
    buffer.EndUpdate();
    throw;
  }
  buffer.EndUpdate();
  if (OptimizerEnabled()) RepaintOptimizer().BufferPaintFinished();
  SetBufferValid(true);
}

void TCustomImage32::RunClearBuffer(TBitmap32& Dest, uint32_t) {
  TColor32 c = ControlColor32();
  if (Dest.Clipping())
    Dest.FillRectS(Dest.ClipRect(), c);
  else
    Dest.ClearWithColor(c);
}

// Runs clipped to the rectangle being rebuilt, so the same fills serve full and partial
// rebuilds; an opaque bitmap is never filled under.
void TCustomImage32::RunClearBackground(TBitmap32& Dest, uint32_t) {
  if (bitmap_->Empty() || bitmap_->DrawMode() != dmOpaque) {
    RunClearBuffer(Dest, 0);
    return;
  }
  const TColor32 c = ControlColor32();
  const TRect& r = viewBitmapRect_;
  const int32_t w = Dest.Width(), h = Dest.Height();
  if (r.Left < 1 && r.Right >= w && r.Top < 1 && (r.Bottom >= h || bitmapAlign_ == baTile)) return;
  Dest.FillRectS(0, 0, w, r.Top, c);
  Dest.FillRectS(0, r.Bottom, w, h, c);
  Dest.FillRectS(0, r.Top, r.Left, r.Bottom, c);
  Dest.FillRectS(r.Right, r.Top, w, r.Bottom, c);
}

void TCustomImage32::RunDrawBitmap(TBitmap32& Dest, uint32_t) {
  const TRect r = viewBitmapRect_;
  if (bitmap_->Empty() || IsRectEmpty(r)) return;
  bitmap_->Lock();
  try {
    int32_t across = 0, down = 0;
    if (bitmapAlign_ == baTile) {
      if (TileCounts(Dest, across, down))
        for (int32_t j = 0; j <= down; ++j)
          for (int32_t i = 0; i <= across; ++i)
            bitmap_->DrawTo(Dest, r.Offset(r.Right * i, r.Bottom * j));
    } else if (!SnapshotServes(Dest) || !snapshot_.DrawTo(Dest, *bitmap_, r, ViewportRect())) {
      bitmap_->DrawTo(Dest, r);
    }
  } catch (...) {
    bitmap_->Unlock();
    throw;
  }
  bitmap_->Unlock();
}

bool TCustomImage32::SnapshotServes(const TBitmap32& Dest) {
  // A rebuild of the whole buffer draws the picture afresh, and the next partial one draws the
  // snapshot again: whatever happened to the picture unreported is then shown in both.
  if (&Dest != &Buffer() || renderingElsewhere_) return false;
  if (InvalidRects().Count() == 0) {
    snapshot_.Forget();
    return false;
  }
  return RepaintMode() == rmOptimizer && bitmap_->DrawMode() == dmOpaque;
}

void TCustomImage32::RunDrawLayers(TBitmap32& Dest, uint32_t StageNum) {
  const uint32_t mask = paintStages_->Items(int32_t(StageNum)).Parameter;
  for (int32_t i = 0; i < layers_->Count(); ++i) {
    TCustomLayer* layer = layers_->Items(i);
    if (layer->LayerOptions() & mask) layer->PaintLayer(Dest);
  }
}

void TCustomImage32::RunControlFrame(TBitmap32& Dest, uint32_t) {
  Dest.Canvas().DrawFocusRect({0, 0, Width(), Height()});
}

void TCustomImage32::RunBitmapFrame(TBitmap32& Dest, uint32_t) {
  Dest.Canvas().DrawFocusRect(viewBitmapRect_);
}

void TCustomImage32::RunCustom(TBitmap32& Dest, uint32_t StageNum) {
  if (OnPaintStage) OnPaintStage(this, Dest, StageNum);
}

void TCustomImage32::DoPaintGDIOverlay() {
  for (int32_t i = 0; i < layers_->Count(); ++i) {
    TCustomLayer* layer = layers_->Items(i);
    if (layer->LayerOptions() & LayerOptionGDIOverlay) layer->PaintGDI(*Canvas());
  }
  TCustomPaintBox32::DoPaintGDIOverlay();
}

void TCustomImage32::PaintTo(TBitmap32* Dest, const TRect& DestRect) {
  if (!Dest) return;
  const TRepaintMode saved = RepaintMode();
  SetRepaintMode(rmFull);
  viewBitmapRect_ = DestRect;
  const int32_t w = DestRect.Right - DestRect.Left, h = DestRect.Bottom - DestRect.Top;
  if (w > 0 && h > 0 && !bitmap_->Empty())
    SetCachedTransform(float(DestRect.Left), float(DestRect.Top),
                       float(double(w) / bitmap_->Width()), float(double(h) / bitmap_->Height()));
  else
    SetCachedTransform(0, 0, 1, 1);
  viewCacheValid_ = true;
  renderingElsewhere_ = true;
  auto finish = [&] {
    renderingElsewhere_ = false;
    viewCacheValid_ = false;
    SetRepaintMode(saved);
  };
  try {
    for (int32_t i = 0; i < paintStages_->Count(); ++i) {
      const TPaintStage& s = paintStages_->Items(i);
      if (s.AtRunTime) RunStage(s.Stage, *Dest, uint32_t(i));
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---- bitmap hooks ----

void TCustomImage32::BitmapChangeHook() {
  snapshot_.Forget();
  RepaintOptimizer().Reset();
  BitmapChanged(bitmap_->BoundsRect());
}

std::vector<TRect> TCustomImage32::BitmapAreaOnControl(const TRect& Area) {
  TRect t = Area;
  const double width = bitmap_->Resampler() ? bitmap_->Resampler()->GetWidth() : 0.0;
  const int32_t grow = int32_t(std::trunc(Limited(width))) + 1;
  InflateRect(t, grow, grow);
  // Rounded outwards: a reduced picture samples changed pixels up to the next whole position.
  UpdateCache();
  auto outward = [](int32_t v, float scale, float shift, bool up) {
    const double p = Limited(double(v) * scale + shift);
    return int32_t(up ? std::ceil(p) : std::floor(p));
  };
  t = {outward(t.Left, viewScaleX_, viewShiftX_, false),
       outward(t.Top, viewScaleY_, viewShiftY_, false),
       outward(t.Right, viewScaleX_, viewShiftX_, true),
       outward(t.Bottom, viewScaleY_, viewShiftY_, true)};
  std::vector<TRect> areas;
  if (bitmapAlign_ == baTile) {
    int32_t across = 0, down = 0;
    if (TileCounts(Buffer(), across, down))
      for (int32_t j = 0; j <= down; ++j)
        for (int32_t i = 0; i <= across; ++i)
          areas.push_back(t.Offset(viewBitmapRect_.Right * i, viewBitmapRect_.Bottom * j));
  } else {
    areas.push_back(t);
  }
  return areas;
}

void TCustomImage32::BitmapAreaHook(plat::TObject* Sender, const TRect& Area) {
  if (Sender != bitmap_.get()) return;
  snapshot_.Forget();
  for (const TRect& r : BitmapAreaOnControl(Area))
    RepaintOptimizer().AreaReported(this, r, AreaInfoRect);
  BitmapChanged(Area);
}

void TCustomImage32::BitmapDirectAreaHook(plat::TObject* Sender, const TRect& Area) {
  if (Sender != bitmap_.get()) return;
  snapshot_.Forget();
  for (const TRect& r : BitmapAreaOnControl(Area)) InvalidRects().Add(r);
  if (updateCount_ != 0) return;
  if (!InsideCustomPaint()) Repaint();
  if (OnChange) OnChange(this);
}

void TCustomImage32::BitmapResized() {
  if (autoSize_) {
    int w = bitmap_->Width(), h = bitmap_->Height();
    if (scaleMode_ == smScale) {
      w = RoundEven(w * double(scaleX_));
      h = RoundEven(h * double(scaleX_));
    }
    if (w >= 1 && h >= 1) SetBounds(Left(), Top(), w, h);
  }
  if (updateCount_ == 0 && OnBitmapResize) OnBitmapResize(this);
  snapshot_.Forget();
  DropCache();
  ForceFullInvalidate();
}

void TCustomImage32::SetAutoSize(bool Value) {
  if (Value == autoSize_) return;
  autoSize_ = Value;
  if (autoSize_) SetBounds(Left(), Top(), Width(), Height());
}

void TCustomImage32::SetBounds(int Left, int Top, int Width, int Height) {
  if (autoSize_) CanAutoSize(Width, Height);
  TCustomPaintBox32::SetBounds(Left, Top, Width, Height);
}

bool TCustomImage32::CanAutoSize(int& NewWidth, int& NewHeight) {
  DropCache();
  int w = bitmap_->Width(), h = bitmap_->Height();
  if (scaleMode_ == smScale) {
    w = RoundEven(w * double(scaleX_));
    h = RoundEven(h * double(scaleX_));
  }
  if ((ComponentState() & plat::csDesigning) && (w < 1 || h < 1)) return true;
  switch (Align()) {
    case plat::alNone:
      NewWidth = w;
      NewHeight = h;
      break;
    case plat::alTop:
    case plat::alBottom:
      NewHeight = h;
      break;
    case plat::alLeft:
    case plat::alRight:
      NewWidth = w;
      break;
    default:
      break;
  }
  return true;
}

void TCustomImage32::Resize() {
  DropCache();
  TCustomPaintBox32::Resize();
}

// ---- mouse ----

void TCustomImage32::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  if ((Options() & OptionAutoFocus) && CanFocus()) SetFocus();
  if (TabStop() && CanFocus()) SetFocus();
  TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseDown(Button, Shift, X, Y) : nullptr;
  // The release frees exactly what this press took, whatever the layers did meanwhile.
  if (Button == plat::mbLeft || layers_->MouseListener()) capturedButtons_ |= ButtonBit(Button);
  SetMouseCapture(capturedButtons_ != 0);
  DoMouseDown(Button, Shift, X, Y, layer);
}

void TCustomImage32::MouseMove(plat::TShiftState Shift, int X, int Y) {
  TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseMove(Shift, X, Y) : nullptr;
  DoMouseMove(Shift, X, Y, layer);
}

void TCustomImage32::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseUp(Button, Shift, X, Y) : nullptr;
  capturedButtons_ &= uint8_t(~ButtonBit(Button));
  SetMouseCapture(capturedButtons_ != 0);
  DoMouseUp(Button, Shift, X, Y, layer);
}

void TCustomImage32::MouseLeave() {
  if (layers_->MouseEvents() && !layers_->MouseListener())
    plat::Screen().SetCursor(plat::crDefault);
  TCustomPaintBox32::MouseLeave();
}

void TCustomImage32::DblClick() {
  layers_->SetMouseListener(nullptr);
  MouseUp(plat::mbLeft, 0, 0, 0);
  TCustomPaintBox32::DblClick();
}

void TCustomImage32::DoMouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y,
                                 TCustomLayer* Layer) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y, Layer);
}

void TCustomImage32::DoMouseMove(plat::TShiftState Shift, int X, int Y, TCustomLayer* Layer) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y, Layer);
}

void TCustomImage32::DoMouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y,
                               TCustomLayer* Layer) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y, Layer);
}

}  // namespace gfx
