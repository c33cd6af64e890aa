// The main window's set-up and tear-down, the settings it reads and writes, and enabling the
// editing controls.
#include <cctype>

#include "app/mainwindow/CommandLine.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/TextHints.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"

namespace app {
namespace {

constexpr plat::TColor WindowColor = 0x300000;

std::string DisplayName() {
  return std::string(TitleName1) + std::string(TitleName2);
}

// A file:// link to a path, with every byte outside the plain set written as %XX so that the
// path can stand inside an HTML attribute.
std::string FileLink(const std::string& path) {
  static const char digits[] = "0123456789ABCDEF";
  std::string link = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      link += char(c);
    } else {
      link += '%';
      link += digits[c >> 4];
      link += digits[c & 15];
    }
  }
  return link;
}

std::string LinkLine(const std::string& path, std::string_view text) {
  return "<p><a href=\"" + FileLink(path) + "\">" + std::string(text) + "</a></p>\r\n";
}

}  // namespace

TMainForm::TMainForm(plat::TComponent* owner) : plat::TForm(owner) {
  RegisterEditorControlClasses();
  plat::TFormBindings b;
  b.Handler("FormCreate", this, &TMainForm::FormCreate)
      .Handler("FormDestroy", this, &TMainForm::FormDestroy)
      .Handler("FormKeyPress", this, &TMainForm::FormKeyPress)
      .Handler("FormCloseQuery", this, &TMainForm::FormCloseQuery)
      .Handler("TextListMouseMove", this, &TMainForm::TextListMouseMove)
      .Handler("AuthorButton", this, &TMainForm::AuthorButton)
      .Handler("TimerEllapsed", this, &TMainForm::TimerEllapsed)
      .Handler("Exit1Click", this, &TMainForm::Exit1Click)
      .Handler("ButtonIncreazeSizeClick", this, &TMainForm::ButtonIncreazeSizeClick)
      .Handler("ButtonDecreazeSizeClick", this, &TMainForm::ButtonDecreazeSizeClick)
      .Handler("ButtonIncreazeSizeLayerClick", this, &TMainForm::ButtonIncreazeSizeLayerClick)
      .Handler("ButtonDecreazeSizeLayerClick", this, &TMainForm::ButtonDecreazeSizeLayerClick)
      .Handler("mnFileOpenClick", this, &TMainForm::mnFileOpenClick)
      .Handler("mnWaterMarkSelectClick", this, &TMainForm::mnWaterMarkSelectClick)
      .Handler("mnSaveAsClick", this, &TMainForm::mnSaveAsClick)
      .Handler("LayerOpacityChange", this, &TMainForm::LayerOpacityChange)
      .Handler("LayerInterpolateClick", this, &TMainForm::LayerInterpolateClick)
      .Handler("WMScaleChange", this, &TMainForm::WMScaleChange)
      .Handler("ScaleChange", this, &TMainForm::ScaleChange)
      .Handler("ImgViewMouseDown", this, &TMainForm::ImgViewMouseDown)
      .Handler("ImgViewMouseWheelUp", this, &TMainForm::ImgViewMouseWheelUp)
      .Handler("ImgViewMouseWheelDown", this, &TMainForm::ImgViewMouseWheelDown)
      .Handler("clearButtonClick", this, &TMainForm::clearButtonClick)
      .Handler("CopyToClipBoard", this, &TMainForm::CopyToClipBoard)
      .Handler("PasteImage", this, &TMainForm::PasteImage)
      .Handler("AddLayerClipClick", this, &TMainForm::AddLayerClipClick)
      .Handler("ImageInterpolateClick", this, &TMainForm::ImageInterpolateClick)
      .Handler("ScaleComboChange", this, &TMainForm::ScaleComboChange)
      .Handler("cbOptRedrawClick", this, &TMainForm::cbOptRedrawClick)
      .Handler("ImgViewPaintStage", this, &TMainForm::ImgViewPaintStage)
      .Handler("PictOpacityGaugeBarChange", this, &TMainForm::PictOpacityGaugeBarChange)
      .Handler("NewButtonClick", this, &TMainForm::NewButtonClick)
      .Handler("WriteTextClick", this, &TMainForm::WriteTextClick)
      .Handler("TextListClick", this, &TMainForm::TextListClick)
      .Handler("TextOptionButtonClick", this, &TMainForm::TextOptionButtonClick)
      .Handler("TextListDoubleClick", this, &TMainForm::TextListDoubleClick)
      .Handler("OpenColorFunctions", this, &TMainForm::OpenColorFunctions)
      .Handler("OpenBGPictFunctions", this, &TMainForm::OpenBGPictFunctions)
      .Handler("TimerEllapsed2", this, &TMainForm::TimerEllapsed2)
      .Handler("WatermarkToolsClick", this, &TMainForm::WatermarkToolsClick)
      .Handler("OnResizeEvent", this, &TMainForm::OnResizeEvent)
      .Handler("RotateFunctionCall", this, &TMainForm::RotateFunctionCall)
      .Handler("mnFileNewClick", this, &TMainForm::mnFileNewClick)
      .Handler("Flatten", this, &TMainForm::Flatten)
      .Handler("mnFileClick", this, &TMainForm::mnFileClick)
      .Handler("Basics1Click", this, &TMainForm::Basics1Click)
      .Handler("CommandLine1Click", this, &TMainForm::CommandLine1Click)
      .Handler("About1Click", this, &TMainForm::About1Click)
      .Field("ImgView", ImgView)
      .Field("SidePanel", SidePanel)
      .Field("pnlImage", pnlImage)
      .Field("Label4", Label4)
      .Field("PictOpacityGaugeBar", PictOpacityGaugeBar)
      .Field("Label1", Label1)
      .Field("ButtonIncreazeSize", ButtonIncreazeSize)
      .Field("ButtonDecreazeSize", ButtonDecreazeSize)
      .Field("ScaleBar", ScaleBar)
      .Field("Button1", Button1)
      .Field("NewButton", NewButton)
      .Field("LoadButton", LoadButton)
      .Field("PictureToolsButton", PictureToolsButton)
      .Field("CopyButton", CopyButton)
      .Field("SaveButton", SaveButton)
      .Field("ScaleCombo", ScaleCombo)
      .Field("ImageInterpolate", ImageInterpolate)
      .Field("cbOptRedraw", cbOptRedraw)
      .Field("PictButtonFlipHoriz", PictButtonFlipHoriz)
      .Field("PictButtonFlipVerti", PictButtonFlipVerti)
      .Field("pnlBitmapLayer", pnlBitmapLayer)
      .Field("Label2", Label2)
      .Field("LayerOpacity", LayerOpacity)
      .Field("WMLabel", WMLabel)
      .Field("ButtonIncreazeSizeLayer", ButtonIncreazeSizeLayer)
      .Field("ButtonDecreazeSizeLayer", ButtonDecreazeSizeLayer)
      .Field("WMScale", WMScale)
      .Field("LoadWatButton", LoadWatButton)
      .Field("AddLayerClip", AddLayerClip)
      .Field("WatermarkTools", WatermarkTools)
      .Field("WriteTextButton", WriteTextButton)
      .Field("FrameToolsButton", FrameToolsButton)
      .Field("TextOptionButton", TextOptionButton)
      .Field("Label3", Label3)
      .Field("TextList", TextList)
      .Field("ClearButton", ClearButton)
      .Field("LayerInterpolate", LayerInterpolate)
      .Field("Panel1", Panel1)
      .Field("CloseButton", CloseButton)
      .Field("WhoIsBut", WhoIsBut)
      .Field("OpenPictureDialog1", OpenPictureDialog1)
      .Field("OpenPictureDialog2", OpenPictureDialog2)
      .Field("SavePictureDialog1", SavePictureDialog1)
      .Field("Timer1", Timer1)
      .Field("Timer2", Timer2);
  LoadFromLayout("MainForm", b);
}

