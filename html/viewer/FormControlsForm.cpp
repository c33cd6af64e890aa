// What every form control shares (attributes, window, CSS, focus and click handling) and the
// form that groups them.
#include <algorithm>
#include <map>

#include "html/css/CssComputed.h"
#include "html/css/CssStyles.h"
#include "html/layout/sections/PageSections.h"
#include "html/viewer/FormControls.h"
#include "html/viewer/FormControlsText.h"
#include "html/viewer/PageViewer.h"

namespace html {
// ---- TFormControlObj ----

TFormControlObj::TFormControlObj(TSectionList* document, ThtmlForm* form,
                                 const TAttributeList& attributes, const TProperties& props)
    : AttributeStrings(attributes.CreateStringList()),
      CodePage(props.CodePage),
      Document(document),
      MyForm(form) {
  for (const auto& attr : attributes) {
    const std::string text = AttributeUtf8(*attr);
    switch (attr->Which) {
      case TitleSy:
        Title = text;
        break;
      case ValueSy:
        Value = text;
        break;
      case NameSy:
        FName = text;
        break;
      case IDSy:
        FID = text;
        break;
      case OnClickSy:
        OnClickText = text;
        break;
      case OnFocusSy:
        OnFocusText = text;
        break;
      case OnBlurSy:
        OnBlurText = text;
        break;
      case OnChangeSy:
        OnChangeText = text;
        break;
      case DisabledSy: {
        const std::string value = plat::LowerCase(attr->Name);
        Disabled = value != "no" && value != "0";
        break;
      }
      case ReadonlySy:
        ReadOnly = true;
        break;
      case TabIndexSy:
        TabIndex = attr->Value;
        break;
      default:
        break;
    }
  }
}

TFormControlObj::~TFormControlObj() {
  *alive_ = false;
  if (!window_) return;
  if (Document) Document->TabIndexList.Remove(window_.get());
  // Freeing a focused window moves the focus: nothing of this object may answer.
  window_->OnEnter = nullptr;
  window_->OnExit = nullptr;
  window_->OnClick = nullptr;
  window_->OnMouseMove = nullptr;
  window_->OnKeyDown = nullptr;
  window_->OnKeyPress = nullptr;
}

void TFormControlObj::AttachWindow(std::unique_ptr<plat::TWinControl> window, TProperties& props) {
  window->SetEnabled(!Disabled);
  window->SetFont(*props.GetFont());
  window->SetLeft(kParkedControlLeft);
  if (Document && Document->PaintPanel) window->SetParent(Document->PaintPanel);
  window->OnEnter = [this](plat::TObject*) { FormControlEnter(); };
  window->OnExit = [this](plat::TObject*) { FormControlExit(); };
  window->OnMouseMove = [this](plat::TObject*, plat::TShiftState shift, int x, int y) {
    FormControlMouseMove(shift, x, y);
  };
  SetWindow(std::move(window));
}

void TFormControlObj::SetWindow(std::unique_ptr<plat::TWinControl> window) {
  window_ = std::move(window);
}

void TFormControlObj::SelectFont(plat::TCanvas& canvas) const {
  canvas.SetFont(*window_->Font());
}

void TFormControlObj::ApplyBackground() {
  if (BkColor != clNone && window_) window_->SetColor(BkColor);
}

void TFormControlObj::ShowAt(int32_t x, int32_t y) {
  if (!window_) return;
  window_->SetBounds(x, y, window_->Width(), window_->Height());
  window_->Show();
}

void TFormControlObj::ApplyProperties(TProperties& props) {
  TVMarginArray values;
  props.GetVMarginArray(values);
  TMarginArray box{}, tall{};
  ConvInlineMargArray(values, 100, props.EmPixels, props.ExPixels, box);
  ConvInlineMargArray(values, 200, props.EmPixels, props.ExPixels, tall);
  const auto given = [](int32_t v) { return v != UnsetLength && v != AutoLength; };
  const auto pixels = [](int32_t v) {
    return std::clamp(v, -kMaxControlPixels, kMaxControlPixels);
  };
  VSpaceT = VSpaceB = 1;
  if (given(box[piMarginLeft])) HSpaceL = pixels(box[piMarginLeft]);
  if (given(box[piMarginRight])) HSpaceR = pixels(box[piMarginRight]);
  if (given(box[piMarginTop])) VSpaceT = pixels(box[piMarginTop]);
  if (given(box[piMarginBottom])) VSpaceB = pixels(box[piMarginBottom]);
  if (props.HasBorderStyle() != 0) {
    HSpaceL += pixels(box[piBorderLeftWidth]);
    HSpaceR += pixels(box[piBorderRightWidth]);
    BorderTop = pixels(box[piBorderTopWidth]);
    BorderBottom = pixels(box[piBorderBottomWidth]);
    VSpaceT += BorderTop;
    VSpaceB += BorderBottom;
  }
  const TCssValue widthValue = values[piWidth];
  const std::string* widthText = VarString(widthValue);
  PercentWidth = widthText && widthText->find('%') != std::string::npos;
  const int32_t width = box[piWidth];
  if (width > 0) {
    if (PercentWidth && width > 100)
      PercentWidth = false;
    else
      FWidth = std::min(width, kMaxControlPixels);
  }
  if (tall[piHeight] > 0)
    FHeight = std::max(0, std::min(tall[piHeight], kMaxControlPixels) - BorderTop - BorderBottom);
  int align = 0;
  if (props.GetVertAlign(align)) FormAlign = uint8_t(align);
  BkColor = props.GetBoxBackgroundColor();
}

bool TFormControlObj::GetSubmissionItem(int, std::string&) {
  return false;
}

void TFormControlObj::SetDataValue(int, const std::string&) {}

void TFormControlObj::SetupControlSize(plat::TCanvas&) {}

void TFormControlObj::DrawOnCanvas(plat::TCanvas& canvas, int x, int y) {
  if (window_) window_->PaintTo(canvas, x, y);
}

void TFormControlObj::FormControlEnter() {
  if (Document->Clearing) return;
  IsFocused = true;
  if (Document->PaintPanel) Document->PaintPanel->Invalidate();
  if (Document->ObjectFocused) Document->ObjectFocused(this);
  if (Document->ObjectFocus && !OnFocusText.empty() &&
      !CallHook(Document->ObjectFocus, OnFocusText))
    return;
  if (!OnChangeText.empty()) SaveCurrentValue();
}

void TFormControlObj::FormControlExit() {
  if (Document->Clearing) return;
  IsFocused = false;
  if (Document->PaintPanel) Document->PaintPanel->Invalidate();
  if (!OnChangeText.empty()) {
    const std::shared_ptr<const bool> alive = alive_;
    NotifyIfChanged();
    if (!*alive) return;
  }
  if (Document->ObjectBlur && !OnBlurText.empty()) CallHook(Document->ObjectBlur, OnBlurText);
}

bool TFormControlObj::FormControlClick() {
  return !Document->ObjectClick || CallHook(Document->ObjectClick, OnClickText);
}

bool TFormControlObj::CallHook(
    std::function<void(plat::TObject*, plat::TObject*, const std::string&)> hook,
    std::string text) {
  const std::shared_ptr<const bool> alive = alive_;
  hook(Document->Viewer, this, text);
  return *alive;
}

void TFormControlObj::FormControlMouseMove(plat::TShiftState shift, int x, int y) {
  html::FormControlMouseMove(*this, Title, shift, x, y);
}

bool TFormControlObj::ReportChange() {
  return !Document->ObjectChange || CallHook(Document->ObjectChange, OnChangeText);
}

// ---- ThtmlForm ----

ThtmlForm& ThtmlForm::Create(TSectionList& document, const TAttributeList* attributes) {
  auto form = std::make_unique<ThtmlForm>(document, attributes);
  ThtmlForm& result = *form;
  document.Forms.Add(std::move(form));
  return result;
}

ThtmlForm::ThtmlForm(TSectionList& document, const TAttributeList* attributes)
    : Document(&document) {
  if (!attributes) return;
  for (const auto& attr : *attributes) {
    switch (attr->Which) {
      case MethodSy:
        Method = AttributeUtf8(*attr);
        break;
      case ActionSy:
        Action = AttributeUtf8(*attr);
        break;
      case TargetSy:
        Target = AttributeUtf8(*attr);
        break;
      case EncTypeSy:
        EncType = AttributeUtf8(*attr);
        break;
      default:
        break;
    }
  }
}

void ThtmlForm::Insert(std::unique_ptr<TFormControlObj> control) {
  TFormControlObj& added = *control;
  ControlList.Add(std::move(control));
  if (!added.IsHidden()) ++NonHiddenCount;
  Document->AllControls.push_back(&added);
  if (added.TabIndex > 0) Document->TabIndexList.Add(added.TabIndex, added.TheControl());
  if (!added.FID.empty()) Document->Targets.AddObject(added.FID, &added);
}

std::vector<TFormControlObj*> ThtmlForm::RadioGroup(const std::string& name) const {
  std::vector<TFormControlObj*> group;
  for (const auto& control : ControlList)
    if (control->IsRadio() && plat::CompareText(control->FName, name) == 0)
      group.push_back(control.get());
  return group;
}

void ThtmlForm::UncheckOtherRadios(const TFormControlObj& radio) {
  for (TFormControlObj* other : RadioGroup(radio.FName))
    if (auto* button = dynamic_cast<plat::TRadioButton*>(other->TheControl());
        button && other != &radio) {
      button->SetChecked(false);
      button->SetTabStop(false);
    }
}

void ThtmlForm::DoRadios(TFormControlObj& radio) {
  UncheckOtherRadios(radio);
  // A change hook may free the whole form.
  const std::shared_ptr<const bool> alive = radio.Alive();
  for (TFormControlObj* other : RadioGroup(radio.FName)) {
    if (other == &radio) continue;
    other->NotifyIfChanged();
    if (!*alive) return;
  }
  radio.FormControlClick();
}

void ThtmlForm::ResetControls() {
  // Checking a box or button raises its click, whose hook may free the form.
  for (const auto& control : ControlList) {
    const std::shared_ptr<const bool> alive = control->Alive();
    control->ResetToInitialValue();
    if (!*alive) return;
  }
  // As at load, the checked button of each radio group takes Tab, or the first when none is.
  std::map<std::string, plat::TRadioButton*> tabStops;  // by the group's name in lower case
  for (const auto& control : ControlList) {
    auto* radio =
        control->IsRadio() ? dynamic_cast<plat::TRadioButton*>(control->TheControl()) : nullptr;
    if (!radio) continue;
    const auto group = tabStops.try_emplace(plat::LowerCase(control->FName), radio).first;
    if (radio->Checked()) group->second = radio;
    radio->SetTabStop(false);
  }
  for (const auto& [name, radio] : tabStops) radio->SetTabStop(true);
}

void ThtmlForm::SetSizes(plat::TCanvas& canvas) {
  for (const auto& control : ControlList) control->SetupControlSize(canvas);
}

void ThtmlForm::ClearShownFlags() {
  for (const auto& control : ControlList) control->ShowIt = false;
}

void ThtmlForm::ControlKeyPress(TFormControlObj& control, char& key) {
  if (key != '\r' || !dynamic_cast<TEditFormControlObj*>(&control)) return;
  key = 0;
  SubmitTheForm({});
}

void ThtmlForm::ControlKeyDown(TFormControlObj& control, uint16_t& key, plat::TShiftState shift) {
  const bool arrow = key >= plat::VK_LEFT && key <= plat::VK_DOWN;
  if (arrow && control.IsRadio()) {
    const std::vector<TFormControlObj*> group = RadioGroup(control.FName);
    const auto at = std::find(group.begin(), group.end(), &control) - group.begin();
    const bool back = key == plat::VK_LEFT || key == plat::VK_UP;
    const auto to = back ? at - 1 : at + 1;
    if (to >= 0 && to < std::ssize(group)) {
      plat::TWinControl* window = group[size_t(to)]->TheControl();
      if (window && window->CanFocus()) window->SetFocus();
    }
  } else if (plat::TWinControl* viewer = Document->Viewer) {
    plat::TMessage message{plat::WM_KEYDOWN, key, shift, 0};
    static_cast<plat::TControl*>(viewer)->WndProc(message);
    key = uint16_t(message.WParam);
  }
  // Arrows belong to the control: the window system must not move the focus with them.
  if (arrow) key = 0;
}

}  // namespace html
