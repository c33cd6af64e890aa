// The main window's road: opening, picture and text layers, selection, opacity and scale,
// zoom, erase, flatten, save and the clipboard.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/WaitCursor.h"
#include "app/road/Background.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/Composition.h"
#include "app/road/KeptPicture.h"
#include "app/road/RoadTexts.h"
#include "graphics/layers/RubberBand.h"
#include "graphics/resampling/Resamplers.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

constexpr float MinZoom = 0.2f, MaxZoom = 20.0f;
constexpr double ZoomStep = 1.02;

}  // namespace

gfx::TBitmapLayer* TMainForm::SelectedBitmapLayer() const {
  return dynamic_cast<gfx::TBitmapLayer*>(SelectedLayer);
}

TLayerSurroundings TMainForm::Surroundings() const {
  return {BackgroundWidth, BackgroundHeight, ImgView->Bitmap().Width(), ImgView->Bitmap().Height()};
}

void TMainForm::mnFileOpenClick(plat::TObject*) {
  if (!OpenPictureDialog1->Execute()) return;
  const std::string file = OpenPictureDialog1->FileName();
  if (!LetChangesGo(plat::MB_YESNOCANCEL)) return;
  TWaitCursor wait;
  // A file that cannot be read changes nothing: no path, no settings, no tools state.
  LoadBackground(file);
  BackgroundPath = file;
  EnableButton(this);
  SavePath();
  // A picture as it is in its file has nothing to lose.
  Modified = false;
}

void TMainForm::mnWaterMarkSelectClick(plat::TObject* Sender) {
  EnableButton(this);
  OpenPictureDialog2->SetDefaultExt(std::string(LayerPictureExt));
  if (ImgView->Bitmap().Empty()) return;
  if (!OpenPictureDialog2->Execute()) return;
  Modified = true;
  for (plat::TControl* c : std::initializer_list<plat::TControl*>{
           LayerOpacity, WMScale, ButtonIncreazeSizeLayer, ButtonDecreazeSizeLayer})
    c->SetEnabled(true);
  LayerPath = OpenPictureDialog2->FileName();
  SavePath();
  if (SelectedBitmapLayer()) SelectLayer(nullptr);
  DefaultStepCount = 0;
  DefaultStepAngle = 0;
  TPictureLayerRequest request;
  request.FileName = LayerPath;
  CreatePictureLayer(Sender, request);
}

gfx::TBitmapLayer& TMainForm::CreatePictureLayer(plat::TObject* Sender,
                                                 TPictureLayerRequest Request) {
  TWaitCursor wait;
  FrameToolsButton->SetEnabled(true);
  ClearButton->SetEnabled(true);
  Request.StepCount = DefaultStepCount;
  Request.StepAngle = DefaultStepAngle;
  gfx::TBitmapLayer& L = MakeLayer([&]() -> gfx::TBitmapLayer& {
    return AddPictureLayer(ImgView->Layers(), Request, Surroundings());
  });
  if (StartupState == 5) StartupState = 100;
  AdoptNewLayer(Sender, L);
  DefaultStepCount = 12;
  DefaultStepAngle = 30;
  return L;
}

gfx::TBitmapLayer& TMainForm::CreateTextLayer(plat::TObject* Sender, const TRenderText& Text,
                                              bool HasAngle, int32_t AngleCode) {
  TWaitCursor wait;
  FrameToolsButton->SetEnabled(true);
  ClearButton->SetEnabled(true);
  TTextLayerStyle style;
  style.CornerSizing = CurrentText == CornerText;
  style.FontTransparent = FontTransparent;
  style.BackTransparent = BackTransparent;
  style.TextTop = TextTop;
  style.ColorMode = TextColorMode;
  style.HasAngle = HasAngle;
  style.AngleCode = AngleCode;
  style.StepCount = DefaultStepCount;
  style.StepAngle = DefaultStepAngle;
  gfx::TBitmapLayer& L = MakeLayer([&]() -> gfx::TBitmapLayer& {
    return AddTextLayer(ImgView->Layers(), Text, style, Surroundings());
  });
  AdoptNewLayer(Sender, L);
  return L;
}

