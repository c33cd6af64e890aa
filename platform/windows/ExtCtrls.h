// Panels, radio groups, images, shapes, bevels, the 16-colour grid and the hint window.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/pictures/Picture.h"
#include "platform/windows/Controls.h"
#include "platform/windows/StdCtrls.h"

class QRadioButton;

namespace plat {

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

 protected:
  void Paint() override;
  void ApplyText() override { Invalidate(); }

 private:
  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = taCenter;
};

class TRadioGroup : public TWinControl {
 public:
  explicit TRadioGroup(TComponent* owner);
  // The items; changes made through it show on the next event or read.
  TStringList* Items();
  const TStringList* Items() const { return &items_; }
  int ItemIndex() const { return itemIndex_; }
  // A change from code to an item (not to -1) runs OnClick, as a click does.
  void SetItemIndex(int index);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  void SyncItems();

 protected:
  void ApplyText() override;
  void Loaded() override;
  void WndProc(TMessage& message) override;

 private:
  void Rebuild();
  QRadioButton* ItemWidget(int index) const;
  // Checks the item widget of ItemIndex and makes it the group's Tab stop.
  void ShowItemIndex();
  // An arrow key in item `from`: the focus goes to the next or previous item, which becomes
  // ItemIndex when `from` was the checked one.
  bool StepItem(int from, int step);
  TStringList items_;
  std::string shownItems_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() { return picture_.get(); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v);
  // Where the picture is drawn in the client area.
  TRect DestRect() const;

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
};

enum TShapeType : uint8_t {
  stRectangle,
  stSquare,
  stRoundRect,
  stRoundSquare,
  stEllipse,
  stCircle,
};

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType v);
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }

 protected:
  void Paint() override;

 private:
  TShapeType shape_ = stRectangle;
  TPen pen_;
  TBrush brush_;
};

enum TBevelShape : uint8_t {
  bsBox,
  bsFrame,
  bsTopLine,
  bsBottomLine,
  bsLeftLine,
  bsRightLine,
  bsSpacer,
};
enum TBevelStyle : uint8_t { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// The 16 basic colours in a 4 x 4 grid; a left click picks the foreground, a right click the
// background.
class TColorGrid : public TCustomControl {
 public:
  explicit TColorGrid(TComponent* owner);
  static const std::array<TColor, 16>& Palette();
  int ForegroundIndex() const { return foregroundIndex_; }
  void SetForegroundIndex(int v);
  int BackgroundIndex() const { return backgroundIndex_; }
  void SetBackgroundIndex(int v);
  TColor ForegroundColor() const { return Palette()[static_cast<size_t>(foregroundIndex_)]; }
  TColor BackgroundColor() const { return Palette()[static_cast<size_t>(backgroundIndex_)]; }
  bool ForegroundEnabled() const { return foregroundEnabled_; }
  void SetForegroundEnabled(bool v);
  bool BackgroundEnabled() const { return backgroundEnabled_; }
  void SetBackgroundEnabled(bool v);
  // The cell under a client point, or -1.
  int ColorIndexAt(int x, int y) const;

  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  TRect CellRect(int index) const;
  int foregroundIndex_ = 0;
  int backgroundIndex_ = 15;
  bool foregroundEnabled_ = true;
  bool backgroundEnabled_ = true;
};

// A tool-tip-like window at a screen rectangle.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  // The window rectangle (at 0, 0) the text needs when wrapped at maxWidth.
  TRect CalcHintRect(int maxWidth, const std::string& text);
  // Shows the text in a window covering rect (screen coordinates).
  void ActivateHint(const TRect& rect, const std::string& text);
  void ReleaseHandle() { Hide(); }

 protected:
  void Paint() override;
  bool StandsAlone() const override { return true; }
};

}  // namespace plat
