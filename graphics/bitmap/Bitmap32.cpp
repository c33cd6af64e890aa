// Storage, settings, copying and change reports of the 32-bit bitmap.
#include "graphics/bitmap/Bitmap32.h"

#include <sys/mman.h>

#include <cstdint>
#include <typeinfo>

#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"

namespace gfx {
namespace {

TCustomBackend* MakeMemoryBackend() {
  return new TMemoryBackend();  // the bitmap takes over this reference
}

// New memory that is about to be written all over: mapping its pages in one request costs far
// less than a fault on each. Only a hint; small blocks and kernels without it are left alone.
void PrefaultPixels(TColor32* bits, int64_t count) {
#ifdef MADV_POPULATE_WRITE
  constexpr uintptr_t kPage = 4096;
  constexpr int64_t kWorthwhileBytes = int64_t(1) << 20;
  if (count * 4 < kWorthwhileBytes) return;
  const auto begin = (reinterpret_cast<uintptr_t>(bits) + kPage - 1) & ~(kPage - 1);
  const auto end = (reinterpret_cast<uintptr_t>(bits + count)) & ~(kPage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)bits;
  (void)count;
#endif
}

}  // namespace

TCustomBitmap32::TCustomBitmap32() : TCustomBitmap32(MakeMemoryBackend) {}

TCustomBitmap32::TCustomBitmap32(TBackendFactory makeBackend)
    : horzWrapProc_(GetWrapProc(wmClamp)),
      vertWrapProc_(GetWrapProc(wmClamp)),
      blendProc_(BlendMemProcs[cmBlend]) {
  SetBackend(makeBackend());
  if (ResamplerLink().CreateResampler)
    ResamplerLink().CreateResampler(kDefaultResamplerClassName, *this);
}

TCustomBitmap32::~TCustomBitmap32() {
  // Owners may already be half gone: nothing is reported from here.
  OnChange = nullptr;
  OnResize = nullptr;
  OnAreaChanged = nullptr;
  BeginUpdate();
  Lock();
  SetSize(0, 0);
  resampler_.reset();
  FinalizeBackend();
  Unlock();
}

// ---- Backend ----

void TCustomBitmap32::SetBackend(TCustomBackend* newBackend) {
  if (newBackend == nullptr || newBackend == backend_) return;
  BeginUpdate();
  newBackend->SetOwner(this);
  if (backend_ != nullptr) {
    try {
      newBackend->Assign(*backend_);
    } catch (...) {
      // The bitmap keeps its backend; the one offered is dropped.
      newBackend->SetOwner(nullptr);
      newBackend->Release();
      EndUpdate();
      throw;
    }
    FinalizeBackend();
  }
  AttachBackend(*newBackend);
  EndUpdate();
  backend_->Changed();
  Changed();
}

void TCustomBitmap32::AttachBackend(TCustomBackend& backend) {
  backend.SetOwner(this);
  AttachBackendHandlers(backend);
  backend_ = &backend;
  backend_->OnChange = [this](plat::TObject*) { BackendChanged(); };
  backend_->OnChanging = [this](plat::TObject*) { BackendChanging(); };
}

TCustomBackend* TCustomBitmap32::DetachBackend() {
  DetachBackendHandlers(*backend_);
  backend_->SetOwner(nullptr);
  backend_->OnChange = nullptr;
  backend_->OnChanging = nullptr;
  TCustomBackend* old = backend_;
  backend_ = nullptr;
  return old;
}

void TCustomBitmap32::FinalizeBackend() {
  if (backend_ != nullptr) DetachBackend()->Release();
}

void TCustomBitmap32::BackendChanged() {
  bits_ = backend_->Bits();
  ClipToBounds();
}

void TCustomBitmap32::ChangeSize(int32_t& width, int32_t& height, int32_t newWidth,
                                 int32_t newHeight) {
  if (surfaceInPlace_) {
    width = newWidth;
    height = newHeight;
    BackendChanged();
    return;
  }
  backend_->ChangeSize(width, height, newWidth, newHeight, clearNewPixels_);
}

void TCustomBitmap32::AdoptSurfaceSize(int32_t width, int32_t height) {
  surfaceInPlace_ = true;
  try {
    SetSize(width, height);
  } catch (...) {
    surfaceInPlace_ = false;
    throw;
  }
  surfaceInPlace_ = false;
}

void TCustomBitmap32::SetSizeToOverwrite(int32_t width, int32_t height) {
  clearNewPixels_ = false;
  bool resized = false;
  try {
    resized = SetSize(width, height);
  } catch (...) {
    clearNewPixels_ = true;
    throw;
  }
  clearNewPixels_ = true;
  if (resized && !Empty()) PrefaultPixels(bits_, int64_t{Width()} * Height());
}

bool TCustomBitmap32::Empty() const {
  return backend_->Empty() || Width() == 0 || Height() == 0;
}

// ---- Clip rectangle and settings ----

void TCustomBitmap32::SetClipRect(const TRect& value) {
  IntersectRectangles(clipRect_, value, BoundsRect());
  fixedClipRect_ = FixedRect(clipRect_);
  subpixelClipRect_ = {clipRect_.Left << 8, clipRect_.Top << 8, clipRect_.Right << 8,
                       clipRect_.Bottom << 8};
  clipping_ = !EqualRect(clipRect_, BoundsRect());
  UpdateWrapProcs();
}

void TCustomBitmap32::UpdateWrapProcs() {
  horzWrapProc_ = GetWrapProcEx(wrapMode_, clipRect_.Left, clipRect_.Right - 1);
  vertWrapProc_ = GetWrapProcEx(wrapMode_, clipRect_.Top, clipRect_.Bottom - 1);
}

void TCustomBitmap32::SetDrawMode(TDrawMode value) {
  if (drawMode_ == value) return;
  drawMode_ = value;
  Changed();
}

void TCustomBitmap32::SetCombineMode(TCombineMode value) {
  if (combineMode_ == value) return;
  combineMode_ = value;
  blendProc_ = BlendMemProcs[value];
  Changed();
}

void TCustomBitmap32::SetWrapMode(TWrapMode value) {
  if (wrapMode_ == value) return;
  wrapMode_ = value;
  UpdateWrapProcs();
  Changed();
}

void TCustomBitmap32::SetMasterAlpha(uint32_t value) {
  if (masterAlpha_ == value) return;
  masterAlpha_ = value;
  Changed();
}

void TCustomBitmap32::SetResampler(TResamplerPtr value) {
  if (!value || value == resampler_) return;
  resampler_ = std::move(value);
  Changed();
}

std::string TCustomBitmap32::ResamplerClassName() const {
  if (!resampler_ || !ResamplerLink().ResamplerClassName) return {};
  return ResamplerLink().ResamplerClassName(*resampler_);
}

void TCustomBitmap32::SetResamplerClassName(const std::string& value) {
  if (value.empty() || value == ResamplerClassName() || !ResamplerLink().CreateResampler) return;
  ResamplerLink().CreateResampler(value, *this);
}

// ---- Copying ----

void TCustomBitmap32::CopyMapTo(TCustomBitmap32& dst) const {
  dst.SetSizeToOverwrite(Width(), Height());
  if (!Empty()) MoveLongword(bits_, dst.bits_, Width() * Height());
}

void TCustomBitmap32::TakeOver(TCustomBitmap32& source) {
  if (&source == this) return;
  // Another kind of backend would take services away from this bitmap.
  if (typeid(*backend_) != typeid(*source.backend_)) {
    Assign(source);
    source.SetSize(0, 0);
    return;
  }
  ChangeInUpdate([&] {
    source.CopyPropertiesTo(*this);
    const int32_t width = source.Width(), height = source.Height();
    SetSize(0, 0);
    TCustomBackend* mine = DetachBackend();
    TCustomBackend* theirs = source.DetachBackend();
    AttachBackend(*theirs);
    source.AttachBackend(*mine);
    AdoptSurfaceSize(width, height);
    source.AdoptSurfaceSize(0, 0);
  });
}

void TCustomBitmap32::CopyPropertiesTo(TCustomBitmap32& dst) const {
  dst.SetDrawMode(drawMode_);
  dst.SetCombineMode(combineMode_);
  dst.SetWrapMode(wrapMode_);
  dst.SetMasterAlpha(masterAlpha_);
  dst.outerColor_ = outerColor_;
  dst.SetResamplerClassName(ResamplerClassName());
  if (resampler_ && dst.resampler_ && ResamplerLink().AssignResampler)
    ResamplerLink().AssignResampler(*dst.resampler_, *resampler_);
}

// Takes size and pixels that are already complete; no report (the caller sends one).
void TCustomBitmap32::ReplacePixels(int32_t width, int32_t height, const TColor32* pixels) {
  BeginUpdate();
  try {
    SetSizeToOverwrite(width, height);
  } catch (...) {
    EndUpdate();
    throw;
  }
  if (!Empty()) MoveLongword(pixels, bits_, width * height);
  EndUpdate();
}

// ---- Drawing onto another bitmap ----

namespace {

template <class Routine>
Routine RequireTransfer(Routine routine) {
  if (!routine) throw EBitmapException("Bitmap transfers are not available");
  return routine;
}

}  // namespace

void TCustomBitmap32::DrawTo(TCustomBitmap32& dst, int32_t dstX, int32_t dstY) {
  RequireTransfer(ResamplerLink().BlockTransfer)(dst, dstX, dstY, dst.ClipRect(), *this,
                                                 BoundsRect(), drawMode_, OnPixelCombine);
}

void TCustomBitmap32::DrawTo(TCustomBitmap32& dst, const TRect& dstRect) {
  RequireTransfer(ResamplerLink().StretchTransfer)(dst, dstRect, dst.ClipRect(), *this,
                                                   BoundsRect(), resampler_.get(), drawMode_,
                                                   OnPixelCombine);
}

// ---- Change reports ----

void TCustomBitmap32::StartMeasuring(TAreaChangedEvent callback) {
  measuringMode_ = true;
  savedOnAreaChanged_ = OnAreaChanged;
  OnAreaChanged = std::move(callback);
}

void TCustomBitmap32::StopMeasuring() {
  measuringMode_ = false;
  OnAreaChanged = savedOnAreaChanged_;
}

void TCustomBitmap32::Changed() {
  AreaChanged(BoundsRect(), AreaInfoRect);
}

void TCustomBitmap32::AreaChanged(const TRect& area, uint32_t info) {
  if ((UpdateCount() == 0 || measuringMode_) && OnAreaChanged) OnAreaChanged(this, area, info);
  if (!measuringMode_) NotifyChange();
}

void TCustomBitmap32::NotifyChange() {
  TNotifiablePersistent::Changed();
}

}  // namespace gfx
