// Forms built from stored layouts: controls, nested properties, lists, handlers, fields, errors.
#include <gtest/gtest.h>

#include "platform/runtime/Timers.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace plat {
namespace {

const char* const kLayout = R"(# A small dialog
TLayoutForm LayoutForm {
  Caption = "Layout " "test"
  ClientWidth = 400
  ClientHeight = 300
  Color = clCream
  KeyPreview = True
  ActiveControl = NameEdit
  OnCreate = FormCreate
  TPanel SidePanel {
    Align = alRight
    Width = 120
    Font.Style = [fsBold, fsItalic]
    Font.Color = $0000FF
    TButton OkButton {
      Left = 8
      Top = 8
      Caption = "&OK"
      ModalResult = mrOk
      Anchors = [akLeft, akBottom]
      OnClick = OkButtonClick
    }
  }
  TEdit NameEdit {
    Left = 8
    Top = 8
    Text = "line \"one\""
    OnChange = NameEditChange
  }
  TComboBox ScaleCombo {
    Items = ["5%", "10%", "1000%"]
    ItemIndex = 1
  }
  TCheckBox Interpolate {
    Checked = True
    OnClick = InterpolateClick
  }
  TTimer Timer1 {
    Interval = 500
    Enabled = False
    OnTimer = TimerTick
  }
}
)";

class TLayoutForm : public TForm {
 public:
  explicit TLayoutForm(TComponent* owner, const std::string& layout = "LayoutForm") : TForm(owner) {
    TFormBindings bindings;
    bindings.Handler("FormCreate", this, &TLayoutForm::FormCreate)
        .Handler("OkButtonClick", this, &TLayoutForm::OkButtonClick)
        .Handler("NameEditChange", this, &TLayoutForm::NameEditChange)
        .Handler("InterpolateClick", this, &TLayoutForm::InterpolateClick)
        .Handler("TimerTick", this, &TLayoutForm::TimerTick)
        .Field("OkButton", OkButton)
        .Field("NameEdit", NameEdit)
        .Field("SidePanel", SidePanel);
    LoadFromLayout(layout, bindings);
  }
  void FormCreate(TObject*) { ++created; }
  void OkButtonClick(TObject*) { ++okClicks; }
  void NameEditChange(TObject*) { ++changes; }
  void InterpolateClick(TObject*) { ++interpolateClicks; }
  void TimerTick(TObject*) {}

  TButton* OkButton = nullptr;
  TEdit* NameEdit = nullptr;
  TPanel* SidePanel = nullptr;
  int created = 0, okClicks = 0, changes = 0, interpolateClicks = 0;
};

class FormReader : public testing::Test {
 protected:
  void SetUp() override { RegisterLayout("LayoutForm", kLayout, "tests/LayoutForm.form"); }
};

TEST_F(FormReader, BuildsTheControlsWithTheirPropertiesAndBindings) {
  TLayoutForm form(nullptr);
  EXPECT_EQ(form.created, 1);
  EXPECT_EQ(form.Caption(), "Layout test");
  EXPECT_EQ(form.Color(), clCream);
  EXPECT_TRUE(form.KeyPreview());
  ASSERT_NE(form.OkButton, nullptr);
  ASSERT_NE(form.NameEdit, nullptr);
  EXPECT_EQ(form.ActiveControl(), form.NameEdit);  // named before the edit existed

  // Nesting makes parents; the form owns everything.
  EXPECT_EQ(form.OkButton->Parent(), form.SidePanel);
  EXPECT_EQ(form.OkButton->Owner(), &form);
  EXPECT_EQ(form.FindComponent("timer1")->Owner(), &form);
  EXPECT_EQ(form.SidePanel->Font()->Style(), fsBold | fsItalic);
  EXPECT_EQ(form.SidePanel->Font()->Color(), 0x0000FF);
  EXPECT_EQ(form.OkButton->Caption(), "&OK");
  EXPECT_EQ(form.OkButton->ModalResult(), mrOk);
  EXPECT_EQ(form.OkButton->Anchors(), (1 << akLeft) | (1 << akBottom));
  EXPECT_EQ(form.NameEdit->Text(), "line \"one\"");

  // Aligned right inside a 400-wide client, whatever the stored Left was.
  EXPECT_EQ(form.SidePanel->Left(), 280);
  EXPECT_EQ(form.SidePanel->Height(), 300);

  auto* combo = static_cast<TComboBox*>(form.FindComponent("ScaleCombo"));
  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "10%");

  auto* timer = static_cast<TTimer*>(form.FindComponent("Timer1"));
  EXPECT_EQ(timer->Interval(), 500u);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_TRUE(timer->OnTimer);

  // Loading was silent: no OnChange from Text, no OnClick from Checked.
  EXPECT_EQ(form.changes, 0);
  EXPECT_EQ(form.interpolateClicks, 0);
  // After loading the handlers are live.
  form.NameEdit->SetText("two");
  EXPECT_EQ(form.changes, 1);
  form.OkButton->Click();
  EXPECT_EQ(form.okClicks, 1);
}

struct BadLayout {
  const char* text;
  const char* message;
};

class FormReaderErrors : public testing::TestWithParam<BadLayout> {};

