// Buttons, check boxes and radio buttons of forms, and the two window classes whose keys and
// checked state the page keeps.
#include "html/images/ImageObjects.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/text/FontRuns.h"
#include "html/viewer/FormControls.h"
#include "platform/windows/Application.h"

namespace html {

// ---- Window classes ----

void TFormRadioButton::SetChecked(bool v) {
  // Tabbing onto a button must not check it.
  if (plat::IsKeyDown(plat::VK_TAB)) return;
  plat::TRadioButton::SetChecked(v);
}

void TFormRadioButton::WndProc(plat::TMessage& message) {
  if (!AnswerWantArrows(message)) plat::TRadioButton::WndProc(message);
}

void TFormCheckBox::WndProc(plat::TMessage& message) {
  if (!AnswerWantArrows(message)) plat::TCheckBox::WndProc(message);
}

void DrawControlFocus(plat::TCanvas& canvas, const plat::TWinControl& window, int reach) {
  canvas.Brush().SetColor(plat::clWhite);
  canvas.Font().SetColor(plat::clBlack);
  const int x = window.Left(), y = window.Top();
  canvas.DrawFocusRect({x - 2, y - 2, x + reach, y + reach});
}

// ---- TButtonFormControlObj ----

TButtonFormControlObj::TButtonFormControlObj(TSectionList* document, ThtmlForm& form,
                                             const TAttributeList& attributes, TProperties& props,
                                             const std::string& type)
    : TFormControlObj(document, &form, attributes, props) {
  const char* caption = "Submit";
  if (type == "reset") {
    ButtonKind = bkReset;
    caption = "Reset";
  } else if (type == "button") {
    ButtonKind = bkButton;
    caption = "Button";
  } else if (type == "file") {
    ButtonKind = bkBrowse;
    caption = "Browse...";
  }
  auto button = std::make_unique<plat::TButton>(nullptr);
  button->SetCaption(Value.empty() ? std::string(caption) : Value);
  AttachWindow(std::move(button), props);
  TheControl()->OnClick = [this](plat::TObject*) { ButtonClick(); };
}

void TButtonFormControlObj::ButtonClick() {
  if (!FormControlClick()) return;
  switch (ButtonKind) {
    case bkReset:
      MyForm->ResetControls();
      break;
    case bkSubmit:
      MyForm->SubmitTheForm(FName.empty() ? std::string() : FName + "=" + Value);
      break;
    case bkBrowse:
      if (Document->FileBrowse && MyEdit) {
        std::string name = MyEdit->Edit().Text();
        const std::shared_ptr<const bool> alive = Alive();
        const TFileBrowseEvent browse = Document->FileBrowse;
        browse(Document->Viewer, this, name);
        if (*alive) MyEdit->Edit().SetText(name);
      }
      break;
    case bkButton:
      break;
  }
}

void TButtonFormControlObj::SetupControlSize(plat::TCanvas& canvas) {
  SelectFont(canvas);
  plat::TWinControl& button = *TheControl();
  const int32_t textHeight = canvas.TextHeight("A");
  const int32_t height = textHeight > FHeight ? textHeight + 8 : FHeight;
  const int32_t width = FWidth >= 10 && !PercentWidth
                            ? FWidth
                            : std::min(canvas.TextWidth(button.Caption()) + 20, kMaxControlPixels);
  button.SetBounds(button.Left(), button.Top(), width, height);
}

// ---- TImageFormControlObj ----

TImageFormControlObj::TImageFormControlObj(TSectionList* document, ThtmlForm& form,
                                           const TAttributeList& attributes, TProperties& props)
    : TFormControlObj(document, &form, attributes, props) {
  auto button = std::make_unique<plat::TButton>(nullptr);
  button->SetBounds(0, 0, 1, 1);
  AttachWindow(std::move(button), props);
  TheControl()->OnClick = [this](plat::TObject*) { ImageControlClick(); };
}

void TImageFormControlObj::ApplyProperties(TProperties& props) {
  if (MyImage) MyImage->ApplyProperties(props);
}

bool TImageFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (XPos < 0 || index > 1) return false;
  const std::string prefix = FName.empty() ? std::string() : FName + ".";
  if (index == 0) {
    item = prefix + "x=" + std::to_string(XPos);
  } else {
    item = prefix + "y=" + std::to_string(YPos);
    XPos = -1;
  }
  return true;
}

void TImageFormControlObj::ImageControlClick() {
  const std::shared_ptr<const bool> alive = Alive();
  if (plat::TWinControl* window = TheControl(); window->CanFocus()) window->SetFocus();
  if (!*alive || !FormControlClick()) return;
  XPos = XTemp;
  YPos = YTemp;
  if (!Disabled) MyForm->SubmitTheForm({});
}

