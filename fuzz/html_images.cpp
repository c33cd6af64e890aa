// Pictures of pages from arbitrary bytes: loaded by their kind (BMP, JPEG, PNG through the
// imaging layer) with a lower-left mask, for a true-colour or a palette screen, then drawn; or,
// when the first byte says so, the rest taken as an image map's SHAPE and COORDS and hit-tested.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "html/HtmlEngine.h"
#include "html/images/GdiPlusLoader.h"
#include "html/images/ImageLoading.h"
#include "html/images/ImageMaps.h"
#include "platform/windows/QtRuntime.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  html::SetScreenDepth(32);
  html::GdiPlusAcquire();  // kept for the whole run
  return 0;
}

namespace {

void DrawPicture(plat::TObject& picture, const plat::TBitmap* mask) {
  std::vector<uint32_t> pixels(40 * 30, 0xFF808080u);
  plat::DeviceContext dc(pixels.data(), 40, 30, 40 * 4);
  if (auto* image = dynamic_cast<html::TGpImage*>(&picture)) {
    html::TGpGraphics graphics(dc);
    graphics.DrawImageRect(*image, -3, 2, 37, 25);
    graphics.DrawImagePart(*image, 5, 5, 1, 1, 8, 8);
  } else if (auto* bitmap = dynamic_cast<plat::TBitmap*>(&picture); bitmap && mask) {
    html::DrawTransparentBitmap(dc, *bitmap, *mask, 1, -2, 50, 20);
  }
}

void HitTestMap(const std::string& text) {
  const size_t split = text.find('|');
  html::TAttributeList attributes;
  attributes.Add(std::make_unique<html::TAttribute>(html::HrefSy, 0, "HREF", "x", 0));
  attributes.Add(
      std::make_unique<html::TAttribute>(html::ShapeSy, 0, "SHAPE", text.substr(0, split), 0));
  attributes.Add(std::make_unique<html::TAttribute>(
      html::CoordsSy, 0, "COORDS", split == std::string::npos ? text : text.substr(split + 1), 0));
  html::TMapItem map;
  map.AddArea(attributes);
  std::unique_ptr<html::TUrlTarget> target;
  std::string title;
  for (int p = -5; p < 60; p += 7) map.HitTest(p, p / 2, target, title);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] == 'M') {
    HitTestMap(rest);
    return 0;
  }
  html::ImageKind(rest.data(), rest.size());
  plat::TMemoryStream stream;
  if (!rest.empty()) stream.WriteBuffer(rest);
  uint8_t transparent = data[0] & 1;
  html::SetScreenDepth(data[0] & 2 ? 8 : 32);  // palette screens reduce the colours
  std::unique_ptr<plat::TBitmap> mask;
  if (auto picture = html::LoadImageFromStream(&stream, transparent, mask))
    DrawPicture(*picture, mask.get());
  return 0;
}
