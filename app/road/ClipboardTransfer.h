// Pictures to and from the clipboard.
#pragma once

#include <string>

#include "graphics/bitmap/Bitmap32.h"

namespace app {

// Puts the picture on the clipboard with its alpha, as desktop programs take it; an empty picture
// puts nothing there.
void CopyPictureToClipboard(const gfx::TBitmap32& Picture);

enum class TPasteOutcome { Written, NoPicture, Failed };

// What became of a paste; for a picture that could not be taken over, Reason says why.
struct TPasteResult {
  TPasteOutcome Outcome = TPasteOutcome::Written;
  std::string Reason;
};

// How a pasted picture is kept: a quality-100 JPEG, opaque, for the background; a 32-bit BMP that
// keeps the picture's transparency, for layers.
enum class TPasteFormat { Jpeg, Bitmap32 };

// Writes the clipboard's picture to Path (atomically) in Format.
TPasteResult SaveClipboardPicture(const std::string& Path, TPasteFormat Format);

// Tells the user why nothing was pasted; true when the picture was written.
bool ReportPasteOutcome(const TPasteResult& Result);

// Where pasted pictures are kept: a file of this run's private work folder.
std::string PasteFilePath(TPasteFormat Format);

}  // namespace app
