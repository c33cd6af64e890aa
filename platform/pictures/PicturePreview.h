// The preview of the open-picture dialogs: a file shown as the program opens it.
#pragma once

#include <memory>
#include <string>

#include "platform/pictures/Bitmap.h"

namespace plat {

// The file loaded by the picture class registered for its extension and drawn as a 32-bit
// bitmap with its transparency as alpha (metafiles, which paint no background, on white), fitted
// into Width x Height with its proportions kept and never enlarged. Nothing when it does not load.
std::unique_ptr<TBitmap> PicturePreview(const std::string& fileName, int width, int height);

}  // namespace plat
