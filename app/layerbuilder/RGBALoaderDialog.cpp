// The builder's window: its layout, the preview, the interaction groups, preparing a use and
// composing the layer picture.
#include "app/layerbuilder/RGBALoaderDialog.h"

#include <utility>

#include "app/colors/ColorInteraction.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "graphics/filters/Filters.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace app {

int32_t OverlayLayerScale(int32_t W, int32_t H, int32_t BgW, int32_t BgH) {
  if (W <= BgW && H <= BgH) return 100;
  // The products are taken in single precision, as the layer sizes are everywhere else.
  int32_t k = 100;
  while (k > 2 &&
         (float(BgW) < float(W) * float(k) * 0.01f || float(BgH) < float(H) * float(k) * 0.01f))
    --k;
  return int32_t(plat::Round(k / 2.0));
}

TRGBALoaderForm::TRGBALoaderForm(plat::TComponent* owner) : plat::TForm(owner) {
  RegisterEditorControlClasses();
  plat::TFormBindings b;
  b.Handler("btLoadImageClick", this, &TRGBALoaderForm::btLoadImageClick)
      .Handler("btLoadAlphaClick", this, &TRGBALoaderForm::btLoadAlphaClick)
      .Handler("bgPasteButtonClick", this, &TRGBALoaderForm::bgPasteButtonClick)
      .Handler("OverlayPasteButtonClick", this, &TRGBALoaderForm::OverlayPasteButtonClick)
      .Handler("BackFlipHorizontallyClick", this, &TRGBALoaderForm::BackFlipHorizontallyClick)
      .Handler("BackFlipVerticallyClick", this, &TRGBALoaderForm::BackFlipVerticallyClick)
      .Handler("ButtonFlipHorizClick", this, &TRGBALoaderForm::ButtonFlipHorizClick)
      .Handler("ButtonFlipVertiClick", this, &TRGBALoaderForm::ButtonFlipVertiClick)
      .Handler("BackInvertRGBCheckClick", this, &TRGBALoaderForm::BackInvertRGBCheckClick)
      .Handler("InvertRGBCheckClick", this, &TRGBALoaderForm::InvertRGBCheckClick)
      .Handler("BackGrayScaleCheckClick", this, &TRGBALoaderForm::BackGrayScaleCheckClick)
      .Handler("GrayScaleCheckClick", this, &TRGBALoaderForm::GrayScaleCheckClick)
      .Handler("LayerGaugeBarChange", this, &TRGBALoaderForm::LayerGaugeBarChange)
      .Handler("OverlayGaugeBarChange", this, &TRGBALoaderForm::OverlayGaugeBarChange)
      .Handler("LayerGaugeBarMouseUp", this, &TRGBALoaderForm::LayerGaugeBarMouseUp)
      .Handler("OverlayGaugeBarMouseUp", this, &TRGBALoaderForm::OverlayGaugeBarMouseUp)
      .Handler("RadioGroupClick", this, &TRGBALoaderForm::RadioGroupClick)
      .Handler("RadioGroup1Click", this, &TRGBALoaderForm::RadioGroup1Click)
      .Handler("btOKClick", this, &TRGBALoaderForm::btOKClick)
      .Handler("MaximizeButtonClick", this, &TRGBALoaderForm::MaximizeButtonClick)
      .Field("InfoLabel", InfoLabel)
      .Field("ImgRGB", ImgRGB)
      .Field("ImgAlpha", ImgAlpha)
      .Field("ImgResult", ImgResult)
      .Field("btLoadImage", btLoadImage)
      .Field("bgPasteButton", bgPasteButton)
      .Field("BackFlipHorizontally", BackFlipHorizontally)
      .Field("BackFlipVertically", BackFlipVertically)
      .Field("BackInvertRGBCheck", BackInvertRGBCheck)
      .Field("BackGrayScaleCheck", BackGrayScaleCheck)
      .Field("LayerGaugeBar", LayerGaugeBar)
      .Field("LayerOpacityGaugeBar", LayerOpacityGaugeBar)
      .Field("btLoadAlpha", btLoadAlpha)
      .Field("OverlayPasteButton", OverlayPasteButton)
      .Field("ButtonFlipHoriz", ButtonFlipHoriz)
      .Field("ButtonFlipVerti", ButtonFlipVerti)
      .Field("InvertRGBCheck", InvertRGBCheck)
      .Field("GrayScaleCheck", GrayScaleCheck)
      .Field("OverlayGaugeBar", OverlayGaugeBar)
      .Field("OverlayOpacityGaugeBar", OverlayOpacityGaugeBar)
      .Field("RadioGroup", RadioGroup)
      .Field("RadioGroupEdit", RadioGroupEdit)
      .Field("RadioGroup1", RadioGroup1)
      .Field("btOK", btOK)
      .Field("btCancel", btCancel)
      .Field("MaximizeButton", MaximizeButton)
      .Field("OpenPictureDialog", OpenPictureDialog)
      .Field("OpenPictureDialog1", OpenPictureDialog1);
  LoadFromLayout("RGBALoader", b);
  // Pictures are shown pixel for pixel, so what the user sees is what the layer gets.
  for (gfx::TImgView32* view : {ImgRGB, ImgAlpha, ImgResult})
    view->Bitmap().SetResamplerClassName("TNearestResampler");
}

