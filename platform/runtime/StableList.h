// A list of pointers kept in order, from which items leave one at a time, mostly in the order they
// came (or its reverse): the children of a window freed with a page. A removal leaves a hole and
// starts its search where the last one ended, and holes are closed up once they are as many as the
// items, so freeing thousands of items costs no more than their number.
#pragma once

#include <cstddef>
#include <vector>

namespace plat {

template <class T>
class TStableList {
 public:
  void Add(T* item) { slots_.push_back(item); }

  // Takes item out; nothing when it is not there. item may be of a base class of T (an object
  // half destroyed is told by its address).
  template <class U>
  void Remove(const U* item) {
    const size_t at = Find(item);
    if (at == kNone) return;
    slots_[at] = nullptr;
    hint_ = at;
    if (++holes_ * 2 >= slots_.size()) CloseHoles();
  }

  // The items in order, without holes.
  const std::vector<T*>& Items() const {
    CloseHoles();
    return slots_;
  }
  // The same, to be reordered in place.
  std::vector<T*>& MutableItems() {
    CloseHoles();
    return slots_;
  }
  size_t Count() const { return slots_.size() - holes_; }

 private:
  static constexpr size_t kNone = size_t(-1);

  // Looks outwards from the last removal, one step each way at a time.
  template <class U>
  size_t Find(const U* item) const {
    const size_t size = slots_.size();
    if (!item || size == 0) return kNone;
    const size_t start = hint_ < size ? hint_ : size - 1;
    for (size_t step = 0; step <= start || start + step < size; ++step) {
      if (start + step < size && slots_[start + step] == item) return start + step;
      if (step <= start && slots_[start - step] == item) return start - step;
    }
    return kNone;
  }

  void CloseHoles() const {
    if (holes_ == 0) return;
    size_t kept = 0, hint = 0;
    for (size_t i = 0; i < slots_.size(); ++i) {
      if (i == hint_) hint = kept;
      if (slots_[i]) slots_[kept++] = slots_[i];
    }
    slots_.resize(kept);
    hint_ = hint;
    holes_ = 0;
  }

  // Closing holes changes no item or order, so it is done wherever it is first needed.
  mutable std::vector<T*> slots_;
  mutable size_t holes_ = 0;
  mutable size_t hint_ = 0;  // where the last removal was
};

}  // namespace plat
