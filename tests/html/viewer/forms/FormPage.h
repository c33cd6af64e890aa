// A viewer on a shown window with a page of forms loaded, and look-ups of its controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/viewer/FormControls.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace html::test {

// One submission as the document hands it over.
struct TSubmission {
  std::string Action, Target, EncType, Method;
  std::vector<std::string> Lines;
};

class FormPageTest : public test_support::ShownFormTest {
 protected:
  FormPageTest() : ShownFormTest({40, 40, 640, 480}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<TPageViewer>(0, 0, 620, 440);
    viewer->SetBorderStyle(htNone);
  }

  // Loads the page, lets the windows settle and paints it, which places the controls.
  void Load(const std::string& page) {
    viewer->LoadFromString(page, "");
    Settle();
  }
  void Settle() {
    plat::Application().ProcessMessages();
    plat::CaptureControl(viewer->PaintPanel());
    plat::Application().ProcessMessages();
  }
  // Catches submissions at the document, where the forms hand them over.
  void CatchSubmissions() {
    viewer->Document().SubmitForm = [this](const std::string& action, const std::string& target,
                                           const std::string& encType, const std::string& method,
                                           std::unique_ptr<plat::TStringList> results) {
      TSubmission s{action, target, encType, method, {}};
      for (int i = 0; i < results->Count(); ++i) s.Lines.push_back((*results)[i]);
      submissions.push_back(s);
    };
  }

  ThtmlForm& Form(int index = 0) {
    return dynamic_cast<ThtmlForm&>(*viewer->Document().Forms[index]);
  }
  // The index-th control named name (case counts), of kind T.
  template <class T>
  T& Control(const std::string& name, int index = 0) {
    for (const auto& form : viewer->Document().Forms) {
      for (const auto& control : dynamic_cast<ThtmlForm&>(*form).ControlList) {
        if (control->FName != name) continue;
        if (index-- == 0) return dynamic_cast<T&>(*control);
      }
    }
    throw std::runtime_error("no control named " + name);
  }
  void Click(plat::TControl& control) {
    const plat::TPoint at{control.Width() / 2, control.Height() / 2};
    plat::SimulateMouse(control, plat::TMouseAction::Press, plat::mbLeft, at);
    plat::SimulateMouse(control, plat::TMouseAction::Release, plat::mbLeft, at);
    plat::Application().ProcessMessages();
  }

  TPageViewer* viewer = nullptr;
  std::vector<TSubmission> submissions;
};

}  // namespace html::test
