#include "platform/windows/ControlHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <set>
#include <utility>

#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

namespace {

struct TPostedMessage : QEvent {
  explicit TPostedMessage(const TMessage& m) : QEvent(kPostedMessageEvent), message(m) {}
  TMessage message;
};

intptr_t MouseKeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  intptr_t flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  if (modifiers & Qt::AltModifier) flags |= MK_ALT;
  return flags;
}

// The first message code of a button: down; +1 up; +2 double click.
uint32_t ButtonBase(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return WM_LBUTTONDOWN;
    case Qt::RightButton:
      return WM_RBUTTONDOWN;
    case Qt::MiddleButton:
      return WM_MBUTTONDOWN;
    default:
      return 0;
  }
}

// A focus loss that leaves the control's window (another window activated, a popup's list
// focused) is none of the form's business.
bool IsFocusMoveInsideWindow(const QWidget* watched, Qt::FocusReason reason) {
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
  const QWidget* now = QApplication::focusWidget();
  return !now || now->window() == watched->window();
}

// Keys seen going down and not yet up (Qt offers no keyboard state beyond the modifiers).
std::set<uint16_t>& KeysDown() {
  static std::set<uint16_t> keys;
  return keys;
}

}  // namespace

// ---- conversions ----

TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

uint16_t VirtualKeyFromQt(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
    return static_cast<uint16_t>(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Plus:
      return VK_ADD;
    case Qt::Key_Minus:
      return VK_SUBTRACT;
    case Qt::Key_Asterisk:
      return VK_MULTIPLY;
    case Qt::Key_Slash:
      return VK_DIVIDE;
    default:
      return 0;
  }
}

std::string WithoutMnemonics(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (++i == text.size()) break;
    }
    shown += text[i];
  }
  return shown;
}

bool IsMnemonic(char key, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&')
      return std::tolower(static_cast<unsigned char>(caption[i + 1])) ==
             std::tolower(static_cast<unsigned char>(key));
    ++i;  // "&&" is an ampersand
  }
  return false;
}

void DrawControlText(TCanvas& canvas, const TFont& font, TColor color, TRect rect,
                     const std::string& text, uint32_t format) {
  DeviceContext* dc = canvas.Handle();
  if (!dc) return;
  dc->SelectFont(font.LogFont());
  dc->SetTextColor(static_cast<TColorRef>(ColorToRGB(color)));
  dc->SetBkMode(TRANSPARENT);
  dc->DrawText(ToQString(text).toStdU16String(), rect, format);
}

namespace {

class TArrowKeyHook : public QObject {
 public:
  TArrowKeyHook(QObject* context, std::function<bool(int, bool)> handler)
      : QObject(context), handler_(std::move(handler)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if (ke->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return false;
    int step = 0;
    bool vertical = ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down;
    if (ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Left) step = -1;
    if (ke->key() == Qt::Key_Down || ke->key() == Qt::Key_Right) step = 1;
    bool taken = false;
    if (step) GuardEvent([&] { taken = handler_(step, vertical); });
    return taken;
  }

 private:
  std::function<bool(int, bool)> handler_;
};

}  // namespace

void HookArrowKeys(QWidget* widget, QObject* context,
                   std::function<bool(int step, bool vertical)> handler) {
  widget->installEventFilter(new TArrowKeyHook(context, std::move(handler)));  // owned by context
}

void DrawSunkenBorder(QPainter& painter, int width, int height) {
  if (width <= 0 || height <= 0) return;
  painter.save();
  painter.setPen(ToQColor(clBtnShadow));
  painter.drawLine(0, 0, width - 1, 0);
  painter.drawLine(0, 0, 0, height - 1);
  painter.setPen(ToQColor(clBtnHighlight));
  painter.drawLine(0, height - 1, width - 1, height - 1);
  painter.drawLine(width - 1, 0, width - 1, height - 1);
  painter.restore();
}

bool IsKeyDown(uint16_t virtualKey) {
  Qt::KeyboardModifiers modifiers = QApplication::queryKeyboardModifiers();
  Qt::MouseButtons buttons = QApplication::mouseButtons();
  switch (virtualKey) {
    case VK_SHIFT:
      return modifiers & Qt::ShiftModifier;
    case VK_CONTROL:
      return modifiers & Qt::ControlModifier;
    case VK_MENU:
      return modifiers & Qt::AltModifier;
    case VK_LBUTTON:
      return buttons & Qt::LeftButton;
    case VK_RBUTTON:
      return buttons & Qt::RightButton;
    case VK_MBUTTON:
      return buttons & Qt::MiddleButton;
    default:
      return KeysDown().count(virtualKey) != 0;
  }
}

QMargins WindowFrameMargins(const QWidget* window) {
  static QMargins lastSeen;
  const Qt::WindowType type = window->windowType();
  if ((window->windowFlags() & Qt::FramelessWindowHint) || type == Qt::ToolTip || type == Qt::Popup)
    return {};
  QWindow* handle = window->windowHandle();
  if (!handle || !window->isVisible()) return lastSeen;
  QMargins margins = handle->frameMargins();
  if (!margins.isNull()) lastSeen = margins;
  return margins;
}

// ---- host widget ----

TControlHost::TControlHost(TControl* control) : control_(control) {
  setAttribute(Qt::WA_NoSystemBackground, true);
  setAttribute(Qt::WA_NoMousePropagation, true);
}

void TControlHost::paintEvent(QPaintEvent* event) {
  if (!control_) return;
  QPainter painter(this);
  QRect r = event->rect();
  TRect area{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  GuardEvent([&] { control_->PaintWindow(painter, area); });
}

void TControlHost::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncWindowGeometry();
}

void TControlHost::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  SyncWindowGeometry();
}

