// The builder of layers made from a picture and an overlay.
#include "app/MainUnit.h"

namespace app {

void TMainForm::WatermarkToolsClick(plat::TObject*) {}

}  // namespace app
