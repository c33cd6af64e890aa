// Folder app/newpicture: the new-picture dialog.
//
// The new-picture dialog: the size and background colour of a blank picture. Kept for the whole
// run; the main window fills it in before every showing and reads the up-down positions after OK.
#pragma once

#include "platform/windows/Buttons.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

class TNewImageForm : public plat::TForm {
 public:
  explicit TNewImageForm(plat::TComponent* owner);

  // The colour dialog starts at the panel's colour; only a confirmed choice reaches the panel.
  void btSelectClick(plat::TObject* Sender);
  // A size preset writes the two edits; the up-down controls follow them.
  void PresetClick(plat::TObject* Sender);

  plat::TLabel* lbWidth = nullptr;
  plat::TEdit* ImageWidth = nullptr;
  plat::TUpDown* btUpDownWidth = nullptr;
  plat::TLabel* lbWidthUnit = nullptr;
  plat::TLabel* lbHeight = nullptr;
  plat::TEdit* ImageHeight = nullptr;
  plat::TUpDown* btUpDownHeight = nullptr;
  plat::TLabel* lbHeightUnit = nullptr;
  plat::TLabel* lbBackgroundColor = nullptr;
  plat::TPanel* pnColor = nullptr;
  plat::TButton* btSelect = nullptr;
  plat::TColorDialog* ColorDialog = nullptr;
  plat::TButton* ButtonHD = nullptr;
  plat::TButton* ButtonFullHD = nullptr;
  plat::TButton* Button4K = nullptr;
  plat::TButton* Button5K = nullptr;
  plat::TButton* btOK = nullptr;
  plat::TButton* btCancel = nullptr;
};

}  // namespace app
