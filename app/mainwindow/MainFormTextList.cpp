// Stamping the current text and keeping the list of saved texts.
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/SavedTexts.h"
#include "app/mainwindow/TextHints.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Dialogs.h"

namespace app {
namespace {

constexpr std::string_view TextPromptCaption = "Text to add";
constexpr std::string_view DeleteTextQuestion = "Remove this text from the list?";
// Stamped corner texts have one fixed size, whatever the chosen one.
constexpr int32_t CornerTextSize = 40;

}  // namespace

void TMainForm::WriteTextClick(plat::TObject* Sender) {
  Modified = true;
  if (SelectedBitmapLayer()) SelectLayer(nullptr);
  TRenderText R;
  R.FontName = FontName;
  R.Size = CurrentText == CornerText ? CornerTextSize : plat::StrToInt(FontSizeText) * 10;
  R.Bold = TextBold;
  R.Italic = TextItalic;
  R.TextColor = gfx::Color32(FontColor);
  R.BackColor = BackColor;
  if (CurrentText != SampleText) {
    R.Text = CurrentText;
  } else {
    std::string typed = EnteredText;
    if (!plat::InputQuery(std::string(TextPromptCaption), "", typed)) return;
    EnteredText = typed;
    R.Text = typed;
  }
  LayerOpacity->SetEnabled(true);
  DefaultStepCount = 12;
  DefaultStepAngle = 30;
  CreateTextLayer(Sender, R, true, 10000);
}

void TMainForm::TextListClick(plat::TObject* Sender) {
  if (Sender != TextList) return;
  const int index = TextList->ItemIndex();
  if (index < 0) return;
  CurrentText = TextList->Items()->Strings(index);
  CurrentTextHint = BuildTextHint(CurrentText, *this);
  WriteTextButton->SetHint(CurrentTextHint);
  TextOptionButton->SetHint(CurrentTextHint);
}

void TMainForm::TextListDoubleClick(plat::TObject* Sender) {
  if (Sender != TextList) return;
  const int index = TextList->ItemIndex();
  if (index < 0) return;
  // A copy: deleting the entry frees the string it came from.
  const std::string entry = TextList->Items()->Strings(index);
  const std::string question = std::string(DeleteTextQuestion) + "\n\n[" + entry + "]";
  if (plat::MessageDlg(question, plat::mtConfirmation, plat::MB_YESNO) != plat::mrYes) return;
  TextList->DeleteSelected();
  RemoveLastSavedText(TextItems, entry);
}

}  // namespace app
