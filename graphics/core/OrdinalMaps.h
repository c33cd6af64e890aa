// A two-dimensional map of integers stored row after row.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/core/Persistent.h"

namespace gfx {

class TIntegerMap : public TCustomMap {
 public:
  bool Empty() const override { return values_.empty(); }
  // Address of element (X, Y); no range check.
  int32_t* ValPtr(int32_t X, int32_t Y) { return values_.data() + X + int64_t(Y) * Width(); }

 protected:
  // Elements keep their place in the flat array; new ones are 0.
  void ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) override;

 private:
  std::vector<int32_t> values_;
};

}  // namespace gfx
