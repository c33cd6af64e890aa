// Random edits and text areas - values longer than their MAXLENGTH, file inputs, every wrap
// mode, words longer than a line, final line ends - typed into as a reader would and reset now
// and then: what each control shows, a model of the typing and what the form submits agree.
#include <random>
#include <string>
#include <vector>

#include "FormPage.h"

namespace html::test {
namespace {

enum Kind { kEdit, kPassword, kFile, kSoft, kHard, kOff, kKinds };

struct TextControl {
  Kind kind = kEdit;
  std::string name;
  std::string value;  // VALUE of an input, the text of an area
  int maxLength = 0;
  int cols = 10;
  std::string text;  // what it holds now, "\n" between lines
  bool IsArea() const { return kind >= kSoft; }
};

std::string Word(std::mt19937& random, int longest) {
  std::string word;
  for (int n = 1 + int(random() % uint32_t(longest)); n > 0; --n)
    word += random() % 5 ? char('a' + random() % 26) : char('0' + random() % 10);
  return word;
}

TextControl RandomControl(std::mt19937& random, int index) {
  TextControl c;
  c.kind = Kind(random() % kKinds);
  c.name = "n" + std::to_string(index);
  if (c.IsArea()) {
    c.cols = 3 + int(random() % 13);
    // Words, some longer than a line, on lines, perhaps with a line end after the last.
    for (int n = int(random() % 8); n > 0; --n) {
      c.value += Word(random, random() % 4 ? 6 : 30);
      if (n > 1) c.value += random() % 4 ? " " : "\n";
    }
    if (random() % 3 == 0) c.value += "\n";
  } else {
    if (random() % 3) c.value = Word(random, 12);
    if (random() % 2) c.maxLength = 1 + int(random() % 8);
  }
  return c;
}

std::string Markup(const TextControl& c) {
  const std::string name = " name=" + c.name;
  switch (c.kind) {
    case kSoft:
    case kHard:
    case kOff: {
      static const char* const wraps[] = {"soft", "hard", "off"};
      return "<textarea" + name + " wrap=" + wraps[c.kind - kSoft] +
             " rows=3 cols=" + std::to_string(c.cols) + ">" + c.value + "</textarea>";
    }
    default: {
      static const char* const types[] = {"text", "password", "file"};
      return std::string("<input type=") + types[c.kind] + name + " value=\"" + c.value + "\"" +
             (c.maxLength > 0 ? " maxlength=" + std::to_string(c.maxLength) : "") + ">";
    }
  }
}

// As the page gives them: a file input never shows a name the reader did not choose.
void Reset(std::vector<TextControl>& controls) {
  for (TextControl& c : controls) c.text = c.kind == kFile ? "" : c.value;
}

std::string WithCrLf(const std::string& text) {
  std::string result;
  for (char ch : text) result += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  return result;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char ch : text) {
    if (ch == '\n')
      lines.emplace_back();
    else
      lines.back().push_back(ch);
  }
  return lines;
}

using ShownTextModel = FormPageTest;

TEST_F(ShownTextModel, WhatTheControlsShowIsWhatTheModelHoldsAndWhatTheFormSubmits) {
  std::mt19937 random(4153);
  CatchSubmissions();
  int typed = 0, resets = 0, hardLinesChecked = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<TextControl> controls;
    for (int k = int(random() % 4); k >= 0; --k)
      controls.push_back(RandomControl(random, int(controls.size())));
    std::string page = "<form>";
    for (const TextControl& c : controls) page += Markup(c) + "<br>";
    page += "<input type=reset></form>";
    Load(page);
    SCOPED_TRACE(page);
    Reset(controls);
    // The form's windows in order: a file input brings its browse button along.
    std::vector<plat::TWinControl*> windows;
    plat::TWinControl* reset = nullptr;
    for (const auto& control : Form().ControlList) {
      auto* button = dynamic_cast<TButtonFormControlObj*>(control.get());
      if (!button)
        windows.push_back(control->TheControl());
      else if (button->ButtonKind == bkReset)
        reset = button->TheControl();
    }
    ASSERT_EQ(windows.size(), controls.size());
    ASSERT_NE(reset, nullptr);

    for (int action = int(random() % 7); action > 0; --action) {
      if (random() % 6 == 0) {
        Click(*reset);
        Reset(controls);
        ++resets;
        continue;
      }
      const size_t i = random() % controls.size();
      TextControl& c = controls[i];
      plat::TWinControl& window = *windows[i];
      Click(window);
      plat::SimulateKey(window, plat::VK_END, "", c.IsArea() ? plat::ssCtrl : 0);
      for (int n = 1 + int(random() % 6); n > 0; --n) {
        const uint32_t key = random() % 10;
        if (key == 0) {
          plat::SimulateKey(window, plat::VK_BACK, "\b");
          if (!c.text.empty()) c.text.pop_back();
        } else if (key == 1 && c.IsArea()) {
          plat::SimulateKey(window, plat::VK_RETURN, "\r");
          c.text += '\n';
        } else {
          const char ch = key == 2 ? ' ' : char('a' + random() % 26);
          plat::SimulateKey(window, ch == ' ' ? plat::VK_SPACE : uint16_t(std::toupper(ch)),
                            std::string(1, ch));
          // A limit refuses what would make the text longer than it and than it is now.
          if (c.maxLength == 0 || int(c.text.size()) < c.maxLength) c.text += ch;
        }
        ++typed;
      }
      plat::Application().ProcessMessages();
    }

    submissions.clear();
    Form().SubmitTheForm("");
    ASSERT_EQ(submissions.size(), 1u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < controls.size(); ++i) {
      const TextControl& c = controls[i];
      SCOPED_TRACE(c.name);
      if (!c.IsArea()) {
        EXPECT_EQ(static_cast<plat::TEdit*>(windows[i])->Text(), c.text);
        expected.push_back(c.name + "=" + c.text);
        continue;
      }
      auto& memo = *static_cast<plat::TMemo*>(windows[i]);
      EXPECT_EQ(memo.WindowText(), c.text);
      const std::vector<std::string> shown = plat::MemoShownLines(memo);
      if (c.kind == kOff) {
        EXPECT_EQ(shown, Split(c.text));
        expected.push_back(c.name + "=" + WithCrLf(c.text));
        continue;
      }
      // Wrapped lines show every character, each line of the text starting a line of its own.
      std::string all, text;
      for (const std::string& line : shown) all += line;
      for (char ch : c.text)
        if (ch != '\n') text += ch;
      EXPECT_EQ(all, text);
      EXPECT_GE(shown.size(), Split(c.text).size());
      if (c.kind == kSoft) {
        expected.push_back(c.name + "=" + WithCrLf(c.text));
      } else {
        std::string lines;
        for (size_t n = 0; n < shown.size(); ++n) lines += (n > 0 ? "\r\n" : "") + shown[n];
        expected.push_back(c.name + "=" + lines);
        hardLinesChecked += int(shown.size());
      }
    }
    EXPECT_EQ(submissions[0].Lines, expected);
  }
  EXPECT_GT(typed, 100);
  EXPECT_GT(resets, 3);
  EXPECT_GT(hardLinesChecked, 20);
}

}  // namespace
}  // namespace html::test