// ---- TCheckBoxFormControlObj ----

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* document, ThtmlForm& form,
                                                 const TAttributeList& attributes,
                                                 TProperties& props)
    : TFormControlObj(document, &form, attributes, props) {
  TAttribute* attr = nullptr;
  IsChecked = WasChecked = attributes.Find(CheckedSy, attr);
  if (Value.empty()) Value = "on";
  FormAlign = aBaseline;
  auto box = std::make_unique<TFormCheckBox>(nullptr);
  box->SetBounds(0, 0, 13, 13);
  box->SetChecked(IsChecked);
  AttachWindow(std::move(box), props);
  Box().OnClick = [this](plat::TObject*) { FormControlClick(); };
  Box().OnKeyDown = [this](plat::TObject*, uint16_t& key, plat::TShiftState shift) {
    MyForm->ControlKeyDown(*this, key, shift);
  };
}

void TCheckBoxFormControlObj::ShowAt(int32_t x, int32_t y) {
  TFormControlObj::ShowAt(x, y + 1);
}

void TCheckBoxFormControlObj::DrawFocusFrame(plat::TCanvas& canvas) const {
  if (IsFocused) DrawControlFocus(canvas, *TheControl(), 16);
}

void TCheckBoxFormControlObj::NotifyIfChanged() {
  if (Box().Checked() == WasChecked) return;
  WasChecked = Box().Checked();
  ReportChange();
}

void TCheckBoxFormControlObj::SaveCurrentValue() {
  WasChecked = Box().Checked();
}

void TCheckBoxFormControlObj::ResetToInitialValue() {
  Box().SetChecked(IsChecked);
}

bool TCheckBoxFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0 || !Box().Checked()) return false;
  item = FName + "=" + Value;
  return true;
}

bool TCheckBoxFormControlObj::CouldHaveGiven(int index, const std::string& value) const {
  return index == 0 && plat::CompareText(value, Value) == 0;
}

void TCheckBoxFormControlObj::SetDataValue(int, const std::string& value) {
  if (plat::CompareText(value, Value) == 0) Box().SetChecked(true);
}

void TCheckBoxFormControlObj::Unmark() {
  Box().SetChecked(false);
}

// ---- TRadioButtonFormControlObj ----

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* document, ThtmlForm& form,
                                                       const TAttributeList& attributes,
                                                       TProperties& props, TCellBasic* cell)
    : TFormControlObj(document, &form, attributes, props), Cell(cell) {
  TAttribute* attr = nullptr;
  IsChecked = WasChecked = attributes.Find(CheckedSy, attr);
  FormAlign = aBaseline;
  // The form does not list this button yet: the group is the buttons before it.
  const std::vector<TFormControlObj*> earlier = form.RadioGroup(FName);
  if (IsChecked) {
    for (TFormControlObj* other : earlier) {
      auto* radio = static_cast<TRadioButtonFormControlObj*>(other);
      radio->Radio().SetChecked(false);
      radio->Radio().SetTabStop(false);
      radio->IsChecked = radio->WasChecked = false;
    }
  }
  auto radio = std::make_unique<TFormRadioButton>(nullptr);
  const bool large = plat::Screen().PixelsPerInch() > 100;
  radio->SetBounds(0, 0, large ? 16 : 13, large ? 16 : 14);
  radio->SetChecked(IsChecked);
  radio->SetTabStop(IsChecked || earlier.empty());
  AttachWindow(std::move(radio), props);
  Radio().OnClick = [this](plat::TObject*) { RadioClick(); };
  Radio().OnKeyDown = [this](plat::TObject*, uint16_t& key, plat::TShiftState shift) {
    MyForm->ControlKeyDown(*this, key, shift);
  };
}

void TRadioButtonFormControlObj::ShowAt(int32_t x, int32_t y) {
  const TColor color = BkColor != clNone ? BkColor : Document->BackColor;
  if (color != clNone) Radio().SetColor(color);
  TFormControlObj::ShowAt(x, y + 2);
}

void TRadioButtonFormControlObj::DrawFocusFrame(plat::TCanvas& canvas) const {
  if (IsFocused)
    DrawControlFocus(canvas, *TheControl(), plat::Screen().PixelsPerInch() > 100 ? 18 : 16);
}

void TRadioButtonFormControlObj::RadioClick() {
  MyForm->DoRadios(*this);
}

void TRadioButtonFormControlObj::NotifyIfChanged() {
  if (Radio().Checked() == WasChecked) return;
  WasChecked = Radio().Checked();
  ReportChange();
}

void TRadioButtonFormControlObj::SaveCurrentValue() {
  WasChecked = Radio().Checked();
}

void TRadioButtonFormControlObj::ResetToInitialValue() {
  Radio().SetChecked(IsChecked);
}

bool TRadioButtonFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0 || !Radio().Checked()) return false;
  item = FName + "=" + Value;
  return true;
}

bool TRadioButtonFormControlObj::CouldHaveGiven(int index, const std::string& value) const {
  return index == 0 && plat::CompareText(value, Value) == 0;
}

void TRadioButtonFormControlObj::SetDataValue(int, const std::string& value) {
  if (plat::CompareText(value, Value) != 0) return;
  Radio().SetChecked(true);
  MyForm->UncheckOtherRadios(*this);
}

}  // namespace html
