#include "app/rotate/RotateDialog.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

#include "app/colors/ColorInteraction.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/RoadTexts.h"
#include "app/rotate/TurnPicture.h"
#include "graphics/bitmap/Bitmap32Format.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

constexpr std::string_view AngleLabelText = "Angle : ";
constexpr std::string_view OldAngleLabelText = "(Old : ";
constexpr std::string_view DegreeSign = "°";
constexpr std::string_view TooLargeText = "The picture is too large to rotate: ";
constexpr std::string_view EmptyPictureText = "The picture to rotate is empty.";

// Room around the picture so that any turn of it fits on the canvas; a picture turned before
// already brings most of that room with it.
constexpr double FirstTurnMargin = 1.45, LaterTurnMargin = 1.05;

// The edits' values when the stored ones are 0, and the single step of plain rotation.
constexpr std::string_view DefaultStepsText = "12", DefaultStepAngleText = "30";
constexpr std::string_view RotateStepsText = "1", RotateStepAngleText = "6";
constexpr int32_t DefaultSteps = 12, DefaultStepAngle = 30;
constexpr int32_t MaxSteps = 360, MaxStepAngle = 360;

// Label1 sits this far below the canvas, higher when the old angle is shown under it.
constexpr int32_t AngleLabelGap = 14, AngleLabelGapWithOld = 5;

// Below this screen height the dialog is made lower so that its buttons stay on the screen.
constexpr int32_t SmallScreenHeight = 750, SmallScreenDialogHeight = 590;

// The values of the dialog outlive it: they are shared by the dialogs of one run.
struct TRotateDialogState {
  int32_t CurrentAngle = 0;
  int32_t StartAngle = 0;
  int32_t RotateMode = 0;
  int32_t RotateCombineMode = 0;
  int32_t RotateSteps = 0;
  int32_t RotateStepAngle = 0;
  std::string WorkFileName;
  bool RotatedBefore = false;
  bool FirstRenderDone = false;
  bool SkipNextRender = false;
};

TRotateDialogState& State() {
  static TRotateDialogState state;
  return state;
}

bool Stamping() {
  return State().RotateMode == 2;
}

// Whole numbers in Low..High as typed, or nothing.
std::optional<int32_t> NumberIn(const std::string& text, int32_t low, int32_t high) {
  int32_t value = 0;
  if (!plat::TryStrToInt(text, value) || value < low || value > high) return std::nullopt;
  return value;
}

// The edit's number when it lies in Low..High; otherwise the edit is set to the fallback.
int32_t EditNumber(plat::TEdit& edit, int32_t low, int32_t high, int32_t fallback) {
  if (std::optional<int32_t> value = NumberIn(edit.Text(), low, high)) return *value;
  edit.SetText(plat::IntToStr(fallback));
  return fallback;
}

// The clipboard's picture as a 32-bit BMP at Path; false (after saying so) when there is none.
bool SaveClipboardAsBitmapFile(const std::string& path) {
  std::unique_ptr<plat::TBitmap> bitmap;
  if (plat::Clipboard().HasFormat(plat::CF_BITMAP)) bitmap = plat::Clipboard().GetBitmap();
  if (!bitmap || bitmap->Empty()) {
    plat::ShowMessage(std::string(NoPictureText));
    return false;
  }
  gfx::TBitmap32 picture;
  picture.Assign(*bitmap);
  // Refused before the work file changes.
  RotateCanvasSide(std::max(picture.Width(), picture.Height()), false);
  picture.SaveToFile(path);
  return true;
}

class TImageUpdate {
 public:
  explicit TImageUpdate(gfx::TCustomImage32& image) : image_(image) { image_.BeginUpdate(); }
  ~TImageUpdate() { image_.EndUpdate(); }
  TImageUpdate(const TImageUpdate&) = delete;
  TImageUpdate& operator=(const TImageUpdate&) = delete;

 private:
  gfx::TCustomImage32& image_;
};

}  // namespace

int32_t RotateCanvasSide(int32_t LargerSide, bool RotatedBefore) {
  const int64_t side =
      plat::Round(double(LargerSide) * (RotatedBefore ? LaterTurnMargin : FirstTurnMargin));
  if (auto reason = gfx::bitmap32_format::CheckSize(side, side))
    throw gfx::EBitmapException(std::string(TooLargeText) + "a canvas of " + plat::IntToStr(side) +
                                " x " + plat::IntToStr(side) + " pixels (" + *reason + ").");
  return int32_t(side);
}

