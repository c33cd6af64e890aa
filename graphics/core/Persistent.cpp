#include "graphics/core/Persistent.h"

#include <algorithm>

namespace gfx {

int32_t TPlainInterfacedPersistent::AddRef() {
  return refCounted_ ? ++refCount_ : -1;
}

int32_t TPlainInterfacedPersistent::Release() {
  if (!refCounted_) return -1;
  const int32_t count = --refCount_;
  if (count == 0) delete this;
  return count;
}

void TPlainInterfacedPersistent::BeforeDestruction() const {
  if (refCounted_ && refCount_.load() != 0) throw plat::Exception("Unmatched reference counting.");
}

void TNotifiablePersistent::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TThreadPersistent::Lock() {
  ++lockCount_;
  lock_.Enter();
}

void TThreadPersistent::Unlock() {
  lock_.Leave();
  --lockCount_;
}

bool TCustomMap::SetSize(int32_t NewWidth, int32_t NewHeight) {
  NewWidth = std::max(NewWidth, 0);
  NewHeight = std::max(NewHeight, 0);
  if (NewWidth == width_ && NewHeight == height_) return false;
  ChangeSize(width_, height_, NewWidth, NewHeight);
  Changed();
  Resized();
  return true;
}

void TCustomMap::ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}

void TCustomMap::Resized() {
  if (OnResize) OnResize(this);
}

}  // namespace gfx
