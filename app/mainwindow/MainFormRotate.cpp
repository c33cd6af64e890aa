// Handing the selected layer to the rotation dialog and taking it back.
#include <cstring>
#include <map>
#include <memory>
#include <string_view>

#include "app/mainwindow/HandOver.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/KeptPicture.h"
#include "app/rotate/RotateDialog.h"
#include "app/rotate/TurnPicture.h"
#include "graphics/layers/RubberBand.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

constexpr std::string_view RotateWorkFileName = "rotate-work.bmp";

// Layers whose angle code reaches this carry an earlier turn (codes are angle + 10000).
constexpr int32_t RotatedBeforeCode = 9000;
constexpr int32_t AngleCodeBase = 10000;
constexpr int32_t StartStepCount = 12, StartStepAngle = 30;

bool SamePixels(const gfx::TBitmap32& a, const gfx::TBitmap32& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.Bits(), b.Bits(), size_t(a.Width()) * size_t(a.Height()) * 4) == 0;
}

uint64_t Fingerprint(const gfx::TBitmap32& b) {
  uint64_t h = 0xcbf29ce484222325u ^ (uint64_t(uint32_t(b.Width())) << 32 | uint32_t(b.Height()));
  const gfx::TColor32* p = b.Bits();
  for (size_t i = 0, n = size_t(b.Width()) * size_t(b.Height()); i < n; ++i)
    h = (h ^ p[i]) * 0x100000001b3u;
  return h;
}

// A point of the view.
struct TViewPoint {
  float X = 0, Y = 0;
};

// What a turned layer was turned from: its picture before the turns, the turn its bitmap shows
// (the degrees of DrawTurned) and where the picture's top-left corner lies on the view, for as
// long as the bitmap is what that turn made. Each turn starts from there, so a layer's size
// follows its angle, not how many turns led to it, and turns that add up to whole ones give back
// the picture exactly, in its place. An entry goes with its layer.
struct TTurnBasis {
  gfx::TBitmap32 Picture;
  int32_t Degrees = 0;
  uint64_t Print = 0;
  TViewPoint Anchor;
  // The layer's place the turn gave it; moved or scaled since, the anchor moved with it.
  gfx::TFloatRect Placed;
};

std::map<const gfx::TCustomLayer*, TTurnBasis>& TurnBases() {
  static std::map<const gfx::TCustomLayer*, TTurnBasis> bases;
  return bases;
}

// The basis of L's bitmap; none when the bitmap changed since the turn (its colours, a flip): it
// is then its own basis, unturned.
const TTurnBasis* BasisOf(const gfx::TBitmapLayer& L) {
  const auto at = TurnBases().find(&L);
  if (at == TurnBases().end() || at->second.Print != Fingerprint(L.Bitmap())) return nullptr;
  return &at->second;
}

void RecordBasis(gfx::TBitmapLayer& L, const gfx::TBitmap32& Picture, int32_t Degrees,
                 TViewPoint Anchor) {
  // A whole turn gives the picture itself: nothing to keep.
  if (Degrees % 360 == 0) return;
  auto [at, made] = TurnBases().try_emplace(&L);
  TTurnBasis& b = at->second;
  b.Picture.Assign(Picture);
  b.Degrees = Degrees;
  b.Print = Fingerprint(L.Bitmap());
  b.Anchor = Anchor;
  b.Placed = L.Location();
  if (!made) return;
  plat::TNotifyEvent before = std::move(L.OnDestroy);
  L.OnDestroy = [&L, before](plat::TObject* Sender) {
    TurnBases().erase(&L);
    if (before) before(Sender);
  };
}

// The layer's new picture, the point of the view its offsets count from, and where its top-left
// corner lies from there, in pixels; the picture it was turned from, and by how much.
struct TTurnResult {
  std::unique_ptr<gfx::TBitmap32> Picture;
  TViewPoint Anchor;
  double Left = 0, Top = 0;
  const gfx::TBitmap32* Basis = nullptr;
  int32_t Degrees = 0;
};

// Source, turned by Degrees so far, turned by Added more (as the dialog draws them).
TTurnResult TurnFurther(const gfx::TBitmap32& Source, int32_t Degrees, int32_t Added) {
  TTurnResult r;
  r.Degrees = (Degrees + Added) % 360;
  const TTurnedBox box = TurnedBox(Source.Width(), Source.Height(), r.Degrees);
  r.Picture = TurnedPicture(Source, r.Degrees);
  r.Left = box.ShiftX;
  r.Top = box.ShiftY;
  r.Basis = &Source;
  return r;
}

TViewPoint Offset(TViewPoint From, double X, double Y, int32_t ScalePercent) {
  const double scale = ScalePercent / 100.0;
  return {float(From.X + X * scale), float(From.Y + Y * scale)};
}

// Where the layer goes on the view: the result's offset from its anchor at the layer's scale,
// its size as the scale gives it. The band carries its child with it.
void PlaceTurned(gfx::TBitmapLayer& Turned, const TTurnResult& R, gfx::TRubberbandLayer* Band) {
  const TViewPoint at = Offset(R.Anchor, R.Left, R.Top, Turned.ScalePercent);
  const gfx::TFloatRect placed = ScaledLayerRect({at.X, at.Y, at.X, at.Y}, Turned.Bitmap().Width(),
                                                 Turned.Bitmap().Height(), Turned.ScalePercent);
  if (Band && Band->ChildLayer() == &Turned)
    Band->SetLocation(placed);
  else
    Turned.SetLocation(placed);
}

}  // namespace