// The controls turned on for a layer that cannot be made go off again while nothing is selected,
// so none of them claims a layer that is not there.
gfx::TBitmapLayer& TMainForm::MakeLayer(const std::function<gfx::TBitmapLayer&()>& Make) {
  try {
    return Make();
  } catch (...) {
    if (!SelectedBitmapLayer()) DisableLayerControls();
    throw;
  }
}

void TMainForm::DisableLayerControls() {
  for (plat::TControl* c : std::initializer_list<plat::TControl*>{
           LayerOpacity, WMScale, ButtonIncreazeSizeLayer, ButtonDecreazeSizeLayer,
           FrameToolsButton, ClearButton})
    c->SetEnabled(false);
}

// The gauges take the new layer's values; their handlers then apply them.
void TMainForm::AdoptNewLayer(plat::TObject* Sender, gfx::TBitmapLayer& L) {
  BindLayerPress(L);
  const int32_t opacity = L.OpacityValue, scale = L.ScalePercent;
  LayerOpacity->SetEnabled(true);
  SelectLayer(&L);
  LayerOpacity->SetPosition(opacity);
  WMScale->SetPosition(scale);
  LayerOpacityChange(Sender);
  WMScaleChange(Sender);
  LayerInterpolateClick(Sender);
}

void TMainForm::BindLayerPress(gfx::TBitmapLayer& L) {
  L.OnMouseDown = [this, &L](plat::TObject*, plat::TMouseButton Button, plat::TShiftState Shift,
                             int X, int Y) {
    SelectLayer(&L);
    // The press that chooses a layer also takes hold of its frame, so that one drag moves it.
    if (Button != plat::mbLeft || !RubberBand || RubberBand->ChildLayer() != &L) return;
    ImgView->Layers().SetMouseListener(RubberBand);
    RubberBand->MouseDown(Button, Shift, X, Y);
  };
}

void TMainForm::SelectLayer(gfx::TCustomLayer* Layer) {
  if (Layer == SelectedLayer) return;
  if (RubberBand) {
    RubberBand->SetChildLayer(nullptr);
    RubberBand->SetLayerOptions(gfx::LayerOptionNoUpdate);
    DisableLayerControls();
    ImgView->Invalidate();
  }
  SelectedLayer = Layer;
  auto* positioned = dynamic_cast<gfx::TPositionedLayer*>(Layer);
  if (!positioned) return;
  if (!RubberBand) {
    RubberBand = &ImgView->Layers().Add<gfx::TRubberbandLayer>();
  } else {
    RubberBand->BringToFront();
  }
  RubberBand->SetChildLayer(positioned);
  RubberBand->SetLayerOptions(0xB0000000);
  RubberBand->SetHandleFrame(0xFFFFFF00);
  RubberBand->SetHandleFill(0xFF4169E1);
  RubberBand->SetOptions(15);
  RubberBand->SetHandleSize(3);
  RubberBand->SetMinWidth(10.0f);
  RubberBand->SetMinHeight(10.0f);
  RubberBand->SetFrameStipple({0xFFFF0000, 0xFF0000FF, 0xFFFFFF00, 0xFF007F00, 0xFFFFFFFF});
  RubberBand->SetFrameStippleStep(0.1f);
  RubberBand->SetFrameStippleCounter(0);
  RubberBand->OnFrameChanging = [this](plat::TObject* Sender, const gfx::TFloatRect& Start,
                                       gfx::TFloatRect& New, gfx::TRBDragState State,
                                       plat::TShiftState Shift) {
    RubberBandResizing(Sender, Start, New, State, Shift);
  };
  RubberBand->SetScaled(true);
  RubberBand->SetCursor(plat::crSizeAll);
  if (auto* bitmapLayer = dynamic_cast<gfx::TBitmapLayer*>(Layer)) {
    EnableButton(this);
    LayerOpacity->SetEnabled(true);
    DefaultStepCount = bitmapLayer->StepCount;
    DefaultStepAngle = bitmapLayer->StepAngle;
    for (plat::TControl* c : std::initializer_list<plat::TControl*>{
             WMScale, ButtonIncreazeSizeLayer, ButtonDecreazeSizeLayer, FrameToolsButton,
             ClearButton})
      c->SetEnabled(true);
    LayerInterpolate->SetChecked(bitmapLayer->Bitmap().ResamplerClassName() == "TDraftResampler");
  }
}

