// Values that are alike, held once: the many runs and blocks of a page share what they look
// like instead of a copy each. T tells alike values by its ShareKey().
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

namespace html {

template <class T>
class TValueShare {
 public:
  // The held value alike to `value`; `value` itself, held from now on, when none is.
  std::shared_ptr<const T> Share(std::shared_ptr<const T> value) {
    auto [held, added] = held_.try_emplace(value->ShareKey(), value);
    return added ? value : held->second;
  }
  void Clear() { held_.clear(); }

 private:
  std::unordered_map<std::string, std::shared_ptr<const T>> held_;
};

// A value that its holder may share with others alike: a change is made on a copy of the
// holder's own unless it holds the value alone. Holds a value-initialised T until changed.
template <class T>
class TSharedValue {
 public:
  const T& operator*() const { return value_ ? *value_ : Blank(); }
  const T* operator->() const { return &**this; }
  // An element of an indexed value.
  decltype(auto) operator[](int index) const { return (**this)[index]; }
  // The value to change, from now on held by this holder alone.
  T& Edit() {
    if (!value_ || value_.use_count() > 1) value_ = std::make_shared<T>(**this);
    // Values come to holders only from Edit, directly or through a share of holders, and so
    // none is a const object.
    return const_cast<T&>(*value_);
  }
  // Holds the value alike to this one that `share` (a share of holders only) holds; share holds
  // this one when it has none.
  void ShareIn(TValueShare<T>& share) {
    if (value_) value_ = share.Share(std::move(value_));
  }

 private:
  static const T& Blank() {
    static const T blank{};
    return blank;
  }

  std::shared_ptr<const T> value_;
};

}  // namespace html
