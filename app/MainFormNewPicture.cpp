// The new-picture button and the picture opacity gauge.
#include "app/MainUnit.h"

namespace app {

void TMainForm::NewButtonClick(plat::TObject*) {}

void TMainForm::CreateNewImage(int32_t, int32_t, gfx::TColor32) {}

void TMainForm::PictOpacityGaugeBarChange(plat::TObject*) {}

}  // namespace app
