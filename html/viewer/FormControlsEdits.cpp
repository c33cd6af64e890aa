// One-line inputs: hidden values and text, password and file-name edits.
#include <algorithm>
#include <cctype>

#include "html/css/CssStyles.h"
#include "html/viewer/FormControls.h"

namespace html {
namespace {

// A whole non-negative number, or -1.
int64_t WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// SIZE in characters: its number as the tokenizer read it, or the number before a blank or
// comma of "40, 2"; the default when neither reads.
int32_t EditSizeOf(const TAttribute& size, int32_t fallback) {
  if (size.Value > 0) return std::min(size.Value, kMaxControlChars);
  const std::string& text = size.Name;
  const size_t blank = text.find(' '), comma = text.find(',');
  if (blank == std::string::npos || comma == std::string::npos) return fallback;
  const size_t first = std::min(blank, comma);
  if (first == 0) return fallback;
  const int64_t number = WholeNumber(text.substr(0, first));
  return number >= 0 ? int32_t(std::min<int64_t>(number, kMaxControlChars)) : 20;
}

}  // namespace

// ---- THiddenFormControlObj ----

bool THiddenFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0) return false;
  item = FName + "=" + Value;
  return true;
}

void THiddenFormControlObj::SetDataValue(int, const std::string& value) {
  Value = value;
}

// ---- TEditFormControlObj ----

TEditFormControlObj::TEditFormControlObj(TSectionList* document, ThtmlForm& form,
                                         const TAttributeList& attributes, TProperties& props,
                                         const std::string& type)
    : TFormControlObj(document, &form, attributes, props) {
  auto edit = std::make_unique<plat::TEdit>(nullptr);
  TAttribute* attr = nullptr;
  if (attributes.Find(SizeSy, attr)) EditSize = EditSizeOf(*attr, EditSize);
  if (attributes.Find(MaxLengthSy, attr) && attr->Value > 0) edit->SetMaxLength(attr->Value);
  if (type == "password") edit->SetPasswordChar('*');
  edit->SetText(Value);
  edit->SetReadOnly(ReadOnly);
  if (props.HasBorderStyle()) edit->SetBorderStyle(plat::bsNone);
  AvgCharWidth = props.GetFont()->tmAveCharWidth;
  AttachWindow(std::move(edit), props);
  FHeight = Edit().Height();
  Edit().OnClick = [this](plat::TObject*) { FormControlClick(); };
  Edit().OnKeyPress = [this](plat::TObject*, char& key) { MyForm->ControlKeyPress(*this, key); };
}

void TEditFormControlObj::NotifyIfChanged() {
  if (Edit().Text() != OldValue) ReportChange();
}

void TEditFormControlObj::SaveCurrentValue() {
  OldValue = Edit().Text();
}

void TEditFormControlObj::ApplyProperties(TProperties& props) {
  TFormControlObj::ApplyProperties(props);
  ApplyBackground();
}

void TEditFormControlObj::ResetToInitialValue() {
  Edit().SetText(Value);
}

bool TEditFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0) return false;
  item = FName + "=" + Edit().Text();
  return true;
}

void TEditFormControlObj::SetDataValue(int, const std::string& value) {
  Edit().SetText(value);
}

void TEditFormControlObj::SetupControlSize(plat::TCanvas& canvas) {
  SelectFont(canvas);
  const int32_t height = std::max(FHeight, std::max(canvas.TextHeight("A"), 10));
  plat::TEdit& edit = Edit();
  if (PercentWidth) {
    edit.SetBounds(kParkedControlLeft, edit.Top(), 10, height);
    return;
  }
  const int64_t natural = int64_t(EditSize) * AvgCharWidth + 23;
  const int32_t width =
      FWidth >= 10 ? FWidth : int32_t(std::min<int64_t>(natural, kMaxControlPixels));
  edit.SetBounds(edit.Left(), edit.Top(), width, height);
}

}  // namespace html
