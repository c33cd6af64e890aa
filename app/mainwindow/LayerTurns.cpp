#include "app/mainwindow/LayerTurns.h"

#include <map>

namespace app {
namespace {

uint64_t Fingerprint(const gfx::TBitmap32& b) {
  uint64_t h = 0xcbf29ce484222325u ^ (uint64_t(uint32_t(b.Width())) << 32 | uint32_t(b.Height()));
  const gfx::TColor32* p = b.Bits();
  for (size_t i = 0, n = size_t(b.Width()) * size_t(b.Height()); i < n; ++i)
    h = (h ^ p[i]) * 0x100000001b3u;
  return h;
}

// An entry goes with its layer.
std::map<const gfx::TCustomLayer*, TTurnBasis>& TurnBases() {
  static std::map<const gfx::TCustomLayer*, TTurnBasis> bases;
  return bases;
}

}  // namespace

TLayerFrame FrameOf(const gfx::TBitmapLayer& L) {
  const gfx::TFloatRect r = L.Location();
  const int32_t w = L.Bitmap().Width(), h = L.Bitmap().Height();
  TLayerFrame f;
  f.CentreX = (double(r.Left) + r.Right) / 2;
  f.CentreY = (double(r.Top) + r.Bottom) / 2;
  f.ScaleX = w > 0 ? (double(r.Right) - r.Left) / w : 0;
  f.ScaleY = h > 0 ? (double(r.Bottom) - r.Top) / h : 0;
  return f;
}

gfx::TFloatRect PlaceInFrame(const TLayerFrame& Frame, int32_t Width, int32_t Height, double ShiftX,
                             double ShiftY) {
  const double cx = Frame.CentreX + ShiftX * Frame.ScaleX;
  const double cy = Frame.CentreY + ShiftY * Frame.ScaleY;
  const double hw = Width * Frame.ScaleX / 2, hh = Height * Frame.ScaleY / 2;
  return {float(cx - hw), float(cy - hh), float(cx + hw), float(cy + hh)};
}

TTurnBasis* TurnBasisOf(const gfx::TBitmapLayer& L) {
  const auto at = TurnBases().find(&L);
  if (at == TurnBases().end() || at->second.Print != Fingerprint(L.Bitmap())) return nullptr;
  return &at->second;
}

TLayerFrame TurnFrameOf(const gfx::TBitmapLayer& L) {
  const TTurnBasis* basis = TurnBasisOf(L);
  return basis && basis->Placed == L.Location() ? basis->Frame : FrameOf(L);
}

void KeepTurnBasis(gfx::TBitmapLayer& L, const gfx::TBitmap32& Picture, int32_t Degrees,
                   const TLayerFrame& Frame) {
  if (Degrees % 360 == 0) return;
  auto [at, made] = TurnBases().try_emplace(&L);
  TTurnBasis& b = at->second;
  b.Picture.Assign(Picture);
  b.Ungreyed.SetSize(0, 0);
  b.Degrees = Degrees;
  b.Frame = Frame;
  b.Placed = L.Location();
  b.Print = Fingerprint(L.Bitmap());
  if (!made) return;
  plat::TNotifyEvent before = std::move(L.OnDestroy);
  L.OnDestroy = [&L, before](plat::TObject* Sender) {
    TurnBases().erase(&L);
    if (before) before(Sender);
  };
}

void TurnBasisFollows(const gfx::TBitmapLayer& L, TTurnBasis& Basis) {
  Basis.Print = Fingerprint(L.Bitmap());
}

}  // namespace app
