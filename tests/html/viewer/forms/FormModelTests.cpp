// Random forms filled in as a person would (clicks and keys through the controls' windows),
// then reset or submitted by a button, Enter or a picture, against a model of what the form
// must hand over: items in form order, radio groups without regard to case, options by value
// or text, disabled controls left out.
#include <random>

#include "FormPage.h"
#include "html/images/ImageObjects.h"
#include "support/ScratchFolder.h"

namespace html::test {
namespace {

enum Kind { kEdit, kPassword, kHidden, kCheck, kRadio, kCombo, kList, kMulti, kMemo, kKinds };

struct Option {
  std::string value, text;  // value empty: none given
  bool selected = false;
  std::string Submitted() const { return !value.empty() ? value : text.empty() ? " " : text; }
};

struct ModelControl {
  Kind kind = kEdit;
  std::string name, value;
  bool valueGiven = false, checked = false, disabled = false;
  std::vector<Option> options;
  // What the control holds now: text, checked state, current item, selected items.
  std::string text;
  bool on = false;
  int current = -1;
  std::vector<bool> picked;
};

std::string Letters(std::mt19937& random, int most) {
  std::string s;
  for (int n = int(random() % uint32_t(most + 1)); n > 0; --n)
    s += random() % 4 ? char('a' + random() % 26) : char('0' + random() % 10);
  return s;
}

bool SameGroup(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
  return true;
}

// The state a control is in when the page is shown, or after a reset.
void Reset(std::vector<ModelControl>& controls) {
  for (ModelControl& c : controls) {
    c.text = c.value;
    c.on = c.checked;
    c.current = -1;
    c.picked.assign(c.options.size(), false);
    for (size_t i = 0; i < c.options.size(); ++i)
      if (c.options[i].selected) c.current = int(i), c.picked[i] = true;
    if (c.current < 0 && !c.options.empty() && c.kind != kMulti) c.current = 0;
  }
  // A checked radio turns off the radios of its group before it.
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].kind == kRadio && controls[i].checked)
      for (size_t j = 0; j < i; ++j)
        if (controls[j].kind == kRadio && SameGroup(controls[j].name, controls[i].name))
          controls[j].on = false;
}

std::vector<std::string> Submission(const std::vector<ModelControl>& controls) {
  std::vector<std::string> lines;
  for (const ModelControl& c : controls) {
    if (c.disabled) continue;
    switch (c.kind) {
      case kEdit:
      case kPassword:
      case kMemo:
        lines.push_back(c.name + "=" + c.text);
        break;
      case kHidden:
        lines.push_back(c.name + "=" + c.value);
        break;
      case kCheck:
      case kRadio:
        if (c.on)
          lines.push_back(c.name + "=" + (c.kind == kCheck && c.value.empty() ? "on" : c.value));
        break;
      case kCombo:
        if (c.current >= 0)
          lines.push_back(c.name + "=" + c.options[size_t(c.current)].Submitted());
        break;
      default:
        for (size_t i = 0; i < c.options.size(); ++i)
          if (c.kind == kMulti ? c.picked[i] : int(i) == c.current)
            lines.push_back(c.name + "=" + c.options[i].Submitted());
        break;
    }
  }
  return lines;
}

std::string Markup(const ModelControl& c) {
  std::string a = " name=\"" + c.name + "\"";
  if (c.valueGiven) a += " value=\"" + c.value + "\"";
  if (c.checked) a += " checked";
  if (c.disabled) a += " disabled";
  auto options = [&] {
    std::string s;
    for (const Option& o : c.options)
      s += "<option" + (o.value.empty() ? "" : " value=\"" + o.value + "\"") +
           (o.selected ? " selected" : "") + ">" + o.text + "</option>";
    return s;
  };
  switch (c.kind) {
    case kEdit:
      return "<input" + a + " maxlength=12>";
    case kPassword:
      return "<input type=password" + a + " maxlength=12>";
    case kHidden:
      return "<input type=hidden" + a + ">";
    case kCheck:
      return "<input type=checkbox" + a + ">";
    case kRadio:
      return "<input type=radio" + a + ">";
    case kCombo:
      return "<select" + a + ">" + options() + "</select>";
    case kList:
      return "<select size=3" + a + ">" + options() + "</select>";
    case kMulti:
      return "<select multiple" + a + ">" + options() + "</select>";
    default:
      return "<textarea rows=2" + a + ">" + c.value + "</textarea>";
  }
}

ModelControl RandomControl(std::mt19937& random, int index) {
  static const char* const groups[] = {"r", "R", "size", "Size"};
  ModelControl c;
  c.kind = Kind(random() % kKinds);
  c.name = c.kind == kRadio ? groups[random() % 4]
           : random() % 8   ? "n" + std::to_string(index)
                            : "";
  c.valueGiven = c.kind == kMemo || random() % 3 != 0;
  if (c.valueGiven && c.kind != kMemo) c.value = Letters(random, 8);
  if (c.kind == kMemo) c.value = Letters(random, 10);
  c.checked = (c.kind == kCheck || c.kind == kRadio) && random() % 2;
  c.disabled = random() % 8 == 0;
  if (c.kind == kCombo || c.kind == kList || c.kind == kMulti)
    for (int n = 1 + int(random() % 4); n > 0; --n)
      c.options.push_back(
          {random() % 2 ? Letters(random, 4) : "", Letters(random, 5), random() % 4 == 0});
  return c;
}