void TMainForm::LayerOpacityChange(plat::TObject*) {
  Modified = true;
  Label2->SetCaption(std::string(OpacityLabelText) + plat::IntToStr(LayerOpacity->Position()));
  if (gfx::TBitmapLayer* L = SelectedBitmapLayer()) ApplyLayerOpacity(*L, LayerOpacity->Position());
}

void TMainForm::LayerInterpolateClick(plat::TObject*) {
  gfx::TBitmapLayer* L = SelectedBitmapLayer();
  if (!L) return;
  if (LayerInterpolate->Checked())
    gfx::TCustomResampler::Create<gfx::TDraftResampler>(L->Bitmap());
  else
    gfx::TCustomResampler::Create<gfx::TNearestResampler>(L->Bitmap());
}

void TMainForm::WMScaleChange(plat::TObject*) {
  Modified = true;
  gfx::TBitmapLayer* L = SelectedBitmapLayer();
  if (!L) return;
  const int32_t P = WMScale->Position();
  WMLabel->SetCaption("Scale: " + plat::IntToStr(P) + "%");
  L->ScalePercent = P;
  const gfx::TFloatRect r =
      ScaledLayerRect(L->Location(), L->Bitmap().Width(), L->Bitmap().Height(), P);
  // The band carries its child with it.
  if (RubberBand && RubberBand->ChildLayer() == L)
    RubberBand->SetLocation(r);
  else
    L->SetLocation(r);
  ImgView->Bitmap().Changed();
}

void TMainForm::ScaleChange(plat::TObject*) {
  if (!PristineImage) return;
  KeepLoadedPicture(*ImgView, PristineImage->Bitmap());
  if (PristineImage->Bitmap().Empty()) return;
  const int32_t P = ScaleBar->Position();
  TWaitCursor wait;
  // A size past the limits ends in the error's message; the picture and the gauge stay.
  try {
    ScaleBackground(PristineImage->Bitmap(), P, ImgView->Bitmap());
  } catch (const gfx::EBitmapException&) {
    ScaleBar->SetPosition(AppliedScale);
    throw;
  }
  AppliedScale = P;
  Modified = true;
  Label1->SetCaption(std::string(ScaleLabelText) + ScaleLabel(P));
  ImgView->SetScaleMode(gfx::smScale);
  BackgroundWidth = ImgView->Bitmap().Width();
  BackgroundHeight = ImgView->Bitmap().Height();
  ImgView->Bitmap().Changed();
  ShowPictureCaption(BackgroundPath);
}

void TMainForm::ImgViewMouseDown(plat::TObject*, plat::TMouseButton Button, plat::TShiftState, int,
                                 int, gfx::TCustomLayer* Layer) {
  if (!Layer) {
    SelectLayer(nullptr);
    if (Button == plat::mbRight) QueueToolAction(10);
    return;
  }
  if (!SelectedLayer) return;
  LayerOpacity->SetPosition(SelectedLayer->OpacityValue);
  WMScale->SetPosition(SelectedLayer->ScalePercent);
  if (Button == plat::mbRight) QueueToolAction(1);
}

void TMainForm::QueueToolAction(int32_t Code) {
  ToolAction = Code;
  Timer2->SetEnabled(true);
}

void TMainForm::Zoom(bool In) {
  // A fitted view shows the picture at its own scale, not at the zoom last set: start from the
  // scale shown.
  float Shown = ImgView->Scale();
  if (ImgView->ScaleMode() != gfx::smScale && !ImgView->Bitmap().Empty())
    Shown = float(ImgView->GetBitmapSize().cx) / float(ImgView->Bitmap().Width());
  ImgView->SetScaleMode(gfx::smScale);
  // One step in double precision, rounded once: a float 1.02 or its reciprocal drifts off.
  float S = float(In ? Shown * ZoomStep : Shown / ZoomStep);
  // A limit holds only against the way of travel: a view fitted below the smallest zoom is not
  // enlarged by zooming out.
  if (In && S > MaxZoom) S = std::max(Shown, MaxZoom);
  if (!In && S < MinZoom) S = std::min(Shown, MinZoom);
  ImgView->SetScale(S);
  ScaleCombo->SetText(plat::IntToStr(ZoomPercent(S)) + "%");
}