void TControlHost::SyncWindowGeometry() {
  // Only the window system moves or sizes a shown window; the layer sets child bounds and the
  // bounds of hidden windows itself.
  if (!control_ || !isWindow() || !isVisible()) return;
  QRect g = frameGeometry();
  GuardEvent([&] { control_->SyncFromWindow({g.left(), g.top(), g.right() + 1, g.bottom() + 1}); });
}

namespace {

// Window managers frame windows only on a real window system, and only windows with a frame.
bool AwaitsFrame(const QWidget* window) {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return false;
  const Qt::WindowType type = window->windowType();
  if ((window->windowFlags() & Qt::FramelessWindowHint) || type == Qt::ToolTip || type == Qt::Popup)
    return false;
  const QWindow* handle = window->windowHandle();
  return handle && window->isVisible() && handle->frameMargins().isNull();
}

// How often, and for how long, a window waits for its frame: a busy window manager may take
// seconds, one that never frames it must not keep a timer going.
constexpr int kFrameCheckMilliseconds = 50, kFrameChecks = 600;

}  // namespace

void TControlHost::AwaitFrame(const TRect& asked) {
  if (!AwaitsFrame(this)) {
    if (frameCheck_) frameCheck_->stop();
    return;
  }
  askedFrame_ = asked;
  frameChecksLeft_ = kFrameChecks;
  if (!frameCheck_) {
    frameCheck_ = new QTimer(this);  // owned by the host
    connect(frameCheck_, &QTimer::timeout, this, &TControlHost::CheckFrame);
  }
  frameCheck_->start(kFrameCheckMilliseconds);
}

void TControlHost::CheckFrame() {
  if (!control_ || !isVisible() || --frameChecksLeft_ <= 0) return frameCheck_->stop();
  if (AwaitsFrame(this)) return;
  frameCheck_->stop();
  // The bounds as the frame now stands, then the ones asked for where they differ.
  SyncWindowGeometry();
  const TRect asked = askedFrame_;
  GuardEvent([&] { control_->SetBoundsRect(asked); });
}

void TControlHost::closeEvent(QCloseEvent* event) {
  // Once the program ends, Qt closes every window: the main form has already agreed to close.
  if (Application().Terminated()) return;
  // Otherwise the form decides; the window is hidden through its Visible flag, never by Qt.
  event->ignore();
  if (auto form = dynamic_cast<TCustomForm*>(control_))
    GuardEvent([&] { form->CloseFromWindow(); });
}