int32_t FoldStartAngle(int32_t Angle) {
  // One step each way, not a remainder: 725 stays above 359.
  if (Angle >= 360) Angle -= 360;
  if (Angle <= -360) Angle += 360;
  return Angle;
}

TFormRotateExample::TFormRotateExample(plat::TComponent* Owner) : plat::TForm(Owner) {
  RegisterEditorControlClasses();
  plat::TFormBindings b;
  b.Handler("FormCreate", this, &TFormRotateExample::FormCreate)
      .Handler("AngleChange", this, &TFormRotateExample::AngleChange)
      .Handler("CloseButtonClick", this, &TFormRotateExample::CloseButtonClick)
      .Handler("Button90Click", this, &TFormRotateExample::Button90Click)
      .Handler("Button180Click", this, &TFormRotateExample::Button180Click)
      .Handler("Button270Click", this, &TFormRotateExample::Button270Click)
      .Handler("Button360Click", this, &TFormRotateExample::Button360Click)
      .Handler("ButtonZeroClick", this, &TFormRotateExample::ButtonZeroClick)
      .Handler("StepButtonClick", this, &TFormRotateExample::StepButtonClick)
      .Handler("CopyButtonClick", this, &TFormRotateExample::CopyButtonClick)
      .Handler("PasteButtonClick", this, &TFormRotateExample::PasteButtonClick)
      .Handler("CancelButtonClick", this, &TFormRotateExample::CancelButtonClick)
      .Handler("Timer1Timer", this, &TFormRotateExample::Timer1Timer)
      .Field("Dst", Dst)
      .Field("Src", Src)
      .Field("Angle", Angle)
      .Field("Label1", Label1)
      .Field("Label2", Label2)
      .Field("Label3", Label3)
      .Field("Label4", Label4)
      .Field("StepsEdit", StepsEdit)
      .Field("AngleEdit", AngleEdit)
      .Field("CloseButton", CloseButton)
      .Field("Button90", Button90)
      .Field("Button180", Button180)
      .Field("Button270", Button270)
      .Field("Button360", Button360)
      .Field("ButtonZero", ButtonZero)
      .Field("StepButton", StepButton)
      .Field("CancelButton", CancelButton)
      .Field("CopyButton", CopyButton)
      .Field("PasteButton", PasteButton)
      .Field("Timer1", Timer1);
  LoadFromLayout("RotateExample", b);
}

void TFormRotateExample::FormCreate(plat::TObject*) {
  // The bitmaps' settings are not layout properties.
  Dst->Bitmap().SetResamplerClassName("TNearestResampler");
  Src->Bitmap().SetDrawMode(gfx::dmBlend);
  Src->Bitmap().SetResamplerClassName("TLinearResampler");
  // The plain style, so that the gauge shows its own colours.
  Angle->SetStyle(gfx::rbsMac);
  Angle->SetHandleColor(plat::clSkyBlue);
  State().FirstRenderDone = false;
  Timer1->SetEnabled(true);
}

void TFormRotateExample::SetAngle(int32_t Value) {
  State().CurrentAngle = Value;
}
void TFormRotateExample::SetMode(int32_t Value) {
  State().RotateMode = Value;
}
void TFormRotateExample::SetCombineMode(int32_t Value) {
  State().RotateCombineMode = Value;
}
void TFormRotateExample::SetSteps(int32_t Value) {
  State().RotateSteps = Value;
}
void TFormRotateExample::SetStepAngle(int32_t Value) {
  State().RotateStepAngle = Value;
}
int32_t TFormRotateExample::GetAngle() const {
  return State().CurrentAngle;
}
int32_t TFormRotateExample::GetSteps() const {
  return State().RotateSteps;
}
int32_t TFormRotateExample::GetStepAngle() const {
  return State().RotateStepAngle;
}

void TFormRotateExample::SetFileName(const std::string& Path) {
  TRotateDialogState& s = State();
  s.WorkFileName = Path;
  s.RotatedBefore = !Path.empty() && Path.back() == RotatedBeforeMark;
  if (s.RotatedBefore) s.WorkFileName.pop_back();
  LoadSource(s.WorkFileName);
}

