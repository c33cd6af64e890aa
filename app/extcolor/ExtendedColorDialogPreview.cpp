// The extended colour dialog's pictures: loading the work file, the reduced copy, the preview,
// and the window layout the preview is shown in.
#include <algorithm>
#include <memory>
#include <utility>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/extcolor/ExtendedColorDialogRules.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/Transforms.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

constexpr gfx::TColor32 OpaqueBlack = 0xFF000000;
constexpr std::string_view WaitFontName = "DejaVu Sans";
constexpr std::string_view WaitText = "Please wait ...";
// The smallest screen the designed layout fits on, and the designed height.
constexpr int LayoutScreenWidth = 1366, LayoutScreenHeight = 950, LayoutHeight = 945;
constexpr plat::TColor SmallPanelColor = 0x000090;

}  // namespace

void TFormExtendedColor::SetFileName(const std::string& Path) {
  fileName_ = Path;
  if (!fileName_.empty() && fileName_.back() == '1') fileName_.pop_back();
  LoadSource();
}

void TFormExtendedColor::LoadSource() {
  for (const TInvertGroup& g : inverts_) (chosen_.*g.Operation).Enabled = false;
  // Read first: a file that cannot be read leaves the pictures as they are.
  gfx::TBitmap32 picture;
  picture.LoadFromFile(fileName_);
  for (gfx::TImage32* image : {Src, Dst, Tmp}) image->Bitmap().ClearWithColor(OpaqueBlack);
  Src->Bitmap().Assign(picture);
  BuildReducedCopy();
  ResetAlgorithms();
  Preview();
}

void TFormExtendedColor::BuildReducedCopy() {
  gfx::TBitmap32& source = Src->Bitmap();
  const int32_t width = source.Width(), height = source.Height();
  const TPreviewZoom zoom = PreviewZoom(width, height, Dst->Width(), Dst->Height());
  const int32_t reducedWidth = ScaledSide(width, zoom.Percent);
  const int32_t reducedHeight = ScaledSide(height, zoom.Percent);
  gfx::TBitmap32 reduced;
  if (zoom.Fits) {
    reduced.Assign(source);
  } else if (int64_t(width - 1) * zoom.Percent < 100 || int64_t(height - 1) * zoom.Percent < 100) {
    // The transformation maps the picture to less than a pixel across, which can miss every
    // pixel centre of a thin picture: its own pixels are picked instead, a row or column at least.
    reduced.SetSize(std::max(1, reducedWidth), std::max(1, reducedHeight));
    gfx::StretchNearest(reduced, reduced.BoundsRect(), reduced.BoundsRect(), source,
                        source.BoundsRect(), gfx::dmOpaque, {});
  } else {
    reduced.SetSize(reducedWidth, reducedHeight);
    reduced.ClearWithColor(OpaqueBlack);
    gfx::TAffineTransformation transformation;
    transformation.SetSrcRect({0, 0, float(width - 1), float(height - 1)});
    transformation.ScaleUniform(float(zoom.Percent * 0.01));
    gfx::Transform(reduced, source, transformation);
  }
  Tmp->Bitmap().Assign(reduced);
  Dst->SetScaleMode(gfx::smResize);
  Tmp->SetScaleMode(gfx::smResize);
}

void TFormExtendedColor::ResetAlgorithms() {
  {
    // The groups' click handlers set the selections; one preview follows at the end.
    const bool wasResetting = std::exchange(resetting_, true);
    for (const TInvertGroup& g : inverts_) g.Algorithms->SetItemIndex(0);
    for (const TBalanceGroup& g : balances_) g.Algorithms->SetItemIndex(0);
    resetting_ = wasResetting;
  }
  for (const TInvertGroup& g : inverts_) (chosen_.*g.Operation).Function = 1;
  for (const TBalanceGroup& g : balances_) (chosen_.*g.Section).Algorithm = 1;
}

void TFormExtendedColor::Preview() {
  if (resetting_) return;
  gfx::TBitmap32& preview = Dst->Bitmap();
  preview.Assign(Tmp->Bitmap());
  RecolorKeepingAlpha(preview, CurrentSettings());
  plat::Screen().SetCursor(plat::crDefault);
}

void TFormExtendedColor::DrawWaitCaption() {
  gfx::TBitmap32& preview = Dst->Bitmap();
  plat::TFont& font = preview.Font();
  font.SetName(std::string(WaitFontName));
  font.SetStyle(plat::fsBold | plat::fsItalic);
  plat::TSize extent;
  for (int size : {50, 25, 15}) {
    font.SetSize(size);
    extent = preview.TextExtent(std::string(WaitText));
    if (extent.cx <= preview.Width()) break;
  }
  if (preview.Width() <= extent.cx + 65 || preview.Height() <= extent.cy + 65) return;
  preview.FillRectS(15, 15, extent.cx + 35, extent.cy + 35, OpaqueBlack);
  preview.RenderText(20, 20, std::string(WaitText), 2, 0xFFFFFF00);
}

void TFormExtendedColor::EnlargeButtonClick(plat::TObject*) {
  SetBounds(20, 20, plat::Screen().Width() - 40, plat::Screen().Height() - 40);
  EnlargeButton->SetEnabled(false);
  // Only the reduced copy is rebuilt: every chosen setting stays as it is.
  BuildReducedCopy();
  Preview();
}

void TFormExtendedColor::FormResize(plat::TObject*) {
  if (!Timer2) return;  // still loading the layout
  Timer2->SetEnabled(true);
  if (WindowState() == plat::wsMaximized) EnlargeButton->SetEnabled(true);
}

void TFormExtendedColor::Timer2Timer(plat::TObject*) {
  Timer2->SetEnabled(false);
  // The fitting resizes the window, which arms the timer once more: that tick only clears the
  // flag.
  if (layoutFitted_) {
    layoutFitted_ = false;
    return;
  }
  const int screenWidth = plat::Screen().Width(), screenHeight = plat::Screen().Height();
  if (screenWidth >= LayoutScreenWidth && screenHeight >= LayoutScreenHeight &&
      Height() >= LayoutHeight)
    return;
  layoutFitted_ = true;
  if (screenWidth < LayoutScreenWidth) SetBounds(5, Top(), screenWidth - 10, Height());
  if (screenHeight < LayoutScreenHeight) SetBounds(Left(), 5, Width(), screenHeight - 10);
  Tmp->SetBounds(3, 3, 278, 189);
  SmallPanel->SetColor(SmallPanelColor);
  SmallPanel->SetAnchors(plat::AnchorsLeftTop);
  SmallPanel->SetBounds(3, 3, SmallPanel->Width(), SmallPanel->Height());
  Panel1->SetBounds(Panel1->Left(), panel1Top_, Panel1->Width(), Panel1->Height());
  Panel2->SetBounds(Panel2->Left(), panel2Top_, Panel2->Width(), Panel2->Height());
  const int top = Panel1->Top() - 25;
  int left = Width() - (Panel2->Width() + 18);
  for (plat::TButton* button :
       {EnlargeButton, CopyButton, PasteButton, ResetButton, CancelButton, OkButton}) {
    const int width = button == EnlargeButton ? enlargeWidth_ : button->Width();
    button->SetAnchors((1 << plat::akTop) | (1 << plat::akRight));
    button->SetBounds(left, top, width, button->Height());
    left += width + 4;
  }
}

}  // namespace app
