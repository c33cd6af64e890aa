#include "app/road/Background.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "graphics/bitmap/Bitmap32Format.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/Transforms.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/JpegCodec.h"
#include "platform/runtime/Classes.h"

namespace app {

namespace {

bool IsJpegData(const std::string& bytes) {
  return bytes.size() >= 3 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8 &&
         uint8_t(bytes[2]) == 0xFF;
}

}  // namespace

std::unique_ptr<gfx::TBitmap32> ReadBackground(const std::string& FileName) {
  auto picture = std::make_unique<gfx::TBitmap32>();
  // Opened once for the look at its start: what is no regular file is refused before any read.
  plat::TFileStream file(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
  std::string head(3, '\0');
  head.resize(size_t(file.Read(head.data(), int64_t(head.size()))));
  if (!IsJpegData(head)) {
    picture->LoadFromFile(FileName);
    return picture;
  }
  // Photographs are the usual background: the decoder reads the file as it goes and writes
  // straight into the 32-bit rows, all of them, or throws and the picture is dropped.
  file.SetPosition(0);
  plat::DecodeJpegArgb(file, [&picture](int32_t width, int32_t height) {
    picture->SetSizeToOverwrite(width, height);
    return picture->Bits();
  });
  return picture;
}

void InstallBackground(gfx::TCustomImage32& View, gfx::TBitmap32& Pristine,
                       std::unique_ptr<gfx::TBitmap32> Picture) {
  View.Layers().Clear();
  View.Bitmap().TakeOver(*Picture);
  Picture.reset();
  Pristine.SetSize(0, 0);
  View.Bitmap().CopyPropertiesTo(Pristine);
  gfx::TCustomResampler::Create<gfx::TLinearResampler>(Pristine);
  gfx::TCustomResampler::Create<gfx::TDraftResampler>(View.Bitmap());
}

void KeepLoadedPicture(const gfx::TCustomImage32& View, gfx::TBitmap32& Pristine) {
  if (Pristine.Empty()) View.Bitmap().CopyMapTo(Pristine);
}

void TakePixels(const gfx::TBitmap32& Source, gfx::TBitmap32& Dest) {
  Source.CopyMapTo(Dest);
  Dest.Changed();
}

plat::TSize ScaledBackgroundSize(int32_t Width, int32_t Height, int32_t P) {
  // Rounds halves to the even neighbour, in double so large pictures keep every digit.
  const auto scaled = [P](int64_t side) {
    return int64_t(std::nearbyint(double(side) * P * 0.01));
  };
  const int64_t shrink = P < 100 ? 1 : 0;
  // However small, a picture keeps at least one pixel a side instead of vanishing.
  const auto side = [&](int32_t length) {
    return int32_t(std::clamp<int64_t>(scaled(length - shrink), 1, INT32_MAX));
  };
  return {side(Width), side(Height)};
}

void ScaleBackground(gfx::TBitmap32& Pristine, int32_t P, gfx::TBitmap32& Dest) {
  const int32_t w = Pristine.Width(), h = Pristine.Height();
  const plat::TSize size = ScaledBackgroundSize(w, h, P);
  if (const auto reason = gfx::bitmap32_format::CheckSize(size.cx, size.cy))
    throw gfx::EBitmapException("The picture cannot be scaled to " + std::to_string(size.cx) +
                                " x " + std::to_string(size.cy) + ": " + *reason);
  if (P == 100) {
    // Only the pixels: Dest keeps how it is drawn (opacity, interaction, resampler).
    Pristine.CopyMapTo(Dest);
    return;
  }
  Dest.SetSize(size.cx, size.cy);
  Dest.ClearWithColor(0xFF000000);
  gfx::TAffineTransformation A;
  // Enlarging maps the whole picture, so the last row and column are drawn too; so does a side
  // of one pixel, which has no other to map.
  const auto mapped = [P](int32_t length) {
    return float(length) - (P < 100 && length > 1 ? 1.0f : 0.0f);
  };
  A.SetSrcRect({0, 0, mapped(w), mapped(h)});
  A.Clear();
  A.ScaleUniform(float(P) * 0.01f);
  // Samples past the edge take the edge pixel, not the outer colour.
  gfx::TCustomResampler* resampler = Pristine.Resampler();
  const gfx::TPixelAccessMode access = resampler ? resampler->PixelAccessMode() : gfx::pamSafe;
  if (resampler) resampler->SetPixelAccessMode(gfx::pamWrap);
  try {
    gfx::Transform(Dest, Pristine, A);
  } catch (...) {
    if (resampler) resampler->SetPixelAccessMode(access);
    throw;
  }
  if (resampler) resampler->SetPixelAccessMode(access);
}

std::string ScaleLabel(int32_t P) {
  if (P == 1000) return "10.00";
  std::string digits = std::to_string(P);
  if (P < 100) digits.insert(0, 3 - std::min<size_t>(digits.size(), 3), '0');
  return digits.substr(0, 1) + "." + digits.substr(1);
}

}  // namespace app
