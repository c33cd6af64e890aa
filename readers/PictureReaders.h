// Folder readers: the picture readers (GIF and PNG) with their decoders and colour manager. They
// use only the platform layer, and zlib for deflate.
//
// The picture readers: start-up binds the picture extensions to their classes (GIF and PNG
// readers here, the rest in the platform), shutdown takes them out again.
#pragma once

#include "readers/pictures/FileFormats.h"
#include "readers/pictures/GifGraphic.h"
#include "readers/pictures/PngGraphic.h"

namespace readers {

// Call after the platform's own picture registrations exist, and StopReaders before the
// platform shuts down.
void StartReaders();
void StopReaders();

// The registry made by StartReaders, or nullptr outside StartReaders/StopReaders.
TFileFormatList* FileFormatList();

}  // namespace readers
