#include "graphics/controls/PaintBox.h"

#include <algorithm>
#include <string>
#include <utility>

namespace gfx {

// ---- TPaintStages ----

TPaintStage& TPaintStages::Add() {
  stages_.push_back(TPaintStage{});
  return stages_.back();
}

TPaintStage& TPaintStages::Items(int32_t Index) {
  return const_cast<TPaintStage&>(std::as_const(*this).Items(Index));
}

const TPaintStage& TPaintStages::Items(int32_t Index) const {
  if (Index < 0 || Index >= Count())
    throw plat::EListError("Paint stage index out of bounds (" + std::to_string(Index) + ")");
  return stages_[size_t(Index)];
}

// ---- TCustomPaintBox32 ----

TCustomPaintBox32::TCustomPaintBox32(plat::TComponent* Owner) : plat::TCustomControl(Owner) {
  buffer_ = std::make_unique<TBitmap32>();
  invalidRects_ = std::make_unique<TRectList>();
  repaintOptimizer_ = std::make_unique<TMicroTilesRepaintOptimizer>(*buffer_, *invalidRects_);
  SetBounds(Left(), Top(), 192, 192);
}

TCustomPaintBox32::~TCustomPaintBox32() {
  buffer_->OnAreaChanged = nullptr;
  repaintOptimizer_.reset();
}

TRect TCustomPaintBox32::ViewportRect() {
  return {0, 0, Width(), Height()};
}

void TCustomPaintBox32::SetRepaintMode(TRepaintMode Value) {
  if (!repaintOptimizer_) return;
  if (Value == rmOptimizer && BufferReportsToOptimizer()) {
    buffer_->OnAreaChanged = [this](plat::TObject* sender, const TRect& area, uint32_t info) {
      repaintOptimizer_->AreaReported(sender, area, info);
    };
  } else if (Value == rmDirect) {
    buffer_->OnAreaChanged = [this](plat::TObject*, const TRect& area, uint32_t) {
      DirectAreaHook(area);
    };
  } else {
    buffer_->OnAreaChanged = nullptr;
  }
  repaintOptimizer_->SetEnabled(Value == rmOptimizer);
  repaintMode_ = Value;
  Invalidate();
}

void TCustomPaintBox32::DirectAreaHook(const TRect& Area) {
  invalidRects_->Add(Area);
  if (!InsideCustomPaint()) Repaint();
}

bool TCustomPaintBox32::PartialRepaint() {
  return OptimizerEnabled() && !forceFullRepaint_ && repaintOptimizer_->HasPendingUpdates();
}

void TCustomPaintBox32::CollectInvalidRects() {
  if (OptimizerEnabled() && !forceFullRepaint_) repaintOptimizer_->BuildInvalidRects();
}

void TCustomPaintBox32::DoPaintBuffer() {
  if (forceFullRepaint_) {
    forceFullRepaint_ = false;
    invalidRects_->Clear();
  } else {
    CollectInvalidRects();
  }
  bufferValid_ = true;
}

void TCustomPaintBox32::DoPaintGDIOverlay() {
  if (OnGDIOverlay) OnGDIOverlay(this);
}

void TCustomPaintBox32::BufferResizeDone(int32_t, int32_t) {
  if (OptimizerEnabled()) repaintOptimizer_->BufferSizeChanged(buffer_->Width(), buffer_->Height());
}

void TCustomPaintBox32::ForceFullInvalidate() {
  if (OptimizerEnabled()) repaintOptimizer_->Reset();
  forceFullRepaint_ = true;
  Invalidate();
}

void TCustomPaintBox32::Invalidate() {
  bufferValid_ = false;
  plat::TCustomControl::Invalidate();
}

void TCustomPaintBox32::Loaded() {
  bufferValid_ = false;
  plat::TCustomControl::Loaded();
}

void TCustomPaintBox32::AssignTo(plat::TPersistent& Dest) const {
  auto* other = dynamic_cast<TCustomPaintBox32*>(&Dest);
  if (!other) {
    plat::TCustomControl::AssignTo(Dest);
    return;
  }
  other->buffer_->Assign(*buffer_);
  other->bufferOversize_ = bufferOversize_;
  other->bufferValid_ = bufferValid_;
  other->SetRepaintMode(repaintMode_);
  other->forceFullRepaint_ = forceFullRepaint_;
  other->options_ = options_;
  other->OnGDIOverlay = OnGDIOverlay;
  other->OnMouseEnter = OnMouseEnter;
  other->OnMouseLeave = OnMouseLeave;
}

void TCustomPaintBox32::Paint() {
  if (!InsideCustomPaint()) {
    // Painting happens inside the window's paint; elsewhere the window is asked for one.
    InvalidateRect(ClientRect());
    return;
  }
  PaintOnto(*Canvas());
}

void TCustomPaintBox32::PaintOnto(plat::TCanvas& Target) {
  if (!Parent()) return;
  if (OptimizerEnabled()) repaintOptimizer_->PaintStarting();
  auto* paint = buffer_->BackendAs<IPaintSupport>();
  if (!bufferValid_) {
    if (paint) paint->ImageNeeded();
    DoPaintBuffer();
    if (paint) paint->CheckPixmap();
  }
  if (paint) {
    // The buffer is whole after every rebuild, so whatever the window asks for is copied.
    TRect area = Target.ClipRect().Intersected(ViewportRect());
    buffer_->Lock();
    try {
      if (!area.IsEmpty()) paint->DoPaint(*buffer_, {area}, Target, ViewportRect());
    } catch (...) {
      buffer_->Unlock();
      throw;
    }
    buffer_->Unlock();
  }
  DoPaintGDIOverlay();
  if (OptimizerEnabled()) repaintOptimizer_->PaintFinished();
  invalidRects_->Clear();
  forceFullRepaint_ = false;
}

void TCustomPaintBox32::WndProc(plat::TMessage& Message) {
  switch (Message.Msg) {
    case plat::WM_PAINT:
      if (!InsideCustomPaint()) {
        // A posted paint request: rebuild and show just the invalid rectangles, gathered here
        // unless the control already did; with none, the whole client area.
        if (PartialRepaint() && HasInvalidRects()) {
          if (invalidRects_->Count() == 0) CollectInvalidRects();
          TRect area{};
          for (int32_t i = 0; i < invalidRects_->Count(); ++i) {
            const TRect& r = *invalidRects_->Items(i);
            if (IsRectEmpty(r)) continue;
            area = IsRectEmpty(area)
                       ? r
                       : TRect{std::min(area.Left, r.Left), std::min(area.Top, r.Top),
                               std::max(area.Right, r.Right), std::max(area.Bottom, r.Bottom)};
          }
          if (!IsRectEmpty(area))
            RepaintRect(area.Intersected(ClientRect()));
          else
            InvalidateRect(ClientRect());
        } else {
          InvalidateRect(ClientRect());
        }
        return;
      }
      break;
    case plat::CM_INVALIDATE:
      if (PartialRepaint() && HandleAllocated()) {
        plat::PostMessage(this, plat::WM_PAINT);
        return;
      }
      break;
    case plat::WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case plat::WM_GETDLGCODE:
      if (options_ & OptionWantArrowKeys)
        Message.Result |= plat::DLGC_WANTARROWS;
      else
        Message.Result &= ~plat::DLGC_WANTARROWS;
      return;
    default:
      break;
  }
  plat::TCustomControl::WndProc(Message);
}

void TCustomPaintBox32::FitBuffer() {
  TRect v = ViewportRect();
  const int64_t newW = std::max<int64_t>(int64_t(v.Right) - v.Left, 0);
  const int64_t newH = std::max<int64_t>(int64_t(v.Bottom) - v.Top, 0);
  // A control wider than any screen keeps a buffer of the largest size rather than asking for
  // memory it could never show (or overflowing).
  auto fit = [&](int32_t current, int64_t wanted) {
    int64_t side = current;
    if (current < wanted)
      side = wanted + bufferOversize_;
    else if (wanted < int64_t(current) - bufferOversize_)
      side = wanted;
    return int32_t(std::clamp<int64_t>(side, 1, MaxBufferSide));
  };
  const int32_t w = fit(buffer_->Width(), newW);
  const int32_t h = fit(buffer_->Height(), newH);
  if (w == buffer_->Width() && h == buffer_->Height()) return;
  int32_t oldW = buffer_->Width(), oldH = buffer_->Height();
  buffer_->Lock();
  try {
    buffer_->SetSize(w, h);
  } catch (...) {
    buffer_->Unlock();
    throw;
  }
  buffer_->Unlock();
  BufferResizeDone(oldW, oldH);
  ForceFullInvalidate();
}

void TCustomPaintBox32::Resize() {
  FitBuffer();
  bufferValid_ = false;
  plat::TCustomControl::Resize();
}

void TCustomPaintBox32::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X,
                                  int Y) {
  if ((options_ & OptionAutoFocus) && CanFocus()) SetFocus();
  plat::TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomPaintBox32::MouseEnter() {
  mouseInControl_ = true;
  plat::TCustomControl::MouseEnter();
}

void TCustomPaintBox32::MouseLeave() {
  mouseInControl_ = false;
  plat::TCustomControl::MouseLeave();
}

}  // namespace gfx