void TMainForm::WMRotateChange(plat::TObject* Sender, int32_t Mode) {
  if (RotateBusy) return;
  TBusyFlag busy(RotateBusy);
  struct TStepDefaults {
    TMainState& state;
    ~TStepDefaults() {
      state.DefaultStepCount = StartStepCount;
      state.DefaultStepAngle = StartStepAngle;
    }
  } stepDefaults{*this};
  DefaultStepCount = StartStepCount;
  DefaultStepAngle = StartStepAngle;
  gfx::TBitmapLayer* L = SelectedBitmapLayer();
  if (!L) return;
  TWaitCursor wait;

  TPictureLayerRequest request;
  request.Restored = true;
  request.Opacity = L->OpacityValue;
  request.Scale = L->ScalePercent;
  request.Mode = L->ColorMode;
  const bool rotatedBefore = L->AngleCode >= RotatedBeforeCode;
  WMLabel->SetCaption("Scale: " + plat::IntToStr(WMScale->Position()) + "%");
  const gfx::TFloatRect location = L->Location();
  request.X = int32_t(plat::Round(location.Left));
  request.Y = int32_t(plat::Round(location.Top));

  RotateWorkFile = plat::JoinPath(plat::WorkFolder(), RotateWorkFileName);
  TWorkFileGuard workFile(RotateWorkFile);
  request.FileName = RotateWorkFile;
  L->Bitmap().SaveToFile(RotateWorkFile, true);

  // The layer holds its turned picture and no more, so the dialog always needs the room of a
  // first turn: the picture goes without the rotated-before mark.
  auto dialog = std::make_unique<TFormRotateExample>(this);
  dialog->SetMode(Mode);
  dialog->SetCombineMode(L->ColorMode);
  if (rotatedBefore) {
    dialog->SetAngle(L->AngleCode - AngleCodeBase);
    dialog->SetSteps(L->StepCount);
    dialog->SetStepAngle(L->StepAngle);
    dialog->SetFileName(RotateWorkFile);
  } else {
    // The steps come after the picture here, so its first render shows the previous ones.
    dialog->SetAngle(0);
    dialog->SetFileName(RotateWorkFile);
    dialog->SetSteps(L->StepCount);
    dialog->SetStepAngle(L->StepAngle);
  }
  dialog->ShowModal();
  const int32_t angle = dialog->GetAngle();
  const int32_t steps = dialog->GetSteps(), stepAngle = dialog->GetStepAngle();
  // Only what OK wrote is a result: a file left by a failed OK or a failed erase is not.
  const bool written = dialog->ResultWritten();
  const int32_t added = -dialog->Angle->Position();
  // A picture pasted in the dialog replaced the layer's.
  std::unique_ptr<gfx::TBitmap32> pasted;
  if (!SamePixels(dialog->Src->Bitmap(), L->Bitmap())) {
    pasted = std::make_unique<gfx::TBitmap32>();
    pasted->Assign(dialog->Src->Bitmap());
  }
  dialog.reset();
  // The dialog's loop runs the window's timers, which may have taken the layer away.
  if (ImgView->Layers().IndexOf(L) < 0) return;

  request.AngleCode = angle + AngleCodeBase;
  L->StepCount = DefaultStepCount = steps;
  L->StepAngle = DefaultStepAngle = stepAngle;
  if (!written || !ResultStillThere(RotateWorkFile)) return;

  // A plain turn is drawn afresh from the picture the layer was turned from; stamped copies are
  // what the dialog's canvas holds, without the empty room around them.
  const TViewPoint corner{location.Left, location.Top};
  const gfx::TBitmap32& handed = pasted ? *pasted : L->Bitmap();
  // A pasted picture took the place of the layer's, centred where it was.
  const double centreX = (L->Bitmap().Width() - handed.Width()) / 2.0;
  const double centreY = (L->Bitmap().Height() - handed.Height()) / 2.0;
  TTurnResult result;
  const TTurnBasis* basis = pasted ? nullptr : BasisOf(*L);
  if (Mode == 1 && basis) {
    result = TurnFurther(basis->Picture, basis->Degrees, added);
    const TTurnedBox before =
        TurnedBox(basis->Picture.Width(), basis->Picture.Height(), basis->Degrees);
    result.Anchor = L->Location() == basis->Placed
                        ? basis->Anchor
                        : Offset(corner, -before.ShiftX, -before.ShiftY, L->ScalePercent);
  } else if (Mode == 1) {
    result = TurnFurther(handed, 0, added);
    result.Anchor = Offset(corner, centreX, centreY, L->ScalePercent);
  } else {
    gfx::TBitmap32 canvas;
    canvas.LoadFromFile(RotateWorkFile);
    const int32_t x = TurnOffset(canvas.Width(), handed.Width());
    const int32_t y = TurnOffset(canvas.Height(), handed.Height());
    TCanvasPart part = TrimToContent(canvas, {x, y, x + handed.Width(), y + handed.Height()});
    result.Picture = std::move(part.Picture);
    result.Anchor = corner;
    result.Left = part.Place.Left - x + centreX;
    result.Top = part.Place.Top - y + centreY;
  }
  result.Picture->SaveToFile(RotateWorkFile);
  // Kept past the old layer, which may own it.
  gfx::TBitmap32 turnedFrom;
  if (result.Basis) turnedFrom.Assign(*result.Basis);

  gfx::TBitmapLayer& turned = ReplaceLayerFromWorkFile(Sender, *L, request);
  OwnKeptPicture(turned, KeepPicture(RotateWorkFile, TKeptKind::Restored));
  PlaceTurned(turned, result, RubberBand);
  if (result.Basis) RecordBasis(turned, turnedFrom, result.Degrees, result.Anchor);
}

}  // namespace app
