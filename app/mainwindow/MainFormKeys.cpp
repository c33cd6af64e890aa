// The keyboard, the close question, the size buttons and the text list's hints.
#include <algorithm>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/TextHints.h"
#include "app/road/RoadTexts.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Dialogs.h"

namespace app {
namespace {

constexpr char EscapeKey = 27;
constexpr int32_t SizeStep = 5;

}  // namespace

void TMainForm::FormKeyPress(plat::TObject* Sender, char& Key) {
  if (Key == EscapeKey) Exit1Click(Sender);
  if (!ImageLoaded) return;
  if (Key == 'x') OpenColorFunctions(Sender);
  if (Key == 'q') OpenBGPictFunctions(Sender);
  if (Key == '+') ButtonIncreazeSizeClick(Sender);
  if (Key == '-') ButtonDecreazeSizeClick(Sender);
  if (Key >= '0' && Key <= '9') AddPresetLayer(Sender, Key);
}

void TMainForm::AddPresetLayer(plat::TObject* Sender, char Digit) {
  TPictureLayerRequest request;
  request.FileName =
      plat::JoinPath(LayerFolder, std::string(PresetMark2) + Digit + std::string(PresetExt));
  if (!plat::FileExists(request.FileName)) return;
  if (SelectedBitmapLayer()) SelectLayer(nullptr);
  DefaultStepCount = 0;
  DefaultStepAngle = 0;
  request.X = 50;
  request.Y = 50;
  CreatePictureLayer(Sender, request);
  // A stamped layer is a change the close question must protect.
  Modified = true;
}

void TMainForm::Exit1Click(plat::TObject*) {
  Close();
}

void TMainForm::FormCloseQuery(plat::TObject*, bool& CanClose) {
  CanClose = LetChangesGo(plat::MB_YESNO);
}

bool TMainForm::LetChangesGo(uint32_t Buttons) {
  if (!Modified) return true;
  switch (plat::ShowMessageBox(std::string(SaveQuestionText), MainCaption,
                               Buttons | plat::MB_ICONQUESTION)) {
    case plat::IDYES:
      return SavePictureAs();
    case plat::IDNO:
      return true;
    default:
      return false;
  }
}

void TMainForm::StepGauge(gfx::TGaugeBar& gauge, int32_t delta) {
  gauge.SetPosition(std::clamp(gauge.Position() + delta, gauge.Min(), gauge.Max()));
}

void TMainForm::ButtonIncreazeSizeClick(plat::TObject*) {
  StepGauge(*ScaleBar, SizeStep);
}

void TMainForm::ButtonDecreazeSizeClick(plat::TObject*) {
  StepGauge(*ScaleBar, -SizeStep);
}

void TMainForm::ButtonIncreazeSizeLayerClick(plat::TObject*) {
  StepGauge(*WMScale, SizeStep);
}

void TMainForm::ButtonDecreazeSizeLayerClick(plat::TObject*) {
  StepGauge(*WMScale, -SizeStep);
}

void TMainForm::TextListMouseMove(plat::TObject*, plat::TShiftState, int X, int Y) {
  const int index = TextList->ItemAtPos({X, Y}, true);
  if (index < 0) {
    TextList->SetShowHint(false);
    return;
  }
  TextList->SetShowHint(true);
  TextList->SetHint(BuildTextHint(TextList->Items()->Strings(index), *this));
}

}  // namespace app
