#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "graphics/core/Containers.h"
#include "graphics/core/OrdinalMaps.h"

namespace gfx {
namespace {

void* Key(uintptr_t v) {
  return reinterpret_cast<void*>(v);
}

TEST(PointerMap, AddFindsExistingKeysAndKeepsTheirData) {
  TPointerMap map;
  int a = 1, b = 2;
  bool isNew = false;
  void** slot = map.Add(Key(0x1200), &a, isNew);
  EXPECT_TRUE(isNew);
  EXPECT_EQ(*slot, &a);
  void** again = map.Add(Key(0x1200), &b, isNew);
  EXPECT_FALSE(isNew);
  EXPECT_EQ(again, slot);
  EXPECT_EQ(*again, &a);
  EXPECT_EQ(map.Count(), 1);
  // Both keys have 0x12 as their second-lowest byte.
  map.Add(Key(0x00FF1234), &b, isNew);
  int32_t bucket, index;
  ASSERT_TRUE(map.Locate(Key(0x00FF1234), bucket, index));
  EXPECT_EQ(bucket, 0x12);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(map.Data(Key(0x00FF1234)), &b);
  EXPECT_EQ(map.Remove(Key(0x1200)), &a);
  EXPECT_EQ(map.Remove(Key(0x1200)), nullptr);
  EXPECT_EQ(map.Count(), 1);
  EXPECT_EQ(map.Data(Key(0x00FF1234)), &b);  // the later pair moved down
  ASSERT_TRUE(map.Locate(Key(0x00FF1234), bucket, index));
  EXPECT_EQ(index, 0);
}

TEST(PointerMap, AbsentKeyRaisesTheListError) {
  TPointerMap map;
  try {
    map.Data(Key(0x1234));
    ADD_FAILURE() << "no error";
  } catch (const plat::EListError& e) {
    EXPECT_STREQ(e.what(), "Elément non trouvé ($01234)");
  }
}

TEST(PointerMap, BucketsGrowInSmallStepsThenByAQuarter) {
  TPointerMap map;
  std::vector<size_t> capacities{map.Bucket(3).Items.size()};
  bool isNew;
  for (uintptr_t i = 0; i < 95; ++i) {
    map.Add(Key(0x300 + (i << 16)), isNew);
    if (map.Bucket(3).Items.size() != capacities.back())
      capacities.push_back(map.Bucket(3).Items.size());
  }
  EXPECT_EQ(capacities, (std::vector<size_t>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
  for (uintptr_t i = 0; i < 95; ++i) map.Remove(Key(0x300 + (i << 16)));
  EXPECT_EQ(map.Count(), 0);
  EXPECT_TRUE(map.Bucket(3).Items.empty());  // an emptied bucket gives its array back
}

TEST(PointerMapIterator, VisitsBucketsUpwardsAndEachBucketNewestFirst) {
  TPointerMap map;
  TPointerMapIterator empty(map);
  EXPECT_FALSE(empty.Next());
  bool isNew;
  int data = 0;
  for (uintptr_t key : {0x0300u, 0x10300u, 0x0000FF00u, 0x20300u, 0x0100u})
    map.Add(Key(key), &data, isNew);
  TPointerMapIterator it(map);
  std::vector<uintptr_t> order;
  while (it.Next()) {
    order.push_back(reinterpret_cast<uintptr_t>(it.Item()));
    EXPECT_EQ(it.Data(), &data);
  }
  EXPECT_EQ(order, (std::vector<uintptr_t>{0x0100, 0x20300, 0x10300, 0x0300, 0xFF00}));
  EXPECT_FALSE(it.Next());
}

// Owns its data: releases it in Delete, and clears in its own destructor.
class OwningMap : public TPointerMap {
 public:
  explicit OwningMap(std::vector<int>& freed) : freed_(freed) {}
  ~OwningMap() override { Clear(); }
  void* Delete(int32_t BucketIndex, int32_t ItemIndex) override {
    const auto* value = static_cast<int*>(Bucket(BucketIndex).Items[ItemIndex].Data);
    freed_.push_back(*value);
    delete value;
    return TPointerMap::Delete(BucketIndex, ItemIndex);
  }

 private:
  std::vector<int>& freed_;
};

TEST(PointerMap, DerivedMapReleasesItsDataOnClearAndDestruction) {
  std::vector<int> freed;
  {
    OwningMap map(freed);
    bool isNew;
    map.Add(Key(0x100), new int(1), isNew);  // owned by the map
    map.Add(Key(0x200), new int(2), isNew);  // owned by the map
    map.Clear();
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));
    EXPECT_EQ(map.Count(), 0);
    map.Add(Key(0x300), new int(3), isNew);  // owned by the map
  }
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 3}));
}

