// The extended colour dialog's construction and the handlers of its control groups.
#include "app/extcolor/ExtendedColorDialog.h"

#include <initializer_list>

#include "app/extcolor/ExtendedColorDialogRules.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/drawing/Colors.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

struct TGaugeRow {
  const char* Gauge;
  const char* Edit;
  int32_t Default;
  bool MarksChange;
  bool GammaText;
};

constexpr TGaugeRow GaugeRows[] = {
    {"Amout_RGB", "Edit_InvertRGB", 128, false, false},
    {"Amout_R", "Edit_InvertR", 128, false, false},
    {"Amout_G", "Edit_InvertG", 128, false, false},
    {"Amout_B", "Edit_InvertB", 128, false, false},
    {"Color_RGB_Gauge", "Edit_BalanceRGB", 0, true, false},
    {"Color_R_Gauge", "Edit_BalanceR", 0, true, false},
    {"Color_G_Gauge", "Edit_BalanceG", 0, true, false},
    {"Color_B_Gauge", "Edit_BalanceB", 0, true, false},
    {"Bright_Gauge", "Edit_Bright", 0, true, false},
    {"Contrast_Gauge", "Edit_Contrast", 0, true, false},
    {"Gamma_Gauge", "Edit_Gamma", 100, true, true},
    {"Saturation_Gauge_RGB", "Edit_Saturation_RGB", 100, true, false},
    {"Saturation_Gauge_R", "Edit_Saturation_R", 100, true, false},
    {"Saturation_Gauge_G", "Edit_Saturation_G", 100, true, false},
    {"Saturation_Gauge_B", "Edit_Saturation_B", 100, true, false},
    {"Supress_Gauge_R", "Supress_Edit_R", 128, true, false},
    {"Supress_Gauge_G", "Supress_Edit_G", 128, true, false},
    {"Supress_Gauge_B", "Supress_Edit_B", 128, true, false},
};

// The suffixes of the RGB, red, green and blue groups.
constexpr const char* ChannelKeys[] = {"RGB", "R", "G", "B"};

template <class T>
T* Named(plat::TComponent& Form, const std::string& Name) {
  T* control = dynamic_cast<T*>(Form.FindComponent(Name));
  if (!control) throw plat::EComponentError("The layout lacks the control " + Name);
  return control;
}

}  // namespace

TFormExtendedColor::TFormExtendedColor(plat::TComponent* Owner) : plat::TForm(Owner) {
  RegisterEditorControlClasses();
  plat::TFormBindings b;
  b.Handler("GaugeChange", this, &TFormExtendedColor::GaugeChange)
      .Handler("EditChange", this, &TFormExtendedColor::EditChange)
      .Handler("StepDownClick", this, &TFormExtendedColor::StepDownClick)
      .Handler("StepUpClick", this, &TFormExtendedColor::StepUpClick)
      .Handler("GaugeResetClick", this, &TFormExtendedColor::GaugeResetClick)
      .Handler("InvertClick", this, &TFormExtendedColor::InvertClick)
      .Handler("AlgorithmClick", this, &TFormExtendedColor::AlgorithmClick)
      .Handler("ThresholdClick", this, &TFormExtendedColor::ThresholdClick)
      .Handler("SenseClick", this, &TFormExtendedColor::SenseClick)
      .Handler("SwapClick", this, &TFormExtendedColor::SwapClick)
      .Handler("ButtonZeroClick", this, &TFormExtendedColor::ButtonZeroClick)
      .Handler("CloseButtonClick", this, &TFormExtendedColor::CloseButtonClick)
      .Handler("Timer1Timer", this, &TFormExtendedColor::Timer1Timer)
      .Handler("CancelButtonClick", this, &TFormExtendedColor::CancelButtonClick)
      .Handler("CopyButtonClick", this, &TFormExtendedColor::CopyButtonClick)
      .Handler("PasteButtonClick", this, &TFormExtendedColor::PasteButtonClick)
      .Handler("EnlargeButtonClick", this, &TFormExtendedColor::EnlargeButtonClick)
      .Handler("Timer2Timer", this, &TFormExtendedColor::Timer2Timer)
      .Handler("FormResize", this, &TFormExtendedColor::FormResize)
      .Field("Src", Src)
      .Field("Tmp", Tmp)
      .Field("Dst", Dst)
      .Field("SmallPanel", SmallPanel)
      .Field("Panel1", Panel1)
      .Field("Panel2", Panel2)
      .Field("Swap_RB", Swap_RB)
      .Field("Swap_RG", Swap_RG)
      .Field("Swap_GB", Swap_GB)
      .Field("EnlargeButton", EnlargeButton)
      .Field("CopyButton", CopyButton)
      .Field("PasteButton", PasteButton)
      .Field("ResetButton", ResetButton)
      .Field("CancelButton", CancelButton)
      .Field("OkButton", OkButton)
      .Field("Timer1", Timer1)
      .Field("Timer2", Timer2);
  LoadFromLayout("ExtendedColor", b);
  BindGroups();
  enlargeWidth_ = EnlargeButton->Width() - 12;
  panel1Top_ = Panel1->Top() + 25;
  panel2Top_ = Panel2->Top() + 25;
  Timer2->SetEnabled(true);
}

