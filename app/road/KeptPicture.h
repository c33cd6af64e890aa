// Pictures kept for the layers made from them, in the run's work folder: the shared work and
// paste files are overwritten by the next hand-over or paste, so a layer must not reload from
// them later. A layer owns its kept picture, which goes when the layer goes.
#pragma once

#include <string>

#include "graphics/layers/Layers.h"

namespace app {

// A picture a dialog handed back carries its final transparency; a pasted one came from outside
// and takes the key colour whenever it is read.
enum class TKeptKind { Restored, Pasted };

// Moves WorkFile to a new file of its own in the same folder and returns that path; empty when
// the file cannot be moved (a layer then has no picture to reload).
std::string KeepPicture(const std::string& WorkFile, TKeptKind Kind);

// Layer reloads its picture from File (a kept picture, or none when empty) and removes the file
// when it goes.
void OwnKeptPicture(gfx::TCustomLayer& Layer, const std::string& File);

// Whether File is a picture a dialog handed back (see TKeptKind).
bool IsRestoredPicture(const std::string& File);

}  // namespace app