TEST(RectList, GrowsByEightThenThirtyTwoThenAQuarter) {
  TRectList list;
  std::vector<int32_t> capacities;
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(list.Add(MakeRect(i, 0, i + 1, 1)), i);
    if (capacities.empty() || capacities.back() != list.Capacity())
      capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{8, 16, 48, 80, 112, 144, 180, 225}));
  EXPECT_EQ(list.Items(list.Count()), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);
  EXPECT_EQ(list.Items(7)->Left, 7);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 10);
}

TEST(RectList, DeleteAndCountKeepTheRestInOrder) {
  TRectList list;
  for (int i = 0; i < 5; ++i) list.Add(MakeRect(i, i, i, i));
  list.Delete(1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Items(1)->Left, 2);
  EXPECT_EQ(list.Items(3)->Left, 4);
  list.SetCount(2);
  EXPECT_EQ(list.Count(), 2);
  list.SetCount(20);
  EXPECT_EQ(list.Capacity(), 20);
  EXPECT_EQ(*list.Items(19), TRect{});
  EXPECT_EQ(*list.Items(2), TRect{});  // zero-filled, not the old third rectangle
  list.SetCapacity(3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(3), nullptr);
}

TEST(IntegerMap, ResizingKeepsFlatIndicesAndZeroesNewElements) {
  TIntegerMap map;
  EXPECT_TRUE(map.Empty());
  map.SetSize(2, 2);
  for (int i = 0; i < 4; ++i) *map.ValPtr(i % 2, i / 2) = i + 1;
  map.SetSize(3, 3);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(map.ValPtr(0, 0)[i], i < 4 ? i + 1 : 0) << i;
  EXPECT_EQ(map.ValPtr(2, 1), map.ValPtr(0, 0) + 5);
  map.SetSize(0, 4);
  EXPECT_TRUE(map.Empty());
}

struct Shape {};

