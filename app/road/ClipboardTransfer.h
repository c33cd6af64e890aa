// Pictures to and from the clipboard.
#pragma once

#include <string>

#include "graphics/bitmap/Bitmap32.h"

namespace app {

// Puts the picture on the clipboard as a platform bitmap; an empty picture puts nothing there.
void CopyPictureToClipboard(const gfx::TBitmap32& Picture);

enum class TPasteOutcome { Written, NoPicture, Failed };

// Writes the clipboard's picture as a quality-100 JPEG to Path (atomically).
TPasteOutcome SaveClipboardAsJpeg(const std::string& Path);

// Where pasted pictures are kept: a file of this run's private work folder.
std::string PasteFilePath();

}  // namespace app