void TFormRotateExample::LoadSource(const std::string& Path) {
  ShowSource(*ReadSource(Path));
}

std::unique_ptr<gfx::TBitmap32> TFormRotateExample::ReadSource(const std::string& Path) const {
  auto picture = std::make_unique<gfx::TBitmap32>();
  picture->LoadFromFile(Path);
  if (picture->Empty()) throw gfx::EBitmapException(std::string(EmptyPictureText));
  RotateCanvasSide(std::max(picture->Width(), picture->Height()), State().RotatedBefore);
  return picture;
}

void TFormRotateExample::ShowSource(const gfx::TBitmap32& Picture) {
  gfx::TBitmap32& source = Src->Bitmap();
  // Only the pixels: the source keeps its own drawing settings.
  Picture.CopyMapTo(source);
  source.Changed();
  const int32_t side =
      RotateCanvasSide(std::max(source.Width(), source.Height()), State().RotatedBefore);
  // The same size keeps the canvas's pixels, which stamping draws over.
  Dst->Bitmap().SetSize(side, side);
  ScaleRot(0);
  if (State().RotateMode != 1) {
    for (plat::TControl* c :
         std::initializer_list<plat::TControl*>{StepButton, StepsEdit, AngleEdit, Label3, Label4}) {
      c->SetEnabled(true);
      c->SetVisible(true);
    }
  }
}

void TFormRotateExample::ScaleRot(float Alpha) {
  TRotateDialogState& s = State();
  if (!s.FirstRenderDone) {
    s.FirstRenderDone = true;
    s.StartAngle = s.CurrentAngle;
    StepsEdit->SetText(plat::IntToStr(s.RotateSteps));
    AngleEdit->SetText(plat::IntToStr(s.RotateStepAngle));
    if (StepsEdit->Text() == "0") StepsEdit->SetText(std::string(DefaultStepsText));
    if (AngleEdit->Text() == "0") AngleEdit->SetText(std::string(DefaultStepAngleText));
    if (!Stamping()) {
      StepsEdit->SetText(std::string(RotateStepsText));
      AngleEdit->SetText(std::string(RotateStepAngleText));
    }
    s.StartAngle = FoldStartAngle(s.StartAngle);
  }

  const int32_t canvasBottom = Dst->Top() + Dst->Height();
  if (s.StartAngle != 0) {
    Label1->SetTop(canvasBottom + AngleLabelGapWithOld);
    Label2->SetVisible(true);
    Label2->SetCaption(std::string(OldAngleLabelText) + plat::IntToStr(s.StartAngle) +
                       std::string(DegreeSign) + ")");
  } else {
    Label1->SetTop(canvasBottom + AngleLabelGap);
  }
  Label1->SetCaption(std::string(AngleLabelText) + plat::IntToStr(Angle->Position()) +
                     std::string(DegreeSign));

  const gfx::TBitmap32& source = Src->Bitmap();
  gfx::TBitmap32& canvas = Dst->Bitmap();
  {
    TImageUpdate update(*Dst);
    if (!Stamping()) canvas.ClearWithColor(0x00000000);
    // The picture centred on the canvas to the whole pixel, so that a turn by nothing resamples
    // nothing, and turned about its own centre, which stamped copies then share.
    DrawTurned(canvas, source, TurnOffset(canvas.Width(), source.Width()),
               TurnOffset(canvas.Height(), source.Height()), Alpha, Stamping());
    canvas.Changed();
    // Only how the canvas is shown (and copied) follows the interaction; its pixels stay.
    if (s.RotateCombineMode != 0) {
      canvas.SetDrawMode(gfx::dmCustom);
      canvas.OnPixelCombine = RotationDialogInteraction().Handler(s.RotateCombineMode);
      canvas.Changed();
    }
  }
  Dst->Repaint();
}

void TFormRotateExample::AngleChange(plat::TObject*) {
  TRotateDialogState& s = State();
  if (!s.SkipNextRender) ScaleRot(-float(Angle->Position()));
  s.CurrentAngle = Angle->Position() + s.StartAngle;
  s.SkipNextRender = false;
}

void TFormRotateExample::AngleChangeLoop() {
  const int32_t position = Angle->Position();
  if (Stamping()) {
    for (int32_t i = 1; i <= position; ++i) ScaleRot(-float(i));
  } else {
    ScaleRot(-float(position));
  }
  State().CurrentAngle = position + State().StartAngle;
}

