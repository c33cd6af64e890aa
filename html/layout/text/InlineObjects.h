// What a text section asks of the objects that stand in its text like large characters:
// pictures and host panels (one U+0004 each) and form controls (one U+0002 each). The object
// kinds derive from these bases and fill in sizing and drawing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/base/IDNames.h"
#include "html/base/PageUtils.h"
#include "html/css/CssFonts.h"
#include "html/layout/sections/DocumentObjects.h"
#include "platform/drawing/Graphics.h"
#include "platform/windows/Controls.h"

namespace html {

class TFontObj;
class TProperties;
class TPointedImage;

// Alignment codes of inline objects.
enum : uint8_t { aTop = 1, aMiddle = 2, aBaseline = 3, aBottom = 4, aLeft = 5, aRight = 6 };

// Where an object stands in its line when the line is painted; y values in window coordinates.
struct TInlinePlace {
  int32_t X;  // left of the object's left space
  int32_t LineTop, TextTop, Baseline, LineBottom;
  const TFontObj& Run;  // the font run at the object
};

class TFloatingObj : public TIDObject {
 public:
  int32_t GetYPosition() override { return DrawY; }
  // Sizes the object for the line width and height base, with the font at its position.
  virtual void ComputeSize(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase,
                           const TMyFont& font) = 0;
  // Draws a non-floating object in its line.
  virtual void DrawInline(plat::TCanvas& canvas, const TInlinePlace& place) = 0;
  // The top of a non-floating object's box in its line (y values as place gives them).
  virtual int32_t InlineTop(const TInlinePlace& place) const {
    return place.Baseline - ImageHeight - VSpaceB;
  }
  // Draws a floating object at (x, top), after the text of the page.
  virtual void DrawFloat(plat::TCanvas& canvas, int32_t x, int32_t top) = 0;
  // Takes alignment, float, title, spacing, border and size from the element's CSS.
  virtual void ApplyProperties(const TProperties& prop);

  bool IsFloating() const { return ObjAlign == aLeft || ObjAlign == aRight; }
  int32_t HSpaces() const { return HSpaceL + HSpaceR; }
  int32_t VSpaces() const { return VSpaceT + VSpaceB; }

  int32_t Pos = 0;
  int32_t ImageHeight = 0;  // the box with its border, without the spaces
  int32_t ImageWidth = 0;
  uint8_t ObjAlign = aBottom;
  int32_t FloatX = 0;  // floats: x relative to the left edge of the indents
  int32_t HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
  int32_t SpecWidth = -1, SpecHeight = -1;
  bool PercentWidth = false, PercentHeight = false;
  int32_t DrawY = 0, DrawX = 0;
  std::string ImageTitle;  // the tool tip: TITLE, else ALT
  std::string AltText;
  std::u16string AltTextW;
  bool SizeKnown = false;  // the size no longer depends on the picture
  bool NoBorder = false;   // BORDER="0" or a CSS border style
  int32_t BorderSize = 0;  // 0-10
};

// The first item at or after position in a list of objects ordered by position.
template <class List>
auto FirstAtOrAfter(const List& list, int32_t position) {
  return std::lower_bound(list.begin(), list.end(), position,
                          [](const auto& item, int32_t p) { return item->Pos < p; });
}

// The pictures and panels of one section, ordered by position.
class TImageObjList : public TFreeList<TFloatingObj> {
 public:
  static constexpr int32_t kNoMoreImages = 99999999;
  // The object at position, or null.
  TFloatingObj* FindImage(int32_t position) const;
  // The object's box height with its vertical spaces, and its alignment; -1 when none.
  int32_t GetHeightAt(int32_t position, uint8_t& align, TFloatingObj*& obj) const;
  // The object's box width, its alignment and horizontal spaces; -1 when none.
  int32_t GetWidthAt(int32_t position, uint8_t& align, int32_t& spaceL, int32_t& spaceR,
                     TFloatingObj*& obj) const;
  // Characters from position to the next object at or after it; kNoMoreImages when none.
  int32_t GetImageCountAt(int32_t position) const;
  // The first picture at a position in [from, to) whose drawn area holds (x, y) (document
  // coordinates), with the point inside it; null when none.
  TPointedImage* PtInImage(int32_t x, int32_t y, int32_t& ix, int32_t& iy, const TFloatingObj*& obj,
                           int32_t from = 0, int32_t to = INT32_MAX) const;
  // The first picture or panel at a position in [from, to) under (x, y), with the point inside
  // it; null when none.
  TFloatingObj* PtInObject(int32_t x, int32_t y, int32_t& ix, int32_t& iy, int32_t from = 0,
                           int32_t to = INT32_MAX) const;
};

class ThtmlForm;
class TSectionList;
class TProperties;
class TAttributeList;

// A form control of the page: INPUT, SELECT or TEXTAREA, with the window that stands for it
// (none for hidden inputs). Its form owns it; text sections and the document only list it.
class TFormControlObj : public TIDObject, public TPageWindowObj {
 public:
  // Reads the attributes every control kind shares; the form lists the control later
  // (ThtmlForm::InsertControl).
  TFormControlObj(TSectionList* document, ThtmlForm* form, const TAttributeList& attributes,
                  const TProperties& props);
  ~TFormControlObj() override;

