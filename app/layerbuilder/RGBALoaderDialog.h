// Folder app/layerbuilder: the builder of layers made from a picture and an overlay. Uses
// app/colors for the colour interactions.
//
// The builder of layers made from two pictures: a background that fills the layer and an overlay
// that either becomes the layer's alpha mask (its brightness) or is drawn over the background
// with a colour interaction. It previews the layer over the main window's picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/controls/ImgView.h"
#include "graphics/controls/RangeBars.h"
#include "graphics/layers/Layers.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// The filters the builder applies to its two pictures, as its check boxes show them.
struct TOverlayFilters {
  bool RgbInvert = false, RgbGray = false;
  bool OverlayInvert = false, OverlayGray = false;
};

// What the builder starts a use with.
struct TBuilderStart {
  const gfx::TBitmap32* MainPicture = nullptr;
  std::string BackgroundFile, OverlayFile;
  TOverlayFilters Filters;
};

// The scale in percent a new layer of W x H gets over a background of BgW x BgH: 100 when it
// fits, else half the largest whole percentage (down to 2) at which it fits.
int32_t OverlayLayerScale(int32_t W, int32_t H, int32_t BgW, int32_t BgH);

class TRGBALoaderForm : public plat::TForm {
 public:
  explicit TRGBALoaderForm(plat::TComponent* owner);

  // Empties both pictures, shows MainPicture under the preview, loads the remembered files that
  // can be read and sets the filter boxes (which filter the pictures) as Start says.
  void PrepareForUse(const TBuilderStart& Start);
  // The layer's picture: the background with the overlay applied as mask or by its interaction,
  // drawn by blending. Empty when the background is.
  void ComposeLayerPicture(gfx::TBitmap32& Layer) const;
  // The interaction chosen for the layer: 0 for a mask, else the mode.
  int32_t LayerColorMode() const;
  TOverlayFilters Filters() const;

  void btLoadImageClick(plat::TObject* Sender);
  void btLoadAlphaClick(plat::TObject* Sender);
  void bgPasteButtonClick(plat::TObject* Sender);
  void OverlayPasteButtonClick(plat::TObject* Sender);
  void BackFlipHorizontallyClick(plat::TObject* Sender);
  void BackFlipVerticallyClick(plat::TObject* Sender);
  void ButtonFlipHorizClick(plat::TObject* Sender);
  void ButtonFlipVertiClick(plat::TObject* Sender);
  void BackInvertRGBCheckClick(plat::TObject* Sender);
  void InvertRGBCheckClick(plat::TObject* Sender);
  void BackGrayScaleCheckClick(plat::TObject* Sender);
  void GrayScaleCheckClick(plat::TObject* Sender);
  void LayerGaugeBarChange(plat::TObject* Sender);
  void OverlayGaugeBarChange(plat::TObject* Sender);
  void LayerGaugeBarMouseUp(plat::TObject* Sender, plat::TMouseButton Button,
                            plat::TShiftState Shift, int X, int Y);
  void OverlayGaugeBarMouseUp(plat::TObject* Sender, plat::TMouseButton Button,
                              plat::TShiftState Shift, int X, int Y);
  void RadioGroupClick(plat::TObject* Sender);
  void RadioGroup1Click(plat::TObject* Sender);
  void btOKClick(plat::TObject* Sender);
  void MaximizeButtonClick(plat::TObject* Sender);
  // Rebuilds the preview layer, centred in the preview.
  void ShowImageResult();

  plat::TLabel* InfoLabel = nullptr;
  gfx::TImgView32* ImgRGB = nullptr;
  gfx::TImgView32* ImgAlpha = nullptr;
  gfx::TImgView32* ImgResult = nullptr;
  plat::TButton* btLoadImage = nullptr;
  plat::TButton* bgPasteButton = nullptr;
  plat::TButton* BackFlipHorizontally = nullptr;
  plat::TButton* BackFlipVertically = nullptr;
  plat::TCheckBox* BackInvertRGBCheck = nullptr;
  plat::TCheckBox* BackGrayScaleCheck = nullptr;
  gfx::TGaugeBar* LayerGaugeBar = nullptr;
  plat::TLabel* LayerOpacityGaugeBar = nullptr;
  plat::TButton* btLoadAlpha = nullptr;
  plat::TButton* OverlayPasteButton = nullptr;
  plat::TButton* ButtonFlipHoriz = nullptr;
  plat::TButton* ButtonFlipVerti = nullptr;
  plat::TCheckBox* InvertRGBCheck = nullptr;
  plat::TCheckBox* GrayScaleCheck = nullptr;
  gfx::TGaugeBar* OverlayGaugeBar = nullptr;
  plat::TLabel* OverlayOpacityGaugeBar = nullptr;
  plat::TRadioGroup* RadioGroup = nullptr;
  plat::TEdit* RadioGroupEdit = nullptr;
  plat::TRadioGroup* RadioGroup1 = nullptr;
  plat::TButton* btOK = nullptr;
  plat::TButton* btCancel = nullptr;
  plat::TButton* MaximizeButton = nullptr;
  plat::TOpenPictureDialog* OpenPictureDialog = nullptr;
  plat::TOpenPictureDialog* OpenPictureDialog1 = nullptr;

  // The preview layer in ImgResult, or none before the first preview.
  gfx::TBitmapLayer* ResultLayer = nullptr;
  // Where each picture was last loaded or pasted from; a grey-scale reset reloads from there.
  std::string BackgroundFileName;
  std::string OverlayFileName;

 private:
  enum class TSide { Background, Overlay };
  // The controls and values of one picture's panel.
  struct TPanelParts {
    gfx::TImgView32* View;
    plat::TCheckBox* InvertCheck;
    plat::TCheckBox* GrayCheck;
    gfx::TGaugeBar* Gauge;
    plat::TLabel* OpacityLabel;
    plat::TRadioGroup* Group;
    plat::TOpenPictureDialog* Dialog;
    std::string* FileName;
    std::string_view PasteFileName;
  };
  TPanelParts Panel(TSide Side);
  gfx::TBitmap32& Picture(TSide Side) const;

  void LoadPicture(TSide Side);
  void PastePicture(TSide Side);
  // A picture file chosen or pasted becomes the panel's picture at full opacity, unfiltered
  // and without interaction. A file that cannot be read changes nothing and the error goes on.
  void TakePictureFile(TSide Side, const std::string& FileName);
  void FlipPicture(TSide Side, bool Vertically);
  void InvertChanged(TSide Side);
  void GrayChanged(TSide Side);
  // Grey cannot be undone in place: the picture comes back from its file, or from the one its
  // open dialog names; a file that is gone or unreadable raises. An empty picture stays empty.
  void ReloadUngreyed(TSide Side);
  void OpacityChanged(TSide Side);
  void ClearFilterBoxes(TSide Side);
  // Sets the box without running its click handler, so the picture is not filtered.
  static void SetCheckedQuietly(plat::TCheckBox& Box, bool Checked);
  // Loads FileName when it names a readable picture; otherwise the picture stays empty.
  void LoadRemembered(TSide Side, const std::string& FileName);
  // PrepareForUse but the preview.
  void Prepare(const TBuilderStart& Start);

  bool preparing_ = false;
};

}  // namespace app
