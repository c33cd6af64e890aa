// The backend base, the memory backend and lending a bitmap the device backend.
#include "graphics/bitmap/Backends.h"

#include <memory>
#include <new>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/Bitmap32Format.h"
#include "graphics/bitmap/GDIBackend.h"
#include "graphics/core/LowLevel.h"
#include "platform/runtime/SysUtils.h"

namespace gfx {

TCustomBackend::TCustomBackend() {
  SetRefCounted(true);
  AddRef();
}

// Concrete backends free their surface in their own destructors, where FreeSurface still
// reaches them.
TCustomBackend::~TCustomBackend() = default;

void TCustomBackend::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCustomBackend::ChangeSize(int32_t& width, int32_t& height, int32_t newWidth,
                                int32_t newHeight, bool clearBuffer) {
  // Refused before anything is freed, so the old surface stays.
  if (auto reason = bitmap32_format::CheckSize(newWidth, newHeight))
    throw EBitmapException("Sorry, can't create the request! (" + *reason + ")");
  Changing();
  // The new surface is made before the old one goes, so a failure leaves the picture as it was.
  try {
    if (newWidth >= 1 && newHeight >= 1)
      AllocateSurface(newWidth, newHeight, clearBuffer);
    else
      FreeSurface();
  } catch (const std::bad_alloc&) {
    Changed();
    throw EBitmapException("Sorry, can't create the request! (out of memory)");
  } catch (...) {
    Changed();
    throw;
  }
  width = newWidth;
  height = newHeight;
  Changed();
}

void TCustomBackend::Clear() {
  int32_t width = 0, height = 0;
  if (owner_ != nullptr) {
    width = owner_->Width();
    height = owner_->Height();
  }
  ChangeSize(width, height, 0, 0, false);
}

void TCustomBackend::Assign(const plat::TPersistent& source) {
  const auto* other = dynamic_cast<const TCustomBackend*>(&source);
  if (other == nullptr || owner_ == nullptr) {
    TThreadPersistent::Assign(source);
    return;
  }
  const TCustomBitmap32* from = other->Owner();
  const int32_t newWidth = from != nullptr ? from->Width() : 0;
  const int32_t newHeight = from != nullptr ? from->Height() : 0;
  // The owner keeps its own size fields; only the surface follows.
  int32_t width = 0, height = 0;
  ChangeSize(width, height, newWidth, newHeight, false);
  if (!other->Empty() && other->Bits() != nullptr && bits_ != nullptr)
    MoveLongword(other->Bits(), bits_, newWidth * newHeight);
}

// ---- Memory backend ----

TMemoryBackend::~TMemoryBackend() {
  FreeSurface();
}

void TMemoryBackend::AllocateSurface(int32_t newWidth, int32_t newHeight, bool clearBuffer) {
  const auto count = static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight);
  auto fresh = std::make_unique_for_overwrite<TColor32[]>(count);
  if (clearBuffer) FillLongword(fresh.get(), static_cast<int32_t>(count), clBlack32);
  memory_ = std::move(fresh);
  bits_ = memory_.get();
}

void TMemoryBackend::FreeSurface() {
  memory_.reset();
  bits_ = nullptr;
}

// ---- Services ----

bool Supports(const TCustomBackend* backend, TBackendService service) {
  switch (service) {
    case TBackendService::Canvas:
      return dynamic_cast<const IBackendCanvasSupport*>(backend) != nullptr;
    case TBackendService::Font:
      return dynamic_cast<const IBackendFontSupport*>(backend) != nullptr;
    case TBackendService::Text:
      return dynamic_cast<const IBackendTextSupport*>(backend) != nullptr;
    case TBackendService::DeviceContext:
      return dynamic_cast<const IBackendDeviceContextSupport*>(backend) != nullptr;
    case TBackendService::BitmapInfo:
      return dynamic_cast<const IBackendBitmapInfoSupport*>(backend) != nullptr;
    case TBackendService::Paint:
      return dynamic_cast<const IPaintSupport*>(backend) != nullptr;
  }
  return false;
}

void EnsureBackendInterfaces(TCustomBitmap32& target, const std::vector<TBackendService>& services,
                             TRequireMode mode, bool allowDiscard, TCustomBackend*& saved) {
  saved = nullptr;
  bool lastTest = false;
  for (TBackendService service : services) {
    lastTest = Supports(target.Backend(), service);
    if (lastTest == (mode == TRequireMode::Any)) break;
  }
  if (lastTest) return;
  if (allowDiscard) target.SetSize(0, 0);
  saved = target.Backend();
  saved->AddRef();
  try {
    target.SetBackend(new TGDIBackend());  // the bitmap takes over this reference
  } catch (...) {
    // The bitmap kept its backend: nothing is lent, so the reference kept for it goes back.
    saved->Release();
    saved = nullptr;
    throw;
  }
}

void RestoreSavedBackend(TCustomBitmap32& target, TCustomBackend*& saved) {
  if (saved == nullptr) return;
  TCustomBackend* backend = saved;
  saved = nullptr;
  target.SetBackend(backend);  // takes over the reference kept for it, also when it fails
}

TBorrowedBackend::TBorrowedBackend(TCustomBitmap32& target,
                                   const std::vector<TBackendService>& services, TRequireMode mode,
                                   bool allowDiscard)
    : target_(target) {
  EnsureBackendInterfaces(target, services, mode, allowDiscard, saved_);
}

TBorrowedBackend::~TBorrowedBackend() {
  try {
    RestoreSavedBackend(target_, saved_);
  } catch (...) {
    // The bitmap keeps the lent backend, which holds the complete picture.
  }
}

}  // namespace gfx
