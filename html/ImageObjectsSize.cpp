// Fetching an image object's picture and sizing its box.
#include "html/ImageObjects.h"

namespace html {

void TImageObj::ComputeSize(plat::TCanvas&, int32_t, int32_t, const TMyFont&) {}

}  // namespace html