void TRGBALoaderForm::PrepareForUse(const TBuilderStart& Start) {
  SetWindowState(plat::wsNormal);
  TWaitCursor wait;
  {
    // Every step of the preparation would rebuild the preview; it is built once, at the end.
    struct THeld {
      bool& flag;
      bool was;
      ~THeld() { flag = was; }
    } held{preparing_, std::exchange(preparing_, true)};
    Prepare(Start);
  }
  ShowImageResult();
}

void TRGBALoaderForm::Prepare(const TBuilderStart& Start) {
  // The boxes start cleared without filtering anything, so that after the pictures load each box
  // filters its picture exactly when it is set below: box, picture and remembered switch agree.
  for (TSide side : {TSide::Background, TSide::Overlay}) {
    TPanelParts p = Panel(side);
    SetCheckedQuietly(*p.InvertCheck, false);
    SetCheckedQuietly(*p.GrayCheck, false);
    p.View->Bitmap().SetSize(0, 0);
    p.View->SetScale(1.0f);
    p.View->Bitmap().SetDrawMode(gfx::dmBlend);
  }
  if (Start.MainPicture) ImgResult->Bitmap().Assign(*Start.MainPicture);
  OpenPictureDialog->SetInitialDir(plat::ExtractFilePath(Start.BackgroundFile));
  OpenPictureDialog1->SetInitialDir(plat::ExtractFilePath(Start.OverlayFile));
  OpenPictureDialog->SetFileName(Start.BackgroundFile);
  OpenPictureDialog1->SetFileName(Start.OverlayFile);
  LoadRemembered(TSide::Background, Start.BackgroundFile);
  LoadRemembered(TSide::Overlay, Start.OverlayFile);
  RadioGroup->SetItemIndex(0);
  RadioGroup1->SetItemIndex(1);
  BackInvertRGBCheck->SetChecked(Start.Filters.RgbInvert);
  BackGrayScaleCheck->SetChecked(Start.Filters.RgbGray);
  InvertRGBCheck->SetChecked(Start.Filters.OverlayInvert);
  GrayScaleCheck->SetChecked(Start.Filters.OverlayGray);
  RadioGroupClick(this);
  OverlayGaugeBarChange(this);
  LayerGaugeBar->SetEnabled(RadioGroup->ItemIndex() == 0);
}

void TRGBALoaderForm::LoadRemembered(TSide Side, const std::string& FileName) {
  TPanelParts p = Panel(Side);
  p.FileName->clear();
  if (FileName.empty() || !plat::FileExists(FileName)) return;
  // A remembered picture that cannot be read any more is left out like a missing one, so the
  // builder still opens.
  try {
    p.View->Bitmap().LoadFromFile(FileName);
  } catch (const plat::Exception&) {
    return;
  }
  *p.FileName = FileName;
}

int32_t TRGBALoaderForm::LayerColorMode() const {
  return plat::StrToInt(RadioGroupEdit->Text());
}

TOverlayFilters TRGBALoaderForm::Filters() const {
  return {BackInvertRGBCheck->Checked(), BackGrayScaleCheck->Checked(), InvertRGBCheck->Checked(),
          GrayScaleCheck->Checked()};
}

void TRGBALoaderForm::ComposeLayerPicture(gfx::TBitmap32& Layer) const {
  Layer.Assign(ImgRGB->Bitmap());
  Layer.SetDrawMode(gfx::dmBlend);
  gfx::TBitmap32& overlay = ImgAlpha->Bitmap();
  if (overlay.Empty() || Layer.Empty()) return;
  // The overlay is always stretched over the whole layer, by its own draw mode, master alpha
  // and interaction.
  if (LayerColorMode() == ColorModeNone) {
    gfx::TBitmap32 mask;
    mask.SetSize(Layer.Width(), Layer.Height());
    overlay.DrawTo(mask, mask.BoundsRect());
    gfx::IntensityToAlpha(&Layer, &mask);
  } else {
    overlay.DrawTo(Layer, Layer.BoundsRect());
  }
}

