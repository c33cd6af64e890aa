// A vector of values no larger than a pointer that keeps a lone value where the pointer to its
// heap block would be: the many lists of a page that hold one item (a section's one font run and
// source run, a paragraph's one section) take no block of their own, and a list takes 16 bytes
// instead of 24.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace html {

template <class T>
class TCompactVector {
  static_assert(sizeof(T) <= sizeof(T*) && alignof(T) <= alignof(T*));
  static_assert(std::is_nothrow_move_constructible_v<T> && std::is_nothrow_destructible_v<T>);

 public:
  using value_type = T;
  using iterator = T*;
  using const_iterator = const T*;

  TCompactVector() noexcept {}
  TCompactVector(const TCompactVector& other) { Append(other); }
  TCompactVector(TCompactVector&& other) noexcept { Take(other); }
  TCompactVector& operator=(const TCompactVector& other) {
    if (this != &other) {
      clear();
      Append(other);
    }
    return *this;
  }
  TCompactVector& operator=(TCompactVector&& other) noexcept {
    if (this != &other) {
      Release();
      Take(other);
    }
    return *this;
  }
  ~TCompactVector() { Release(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return Inline() ? std::launder(reinterpret_cast<T*>(slot_)) : heap_; }
  const T* data() const {
    return Inline() ? std::launder(reinterpret_cast<const T*>(slot_)) : heap_;
  }
  iterator begin() { return data(); }
  iterator end() { return data() + size_; }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + size_; }
  T& operator[](size_t index) { return data()[index]; }
  const T& operator[](size_t index) const { return data()[index]; }
  const T& at(size_t index) const {
    if (index >= size_) throw std::out_of_range("TCompactVector index out of range");
    return data()[index];
  }
  T& front() { return data()[0]; }
  const T& front() const { return data()[0]; }
  T& back() { return data()[size_ - 1]; }
  const T& back() const { return data()[size_ - 1]; }

  void push_back(T value) {
    if (size_ == capacity_) Grow();
    ::new (static_cast<void*>(data() + size_)) T(std::move(value));
    ++size_;
  }
  iterator insert(const_iterator place, T value) {
    const size_t index = size_t(place - begin());
    push_back(std::move(value));
    std::rotate(begin() + index, end() - 1, end());
    return begin() + index;
  }
  iterator erase(const_iterator place) {
    const size_t index = size_t(place - begin());
    std::move(begin() + index + 1, end(), begin() + index);
    pop_back();
    return begin() + index;
  }
  void pop_back() {
    --size_;
    data()[size_].~T();
  }
  // Gives back the room that growing left over; a lone value moves back in place.
  void shrink_to_fit() {
    if (Inline() || size_ == capacity_) return;
    if (size_ <= 1) {
      T* block = heap_;
      const uint32_t capacity = capacity_;
      capacity_ = 1;
      if (size_ == 1) {
        ::new (static_cast<void*>(slot_)) T(std::move(block[0]));
        block[0].~T();
      }
      std::allocator<T>().deallocate(block, capacity);
      return;
    }
    Reallocate(size_);
  }
  // Values go first to last, as a std::vector lets them go.
  void clear() {
    std::destroy(begin(), end());
    size_ = 0;
  }

 private:
  bool Inline() const { return capacity_ == 1; }
  void Grow() {
    if (capacity_ > UINT32_MAX / 2) throw std::length_error("TCompactVector too long");
    Reallocate(capacity_ * 2);
  }
  // Moves the values into a block of `capacity` (at least two, and at least the size).
  void Reallocate(uint32_t capacity) {
    T* block = std::allocator<T>().allocate(capacity);
    T* from = data();
    for (uint32_t i = 0; i < size_; ++i) {
      ::new (static_cast<void*>(block + i)) T(std::move(from[i]));
      from[i].~T();
    }
    if (!Inline()) std::allocator<T>().deallocate(heap_, capacity_);
    heap_ = block;
    capacity_ = capacity;
  }
  void Release() {
    clear();
    if (!Inline()) std::allocator<T>().deallocate(heap_, capacity_);
    heap_ = nullptr;
    capacity_ = 1;
  }
  // Moves other's values into this empty, inline vector; other is left empty.
  void Take(TCompactVector& other) {
    if (!other.Inline()) {
      heap_ = other.heap_;
      size_ = other.size_;
      capacity_ = other.capacity_;
      other.heap_ = nullptr;
      other.capacity_ = 1;
      other.size_ = 0;
    } else if (other.size_ == 1) {
      push_back(std::move(other.front()));
      other.pop_back();
    }
  }
  void Append(const TCompactVector& other) {
    for (const T& value : other) push_back(value);
  }

  union {
    T* heap_ = nullptr;
    alignas(T) unsigned char slot_[sizeof(T*)];
  };
  uint32_t size_ = 0;
  uint32_t capacity_ = 1;
};

}  // namespace html
