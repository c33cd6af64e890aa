// Folder app/mainwindow: the main window, its keys, tools and hand-overs, the command line, the
// settings file and the saved texts. Opens every dialog folder of app/.
//
// The main window: the image view with the background picture and its layers, and the side
// panel with the picture and layer properties.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/mainwindow/Settings.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"
#include "graphics/controls/ImgView.h"
#include "graphics/controls/RangeBars.h"
#include "graphics/layers/RubberBand.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace gfx {
class TCustomLayer;
class TRubberbandLayer;
}  // namespace gfx

namespace app {

class TNewImageForm;
class TRGBALoaderForm;

// The window's shared state; the values the settings file keeps come first.
struct TMainState : TSettingsValues {
  // The start-up timer's step: 1 without a picture to load, 4 with one, 2 and 3 after a load,
  // 5 while the command-line picture loads, 100 when done.
  int32_t StartupState = 0;
  int32_t TextTop = 50;
  std::string CurrentTextHint;
  // The last text typed into the text prompt, offered again next time.
  std::string EnteredText;
  // The saved texts in the order they were read and added; the text list shows them sorted.
  plat::TStringList TextItems;
  // Keeps the background at its full size as loaded and edited by the picture tools; never shown.
  gfx::TImage32* PristineImage = nullptr;
  // The background's colours from before grey was switched on (see TBackgroundPictures).
  gfx::TBitmap32 UngreyedPicture;
  std::string ProgramFolder;
  std::string DefaultBackgroundFolder;
  std::string DefaultLayerFolder;
  std::string MainCaption;
  int32_t DefaultStepCount = 0;
  int32_t DefaultStepAngle = 0;
  // The picture or a layer was changed; closing asks first while it is set.
  bool Modified = false;
  bool ImageLoaded = false;
  // The user was told once that the settings file cannot be written.
  bool SettingsWriteReported = false;
  // The settings file there could not be read: it is left as it is.
  bool SettingsFileKept = false;
  bool FirstTickDone = false;
  int32_t ToolAction = 0;
  // Set while a picture is with the rotation or the extended colour dialog.
  bool RotateBusy = false;
  bool ExtendedColorBusy = false;
  std::string RotateWorkFile;
  std::string ColorWorkFile;
  int32_t LoadedWidth = 0, LoadedHeight = 0;
  // The picture scale the background is drawn at; the scale gauge returns to it when a new
  // scale cannot be drawn.
  int32_t AppliedScale = 100;
  int32_t BackgroundWidth = 0, BackgroundHeight = 0;
  int32_t BackgroundColorMode = 0;
  bool BackgroundInvert = false;
  bool BackgroundGray = false;
  // The filters the layer builder last built a layer with; it starts each use with them.
  bool RgbInvert = false, RgbGray = false, OverlayInvert = false, OverlayGray = false;
  // Optional lines of the about page.
  std::string AboutFragment1;
  std::string AboutFragment2;

  gfx::TCustomLayer* SelectedLayer = nullptr;
  // The background picture; also where the save dialog and the settings start from.
  std::string BackgroundPath;
  std::string SaveFileName;
  // The last layer picture.
  std::string LayerPath;
  // The clipboard's last picture, in this run's work folder.
  std::string PastedFile;
  // Frames the selected layer; made on the first selection.
  gfx::TRubberbandLayer* RubberBand = nullptr;
};

class TMainForm : public plat::TForm, public TMainState {
 public:
  explicit TMainForm(plat::TComponent* owner);
  ~TMainForm() override;

