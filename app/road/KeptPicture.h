// Pictures the dialogs hand back, kept for the layers made from them: the shared work file is
// overwritten by the next hand-over, so a layer must not reload from it later.
#pragma once

#include <string>

namespace app {

// Moves WorkFile to a new file of its own in the same folder and returns that path; empty when
// the file cannot be moved (the layer then has no picture to reload).
std::string KeepHandedBackPicture(const std::string& WorkFile);

}  // namespace app