void TControlHost::mousePressEvent(QMouseEvent* event) {
  event->accept();
}
void TControlHost::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}
void TControlHost::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}
void TControlHost::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}
void TControlHost::wheelEvent(QWheelEvent* event) {
  event->accept();
}
void TControlHost::keyPressEvent(QKeyEvent* event) {
  event->accept();
}
void TControlHost::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
}

// ---- event bridge ----

TEventBridge::TEventBridge(TControl* control, QObject* parent)
    : QObject(parent), control_(control) {}

TEventBridge::~TEventBridge() = default;

void TEventBridge::Post(const TMessage& message) {
  if (message.Msg == WM_PAINT) {
    if (paintPosted_) return;
    paintPosted_ = true;
  }
  QCoreApplication::postEvent(this, new TPostedMessage(message));  // Qt owns posted events
}

bool TEventBridge::event(QEvent* e) {
  if (e->type() != kPostedMessageEvent) return QObject::event(e);
  TMessage m = static_cast<TPostedMessage*>(e)->message;
  if (m.Msg == WM_PAINT && !TakePendingPaint()) return true;  // Update ran it already
  if (control_ && !control_->Dying()) GuardEvent([&] { control_->WndProc(m); });
  return true;
}

bool TEventBridge::TakePendingPaint() {
  return std::exchange(paintPosted_, false);
}

bool TEventBridge::eventFilter(QObject* watched, QEvent* e) {
  // Installed on the control's widget and on its input children (viewports of lists and memos).
  if (!control_ || !watched->isWidgetType()) return false;
  // A window going away still sees focus and pointer changes; its handlers do not.
  if (control_->Dying()) return false;
  bool eaten = false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      eaten = Mouse(e, static_cast<QWidget*>(watched)->mapTo(control_->Widget(), QPoint(0, 0)));
      break;
    case QEvent::Wheel:
      eaten = Wheel(static_cast<QWheelEvent*>(e), static_cast<QWidget*>(watched));
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      eaten = Key(e);
      break;
    case QEvent::Enter:
      GuardEvent([&] { control_->Perform(CM_MOUSEENTER); });
      break;
    case QEvent::Leave:
      GuardEvent([&] { control_->Perform(CM_MOUSELEAVE); });
      break;
    case QEvent::FocusIn:
      GuardEvent([&] { control_->Perform(WM_SETFOCUS); });
      break;
    case QEvent::FocusOut:
      // Switching windows or opening a popup leaves the form's focused control as it is.
      if (IsFocusMoveInsideWindow(static_cast<QWidget*>(watched),
                                  static_cast<QFocusEvent*>(e)->reason()))
        GuardEvent([&] { control_->Perform(WM_KILLFOCUS); });
      break;
    case QEvent::ContextMenu:
      eaten = ContextMenu(static_cast<QContextMenuEvent*>(e));
      break;
    default:
      break;
  }
  return eaten || !control_;  // a control freed by its handler takes the event with it
}

void TEventBridge::SynthesizeLostReleases(Qt::MouseButtons held) {
  // A release that went elsewhere (a dialog opened during a drag) still reaches the control.
  for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    if (!(delivered_ & b) || (held & b) || !control_) continue;
    delivered_ &= ~b;
    QPoint p = control_->Widget()->mapFromGlobal(QCursor::pos());
    int inset = control_->BorderInset();
    control_->Perform(ButtonBase(b) + 1, MouseKeyFlags(QApplication::keyboardModifiers(), held),
                      MakeLParam(p.x() - inset, p.y() - inset));
  }
}

namespace {

// The event again, with another turn or other keys held.
QWheelEvent WheelEventLike(const QWheelEvent& we, QPoint angleDelta,
                           Qt::KeyboardModifiers modifiers) {
  return QWheelEvent(we.position(), we.globalPosition(), we.pixelDelta(), angleDelta, we.buttons(),
                     modifiers, we.phase(), we.inverted(), we.source());
}

}  // namespace

QPoint TEventBridge::WheelUnitsFromPixels(QPoint pixels) {
  // A notch (120 units) scrolls the desktop's wheel lines of 16 pixels; what is left of a unit
  // waits for the next event.
  const int notch = std::max(1, QApplication::wheelScrollLines()) * 16;
  const QPoint scaled = pixelRest_ + pixels * 120;
  const QPoint units(scaled.x() / notch, scaled.y() / notch);
  pixelRest_ = scaled - units * notch;
  return units;
}

