// Pictures that blocks draw themselves (backgrounds, list-item markers): fetched through the
// document and copied, so the block does not depend on the image cache keeping them.
#pragma once

#include <memory>
#include <string>

#include "platform/pictures/Bitmap.h"

namespace html {

class TSectionList;

struct TBlockPicture {
  std::unique_ptr<plat::TBitmap> Image;  // 32 bits per pixel; null when none could be had
  std::unique_ptr<plat::TBitmap> Mask;   // white where transparent; null for opaque pictures
};

// The picture of url (the current frame of an animation); an empty picture when the document
// shows no images or the picture cannot be had.
TBlockPicture FetchBlockPicture(TSectionList& document, const std::string& url);

}  // namespace html
