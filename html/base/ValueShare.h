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

}  // namespace html
