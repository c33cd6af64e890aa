// The text options button: the current text and its look go through the text dialog.
#include <memory>

#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/SavedTexts.h"
#include "app/mainwindow/TextHints.h"
#include "app/textdialog/FontDialog.h"
#include "platform/runtime/SysUtils.h"

namespace app {

void TMainForm::TextOptionButtonClick(plat::TObject*) {
  auto D = std::make_unique<TFontForm>(this);
  D->SetFontName(FontName);
  D->SetFontColor(FontColor);
  D->SetFontSize(plat::StrToInt(FontSizeText));
  D->SetBackColor(BackColor);
  // The dialog offers no colour interaction; a text always starts without one.
  D->SetColorMode(0);
  D->SetBold(TextBold);
  D->SetItalic(TextItalic);
  D->SetFontTransparent(FontTransparent);
  D->SetBackTransparent(BackTransparent);
  D->SetTextToAdd(CurrentText);
  if (D->ShowModal() != plat::mrOk) return;
  FontName = D->GetFontName();
  FontSizeText = plat::IntToStr(D->FontSize());
  FontColor = D->FontColor();
  BackColor = D->BackColor();
  TextBold = D->GetBold();
  TextItalic = D->GetItalic();
  FontTransparent = D->FontTransparent();
  BackTransparent = D->BackTransparent();
  TextColorMode = D->ColorMode();
  CurrentText = D->GetTextToAdd();
  AddSavedText(TextItems, *TextList, CurrentText);
  CurrentTextHint = BuildTextHint(CurrentText, *this);
  WriteTextButton->SetHint(CurrentTextHint);
  TextOptionButton->SetHint(CurrentTextHint);
}

}  // namespace app
