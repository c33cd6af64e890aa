// Stamping the current text and keeping the list of saved texts.
#include "app/MainUnit.h"

namespace app {

void TMainForm::WriteTextClick(plat::TObject*) {}

void TMainForm::TextListClick(plat::TObject*) {}

void TMainForm::TextListDoubleClick(plat::TObject*) {}

}  // namespace app
