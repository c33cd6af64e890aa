// What a text section asks of the objects that stand in its text like large characters:
// pictures and host panels (one U+0004 each) and form controls (one U+0002 each). The object
// kinds derive from these bases and fill in sizing and drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "html/CssFonts.h"
#include "html/IDNames.h"
#include "html/PageUtils.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"

namespace html {

class TFontObj;

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
  // Draws a floating object at (x, top), after the text of the page.
  virtual void DrawFloat(plat::TCanvas& canvas, int32_t x, int32_t top) = 0;

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
};

// The pictures and panels of one section, ordered by position.
class TImageObjList : public TFreeList<TFloatingObj> {
 public:
  // The object at position, or null.
  TFloatingObj* FindImage(int32_t position) const;
  // One character at or before position was deleted: later objects move down.
  void Decrement(int32_t position);
};

class TFormControlObj : public TIDObject {
 public:
  int32_t GetYPosition() override { return LinkY; }
  // The window standing for the control, or null.
  virtual plat::TWinControl* TheControl() const = 0;
  // Places the window at (x, y) in window coordinates and shows it.
  virtual void ShowAt(int32_t x, int32_t y) = 0;

  int32_t Width() const { return TheControl() ? TheControl()->Width() : 0; }
  int32_t Height() const { return TheControl() ? TheControl()->Height() : 0; }
  int32_t HSpaces() const { return HSpaceL + HSpaceR; }

  int32_t LinkY = 0;
  int32_t Pos = 0;
  uint8_t FormAlign = aBottom;
  int32_t HSpaceL = 0, HSpaceR = 0, VSpaceT = 1, VSpaceB = 1;
  int32_t FWidth = 0;  // a percentage when PercentWidth
  bool PercentWidth = false;
  bool IsShown = false;
  std::string Value;  // the VALUE attribute; "on" for a check box without one
};

// The form controls of one section, ordered by position; their forms own them.
class TFormControlList : public std::vector<TFormControlObj*> {
 public:
  TFormControlObj* FindControl(int32_t position) const;
  void Decrement(int32_t position);
};

}  // namespace html