TMainForm::~TMainForm() {
  // The tear-down needs this window's own state, which is gone by the time the base class
  // would run it.
  if (plat::TNotifyEvent destroy = std::move(OnDestroy)) {
    OnDestroy = nullptr;
    try {
      destroy(this);
    } catch (const std::exception& e) {
      plat::Application().HandleException(e);
    }
  }
}

void TMainForm::FormCreate(plat::TObject*) {
  TextColorMode = 0;
  SetColor(WindowColor);
  MainCaption = DisplayName() + " - " + std::string(TitleVersion);
  SetCaption(MainCaption);
  SetKeyPreview(true);
  FontName = DefaultFontName;
  FontSizeText = DefaultFontSize;
  FontColor = plat::clCream;
  BackColor = plat::clNavy;
  NewImageColor = plat::clCream;
  NewImageWidth = 1280;
  NewImageHeight = 1024;
  TextTop = 50;
  PristineImage = Make<gfx::TImage32>();
  TextItems.Clear();
  TextItems.Add(std::string(SampleText));
  TextList->Items()->Add(std::string(SampleText));
  CurrentText = InitialText;
  SetUpFolders();
  PrepareAboutFragments();
  ReadSettings();
  CurrentTextHint = BuildTextHint(CurrentText, *this);
  WriteTextButton->SetHint(CurrentTextHint);
  TextOptionButton->SetHint(CurrentTextHint);
  TextList->SetSorted(true);
  OpenPictureDialog1->SetInitialDir(BackgroundFolder);
  OpenPictureDialog2->SetInitialDir(LayerFolder);
  SavePictureDialog1->SetInitialDir(BackgroundFolder);
  BackgroundPath = BackgroundFolder;
  SaveFileName = BackgroundFolder;
  LayerPath = LayerFolder;
  WhoIsBut->SetHint(std::string(AboutHint));
  ApplyCommandLine();
  ImgView->SetRepaintMode(gfx::rmOptimizer);
  SetWindowState(plat::wsMaximized);
  if (StartupState == 4) {
    ScaleBar->SetPosition(100);
    Label1->SetCaption(std::string(ScaleLabelText) + std::string(ScaleLabelDefault));
    LayerOpacity->SetPosition(128);
    OpenPictureDialog1->SetFileName(BackgroundPath);
    SavePictureDialog1->SetFileName(SaveFileName);
    EnableButton(this);
  } else {
    LayerOpacity->SetPosition(128);
    StartupState = 1;
    Timer1->SetEnabled(true);
  }
  ImgView->SetColor(WindowColor);
}