  void FormCreate(plat::TObject* Sender);
  void FormDestroy(plat::TObject* Sender);
  // Enables the editing controls once there is a picture to edit.
  void EnableButton(plat::TObject* Sender);
  // Writes the settings file, taking the folders from the last background and layer paths; the
  // first write that fails in a run is reported.
  void SavePath();
  // What ending the run leaves on disk, however it ends: the settings written, the work files
  // gone.
  void SaveAtEnd();
  // Loads a picture file as the background; the layers go only once the picture is read.
  void LoadBackground(const std::string& FileName);
  void TextListMouseMove(plat::TObject* Sender, plat::TShiftState Shift, int X, int Y);
  void TimerEllapsed(plat::TObject* Sender);
  void FormKeyPress(plat::TObject* Sender, char& Key);
  // The close button and Esc.
  void Exit1Click(plat::TObject* Sender);
  // Every way of closing asks first while the picture is changed.
  void FormCloseQuery(plat::TObject* Sender, bool& CanClose);
  // While the picture is changed, asks whether to save it before it goes (Buttons: MB_YESNO or
  // MB_YESNOCANCEL). True when it may go: Yes saved it, or No lets the changes go; a cancelled or
  // failed save, Cancel and a dismissed question keep it.
  bool LetChangesGo(uint32_t Buttons);
  void mnSaveAsClick(plat::TObject* Sender);
  // Asks for a name and saves there; false when nothing was written.
  bool SavePictureAs();
  // Composes the picture and writes it as JPEG under the name with the JPEG extension; false
  // when there was no picture.
  bool SaveAsJpeg(const std::string& FileName);
  void mnFileOpenClick(plat::TObject* Sender);
  void mnWaterMarkSelectClick(plat::TObject* Sender);
  gfx::TBitmapLayer& CreatePictureLayer(plat::TObject* Sender, TPictureLayerRequest Request);
  gfx::TBitmapLayer& CreateTextLayer(plat::TObject* Sender, const TRenderText& Text, bool HasAngle,
                                     int32_t AngleCode);
  void SelectLayer(gfx::TCustomLayer* Layer);
  void LayerOpacityChange(plat::TObject* Sender);
  void LayerInterpolateClick(plat::TObject* Sender);
  void WMScaleChange(plat::TObject* Sender);
  void ScaleChange(plat::TObject* Sender);
  void ImgViewMouseDown(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift,
                        int X, int Y, gfx::TCustomLayer* Layer);
  void ImgViewMouseWheelUp(plat::TObject* Sender, plat::TShiftState Shift, plat::TPoint MousePos,
                           bool& Handled);
  void ImgViewMouseWheelDown(plat::TObject* Sender, plat::TShiftState Shift, plat::TPoint MousePos,
                             bool& Handled);
  void RubberBandResizing(plat::TObject* Sender, const gfx::TFloatRect& DragStartLocation,
                          gfx::TFloatRect& NewLocation, gfx::TRBDragState DragState,
                          plat::TShiftState Shift);
  void clearButtonClick(plat::TObject* Sender);
  void Flatten(plat::TObject* Sender);
  // Drops every layer and opens a background; bound to no control.
  void mnFileNewClick(plat::TObject* Sender);
  void ImageInterpolateClick(plat::TObject* Sender);
  // Zooms the view to the percentage typed in the scale combo.
  void ScaleComboChange(plat::TObject* Sender);
  void cbOptRedrawClick(plat::TObject* Sender);
  // The view's resize; it lays itself out, nothing more is needed.
  void OnResizeEvent(plat::TObject*) {}
  // Handlers of a menu a layout may bind; the window has no menu, so they do nothing.
  void mnFileClick(plat::TObject*) {}
  void Basics1Click(plat::TObject*) {}
  void CommandLine1Click(plat::TObject*) {}
  void About1Click(plat::TObject*) {}
  // A checkerboard of 13-pixel squares, grey at the top-left corner.
  void ImgViewPaintStage(plat::TObject* Sender, gfx::TBitmap32& Buffer, uint32_t StageNum);
  void CopyToClipBoard(plat::TObject* Sender);
  void CopyFrame(plat::TObject* Sender);
  void PasteImage(plat::TObject* Sender);
  void AddLayerClipClick(plat::TObject* Sender);
  void ButtonIncreazeSizeClick(plat::TObject* Sender);
  void ButtonDecreazeSizeClick(plat::TObject* Sender);
  void ButtonIncreazeSizeLayerClick(plat::TObject* Sender);
  void ButtonDecreazeSizeLayerClick(plat::TObject* Sender);
  void PictOpacityGaugeBarChange(plat::TObject* Sender);
  // A blank background picture of a chosen size and colour.
  void NewButtonClick(plat::TObject* Sender);
  void CreateNewImage(int32_t W, int32_t H, gfx::TColor32 Color);
  // The text list: stamping the current text, choosing and deleting saved texts.
  void WriteTextClick(plat::TObject* Sender);
  void TextListClick(plat::TObject* Sender);
  void TextListDoubleClick(plat::TObject* Sender);
  // Edits the current text and its look in the text dialog; a new text joins the list.
  void TextOptionButtonClick(plat::TObject* Sender);
  // The layer tools and picture tools menus, and the action timer that runs what they chose.
  void OpenColorFunctions(plat::TObject* Sender);
  void OpenBGPictFunctions(plat::TObject* Sender);
  void TimerEllapsed2(plat::TObject* Sender);
  // Hands the selected layer to the rotation dialog; Mode 1 rotates, 2 stamps rotated steps.
  void WMRotateChange(plat::TObject* Sender, int32_t Mode);
  // Rotation without filling, for a layout that binds it.
  void RotateFunctionCall(plat::TObject* Sender) { WMRotateChange(Sender, 1); }
  // Hands the selected layer (Target 2) or the background (any other Target) to the extended
  // colour dialog.
  void OpenBGExtendedColorFunctions(plat::TObject* Sender, int32_t Mode, int32_t Target);
  // Puts the picture a dialog left in WorkFile in place of Layer, at the same place in the stack.
  // The file is read first: when it cannot be read, Layer stays as it was and the error goes on.
  gfx::TBitmapLayer& ReplaceLayerFromWorkFile(plat::TObject* Sender, gfx::TBitmapLayer& Layer,
                                              const TPictureLayerRequest& Request);
  // The builder of layers made from a picture and an overlay.
  void WatermarkToolsClick(plat::TObject* Sender);
  // Shows the about box with the page built from the fixed pieces and the prepared lines.
  void AuthorButton(plat::TObject* Sender);

