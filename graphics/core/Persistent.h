// Base classes of the engine's bitmaps, backends, samplers and maps: optional reference counting,
// change notification with an update bracket, a per-object lock, and a sized map.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/runtime/Classes.h"

namespace gfx {

inline constexpr int32_t S_OK = 0;
inline constexpr int32_t E_NOINTERFACE = int32_t(0x80004002);

// Assignable; reference counted only after SetRefCounted(true).
class TPlainInterfacedPersistent : public plat::TPersistent {
 public:
  bool RefCounted() const { return refCounted_; }
  void SetRefCounted(bool Value) { refCounted_ = Value; }
  int32_t RefCount() const { return refCount_.load(); }

  // The new count, or -1 when the object is not reference counted.
  int32_t AddRef();
  // Destroys the object when the count reaches 0; -1 when not reference counted.
  int32_t Release();
  // Whoever destroys a counted object directly calls this first: a count left over raises
  // "Unmatched reference counting." (a destructor cannot raise).
  void BeforeDestruction() const;

  template <class I>
  int32_t QueryInterface(I*& Obj) {
    Obj = dynamic_cast<I*>(this);
    return Obj ? S_OK : E_NOINTERFACE;
  }

 private:
  bool refCounted_ = false;
  std::atomic<int32_t> refCount_{0};
};

class TNotifiablePersistent : public TPlainInterfacedPersistent {
 public:
  // Fires OnChange unless an update is in progress.
  virtual void Changed();
  virtual void BeginUpdate() { ++updateCount_; }
  // Only counts; whoever changed the object inside the bracket calls Changed afterwards.
  virtual void EndUpdate() { --updateCount_; }
  int32_t UpdateCount() const { return updateCount_; }

  plat::TNotifyEvent OnChange;

 private:
  int32_t updateCount_ = 0;
};

// Carries a re-entrant lock; LockCount may be read without taking it.
class TThreadPersistent : public TNotifiablePersistent {
 public:
  TThreadPersistent() = default;
  TThreadPersistent(const TThreadPersistent&) = delete;
  TThreadPersistent& operator=(const TThreadPersistent&) = delete;

  void Lock();
  void Unlock();
  int32_t LockCount() const { return lockCount_.load(); }

 private:
  std::atomic<int32_t> lockCount_{0};
  plat::TCriticalSection lock_;
};

// A two-dimensional map with a size that never goes negative.
class TCustomMap : public TThreadPersistent {
 public:
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  virtual void SetWidth(int32_t W) { SetSize(W, height_); }
  virtual void SetHeight(int32_t H) { SetSize(width_, H); }
  // Negative sizes become 0; true when the size changed (then Changed and Resized ran).
  virtual bool SetSize(int32_t NewWidth, int32_t NewHeight);
  virtual void Delete() { SetSize(0, 0); }
  virtual bool Empty() const { return width_ == 0 || height_ == 0; }

  plat::TNotifyEvent OnResize;

 protected:
  // Stores the new size; descendants reallocate their storage here.
  virtual void ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight);
  virtual void Resized();

 private:
  int32_t height_ = 0, width_ = 0;
};

}  // namespace gfx
