// SELECT: its options, and the list box or drop-down list that shows them.
#include <algorithm>
#include <vector>

#include "html/css/CssStyles.h"
#include "html/viewer/FormControls.h"
#include "html/viewer/FormControlsText.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/htmlservices/HtmlText.h"

namespace html {
namespace {

constexpr int kSavedFlags = 50;

}  // namespace

// ---- ThtOptionStringList ----

std::string ThtOptionStringList::Value(int index) const {
  return index >= 0 && index < Count() ? items_[size_t(index)].option->Value : std::string();
}

bool ThtOptionStringList::Selected(int index) const {
  return index >= 0 && index < Count() && items_[size_t(index)].option->Selected;
}

bool ThtOptionStringList::HasValue(const std::string& value) const {
  return std::any_of(items_.begin(), items_.end(),
                     [&](const Item& item) { return item.option->Value == value; });
}

void ThtOptionStringList::Add(std::string text, std::unique_ptr<TOptionObj> option) {
  items_.push_back({std::move(text), std::move(option)});
}

// ---- TListBoxFormControlObj ----

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* document, ThtmlForm& form,
                                               const TAttributeList& attributes, TProperties& props)
    : TListBoxFormControlObj(document, form, attributes, props, false) {}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* document, ThtmlForm& form,
                                               const TAttributeList& attributes, TProperties& props,
                                               bool combo)
    : TFormControlObj(document, &form, attributes, props), TheFont(props.GetFont()) {
  if (combo) {
    auto box = std::make_unique<plat::TComboBox>(nullptr);
    box->SetStyle(plat::csDropDownList);
    AttachWindow(std::move(box), props);
    // A drop-down list reports no mouse moves, only clicks and changes of its choice.
    TheControl()->OnMouseMove = nullptr;
    return;
  }
  TAttribute* attr = nullptr;
  if (attributes.Find(SizeSy, attr) && attr->Value > 0)
    LBSize = std::min(attr->Value, kMaxControlChars);
  auto list = std::make_unique<plat::TListBox>(nullptr);
  list->SetMultiSelect(attributes.Find(MultipleSy, attr));
  if (props.HasBorderStyle()) list->SetBorderStyle(plat::bsNone);
  AttachWindow(std::move(list), props);
  List().OnClick = [this](plat::TObject*) { FormControlClick(); };
}

void TListBoxFormControlObj::AddOption(const std::u16string& text, bool selected,
                                       const plat::TStringList& attributes) {
  std::string shown = plat::EncodeCodePage(plat::CP_UTF8, text);
  if (shown.empty()) shown = " ";
  auto option = std::make_unique<TOptionObj>();
  option->Selected = selected;
  bool found = false;
  const std::string value = LineValue(attributes, "value", found);
  option->Value = found && !value.empty() ? TextToUtf8(CodePage, value) : shown;
  option->Attributes = std::make_unique<plat::TStringList>();
  for (int i = 0; i < attributes.Count(); ++i) option->Attributes->Add(attributes[i]);
  plat::DeviceContext measure;
  measure.SelectFont(TheFont->LogFont());
  Longest = std::max(Longest, std::min(measure.GetTextExtent(text).cx, kMaxControlPixels));
  TheOptions.Add(std::move(shown), std::move(option));
}

void TListBoxFormControlObj::NotifyIfChanged() {
  const plat::TListBox& list = List();
  bool changed = list.Count() != SavedCount;
  for (int i = 0; !changed && i < std::min(list.Count(), kSavedFlags); ++i)
    changed = list.Selected(i) != SavedSelected[size_t(i)];
  if (changed) ReportChange();
}

void TListBoxFormControlObj::SaveCurrentValue() {
  const plat::TListBox& list = List();
  SavedCount = list.Count();
  SavedSelected.assign(size_t(std::min(SavedCount, kSavedFlags)), false);
  for (size_t i = 0; i < SavedSelected.size(); ++i) SavedSelected[i] = list.Selected(int(i));
}

void TListBoxFormControlObj::ApplyProperties(TProperties& props) {
  TFormControlObj::ApplyProperties(props);
  ApplyBackground();
}

void TListBoxFormControlObj::ResetToInitialValue() {
  plat::TListBox& list = List();
  list.Clear();
  // One look at the items for all of them: each look has the window take them up again.
  plat::TStringList& items = *list.Items();
  for (int i = 0; i < TheOptions.Count(); ++i) items.Add(TheOptions.Text(i));
  if (list.MultiSelect()) {
    // The current item of a multiple choice is only the caret: the choice is the selection.
    std::vector<bool> selected(size_t(TheOptions.Count()));
    for (int i = 0; i < TheOptions.Count(); ++i) selected[size_t(i)] = TheOptions.Selected(i);
    list.SetSelectedItems(selected);
    list.SetItemIndex(0);
  } else {
    int current = -1;
    for (int i = 0; i < TheOptions.Count(); ++i)
      if (TheOptions.Selected(i)) current = i;
    list.SetItemIndex(current >= 0 ? current : 0);
  }
  list.SetTopIndex(0);
}

