#include "graphics/core/System.h"
#include "graphics/filters/Filters.h"
#include "graphics/filters/FiltersMask.h"

namespace gfx {

using namespace masks;

// Usable before start-up; StartFilters upgrades them.
TMaskLine MaskLineAnd = MaskLine_Int<AndOp>;
TMaskLine MaskLineOr = MaskLine_Int<OrOp>;
TMaskLine MaskLineXor = MaskLine_Int<XorOp>;
TMaskLineCopy MaskLineAndCopy = MaskLineCopy_Int<AndOp>;
TMaskLineCopy MaskLineOrCopy = MaskLineCopy_Int<OrOp>;
TMaskLineCopy MaskLineXorCopy = MaskLineCopy_Int<XorOp>;

TMaskLine MaskLineOf(TMaskOperation Operation) {
  switch (Operation) {
    case maskAnd:
      return MaskLineAnd;
    case maskOr:
      return MaskLineOr;
    default:
      return MaskLineXor;
  }
}

TMaskLineCopy MaskLineCopyOf(TMaskOperation Operation) {
  switch (Operation) {
    case maskAnd:
      return MaskLineAndCopy;
    case maskOr:
      return MaskLineOrCopy;
    default:
      return MaskLineXorCopy;
  }
}

namespace {

template <class Op>
void AddTiers(TFunctionRegistry& registry, int32_t inPlaceID, int32_t copyID) {
  registry.Add(inPlaceID, MaskLine_Portable<Op>, 0, tierPortable);
  registry.Add(copyID, MaskLineCopy_Portable<Op>, 0, tierPortable);
  registry.Add(inPlaceID, MaskLine_Int<Op>, 0, tierInteger);
  registry.Add(copyID, MaskLineCopy_Int<Op>, 0, tierInteger);
#if defined(__x86_64__) || defined(__i386__)
  registry.Add(copyID, MaskLineCopy_MMX<Op>, SetOf(isMMX), tierMMX);
  registry.Add(copyID, MaskLineCopy_EMMX<Op>, SetOf(isExtendedMMX), tierMMX);
#endif
}

}  // namespace

void StartFilters() {
  TFunctionRegistry& registry = NewRegistry("Filters bindings");
  registry.RegisterBinding(MaskLineAndID, &MaskLineAnd);
  registry.RegisterBinding(MaskLineOrID, &MaskLineOr);
  registry.RegisterBinding(MaskLineXorID, &MaskLineXor);
  registry.RegisterBinding(MaskLineAndCopyID, &MaskLineAndCopy);
  registry.RegisterBinding(MaskLineOrCopyID, &MaskLineOrCopy);
  registry.RegisterBinding(MaskLineXorCopyID, &MaskLineXorCopy);
  AddTiers<AndOp>(registry, MaskLineAndID, MaskLineAndCopyID);
  AddTiers<OrOp>(registry, MaskLineOrID, MaskLineOrCopyID);
  AddTiers<XorOp>(registry, MaskLineXorID, MaskLineXorCopyID);
  registry.RebindAll();
}

}  // namespace gfx
