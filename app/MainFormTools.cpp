// The layer and picture tools menus and the action timer.
#include "app/MainUnit.h"

namespace app {

void TMainForm::OpenColorFunctions(plat::TObject*) {}

void TMainForm::OpenBGPictFunctions(plat::TObject*) {}

void TMainForm::TimerEllapsed2(plat::TObject*) {}

}  // namespace app
