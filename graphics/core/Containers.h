// Small containers of the engine: a pointer-keyed hash map with its iterator, a growable list of
// rectangles, a list of classes found by name, and the published-property copier.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/core/Types.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/TypInfo.h"

namespace gfx {

struct TPointerBucketItem {
  void* Item = nullptr;  // the key
  void* Data = nullptr;
};

// The array's length is the bucket's capacity; Count of its pairs are in use.
struct TPointerBucket {
  int32_t Count = 0;
  std::vector<TPointerBucketItem> Items;
};

// 256 buckets keyed by the second-lowest byte of the address, so heap addresses spread.
// A map that owns its data overrides Delete to release it, and calls Clear in its own
// destructor (the base destructor cannot reach the override).
class TPointerMap : public plat::TObject {
 public:
  static constexpr int32_t BucketCount = 256;

  ~TPointerMap() override;

  // Address of Item's data slot; valid until the next Add. Present keys keep their data.
  void** Add(void* Item, bool& IsNew) { return Add(Item, nullptr, IsNew); }
  void** Add(void* Item, void* Data, bool& IsNew);
  bool Locate(void* Item, int32_t& BucketIndex, int32_t& ItemIndex) const;
  // The data of the removed item; nullptr when absent.
  void* Remove(void* Item);
  // Removes one pair and returns its data; does nothing once the total count is 0.
  virtual void* Delete(int32_t BucketIndex, int32_t ItemIndex);
  void Clear();

  // Raises EListError when Item is absent.
  void* Data(void* Item) const;
  int32_t Count() const { return count_; }
  const TPointerBucket& Bucket(int32_t Index) const { return buckets_[Index]; }

 private:
  TPointerBucket buckets_[BucketCount];
  int32_t count_ = 0;
};

// Buckets in ascending order, within a bucket the last added pair first.
class TPointerMapIterator : public plat::TObject {
 public:
  explicit TPointerMapIterator(const TPointerMap& Map) : map_(Map) {}
  bool Next();
  void* Item() const { return item_; }
  void* Data() const { return data_; }

 private:
  const TPointerMap& map_;
  void* item_ = nullptr;
  void* data_ = nullptr;
  int32_t bucketIndex_ = -1, itemIndex_ = -1;
};

class TRectList : public plat::TObject {
 public:
  int32_t Add(const TRect& Rect);
  // No range check.
  void Delete(int32_t Index);
  // nullptr out of range; valid until the next change of capacity.
  TRect* Items(int32_t Index);
  int32_t Count() const { return count_; }
  // A larger count adds zeroed rectangles.
  void SetCount(int32_t Value);
  int32_t Capacity() const { return int32_t(rects_.size()); }
  // A capacity below the count shortens the list.
  void SetCapacity(int32_t Value);
  // Keeps a capacity of 10 so that per-paint lists need not reallocate.
  virtual void Clear();

 protected:
  virtual void Grow();

 private:
  std::vector<TRect> rects_;  // its size is the capacity
  int32_t count_ = 0;
};

// A class as a value: its name and how to make an instance.
template <class Base>
struct TClassReference {
  std::string ClassName;
  std::function<std::unique_ptr<Base>()> Create;
};

template <class Base>
class TClassList {
 public:
  using TClass = TClassReference<Base>;

  int32_t Add(TClass Class) {
    classes_.push_back(std::move(Class));
    return int32_t(classes_.size()) - 1;
  }
  // The first class of exactly that name (case-sensitive); nullptr when none.
  const TClass* Find(std::string_view ClassName) const {
    for (const TClass& c : classes_)
      if (c.ClassName == ClassName) return &c;
    return nullptr;
  }
  int32_t Count() const { return int32_t(classes_.size()); }
  const TClass& Items(int32_t Index) const { return classes_.at(size_t(Index)); }

 private:
  std::vector<TClass> classes_;
};

// Copies Src's published properties of the given kinds onto Dst's properties of the same names;
// object properties are copied through Assign. Raises what the property access raises when Dst
// lacks one.
void AssignPublishedProperties(const plat::TObject& Src, plat::TObject& Dst,
                               plat::TTypeKinds Kinds);

}  // namespace gfx
