// The layer tools and picture tools menus.
#include "app/tools/ToolsMenus.h"

namespace app {

TToolsMenuForm::TToolsMenuForm(plat::TComponent* Owner, std::string_view LayoutName)
    : plat::TForm(Owner) {
  LoadFromLayout(
      LayoutName,
      plat::TFormBindings()
          .Handler("ColorRadioGroupClick", this, &TToolsMenuForm::ColorRadioGroupClick)
          .Handler("FunctionRadioGroupClick", this, &TToolsMenuForm::FunctionRadioGroupClick)
          .Handler("InvertCheckBoxClick", this, &TToolsMenuForm::InvertCheckBoxClick)
          .Handler("GrayCheckBoxClick", this, &TToolsMenuForm::GrayCheckBoxClick)
          .Field("ColorGrid1", ColorGrid1)
          .Field("OkButton", OkButton)
          .Field("CancelButton", CancelButton)
          .Field("ColorRadioGroup", ColorRadioGroup)
          .Field("FunctionRadioGroup", FunctionRadioGroup)
          .Field("Panel1", Panel1)
          .Field("InvertCheckBox", InvertCheckBox)
          .Field("GrayCheckBox", GrayCheckBox));
}

// The controls run their click handlers when a setter changes them; those handlers close the
// menu, which is harmless before the run (it starts with no result).
void TToolsMenuForm::SetColorMode(int32_t Index) {
  colorMode_ = Index;
  ColorRadioGroup->SetItemIndex(Index);
}

void TToolsMenuForm::SetFrameFunction(int32_t Index) {
  frameFunction_ = Index;
  FunctionRadioGroup->SetItemIndex(Index);
}

void TToolsMenuForm::SetInvertRGB(bool Value) {
  invertRGB_ = Value;
  InvertCheckBox->SetChecked(Value);
}

void TToolsMenuForm::SetGrayScale(bool Value) {
  grayScale_ = Value;
  GrayCheckBox->SetChecked(Value);
}

void TToolsMenuForm::ColorRadioGroupClick(plat::TObject*) {
  SetColorMode(ColorRadioGroup->ItemIndex());
  Close();
}

void TToolsMenuForm::FunctionRadioGroupClick(plat::TObject*) {
  SetFrameFunction(FunctionRadioGroup->ItemIndex());
  Close();
}

void TToolsMenuForm::InvertCheckBoxClick(plat::TObject*) {
  SetInvertRGB(InvertCheckBox->Checked());
  Close();
}

void TToolsMenuForm::GrayCheckBoxClick(plat::TObject*) {
  SetGrayScale(GrayCheckBox->Checked());
  Close();
}

TColorFunctionsForm::TColorFunctionsForm(plat::TComponent* Owner)
    : TToolsMenuForm(Owner, "ColorFunctions") {}

TBGPictFunctionsForm::TBGPictFunctionsForm(plat::TComponent* Owner)
    : TToolsMenuForm(Owner, "BGPictFunctions") {}

}  // namespace app
