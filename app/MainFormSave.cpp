// Saving the composed picture.
#include "app/MainUnit.h"

namespace app {

// Writing the picture is not part of the program yet: the close question's Yes keeps the
// window open, so nothing is lost.
void TMainForm::mnSaveAsClick(plat::TObject*) {}

}  // namespace app
