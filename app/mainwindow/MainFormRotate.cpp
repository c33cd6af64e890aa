// Handing the selected layer to the rotation dialog and taking it back.
#include <cmath>
#include <memory>
#include <string_view>

#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/KeptPicture.h"
#include "app/rotate/RotateDialog.h"
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

// Sets the flag for as long as the hand-over runs, on every way out.
class TBusyFlag {
 public:
  explicit TBusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~TBusyFlag() { flag_ = false; }
  TBusyFlag(const TBusyFlag&) = delete;
  TBusyFlag& operator=(const TBusyFlag&) = delete;

 private:
  bool& flag_;
};

// The turned picture comes back on a larger canvas; placed by its corner it would move down and
// right by the margin, so it takes the old centre instead, to the whole pixel.
void KeepCentre(gfx::TBitmapLayer& Turned, const gfx::TFloatRect& Before,
                gfx::TRubberbandLayer* Band) {
  const gfx::TFloatRect r = Turned.Location();
  const float w = r.Right - r.Left, h = r.Bottom - r.Top;
  const float left = std::nearbyint((Before.Left + Before.Right - w) / 2);
  const float top = std::nearbyint((Before.Top + Before.Bottom - h) / 2);
  const gfx::TFloatRect centred{left, top, left + w, top + h};
  // The band carries its child with it.
  if (Band && Band->ChildLayer() == &Turned)
    Band->SetLocation(centred);
  else
    Turned.SetLocation(centred);
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
  dialog.reset();
  // The dialog's loop runs the window's timers, which may have taken the layer away.
  if (ImgView->Layers().IndexOf(L) < 0) return;

  request.AngleCode = angle + AngleCodeBase;
  L->StepCount = DefaultStepCount = steps;
  L->StepAngle = DefaultStepAngle = stepAngle;
  // The dialog leaves the file only after OK.
  if (!plat::FileExists(RotateWorkFile)) return;
  gfx::TBitmapLayer& turned = ReplaceLayerFromWorkFile(Sender, *L, request);
  turned.SourceFile = KeepHandedBackPicture(RotateWorkFile);
  KeepCentre(turned, location, RubberBand);
}

}  // namespace app