bool TEventBridge::Wheel(QWheelEvent* we, QWidget* watched) {
  if (passingToQt_) return false;
  if (we->angleDelta().isNull() && !we->pixelDelta().isNull()) {
    // Some touchpads tell only pixels: the event goes round again in wheel units, to the layer
    // and to Qt's own controls alike.
    const QPoint units = WheelUnitsFromPixels(we->pixelDelta());
    if (!units.isNull()) {
      QWheelEvent converted = WheelEventLike(*we, units, we->modifiers());
      QCoreApplication::sendEvent(watched, &converted);
    }
    we->accept();
    return true;
  }
  // A sideways turn and the empty events that open and close a touchpad gesture are no turn of
  // the wheel the layer knows; Qt's own controls still see them.
  const int delta = we->angleDelta().y();
  if (delta != 0) {
    const QPoint global = we->globalPosition().toPoint();
    const intptr_t w = MouseKeyFlags(we->modifiers(), we->buttons()) |
                       (static_cast<intptr_t>(static_cast<uint16_t>(
                            std::clamp(delta, int{INT16_MIN}, int{INT16_MAX})))
                        << 16);
    intptr_t handled = 0;
    GuardEvent(
        [&] { handled = control_->Perform(WM_MOUSEWHEEL, w, MakeLParam(global.x(), global.y())); });
    if (handled != 0 || !control_) return true;
  }
  return PassWheelToQt(we, watched);
}

bool TEventBridge::PassWheelToQt(QWheelEvent* we, QWidget* watched) {
  // Qt pages a list, a memo or a scroll bar and steps a spin edit ten times while Shift or Ctrl
  // is held, and zooms a read-only memo with Ctrl; here a notch goes as far with them as without.
  constexpr Qt::KeyboardModifiers kStepKeys = Qt::ShiftModifier | Qt::ControlModifier;
  // A turn Qt leaves over a list's or memo's inside would go on to the control's own widget and
  // reach the control's handlers a second time.
  const bool inside = watched != control_->Widget();
  if (!inside && !(we->modifiers() & kStepKeys)) return false;
  QWheelEvent plain = WheelEventLike(*we, we->angleDelta(), we->modifiers() & ~kStepKeys);
  const QPointer<TEventBridge> alive(this);
  passingToQt_ = true;
  QCoreApplication::sendEvent(watched, &plain);
  if (alive) passingToQt_ = false;
  // Eaten either way; when Qt's control did not take it, the window around may still.
  we->setAccepted(inside || plain.isAccepted());
  return true;
}

bool TEventBridge::Mouse(QEvent* e, QPoint offset) {
  int inset = control_->BorderInset();
  auto* me = static_cast<QMouseEvent*>(e);
  int x = static_cast<int>(std::floor(me->position().x())) + offset.x() - inset;
  int y = static_cast<int>(std::floor(me->position().y())) + offset.y() - inset;
  Qt::MouseButtons held = me->buttons();
  Qt::MouseButton button = me->button();
  QPoint global = me->globalPosition().toPoint();
  bool eaten = false;
  GuardEvent([&] {
    SynthesizeLostReleases(e->type() == QEvent::MouseButtonRelease ? (held | button) : held);
    if (!control_) return;
    intptr_t flags = MouseKeyFlags(me->modifiers(), held);
    intptr_t at = MakeLParam(x, y);
    switch (e->type()) {
      case QEvent::MouseMove:
        control_->Perform(WM_SETCURSOR, 0, HTCLIENT | (intptr_t{WM_MOUSEMOVE} << 16));
        if (control_) control_->Perform(WM_MOUSEMOVE, flags, at);
        break;
      case QEvent::MouseButtonPress:
        if (!ButtonBase(button)) break;
        // A control may call a spot of itself the window's sizing corner.
        if (button == Qt::LeftButton &&
            control_->Perform(WM_NCHITTEST, 0, MakeLParam(global.x(), global.y())) ==
                HTBOTTOMRIGHT) {
          if (TCustomForm* form = control_->GetParentForm())
            form->Perform(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MakeLParam(global.x(), global.y()));
          eaten = true;
          break;
        }
        delivered_ |= button;
        control_->Perform(ButtonBase(button), flags, at);
        break;
      case QEvent::MouseButtonDblClick:
        if (!ButtonBase(button)) break;
        delivered_ |= button;
        control_->Perform(ButtonBase(button) + 2, flags, at);
        break;
      default:
        if (!ButtonBase(button) || !(delivered_ & button)) break;
        delivered_ &= ~button;
        control_->Perform(ButtonBase(button) + 1, flags, at);
        // As the window system does once the release is handled.
        if (button == Qt::RightButton && control_)
          control_->Perform(WM_CONTEXTMENU, 0, MakeLParam(global.x(), global.y()));
        break;
    }
  });
  return eaten || !control_;
}