void TFormExtendedColor::BindGroups() {
  gauges_.reserve(std::size(GaugeRows));
  for (const TGaugeRow& row : GaugeRows) {
    TGaugeGroup g;
    g.Gauge = Named<gfx::TGaugeBar>(*this, row.Gauge);
    g.Edit = Named<plat::TEdit>(*this, row.Edit);
    g.Minus = Named<plat::TButton>(*this, std::string("Minus_") + row.Gauge);
    g.Plus = Named<plat::TButton>(*this, std::string("Plus_") + row.Gauge);
    g.Reset = Named<plat::TButton>(*this, std::string("Reset_") + row.Gauge);
    g.Default = row.Default;
    g.MarksChange = row.MarksChange;
    g.GammaText = row.GammaText;
    gauges_.push_back(g);
  }
  using S = TExtendedColorSettings;
  constexpr TLogicalOperation S::*operations[] = {&S::LogicalRGB, &S::LogicalR, &S::LogicalG,
                                                  &S::LogicalB};
  constexpr TBalanceSection S::*sections[] = {&S::BalanceRGB, &S::BalanceR, &S::BalanceG,
                                              &S::BalanceB};
  constexpr TChannelThreshold S::*channels[] = {&S::ThresholdR, &S::ThresholdG, &S::ThresholdB};
  for (size_t i = 0; i < 4; ++i) {
    const std::string key = ChannelKeys[i];
    inverts_.push_back({Named<plat::TCheckBox>(*this, "Invert_" + key), &Group("Amout_" + key),
                        Named<plat::TRadioGroup>(*this, "LogicalFunc_" + key), operations[i]});
    balances_.push_back({&Group("Color_" + key + "_Gauge"),
                         Named<plat::TRadioGroup>(*this, "MaxPixelGroup_" + key), sections[i]});
    if (i == 0) continue;
    thresholds_.push_back({Named<plat::TCheckBox>(*this, "Threshold_" + key),
                           Named<plat::TCheckBox>(*this, "Sense_" + key),
                           &Group("Supress_Gauge_" + key), channels[i - 1]});
  }
}

TFormExtendedColor::TGaugeGroup* TFormExtendedColor::GroupOf(plat::TObject* Sender) {
  for (TGaugeGroup& g : gauges_)
    if (Sender == g.Gauge || Sender == g.Edit || Sender == g.Minus || Sender == g.Plus ||
        Sender == g.Reset)
      return &g;
  return nullptr;
}

TFormExtendedColor::TGaugeGroup& TFormExtendedColor::Group(const std::string& GaugeName) {
  for (TGaugeGroup& g : gauges_)
    if (g.Gauge->Name() == GaugeName) return g;
  throw plat::EComponentError("No gauge group " + GaugeName);
}

TExtendedColorSettings TFormExtendedColor::CurrentSettings() const {
  TExtendedColorSettings s = chosen_;
  for (const TInvertGroup& g : inverts_) (s.*g.Operation).Amount = g.Amount->Gauge->Position();
  for (const TBalanceGroup& g : balances_) (s.*g.Section).Value = g.Value->Gauge->Position();
  for (const TThresholdGroup& g : thresholds_) {
    TChannelThreshold& t = s.*g.Threshold;
    t.Enabled = g.Box->Checked();
    t.Above = g.Sense->Checked();
    t.Level = g.Level->Gauge->Position();
  }
  auto position = [this](const char* name) {
    return const_cast<TFormExtendedColor*>(this)->Group(name).Gauge->Position();
  };
  s.Brightness = position("Bright_Gauge");
  s.Contrast = position("Contrast_Gauge");
  s.Gamma = position("Gamma_Gauge");
  s.SaturationRGB = position("Saturation_Gauge_RGB");
  s.SaturationR = position("Saturation_Gauge_R");
  s.SaturationG = position("Saturation_Gauge_G");
  s.SaturationB = position("Saturation_Gauge_B");
  s.SwapRedBlue = Swap_RB->Checked();
  s.SwapRedGreen = Swap_RG->Checked();
  s.SwapGreenBlue = Swap_GB->Checked();
  return s;
}

