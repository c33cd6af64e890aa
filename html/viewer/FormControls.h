// Forms of a page and their controls: FORM groups the INPUT, SELECT and TEXTAREA elements that
// stand in the text as live windows, keeps radio groups, resets and submits them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/layout/sections/DocumentObjects.h"
#include "html/layout/text/InlineObjects.h"
#include "platform/windows/StdCtrls.h"

namespace html {

class TCellBasic;
class TImageObj;

// Radio buttons of a page keep their own state: checking one leaves its window's siblings alone
// (the form keeps the groups), and a change that arrives while Tab is held is refused, so
// tabbing onto a button never checks it.
// The focus mark of a focused check box or radio button: from 2 pixels left of and above the
// window to `reach` pixels right of and below its corner.
void DrawControlFocus(plat::TCanvas& canvas, const plat::TWinControl& window, int reach);

class TFormRadioButton : public plat::TRadioButton {
 public:
  explicit TFormRadioButton(plat::TComponent* owner) : plat::TRadioButton(owner) {}
  void SetChecked(bool v) override;

 protected:
  void TurnSiblingsOff() override {}
  void WndProc(plat::TMessage& message) override;
};

class TFormCheckBox : public plat::TCheckBox {
 public:
  explicit TFormCheckBox(plat::TComponent* owner) : plat::TCheckBox(owner) {}

 protected:
  void WndProc(plat::TMessage& message) override;
};

class ThtmlForm : public TDocumentForm {
 public:
  // A form of the document made from FORM's attributes (or none); the document owns it.
  static ThtmlForm& Create(TSectionList& document, const TAttributeList* attributes);
  ThtmlForm(TSectionList& document, const TAttributeList* attributes);

  // Takes the control over and lists it in the document (all controls, Tab order, IDs).
  template <class T>
  T& InsertControl(std::unique_ptr<T> control) {
    T& result = *control;
    Insert(std::move(control));
    return result;
  }
  // The other radio buttons of radio's group: unchecked, out of the Tab order, told.
  void DoRadios(TFormControlObj& radio);
  // The other radio buttons of radio's group unchecked and out of the Tab order, untold.
  void UncheckOtherRadios(const TFormControlObj& radio);
  // The radio buttons of the form with this name (case ignored), in form order.
  std::vector<TFormControlObj*> RadioGroup(const std::string& name) const;
  // Every control as the page gave it; each radio group reachable by Tab again.
  void ResetControls();
  std::unique_ptr<plat::TStringList> GetFormSubmission() override;
  // Hands the values of the enabled controls, then buttonSubmission, to the document's hook.
  void SubmitTheForm(const std::string& buttonSubmission);
  // Gives the controls values that GetFormSubmission made; false when a hook freed the form.
  bool SetFormData(const plat::TStringList& data);
  void SetSizes(plat::TCanvas& canvas) override;
  void ClearShownFlags() override;
  // Enter in an edit submits the form.
  void ControlKeyPress(TFormControlObj& control, char& key);
  // Arrows move between the radio buttons of a group; other keys go to the viewer.
  void ControlKeyDown(TFormControlObj& control, uint16_t& key, plat::TShiftState shift);

  TSectionList* Document;
  std::string Method = "Get";
  std::string Action, Target, EncType;
  TFreeList<TFormControlObj> ControlList;
  int32_t NonHiddenCount = 0;

 private:
  void Insert(std::unique_ptr<TFormControlObj> control);
};

class THiddenFormControlObj : public TFormControlObj {
 public:
  using TFormControlObj::TFormControlObj;
  bool IsHidden() const override { return true; }
  bool GetSubmissionItem(int index, std::string& item) override;
  bool CouldHaveGiven(int index, const std::string&) const override { return index == 0; }
  void SetDataValue(int index, const std::string& value) override;
};

class TEditFormControlObj : public TFormControlObj {
 public:
  // type: "text", "password", "file" or anything else (a text edit).
  TEditFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                      TProperties& props, const std::string& type);
  plat::TEdit& Edit() const { return static_cast<plat::TEdit&>(*TheControl()); }
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ApplyProperties(TProperties& props) override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  void SetDataValue(int index, const std::string& value) override;
  void SetupControlSize(plat::TCanvas& canvas) override;
  bool CouldHaveGiven(int index, const std::string&) const override { return index == 0; }

  std::string OldValue;
  int32_t AvgCharWidth = 0;
  int32_t EditSize = 15;
};

enum TButtonKind : uint8_t { bkSubmit, bkReset, bkButton, bkBrowse };

class TButtonFormControlObj : public TFormControlObj {
 public:
  // type: "submit", "reset", "button" or "file" (the browse button of a file input, made
  // without attributes: it has no value, name or ID).
  TButtonFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                        TProperties& props, const std::string& type);
  void SetupControlSize(plat::TCanvas& canvas) override;
  void ButtonClick();

  TButtonKind ButtonKind = bkSubmit;
  TEditFormControlObj* MyEdit = nullptr;
};

// INPUT type image: the picture stands in the text; a 1 x 1 window off screen takes the focus.
// A click on the picture submits the form with the point clicked.
class TImageFormControlObj : public TFormControlObj {
 public:
  TImageFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                       TProperties& props);
  void ApplyProperties(TProperties& props) override;
  // The picture shows the input; its window only takes the focus.
  void DrawOnCanvas(plat::TCanvas&, int, int) override {}
  // Each click submits its point once.
  bool GetSubmissionItem(int index, std::string& item) override;
  // The click the viewer saw at (XTemp, YTemp) inside the picture.
  void ImageControlClick();

  TImageObj* MyImage = nullptr;  // owned by the section that shows it
  int32_t XPos = -1, YPos = -1;
  int32_t XTemp = 0, YTemp = 0;
};