void TMainForm::SetUpFolders() {
  ProgramFolder = plat::ProgramFolder();
  const std::string data = plat::DataFolder();
  BackgroundFolder = plat::IncludeTrailingPathDelimiter(plat::JoinPath(data, BackgroundFolderName));
  LayerFolder = plat::IncludeTrailingPathDelimiter(plat::JoinPath(data, LayerFolderName));
  DefaultBackgroundFolder = BackgroundFolder;
  DefaultLayerFolder = LayerFolder;
  OverlayBackgroundFile = BackgroundFolder;
  OverlayFile = LayerFolder;
  // A folder that cannot be made only leaves the dialogs to start elsewhere.
  plat::ForceDirectories(BackgroundFolder);
  plat::ForceDirectories(LayerFolder);
}

void TMainForm::PrepareAboutFragments() {
  AboutFragment1.clear();
  if (plat::FileExists(plat::JoinPath(DefaultLayerFolder, AboutLayerMarker)))
    AboutFragment1 = LinkLine(DefaultLayerFolder, AboutLayerLinkText);
  const std::string page = plat::JoinPath(ProgramFolder, AboutPageMarker);
  AboutFragment2 = plat::FileExists(page) ? LinkLine(page, AboutLinkText)
                                          : "<p>" + std::string(AboutLinkText) + "</p>\r\n";
}

void TMainForm::ReadSettings() {
  std::vector<std::string> texts;
  const TSettingsFileState state = ReadSettingsFile(SettingsFileName(), *this, texts);
  SettingsFileKept = state.Kept;
  for (const std::string& text : texts) {
    TextItems.Add(text);
    TextList->Items()->Add(text);
  }
  if (!state.TextRead) {
    TextItems.Add(DisplayName());
    TextList->Items()->Add(DisplayName());
  }
}

void TMainForm::ApplyCommandLine() {
  const TStartupPaths paths = StartupPathsFromArguments(
      ProgramArguments(), plat::JoinPath(DefaultLayerFolder, DefaultLayerPicture));
  if (!paths.Given) return;
  BackgroundPath = paths.BackgroundPath;
  SaveFileName = paths.SaveFileName;
  LayerPath = paths.LayerPath;
  // The layer picture or folder is where the layer dialog starts; it adds no layer.
  OpenPictureDialog2->SetInitialDir(plat::ExtractFilePath(LayerPath));
  // A folder only says where the open dialog starts: nothing is loaded or enabled.
  if (paths.BackgroundIsFolder)
    OpenPictureDialog1->SetInitialDir(paths.BackgroundPath);
  else
    StartupState = 4;
}

void TMainForm::EnableButton(plat::TObject*) {
  SetEditingControls(true);
}

void TMainForm::SetEditingControls(bool Enabled) {
  for (plat::TControl* control : std::initializer_list<plat::TControl*>{
           ButtonIncreazeSize, ButtonDecreazeSize, LoadWatButton, AddLayerClip, WatermarkTools,
           WriteTextButton, TextOptionButton, PictureToolsButton, TextList, SaveButton})
    control->SetEnabled(Enabled);
  pnlBitmapLayer->SetVisible(Enabled);
}

void TMainForm::SavePath() {
  BackgroundFolder = plat::ExtractFilePath(BackgroundPath);
  LayerFolder = plat::ExtractFilePath(LayerPath);
  std::vector<std::string> texts;
  for (int i = 0; i < TextItems.Count(); ++i) texts.push_back(TextItems[i]);
  // A file that could not be read is not replaced by what this run holds, which would be the
  // defaults for all it could not read.
  if (!SettingsFileKept && WriteSettingsFile(SettingsFileName(), *this, texts)) return;
  if (SettingsWriteReported) return;
  // Otherwise the folders and the saved texts would be lost at the end without a word; once a run
  // is enough.
  SettingsWriteReported = true;
  plat::ShowMessage(std::string(SettingsFileKept ? SettingsKeptText : SettingsNotSavedText) +
                    SettingsFileName());
}

void TMainForm::SaveAtEnd() {
  SavePath();
  for (const std::string& file : {RotateWorkFile, ColorWorkFile})
    if (!file.empty() && plat::FileExists(file)) plat::DeleteFile(file);
}

void TMainForm::FormDestroy(plat::TObject*) {
  SaveAtEnd();
  TextItems.Clear();
  if (PristineImage) DestroyComponent(PristineImage);
  PristineImage = nullptr;
  SelectedLayer = nullptr;
  RubberBand = nullptr;
}

}  // namespace app
