// Folder app/tools: the layer tools and picture tools menus.
//
// The layer tools and picture tools menus: small modal windows that only collect one choice
// (a colour interaction, a function, or the invert and grey switches); the main window reads the
// values back after the run and carries them out.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// Both menus: the same controls and values, read from a layout that gives the caption, the
// colour and the item lists. Every click that picks something sets its value and ends the run.
class TToolsMenuForm : public plat::TForm {
 public:
  // Each setter also shows the value in its control.
  void SetColorMode(int32_t Index);
  // -1 selects no function.
  void SetFrameFunction(int32_t Index);
  void SetInvertRGB(bool Value);
  void SetGrayScale(bool Value);

  int32_t ColorMode() const { return colorMode_; }
  int32_t FrameFunction() const { return frameFunction_; }
  bool InvertRGB() const { return invertRGB_; }
  bool GrayScale() const { return grayScale_; }

  void ColorRadioGroupClick(plat::TObject* Sender);
  void FunctionRadioGroupClick(plat::TObject* Sender);
  void InvertCheckBoxClick(plat::TObject* Sender);
  void GrayCheckBoxClick(plat::TObject* Sender);

  plat::TColorGrid* ColorGrid1 = nullptr;
  plat::TButton* OkButton = nullptr;
  plat::TButton* CancelButton = nullptr;
  plat::TRadioGroup* ColorRadioGroup = nullptr;
  plat::TRadioGroup* FunctionRadioGroup = nullptr;
  plat::TPanel* Panel1 = nullptr;
  plat::TCheckBox* InvertCheckBox = nullptr;
  plat::TCheckBox* GrayCheckBox = nullptr;

 protected:
  TToolsMenuForm(plat::TComponent* Owner, std::string_view LayoutName);

 private:
  int32_t colorMode_ = 0;
  int32_t frameFunction_ = -1;
  bool invertRGB_ = false;
  bool grayScale_ = false;
};

// What to do to the selected layer ("Frame Menu").
class TColorFunctionsForm : public TToolsMenuForm {
 public:
  explicit TColorFunctionsForm(plat::TComponent* Owner);
};

// What to do to the background picture ("Picture Menu").
class TBGPictFunctionsForm : public TToolsMenuForm {
 public:
  explicit TBGPictFunctionsForm(plat::TComponent* Owner);
};

// The layer tools' functions, by item index.
enum TFrameFunction : int32_t {
  ffFlipHorz,
  ffFlipVert,
  ffRotate90,
  ffRotate180,
  ffRotate270,
  ffRotationTools,
  ffRotationToolsFilling,
  ffExtendedColor,
  ffCopyToClipboard,
  ffErase,
};

// The picture tools' functions, by item index.
enum TPictureFunction : int32_t {
  pfFlipHorz,
  pfFlipVert,
  pfRotate90,
  pfRotate180,
  pfRotate270,
  pfExtendedColor,
};

}  // namespace app
