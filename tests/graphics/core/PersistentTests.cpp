#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "graphics/core/OrdinalMaps.h"
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

// Random sequences of update brackets, changes and size requests (negative and huge sizes too)
// against a model of the counts, sizes and notifications; an integer map resized along keeps its
// flat contents and zeroes what is new; reference counts follow their own model.
TEST(PersistentModel, RandomUpdatesSizesAndReferences) {
  std::mt19937 random(104);
  for (int round = 0; round < 200; ++round) {
    TIntegerMap map;
    Counter counter;
    counter.Watch(map);
    int32_t width = 0, height = 0, updates = 0, changes = 0, resizes = 0;
    std::vector<int32_t> flat;
    const auto anySide = [&] {
      switch (random() % 6) {
        case 0:
          return -int32_t(random() % 1000) - 1;
        case 1:
          return random() % 2 ? INT32_MIN : 0;
        default:
          return int32_t(random() % 9);
      }
    };
    for (int step = 0; step < 60; ++step) {
      switch (random() % 7) {
        case 0:
          map.BeginUpdate();
          ++updates;
          break;
        case 1:
          map.EndUpdate();
          --updates;
          break;
        case 2:
          map.Changed();
          changes += updates == 0;
          break;
        default: {
          const int kind = int(random() % 4);
          int32_t w = kind == 1 ? width : anySide(), h = kind == 2 ? height : anySide();
          if (kind == 3) w = h = 0;
          const bool resized = std::max(w, 0) != width || std::max(h, 0) != height;
          if (kind == 0) {
            ASSERT_EQ(map.SetSize(w, h), resized);
          } else if (kind == 1) {
            map.SetHeight(h);
          } else if (kind == 2) {
            map.SetWidth(w);
          } else {
            map.Delete();
          }
          if (resized) {
            width = std::max(w, 0);
            height = std::max(h, 0);
            flat.resize(size_t(width) * size_t(height), 0);
            changes += updates == 0;
            ++resizes;
          }
          // Some content to carry through the next resize.
          for (size_t i = 0; i < flat.size(); ++i) flat[i] = int32_t(random());
          for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) *map.ValPtr(x, y) = flat[size_t(y * width + x)];
        }
      }
      ASSERT_EQ(map.Width(), width);
      ASSERT_EQ(map.Height(), height);
      ASSERT_EQ(map.UpdateCount(), updates);
      ASSERT_EQ(map.Empty(), width == 0 || height == 0);
      ASSERT_EQ(counter.changes, changes);
      ASSERT_EQ(counter.resizes, resizes);
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
          ASSERT_EQ(*map.ValPtr(x, y), flat[size_t(y * width + x)]);
    }
    TPlainInterfacedPersistent plain;
    int32_t references = 0;
    const bool counted = random() % 2;
    plain.SetRefCounted(counted);
    for (int step = 0; step < 30; ++step) {
      if (references > 1 && random() % 2) {  // a release to 0 would free it
        ASSERT_EQ(plain.Release(), counted ? --references : -1);
      } else {
        ASSERT_EQ(plain.AddRef(), counted ? ++references : -1);
      }
      if (!counted) references = 0;
    }
    if (counted && references != 0) {
      EXPECT_THROW(plain.BeforeDestruction(), plat::Exception);
    }
    while (counted && references > 1) plain.Release(), --references;
    plain.SetRefCounted(false);  // lives on the stack: never freed by a count
  }
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
