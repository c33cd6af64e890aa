#include "app/textdialog/FontDialog.h"

#include <array>
#include <string_view>
#include <utility>

#include "app/mainwindow/MainUnit.h"

namespace app {
namespace {

constexpr std::array<std::string_view, 15> FontNames = {"Arial",
                                                        "Arial Black",
                                                        "Arial Narrow",
                                                        "Bookman Old Style",
                                                        "Comic Sans MS",
                                                        "Courier New",
                                                        "DejaVu Sans",
                                                        "Georgia",
                                                        "Impact",
                                                        "Lucida Console",
                                                        "Palatino Linotype",
                                                        "Times New Roman",
                                                        "Trebuchet MS",
                                                        "Verdana",
                                                        "Vrinda"};
constexpr std::string_view FallbackFontName = "Arial";

// The colours the hidden colour lists offer, by their platform names.
constexpr std::array<std::string_view, 20> ColorNames = {
    "clBlack", "clMaroon", "clGreen", "clOlive",      "clNavy",    "clPurple", "clTeal",
    "clGray",  "clSilver", "clRed",   "clLime",       "clYellow",  "clBlue",   "clFuchsia",
    "clAqua",  "clWhite",  "clCream", "clMoneyGreen", "clSkyBlue", "clMedGray"};

// Black text on a black background would show nothing.
constexpr plat::TColor DarkGrey = 0x202020;
constexpr int MinFontSize = 2, MaxFontSize = 18;
// The viewer's default size is in points; the dialog's size counts in steps of four.
constexpr int ViewerSizeFactor = 4;

constexpr std::string_view SamplePage =
    "<h1><center>Text</center><ul></h1><p><font size=\"-5\"><ul><li><b>Bold Text</b>"
    "<li><i>Italicized Text</i></ul></font></p>";
constexpr std::string_view ColorModeRemark =
    "<P><FONT SIZE=\"-4\">Remark: text colors will depend on the loaded image due to the "
    "selected color function</FONT><P>";

}  // namespace

std::string PreviewPage(int colorMode) {
  std::string page;
  if (colorMode != 0) page = ColorModeRemark;
  page += SamplePage;
  return page;
}

TFontForm::TFontForm(plat::TComponent* owner) : plat::TForm(owner) {
  RegisterEditorControlClasses();
  LoadFromLayout(
      "FontForm",
      plat::TFormBindings()
          .Handler("FormShow", this, &TFontForm::FormShow)
          .Handler("btResetClick", this, &TFontForm::btResetClick)
          .Handler("ColorListClick", this, &TFontForm::ColorListClick)
          .Handler("FontSizeEditChange", this, &TFontForm::FontSizeEditChange)
          .Handler("btFontSelectClick", this, &TFontForm::btFontSelectClick)
          .Handler("btBackSelectClick", this, &TFontForm::btBackSelectClick)
          .Handler("FontTransparentCheckBoxClick", this, &TFontForm::FontTransparentCheckBoxClick)
          .Handler("BackTransparentCheckBoxClick", this, &TFontForm::BackTransparentCheckBoxClick)
          .Handler("FontColorGridChange", this, &TFontForm::FontColorGridChange)
          .Handler("BackColorGridChange", this, &TFontForm::BackColorGridChange)
          .Handler("ColorRadioGroupClick", this, &TFontForm::ColorRadioGroupClick)
          .Field("FontListBox", FontListBox)
          .Field("FontSizeEdit", FontSizeEdit)
          .Field("BoldButton", BoldButton)
          .Field("ItalicButton", ItalicButton)
          .Field("Edit1", Edit1)
          .Field("pnFontColor", pnFontColor)
          .Field("btFontSelect", btFontSelect)
          .Field("FontTransparentCheckBox", FontTransparentCheckBox)
          .Field("pnBackColor", pnBackColor)
          .Field("btBackSelect", btBackSelect)
          .Field("BackTransparentCheckBox", BackTransparentCheckBox)
          .Field("FontViewer", FontViewer)
          .Field("btOk", btOk)
          .Field("btCancel", btCancel)
          .Field("btReset", btReset)
          .Field("FontColorGrid", FontColorGrid)
          .Field("BackColorGrid", BackColorGrid)
          .Field("HotSpotColorGrid", HotSpotColorGrid)
          .Field("FontColorListBox", FontColorListBox)
          .Field("BackColorListBox", BackColorListBox)
          .Field("ColorRadioGroup", ColorRadioGroup)
          .Field("FontColorDialog", FontColorDialog)
          .Field("BackColorDialog", BackColorDialog));
  FillLists();
  UpdatePreview();
}

void TFontForm::FillLists() {
  for (std::string_view name : FontNames) FontListBox->Items()->Add(std::string(name));
  for (std::string_view name : ColorNames) {
    plat::TColor color = 0;
    if (!plat::IdentToColor(name, color) || color < 0) continue;
    FontColorListBox->Items()->Add(std::string(name));
    BackColorListBox->Items()->Add(std::string(name));
  }
}

std::string TFontForm::GetTextToAdd() const {
  return Edit1->Text();
}
void TFontForm::SetTextToAdd(const std::string& text) {
  Edit1->SetText(text);
}
bool TFontForm::GetBold() const {
  return BoldButton->Checked();
}
void TFontForm::SetBold(bool bold) {
  BoldButton->SetChecked(bold);
}
bool TFontForm::GetItalic() const {
  return ItalicButton->Checked();
}
void TFontForm::SetItalic(bool italic) {
  ItalicButton->SetChecked(italic);
}

std::string TFontForm::GetFontName() const {
  const int index = FontListBox->ItemIndex();
  if (index < 0) return std::string(FallbackFontName);
  return FontListBox->Items()->Strings(index);
}

void TFontForm::SetFontName(const std::string& name) {
  const std::string shown = name.empty() ? std::string(FallbackFontName) : name;
  int index = FontListBox->Items()->IndexOf(shown);
  if (index < 0) index = FontListBox->Items()->Add(shown);
  FontListBox->SetItemIndex(index);
  FontViewer->SetDefFontName(shown);
  UpdatePreview();
}

void TFontForm::SetFontSize(int size) {
  FontViewer->SetDefFontSize(ViewerSizeFactor * size);
  fontSize_ = size;
  FontSizeEdit->SetValue(size);
  UpdatePreview();
}

void TFontForm::SetFontColor(plat::TColor color) {
  FontViewer->SetDefFontColor(color);
  fontColor_ = color;
  pnFontColor->SetColor(color);
  FontColorGrid->SetForegroundEnabled(false);
  UpdatePreview();
}

void TFontForm::SetBackColor(plat::TColor color) {
  FontViewer->SetDefBackground(color);
  backColor_ = color;
  pnBackColor->SetColor(color);
  BackColorGrid->SetForegroundEnabled(false);
  UpdatePreview();
}

// The flag is set before the box, so the box's click handler sees no user change and leaves the
// colour as the caller gave it. A box set from code has no tick of the user's to give back.
void TFontForm::SetFontTransparent(bool transparent) {
  fontTransparent_ = transparent;
  fontTick_.reset();
  if (transparent) SetBackTransparent(false);
  FontTransparentCheckBox->SetChecked(transparent);
}

void TFontForm::SetBackTransparent(bool transparent) {
  backTransparent_ = transparent;
  backTick_.reset();
  if (transparent) SetFontTransparent(false);
  BackTransparentCheckBox->SetChecked(transparent);
}

void TFontForm::SetColorMode(int mode) {
  colorMode_ = mode;
  ColorRadioGroup->SetItemIndex(mode);
  UpdatePreview();
}

void TFontForm::UpdatePreview() {
  if (fontColor_ == plat::clBlack && backColor_ == plat::clBlack) {
    SetBackColor(DarkGrey);
    return;  // that call previewed already
  }
  const std::string page = PreviewPage(colorMode_);
  FontViewer->LoadFromBuffer(page.data(), static_cast<int64_t>(page.size()), "");
}

void TFontForm::FormShow(plat::TObject*) {
  shown_.fontName = GetFontName();
  shown_.fontSize = fontSize_;
  shown_.fontColor = fontColor_;
  shown_.backColor = backColor_;
  shown_.colorMode = colorMode_;
  shown_.bold = GetBold();
  shown_.italic = GetItalic();
  shown_.fontTransparent = fontTransparent_;
  shown_.backTransparent = backTransparent_;
}

void TFontForm::btResetClick(plat::TObject*) {
  const TShownValues shown = shown_;  // the setters' events must not see a half-restored copy
  SetFontName(shown.fontName);
  SetFontSize(shown.fontSize);
  SetFontColor(shown.fontColor);
  SetBackColor(shown.backColor);
  SetColorMode(shown.colorMode);
  SetBold(shown.bold);
  SetItalic(shown.italic);
  SetFontTransparent(shown.fontTransparent);
  SetBackTransparent(shown.backTransparent);
}

void TFontForm::ColorListClick(plat::TObject* Sender) {
  auto* list = static_cast<plat::TListBox*>(Sender);
  const int index = list->ItemIndex();
  if (index < 0) return;
  if (Sender == FontListBox) {
    SetFontName(FontListBox->Items()->Strings(index));
    return;
  }
  // Both colour lists hold the same names.
  if (index >= FontColorListBox->Count()) return;
  plat::TColor color = 0;
  if (!plat::IdentToColor(FontColorListBox->Items()->Strings(index), color)) return;
  if (Sender == FontColorListBox) SetFontColor(color);
  if (Sender == BackColorListBox) SetBackColor(color);
}

void TFontForm::FontSizeEditChange(plat::TObject*) {
  const int size = FontSizeEdit->Value();
  if (size >= MinFontSize && size <= MaxFontSize && size != fontSize_) SetFontSize(size);
}

// A colour chosen while its box is ticked is the one to keep when the box is unticked.
void TFontForm::btFontSelectClick(plat::TObject*) {
  FontColorDialog->SetColor(pnFontColor->Color());
  if (!FontColorDialog->Execute()) return;
  if (fontTick_) fontTick_->own.reset();
  SetFontColor(FontColorDialog->Color());
}

void TFontForm::btBackSelectClick(plat::TObject*) {
  BackColorDialog->SetColor(pnBackColor->Color());
  if (!BackColorDialog->Execute()) return;
  if (backTick_) backTick_->own.reset();
  SetBackColor(BackColorDialog->Color());
}

void TFontForm::SetSideColor(bool fontSide, plat::TColor color) {
  if (fontSide)
    SetFontColor(color);
  else
    SetBackColor(color);
}

void TFontForm::MakeTransparent(bool fontSide) {
  if (fontSide)
    SetBackTransparent(false);
  else
    SetFontTransparent(false);
  plat::TColorGrid* grid = fontSide ? FontColorGrid : BackColorGrid;
  grid->SetForegroundIndex(0);
  std::optional<TTickedColors>& tick = fontSide ? fontTick_ : backTick_;
  tick = TTickedColors{};
  tick->own = fontSide ? fontColor_ : backColor_;
  tick->otherBefore = fontSide ? backColor_ : fontColor_;
  SetSideColor(fontSide, grid->ForegroundColor());
  tick->otherAfter = fontSide ? backColor_ : fontColor_;
}

void TFontForm::RestoreColorsBeforeTransparent(bool fontSide) {
  std::optional<TTickedColors>& tick = fontSide ? fontTick_ : backTick_;
  if (!tick) return;
  const TTickedColors colors = *std::exchange(tick, std::nullopt);
  const plat::TColor other = fontSide ? backColor_ : fontColor_;
  if (colors.own) SetSideColor(fontSide, *colors.own);
  // Black on black turned the background dark grey: that goes back with the tick, unless the
  // user chose another colour since.
  if (other == colors.otherAfter && other != colors.otherBefore)
    SetSideColor(!fontSide, colors.otherBefore);
}

void TFontForm::FontTransparentCheckBoxClick(plat::TObject*) {
  const bool checked = FontTransparentCheckBox->Checked();
  if (checked == fontTransparent_) return;  // set from code
  fontTransparent_ = checked;
  if (checked)
    MakeTransparent(true);
  else
    RestoreColorsBeforeTransparent(true);
}

void TFontForm::BackTransparentCheckBoxClick(plat::TObject*) {
  const bool checked = BackTransparentCheckBox->Checked();
  if (checked == backTransparent_) return;  // set from code
  backTransparent_ = checked;
  if (checked)
    MakeTransparent(false);
  else
    RestoreColorsBeforeTransparent(false);
}

void TFontForm::FontColorGridChange(plat::TObject*) {
  SetFontColor(FontColorGrid->ForegroundColor());
}

void TFontForm::BackColorGridChange(plat::TObject*) {
  SetBackColor(BackColorGrid->ForegroundColor());
}

void TFontForm::ColorRadioGroupClick(plat::TObject*) {
  SetColorMode(ColorRadioGroup->ItemIndex());
}

}  // namespace app