void TMainForm::ImgViewMouseWheelUp(plat::TObject*, plat::TShiftState, plat::TPoint, bool&) {
  Zoom(false);
}

void TMainForm::ImgViewMouseWheelDown(plat::TObject*, plat::TShiftState, plat::TPoint, bool&) {
  Zoom(true);
}

void TMainForm::RubberBandResizing(plat::TObject*, const gfx::TFloatRect& Start,
                                   gfx::TFloatRect& New, gfx::TRBDragState State,
                                   plat::TShiftState Shift) {
  if ((Shift & plat::ssCtrl) == 0 || State == gfx::DragNone || State == gfx::DragMove) return;
  const float cx = (Start.Left + Start.Right) / 2, cy = (Start.Top + Start.Bottom) / 2;
  float hw = (Start.Right - Start.Left) / 2, hh = (Start.Bottom - Start.Top) / 2;
  const bool left = State == gfx::DragSizeLeft || State == gfx::DragSizeTopLeft ||
                    State == gfx::DragSizeBottomLeft;
  const bool right = State == gfx::DragSizeRight || State == gfx::DragSizeTopRight ||
                     State == gfx::DragSizeBottomRight;
  const bool top =
      State == gfx::DragSizeTop || State == gfx::DragSizeTopLeft || State == gfx::DragSizeTopRight;
  const bool bottom = State == gfx::DragSizeBottom || State == gfx::DragSizeBottomLeft ||
                      State == gfx::DragSizeBottomRight;
  if (left) hw = cx - New.Left;
  if (right) hw = New.Right - cx;
  if (top) hh = cy - New.Top;
  if (bottom) hh = New.Bottom - cy;
  hw = std::max(hw, 2.0f);
  hh = std::max(hh, 2.0f);
  New = {cx - hw, cy - hh, cx + hw, cy + hh};
}

void TMainForm::clearButtonClick(plat::TObject*) {
  if (SelectedBitmapLayer() && RubberBand) {
    RubberBand->SetLocation({-10, -10, -10, -10});
    ImgView->Bitmap().Changed();
  }
  gfx::TCustomLayer* L = SelectedLayer;
  if (!L) return;
  SelectLayer(nullptr);
  ImgView->Layers().Delete(ImgView->Layers().IndexOf(L));
  FrameToolsButton->SetEnabled(false);
  ClearButton->SetEnabled(false);
}

void TMainForm::mnFileNewClick(plat::TObject* Sender) {
  // Asked before the layers go; let go, they are not asked about again by the open.
  if (!LetChangesGo(plat::MB_YESNOCANCEL)) return;
  Modified = false;
  SelectLayer(nullptr);
  RubberBand = nullptr;
  ImgView->Layers().Clear();
  ImgView->Invalidate();
  mnFileOpenClick(Sender);
}

void TMainForm::ImageInterpolateClick(plat::TObject*) {
  if (ImageInterpolate->Checked())
    gfx::TCustomResampler::Create<gfx::TDraftResampler>(ImgView->Bitmap());
  else
    gfx::TCustomResampler::Create<gfx::TNearestResampler>(ImgView->Bitmap());
}

void TMainForm::cbOptRedrawClick(plat::TObject*) {
  ImgView->SetRepaintMode(cbOptRedraw->Checked() ? gfx::rmOptimizer : gfx::rmFull);
}

void TMainForm::ImgViewPaintStage(plat::TObject*, gfx::TBitmap32& Buffer, uint32_t) {
  constexpr int32_t square = 13;
  for (int32_t r = 0; r <= Buffer.Height() / square; ++r)
    for (int32_t c = 0; c <= Buffer.Width() / square; ++c)
      Buffer.FillRectS(c * square, r * square, c * square + square, r * square + square,
                       (c % 2) == (r % 2) ? 0xFFB0B0B0 : 0xFFFFFFFF);
}

