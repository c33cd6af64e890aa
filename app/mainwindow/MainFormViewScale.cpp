// The scale combo: the view's zoom typed as a percentage.
#include <cmath>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

constexpr int32_t MinComboPercent = 1;
constexpr int32_t MaxComboPercent = 2000;

// The percentage in Text, ignoring every "%" and blank; -1 when there is no number.
int32_t ComboPercent(const std::string& Text) {
  std::string digits;
  for (const char c : Text)
    if (c != '%' && c != ' ') digits += c;
  return plat::StrToIntDef(digits, -1);
}

}  // namespace

// In double precision: the single hundredfold of 0.225000009 is 22.5 and would round down.
int32_t TMainForm::ZoomPercent(float Scale) {
  return int32_t(std::nearbyint(double(Scale) * 100));
}

// Only the view's zoom changes; the picture's own scale gauge is left where it is, so choosing a
// zoom never resizes the picture.
void TMainForm::ScaleComboChange(plat::TObject*) {
  int32_t N = ComboPercent(ScaleCombo->Text());
  if (N >= MinComboPercent && N <= MaxComboPercent)
    ImgView->SetScale(float(N) / 100);
  else
    N = ZoomPercent(ImgView->Scale());
  const std::string text = plat::IntToStr(N) + "%";
  ScaleCombo->SetText(text);
  Label1->SetCaption(std::string(ScaleLabelText) + text);
  ScaleCombo->SetSelStart(int(text.size()) - 1);
}

}  // namespace app