bool TEventBridge::ContextMenu(QContextMenuEvent* e) {
  // A click shows the menu with its release (the mouse messages come first); the menu key now.
  if (e->reason() == QContextMenuEvent::Mouse) {
    for (const TControl* c = control_; c; c = c->Parent())
      if (c->PopupMenu()) return true;
    return false;  // a Qt control's own menu, as it has none of ours
  }
  intptr_t shown = 0;
  GuardEvent([&] { shown = control_->Perform(WM_CONTEXTMENU, 0, MakeLParam(-1, -1)); });
  return shown != 0 || !control_;
}

bool TEventBridge::Key(QEvent* e) {
  auto* ke = static_cast<QKeyEvent*>(e);
  auto* win = dynamic_cast<TWinControl*>(control_);
  // The first control on Qt's way up from the focused widget handles the key; its parents see it
  // through the form's preview and dialog keys, not a second time.
  if (!win || !ClaimKeyDelivery(e)) return false;
  TShiftState shift = ShiftFromQt(ke->modifiers(), Qt::NoButton);
  uint16_t key = VirtualKeyFromQt(ke->key());
  if (key) {
    if (e->type() == QEvent::KeyPress)
      KeysDown().insert(key);
    else if (!ke->isAutoRepeat())
      KeysDown().erase(key);
  }
  bool eaten = false;
  GuardEvent([&] {
    if (e->type() == QEvent::KeyRelease) {
      if (!key) return;
      TMessage m{WM_KEYUP, key, shift, 0};
      static_cast<TControl*>(win)->WndProc(m);
      eaten = m.WParam == 0;
      return;
    }
    if (key) {
      TMessage m{WM_KEYDOWN, key, shift, 0};
      static_cast<TControl*>(win)->WndProc(m);
      if (!control_) return;
      if (m.WParam == 0) {
        eaten = true;
        return;
      }
      if (auto form = win->GetParentForm(); form && (key == VK_RETURN || key == VK_ESCAPE)) {
        if (form->DialogKey(key, shift, win)) {
          eaten = true;
          return;
        }
      }
    }
    // Alt with a character (AltGr is no Alt here) picks a mnemonic and is never typed.
    if ((shift & (ssAlt | ssCtrl)) == ssAlt) {
      std::string text = FromQString(ke->text());
      if (text.size() != 1 || static_cast<unsigned char>(text[0]) <= ' ') return;
      if (auto form = win->GetParentForm()) form->DialogChar(text[0]);
      eaten = true;
      return;
    }
    // Characters: Esc, Enter, Backspace and Tab by their codes, the rest from the text.
    std::string chars;
    switch (ke->key()) {
      case Qt::Key_Escape:
        chars = "\x1b";
        break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        chars = "\r";
        break;
      case Qt::Key_Backspace:
        chars = "\b";
        break;
      case Qt::Key_Tab:
        chars = "\t";
        break;
      default:
        chars = FromQString(ke->text());
    }
    for (char c : chars) {
      if (!control_) return;
      if (static_cast<unsigned char>(c) < 32 && c != 27 && c != 13 && c != 8 && c != 9) continue;
      TMessage m{WM_CHAR, static_cast<unsigned char>(c), 0, 0};
      static_cast<TControl*>(win)->WndProc(m);
      if (m.WParam == 0) eaten = true;
    }
  });
  return eaten || !control_;
}

}  // namespace plat
