#include "platform/windows/Controls.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <algorithm>

#include "platform/pictures/Bitmap.h"
#include "platform/pictures/BitmapFromImage.h"
#include "platform/windows/ControlHost.h"
#include "platform/windows/DragTracking.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "platform/windows/QtRuntime.h"

namespace plat {
namespace {

const char* const kControlProperty = "plat.control";

// A hint as rich text that shows it as typed. Qt's hint window lays out anything that looks like
// markup as rich text, which squeezes runs of blanks and drops each line's indent; kept as
// preformatted text, the blanks, tabs and line breaks stay, and "<b>" shows as typed. A line
// longer than the screen is wide still wraps at its blanks.
QString HintAsRichText(const std::string& hint) {
  return "<p style=\"white-space:pre-wrap\">" +
         ToQString(hint).toHtmlEscaped().replace('\n', QLatin1String("<br>")) + "</p>";
}

}  // namespace

Qt::CursorShape StandardCursorShape(TCursor cursor) {
  switch (cursor) {
    case crNone:
      return Qt::BlankCursor;
    case crCross:
      return Qt::CrossCursor;
    case crIBeam:
      return Qt::IBeamCursor;
    case crSizeNESW:
      return Qt::SizeBDiagCursor;
    case crSizeNS:
      return Qt::SizeVerCursor;
    case crSizeNWSE:
      return Qt::SizeFDiagCursor;
    case crSizeWE:
      return Qt::SizeHorCursor;
    case crUpArrow:
      return Qt::UpArrowCursor;
    case crHourGlass:
      return Qt::WaitCursor;
    case crDrag:
      return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
      return Qt::ForbiddenCursor;
    case crHSplit:
      return Qt::SplitHCursor;
    case crVSplit:
      return Qt::SplitVCursor;
    case crAppStart:
      return Qt::BusyCursor;
    case crHelp:
      return Qt::WhatsThisCursor;
    case crHandPoint:
      return Qt::PointingHandCursor;
    case crSizeAll:
      return Qt::SizeAllCursor;
    default:
      return Qt::ArrowCursor;
  }
}

namespace {

// The widget may be inside one of its own events (a handler freeing its control), so Qt frees
// it once the event has returned. It stays with its parent meanwhile, hidden: taking it out of
// its window walks the window's whole focus chain, which made freeing a page of thousands of
// controls cost the square of their number. Every control's widget is freed this way, so a
// parent never goes before the events of its children have returned.
void DisposeWidget(QWidget* widget) {
  if (!widget) return;
  widget->hide();
  widget->deleteLater();
}

}  // namespace

// Defined with the screen: the Qt cursor for an id, custom ones included.
QCursor CursorForId(TCursor cursor);

bool IdentToCursor(std::string_view ident, int64_t& cursor) {
  static const std::pair<const char*, TCursor> names[] = {
      {"crDefault", crDefault},     {"crNone", crNone},
      {"crArrow", crArrow},         {"crCross", crCross},
      {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
      {"crSizeNS", crSizeNS},       {"crSizeNWSE", crSizeNWSE},
      {"crSizeWE", crSizeWE},       {"crUpArrow", crUpArrow},
      {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
      {"crNoDrop", crNoDrop},       {"crHSplit", crHSplit},
      {"crVSplit", crVSplit},       {"crNo", crNo},
      {"crAppStart", crAppStart},   {"crHelp", crHelp},
      {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
  };
  for (auto& [name, value] : names)
    if (QString::fromLatin1(name).compare(QString::fromUtf8(ident.data(), int(ident.size())),
                                          Qt::CaseInsensitive) == 0) {
      cursor = value;
      return true;
    }
  return false;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
  EnsureQtApplication();
  signalContext_ = std::make_unique<QObject>();
  SetWidget(std::make_unique<TControlHost>(this));
  font_.OnChange = [this](TObject*) { ApplyFont(); };
}

TControl::~TControl() {
  SetDestroying();
  ForgetDragControl(*this);
  if (parent_) parent_->RemoveControl(this);
  parent_ = nullptr;
  signalContext_.reset();  // drops every signal connection into this control
  if (bridge_) bridge_->Orphan();
  if (auto host = dynamic_cast<TControlHost*>(widget_)) host->Detach();
  if (widget_) widget_->setProperty(kControlProperty, QVariant());
  DisposeWidget(widget_);  // the bridge, its child, goes with it
  widget_ = nullptr;
}

QObject* TControl::SignalContext() const {
  return signalContext_.get();
}

void TControl::SetWidget(std::unique_ptr<QWidget> widget) {
  QWidget* old = widget_;
  if (old) {
    if (auto host = dynamic_cast<TControlHost*>(old)) host->Detach();
    old->setProperty(kControlProperty, QVariant());
  }
  widget_ = widget.release();
  widget_->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
  if (bridge_) bridge_->Orphan();
  bridge_ = new TEventBridge(this, widget_);  // owned by the widget
  widget_->setAttribute(Qt::WA_NoMousePropagation, true);
  widget_->installEventFilter(bridge_);
  widget_->setMouseTracking(true);
  widget_->setAttribute(Qt::WA_Hover, true);
  if (old) {
    widget_->setParent(old->parentWidget());
    DisposeWidget(old);
  }
  ApplyGeometry();
  ApplyVisibility();
  widget_->setEnabled(enabled_);
  widget_->setCursor(CursorForId(cursor_));
}

void TControl::AddInputWidget(QWidget* part) {
  part->installEventFilter(bridge_);
  part->setMouseTracking(true);
}

TControl* TControl::FromWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    QVariant v = w->property(kControlProperty);
    if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
  }
  return nullptr;
}

void TControl::ApplyGeometry() {
  if (!widget_) return;
  if (StandsAlone()) {
    // A window's bounds are its frame: Qt places the frame at the position and sizes the inside.
    TRect frame = WindowFrame();
    applyingGeometry_ = true;
    widget_->move(left_, top_);
    widget_->resize(std::max(width_ - frame.Left - frame.Right, 0),
                    std::max(height_ - frame.Top - frame.Bottom, 0));
    applyingGeometry_ = false;
    if (auto* host = dynamic_cast<TControlHost*>(widget_)) host->AwaitFrame(BoundsRect());
    return;
  }
  // Bounds count from the parent's client area, inside its border.
  int inset = parent_ ? static_cast<const TControl*>(parent_)->BorderInset() : 0;
  widget_->setGeometry(left_ + inset, top_ + inset, std::max(width_, 0), std::max(height_, 0));
}

TRect TControl::WindowFrame() const {
  if (!widget_ || !StandsAlone()) return {};
  QMargins m = WindowFrameMargins(widget_);
  return {m.left(), m.top(), m.right(), m.bottom()};
}

void TControl::ApplyVisibility() {
  if (!widget_) return;
  bool show = visible_ && (parent_ != nullptr || StandsAlone());
  if (widget_->isHidden() == show) widget_->setVisible(show);
}

int HeldBound(int64_t v) {
  return int(std::clamp<int64_t>(v, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left = HeldBound(left);
  top = HeldBound(top);
  width = HeldBound(width);
  height = HeldBound(height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  ApplyGeometry();
  if (resized) Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SyncFromWindow(const TRect& r) {
  if (applyingGeometry_) return;  // our own move and resize, half done
  bool resized = r.Width() != width_ || r.Height() != height_;
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
  if (resized) Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
}

TRect TControl::ClientRect() const {
  int inset = BorderInset();
  TRect frame = WindowFrame();
  return {0, 0, std::max(0, width_ - 2 * inset - frame.Left - frame.Right),
          std::max(0, height_ - 2 * inset - frame.Top - frame.Bottom)};
}

TPoint TControl::ClientOrigin() const {
  TRect frame = WindowFrame();
  TPoint origin{left_ + BorderInset() + frame.Left, top_ + BorderInset() + frame.Top};
  if (parent_) {
    TPoint p = parent_->ClientOrigin();
    origin.X += p.X;
    origin.Y += p.Y;
  }
  return origin;
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  ApplyVisibility();
  // Alignment is synchronous: callers read the new bounds at once.
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
  if (!visible_) return false;
  if (parent_) return parent_->Showing();
  return widget_ && widget_->isVisible();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (widget_) widget_->setEnabled(enabled);
}

TColor TControl::EffectiveColor() const {
  if (parentColor_ && parent_) return parent_->EffectiveColor();
  return color_;
}

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color == color_) return;
  color_ = color;
  ApplyColor();
  Invalidate();
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  ApplyColor();
  Invalidate();
}

void TControl::ApplyFont() {
  if (widget_) widget_->setFont(ToQFont(font_));
}

void TControl::ApplyColor() {
  if (!widget_ || dynamic_cast<TControlHost*>(widget_)) return;
  QPalette palette = widget_->palette();
  QColor c = ToQColor(EffectiveColor());
  palette.setColor(QPalette::Window, c);
  palette.setColor(QPalette::Base, c);
  widget_->setPalette(palette);
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  ApplyText();
  Invalidate();
}

void TControl::SetHint(const std::string& hint) {
  hint_ = hint;
  if (!widget_) return;
  QString tip = showHint_ && !hint.empty() ? HintAsRichText(hint) : QString();
  widget_->setToolTip(tip);
  // A hint changed under the pointer (per list item) follows at once.
  if (QToolTip::isVisible() && widget_->underMouse()) {
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(QCursor::pos(), tip, widget_);
  }
}

void TControl::SetShowHint(bool show) {
  showHint_ = show;
  SetHint(hint_);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (widget_) widget_->setCursor(CursorForId(cursor));
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  // An old link stays: the menu may still name this control as the one it showed for.
  if (menu) menu->FreeNotification(this);
  popupMenu_ = menu;
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::ContextMenu(TMessage& m) {
  TPoint at{LParamX(m.LParam), LParamY(m.LParam)};
  const bool fromKeys = at.X == -1 && at.Y == -1;
  if (popupMenu_ && (fromKeys || ClientRect().Contains(ScreenToClient(at)))) {
    if (fromKeys) at = ClientToScreen({0, 0});
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(at.X, at.Y);
    m.Result = 1;
    return;
  }
  if (parent_) m.Result = parent_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto win = dynamic_cast<TWinControl*>(parent)) SetParent(win);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (widget_) {
    widget_->setParent(parent ? parent->Widget() : nullptr);
    ApplyGeometry();
    widget_->setCursor(CursorForId(cursor_));
  }
  if (parent_) parent_->InsertControl(this);
  ApplyVisibility();
  if (parentColor_) ApplyColor();
}

bool TControl::Dying() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (c->ComponentState() & csDestroying) return true;
  return Owner() && (Owner()->ComponentState() & csDestroying);
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Invalidate() {
  Perform(CM_INVALIDATE);
}

void TControl::InvalidateRect(const TRect& r) {
  int inset = BorderInset();
  if (widget_) widget_->update(r.Left + inset, r.Top + inset, r.Width(), r.Height());
}

void TControl::RepaintRect(const TRect& r) {
  int inset = BorderInset();
  QRect area(r.Left + inset, r.Top + inset, r.Width(), r.Height());
  if (!widget_) return;
  // Qt forbids painting from inside a paint.
  if (state_ & csCustomPaint)
    widget_->update(area);
  else
    widget_->repaint(area);
}

void TControl::Update() {
  if (!widget_ || (state_ & csCustomPaint)) return;
  // Only this control's own paint request runs now, not every queued message.
  if (bridge_ && bridge_->TakePendingPaint()) Perform(WM_PAINT);
  if (widget_->isVisible()) {
    QWidget* window = widget_->window();
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
  }
}

void TControl::SetControlStyle(TControlStyle style) {
  style_ = style;
  if (auto host = dynamic_cast<TControlHost*>(widget_))
    host->setAttribute(Qt::WA_OpaquePaintEvent, (style & csOpaque) != 0);
}

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::BringToFront() {
  if (widget_) widget_->raise();
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (enabled_) HandleMouse(m);
      break;
    case WM_MOUSEWHEEL: {
      TShiftState shift = 0;
      if (m.WParam & MK_SHIFT) shift |= ssShift;
      if (m.WParam & MK_CONTROL) shift |= ssCtrl;
      if (m.WParam & MK_ALT) shift |= ssAlt;
      if (m.WParam & MK_LBUTTON) shift |= ssLeft;
      if (m.WParam & MK_RBUTTON) shift |= ssRight;
      if (m.WParam & MK_MBUTTON) shift |= ssMiddle;
      if (enabled_)
        m.Result =
            DoMouseWheel(shift, WheelDelta(m.WParam), {LParamX(m.LParam), LParamY(m.LParam)});
      break;
    }
    case WM_SIZE:
      Resize();
      break;
    case CM_MOUSEENTER:
      MouseEnter();
      break;
    case CM_MOUSELEAVE:
      MouseLeave();
      break;
    case CM_INVALIDATE:
      if (widget_) widget_->update();
      break;
    case WM_ERASEBKGND:
      m.Result = 1;  // painted with the background colour by the host
      break;
    case WM_NCHITTEST:
      m.Result = HTCLIENT;
      break;
    case WM_CONTEXTMENU:
      ContextMenu(m);
      break;
    default:
      break;
  }
}

void TControl::HandleMouse(TMessage& m) {
  int x = LParamX(m.LParam), y = LParamY(m.LParam);
  TShiftState shift = 0;
  if (m.WParam & MK_SHIFT) shift |= ssShift;
  if (m.WParam & MK_CONTROL) shift |= ssCtrl;
  if (m.WParam & MK_ALT) shift |= ssAlt;
  if (m.WParam & MK_LBUTTON) shift |= ssLeft;
  if (m.WParam & MK_RBUTTON) shift |= ssRight;
  if (m.WParam & MK_MBUTTON) shift |= ssMiddle;
  auto buttonOf = [](uint32_t msg) {
    if (msg <= WM_LBUTTONDBLCLK) return mbLeft;
    if (msg <= WM_RBUTTONDBLCLK) return mbRight;
    return mbMiddle;
  };
  // An automatic drag takes the left press for itself.
  if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && dragMode_ == dmAutomatic) {
    BeginDrag(true);
    return;
  }
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (style_ & csCaptureMouse) capture_ = true;
      if (m.Msg == WM_LBUTTONDOWN && (style_ & csClickEvents)) state_ |= csClicked;
      MouseDown(buttonOf(m.Msg), shift, x, y);
      return;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (style_ & csCaptureMouse) capture_ = true;
      if (!(style_ & csDoubleClicks)) {
        // Controls without double clicks see a second press instead.
        if (m.Msg == WM_LBUTTONDBLCLK && (style_ & csClickEvents)) state_ |= csClicked;
        MouseDown(buttonOf(m.Msg), shift, x, y);
        return;
      }
      if (m.Msg == WM_LBUTTONDBLCLK) DblClick();
      MouseDown(buttonOf(m.Msg), shift | ssDouble, x, y);
      return;
    default: {
      capture_ = false;
      if (m.Msg == WM_LBUTTONUP && (state_ & csClicked)) {
        state_ &= ~csClicked;
        if (ClientRect().Contains({x, y})) Click();
      }
      MouseUp(buttonOf(m.Msg), shift, x, y);
    }
  }
}

void TControl::ForgetPress() {
  capture_ = false;
  state_ &= ~csClicked;
  if (bridge_) bridge_->ForgetPresses();
}

void TControl::Click() {
  // A copy runs: the handler may free this control, and with it OnClick.
  if (TNotifyEvent handler = OnClick) handler(this);
}

void TControl::DblClick() {
  if (TNotifyEvent handler = OnDblClick) handler(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (handled) return true;
  // Whole notches only: small touchpad deltas add up first. Every notch of the turn is taken
  // now, whatever the handlers answer, so none is left over for a later turn.
  const int64_t notches = TakeWholeSteps(wheelAccumulator_, wheelDelta, 120);
  const QPointer<QObject> alive(SignalContext());  // a handler may free the control
  for (int64_t i = 0; i < std::abs(notches); ++i) {
    const bool taken =
        notches > 0 ? DoMouseWheelUp(shift, mousePos) : DoMouseWheelDown(shift, mousePos);
    if (!alive) return true;
    handled = handled || taken;
  }
  return handled;
}

int64_t TakeWholeSteps(int64_t& rest, int64_t turn, int64_t unit) {
  if ((rest < 0 && turn > 0) || (rest > 0 && turn < 0)) rest = 0;
  rest += turn;
  const int64_t steps = rest / unit;
  rest -= steps * unit;
  return steps;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::PaintWindow(QPainter&, const TRect&) {}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  SetDestroying();  // no layout or events while the children leave
  // Children leave first so none of them points back at a dead parent.
  for (TControl* child : std::vector<TControl*>(controls_.Items())) child->SetParent(nullptr);
}

void TWinControl::InsertControl(TControl* control) {
  controls_.Add(control);
  if (auto win = dynamic_cast<TWinControl*>(control)) {
    const std::vector<TWinControl*>& tabs = tabList_.Items();
    // Joining last takes one link: relinking the whole chain per child costs pages of
    // thousands of controls the square of their number.
    if (!tabs.empty()) QWidget::setTabOrder(tabs.back()->Widget(), win->Widget());
    tabList_.Add(win);
  }
  if (control->Align() != alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  controls_.Remove(control);
  tabList_.Remove(control);  // a control being freed is no longer told apart by its type
  if (control->Align() != alNone && !(ComponentState() & csDestroying)) AlignControls();
}

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (Widget()) Widget()->setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  auto& list = Parent()->tabList_.Items();
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_.MutableItems();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, int(list.size()));
  list.insert(list.begin() + order, this);
  Parent()->RebuildTabChain();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* child : tabList_.Items()) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

void TWinControl::RebuildTabChain() {
  const std::vector<TWinControl*>& tabs = tabList_.Items();
  for (size_t i = 1; i < tabs.size(); ++i)
    QWidget::setTabOrder(tabs[i - 1]->Widget(), tabs[i]->Widget());
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return GetParentForm() != nullptr;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  // An OnEnter handler may free this control while Qt moves the focus.
  const QPointer<QWidget> widget = Widget();
  widget->setFocus(Qt::OtherFocusReason);
  if (!widget || TControl::FromWidget(widget) != this) return;
  if (auto form = GetParentForm(); form && form != this) form->SetActiveControl(this);
}

bool TWinControl::Focused() const {
  QWidget* focus = QApplication::focusWidget();
  return focus && (focus == Widget() || Widget()->isAncestorOf(focus)) &&
         TControl::FromWidget(focus) == this;
}

void TWinControl::PaintTo(TCanvas& canvas, int x, int y) {
  Perform(CM_SYNCITEMS);
  QWidget* widget = Widget();
  QImage look = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  // A screen with more pixels than points gives a larger picture.
  if (look.size() != widget->size()) look = look.scaled(widget->size());
  canvas.Draw(x, y, *BitmapFromImage(look));
}

void TWinControl::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  for (TControl* child : controls_.Items()) child->ApplyGeometry();
  Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
  AlignControls();
  Invalidate();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  TRect client = ClientRect();
  TRect r = client;
  auto visibleWith = [&](TAlign a) {
    std::vector<TControl*> list;
    for (TControl* c : controls_.Items())
      if (c->Visible() && c->Align() == a) list.push_back(c);
    return list;
  };
  auto sorted = [&](TAlign a, auto key) {
    auto list = visibleWith(a);
    std::stable_sort(list.begin(), list.end(),
                     [&](TControl* x, TControl* y) { return key(x) < key(y); });
    return list;
  };
  for (TControl* c : sorted(alTop, [](TControl* c) { return c->Top(); })) {
    c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
    r.Top += c->Height();
  }
  for (TControl* c : sorted(alBottom, [](TControl* c) { return -(c->Top() + c->Height()); })) {
    r.Bottom -= c->Height();
    c->SetBounds(r.Left, r.Bottom, r.Width(), c->Height());
  }
  for (TControl* c : sorted(alLeft, [](TControl* c) { return c->Left(); })) {
    c->SetBounds(r.Left, r.Top, c->Width(), std::max(0, r.Height()));
    r.Left += c->Width();
  }
  for (TControl* c : sorted(alRight, [](TControl* c) { return -(c->Left() + c->Width()); })) {
    r.Right -= c->Width();
    c->SetBounds(r.Right, r.Top, c->Width(), std::max(0, r.Height()));
  }
  for (TControl* c : visibleWith(alClient))
    c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
  // Anchored controls follow the edges they are tied to.
  if (!alignedClient_.IsEmpty() || alignedClient_.Right > 0 || alignedClient_.Bottom > 0) {
    int dx = client.Width() - alignedClient_.Width();
    int dy = client.Height() - alignedClient_.Height();
    if (dx || dy)
      for (TControl* c : controls_.Items()) {
        if (c->Align() != alNone) continue;
        TAnchors a = c->Anchors();
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a & (1 << akRight)) (a & (1 << akLeft)) ? w += dx : l += dx;
        if (a & (1 << akBottom)) (a & (1 << akTop)) ? h += dy : t += dy;
        c->SetBounds(l, t, std::max(0, w), std::max(0, h));
      }
  }
  alignedClient_ = client;
  aligning_ = false;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      AlignControls();
      TControl::WndProc(m);
      return;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      auto key = static_cast<uint16_t>(m.WParam);
      auto shift = static_cast<TShiftState>(m.LParam);
      TCustomForm* form = GetParentForm();
      if (form && form != this && form->KeyPreview()) {
        TWinControl* preview = form;
        m.Msg == WM_KEYDOWN ? preview->KeyDown(key, shift) : preview->KeyUp(key, shift);
        if (key == 0) {
          m.WParam = 0;
          return;
        }
      }
      m.Msg == WM_KEYDOWN ? KeyDown(key, shift) : KeyUp(key, shift);
      m.WParam = key;
      return;
    }
    case WM_CHAR: {
      char key = static_cast<char>(m.WParam);
      TCustomForm* form = GetParentForm();
      if (form && form != this && form->KeyPreview()) {
        static_cast<TWinControl*>(form)->KeyPress(key);
        if (key == 0) {
          m.WParam = 0;
          return;
        }
      }
      KeyPress(key);
      m.WParam = static_cast<unsigned char>(key);
      return;
    }
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm()) {
        // Back from another window: the focus never left this control.
        if (form->FocusedControl() == this) return;
        // The focus moved while the window was not active: the control it left exits now.
        if (TWinControl* left = form->FocusedControl()) left->Perform(WM_KILLFOCUS);
        // The form remembers where the focus went, by click or Tab too.
        if (form != this) form->SetActiveControl(this);
        form->SetFocusedControl(this);
      }
      DoEnter();
      return;
    case WM_KILLFOCUS:
      if (TCustomForm* form = GetParentForm(); form && form->FocusedControl() == this)
        form->SetFocusedControl(nullptr);
      DoExit();
      return;
    default:
      TControl::WndProc(m);
  }
}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::PaintWindow(QPainter& painter, const TRect&) {
  painter.fillRect(0, 0, Width(), Height(), ToQColor(EffectiveColor()));
  if (BorderStyle() == bsSingle) DrawSunkenBorder(painter, Width(), Height());
}