void TFormRotateExample::SetAngleFromButton(int32_t Degrees) {
  // Stamping draws its own copies below; the gauge's render would add a stray one.
  if (Stamping()) State().SkipNextRender = true;
  Angle->SetPosition(Degrees);
  AngleChangeLoop();
}

void TFormRotateExample::Button90Click(plat::TObject*) {
  SetAngleFromButton(45);
}
void TFormRotateExample::Button180Click(plat::TObject*) {
  SetAngleFromButton(90);
}
void TFormRotateExample::Button270Click(plat::TObject*) {
  SetAngleFromButton(135);
}
void TFormRotateExample::Button360Click(plat::TObject*) {
  SetAngleFromButton(180);
}

void TFormRotateExample::ButtonZeroClick(plat::TObject*) {
  // Read first: a work file that cannot be read leaves the picture and the canvas as they are.
  std::unique_ptr<gfx::TBitmap32> picture = ReadSource(State().WorkFileName);
  Src->Bitmap().Clear();
  Dst->Bitmap().Clear();
  if (Stamping()) State().SkipNextRender = true;
  Angle->SetPosition(0);
  ShowSource(*picture);
}

void TFormRotateExample::StepButtonClick(plat::TObject*) {
  TRotateDialogState& s = State();
  const int32_t stepAngle = EditNumber(*AngleEdit, -MaxStepAngle, MaxStepAngle, DefaultStepAngle);
  s.RotateStepAngle = stepAngle;
  if (!Stamping()) {
    // The gauge stops at its ends; its change event renders.
    Angle->SetPosition(Angle->Position() + stepAngle);
  } else {
    const int32_t steps = EditNumber(*StepsEdit, 1, MaxSteps, DefaultSteps);
    s.RotateSteps = steps;
    for (int32_t i = 1; i <= steps; ++i) ScaleRot(-float(stepAngle * i));
  }
  s.CurrentAngle = Angle->Position() + s.StartAngle;
}

void TFormRotateExample::CloseButtonClick(plat::TObject*) {
  {
    TWaitCursor wait;
    Dst->Bitmap().SaveToFile(State().WorkFileName);
    resultWritten_ = true;
  }
  // The caller goes by the work file, not by the result.
  SetModalResult(plat::mrCancel);
}

void TFormRotateExample::CancelButtonClick(plat::TObject*) {
  const std::string& file = State().WorkFileName;
  if (plat::FileExists(file)) plat::DeleteFile(file);
}

void TFormRotateExample::DoShow() {
  resultWritten_ = false;
  plat::TForm::DoShow();
}

void TFormRotateExample::DoHide() {
  if (!resultWritten_) CancelButtonClick(this);
  plat::TForm::DoHide();
}

void TFormRotateExample::CopyButtonClick(plat::TObject*) {
  {
    TWaitCursor wait;
    const gfx::TBitmap32& canvas = Dst->Bitmap();
    gfx::TBitmap32 shown;
    shown.SetSize(canvas.Width(), canvas.Height());
    // The canvas as the dialog shows it: over the silver ground, through the interaction, opaque.
    Dst->PaintTo(&shown, shown.BoundsRect());
    shown.SetAllAlpha(255);
    CopyPictureToClipboard(shown);
  }
  plat::Application().ProcessMessages();
}

void TFormRotateExample::PasteButtonClick(plat::TObject* Sender) {
  bool pasted = false;
  {
    TWaitCursor wait;
    pasted = SaveClipboardAsBitmapFile(State().WorkFileName);
  }
  if (pasted) {
    for (gfx::TBitmap32* b : {&Src->Bitmap(), &Dst->Bitmap()}) {
      b->OnPixelCombine = nullptr;
      b->SetDrawMode(gfx::dmBlend);
    }
    State().RotateCombineMode = 0;
    State().RotatedBefore = false;
    ButtonZeroClick(Sender);
  }
  plat::Application().ProcessMessages();
}

void TFormRotateExample::Timer1Timer(plat::TObject*) {
  Timer1->SetEnabled(false);
  // Every dialog on a low screen, so that OK and Cancel can always be reached.
  if (plat::Screen().Height() < SmallScreenHeight) SetHeight(SmallScreenDialogHeight);
}

}  // namespace app
