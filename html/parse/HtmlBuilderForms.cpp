// Form controls in text: INPUT, TEXTAREA and SELECT.
#include <memory>

#include "html/images/ImageObjects.h"
#include "html/parse/DocumentBuilderState.h"
#include "html/viewer/FormControls.h"
#include "html/viewer/FormControlsText.h"

namespace html {
namespace {

std::u16string Trimmed(const std::u16string& text) {
  size_t first = 0, last = text.size();
  while (first < last && text[first] <= u' ') ++first;
  while (last > first && text[last - 1] <= u' ') --last;
  return text.substr(first, last - first);
}

}  // namespace

ThtmlForm& THtmlBuilder::CurrentForm() {
  if (!form_) form_ = &ThtmlForm::Create(document_, nullptr);
  return *form_;
}

template <class Fn>
void THtmlBuilder::WithControlProperties(const std::string& tag, Fn fn) {
  TSection& section = EnsureSection();
  const bool pushed = PushCurrent(tag);
  fn(section, CurrentForm(), stack_.Last());
  if (pushed) PopPropertiesTo(tag);
}

void THtmlBuilder::DoInput() {
  WithControlProperties("input", [this](TSection& section, ThtmlForm& form, TProperties& props) {
    TAttributeList& attributes = tok_.Attributes;
    TAttribute* attr = nullptr;
    const std::string type = attributes.Find(TypeSy, attr) ? plat::LowerCase(attr->Name) : "";
    const int32_t at = tok_.TagStart;
    if (type == "hidden") {
      form.InsertControl(
          std::make_unique<THiddenFormControlObj>(&document_, &form, attributes, props));
      return;
    }
    if (type == "image") {
      auto& input = form.InsertControl(
          std::make_unique<TImageFormControlObj>(&document_, form, attributes, props));
      auto image =
          std::make_unique<TImageObj>(&document_, int32_t(section.Text.size()), attributes);
      image->SetFormControl(&input);
      input.MyImage = image.get();
      input.ApplyProperties(props);
      section.AddFloatingObj(std::move(image), at);
      return;
    }
    if (type == "file") {
      auto& edit = form.InsertControl(
          std::make_unique<TEditFormControlObj>(&document_, form, attributes, props, type));
      // The element's ID names the edit, which shows no file name at first, nor after a reset:
      // only the reader chooses the file.
      edit.FID.clear();
      edit.Value.clear();
      edit.Edit().SetText({});
      section.AddFormControl(edit, at, kBreakNever, &props);
      edit.ApplyProperties(props);
      const TAttributeList none;
      auto& browse = form.InsertControl(
          std::make_unique<TButtonFormControlObj>(&document_, form, none, props, type));
      browse.MyEdit = &edit;
      section.AddFormControl(browse, at, kBreakNever, &props);
      browse.ApplyProperties(props);
      return;
    }
    TFormControlObj* control = nullptr;
    if (type == "submit" || type == "reset" || type == "button")
      control = &form.InsertControl(
          std::make_unique<TButtonFormControlObj>(&document_, form, attributes, props, type));
    else if (type == "radio")
      control = &form.InsertControl(
          std::make_unique<TRadioButtonFormControlObj>(&document_, form, attributes, props, cell_));
    else if (type == "checkbox")
      control = &form.InsertControl(
          std::make_unique<TCheckBoxFormControlObj>(&document_, form, attributes, props));
    else
      control = &form.InsertControl(
          std::make_unique<TEditFormControlObj>(&document_, form, attributes, props, type));
    section.AddFormControl(*control, at, kBreakOrdinary, &props);
    control->ApplyProperties(props);
  });
}

void THtmlBuilder::DoTextArea() {
  WithControlProperties("textarea", [this](TSection& section, ThtmlForm& form, TProperties& props) {
    auto& area = form.InsertControl(
        std::make_unique<TTextAreaFormControlObj>(&document_, form, tok_.Attributes, props));
    section.AddFormControl(area, tok_.TagStart, kBreakOrdinary, &props);
    // The body is text up to </textarea>: other tags in it are kept as written.
    static const std::string kEnd = "</textarea";
    std::string line;
    while (tok_.LCh != 0) {
      const char ch = tok_.LCh;
      if (ch == '\r') {
        area.AddText(TextToUtf8(area.CodePage, line) + "\r\n");
        line.clear();
        tok_.ReadNormalizedChar();
      } else if (ch == '&') {
        line += tok_.GetEntityInValue(area.CodePage);
      } else if (ch == '<') {
        std::string tag;
        do {
          tag += tok_.LCh;
          tok_.ReadNormalizedChar();
        } while (tok_.LCh != 0 && tok_.LCh != ' ' && tok_.LCh != '\r' && tok_.LCh != '>' &&
                 tok_.LCh != '<' && tag.size() <= kEnd.size());
        if (plat::LowerCase(tag) == kEnd) break;
        line += tag;
      } else {
        line += ch;
        tok_.ReadNormalizedChar();
      }
    }
    while (tok_.LCh != 0 && tok_.LCh != '>') tok_.ReadNormalizedChar();
    if (tok_.LCh == '>') tok_.GetCh();
    area.AddText(TextToUtf8(area.CodePage, line));
    area.ResetToInitialValue();
    area.ApplyProperties(props);
  });
}

void THtmlBuilder::DoSelect() {
  static const TSymbolSet kSelectEnds{PSy,          EofSy,   TableEndSy,  TDSy,    TDEndSy,
                                      THSy,         THEndSy, TRSy,        TREndSy, CaptionSy,
                                      CaptionEndSy, InputSy, SelectEndSy, ColSy,   ColGroupSy};
  WithControlProperties("select", [this](TSection& section, ThtmlForm& form, TProperties& props) {
    TAttributeList& attributes = tok_.Attributes;
    TAttribute* attr = nullptr;
    const bool listBox =
        attributes.Find(MultipleSy, attr) || (attributes.Find(SizeSy, attr) && attr->Value >= 2);
    TListBoxFormControlObj& control =
        listBox ? form.InsertControl(
                      std::make_unique<TListBoxFormControlObj>(&document_, form, attributes, props))
                : form.InsertControl(
                      std::make_unique<TComboFormControlObj>(&document_, form, attributes, props));
    section.AddFormControl(control, tok_.TagStart, kBreakOrdinary, &props);

    const bool noBreak = noBreak_;
    noBreak_ = false;
    std::unique_ptr<plat::TStringList> option;  // the attributes of the open OPTION
    bool selected = false;
    std::u16string text;
    const auto addOption = [&] {
      if (option) control.AddOption(Trimmed(text), selected, *option);
      option.reset();
      text.clear();
    };
    Next();
    while (!kSelectEnds.Has(Sy())) {
      if (Sy() == OptionSy || Sy() == OptionEndSy) {
        addOption();
        if (Sy() == OptionSy) {
          selected = tok_.Attributes.Find(SelectedSy, attr);
          option = tok_.Attributes.CreateStringList();
        }
      } else if (Sy() == TextSy && option) {
        text.append(tok_.Token.Chars.data(), size_t(tok_.Token.Count));
      }
      Next();
    }
    addOption();
    noBreak_ = noBreak;
    control.ResetToInitialValue();
    control.ApplyProperties(props);
  });
}

}  // namespace html