// ---- Custom and graphic controls ----

namespace {

// Paints a control through its canvas: a device context over the part of the client area to
// paint (a repaint costs its area, not the control's), the border around it, erase and paint
// messages in between. Logical coordinates still start at the client area's corner.
template <class C>
void PaintThroughCanvas(C& control, TCanvas& canvas, QPainter& painter, const TRect& area,
                        int inset, TColor color) {
  const TRect client{inset, inset, control.Width() - inset, control.Height() - inset};
  const TRect painted = area.Intersected(client);
  if (!painted.IsEmpty()) {
    DeviceContext dc(painter, painted, static_cast<TColorRef>(ColorToRGB(color)));
    dc.SetViewportOrg(
        {(client.Left - painted.Left) * dc.Scale(), (client.Top - painted.Top) * dc.Scale()});
    canvas.SetHandle(&dc);
    control.SetControlState(control.ControlState() | csCustomPaint);
    struct Restore {
      C& c;
      TCanvas& canvas;
      ~Restore() {
        c.SetControlState(c.ControlState() & ~csCustomPaint);
        canvas.SetHandle(nullptr);
      }
    } restore{control, canvas};
    control.Perform(WM_ERASEBKGND);
    control.Perform(WM_PAINT);
  }
  if (inset) DrawSunkenBorder(painter, control.Width(), control.Height());
}

}  // namespace

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  if (Widget()) Widget()->setAttribute(Qt::WA_NoSystemBackground, true);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    // Painting happens inside the window's paint only; a queued request has no canvas.
    if (ControlState() & csCustomPaint) Paint();
    return;
  }
  TWinControl::WndProc(m);
}

void TCustomControl::PaintWindow(QPainter& painter, const TRect& area) {
  PaintThroughCanvas(*this, canvas_, painter, area, BorderInset(), EffectiveColor());
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  SetControlStyle(ControlStyle() & ~csAcceptsControls);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    if (ControlState() & csCustomPaint) Paint();
    return;
  }
  TControl::WndProc(m);
}

void TGraphicControl::PaintWindow(QPainter& painter, const TRect& area) {
  PaintThroughCanvas(*this, canvas_, painter, area, 0, EffectiveColor());
}

// ---- Posted messages, keyboard state ----

void PostMessage(TControl* control, uint32_t msg, intptr_t wParam, intptr_t lParam) {
  if (control && control->bridge_) control->bridge_->Post(TMessage{msg, wParam, lParam, 0});
}

void ProcessPostedMessages() {
  QCoreApplication::sendPostedEvents();
}

TShiftState CurrentShiftState() {
  return ShiftFromQt(QApplication::queryKeyboardModifiers(), QApplication::mouseButtons());
}

TControl* WindowFromPoint(TPoint screen) {
  EnsureQtApplication();
  return TControl::FromWidget(QApplication::widgetAt(QPoint(screen.X, screen.Y)));
}

}  // namespace plat
