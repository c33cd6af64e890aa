// The builder of layers made from a picture and an overlay.
#include "app/colors/ColorInteraction.h"
#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"

namespace app {

void TMainForm::WatermarkToolsClick(plat::TObject* Sender) {
  if (SelectedBitmapLayer()) SelectLayer(nullptr);
  if (!RGBALoaderForm) RGBALoaderForm = Make<TRGBALoaderForm>();
  TRGBALoaderForm& builder = *RGBALoaderForm;
  builder.PrepareForUse({&ImgView->Bitmap(),
                         OverlayBackgroundFile,
                         OverlayFile,
                         {RgbInvert, RgbGray, OverlayInvert, OverlayGray}});
  const plat::TModalResult result = builder.ShowModal();
  TWaitCursor wait;
  if (result != plat::mrOk || builder.ImgRGB->Bitmap().Empty()) return;

  Modified = true;
  OverlayBackgroundFile = builder.OpenPictureDialog->FileName();
  OverlayFile = builder.OpenPictureDialog1->FileName();
  const TOverlayFilters filters = builder.Filters();
  RgbInvert = filters.RgbInvert;
  RgbGray = filters.RgbGray;
  OverlayInvert = filters.OverlayInvert;
  OverlayGray = filters.OverlayGray;

  gfx::TLayerCollection& layers = ImgView->Layers();
  gfx::TBitmapLayer& L = layers.Add<gfx::TBitmapLayer>();
  try {
    builder.ComposeLayerPicture(L.Bitmap());
  } catch (...) {
    layers.Delete(layers.IndexOf(&L));
    throw;
  }
  const int32_t W = L.Bitmap().Width(), H = L.Bitmap().Height();
  L.SetLocation({0, 0, float(W), float(H)});
  L.SetScaled(true);
  BindLayerPress(L);
  WMScale->SetPosition(OverlayLayerScale(W, H, BackgroundWidth, BackgroundHeight));
  WMLabel->SetCaption(std::string(ScaleLabelText) + plat::IntToStr(WMScale->Position()) + "%");
  LayerOpacity->SetPosition(255);
  L.OpacityValue = LayerOpacity->Position();
  L.StateFlag = 0;
  L.ScalePercent = WMScale->Position();
  // The layer keeps the background's opacity from the builder; an interaction takes over from
  // plain blending.
  const int32_t mode = builder.LayerColorMode();
  if (!BindColorInteraction(L.Bitmap(), mode, MainWindowInteraction())) {
    L.Bitmap().OnPixelCombine = nullptr;
    L.Bitmap().Changed();
  }
  L.ColorMode = mode;
  SelectLayer(&L);
  WMScaleChange(Sender);
}

}  // namespace app
