#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "graphics/core/Persistent.h"

namespace gfx {
namespace {

struct Counter {
  int changes = 0, resizes = 0;
  void Watch(TCustomMap& map) {
    map.OnChange = [this](plat::TObject*) { ++changes; };
    map.OnResize = [this](plat::TObject*) { ++resizes; };
  }
};

TEST(NotifiablePersistent, UpdatesOnlyCountAndHoldBackChanged) {
  TCustomMap map;
  Counter counter;
  counter.Watch(map);
  map.BeginUpdate();
  map.BeginUpdate();
  map.EndUpdate();
  EXPECT_EQ(map.UpdateCount(), 1);
  map.Changed();
  EXPECT_EQ(counter.changes, 0);
  map.EndUpdate();
  EXPECT_EQ(counter.changes, 0);  // ending the bracket fires nothing
  map.Changed();
  EXPECT_EQ(counter.changes, 1);
}

TEST(CustomMap, SizeChangesNotifyOnceAndNegativeSizesBecomeZero) {
  TCustomMap map;
  Counter counter;
  EXPECT_TRUE(map.SetSize(5, 5));
  counter.Watch(map);
  EXPECT_TRUE(map.SetSize(-3, -4));
  EXPECT_EQ(map.Width(), 0);
  EXPECT_EQ(map.Height(), 0);
  EXPECT_EQ(counter.changes, 1);
  EXPECT_EQ(counter.resizes, 1);
  EXPECT_TRUE(map.Empty());
  EXPECT_FALSE(map.SetSize(0, 0));
  EXPECT_EQ(counter.changes, 1);
  EXPECT_EQ(counter.resizes, 1);
  map.SetWidth(3);
  EXPECT_TRUE(map.Empty());
  map.SetHeight(2);
  EXPECT_FALSE(map.Empty());
  // Inside an update only the resize is reported.
  map.BeginUpdate();
  map.Delete();
  map.EndUpdate();
  EXPECT_EQ(counter.changes, 3);
  EXPECT_EQ(counter.resizes, 4);
}

// Records the sizes that reach the storage hook.
class RecordingMap : public TCustomMap {
 public:
  int32_t lastWidth = -1, lastHeight = -1;

 protected:
  void ChangeSize(int32_t& W, int32_t& H, int32_t NewWidth, int32_t NewHeight) override {
    lastWidth = NewWidth;
    lastHeight = NewHeight;
    TCustomMap::ChangeSize(W, H, NewWidth, NewHeight);
  }
};

TEST(CustomMap, DescendantsSeeTheClampedSize) {
  RecordingMap map;
  map.SetSize(-1, 7);
  EXPECT_EQ(map.lastWidth, 0);
  EXPECT_EQ(map.lastHeight, 7);
}

struct Interface {
  virtual ~Interface() = default;
};

class Counted : public TPlainInterfacedPersistent, public Interface {
 public:
  explicit Counted(bool* destroyed) : destroyed_(destroyed) {}
  ~Counted() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST(PlainInterfacedPersistent, CountsOnlyWhenAskedAndFreesAtZero) {
  bool destroyed = false;
  {
    Counted plain(&destroyed);
    EXPECT_EQ(plain.AddRef(), -1);
    EXPECT_EQ(plain.Release(), -1);
    EXPECT_EQ(plain.RefCount(), 0);
    Interface* found = nullptr;
    EXPECT_EQ(plain.QueryInterface(found), S_OK);
    EXPECT_EQ(found, static_cast<Interface*>(&plain));
    TCustomMap* notThere = nullptr;
    EXPECT_EQ(plain.QueryInterface(notThere), E_NOINTERFACE);
    EXPECT_EQ(notThere, nullptr);
  }
  destroyed = false;
  auto* counted = new Counted(&destroyed);  // owned by its reference count from here on
  counted->SetRefCounted(true);
  EXPECT_EQ(counted->AddRef(), 1);
  EXPECT_EQ(counted->AddRef(), 2);
  try {
    counted->BeforeDestruction();
    ADD_FAILURE() << "a live reference must block destruction";
  } catch (const plat::Exception& e) {
    EXPECT_STREQ(e.what(), "Unmatched reference counting.");
  }
  EXPECT_EQ(counted->Release(), 1);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(counted->Release(), 0);
  EXPECT_TRUE(destroyed);
}

TEST(ThreadPersistent, LockIsReentrantAndBlocksOtherThreads) {
  TThreadPersistent object;
  object.Lock();
  object.Lock();
  EXPECT_EQ(object.LockCount(), 2);
  object.Unlock();
  std::atomic<bool> entered{false};
  std::thread other([&] {
    object.Lock();
    entered = true;
    object.Unlock();
  });
  while (object.LockCount() < 2) std::this_thread::yield();
  EXPECT_FALSE(entered.load());  // we still hold the lock
  object.Unlock();
  other.join();
  EXPECT_TRUE(entered.load());
  EXPECT_EQ(object.LockCount(), 0);
}

}  // namespace
}  // namespace gfx
