// Drawing image objects: the picture, placeholders with their ALT text, borders and focus.
#include "html/ImageObjects.h"

namespace html {

void TImageObj::DrawInline(plat::TCanvas&, const TInlinePlace&) {}

void TImageObj::DrawFloat(plat::TCanvas&, int32_t, int32_t) {}

void TImageObj::Draw(plat::TCanvas&, int32_t, const TFontObj&, int32_t, int32_t) {}

void TImageObj::DrawImage(plat::TCanvas&, int32_t, int32_t) {}

plat::TBitmap* TImageObj::GetBitmap() {
  return nullptr;
}

}  // namespace html
