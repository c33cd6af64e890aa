// The layer and picture tools menus and the action timer.
#include <functional>
#include <memory>
#include <utility>

#include "app/colors/ColorInteraction.h"
#include "app/mainwindow/MainUnit.h"
#include "app/road/Background.h"
#include "app/road/BackgroundEdits.h"
#include "app/road/KeptPicture.h"
#include "app/tools/ToolsMenus.h"
#include "graphics/filters/Filters.h"
#include "platform/runtime/Files.h"

namespace app {
namespace {

// How the invert and grey switches reach a picture. Restore puts back the colours from before
// grey, not inverted, and is false when it has none.
struct TFilterSteps {
  std::function<void()> Invert;
  std::function<void()> Grey;
  std::function<bool()> Restore;
};

// Invert and grey as a menu run left them. Grey switched off puts back the colours Restore
// gives, which then take the invert switch as it now stands, so the picture and the switch
// agree; without them (Restore false) the grey picture stays.
void ApplyInvertAndGray(const TFilterSteps& Steps, bool WasInverted, bool Invert, bool WasGray,
                        bool Gray) {
  if (WasGray && !Gray && Steps.Restore()) {
    if (Invert) Steps.Invert();
    return;
  }
  if (Invert != WasInverted) Steps.Invert();
  if (Gray && !WasGray) Steps.Grey();
}

// A layer's picture as read from its file; a file that is gone, does not read or no longer fits
// the layer's turned or replaced picture restores nothing.
bool RestoreLayerPicture(const gfx::TBitmapLayer& L, gfx::TBitmap32& B) {
  if (L.SourceFile.empty() || !plat::FileExists(L.SourceFile)) return false;
  gfx::TBitmap32 original;
  try {
    LoadLayerPicture(original, L.SourceFile, !IsRestoredPicture(L.SourceFile));
  } catch (const plat::Exception&) {
    return false;
  }
  if (original.Width() != B.Width() || original.Height() != B.Height()) return false;
  TakePixels(original, B);
  return true;
}

// Turns the frame a quarter about its centre, carrying the band with it when it frames L.
void TurnFrame(gfx::TBitmapLayer& L, gfx::TRubberbandLayer* Band) {
  const gfx::TFloatRect r = L.Location();
  const float cx = (r.Left + r.Right) * 0.5f, cy = (r.Top + r.Bottom) * 0.5f;
  const float hw = (r.Right - r.Left) * 0.5f, hh = (r.Bottom - r.Top) * 0.5f;
  const gfx::TFloatRect turned{cx - hh, cy - hw, cx + hh, cy + hw};
  if (Band && Band->ChildLayer() == &L)
    Band->SetLocation(turned);
  else
    L.SetLocation(turned);
}

// Mode 0 blends plainly; any other mode combines through its handler or blend mode.
void SetInteraction(gfx::TBitmap32& B, int32_t Mode) {
  if (BindColorInteraction(B, Mode, MainWindowInteraction())) return;
  B.OnPixelCombine = nullptr;
  B.SetDrawMode(gfx::dmBlend);
  B.Changed();
}

}  // namespace

void TMainForm::OpenColorFunctions(plat::TObject*) {
  if (!FrameToolsButton->Enabled()) return;
  Modified = true;
  gfx::TBitmapLayer* L = SelectedBitmapLayer();
  if (!L) return;
  auto D = std::make_unique<TColorFunctionsForm>(this);
  ToolAction = 0;
  D->SetColorMode(L->ColorMode);
  D->SetInvertRGB(L->InvertFlag);
  D->SetGrayScale(L->GrayFlag);
  D->SetFrameFunction(-1);
  // Whichever way the menu closed, what it shows applies.
  D->ShowModal();

  gfx::TBitmap32& B = L->Bitmap();
  ApplyInvertAndGray(
      {[&B] { gfx::InvertRGB(&B, &B); }, [&B] { gfx::ColorToGrayscale(&B, &B, false); },
       [L, &B] { return RestoreLayerPicture(*L, B); }},
      L->InvertFlag, D->InvertRGB(), L->GrayFlag, D->GrayScale());
  L->InvertFlag = D->InvertRGB();
  L->GrayFlag = D->GrayScale();

  if (const int32_t M = D->ColorMode(); M != L->ColorMode) {
    L->ColorMode = M;
    SetInteraction(B, M);
    LayerOpacity->SetEnabled(M == ColorModeNone || M > ColorModeLastHandler);
  }

  switch (D->FrameFunction()) {
    case ffFlipHorz:
      B.FlipHorz();
      break;
    case ffFlipVert:
      B.FlipVert();
      break;
    case ffRotate90:
      B.Rotate90();
      TurnFrame(*L, RubberBand);
      break;
    case ffRotate180:
      B.Rotate180();
      break;
    case ffRotate270:
      B.Rotate270();
      TurnFrame(*L, RubberBand);
      break;
    case ffRotationTools:
      QueueToolAction(3);
      break;
    case ffRotationToolsFilling:
      QueueToolAction(4);
      break;
    case ffExtendedColor:
      QueueToolAction(6);
      break;
    case ffCopyToClipboard:
      QueueToolAction(7);
      break;
    case ffErase:
      QueueToolAction(2);
      break;
    default:
      break;
  }
}

void TMainForm::OpenBGPictFunctions(plat::TObject*) {
  if (!PictureToolsButton->Enabled()) return;
  Modified = true;
  auto D = std::make_unique<TBGPictFunctionsForm>(this);
  ToolAction = 0;
  D->SetColorMode(BackgroundColorMode);
  D->SetFrameFunction(-1);
  D->SetInvertRGB(BackgroundInvert);
  D->SetGrayScale(BackgroundGray);
  D->ShowModal();

  gfx::TBitmap32& B = ImgView->Bitmap();
  const TBackgroundPictures pictures{B, PristineImage->Bitmap(), UngreyedPicture};
  ApplyInvertAndGray(
      {[&] { InvertBackground(pictures); }, [&] { GreyBackground(pictures, D->InvertRGB()); },
       [&] { return UngreyBackground(pictures, AppliedScale); }},
      BackgroundInvert, D->InvertRGB(), BackgroundGray, D->GrayScale());
  BackgroundInvert = D->InvertRGB();
  BackgroundGray = D->GrayScale();

  if (const int32_t index = D->ColorMode(); index != BackgroundColorMode) {
    BackgroundColorMode = index;
    // A separator item draws through the callback already set.
    const int32_t M = PictureToolsColorMode(index);
    if (M < 0) {
      B.SetDrawMode(gfx::dmCustom);
      B.Changed();
    } else {
      SetInteraction(B, M);
    }
    const bool blends = M == ColorModeNone || M > ColorModeLastHandler;
    PictOpacityGaugeBar->SetEnabled(blends);
    if (M > ColorModeLastHandler) PictOpacityGaugeBar->SetPosition(255);
  }

  switch (D->FrameFunction()) {
    case pfFlipHorz:
      TurnBackground(pictures, TPictureTurn::FlipHorz);
      break;
    case pfFlipVert:
      TurnBackground(pictures, TPictureTurn::FlipVert);
      break;
    case pfRotate90:
      TurnBackground(pictures, TPictureTurn::Rotate90);
      break;
    case pfRotate180:
      TurnBackground(pictures, TPictureTurn::Rotate180);
      break;
    case pfRotate270:
      TurnBackground(pictures, TPictureTurn::Rotate270);
      break;
    case pfExtendedColor:
      QueueToolAction(11);
      break;
    default:
      break;
  }
  // A quarter turn swaps the sides: new layers are fitted and the title reads as shown.
  if (B.Width() != BackgroundWidth) {
    std::swap(LoadedWidth, LoadedHeight);
    BackgroundWidth = B.Width();
    BackgroundHeight = B.Height();
    ShowPictureCaption(BackgroundPath);
  }
}

void TMainForm::TimerEllapsed2(plat::TObject* Sender) {
  Timer2->SetEnabled(false);
  // The queue is empty after the tick, also when an action fails; a failed action is not run
  // again by the next tick.
  struct TClearAction {
    int32_t& action;
    ~TClearAction() { action = 0; }
  } clear{ToolAction};
  // Each test reads the live code: an action that queues a higher one has it run in this tick.
  if (ToolAction == 1) OpenColorFunctions(Sender);
  if (ToolAction == 2) clearButtonClick(Sender);
  if (ToolAction == 3) WMRotateChange(Sender, 1);
  if (ToolAction == 4) WMRotateChange(Sender, 2);
  if (ToolAction == 5) OpenBGExtendedColorFunctions(Sender, 1, 2);
  if (ToolAction == 6) OpenBGExtendedColorFunctions(Sender, 2, 2);
  if (ToolAction == 7) CopyFrame(Sender);
  if (ToolAction == 10) OpenBGPictFunctions(Sender);
  if (ToolAction == 11) OpenBGExtendedColorFunctions(Sender, 0, 1);
  if (ToolAction == 20) AuthorButton(Sender);
}

}  // namespace app