using FormModel = FormPageTest;

TEST_F(FormModel, FilledInFormsSubmitWhatTheModelSays) {
  std::mt19937 random(153);
  std::vector<std::vector<std::string>> received;
  std::string action, method;
  viewer->SetOnFormSubmit([&](plat::TObject*, const std::string& a, const std::string&,
                              const std::string&, const std::string& m,
                              plat::TStringList* results) {
    action = a, method = m;
    std::vector<std::string> lines;
    for (int i = 0; i < results->Count(); ++i) lines.push_back((*results)[i]);
    received.push_back(lines);
  });
  test_support::ScratchFolder folder;
  const std::string picture = folder.File("go.bmp");
  {
    plat::TBitmap bitmap;
    bitmap.SetSize(30, 20);
    bitmap.SaveToFile(picture);
  }
  for (int n = 0; n < 60; ++n) {
    std::vector<ModelControl> controls;
    for (int k = int(random() % 6); k >= 0; --k) controls.push_back(RandomControl(random, k));
    const std::string method0 = random() % 2 ? "post" : "";
    std::string page = "<form action=\"a" + std::to_string(n) + "\"" +
                       (method0.empty() ? "" : " method=" + method0) + ">";
    for (const ModelControl& c : controls) page += Markup(c) + "<br>";
    page +=
        "<input type=submit name=go value=Send> <input type=submit> <input type=reset>"
        "<input type=image name=pic src=\"" +
        picture + "\"></form>";
    Load(page);
    Reset(controls);
    ThtmlForm& form = Form();
    ASSERT_EQ(form.ControlList.Count(), int(controls.size()) + 4) << page;
    SCOPED_TRACE(page);

    const auto window = [&](size_t i) { return form.ControlList[int(i)]->TheControl(); };
    const auto typeInto = [&](plat::TWinControl& control, ModelControl& c, size_t limit) {
      Click(control);
      plat::SimulateKey(control, plat::VK_END, "");
      for (char ch : Letters(random, 5)) {
        plat::SimulateKey(control, uint16_t(std::toupper(ch)), std::string(1, ch));
        if (c.text.size() < limit) c.text += ch;
      }
    };
    for (int action = int(random() % 6); action > 0; --action) {
      const size_t i = random() % controls.size();
      ModelControl& c = controls[i];
      if (c.kind == kHidden || c.disabled) continue;
      plat::TWinControl& control = *window(i);
      switch (c.kind) {
        case kEdit:
        case kPassword:
          typeInto(control, c, 12);
          break;
        case kMemo:
          typeInto(control, c, 1000);
          break;
        case kCheck:
          Click(control);
          c.on = !c.on;
          break;
        case kRadio:
          Click(control);
          for (ModelControl& other : controls)
            if (other.kind == kRadio && SameGroup(other.name, c.name)) other.on = false;
          c.on = true;
          break;
        case kCombo:
        case kList:
          plat::SimulateKey(control, plat::VK_DOWN, "");
          c.current = std::min(c.current + 1, int(c.options.size()) - 1);
          break;
        default:
          break;
      }
      plat::Application().ProcessMessages();
    }

    received.clear();
    std::vector<std::string> expected = Submission(controls);
    const size_t buttons = controls.size();
    switch (random() % 5) {
      case 0:
        Click(*window(buttons));
        expected.push_back("go=Send");
        break;
      case 1:
        Click(*window(buttons + 1));  // no name: no item of its own
        break;
      case 2: {
        Click(*window(buttons + 2));  // reset, then the named button
        Reset(controls);
        Click(*window(buttons));
        expected = Submission(controls);
        expected.push_back("go=Send");
        break;
      }
      case 3: {
        // The picture at a point inside it.
        auto& input = dynamic_cast<TImageFormControlObj&>(*form.ControlList[int(buttons + 3)]);
        const plat::TPoint at{int(random() % 30), int(random() % 20)};
        plat::Application().ProcessMessages();
        const plat::TPoint place{input.MyImage->DrawX + at.X,
                                 input.MyImage->DrawY - viewer->Document().ScrollY + at.Y};
        plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Press, plat::mbLeft, place);
        plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Release, plat::mbLeft, place);
        expected.push_back("pic.x=" + std::to_string(at.X));
        expected.push_back("pic.y=" + std::to_string(at.Y));
        break;
      }
      default: {
        // Enter in an enabled edit submits with no button; without one, the named button.
        auto edit = std::find_if(controls.begin(), controls.end(), [](const ModelControl& c) {
          return (c.kind == kEdit || c.kind == kPassword) && !c.disabled;
        });
        if (edit == controls.end()) {
          Click(*window(buttons));
          expected.push_back("go=Send");
        } else {
          plat::SimulateKey(*window(size_t(edit - controls.begin())), plat::VK_RETURN, "\r");
        }
      }
    }
    plat::Application().ProcessMessages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], expected);
    EXPECT_EQ(action, "a" + std::to_string(n));
    EXPECT_EQ(method, method0.empty() ? "Get" : method0);
  }
}

}  // namespace
}  // namespace html::test