// Random adds, removals, look-ups and clears against a model: each bucket an ordered list of
// pairs whose capacity grows by the documented steps, visited buckets upwards and newest first;
// and a rectangle list against a vector with the documented capacities.
TEST(ContainersModel, RandomPointerMapsAndRectangleLists) {
  std::mt19937 random(124);
  for (int round = 0; round < 100; ++round) {
    TPointerMap map;
    struct Pair {
      uintptr_t key, data;
    };
    std::vector<std::vector<Pair>> buckets(256);
    std::vector<size_t> capacities(256, 0);
    const auto anyKey = [&] {  // few buckets, so that they fill and shift
      return uintptr_t(random() % 6) << 8 | uintptr_t(random() % 4) << 20 | (random() & 0xFF) % 3;
    };
    for (int step = 0; step < 400; ++step) {
      const uintptr_t key = anyKey(), data = random() | 1;
      auto& bucket = buckets[(key >> 8) & 0xFF];
      const auto found =
          std::find_if(bucket.begin(), bucket.end(), [&](const Pair& p) { return p.key == key; });
      switch (random() % 8) {
        case 0: {
          ASSERT_EQ(reinterpret_cast<uintptr_t>(map.Remove(Key(key))),
                    found == bucket.end() ? 0 : found->data);
          if (found != bucket.end()) bucket.erase(found);
          if (bucket.empty()) capacities[(key >> 8) & 0xFF] = 0;
          break;
        }
        case 1:
          if (found == bucket.end()) {
            EXPECT_THROW(map.Data(Key(key)), plat::EListError);
          } else {
            ASSERT_EQ(reinterpret_cast<uintptr_t>(map.Data(Key(key))), found->data);
          }
          break;
        case 2:
          if (random() % 20 == 0) {
            map.Clear();
            for (auto& b : buckets) b.clear();
            std::fill(capacities.begin(), capacities.end(), 0);
          }
          break;
        default: {
          bool isNew = false;
          void** slot = map.Add(Key(key), Key(data), isNew);
          ASSERT_EQ(isNew, found == bucket.end());
          if (isNew) {
            size_t& capacity = capacities[(key >> 8) & 0xFF];
            if (bucket.size() == capacity)
              capacity += capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
            bucket.push_back({key, data});
          }
          ASSERT_EQ(reinterpret_cast<uintptr_t>(*slot),
                    isNew ? data : found->data);  // a present key keeps its data
        }
      }
      size_t total = 0;
      for (int b = 0; b < 256; ++b) {
        total += buckets[size_t(b)].size();
        ASSERT_EQ(map.Bucket(b).Count, int32_t(buckets[size_t(b)].size()));
        ASSERT_EQ(map.Bucket(b).Items.size(), capacities[size_t(b)]) << b;
      }
      ASSERT_EQ(map.Count(), int32_t(total));
    }
    std::vector<uintptr_t> visited, expected;
    TPointerMapIterator it(map);
    while (it.Next()) visited.push_back(reinterpret_cast<uintptr_t>(it.Item()));
    for (const auto& b : buckets)
      for (auto p = b.rbegin(); p != b.rend(); ++p) expected.push_back(p->key);
    ASSERT_EQ(visited, expected);

    TRectList list;
    std::vector<TRect> model;
    int32_t capacity = 0;
    const auto anyRect = [&] {
      return TRect{int32_t(random()), int32_t(random()), int32_t(random()), int32_t(random())};
    };
    for (int step = 0; step < 300; ++step) {
      switch (random() % 9) {
        case 0:
          if (!model.empty()) {
            const size_t at = random() % model.size();
            list.Delete(int32_t(at));
            model.erase(model.begin() + ptrdiff_t(at));
          }
          break;
        case 1: {
          const int32_t count = int32_t(random() % 300) - 10;
          list.SetCount(count);
          capacity = std::max(capacity, count);
          model.resize(size_t(std::max(count, 0)), TRect{});
          break;
        }
        case 2: {
          const int32_t wanted = int32_t(random() % 300);
          list.SetCapacity(wanted);
          capacity = wanted;
          if (model.size() > size_t(wanted)) model.resize(size_t(wanted));
          break;
        }
        case 3:
          if (random() % 5 == 0) {
            list.Clear();
            model.clear();
            capacity = 10;
          }
          break;
        default: {
          const TRect r = anyRect();
          if (int32_t(model.size()) == capacity)
            capacity += capacity > 128 ? capacity / 4 : capacity > 8 ? 32 : 8;
          ASSERT_EQ(list.Add(r), int32_t(model.size()));
          model.push_back(r);
        }
      }
      ASSERT_EQ(list.Count(), int32_t(model.size()));
      ASSERT_EQ(list.Capacity(), capacity);
      for (int32_t i = -1; i <= list.Count(); ++i) {
        const TRect* item = list.Items(i);
        if (i < 0 || i == list.Count()) {
          ASSERT_EQ(item, nullptr);
        } else {
          ASSERT_NE(item, nullptr);
          ASSERT_EQ(*item, model[size_t(i)]);
        }
      }
    }
  }
}

