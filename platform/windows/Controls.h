// Folder platform/windows: the application, forms, controls and their Qt host widgets, the control
// families, popup menus, dialogs, stored layouts and the test seams. The only folder that runs
// Qt's widgets.
//
// Controls: bounds, alignment, visibility, colours, fonts, captions, mouse and key events and the
// window messages that carry them. Every control owns one QWidget (not visible to callers).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/Colors.h"
#include "platform/drawing/Geometry.h"
#include "platform/drawing/Graphics.h"
#include "platform/runtime/Components.h"
#include "platform/runtime/StableList.h"
#include "platform/windows/Messages.h"

class QWidget;
class QPainter;
class QObject;

namespace plat {

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TEventBridge;
class TControlHost;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = uint8_t;  // bit mask of 1 << TAnchorKind
inline constexpr TAnchors AnchorsLeftTop = (1 << akLeft) | (1 << akTop);

// A control's position or size held to what the window system can place (Qt's largest widget
// side, either way), so that bounds from a hand-edited layout add up without overflow.
int HeldBound(int64_t v);

enum TShiftStateBit : uint16_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = uint16_t;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

enum TBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
// Cursor names for stored layouts ("crHourGlass"); false when unknown.
bool IdentToCursor(std::string_view ident, int64_t& cursor);

enum TControlStyleBit : uint32_t {
  csAcceptsControls = 1,
  csCaptureMouse = 2,
  csClickEvents = 4,
  csOpaque = 8,
  csDoubleClicks = 16,
  csReplicatable = 32,
};
using TControlStyle = uint32_t;

enum TControlStateBit : uint32_t { csLButtonDown = 1, csClicked = 2, csCustomPaint = 4 };
using TControlState = uint32_t;

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, int wheelDelta,
                                            TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;

// Dragging a control onto another inside the program.
enum TDragMode : uint8_t { dmManual, dmAutomatic };  // automatic: a left press starts the drag
enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
// What a drag carries when an OnStartDrag handler gives one (it stays the handler's); otherwise
// targets are handed the source control.
class TDragObject : public TObject {};
using TDragOverEvent = std::function<void(TObject* sender, TObject* source, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
// The end of a drag from sender: target is the control that took the drop, or nullptr.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Bounds in the parent's client coordinates; for forms the outer window on the screen, frame
  // included (ClientWidth and ClientHeight are the inside).
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // Stores the bounds and runs the resize handling at once when the size changed, also while
  // the control is hidden.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return plat::BoundsRect(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The client area: the bounds less the border of window controls with a single border.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int v) { SetWidth(HeldBound(int64_t{v} + width_ - ClientWidth())); }
  void SetClientHeight(int v) { SetHeight(HeldBound(int64_t{v} + height_ - ClientHeight())); }
  TPoint ClientOrigin() const;  // screen position of the client area's top-left corner
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors) { anchors_ = anchors; }

  // The control's own flags; a hidden or disabled parent does not change what they read.
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // True when this control and every parent are visible.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() { return &font_; }
  const TFont* Font() const { return &font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }

  // Caption and Text are the same string, as in the component library.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& caption) { SetText(caption); }
  virtual std::string Text() const { return text_; }
  virtual void SetText(const std::string& text);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  // Shown by a right click after the control's own mouse events, or by the menu key; a control
  // without one leaves the click to its parent's.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  // The cursor over a target that accepts this control's drag.
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
  // Starts dragging this control at once, or (not immediate) once the pointer has moved
  // threshold pixels (-1: 5) with a click until then. The drag ends when the button goes up
  // (a drop), on Esc, or with EndDrag. Ignored while another drag runs.
  void BeginDrag(bool immediate, int threshold = -1);
  // With drop, a target that accepts takes the drop.
  void EndDrag(bool drop);
  bool Dragging() const;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  bool HasParent() const { return parent_ != nullptr; }
  // The form this control sits on (itself for a form), or nullptr.
  TCustomForm* GetParentForm() const;

  // Invalidate goes through the CM_INVALIDATE message so that controls can redirect it.
  virtual void Invalidate();
  // Marks a client rectangle for painting; marks made before the next paint join into one.
  void InvalidateRect(const TRect& rect);
  // Paints a client rectangle at once (inside a paint it is only marked).
  void RepaintRect(const TRect& rect);
  // Paints pending invalid areas at once.
  virtual void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  void Refresh() { Repaint(); }

  TControlStyle ControlStyle() const { return style_; }
  void SetControlStyle(TControlStyle style);
  TControlState ControlState() const { return state_; }
  void SetControlState(TControlState state) { state_ = state; }
  // A flag only: Qt already sends every move and the release to the pressed control.
  bool MouseCapture() const { return capture_; }
  void SetMouseCapture(bool capture) { capture_ = capture; }

  // Sends a message to the control at once and returns its result.
  intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
  // Every message enters here; overrides handle theirs and pass the rest on.
  virtual void WndProc(TMessage& message);
  void BringToFront();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  // Asked while a drag is over this control; accept starts true when the event is set.
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  // True while this control, a parent or its owner is being destroyed.
  bool Dying() const;

  // The window of the control; for the layer's own use (hosting, screenshots, tests).
  QWidget* Widget() const { return widget_; }
  // The control behind a widget, or nullptr.
  static TControl* FromWidget(const QWidget* widget);