  gfx::TImgView32* ImgView = nullptr;
  plat::TPanel* SidePanel = nullptr;
  plat::TPanel* pnlImage = nullptr;
  plat::TLabel* Label4 = nullptr;
  gfx::TGaugeBar* PictOpacityGaugeBar = nullptr;
  plat::TLabel* Label1 = nullptr;
  plat::TSpeedButton* ButtonIncreazeSize = nullptr;
  plat::TSpeedButton* ButtonDecreazeSize = nullptr;
  gfx::TGaugeBar* ScaleBar = nullptr;
  plat::TButton* Button1 = nullptr;
  plat::TButton* NewButton = nullptr;
  plat::TButton* LoadButton = nullptr;
  plat::TButton* PictureToolsButton = nullptr;
  plat::TButton* CopyButton = nullptr;
  plat::TButton* SaveButton = nullptr;
  plat::TComboBox* ScaleCombo = nullptr;
  plat::TCheckBox* ImageInterpolate = nullptr;
  plat::TCheckBox* cbOptRedraw = nullptr;
  plat::TButton* PictButtonFlipHoriz = nullptr;
  plat::TButton* PictButtonFlipVerti = nullptr;
  plat::TPanel* pnlBitmapLayer = nullptr;
  plat::TLabel* Label2 = nullptr;
  gfx::TGaugeBar* LayerOpacity = nullptr;
  plat::TLabel* WMLabel = nullptr;
  plat::TSpeedButton* ButtonIncreazeSizeLayer = nullptr;
  plat::TSpeedButton* ButtonDecreazeSizeLayer = nullptr;
  gfx::TGaugeBar* WMScale = nullptr;
  plat::TButton* LoadWatButton = nullptr;
  plat::TButton* AddLayerClip = nullptr;
  plat::TButton* WatermarkTools = nullptr;
  plat::TButton* WriteTextButton = nullptr;
  plat::TButton* FrameToolsButton = nullptr;
  plat::TButton* TextOptionButton = nullptr;
  plat::TLabel* Label3 = nullptr;
  plat::TListBox* TextList = nullptr;
  plat::TButton* ClearButton = nullptr;
  plat::TCheckBox* LayerInterpolate = nullptr;
  plat::TPanel* Panel1 = nullptr;
  plat::TButton* CloseButton = nullptr;
  plat::TButton* WhoIsBut = nullptr;
  plat::TOpenPictureDialog* OpenPictureDialog1 = nullptr;
  plat::TOpenPictureDialog* OpenPictureDialog2 = nullptr;
  plat::TSavePictureDialog* SavePictureDialog1 = nullptr;
  plat::TTimer* Timer1 = nullptr;
  plat::TTimer* Timer2 = nullptr;
  // Dialogs kept for the whole run, made on first use and owned by this window.
  TNewImageForm* NewImageForm = nullptr;
  TRGBALoaderForm* RGBALoaderForm = nullptr;

 private:
  void SetUpFolders();
  // The editing controls and the layer panel, on once there is a picture to edit.
  void SetEditingControls(bool Enabled);
  // Shows Picture as the background called Name, with no layer selected and the picture tools'
  // state cleared: the view, the kept copy, the sizes, the gauges and the caption.
  void ShowBackground(std::unique_ptr<gfx::TBitmap32> Picture, const std::string& Name);
  // The window's title: the picture's name and its size as shown.
  void ShowPictureCaption(const std::string& Name);
  // After a background went in (or failed to): the start-up timer takes its next step.
  void AdvanceStartup();
  void ReadSettings();
  void ApplyCommandLine();
  void PrepareAboutFragments();
  gfx::TBitmapLayer* SelectedBitmapLayer() const;
  TLayerSurroundings Surroundings() const;
  // A new layer from Make; when Make fails, the layer controls follow the selection again.
  gfx::TBitmapLayer& MakeLayer(const std::function<gfx::TBitmapLayer&()>& Make);
  // The six controls that act on the selected layer, off.
  void DisableLayerControls();
  void AdoptNewLayer(plat::TObject* Sender, gfx::TBitmapLayer& Layer);
  // A press on the layer selects it; a left press also starts dragging its frame.
  void BindLayerPress(gfx::TBitmapLayer& Layer);
  void QueueToolAction(int32_t Code);
  // Stamps the preset picture of a digit key from the layer folder, when there is one.
  void AddPresetLayer(plat::TObject* Sender, char Digit);
  // One wheel step of the screen zoom, in or out.
  void Zoom(bool In);
  // The view's zoom as a whole percentage.
  static int32_t ZoomPercent(float Scale);
  // The clipboard's picture into the paste file of Format; false after telling why it could not
  // be.
  bool SaveClipboardPicture(TPasteFormat Format);
  // Moves a gauge by steps of 5, stopping at its ends.
  static void StepGauge(gfx::TGaugeBar& gauge, int32_t delta);
};

// Registers the engine's controls that the editor's layouts name (once).
void RegisterEditorControlClasses();

}  // namespace app
