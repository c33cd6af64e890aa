// The builder's two picture panels, background and overlay, which behave alike: loading,
// pasting, flipping, inverting, grey scale and opacity.
#include <memory>

#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/ClipboardTransfer.h"
#include "graphics/filters/Filters.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

// The pasted pictures, kept in the run's private work folder.
constexpr std::string_view BackgroundPasteFile = "builder-background.bmp";
constexpr std::string_view OverlayPasteFile = "builder-overlay.bmp";
constexpr std::string_view PictureFileGoneText =
    "The colours cannot come back: the picture's file is gone: ";

}  // namespace

TRGBALoaderForm::TPanelParts TRGBALoaderForm::Panel(TSide Side) {
  if (Side == TSide::Background)
    return {ImgRGB,
            BackInvertRGBCheck,
            BackGrayScaleCheck,
            LayerGaugeBar,
            LayerOpacityGaugeBar,
            RadioGroup,
            OpenPictureDialog,
            &BackgroundFileName,
            BackgroundPasteFile};
  return {ImgAlpha,           InvertRGBCheck,         GrayScaleCheck,
          OverlayGaugeBar,    OverlayOpacityGaugeBar, RadioGroup1,
          OpenPictureDialog1, &OverlayFileName,       OverlayPasteFile};
}

gfx::TBitmap32& TRGBALoaderForm::Picture(TSide Side) const {
  return (Side == TSide::Background ? ImgRGB : ImgAlpha)->Bitmap();
}

void TRGBALoaderForm::btLoadImageClick(plat::TObject*) {
  LoadPicture(TSide::Background);
}

void TRGBALoaderForm::btLoadAlphaClick(plat::TObject*) {
  LoadPicture(TSide::Overlay);
}

void TRGBALoaderForm::bgPasteButtonClick(plat::TObject*) {
  PastePicture(TSide::Background);
}

void TRGBALoaderForm::OverlayPasteButtonClick(plat::TObject*) {
  PastePicture(TSide::Overlay);
}

void TRGBALoaderForm::BackFlipHorizontallyClick(plat::TObject*) {
  FlipPicture(TSide::Background, false);
}

void TRGBALoaderForm::BackFlipVerticallyClick(plat::TObject*) {
  FlipPicture(TSide::Background, true);
}

void TRGBALoaderForm::ButtonFlipHorizClick(plat::TObject*) {
  FlipPicture(TSide::Overlay, false);
}

void TRGBALoaderForm::ButtonFlipVertiClick(plat::TObject*) {
  FlipPicture(TSide::Overlay, true);
}

void TRGBALoaderForm::BackInvertRGBCheckClick(plat::TObject*) {
  InvertChanged(TSide::Background);
}

void TRGBALoaderForm::InvertRGBCheckClick(plat::TObject*) {
  InvertChanged(TSide::Overlay);
}

void TRGBALoaderForm::BackGrayScaleCheckClick(plat::TObject*) {
  GrayChanged(TSide::Background);
}

void TRGBALoaderForm::GrayScaleCheckClick(plat::TObject*) {
  GrayChanged(TSide::Overlay);
}

void TRGBALoaderForm::LoadPicture(TSide Side) {
  // Loading either picture starts the overlay's filters afresh.
  ClearFilterBoxes(TSide::Overlay);
  plat::TOpenPictureDialog& dialog = *Panel(Side).Dialog;
  const std::string previous = dialog.FileName();
  if (!dialog.Execute()) return;
  // A file that cannot be read must not become the remembered one.
  try {
    TakePictureFile(Side, dialog.FileName());
  } catch (...) {
    dialog.SetFileName(previous);
    throw;
  }
}

void TRGBALoaderForm::PastePicture(TSide Side) {
  TPanelParts p = Panel(Side);
  {
    TWaitCursor wait;
    const std::string path = plat::JoinPath(plat::WorkFolder(), p.PasteFileName);
    // A 32-bit BMP keeps the pasted picture's transparency.
    if (ReportPasteOutcome(SaveClipboardPicture(path, TPasteFormat::Bitmap32)))
      TakePictureFile(Side, path);
  }
  plat::Application().ProcessMessages();
}

void TRGBALoaderForm::TakePictureFile(TSide Side, const std::string& FileName) {
  TPanelParts p = Panel(Side);
  TWaitCursor wait;
  gfx::TBitmap32& picture = p.View->Bitmap();
  picture.LoadFromFile(FileName);
  // The fresh picture is unfiltered, so the boxes are cleared without filtering it.
  SetCheckedQuietly(*p.InvertCheck, false);
  SetCheckedQuietly(*p.GrayCheck, false);
  p.Gauge->SetPosition(255);
  p.Group->SetItemIndex(0);
  picture.OnPixelCombine = nullptr;
  *p.FileName = FileName;
  p.Dialog->SetFileName(FileName);
  OpacityChanged(Side);
}

void TRGBALoaderForm::FlipPicture(TSide Side, bool Vertically) {
  gfx::TBitmap32& picture = Picture(Side);
  if (Vertically)
    picture.FlipVert();
  else
    picture.FlipHorz();
  ShowImageResult();
}

void TRGBALoaderForm::InvertChanged(TSide Side) {
  // Every click inverts, so a checked box always means an inverted picture.
  gfx::TBitmap32& picture = Picture(Side);
  gfx::InvertRGB(&picture, &picture);
  ShowImageResult();
}

void TRGBALoaderForm::GrayChanged(TSide Side) {
  TPanelParts p = Panel(Side);
  gfx::TBitmap32& picture = p.View->Bitmap();
  if (p.GrayCheck->Checked()) {
    // As in the tools: grey changes the colours, a transparent picture keeps its shape.
    gfx::ColorToGrayscale(&picture, &picture, true);
  } else {
    ClearFilterBoxes(Side);
    try {
      ReloadUngreyed(Side);
    } catch (...) {
      // The picture stays grey, and its box says so.
      SetCheckedQuietly(*p.GrayCheck, true);
      ShowImageResult();
      throw;
    }
  }
  ShowImageResult();
}

void TRGBALoaderForm::ReloadUngreyed(TSide Side) {
  TPanelParts p = Panel(Side);
  gfx::TBitmap32& picture = p.View->Bitmap();
  if (picture.Empty()) return;
  std::string source = *p.FileName;
  if (!plat::FileExists(source)) source = p.Dialog->FileName();
  if (!plat::FileExists(source))
    throw plat::EFOpenError(std::string(PictureFileGoneText) + *p.FileName);
  picture.LoadFromFile(source);
}

void TRGBALoaderForm::SetCheckedQuietly(plat::TCheckBox& Box, bool Checked) {
  plat::TNotifyEvent handler = std::move(Box.OnClick);
  Box.OnClick = nullptr;
  Box.SetChecked(Checked);
  Box.OnClick = std::move(handler);
}

void TRGBALoaderForm::ClearFilterBoxes(TSide Side) {
  TPanelParts p = Panel(Side);
  p.InvertCheck->SetChecked(false);
  p.GrayCheck->SetChecked(false);
}

}  // namespace app