  int32_t GetYPosition() override { return LinkY; }
  // The window standing for the control, or null.
  plat::TWinControl* TheControl() const { return window_.get(); }
  plat::TWinControl* WindowControl() const override { return window_.get(); }
  // Places the window at (x, y) in window coordinates and shows it.
  virtual void ShowAt(int32_t x, int32_t y);
  // Marks a focused check box or radio button on the page around its placed window.
  virtual void DrawFocusFrame(plat::TCanvas&) const {}
  // Draws the control as its window looks now onto canvas at (x, y).
  virtual void DrawOnCanvas(plat::TCanvas& canvas, int x, int y);

  // Reports a change since SaveCurrentValue to the document's change hook.
  virtual void NotifyIfChanged() {}
  virtual void SaveCurrentValue() {}
  // CSS sizes, spaces, alignment and background colour.
  virtual void ApplyProperties(TProperties& props);
  virtual void ResetToInitialValue() {}
  // The index-th name=value item to submit; false when there are no more.
  virtual bool GetSubmissionItem(int index, std::string& item);
  // Restores a value that GetSubmissionItem gave earlier.
  virtual void SetDataValue(int index, const std::string& value);
  virtual void Unmark() {}
  // Sizes the window with the canvas's measures of the control's font.
  virtual void SetupControlSize(plat::TCanvas& canvas);
  virtual bool IsHidden() const { return false; }
  virtual bool IsRadio() const { return false; }
  // Whether value can be the index-th item GetSubmissionItem gave: restored data finds the
  // control each of its values came from.
  virtual bool CouldHaveGiven(int, const std::string&) const { return false; }

  // Window handlers, shared by the control kinds.
  void FormControlEnter();
  void FormControlExit();
  // False when a host hook freed this control meanwhile.
  bool FormControlClick();
  // The viewer shows the control's title and reports the move to its host.
  void FormControlMouseMove(plat::TShiftState shift, int x, int y);

  int32_t Width() const { return window_ ? window_->Width() : 0; }
  int32_t Height() const { return window_ ? window_->Height() : 0; }
  int32_t HSpaces() const { return HSpaceL + HSpaceR; }

  int32_t LinkY = 0;
  bool IsFocused = false;
  std::unique_ptr<plat::TStringList> AttributeStrings;
  std::string Title;
  int32_t CodePage = 0;
  int32_t Pos = 0;
  TSectionList* Document;
  ThtmlForm* MyForm;
  std::string Value;  // texts are UTF-8
  std::string FName;
  std::string FID;
  uint8_t FormAlign = aBottom;
  int32_t HSpaceL = 0, HSpaceR = 0, VSpaceT = 1, VSpaceB = 1;
  int32_t BorderTop = 0, BorderBottom = 0;
  int32_t FHeight = 0, FWidth = 0;  // FWidth is a percentage when PercentWidth
  bool PercentWidth = false;
  bool Disabled = false;
  bool ReadOnly = false;
  TColor BkColor = clNone;
  int32_t TabIndex = 0;  // TABINDEX, 0 when none
  std::string OnClickText, OnFocusText, OnBlurText, OnChangeText;

  // Turns false when this control is freed: a host hook may load another page, which frees
  // every control of the old one while one of their events is still running.
  std::shared_ptr<const bool> Alive() const { return alive_; }

 protected:
  // Takes over the window: parented to the paint panel, off screen, enabled unless disabled,
  // with the element's font and the handlers every kind shares.
  void AttachWindow(std::unique_ptr<plat::TWinControl> window, TProperties& props);
  // Only takes the window over.
  void SetWindow(std::unique_ptr<plat::TWinControl> window);
  // The element's font, measured on the canvas.
  void SelectFont(plat::TCanvas& canvas) const;
  // A CSS background colour for the window (edits, lists, memos).
  void ApplyBackground();
  // Calls the document's change hook; false when the hook freed this control.
  bool ReportChange();
  // Calls a copy of a document hook (a load replaces the document's hooks) with a copy of the
  // attribute text; false when the hook freed this control.
  bool CallHook(std::function<void(plat::TObject*, plat::TObject*, const std::string&)> hook,
                std::string text);

 private:
  std::unique_ptr<plat::TWinControl> window_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The form controls of one section, ordered by position; their forms own them.
class TFormControlList : public std::vector<TFormControlObj*> {
 public:
  static constexpr int32_t kNoMoreControls = 9999;
  TFormControlObj* FindControl(int32_t position) const;
  // The control's window height and alignment; -1 when none is at position.
  int32_t GetFlagAtPosition(int32_t position, uint8_t& align) const;
  // The control's window width and horizontal spaces; -1 when none is at position.
  int32_t GetSizeAtPosition(int32_t position, int32_t& spaceL, int32_t& spaceR) const;
  // Characters from position to the next control at or after it; kNoMoreControls when none.
  int32_t NextPosition(int32_t position) const;
};

}  // namespace html