void TRGBALoaderForm::ShowImageResult() {
  if (preparing_) return;
  gfx::TLayerCollection& layers = ImgResult->Layers();
  if (ResultLayer) layers.Delete(layers.IndexOf(ResultLayer));
  ResultLayer = &layers.Add<gfx::TBitmapLayer>();
  gfx::TBitmap32& picture = ResultLayer->Bitmap();
  ComposeLayerPicture(picture);
  const gfx::TRect viewport = ImgResult->ViewportRect();
  const gfx::TPoint P = ImgResult->ControlToBitmap(
      {(viewport.Left + viewport.Right) / 2, (viewport.Top + viewport.Bottom) / 2});
  const float halfW = float(picture.Width()) * 0.5f, halfH = float(picture.Height()) * 0.5f;
  ResultLayer->SetLocation(
      {float(P.X) - halfW, float(P.Y) - halfH, float(P.X) + halfW, float(P.Y) + halfH});
  ResultLayer->SetScaled(true);
  if (!BindColorInteraction(picture, LayerColorMode(), LayerBuilderInteraction())) {
    picture.OnPixelCombine = nullptr;
    picture.Changed();
  }
}

void TRGBALoaderForm::RadioGroupClick(plat::TObject*) {
  // The layer's opacity counts only while it has no interaction.
  LayerGaugeBar->SetEnabled(false);
  const int item = RadioGroup->ItemIndex();
  if (item == ColorModeNone) {
    RadioGroupEdit->SetText("0");
    LayerGaugeBar->SetEnabled(true);
  } else if (item > ColorModeNone && item <= ColorModeLastHandler) {
    RadioGroupEdit->SetText(plat::IntToStr(item));
  }
  ShowImageResult();
}

void TRGBALoaderForm::RadioGroup1Click(plat::TObject*) {
  OverlayGaugeBar->SetEnabled(false);
  gfx::TBitmap32& overlay = ImgAlpha->Bitmap();
  const int item = RadioGroup1->ItemIndex();
  if (item > ColorModeNone && item <= ColorModeLastHandler) {
    BindColorInteraction(overlay, item, LayerBuilderInteraction());
  } else {
    // No handler in custom mode: the overlay is copied as it is.
    overlay.SetDrawMode(gfx::dmCustom);
    overlay.OnPixelCombine = nullptr;
    OverlayGaugeBar->SetEnabled(true);
    overlay.Changed();
  }
  ShowImageResult();
}

void TRGBALoaderForm::LayerGaugeBarChange(plat::TObject*) {
  OpacityChanged(TSide::Background);
}

void TRGBALoaderForm::OverlayGaugeBarChange(plat::TObject*) {
  OpacityChanged(TSide::Overlay);
}

void TRGBALoaderForm::LayerGaugeBarMouseUp(plat::TObject*, plat::TMouseButton, plat::TShiftState,
                                           int, int) {
  ShowImageResult();
}

void TRGBALoaderForm::OverlayGaugeBarMouseUp(plat::TObject*, plat::TMouseButton, plat::TShiftState,
                                             int, int) {
  ShowImageResult();
}

void TRGBALoaderForm::OpacityChanged(TSide Side) {
  TPanelParts p = Panel(Side);
  gfx::TBitmap32& picture = p.View->Bitmap();
  picture.SetDrawMode(gfx::dmBlend);
  picture.SetMasterAlpha(uint32_t(p.Gauge->Position()));
  p.OpacityLabel->SetCaption(plat::IntToStr(p.Gauge->Position()));
  ShowImageResult();
}

void TRGBALoaderForm::btOKClick(plat::TObject*) {
  // The main window builds the layer next and puts the cursor back.
  plat::Screen().SetCursor(plat::crHourGlass);
}

void TRGBALoaderForm::MaximizeButtonClick(plat::TObject*) {
  constexpr int Margin = 20;
  SetBounds(Margin, Margin, plat::Screen().Width() - 2 * Margin,
            plat::Screen().Height() - 2 * Margin);
  MaximizeButton->SetEnabled(false);
}

}  // namespace app