TEST(ClassList, FindsByExactName) {
  TClassList<Shape> list;
  EXPECT_EQ(list.Add({"TCircle", [] { return std::make_unique<Shape>(); }}), 0);
  EXPECT_EQ(list.Add({"TSquare", nullptr}), 1);
  EXPECT_EQ(list.Add({"TCircle", nullptr}), 2);
  ASSERT_NE(list.Find("TCircle"), nullptr);
  EXPECT_EQ(list.Find("TCircle"), &list.Items(0));
  EXPECT_NE(list.Find("TCircle")->Create(), nullptr);
  EXPECT_EQ(list.Find("tcircle"), nullptr);
  EXPECT_EQ(list.Find("TTriangle"), nullptr);
  EXPECT_EQ(list.Count(), 3);
}

// ---- Published-property copying ----

const plat::TEnumInfo kindInfo{"TKind", {"kOne", "kTwo", "kThree"}};
const plat::TEnumInfo otherKindInfo{"TOtherKind", {"kThree", "kOne", "kTwo"}};

class Settings : public plat::TPersistent {
 public:
  int value = 0;
  void Assign(const plat::TPersistent& source) override {
    value = dynamic_cast<const Settings&>(source).value;
  }
};

class Source : public plat::TObject {
 public:
  int32_t Size() const { return size; }
  void SetSize(int32_t v) { size = v; }
  int32_t Kind() const { return kind; }
  void SetKind(int32_t v) { kind = v; }
  double Scale() const { return scale; }
  void SetScale(double v) { scale = v; }
  std::string Name() const { return name; }
  void SetName(std::string v) { name = std::move(v); }
  Settings* Options() { return options.get(); }

  int32_t size = 7, kind = 2;
  double scale = 1.5;
  std::string name = "source";
  std::unique_ptr<Settings> options = std::make_unique<Settings>();
};

// The same names, but its enumeration lists the identifiers in another order.
class Target : public Source {};

void RegisterClasses() {
  plat::TClassRegistrar<Source>("TSource")
      .Prop("Size", plat::tkInteger, &Source::Size, &Source::SetSize)
      .Prop("Kind", plat::tkEnumeration, &Source::Kind, &Source::SetKind, &kindInfo)
      .Prop("Scale", plat::tkFloat, &Source::Scale, &Source::SetScale)
      .Prop("Name", plat::tkString, &Source::Name, &Source::SetName)
      .Object("Options", &Source::Options);
  plat::TClassRegistrar<Target, Source>("TTarget").Prop("Kind", plat::tkEnumeration, &Target::Kind,
                                                        &Target::SetKind, &otherKindInfo);
}

TEST(AssignPublishedProperties, CopiesValuesByNameAndObjectsThroughAssign) {
  RegisterClasses();
  Source src;
  src.options->value = 42;
  Source dst;
  dst.size = 0;
  dst.name.clear();
  AssignPublishedProperties(src, dst, plat::tkProperties);
  EXPECT_EQ(dst.size, 7);
  EXPECT_EQ(dst.kind, 2);
  EXPECT_DOUBLE_EQ(dst.scale, 1.5);
  EXPECT_EQ(dst.name, "source");
  EXPECT_EQ(dst.options->value, 42);
  EXPECT_NE(dst.options.get(), src.options.get());
}

TEST(AssignPublishedProperties, EnumerationsTravelByNameAndKindsFilter) {
  RegisterClasses();
  Source src;  // kind "kThree"
  Target dst;
  dst.size = 0;
  AssignPublishedProperties(src, dst, plat::TypeKindBit(plat::tkEnumeration));
  EXPECT_EQ(dst.kind, 0);  // "kThree" is the first identifier of the target's type
  EXPECT_EQ(dst.size, 0);  // integers were not asked for
  dst.options.reset();     // a missing target object is skipped
  AssignPublishedProperties(src, dst, plat::tkProperties);
  EXPECT_EQ(dst.size, 7);
}

}  // namespace
}  // namespace gfx
