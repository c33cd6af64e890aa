// Standard controls: buttons, labels, edits, memos, check boxes, radio buttons, group boxes,
// combo boxes, list boxes and scroll bars, with the component library's behaviour where it
// differs from Qt's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Controls.h"

class QLineEdit;
class QListWidget;

namespace plat {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  // Enter clicks the focused button, or the default one from a control that is no button; Esc
  // clicks the cancel button (TCustomForm::DialogKey).
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  // A click from code: the form takes the modal result, then OnClick runs.
  void Click() override;

 protected:
  void ApplyText() override;
  void WndProc(TMessage& message) override;

 private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control) { focusControl_ = control; }

 protected:
  void Paint() override;
  void ApplyText() override { AdjustSize(); }
  void ApplyFont() override { AdjustSize(); }
  void Notification(TComponent* component, TOperation operation) override;
  // A layout sets the caption and font while loading: the size follows them once it is read.
  void Loaded() override;

 private:
  void AdjustSize();
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TWinControl* focusControl_ = nullptr;
};

class TEdit : public TWinControl {
 public:
  // What the reader may type: at most maxLength characters (0: any number), none of it while
  // the program sets the text.
  struct TTyping {
    int maxLength = 0;
    bool programSets = false;
  };
  explicit TEdit(TComponent* owner);
  std::string Text() const override;
  // Runs OnChange for every change, from code too (not while a layout loads).
  void SetText(const std::string& text) override;
  int MaxLength() const { return typing_->maxLength; }
  // Limits only what the reader types or pastes: text set by the program stays whole.
  void SetMaxLength(int v);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  void SelectAll();

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void ApplyColor() override;

 private:
  std::shared_ptr<TTyping> typing_ = std::make_shared<TTyping>();
  char passwordChar_ = 0;
  bool readOnly_ = false;
};

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;
  // The lines; changes made through it show on the next event or read.
  TStringList* Lines();
  // The lines, each with a line end after it.
  std::string Text() const override;
  // Line ends of any kind become "\n".
  void SetText(const std::string& text) override;
  // The text as the memo holds it: "\n" between lines, a line end after the last line only
  // when the text has one.
  std::string WindowText() const;
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  void SetSelStart(int v);
  // The lines as wrapped on the screen (hard wrapping of form text).
  std::vector<std::string> WrappedLines() const;

  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  // The client area lies inside the frame the platform draws.
  int BorderInset() const override;

 private:
  // Hands the text to the widget when it is visible, or evenHidden.
  void SyncToWidget(bool evenHidden = false) const;
  // The text and its lines from a new text with "\n" line ends.
  void TakeText(std::string text);
  // The text, made anew from the lines when they were changed through Lines().
  const std::string& ExactText() const;
  std::unique_ptr<TStringList> lines_;
  mutable std::string text_;            // the text, exactly
  mutable uint64_t linesRevision_ = 0;  // of the lines that match text_
  mutable std::string shown_;           // the text the widget holds
  mutable int selStart_ = -1;           // a cursor position still to be handed over
  bool wordWrap_ = true;
  bool readOnly_ = false;
  TScrollStyle scrollBars_ = ssNone;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return checked_; }
  // A change from code runs OnClick too; setting the same value runs nothing.
  void SetChecked(bool v);
  TCheckBoxState State() const { return checked_ ? cbChecked : cbUnchecked; }
  void SetState(TCheckBoxState state) { SetChecked(state == cbChecked); }

 protected:
  void ApplyText() override;
  void WndProc(TMessage& message) override;

 private:
  bool checked_ = false;
};

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  // A change from code runs OnClick; checking turns the sibling radio buttons off. A click
  // only ever checks, through this call, so that page controls can refuse a change.
  virtual void SetChecked(bool v);

 protected:
  void ApplyText() override;
  void WndProc(TMessage& message) override;
  // Siblings on the same parent are one group; page controls that keep their own state
  // override this with nothing.
  virtual void TurnSiblingsOff();

 private:
  bool checked_ = false;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);

 protected:
  void ApplyText() override;
};

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  // The items; changes made through it show on the next event or read.
  TStringList* Items();
  const TStringList* Items() const { return &items_; }
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const override;
  // From code: no OnChange.
  void SetText(const std::string& text) override;
  int SelStart() const;
  void SetSelStart(int v);
  bool Sorted() const { return items_.Sorted(); }
  void SetSorted(bool v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v);
  void Clear();
  void SyncItems() const;
  // What a combo box adds round its text: frame, margins and the drop-down button.
  static int ChromeWidth();

  TNotifyEvent OnChange;

 protected:
  void Loaded() override;
  void WndProc(TMessage& message) override;
  // The wheel steps the choice by whole notches, parts of a notch added up first.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

 private:
  // The reader typed into the edit, or chose an item (from the list, or by the wheel).
  void WatchEdits(QLineEdit* edit);
  void Changed();
  void Chosen();
  TStringList items_;
  mutable uint64_t shownRevision_ = 0;  // of the items the window shows
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  mutable bool quiet_ = false;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  // The items; changes made through it show on the next event or read.
  TStringList* Items();
  const TStringList* Items() const { return &items_; }
  int ItemIndex() const;
  // From code: no OnClick.
  void SetItemIndex(int index);
  int Count() const { return items_.Count(); }
  // Setting Sorted sorts the items (case-insensitively); later additions insert in order.
  bool Sorted() const { return items_.Sorted(); }
  void SetSorted(bool v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  // Selects exactly the entries whose flag is set (the others not), in one step.
  void SetSelectedItems(const std::vector<bool>& selected);
  int SelCount() const;
  void DeleteSelected();
  void Clear();
  int TopIndex() const;
  void SetTopIndex(int index);
  // The item at a client point; with existing, -1 below the last item, else the index just
  // past the items.
  int ItemAtPos(TPoint p, bool existing) const;
  int ItemHeight() const;
  void SyncItems() const;

 protected:
  void Loaded() override;
  void ApplyFont() override;
  void WndProc(TMessage& message) override;
  // The client area lies inside the frame the platform draws.
  int BorderInset() const override;

 private:
  QListWidget* List() const;
  TStringList items_;
  mutable uint64_t shownRevision_ = 0;  // of the items the window shows
  bool multiSelect_ = false;
  mutable bool quiet_ = false;
  // The press under way is a left press; it has clicked already.
  bool leftPress_ = false, pressClicked_ = false;
};

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
enum TScrollCode : uint8_t {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll,
};
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& scrollPos)>;

// Positions are 32-bit; the largest position the bar reaches is Max - PageSize + 1.
class TScrollBar : public TWinControl {
 public:
  explicit TScrollBar(TComponent* owner);
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  // Runs OnChange when it changes, from code too.
  void SetPosition(int v) { SetParams(v, min_, max_); }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v);
  void SetParams(int position, int min, int max);
  // The live position while the thumb is dragged.
  int TrackPosition() const;
  // The platform's scroll-bar thickness.
  static int DefaultBarSize();

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 private:
  void ApplyRange();
  void Scroll(TScrollCode code, int pos);
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int smallChange_ = 1, largeChange_ = 1;
  mutable bool quiet_ = false;
};

}  // namespace plat
