#include "graphics/core/Containers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gfx {

namespace {

int32_t BucketOf(const void* Item) {
  return int32_t((reinterpret_cast<uintptr_t>(Item) >> 8) & 0xFF);
}

// Small steps first, a quarter once large.
size_t GrownCapacity(size_t Capacity) {
  if (Capacity > 64) return Capacity + Capacity / 4;
  if (Capacity > 8) return Capacity + 16;
  return Capacity + 4;
}

}  // namespace

TPointerMap::~TPointerMap() {
  Clear();
}

void** TPointerMap::Add(void* Item, void* Data, bool& IsNew) {
  int32_t bucketIndex, itemIndex;
  IsNew = !Locate(Item, bucketIndex, itemIndex);
  TPointerBucket& bucket = buckets_[bucketIndex];
  if (IsNew) {
    if (size_t(bucket.Count) == bucket.Items.size())
      bucket.Items.resize(GrownCapacity(bucket.Items.size()));
    itemIndex = bucket.Count++;
    bucket.Items[itemIndex] = {Item, Data};
    ++count_;
  }
  return &bucket.Items[itemIndex].Data;
}

bool TPointerMap::Locate(void* Item, int32_t& BucketIndex, int32_t& ItemIndex) const {
  BucketIndex = BucketOf(Item);
  const TPointerBucket& bucket = buckets_[BucketIndex];
  for (ItemIndex = 0; ItemIndex < bucket.Count; ++ItemIndex)
    if (bucket.Items[ItemIndex].Item == Item) return true;
  return false;
}

void* TPointerMap::Remove(void* Item) {
  int32_t bucketIndex, itemIndex;
  return Locate(Item, bucketIndex, itemIndex) ? Delete(bucketIndex, itemIndex) : nullptr;
}

void* TPointerMap::Delete(int32_t BucketIndex, int32_t ItemIndex) {
  TPointerBucket& bucket = buckets_[BucketIndex];
  void* data = bucket.Items[ItemIndex].Data;
  if (count_ == 0) return data;
  if (--bucket.Count == 0) {
    bucket.Items = {};
  } else {
    std::copy(bucket.Items.begin() + ItemIndex + 1, bucket.Items.begin() + bucket.Count + 1,
              bucket.Items.begin() + ItemIndex);
  }
  --count_;
  return data;
}

// With the total at 0 the base Delete changes nothing, so only an override acts here.
void TPointerMap::Clear() {
  count_ = 0;
  for (int32_t b = 0; b < BucketCount; ++b) {
    for (int32_t i = buckets_[b].Count - 1; i >= 0; --i) Delete(b, i);
    buckets_[b].Count = 0;
    buckets_[b].Items = {};
  }
}

void* TPointerMap::Data(void* Item) const {
  int32_t bucketIndex, itemIndex;
  if (!Locate(Item, bucketIndex, itemIndex)) {
    char text[64];
    std::snprintf(text, sizeof text, "Elément non trouvé ($0%llX)",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(Item)));
    throw plat::EListError(text);
  }
  return buckets_[bucketIndex].Items[itemIndex].Data;
}

bool TPointerMapIterator::Next() {
  if (itemIndex_ > 0) {
    --itemIndex_;
  } else {
    itemIndex_ = -1;
    while (bucketIndex_ < TPointerMap::BucketCount - 1 && itemIndex_ == -1) {
      ++bucketIndex_;
      itemIndex_ = map_.Bucket(bucketIndex_).Count - 1;
    }
  }
  if (itemIndex_ == -1) return false;
  const TPointerBucketItem& pair = map_.Bucket(bucketIndex_).Items[itemIndex_];
  item_ = pair.Item;
  data_ = pair.Data;
  return true;
}

int32_t TRectList::Add(const TRect& Rect) {
  if (count_ == Capacity()) Grow();
  rects_[count_] = Rect;
  return count_++;
}

void TRectList::Delete(int32_t Index) {
  --count_;
  if (Index < count_)
    std::copy(rects_.begin() + Index + 1, rects_.begin() + count_ + 1, rects_.begin() + Index);
}

TRect* TRectList::Items(int32_t Index) {
  return Index >= 0 && Index < count_ ? &rects_[Index] : nullptr;
}

void TRectList::SetCount(int32_t Value) {
  Value = std::max(Value, 0);
  if (Value > Capacity()) SetCapacity(Value);
  if (Value > count_)
    std::fill(rects_.begin() + count_, rects_.begin() + Value, TRect{});
  else
    for (int32_t i = count_ - 1; i >= Value; --i) Delete(i);
  count_ = Value;
}

void TRectList::SetCapacity(int32_t Value) {
  Value = std::max(Value, 0);
  if (Value == Capacity()) return;
  rects_.resize(size_t(Value));
  rects_.shrink_to_fit();
  count_ = std::min(count_, Value);
}

void TRectList::Clear() {
  count_ = 0;
  SetCapacity(10);
}

void TRectList::Grow() {
  const int32_t capacity = Capacity();
  const int32_t delta = capacity > 128 ? capacity / 4 : capacity > 8 ? 32 : 8;
  SetCapacity(capacity + delta);
}

void AssignPublishedProperties(const plat::TObject& Src, plat::TObject& Dst,
                               plat::TTypeKinds Kinds) {
  for (const plat::TPropInfo* prop : plat::GetPropList(Src, Kinds)) {
    const plat::TPropInfo* target = plat::FindPropInfo(Dst, prop->Name);
    if (!target) throw plat::EPropertyError("Unknown property: " + prop->Name);
    if (prop->Kind != plat::tkClass) {
      plat::SetVariantProp(Dst, *target, plat::GetVariantProp(Src, *prop));
      continue;
    }
    auto objectOf = [](const plat::TValue& v) {
      const auto* object = std::get_if<plat::TObject*>(&v);
      return object ? dynamic_cast<plat::TPersistent*>(*object) : nullptr;
    };
    plat::TPersistent* dstObject = objectOf(target->Get(Dst));
    if (!dstObject) continue;
    if (const plat::TPersistent* srcObject = objectOf(prop->Get(Src)))
      dstObject->Assign(*srcObject);
  }
}

}  // namespace gfx
