// The box values of an element in their compact form.
#include "html/css/CssBoxes.h"

#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>
#include <variant>

namespace html {

namespace {
constexpr uint8_t kInteger = 1, kByte = 2, kReal = 3, kText = 4;
static_assert(std::is_same_v<std::variant_alternative_t<kInteger, TCssValue>, int32_t> &&
              std::is_same_v<std::variant_alternative_t<kByte, TCssValue>, uint8_t> &&
              std::is_same_v<std::variant_alternative_t<kReal, TCssValue>, double> &&
              std::is_same_v<std::variant_alternative_t<kText, TCssValue>, std::string>);
}  // namespace

bool TVMarginArray::KeptBeside(uint8_t kind) {
  return kind == kReal || kind == kText;
}

const TCssValue TVMarginArray::operator[](int index) const {
  const size_t slot = SlotOf(index);
  switch (kinds_[slot]) {
    case kInteger:
      return values_[slot];
    case kByte:
      return uint8_t(values_[slot]);
    case kReal:
    case kText:
      return others_[size_t(values_[slot])];
    default:
      return {};
  }
}

void TVMarginArray::Set(int index, TCssValue value) {
  const size_t slot = SlotOf(index);
  int32_t& held = values_[slot];
  const auto kind = uint8_t(value.index());
  if (KeptBeside(kind)) {
    // A slot that held a text or real number before keeps its place for the new one.
    if (!KeptBeside(kinds_[slot])) {
      held = int32_t(others_.size());
      others_.emplace_back();
    }
    others_[size_t(held)] = std::move(value);
  } else {
    if (KeptBeside(kinds_[slot])) others_[size_t(held)] = {};
    held = kind == kInteger ? std::get<int32_t>(value)
           : kind == kByte  ? std::get<uint8_t>(value)
                            : 0;
  }
  kinds_[slot] = kind;
}

std::string TVMarginArray::ShareKey() const {
  std::string key(sizeof values_ + sizeof kinds_, '\0');
  std::memcpy(key.data(), values_.data(), sizeof values_);
  std::memcpy(key.data() + sizeof values_, kinds_.data(), sizeof kinds_);
  for (const TCssValue& other : others_) {
    key += char(other.index());
    if (const auto* text = std::get_if<std::string>(&other)) {
      key += std::to_string(text->size()) + ':';
      key += *text;
    } else if (const auto* real = std::get_if<double>(&other)) {
      // By its bits: a NaN shares with its own kind.
      key += std::to_string(std::bit_cast<uint64_t>(*real)) + ';';
    }
  }
  return key;
}

}  // namespace html
