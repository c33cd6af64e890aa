// Handing the selected layer to the rotation dialog and taking it back.
#include "app/MainUnit.h"

namespace app {

void TMainForm::WMRotateChange(plat::TObject*, int32_t) {}

}  // namespace app
