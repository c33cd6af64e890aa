// The extended colour dialog's buttons: reset, OK with its delayed final run, cancel, copy and
// paste, and what leaving the dialog does to the work file.
#include <initializer_list>
#include <memory>
#include <utility>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/extcolor/ExtendedColorDialogRules.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/RoadTexts.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

// The whole picture with the chosen settings, or as it is when nothing was changed; the shown
// picture itself stays as loaded.
std::unique_ptr<gfx::TBitmap32> Result(const gfx::TBitmap32& Source, bool Changed,
                                       const TExtendedColorSettings& Settings) {
  auto result = std::make_unique<gfx::TBitmap32>();
  result->Assign(Source);
  if (Changed) RecolorKeepingAlpha(*result, Settings);
  return result;
}

}  // namespace

void TFormExtendedColor::ButtonZeroClick(plat::TObject*) {
  {
    const bool wasResetting = std::exchange(resetting_, true);
    for (const TInvertGroup& g : inverts_) g.Box->SetChecked(false);
    for (const TThresholdGroup& g : thresholds_) {
      g.Box->SetChecked(false);
      g.Sense->SetChecked(false);
    }
    // The swaps go back too, or the preview would show a change that OK no longer writes.
    for (plat::TCheckBox* swap : {Swap_RB, Swap_RG, Swap_GB}) swap->SetChecked(false);
    // An edit may hold a refused number beside a gauge already at its default, which moving
    // the gauge would not rewrite.
    for (TGaugeGroup& g : gauges_) {
      g.Gauge->SetPosition(g.Default);
      g.Edit->SetText(PositionText(g));
    }
    resetting_ = wasResetting;
  }
  LoadSource();
  settingsChanged_ = false;
}

void TFormExtendedColor::CloseButtonClick(plat::TObject*) {
  plat::Screen().SetCursor(plat::crHourGlass);
  plat::Application().ProcessMessages();
  if (!settingsChanged_) {
    plat::Screen().SetCursor(plat::crDefault);
    accepted_ = true;
    SetModalResult(plat::mrOk);
    return;
  }
  // The wait text is painted before the long run, which the timer starts.
  DrawWaitCaption();
  SetControlsEnabled(false);
  Timer1->SetEnabled(true);
}

void TFormExtendedColor::Timer1Timer(plat::TObject*) {
  Timer1->SetEnabled(false);
  TWaitCursor wait;
  try {
    plat::Application().ProcessMessages();
    Result(Src->Bitmap(), true, CurrentSettings())->SaveToFile(fileName_);
  } catch (...) {
    SetControlsEnabled(true);
    throw;
  }
  fileWritten_ = true;
  accepted_ = true;
  SetModalResult(plat::mrOk);
}

void TFormExtendedColor::CancelButtonClick(plat::TObject*) {
  plat::DeleteFile(fileName_);
  SetModalResult(plat::mrCancel);
}

void TFormExtendedColor::DoHide() {
  if (!accepted_ && !fileName_.empty()) plat::DeleteFile(fileName_);
  plat::TForm::DoHide();
}

void TFormExtendedColor::CopyButtonClick(plat::TObject*) {
  TWaitCursor wait;
  CopyPictureToClipboard(*Result(Src->Bitmap(), settingsChanged_, CurrentSettings()));
}

void TFormExtendedColor::PasteButtonClick(plat::TObject* Sender) {
  TWaitCursor wait;
  const std::unique_ptr<plat::TBitmap> pasted =
      plat::Clipboard().HasFormat(plat::CF_BITMAP) ? plat::Clipboard().GetBitmap() : nullptr;
  if (!pasted || pasted->Empty()) {
    plat::ShowMessage(std::string(NoPictureText));
    return;
  }
  // Kept as a 32-bit BMP: no JPEG loss, and it reads back whatever the work file is named.
  gfx::TBitmap32 picture;
  picture.Assign(*pasted);
  picture.SaveToFile(fileName_);
  fileWritten_ = true;
  ButtonZeroClick(Sender);
}

void TFormExtendedColor::SetControlsEnabled(bool Enabled) {
  for (plat::TControl* c :
       std::initializer_list<plat::TControl*>{Panel1, Panel2, EnlargeButton, CopyButton,
                                              PasteButton, ResetButton, CancelButton, OkButton})
    c->SetEnabled(Enabled);
}

}  // namespace app
