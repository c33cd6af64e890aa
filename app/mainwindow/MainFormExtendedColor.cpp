// Handing a layer or the background to the extended colour dialog and taking it back.
#include <cmath>
#include <memory>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/extcolor/ExtendedColorDialogRules.h"
#include "app/mainwindow/HandOver.h"
#include "app/mainwindow/LayerTurns.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/Composition.h"
#include "app/road/KeptPicture.h"
#include "platform/runtime/Files.h"

namespace app {
namespace {

// The work file keeps a 32-bit BMP (alpha included) under a JPEG name, so that a pasted JPEG
// reads back as well.
constexpr std::string_view ColorWorkFileName = "extended-color.jpg";

// The background with the visible layers over it, without the selection frame.
std::unique_ptr<gfx::TBitmap32> ComposeWithoutFrame(gfx::TCustomImage32& View,
                                                    gfx::TCustomLayer* Frame) {
  const bool shown = Frame && Frame->Visible();
  if (shown) Frame->SetVisible(false);
  struct TShowAgain {
    gfx::TCustomLayer* frame;
    ~TShowAgain() {
      if (frame) frame->SetVisible(true);
    }
  } again{shown ? Frame : nullptr};
  return ComposePicture(View);
}

}  // namespace

void TMainForm::OpenBGExtendedColorFunctions(plat::TObject* Sender, int32_t Mode, int32_t Target) {
  if (ExtendedColorBusy) return;
  TBusyFlag busy(ExtendedColorBusy);
  TWaitCursor wait;

  gfx::TBitmapLayer* layer = Target == 2 ? SelectedBitmapLayer() : nullptr;
  if (Target == 2 && !layer) return;
  if (!layer && ImgView->Bitmap().Empty()) return;
  ColorWorkFile = plat::JoinPath(plat::WorkFolder(), ColorWorkFileName);
  TWorkFileGuard workFile(ColorWorkFile);

  TPictureLayerRequest request;
  request.FileName = ColorWorkFile;
  request.Restored = true;
  bool flagged = false;
  if (layer) {
    request.Opacity = layer->OpacityValue;
    request.Scale = layer->ScalePercent;
    request.Mode = layer->ColorMode;
    request.AngleCode = layer->AngleCode;
    flagged = layer->AngleCode >= 9000;
    WMLabel->SetCaption("Scale: " + plat::IntToStr(WMScale->Position()) + "%");
    request.X = int32_t(std::nearbyint(layer->Location().Left));
    request.Y = int32_t(std::nearbyint(layer->Location().Top));
    layer->Bitmap().SaveToFile(ColorWorkFile);
  } else {
    ComposeWithoutFrame(*ImgView, RubberBand)->SaveToFile(ColorWorkFile);
  }

  auto dialog = std::make_unique<TFormExtendedColor>(this);
  dialog->SetAngle(0);
  dialog->SetMode(Mode);
  dialog->SetCombineMode(request.Mode);
  dialog->SetSteps(0);
  dialog->SetStepAngle(0);
  dialog->SetFileName(flagged ? ColorWorkFile + "1" : ColorWorkFile);
  dialog->ShowModal();
  const bool written = dialog->ResultWritten();
  // A turned layer's colours change in the picture it was turned from too, unless a pasted
  // picture took its place.
  gfx::TBitmap32 turnedFrom;
  int32_t degrees = 0;
  if (TTurnBasis* basis = layer && written ? TurnBasisOf(*layer) : nullptr;
      basis && dialog->Src->Bitmap().Equal(layer->Bitmap())) {
    turnedFrom.Assign(basis->Picture);
    degrees = basis->Degrees;
    if (dialog->SettingsChanged()) RecolorKeepingAlpha(turnedFrom, dialog->CurrentSettings());
  }
  dialog.reset();
  // The dialog's loop runs the window's timers, which may have taken the layer away.
  if (layer && ImgView->Layers().IndexOf(layer) < 0) return;
  if (!written || !ResultStillThere(ColorWorkFile)) return;

  Modified = true;
  if (!layer) {
    // The picture handed over was the composition, which holds the background's interaction
    // already: it comes back drawn opaquely, with none.
    LoadBackground(ColorWorkFile);
    // Still the user's picture, recoloured: the title keeps its name, not the work file's.
    ShowPictureCaption(BackgroundPath);
    return;
  }
  // The layer keeps its steps, which the dialog does not touch; a later reload takes the
  // recoloured picture.
  const int32_t steps = layer->StepCount, stepAngle = layer->StepAngle;
  gfx::TBitmapLayer& fresh = ReplaceLayerFromWorkFile(Sender, *layer, request);
  OwnKeptPicture(fresh, KeepPicture(ColorWorkFile, TKeptKind::Restored));
  fresh.StepCount = steps;
  fresh.StepAngle = stepAngle;
  KeepTurnBasis(fresh, turnedFrom, degrees, FrameOf(fresh));
}

}  // namespace app
