// The composed picture (background and visible layers at the background's own size) and its
// JPEG file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/controls/Image.h"

namespace app {

// The background with every visible layer over it, at the view bitmap's size whatever the screen
// zoom; none when there is no picture. The caller deselects first so no frame is drawn.
std::unique_ptr<gfx::TBitmap32> ComposePicture(gfx::TCustomImage32& View);

// FileName with the JPEG extension: kept when it matches in any case, else replaced or appended.
// Only the file-name part is looked at.
std::string ForcedJpegName(std::string_view FileName);

// Quality-100 JPEG bytes of the picture's colours (alpha is dropped).
std::string EncodeJpeg(const gfx::TBitmap32& Picture);

// Writes the picture as a quality-100 JPEG through a temporary file renamed into place, so a
// failure keeps whatever file was there.
void WriteJpegFile(const gfx::TBitmap32& Picture, const std::string& FileName);

// Composes the view and writes it under ForcedJpegName(FileName); returns the name written, or
// an empty name when there is no picture. A name that is the extension alone is refused.
std::string SaveAsJpeg(gfx::TCustomImage32& View, const std::string& FileName);

// Replaces the background by the composition and drops every layer.
void Flatten(gfx::TCustomImage32& View);

}  // namespace app
