// Folder app/rotate: the rotation dialog and its stamped copies.
//
// The rotation dialog: turns a layer picture about its centre, or stamps turned copies of it
// around its centre on one canvas. The picture comes and goes through a work file: OK writes the
// canvas into it as a 32-bit BMP, every other way out erases it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/controls/Image.h"
#include "graphics/controls/RangeBars.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// Appended to the work file's path when the picture was turned before (and so already carries
// a canvas with room for turning).
inline constexpr char RotatedBeforeMark = '1';

// Side of the square canvas for a picture whose larger side is LargerSide; raises when such a
// canvas would exceed the picture size limits.
int32_t RotateCanvasSide(int32_t LargerSide, bool RotatedBefore);

// The start angle brought once towards -359..359 from either side.
int32_t FoldStartAngle(int32_t Angle);

class TFormRotateExample : public plat::TForm {
 public:
  explicit TFormRotateExample(plat::TComponent* Owner);

  // Values for the next picture; SetFileName loads and shows it, so they come first.
  void SetAngle(int32_t Value);
  void SetMode(int32_t Value);
  void SetCombineMode(int32_t Value);
  void SetSteps(int32_t Value);
  void SetStepAngle(int32_t Value);
  // Takes the work file (with the rotated-before mark when it ends in one) and renders it.
  void SetFileName(const std::string& Path);
  int32_t GetAngle() const;
  int32_t GetSteps() const;
  int32_t GetStepAngle() const;
  // Whether OK wrote the canvas into the work file: the only result to take back.
  bool ResultWritten() const { return resultWritten_; }

  void FormCreate(plat::TObject* Sender);
  void AngleChange(plat::TObject* Sender);
  void CloseButtonClick(plat::TObject* Sender);
  void Button90Click(plat::TObject* Sender);
  void Button180Click(plat::TObject* Sender);
  void Button270Click(plat::TObject* Sender);
  void Button360Click(plat::TObject* Sender);
  void ButtonZeroClick(plat::TObject* Sender);
  void StepButtonClick(plat::TObject* Sender);
  void CopyButtonClick(plat::TObject* Sender);
  void PasteButtonClick(plat::TObject* Sender);
  void CancelButtonClick(plat::TObject* Sender);
  void Timer1Timer(plat::TObject* Sender);

  // Draws the source turned by Alpha degrees onto the canvas (cleared first unless stamping).
  void ScaleRot(float Alpha);
  void LoadSource(const std::string& Path);
  void AngleChangeLoop();

  gfx::TImage32* Dst = nullptr;
  gfx::TImage32* Src = nullptr;
  gfx::TGaugeBar* Angle = nullptr;
  plat::TLabel* Label1 = nullptr;
  plat::TLabel* Label2 = nullptr;
  plat::TLabel* Label3 = nullptr;
  plat::TLabel* Label4 = nullptr;
  plat::TEdit* StepsEdit = nullptr;
  plat::TEdit* AngleEdit = nullptr;
  plat::TButton* CloseButton = nullptr;
  plat::TButton* Button90 = nullptr;
  plat::TButton* Button180 = nullptr;
  plat::TButton* Button270 = nullptr;
  plat::TButton* Button360 = nullptr;
  plat::TButton* ButtonZero = nullptr;
  plat::TButton* StepButton = nullptr;
  plat::TButton* CancelButton = nullptr;
  plat::TButton* CopyButton = nullptr;
  plat::TButton* PasteButton = nullptr;
  plat::TTimer* Timer1 = nullptr;

 protected:
  void DoShow() override;
  // Leaving without OK erases the work file, so the caller never takes back a picture that
  // was not confirmed.
  void DoHide() override;

 private:
  // The work file's picture, refused when it is empty or its canvas would be too large.
  std::unique_ptr<gfx::TBitmap32> ReadSource(const std::string& Path) const;
  // Makes Picture the source and renders it on a canvas of its size.
  void ShowSource(const gfx::TBitmap32& Picture);
  // The four angle buttons: the gauge is set to Degrees, then rendered.
  void SetAngleFromButton(int32_t Degrees);
  bool resultWritten_ = false;
};

}  // namespace app
