// The new-picture button and the picture opacity gauge.
#include <memory>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/newpicture/NewImageDialog.h"
#include "app/road/Background.h"
#include "app/road/RoadTexts.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

// The offered name of a new picture until it is saved; no file of this name is written.
constexpr std::string_view NewImageFileName = "new-picture";

}  // namespace

void TMainForm::NewButtonClick(plat::TObject*) {
  if (!NewImageForm) NewImageForm = Make<TNewImageForm>();
  TNewImageForm& D = *NewImageForm;
  D.ImageWidth->SetText(plat::IntToStr(NewImageWidth));
  D.btUpDownWidth->SetPosition(NewImageWidth);
  D.ImageHeight->SetText(plat::IntToStr(NewImageHeight));
  D.btUpDownHeight->SetPosition(NewImageHeight);
  D.pnColor->SetColor(NewImageColor);
  if (D.ShowModal() != plat::mrOk) return;
  if (!LetChangesGo(plat::MB_YESNOCANCEL)) return;
  NewImageColor = D.pnColor->Color();
  NewImageWidth = D.btUpDownWidth->Position();
  NewImageHeight = D.btUpDownHeight->Position();
  CreateNewImage(NewImageWidth, NewImageHeight, gfx::Color32(NewImageColor));
  BackgroundPath =
      plat::ExtractFilePath(BackgroundPath) + std::string(NewImageFileName) + std::string(JpegExt);
  ShowPictureCaption(BackgroundPath);
  ImgView->SetColor(plat::clSilver);
  EnableButton(this);
  // A blank picture has nothing to lose.
  Modified = false;
}

// The blank picture goes in as a loaded one would: the view's bitmap, the kept copy for
// scaling and the sizes, all from memory.
void TMainForm::CreateNewImage(int32_t W, int32_t H, gfx::TColor32 Color) {
  // Made in full first: a size the picture limits refuse leaves everything as it was.
  auto picture = std::make_unique<gfx::TBitmap32>();
  picture->SetSize(W, H);
  picture->ClearWithColor(Color);

  ShowBackground(std::move(picture), BackgroundPath);
  pnlImage->SetVisible(!ImgView->Bitmap().Empty());
  AdvanceStartup();
}

void TMainForm::PictOpacityGaugeBarChange(plat::TObject*) {
  Modified = true;
  Label4->SetCaption(std::string(OpacityLabelText) +
                     plat::IntToStr(PictOpacityGaugeBar->Position()));
  gfx::TBitmap32& B = ImgView->Bitmap();
  // A picture is drawn opaque as it comes, which ignores its opacity: the gauge is enabled, so it
  // blends the picture as it does once a colour interaction was set back to none.
  if (B.DrawMode() == gfx::dmOpaque) B.SetDrawMode(gfx::dmBlend);
  B.SetMasterAlpha(uint32_t(PictOpacityGaugeBar->Position()));
}

}  // namespace app