 protected:
  // Derived constructors replace the default host widget with their Qt widget.
  void SetWidget(std::unique_ptr<QWidget> widget);
  // The context of every Qt signal connection into the control: they end with the control.
  QObject* SignalContext() const;
  // A part of the widget that receives the mouse itself (a list's viewport).
  void AddInputWidget(QWidget* part);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  // Returns whether the wheel was handled: OnMouseWheel first, then the up/down events.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void Resize();
  // The drag events; x, y in this control's client coordinates.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoStartDrag(TDragObject*& dragObject);
  virtual void DoEndDrag(TObject* target, int x, int y);
  virtual void MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
  }
  virtual void MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
  }
  // Paints the control while its window paints (the canvas of custom controls is valid then).
  virtual void PaintWindow(QPainter& painter, const TRect& area);
  // Copies font, colour and text into the widget when they change.
  virtual void ApplyFont();
  virtual void ApplyColor();
  virtual void ApplyText() {}
  // Size of the single-border frame that ClientRect leaves out.
  virtual int BorderInset() const { return 0; }
  // The frame the window system puts round the control's own window, as the widths of its four
  // sides; none for controls inside a window.
  TRect WindowFrame() const;
  // Windows of their own (forms, hint windows) show without a parent.
  virtual bool StandsAlone() const { return false; }
  // Color, or the parent's with ParentColor.
  TColor EffectiveColor() const;
  // Events are quiet while a layout loads.
  bool Loading() const { return (ComponentState() & csLoading) != 0; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TWinControl;
  friend class TEventBridge;
  friend class TControlHost;
  friend class TDragTracker;
  friend void PostMessage(TControl*, uint32_t, intptr_t, intptr_t);
  void ApplyVisibility();
  void ApplyGeometry();
  // Takes the bounds the window system gave a window, without setting them back.
  void SyncFromWindow(const TRect& bounds);
  void HandleMouse(TMessage& m);
  // Shows the popup menu for a point of the screen; m.Result is 1 once one showed.
  void ContextMenu(TMessage& m);
  // A drag took the button that is down: its release is no click of this control.
  void ForgetPress();

  QWidget* widget_ = nullptr;       // owned; freed through DisposeWidget
  TEventBridge* bridge_ = nullptr;  // a child of the widget
  std::unique_ptr<QObject> signalContext_;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_ = AnchorsLeftTop;
  bool visible_ = true;
  bool enabled_ = true;
  bool parentColor_ = false;
  bool showHint_ = false;
  TColor color_ = clBtnFace;
  TFont font_;
  std::string text_;
  std::string hint_;
  TCursor cursor_ = crDefault;
  int tag_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  TControlStyle style_ = csCaptureMouse | csClickEvents | csDoubleClicks;
  TControlState state_ = 0;
  bool capture_ = false;
  bool applyingGeometry_ = false;
  int64_t wheelAccumulator_ = 0;  // a turn short of a whole notch
};

// Adds a turn to what earlier turns left short of a whole step and returns the whole steps of
// `unit` (signed), keeping the rest; a turn the other way first drops that rest.
int64_t TakeWholeSteps(int64_t& rest, int64_t turn, int64_t unit);

// A control that can hold other controls and take the focus.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.Count()); }
  TControl* Controls(int index) const { return controls_.Items().at(static_cast<size_t>(index)); }

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  // Position among the siblings in the Tab order (0, 1, ...).
  int TabOrder() const;
  void SetTabOrder(int order);
  // The window controls inside this one in Tab order, each followed by those inside it.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  virtual bool CanFocus() const;
  void SetFocus();
  bool Focused() const;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  virtual void SetBorderStyle(TBorderStyle style);
  bool HandleAllocated() const { return Widget() != nullptr; }
  void SetBounds(int left, int top, int width, int height) override;
  // Lays out the aligned and anchored children inside the client area.
  void AlignControls();
  // Draws the control as it looks now, children included, onto canvas with its top-left
  // corner at (x, y).
  void PaintTo(TCanvas& canvas, int x, int y);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  void WndProc(TMessage& message) override;
  virtual void KeyDown(uint16_t& key, TShiftState shift);
  virtual void KeyUp(uint16_t& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  int BorderInset() const override { return borderStyle_ == bsSingle ? 1 : 0; }
  void PaintWindow(QPainter& painter, const TRect& area) override;

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void RebuildTabChain();
  TStableList<TControl> controls_;  // children, not owned
  TStableList<TWinControl> tabList_;
  bool tabStop_ = false;
  TBorderStyle borderStyle_ = bsNone;
  TRect alignedClient_{};  // client rectangle at the last layout, for anchors
  bool aligning_ = false;
};

// A control drawn by the program through Canvas in Paint.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  // Valid only while the control paints.
  TCanvas* Canvas() { return &canvas_; }

 protected:
  virtual void Paint() {}
  void WndProc(TMessage& message) override;
  void PaintWindow(QPainter& painter, const TRect& area) override;

 private:
  TCanvas canvas_;
};

// A control without focus or children, also drawn through Canvas in Paint.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return &canvas_; }

 protected:
  virtual void Paint() {}
  void WndProc(TMessage& message) override;
  void PaintWindow(QPainter& painter, const TRect& area) override;

 private:
  TCanvas canvas_;
};

// Queues a message for the control, delivered after the current event returns; dropped when
// the control is destroyed first. Paint requests (WM_PAINT) queued twice arrive once.
void PostMessage(TControl* control, uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
// Delivers queued messages and pending paints (also run by Application.ProcessMessages).
void ProcessPostedMessages();

// The keyboard state the controls ask for: is the key down now (VK_SHIFT, VK_CONTROL, VK_MENU,
// VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_TAB and the keys the layer has seen go down).
bool IsKeyDown(uint16_t virtualKey);
// Shift state of the keyboard modifiers and mouse buttons now.
TShiftState CurrentShiftState();
// The control whose window lies on top at a point of the screen, whichever window of the
// program covers the others there; nullptr where no window of the program is.
TControl* WindowFromPoint(TPoint screen);

// Registers the controls' published properties with the property table (start-up).
void RegisterControlProperties();

}  // namespace plat