class TCheckBoxFormControlObj : public TFormControlObj {
 public:
  TCheckBoxFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                          TProperties& props);
  TFormCheckBox& Box() const { return static_cast<TFormCheckBox&>(*TheControl()); }
  void ShowAt(int32_t x, int32_t y) override;
  void DrawFocusFrame(plat::TCanvas& canvas) const override;
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  bool CouldHaveGiven(int index, const std::string& value) const override;
  void SetDataValue(int index, const std::string& value) override;
  void Unmark() override;

  bool WasChecked = false;
  bool IsChecked = false;
};

class TRadioButtonFormControlObj : public TFormControlObj {
 public:
  TRadioButtonFormControlObj(TSectionList* document, ThtmlForm& form,
                             const TAttributeList& attributes, TProperties& props,
                             TCellBasic* cell);
  TFormRadioButton& Radio() const { return static_cast<TFormRadioButton&>(*TheControl()); }
  bool IsRadio() const override { return true; }
  void ShowAt(int32_t x, int32_t y) override;
  void DrawFocusFrame(plat::TCanvas& canvas) const override;
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  bool CouldHaveGiven(int index, const std::string& value) const override;
  void SetDataValue(int index, const std::string& value) override;
  void RadioClick();

  bool WasChecked = false;
  bool IsChecked = false;
  TCellBasic* Cell;
};

// An option of a SELECT.
struct TOptionObj {
  std::string Value;
  bool Selected = false;
  std::unique_ptr<plat::TStringList> Attributes;  // NAME=value lines
};

// Option texts with their options; look-ups outside the list give "" and false.
class ThtOptionStringList {
 public:
  int Count() const { return int(items_.size()); }
  const std::string& Text(int index) const { return items_.at(size_t(index)).text; }
  std::string Value(int index) const;
  bool Selected(int index) const;
  bool HasValue(const std::string& value) const;
  void Add(std::string text, std::unique_ptr<TOptionObj> option);

 private:
  struct Item {
    std::string text;
    std::unique_ptr<TOptionObj> option;
  };
  std::vector<Item> items_;
};

// SELECT shown as a list box (MULTIPLE, or SIZE of 2 or more); the combo box derives from it.
class TListBoxFormControlObj : public TFormControlObj {
 public:
  TListBoxFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                         TProperties& props);
  plat::TListBox& List() const { return static_cast<plat::TListBox&>(*TheControl()); }
  // An option as the builder reads it; text in UTF-16.
  void AddOption(const std::u16string& text, bool selected, const plat::TStringList& attributes);
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ApplyProperties(TProperties& props) override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  bool CouldHaveGiven(int index, const std::string& value) const override;
  void SetDataValue(int index, const std::string& value) override;
  void SetupControlSize(plat::TCanvas& canvas) override;

  int32_t LBSize = -1;
  int32_t Longest = 3;
  std::unique_ptr<TMyFont> TheFont;
  int32_t SavedCount = 0;
  std::vector<bool> SavedSelected;  // the first 50 items
  ThtOptionStringList TheOptions;

 protected:
  // For the combo box, which makes its own window.
  TListBoxFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                         TProperties& props, bool combo);
};

class TComboFormControlObj : public TListBoxFormControlObj {
 public:
  TComboFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                       TProperties& props);
  plat::TComboBox& Combo() const { return static_cast<plat::TComboBox&>(*TheControl()); }
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  bool CouldHaveGiven(int index, const std::string& value) const override;
  void SetDataValue(int index, const std::string& value) override;
  void SetupControlSize(plat::TCanvas& canvas) override;

  int OldIndex = -1;
};

enum TTextAreaWrap : uint8_t { wrapOff, wrapSoft, wrapHard };

class TTextAreaFormControlObj : public TFormControlObj {
 public:
  TTextAreaFormControlObj(TSectionList* document, ThtmlForm& form, const TAttributeList& attributes,
                          TProperties& props);
  plat::TMemo& Memo() const { return static_cast<plat::TMemo&>(*TheControl()); }
  // Text of the element as the builder reads it (lines end in CR LF).
  void AddText(const std::string& text) { TheText += text; }
  // The text as the window holds it, lines joined by CR LF.
  std::string WindowText() const;
  void NotifyIfChanged() override;
  void SaveCurrentValue() override;
  void ApplyProperties(TProperties& props) override;
  void ResetToInitialValue() override;
  bool GetSubmissionItem(int index, std::string& item) override;
  void SetDataValue(int index, const std::string& value) override;
  void SetupControlSize(plat::TCanvas& canvas) override;
  bool CouldHaveGiven(int index, const std::string&) const override { return index == 0; }

  std::string OldValue;
  TTextAreaWrap Wrap = wrapSoft;
  int32_t Rows = 5;
  int32_t Cols = 30;
  std::string TheText;
};

// Gives the forms of the document the values CollectFormData took from them (same page).
void RestoreFormData(TSectionList& document, const TFreeList<plat::TStringList>& data);

// The largest SIZE, ROWS, COLS and pixel size a control takes from the page.
inline constexpr int32_t kMaxControlChars = 1000;
inline constexpr int32_t kMaxControlPixels = 16000;
// Windows wait off screen until painting places them, so focus and Tab keep working.
inline constexpr int32_t kParkedControlLeft = -4000;

}  // namespace html