TEST_P(FormReaderErrors, NameTheFileAndLine) {
  RegisterLayout("BadForm", GetParam().text, "forms/BadForm.form");
  try {
    TLayoutForm form(nullptr, "BadForm");
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FormReaderErrors,
    testing::Values(
        BadLayout{"TLayoutForm F {\n  TGadget G {\n  }\n}\n",
                  "forms/BadForm.form(2): Unknown class TGadget"},
        BadLayout{"TLayoutForm F {\n  Caption = \"x\"\n  Colour = clRed\n}\n",
                  "forms/BadForm.form(3): Unknown property Colour of TLayoutForm"},
        BadLayout{"TLayoutForm F {\n  TButton B {\n    OnClick = Missing\n  }\n}\n",
                  "forms/BadForm.form(3): Unknown handler Missing"},
        BadLayout{"TLayoutForm F {\n  TButton B {\n    Font.Style = [fsHeavy]\n  }\n}\n",
                  "forms/BadForm.form(3): Unknown TFontStyle element fsHeavy"},
        BadLayout{"TLayoutForm F {\n  Align = alMiddle\n}\n",
                  "forms/BadForm.form(2): Unknown TAlign value alMiddle"},
        BadLayout{"TLayoutForm F {\n  Width = \"wide\"\n}\n",
                  "forms/BadForm.form(2): Invalid value for Width"},
        BadLayout{"TLayoutForm F {\n  ActiveControl = Nobody\n}\n",
                  "forms/BadForm.form(2): Unknown component Nobody"},
        BadLayout{"TLayoutForm F {\n  Caption = \"open\n}\n",
                  "forms/BadForm.form(2): Unterminated string"},
        BadLayout{"TLayoutForm F {\n  TButton B {\n  }\n  TButton B {\n  }\n}\n",
                  "forms/BadForm.form(4): A component named B already exists"},
        BadLayout{"TLayoutForm F {\n  TEdit OkButton {\n  }\n}\n",
                  "forms/BadForm.form(2): Component OkButton has the wrong class for its field"},
        BadLayout{"TLayoutForm F {\n  Width = 10\n", "forms/BadForm.form(3): Missing '}'"}));

// Values of every kind, read straight into a plain component tree.
class TValuesForm : public TForm {
 public:
  using TForm::TForm;
  void ButtonClicked(TObject*) {}
  void Key(TObject*, char&) {}
};

TEST(FormReaderValues, NumbersStringsAndHandlersTakeTheirPropertysKind) {
  RegisterControlProperties();
  TValuesForm form(nullptr);
  TFormBindings bindings;
  bindings.Handler("Click", &form, &TValuesForm::ButtonClicked)
      .Handler("Key", &form, &TValuesForm::Key);
  ReadLayoutText(form, R"(TValuesForm Values {
    # comments and blank lines are skipped

    Left = -20
    Top = $1F
    Color = $00F0FBFF
    Cursor = crHourGlass
    OnKeyPress = Key
    TScrollBar Bar {
      Min = -100
      Max = 2147483647
      Position = -5
    }
    TLabel Text {
      Caption = "tab\tquote\" back\\slash"
      OnClick = Click
    }
  })",
                 "inline.form", bindings);
  EXPECT_EQ(form.Left(), -20);
  EXPECT_EQ(form.Top(), 31);
  EXPECT_EQ(form.Color(), clCream);
  EXPECT_EQ(form.Cursor(), crHourGlass);
  EXPECT_TRUE(form.OnKeyPress);
  auto* bar = static_cast<TScrollBar*>(form.FindComponent("Bar"));
  EXPECT_EQ(bar->Min(), -100);
  EXPECT_EQ(bar->Max(), 2147483647);
  EXPECT_EQ(bar->Position(), -5);
  EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Text"))->Caption(),
            "tab\tquote\" back\\slash");
}

TEST(FormReaderValues, AHandlerOfAnotherSignatureIsRefused) {
  RegisterControlProperties();
  TValuesForm form(nullptr);
  TFormBindings bindings;
  bindings.Handler("Key", &form, &TValuesForm::Key);
  try {
    ReadLayoutText(form, "TValuesForm V {\n  TButton B {\n    OnClick = Key\n  }\n}\n", "h.form",
                   bindings);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string(e.what()),
              "h.form(3): OnClick: Property value is not a handler of the event's type");
  }
  // Numbers beyond 32 bits are no numbers.
  EXPECT_THROW(ReadLayoutText(form, "TValuesForm V {\n  Left = 99999999999\n}\n", "n.form", {}),
               EReadError);
}

// A non-visual component with a number property, registered by the test.
class TRatioHolder : public TComponent {
 public:
  using TComponent::TComponent;
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }

 private:
  double ratio_ = 0;
};

TEST(FormReaderValues, NonVisualComponentsTakeNumbersWithFractions) {
  RegisterControlProperties();
  TClassRegistrar<TRatioHolder, TComponent>("TRatioHolder")
      .Prop("Ratio", tkFloat, &TRatioHolder::Ratio, &TRatioHolder::SetRatio);
  RegisterComponentClass<TRatioHolder>("TRatioHolder");
  TValuesForm form(nullptr);
  ReadLayoutText(form, "TValuesForm V {\n  TRatioHolder R {\n    Ratio = -1.25\n  }\n}\n", "r.form",
                 {});
  auto* holder = static_cast<TRatioHolder*>(form.FindComponent("R"));
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->Ratio(), -1.25);
  EXPECT_EQ(holder->Owner(), &form);
  TValuesForm other(nullptr);
  EXPECT_THROW(
      ReadLayoutText(other, "TValuesForm V {\n  TRatioHolder R {\n    Ratio = 1.2.5\n  }\n}\n",
                     "r.form", {}),
      EReadError);
}

TEST(FormReaderLookup, AMissingLayoutIsAnError) {
  TForm form(nullptr);
  EXPECT_THROW(ReadLayout(form, "NoSuchLayout", TFormBindings{}), EReadError);
}

}  // namespace
}  // namespace plat
