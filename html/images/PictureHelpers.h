// Picture helpers shared by blocks, cells and images: sizes of every picture kind of the
// engine, one-pixel background strips enlarged for tiling, and drawing through the imaging
// layer.
#pragma once

#include <memory>

#include "html/images/GdiPlusLoader.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace html {

// The size of a bitmap, a GIF image or an imaging-layer picture; any other object raises
// Exception.
int GetImageWidth(const plat::TObject& picture);
int GetImageHeight(const plat::TObject& picture);
// A new bitmap with the picture stretched over it, where a side of exactly one pixel becomes
// min(100, width) or min(100, height), so that tiling a strip takes few steps.
std::unique_ptr<plat::TBitmap> EnlargeImage(const plat::TObject& picture, int width, int height);

// The source rectangle of the image into the destination rectangle of dc.
void GpDrawImagePart(plat::DeviceContext& dc, const TGpImage& image, int destX, int destY,
                     int destW, int destH, int srcX, int srcY, int srcW, int srcH);
// The whole image scaled into (x, y, w, h) of dc.
void GpDrawImage(plat::DeviceContext& dc, const TGpImage& image, int x, int y, int w, int h);

}  // namespace html