bool TListBoxFormControlObj::GetSubmissionItem(int index, std::string& item) {
  const plat::TListBox& list = List();
  if (index < 0 || index >= list.Count()) return false;
  const bool chosen = list.MultiSelect() ? list.Selected(index) : list.ItemIndex() == index;
  item = chosen ? FName + "=" + TheOptions.Value(index) : std::string();
  return true;
}

bool TListBoxFormControlObj::CouldHaveGiven(int index, const std::string& value) const {
  return (index == 0 || List().MultiSelect()) && TheOptions.HasValue(value);
}

void TListBoxFormControlObj::SetDataValue(int index, const std::string& value) {
  plat::TListBox& list = List();
  if (index == 0) {
    if (list.MultiSelect())
      for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, false);
    list.SetItemIndex(0);
  }
  for (int i = 0; i < TheOptions.Count() && i < list.Count(); ++i) {
    if (TheOptions.Value(i) != value) continue;
    if (list.MultiSelect())
      list.SetSelected(i, true);
    else
      list.SetItemIndex(i);
  }
  list.SetTopIndex(0);
}

void TListBoxFormControlObj::SetupControlSize(plat::TCanvas& canvas) {
  SelectFont(canvas);
  plat::TListBox& list = List();
  if (LBSize == -1) LBSize = std::max(1, std::min(8, TheOptions.Count()));
  const int64_t rows = int64_t(canvas.TextHeight("A")) * LBSize;
  list.SetClientHeight(FHeight < 10 ? int32_t(std::min<int64_t>(rows, kMaxControlPixels))
                                    : FHeight);
  if (PercentWidth)
    list.SetBounds(kParkedControlLeft, list.Top(), 10, list.Height());
  else if (FWidth >= 10)
    list.SetWidth(FWidth);
  else
    list.SetWidth(plat::TScrollBar::DefaultBarSize() + Longest + 10);
}

// ---- TComboFormControlObj ----

TComboFormControlObj::TComboFormControlObj(TSectionList* document, ThtmlForm& form,
                                           const TAttributeList& attributes, TProperties& props)
    : TListBoxFormControlObj(document, form, attributes, props, true) {
  Combo().OnClick = [this](plat::TObject*) { FormControlClick(); };
  Combo().OnChange = [this](plat::TObject*) { FormControlClick(); };
}

void TComboFormControlObj::NotifyIfChanged() {
  if (Combo().ItemIndex() != OldIndex) ReportChange();
}

void TComboFormControlObj::SaveCurrentValue() {
  OldIndex = Combo().ItemIndex();
}

void TComboFormControlObj::ResetToInitialValue() {
  plat::TComboBox& combo = Combo();
  combo.Clear();
  int current = -1;
  plat::TStringList& items = *combo.Items();  // once, as for lists
  for (int i = 0; i < TheOptions.Count(); ++i) {
    items.Add(TheOptions.Text(i));
    if (TheOptions.Selected(i)) current = i;
  }
  combo.SetItemIndex(current >= 0 ? current : 0);
}

bool TComboFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0) return false;
  const int current = Combo().ItemIndex();
  item = current >= 0 ? FName + "=" + TheOptions.Value(current) : std::string();
  return true;
}

bool TComboFormControlObj::CouldHaveGiven(int index, const std::string& value) const {
  return index == 0 && TheOptions.HasValue(value);
}

void TComboFormControlObj::SetDataValue(int, const std::string& value) {
  for (int i = 0; i < TheOptions.Count(); ++i)
    if (TheOptions.Value(i) == value) Combo().SetItemIndex(i);
}

void TComboFormControlObj::SetupControlSize(plat::TCanvas& canvas) {
  SelectFont(canvas);
  plat::TComboBox& combo = Combo();
  if (FHeight >= 10) combo.SetHeight(FHeight);
  if (PercentWidth)
    combo.SetBounds(kParkedControlLeft, combo.Top(), 10, combo.Height());
  else if (FWidth >= 10)
    combo.SetWidth(FWidth);
  else
    // Room for the longest option beside the button, however wide this style draws it.
    combo.SetClientWidth(
        std::max(plat::TScrollBar::DefaultBarSize(), plat::TComboBox::ChromeWidth()) + Longest +
        10);
}

}  // namespace html
