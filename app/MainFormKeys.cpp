// The keyboard, the close question, the size buttons and the text list's hints.
#include <algorithm>

#include "app/EditorTexts.h"
#include "app/MainUnit.h"
#include "app/TextHints.h"
#include "platform/Dialogs.h"

namespace app {
namespace {

constexpr char EscapeKey = 27;
constexpr int32_t SizeStep = 5;

}  // namespace

void TMainForm::FormKeyPress(plat::TObject* Sender, char& Key) {
  if (Key == EscapeKey) Exit1Click(Sender);
  if (!ImageLoaded) return;
  if (Key == '+') ButtonIncreazeSizeClick(Sender);
  if (Key == '-') ButtonDecreazeSizeClick(Sender);
}

void TMainForm::Exit1Click(plat::TObject*) {
  Close();
}

void TMainForm::FormCloseQuery(plat::TObject* Sender, bool& CanClose) {
  CanClose = !Modified;
  if (CanClose) return;
  // Only a plain No closes; a dismissed question keeps the window and the picture.
  switch (plat::ShowMessageBox(std::string(SaveQuestionText), MainCaption,
                               plat::MB_YESNO | plat::MB_ICONQUESTION)) {
    case plat::IDYES:
      mnSaveAsClick(Sender);
      break;
    case plat::IDNO:
      CanClose = true;
      break;
    default:
      break;
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
