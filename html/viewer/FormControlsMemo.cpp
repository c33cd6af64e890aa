// TEXTAREA: a memo with its initial text, wrapping and size in rows and columns.
#include <algorithm>

#include "html/css/CssStyles.h"
#include "html/viewer/FormControls.h"

namespace html {

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* document, ThtmlForm& form,
                                                 const TAttributeList& attributes,
                                                 TProperties& props)
    : TFormControlObj(document, &form, attributes, props) {
  TAttribute* attr = nullptr;
  if (attributes.Find(RowsSy, attr) && attr->Value > 0)
    Rows = std::min(attr->Value, kMaxControlChars);
  if (attributes.Find(ColsSy, attr) && attr->Value > 0)
    Cols = std::min(attr->Value, kMaxControlChars);
  if (attributes.Find(WrapSy, attr)) {
    const std::string wrap = plat::LowerCase(attr->Name);
    if (wrap == "off")
      Wrap = wrapOff;
    else if (wrap == "hard")
      Wrap = wrapHard;
  }
  auto memo = std::make_unique<plat::TMemo>(nullptr);
  memo->SetScrollBars(Wrap == wrapOff ? plat::ssBoth : plat::ssVertical);
  memo->SetWordWrap(Wrap != wrapOff);
  memo->SetReadOnly(ReadOnly);
  if (props.HasBorderStyle()) memo->SetBorderStyle(plat::bsNone);
  AttachWindow(std::move(memo), props);
  Memo().OnClick = [this](plat::TObject*) { FormControlClick(); };
  Memo().OnKeyPress = [this](plat::TObject*, char& key) { MyForm->ControlKeyPress(*this, key); };
}

std::string TTextAreaFormControlObj::WindowText() const {
  // The memo's text with CR LF line ends, a line end after the last line kept.
  std::string text;
  for (char c : Memo().WindowText()) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

void TTextAreaFormControlObj::NotifyIfChanged() {
  if (WindowText() != OldValue) ReportChange();
}

void TTextAreaFormControlObj::SaveCurrentValue() {
  OldValue = WindowText();
}

void TTextAreaFormControlObj::ApplyProperties(TProperties& props) {
  TFormControlObj::ApplyProperties(props);
  ApplyBackground();
}

void TTextAreaFormControlObj::ResetToInitialValue() {
  Memo().SetText(TheText);
  Memo().SetSelStart(0);
}

bool TTextAreaFormControlObj::GetSubmissionItem(int index, std::string& item) {
  if (index != 0) return false;
  std::string text;
  if (Wrap == wrapHard) {
    // The lines as the reader sees them wrapped.
    const std::vector<std::string> lines = Memo().WrappedLines();
    for (size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\r\n" : "") + lines[i];
  } else {
    text = WindowText();
  }
  item = FName + "=" + text;
  return true;
}

void TTextAreaFormControlObj::SetDataValue(int, const std::string& value) {
  Memo().SetText(value);
}

void TTextAreaFormControlObj::SetupControlSize(plat::TCanvas& canvas) {
  SelectFont(canvas);
  plat::TMemo& memo = Memo();
  const int64_t rows = int64_t(canvas.TextHeight("A")) * Rows + 5;
  memo.SetClientHeight(FHeight < 10 ? int32_t(std::min<int64_t>(rows, kMaxControlPixels))
                                    : FHeight);
  if (PercentWidth) {
    memo.SetBounds(kParkedControlLeft, memo.Top(), 50, memo.Height());
  } else if (FWidth >= 10) {
    memo.SetWidth(FWidth);
  } else {
    const int64_t columns = int64_t(canvas.TextWidth("s")) * Cols + 5;
    memo.SetClientWidth(int32_t(std::min<int64_t>(columns, kMaxControlPixels)));
  }
}

}  // namespace html
