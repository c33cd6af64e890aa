// Handing a layer or the background to the extended colour dialog and taking it back.
#include "app/MainUnit.h"

namespace app {

void TMainForm::OpenBGExtendedColorFunctions(plat::TObject*, int32_t, int32_t) {}

}  // namespace app
