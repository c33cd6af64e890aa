// Folder app/textdialog: the text and font dialog with its sample page.
//
// The text and font dialog: the text of a new text layer with its font, size, style and colours,
// shown on a small sample page. Made for one modal run; the caller fills it through the setters
// and reads the getters after OK.
#pragma once

#include <optional>
#include <string>

#include "html/viewer/PageViewer.h"
#include "platform/drawing/Colors.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// The sample page; a remark about the colour interaction comes first when one is chosen.
std::string PreviewPage(int colorMode);

class TFontForm : public plat::TForm {
 public:
  explicit TFontForm(plat::TComponent* owner);

  // The text to add (the form's own Text is its caption).
  std::string GetTextToAdd() const;
  void SetTextToAdd(const std::string& text);
  bool GetBold() const;
  void SetBold(bool bold);
  bool GetItalic() const;
  void SetItalic(bool italic);
  std::string GetFontName() const;
  // A name missing from the list is added and selected, so the preview and the result agree.
  void SetFontName(const std::string& name);
  void SetFontSize(int size);
  void SetFontColor(plat::TColor color);
  void SetBackColor(plat::TColor color);
  // At most one of the two colours is transparent: setting one clears the other.
  void SetFontTransparent(bool transparent);
  void SetBackTransparent(bool transparent);
  void SetColorMode(int mode);

  plat::TColor FontColor() const { return fontColor_; }
  plat::TColor BackColor() const { return backColor_; }
  bool FontTransparent() const { return fontTransparent_; }
  bool BackTransparent() const { return backTransparent_; }
  int FontSize() const { return fontSize_; }
  int ColorMode() const { return colorMode_; }

  void FormShow(plat::TObject* Sender);
  void btResetClick(plat::TObject* Sender);
  void ColorListClick(plat::TObject* Sender);
  void FontSizeEditChange(plat::TObject* Sender);
  void btFontSelectClick(plat::TObject* Sender);
  void btBackSelectClick(plat::TObject* Sender);
  void FontTransparentCheckBoxClick(plat::TObject* Sender);
  void BackTransparentCheckBoxClick(plat::TObject* Sender);
  void FontColorGridChange(plat::TObject* Sender);
  void BackColorGridChange(plat::TObject* Sender);
  void ColorRadioGroupClick(plat::TObject* Sender);

  plat::TListBox* FontListBox = nullptr;
  plat::TSpinEdit* FontSizeEdit = nullptr;
  plat::TCheckBox* BoldButton = nullptr;
  plat::TCheckBox* ItalicButton = nullptr;
  plat::TEdit* Edit1 = nullptr;
  plat::TPanel* pnFontColor = nullptr;
  plat::TButton* btFontSelect = nullptr;
  plat::TCheckBox* FontTransparentCheckBox = nullptr;
  plat::TPanel* pnBackColor = nullptr;
  plat::TButton* btBackSelect = nullptr;
  plat::TCheckBox* BackTransparentCheckBox = nullptr;
  html::TPageViewer* FontViewer = nullptr;
  plat::TButton* btOk = nullptr;
  plat::TButton* btCancel = nullptr;
  plat::TButton* btReset = nullptr;
  plat::TColorGrid* FontColorGrid = nullptr;
  plat::TColorGrid* BackColorGrid = nullptr;
  plat::TColorGrid* HotSpotColorGrid = nullptr;
  plat::TListBox* FontColorListBox = nullptr;
  plat::TListBox* BackColorListBox = nullptr;
  plat::TRadioGroup* ColorRadioGroup = nullptr;
  plat::TColorDialog* FontColorDialog = nullptr;
  plat::TColorDialog* BackColorDialog = nullptr;

 private:
  // The values as they were when the dialog was shown; Reset puts them back.
  struct TShownValues {
    bool bold = false, italic = false;
    std::string fontName;
    int fontSize = 4;
    plat::TColor fontColor = plat::clBlack, backColor = plat::clBlack;
    int colorMode = 0;
    bool fontTransparent = false, backTransparent = false;
  };

  void FillLists();
  void UpdatePreview();
  // The font colour (fontSide) or the background colour.
  void SetSideColor(bool fontSide, plat::TColor color);
  // A user's tick on one Transparent box: clears the other and takes the grid's first colour,
  // keeping the colour it had for the user's untick.
  void MakeTransparent(bool fontSide);
  // A user's untick: the colours from before the tick come back.
  void RestoreColorsBeforeTransparent(bool fontSide);

  plat::TColor fontColor_ = plat::clBlack;
  plat::TColor backColor_ = plat::clBlack;
  bool fontTransparent_ = false;
  bool backTransparent_ = false;
  // The colours around a user's tick on a Transparent box, kept for the untick.
  struct TTickedColors {
    std::optional<plat::TColor> own;  // the box's colour; none once the user chose another
    plat::TColor otherBefore = plat::clBlack, otherAfter = plat::clBlack;
  };
  std::optional<TTickedColors> fontTick_, backTick_;
  int fontSize_ = 4;
  TShownValues shown_;
  int colorMode_ = 0;
};

}  // namespace app