void TFormExtendedColor::SetGroupEnabled(TGaugeGroup& Group, bool Enabled) {
  for (plat::TControl* c : std::initializer_list<plat::TControl*>{
           Group.Gauge, Group.Edit, Group.Minus, Group.Plus, Group.Reset})
    c->SetEnabled(Enabled);
  Group.Edit->SetColor(Enabled ? plat::clWindow : plat::clCream);
}

std::string TFormExtendedColor::PositionText(const TGaugeGroup& Group) {
  const int32_t position = Group.Gauge->Position();
  return Group.GammaText ? GammaText(position) : plat::IntToStr(position);
}

void TFormExtendedColor::GaugeChange(plat::TObject* Sender) {
  TGaugeGroup* g = GroupOf(Sender);
  if (!g) return;
  g->Edit->SetText(PositionText(*g));
  if (g->MarksChange) settingsChanged_ = true;
  Preview();
}

void TFormExtendedColor::EditChange(plat::TObject* Sender) {
  TGaugeGroup* g = GroupOf(Sender);
  int32_t value = 0;
  if (!g || !plat::TryStrToInt(g->Edit->Text(), value)) return;
  if (value < g->Gauge->Min() || value > g->Gauge->Max()) return;
  g->Gauge->SetPosition(value);
}

void TFormExtendedColor::StepGauge(plat::TObject* Sender, int32_t Step) {
  TGaugeGroup* g = GroupOf(Sender);
  if (!g) return;
  if (g->MarksChange) settingsChanged_ = true;
  g->Gauge->SetPosition(
      SteppedPosition(g->Gauge->Position(), Step, g->Gauge->Min(), g->Gauge->Max()));
}

void TFormExtendedColor::StepDownClick(plat::TObject* Sender) {
  StepGauge(Sender, -25);
}

void TFormExtendedColor::StepUpClick(plat::TObject* Sender) {
  StepGauge(Sender, 25);
}

void TFormExtendedColor::GaugeResetClick(plat::TObject* Sender) {
  if (TGaugeGroup* g = GroupOf(Sender)) g->Gauge->SetPosition(g->Default);
}

void TFormExtendedColor::InvertClick(plat::TObject* Sender) {
  for (TInvertGroup& g : inverts_) {
    if (Sender != g.Box) continue;
    const bool on = g.Box->Checked();
    SetGroupEnabled(*g.Amount, on);
    g.Algorithms->SetEnabled(on);
    (chosen_.*g.Operation).Enabled = on;
    settingsChanged_ = true;
    Preview();
  }
}

void TFormExtendedColor::AlgorithmClick(plat::TObject* Sender) {
  auto selected = [Sender](plat::TRadioGroup* group) {
    return Sender == group ? group->ItemIndex() + 1 : 0;
  };
  for (TInvertGroup& g : inverts_)
    if (int32_t choice = selected(g.Algorithms); choice > 0)
      (chosen_.*g.Operation).Function = choice;
  for (TBalanceGroup& g : balances_)
    if (int32_t choice = selected(g.Algorithms); choice > 0)
      (chosen_.*g.Section).Algorithm = choice;
  Preview();
}

void TFormExtendedColor::ThresholdClick(plat::TObject* Sender) {
  for (TThresholdGroup& g : thresholds_) {
    if (Sender != g.Box) continue;
    const bool on = g.Box->Checked();
    SetGroupEnabled(*g.Level, on);
    g.Sense->SetEnabled(on);
    chosen_.ThresholdTouched = true;
    settingsChanged_ = true;
    Preview();
  }
}

void TFormExtendedColor::SenseClick(plat::TObject* Sender) {
  for (TThresholdGroup& g : thresholds_)
    if (Sender == g.Sense) g.Sense->SetCaption(g.Sense->Checked() ? "<" : ">");
  settingsChanged_ = true;
  Preview();
}

void TFormExtendedColor::SwapClick(plat::TObject*) {
  settingsChanged_ = true;
  Preview();
}

}  // namespace app
