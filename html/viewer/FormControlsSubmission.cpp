// The values a form hands over when it is submitted, and their way back into the controls when
// a page is shown again.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

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
  // The data is what GetFormSubmission gave, control after control, so the values of a name
  // go back in order, each control taking those it can have given (an edit one whatever it is,
  // a box its own value when it was checked, a list the options it had chosen).
  std::map<std::string, std::vector<std::string>> valuesOfName;
  for (int i = 0; i < data.Count(); ++i) {
    const std::string& line = data[i];
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      valuesOfName[line.substr(0, equals)].push_back(line.substr(equals + 1));
  }
  std::map<std::string, size_t> restored;
  for (const auto& control : ControlList) {
    const auto found = valuesOfName.find(control->FName);
    if (found == valuesOfName.end()) continue;
    const std::vector<std::string>& values = found->second;
    size_t& next = restored[control->FName];
    for (int index = 0; next < values.size() && control->CouldHaveGiven(index, values[next]);
         ++index) {
      control->SetDataValue(index, values[next++]);
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
