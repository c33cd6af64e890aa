// The start-up timer and loading the background picture.
#include <memory>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/road/Background.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

constexpr int SmallScreenHeight = 768;
constexpr int WideWindow = 1900;

}  // namespace

void TMainForm::TimerEllapsed(plat::TObject*) {
  if (!FirstTickDone) {
    FirstTickDone = true;
    if (plat::Screen().Height() < SmallScreenHeight) {
      TextList->SetHeight(29);
      ClearButton->SetTop(300);
      pnlBitmapLayer->SetHeight(334);
    }
  }
  Timer1->SetEnabled(false);
  // One step per tick, in this order.
  if (StartupState == 3) StartupState = 100;
  if (StartupState == 5) {
    try {
      LoadBackground(BackgroundPath);
    } catch (...) {
      // The editing controls were enabled for this picture; without it the start is as with none.
      SetEditingControls(false);
      ImgView->SetVisible(true);
      throw;
    }
    StartupState = 100;
  }
  if (StartupState == 1) {
    ImgView->SetVisible(true);
    if (Width() >= WideWindow) ImgView->SetScaleMode(gfx::smNormal);
  }
  if (StartupState == 2) {
    StartupState = 3;
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(true);
  }
  if (StartupState == 4) {
    StartupState = 5;
    Timer1->SetInterval(100);
    Timer1->SetEnabled(true);
  }
}

void TMainForm::LoadBackground(const std::string& FileName) {
  // Whether the load works or not, the start-up machine goes on.
  struct TStartupStep {
    TMainForm& form;
    ~TStartupStep() { form.AdvanceStartup(); }
  } step{*this};

  // Read the picture first: a file that cannot be read leaves the layers and the picture shown.
  std::unique_ptr<gfx::TBitmap32> picture = ReadBackground(FileName);
  ShowBackground(std::move(picture), FileName);
}

void TMainForm::ShowBackground(std::unique_ptr<gfx::TBitmap32> Picture, const std::string& Name) {
  const int32_t width = Picture->Width(), height = Picture->Height();
  // Deselecting disables the layer controls; the frame goes with the layers below.
  SelectLayer(nullptr);
  RubberBand = nullptr;
  // A new picture starts without the picture tools' interaction, inversion and grey.
  ImgView->Bitmap().OnPixelCombine = nullptr;
  BackgroundColorMode = 0;
  BackgroundInvert = false;
  BackgroundGray = false;
  PictOpacityGaugeBar->SetPosition(255);
  Label4->SetCaption(std::string(OpacityLabelText) + "255");
  ImgView->SetColor(plat::clGray);
  ScaleBar->SetPosition(100);
  Label1->SetCaption(std::string(ScaleLabelText) + std::string(ScaleLabelDefault));
  ImgView->SetScale(1.0f);
  InstallBackground(*ImgView, PristineImage->Bitmap(), std::move(Picture));
  UngreyedPicture.SetSize(0, 0);
  ImgView->SetVisible(true);
  LoadedWidth = BackgroundWidth = width;
  LoadedHeight = BackgroundHeight = height;
  const bool larger = width > ImgView->Width() || height > ImgView->Height();
  ImgView->SetScaleMode(larger ? gfx::smResize : gfx::smNormal);
  ScaleBar->SetEnabled(true);
  PictOpacityGaugeBar->SetEnabled(true);
  ShowPictureCaption(Name);
  ImageLoaded = true;
}

void TMainForm::ShowPictureCaption(const std::string& Name) {
  SetCaption(MainCaption + std::string(CaptionPart1) + Name + std::string(CaptionPart2) +
             plat::IntToStr(BackgroundWidth) + std::string(CaptionPart3) +
             plat::IntToStr(BackgroundHeight) + std::string(CaptionPart4));
}

void TMainForm::AdvanceStartup() {
  if (StartupState < 100 && StartupState != 4) StartupState = 2;
  if (StartupState < 100) Timer1->SetEnabled(true);
}

}  // namespace app
