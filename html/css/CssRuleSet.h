// The declarations of one style rule: only the properties the rule gives, so that a sheet of
// many small rules stays small.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "html/css/CssValues.h"

namespace html {

class TStyleRule {
 public:
  struct Slot {
    uint8_t index;
    TCssValue value;
  };

  // Stores a CSS declaration with the conversions of its property; unknown names are ignored.
  void AddPropertyByName(std::string_view name, const std::string& value);
  void AddPropertyByIndex(int index, const std::string& value);
  // The value the rule gives for a property; empty when it gives none.
  const TCssValue& Value(int index) const;
  void Set(int index, TCssValue value);
  // The given values in property order.
  const std::vector<Slot>& Slots() const { return slots_; }

 private:
  std::vector<Slot> slots_;
};

}  // namespace html