void TMainForm::Flatten(plat::TObject*) {
  SelectLayer(nullptr);
  RubberBand = nullptr;
  if (PristineImage) KeepLoadedPicture(*ImgView, PristineImage->Bitmap());
  app::Flatten(*ImgView);
}

bool TMainForm::SaveAsJpeg(const std::string& FileName) {
  SelectLayer(nullptr);
  if (ImgView->Bitmap().Empty()) {
    plat::ShowMessage(std::string(NothingToSaveText));
    return false;
  }
  return !app::SaveAsJpeg(*ImgView, FileName).empty();
}

void TMainForm::mnSaveAsClick(plat::TObject*) {
  SavePictureAs();
}

bool TMainForm::SavePictureAs() {
  OpenPictureDialog1->SetFileName(BackgroundPath);
  std::string base = plat::ExtractFileName(BackgroundPath);
  if (const size_t dot = base.find('.'); dot != std::string::npos) base.resize(dot);
  if (base.empty()) base = "picture";
  SavePictureDialog1->SetDefaultExt(std::string(JpegExt).substr(1));
  SavePictureDialog1->SetFileName(plat::ExtractFilePath(BackgroundPath) + base +
                                  std::string(SaveNameSuffix) + std::string(JpegExt));
  // The default extension makes the dialog return, and ask about, the name that gets written.
  if (!SavePictureDialog1->Execute()) return false;
  TWaitCursor wait;
  return SaveAsJpeg(SavePictureDialog1->FileName());
}

void TMainForm::CopyToClipBoard(plat::TObject*) {
  SelectLayer(nullptr);
  // Otherwise the clipboard would keep what it held, and a paste elsewhere would bring that.
  if (ImgView->Bitmap().Empty()) {
    plat::ShowMessage(std::string(NothingToCopyText));
    return;
  }
  TWaitCursor wait;
  const auto picture = ComposePicture(*ImgView);
  // The composition is the finished picture: opaque, whatever the background's own alpha.
  picture->SetAllAlpha(255);
  CopyPictureToClipboard(*picture);
}

void TMainForm::CopyFrame(plat::TObject*) {
  TWaitCursor wait;
  if (gfx::TBitmapLayer* L = SelectedBitmapLayer()) CopyPictureToClipboard(L->Bitmap());
  plat::Application().ProcessMessages();
}

bool TMainForm::SaveClipboardPicture(TPasteFormat Format) {
  const std::string path = PasteFilePath(Format);
  const TPasteResult result = app::SaveClipboardPicture(path, Format);
  // A picture on the clipboard counts as a change, even one that cannot be taken over.
  if (result.Outcome != TPasteOutcome::NoPicture) Modified = true;
  if (result.Outcome == TPasteOutcome::Written) PastedFile = path;
  return ReportPasteOutcome(result);
}

void TMainForm::PasteImage(plat::TObject*) {
  // The question is about the work the pasted picture would replace, not about the paste.
  const bool changed = Modified;
  {
    TWaitCursor wait;
    if (!SaveClipboardPicture(TPasteFormat::Jpeg)) return;
  }
  Modified = changed;
  if (!LetChangesGo(plat::MB_YESNOCANCEL)) return;
  TWaitCursor wait;
  LoadBackground(PastedFile);
  // The picture is read from the run's work folder, which goes when the program ends: saving and
  // the settings go on from the folder of the last background.
  BackgroundPath = plat::ExtractFilePath(BackgroundPath) + plat::ExtractFileName(PastedFile);
  EnableButton(this);
  SavePath();
  // Kept in no file of the user's.
  Modified = true;
}

void TMainForm::AddLayerClipClick(plat::TObject* Sender) {
  TWaitCursor wait;
  // Kept with its transparency, in a file of the layer's own: the next paste writes over the
  // paste file.
  if (!SaveClipboardPicture(TPasteFormat::Bitmap32)) return;
  const std::string kept = KeepPicture(PastedFile, TKeptKind::Pasted);
  TPictureLayerRequest request;
  request.FileName = kept.empty() ? PastedFile : kept;
  try {
    OwnKeptPicture(CreatePictureLayer(Sender, request), kept);
  } catch (...) {
    if (!kept.empty()) plat::DeleteFile(kept);
    throw;
  }
}

}  // namespace app
