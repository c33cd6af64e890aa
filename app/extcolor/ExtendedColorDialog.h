// Folder app/extcolor: the extended colour dialog, its preview and the arithmetic of its controls.
// Uses app/colors for the colour chain.
//
// The extended colour dialog: recolours the picture in a work file with the colour chain, shows
// a reduced preview that follows every control, and on OK writes the result back into the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/colors/ExtendedColorPipeline.h"
#include "graphics/controls/Image.h"
#include "graphics/controls/RangeBars.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

class TFormExtendedColor : public plat::TForm {
 public:
  explicit TFormExtendedColor(plat::TComponent* Owner);

  // Accepted for the hand-over's sake; they change nothing here.
  void SetAngle(int32_t) {}
  void SetMode(int32_t) {}
  void SetCombineMode(int32_t) {}
  void SetSteps(int32_t) {}
  void SetStepAngle(int32_t) {}
  // Takes the work file (a trailing "1" only marks a rotated picture and is dropped) and loads it.
  void SetFileName(const std::string& Path);
  const std::string& FileName() const { return fileName_; }
  // Reads the work file into Src, rebuilds the reduced copy, resets the algorithms, previews.
  void LoadSource();

  // True once the dialog closed by OK with a new picture in the work file (a changed setting or
  // a pasted picture); OK without either leaves the file as it was handed over.
  bool ResultWritten() const { return accepted_ && fileWritten_; }
  bool SettingsChanged() const { return settingsChanged_; }
  // Every value the chain would use now.
  TExtendedColorSettings CurrentSettings() const;

  // Shared handlers of the repeated control groups; Sender picks the group.
  void GaugeChange(plat::TObject* Sender);
  void EditChange(plat::TObject* Sender);
  void StepDownClick(plat::TObject* Sender);
  void StepUpClick(plat::TObject* Sender);
  void GaugeResetClick(plat::TObject* Sender);
  void InvertClick(plat::TObject* Sender);
  void AlgorithmClick(plat::TObject* Sender);
  void ThresholdClick(plat::TObject* Sender);
  void SenseClick(plat::TObject* Sender);
  void SwapClick(plat::TObject* Sender);
  // The buttons, timers and window events.
  void ButtonZeroClick(plat::TObject* Sender);
  void CloseButtonClick(plat::TObject* Sender);
  void Timer1Timer(plat::TObject* Sender);
  void CancelButtonClick(plat::TObject* Sender);
  void CopyButtonClick(plat::TObject* Sender);
  void PasteButtonClick(plat::TObject* Sender);
  void EnlargeButtonClick(plat::TObject* Sender);
  void Timer2Timer(plat::TObject* Sender);
  void FormResize(plat::TObject* Sender);

  gfx::TImage32* Src = nullptr;  // the whole picture, hidden
  gfx::TImage32* Tmp = nullptr;  // the reduced copy every preview starts from
  gfx::TImage32* Dst = nullptr;  // the preview
  plat::TPanel* SmallPanel = nullptr;
  plat::TPanel* Panel1 = nullptr;
  plat::TPanel* Panel2 = nullptr;
  plat::TCheckBox* Swap_RB = nullptr;
  plat::TCheckBox* Swap_RG = nullptr;
  plat::TCheckBox* Swap_GB = nullptr;
  plat::TButton* EnlargeButton = nullptr;
  plat::TButton* CopyButton = nullptr;
  plat::TButton* PasteButton = nullptr;
  plat::TButton* ResetButton = nullptr;
  plat::TButton* CancelButton = nullptr;
  plat::TButton* OkButton = nullptr;
  plat::TTimer* Timer1 = nullptr;
  plat::TTimer* Timer2 = nullptr;

 protected:
  // Leaving by any way but OK erases the work file, as Cancel does.
  void DoHide() override;

 private:
  // A gauge with its edit and its "-", "+" and "Reset" buttons.
  struct TGaugeGroup {
    gfx::TGaugeBar* Gauge = nullptr;
    plat::TEdit* Edit = nullptr;
    plat::TButton* Minus = nullptr;
    plat::TButton* Plus = nullptr;
    plat::TButton* Reset = nullptr;
    int32_t Default = 0;
    bool MarksChange = false;  // moving it changes the result (the inversion amounts do not)
    bool GammaText = false;
  };
  // An "Invert" box with its amount group, algorithm group and switch.
  struct TInvertGroup {
    plat::TCheckBox* Box = nullptr;
    TGaugeGroup* Amount = nullptr;
    plat::TRadioGroup* Algorithms = nullptr;
    TLogicalOperation TExtendedColorSettings::*Operation = nullptr;
  };
  struct TThresholdGroup {
    plat::TCheckBox* Box = nullptr;
    plat::TCheckBox* Sense = nullptr;
    TGaugeGroup* Level = nullptr;
    TChannelThreshold TExtendedColorSettings::*Threshold = nullptr;
  };
  struct TBalanceGroup {
    TGaugeGroup* Value = nullptr;
    plat::TRadioGroup* Algorithms = nullptr;
    TBalanceSection TExtendedColorSettings::*Section = nullptr;
  };

  void BindGroups();
  TGaugeGroup* GroupOf(plat::TObject* Sender);
  TGaugeGroup& Group(const std::string& GaugeName);
  void SetGroupEnabled(TGaugeGroup& Group, bool Enabled);
  // The gauge's position as its edit shows it.
  static std::string PositionText(const TGaugeGroup& Group);
  void StepGauge(plat::TObject* Sender, int32_t Step);
  // Rebuilds the reduced copy from Src for the preview's present size.
  void BuildReducedCopy();
  // Sets every algorithm group to its first item and every selection to 1.
  void ResetAlgorithms();
  // The chain on the reduced copy into the preview (MaxColors 1).
  void Preview();
  // The wait text over the preview while the whole picture is recoloured.
  void DrawWaitCaption();
  // Enables or disables everything the user could start while the final run is pending.
  void SetControlsEnabled(bool Enabled);

  std::vector<TGaugeGroup> gauges_;
  std::vector<TInvertGroup> inverts_;
  std::vector<TThresholdGroup> thresholds_;
  std::vector<TBalanceGroup> balances_;
  // Inversion switches, algorithm selections and the touched flag; the rest is read from the
  // controls.
  TExtendedColorSettings chosen_;
  std::string fileName_;
  bool settingsChanged_ = false;
  bool resetting_ = false;
  bool accepted_ = false;
  bool fileWritten_ = false;
  bool layoutFitted_ = false;
  int32_t enlargeWidth_ = 0;
  int32_t panel1Top_ = 0, panel2Top_ = 0;
};

}  // namespace app
