// The values a form hands over when it is submitted, and their way back into the controls when
// a page is shown again.
#include <algorithm>
#include <map>

#include "html/layout/sections/PageSections.h"
#include "html/viewer/FormControls.h"

namespace html {

std::unique_ptr<plat::TStringList> ThtmlForm::GetFormSubmission() {
  auto values = std::make_unique<plat::TStringList>();
  for (const auto& control : ControlList) {
    std::string item;
    for (int index = 0; control->GetSubmissionItem(index, item); ++index)
      if (!item.empty()) values->Add(item);
  }
  return values;
}

void ThtmlForm::SubmitTheForm(const std::string& buttonSubmission) {
  if (!Document->SubmitForm) return;
  auto values = std::make_unique<plat::TStringList>();
  for (const auto& control : ControlList) {
    if (control->Disabled) continue;
    std::string item;
    for (int index = 0; control->GetSubmissionItem(index, item); ++index)
      if (!item.empty()) values->Add(item);
  }
  if (!buttonSubmission.empty()) values->Add(buttonSubmission);
  Document->SubmitForm(Action, Target, EncType, Method, std::move(values));
}

bool ThtmlForm::SetFormData(const plat::TStringList& data) {
  if (ControlList.Count() == 0) return true;
  // Checking or unchecking a box raises its click, whose hook may free the form.
  const std::shared_ptr<const bool> alive = ControlList[0]->Alive();
  // Check boxes missing from the data were unchecked when it was taken.
  for (const auto& control : ControlList) {
    control->Unmark();
    if (!*alive) return false;
  }
  // Edits and text areas of one name take its lines in turn, the n-th line the n-th of them;
  // the other controls of the name see every line of it (a list selects each value it holds, a
  // box or a button checks itself for its own value).
  std::map<TFormControlObj*, int> taken;
  std::map<std::string, int> linesOfName;
  for (int i = 0; i < data.Count(); ++i) {
    const std::string& line = data[i];
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    const int turn = linesOfName[name]++;
    int textControls = 0;
    for (const auto& control : ControlList) {
      if (control->FName != name || control->IsHidden()) continue;
      if (control->HoldsText() && textControls++ != turn) continue;
      control->SetDataValue(taken[control.get()]++, value);
      if (!*alive) return false;
    }
  }
  return true;
}

void RestoreFormData(TSectionList& document, const TFreeList<plat::TStringList>& data) {
  const int count = std::min(document.Forms.Count(), data.Count());
  for (int i = 0; i < count; ++i)
    if (auto* form = dynamic_cast<ThtmlForm*>(document.Forms[i]);
        form && !form->SetFormData(*data[i]))
      return;
}

}  // namespace html
