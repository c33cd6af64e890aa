// Handing the selected layer to the rotation dialog and taking it back.
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
static_assert(RotateWorkFileName.back() != RotatedBeforeMark,
              "the mark appended to the path must not be part of the name");

// Layers whose angle code reaches this carry an earlier turn (codes are angle + 10000).
constexpr int32_t RotatedBeforeCode = 9000;
constexpr int32_t AngleCodeBase = 10000;
constexpr int32_t StartStepCount = 12, StartStepAngle = 30;

// The picture comes back on a larger canvas, where it lay at the turn offsets before any turn.
// The canvas goes where that leaves the picture's pixels in their place: a turn by nothing
// changes nothing on the screen, and any turn keeps the picture about its centre.
void KeepPicturePlace(gfx::TBitmapLayer& Turned, const gfx::TFloatRect& Before, int32_t OldWidth,
                      int32_t OldHeight, gfx::TRubberbandLayer* Band) {
  const gfx::TFloatRect r = Turned.Location();
  const int32_t w = Turned.Bitmap().Width(), h = Turned.Bitmap().Height();
  const float sx = (r.Right - r.Left) / float(w), sy = (r.Bottom - r.Top) / float(h);
  const float left = Before.Left - float(TurnOffset(w, OldWidth)) * sx;
  const float top = Before.Top - float(TurnOffset(h, OldHeight)) * sy;
  const gfx::TFloatRect placed{left, top, left + (r.Right - r.Left), top + (r.Bottom - r.Top)};
  // The band carries its child with it.
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

  auto dialog = std::make_unique<TFormRotateExample>(this);
  dialog->SetMode(Mode);
  dialog->SetCombineMode(L->ColorMode);
  if (rotatedBefore) {
    dialog->SetAngle(L->AngleCode - AngleCodeBase);
    dialog->SetSteps(L->StepCount);
    dialog->SetStepAngle(L->StepAngle);
    dialog->SetFileName(RotateWorkFile + RotatedBeforeMark);
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
  dialog.reset();
  // The dialog's loop runs the window's timers, which may have taken the layer away.
  if (ImgView->Layers().IndexOf(L) < 0) return;

  request.AngleCode = angle + AngleCodeBase;
  L->StepCount = DefaultStepCount = steps;
  L->StepAngle = DefaultStepAngle = stepAngle;
  if (!written || !ResultStillThere(RotateWorkFile)) return;
  const int32_t oldWidth = L->Bitmap().Width(), oldHeight = L->Bitmap().Height();
  gfx::TBitmapLayer& turned = ReplaceLayerFromWorkFile(Sender, *L, request);
  OwnKeptPicture(turned, KeepPicture(RotateWorkFile, TKeptKind::Restored));
  KeepPicturePlace(turned, location, oldWidth, oldHeight, RubberBand);
}

}  // namespace app
