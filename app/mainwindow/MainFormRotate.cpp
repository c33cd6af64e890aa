// Handing the selected layer to the rotation dialog and taking it back.
#include <cstring>
#include <memory>
#include <string_view>

#include "app/mainwindow/HandOver.h"
#include "app/mainwindow/LayerTurns.h"
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

// The layer's new picture and where its centre lies from the turn's, in pixels.
struct TTurnResult {
  std::unique_ptr<gfx::TBitmap32> Picture;
  double ShiftX = 0, ShiftY = 0;
};

// Stamped copies are what the dialog's canvas holds, without the room they left empty: placed
// there as the dialog placed the picture, turned about the picture's centre.
TTurnResult StampedPart(const std::string& CanvasFile, const gfx::TBitmap32& Picture) {
  gfx::TBitmap32 canvas;
  canvas.LoadFromFile(CanvasFile);
  const int32_t x = TurnOffset(canvas.Width(), Picture.Width());
  const int32_t y = TurnOffset(canvas.Height(), Picture.Height());
  TCanvasPart part = TurnedPart(canvas, {x, y, x + Picture.Width(), y + Picture.Height()});
  TTurnResult r;
  r.ShiftX = (part.Place.Left + part.Place.Right - (2 * x + Picture.Width())) / 2.0;
  r.ShiftY = (part.Place.Top + part.Place.Bottom - (2 * y + Picture.Height())) / 2.0;
  r.Picture = std::move(part.Picture);
  return r;
}

// The band carries its child with it.
void PlaceLayer(gfx::TBitmapLayer& L, const gfx::TFloatRect& Place, gfx::TRubberbandLayer* Band) {
  if (Band && Band->ChildLayer() == &L)
    Band->SetLocation(Place);
  else
    L.SetLocation(Place);
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

  // A plain turn is drawn afresh from the picture the layer was first turned from, about the
  // centre of its frame as shown, which keeps its scale on each axis.
  TTurnBasis* basis = pasted ? nullptr : TurnBasisOf(*L);
  const TLayerFrame frame = TurnFrameOf(*L);
  const gfx::TBitmap32& handed = pasted ? *pasted : L->Bitmap();
  gfx::TBitmap32 turnedFrom;
  int32_t degrees = 0;
  TTurnResult result;
  if (Mode == 1) {
    turnedFrom.Assign(basis ? basis->Picture : handed);
    degrees = ((basis ? basis->Degrees : 0) + added) % 360;
    result.Picture = TurnedPicture(turnedFrom, degrees);
  } else {
    result = StampedPart(RotateWorkFile, handed);
    // No copy stamped: still the picture the layer's turns started from.
    if (basis && SamePixels(*result.Picture, L->Bitmap())) {
      turnedFrom.Assign(basis->Picture);
      degrees = basis->Degrees;
    }
  }
  result.Picture->SaveToFile(RotateWorkFile);

  gfx::TBitmapLayer& turned = ReplaceLayerFromWorkFile(Sender, *L, request);
  OwnKeptPicture(turned, KeepPicture(RotateWorkFile, TKeptKind::Restored));
  PlaceLayer(turned,
             PlaceInFrame(frame, turned.Bitmap().Width(), turned.Bitmap().Height(), result.ShiftX,
                          result.ShiftY),
             RubberBand);
  KeepTurnBasis(turned, turnedFrom, degrees, frame);
}

}  // namespace app
