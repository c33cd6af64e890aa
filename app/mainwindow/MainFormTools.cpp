// The layer and picture tools menus and the action timer.
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "app/mainwindow/LayerTurns.h"
#include "app/mainwindow/MainUnit.h"
#include "app/road/Background.h"
#include "app/road/BackgroundEdits.h"
#include "app/tools/ToolsMenus.h"

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

// The colours of greyed layers from before grey, not inverted, turned and flipped with their
// layer, so that grey off gives back the picture as it now stands. An entry goes with its layer.
std::map<const gfx::TCustomLayer*, std::unique_ptr<gfx::TBitmap32>>& UngreyedLayers() {
  static std::map<const gfx::TCustomLayer*, std::unique_ptr<gfx::TBitmap32>> layers;
  return layers;
}

gfx::TBitmap32& UngreyedOf(gfx::TCustomLayer& L) {
  auto [at, made] = UngreyedLayers().try_emplace(&L);
  if (made) {
    at->second = std::make_unique<gfx::TBitmap32>();
    plat::TNotifyEvent before = std::move(L.OnDestroy);
    L.OnDestroy = [&L, before](plat::TObject* Sender) {
      UngreyedLayers().erase(&L);
      if (before) before(Sender);
    };
  }
  return *at->second;
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

  // A layer takes the background's edits, with no copy at another size. The picture a turned
  // layer was turned from takes them too, so that its later turns keep them.
  gfx::TBitmap32& B = L->Bitmap();
  gfx::TBitmap32 noOtherSize;
  TTurnBasis* basis = TurnBasisOf(*L);
  std::vector<TBackgroundPictures> edited{{B, noOtherSize, UngreyedOf(*L)}};
  if (basis) edited.push_back({basis->Picture, noOtherSize, basis->Ungreyed});
  const auto each = [&](const std::function<void(const TBackgroundPictures&)>& edit) {
    for (const TBackgroundPictures& p : edited) edit(p);
  };
  const auto turn = [&](TPictureTurn how) {
    each([how](const TBackgroundPictures& p) { TurnBackground(p, how); });
  };
  ApplyInvertAndGray(
      {[&] { each(InvertBackground); },
       [&] { each([&](const TBackgroundPictures& p) { GreyBackground(p, D->InvertRGB()); }); },
       [&] {
         // The basis was greyed with the layer, so it has its colours too.
         const bool restored = UngreyBackground(edited[0], 100);
         if (restored && basis) UngreyBackground(edited[1], 100);
         return restored;
       }},
      L->InvertFlag, D->InvertRGB(), L->GrayFlag, D->GrayScale());
  L->InvertFlag = D->InvertRGB();
  L->GrayFlag = D->GrayScale();

  if (const int32_t M = D->ColorMode(); M != L->ColorMode) {
    L->ColorMode = M;
    SetInteraction(B, M);
    LayerOpacity->SetEnabled(M == ColorModeNone || M > ColorModeLastHandler);
  }

  // A mirrored turn goes the other way.
  const auto flip = [&](TPictureTurn how) {
    turn(how);
    if (basis) basis->Degrees = -basis->Degrees;
  };
  switch (D->FrameFunction()) {
    case ffFlipHorz:
      flip(TPictureTurn::FlipHorz);
      break;
    case ffFlipVert:
      flip(TPictureTurn::FlipVert);
      break;
    case ffRotate90:
      turn(TPictureTurn::Rotate90);
      TurnFrame(*L, RubberBand);
      break;
    case ffRotate180:
      turn(TPictureTurn::Rotate180);
      break;
    case ffRotate270:
      turn(TPictureTurn::Rotate270);
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
  if (basis) TurnBasisFollows(*L, *basis);
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
