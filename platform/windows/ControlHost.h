// The Qt side of controls (layer-internal: includes Qt). A host widget paints custom controls;
// an event bridge turns every control's Qt events into the layer's messages.
#pragma once

#include <QContextMenuEvent>
#include <QEvent>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <functional>

#include "platform/windows/Controls.h"
#include "platform/windows/QtConversions.h"

namespace plat {

// Widget of custom and graphic controls and of forms: paints through the control, accepts the
// mouse and keys it gets (so they never reach the parent twice), draws no system background.
class TControlHost : public QWidget {
 public:
  explicit TControlHost(TControl* control);
  void Detach() { control_ = nullptr; }
  // A shown window's bounds (frame included) go to its control.
  void SyncWindowGeometry();
  // Bounds the program gave a shown window that the window manager has not framed yet were
  // taken as the inside's: once the frame comes, the window is placed again at the frame asked
  // for. Nothing to wait for when the window has its frame, or can have none.
  void AwaitFrame(const TRect& asked);
  bool AwaitingFrame() const { return frameCheck_ && frameCheck_->isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void CheckFrame();
  TControl* control_;
  QTimer* frameCheck_ = nullptr;  // a child of the host
  TRect askedFrame_;
  int frameChecksLeft_ = 0;
};

// Event filter on a control's widget and receiver of its posted messages.
class TEventBridge : public QObject {
 public:
  TEventBridge(TControl* control, QObject* parent);
  ~TEventBridge() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void Post(const TMessage& message);
  // True once when a paint request is queued; the queued one then does nothing.
  bool TakePendingPaint();
  // The control is going away; events still queued or running find nothing to call.
  void Orphan() { control_ = nullptr; }
  // Releases of buttons pressed until now no longer reach the control.
  void ForgetPresses() { delivered_ = Qt::NoButton; }

 private:
  bool Mouse(QEvent* event, QPoint offset);
  bool Wheel(QWheelEvent* event, QWidget* watched);
  bool PassWheelToQt(QWheelEvent* event, QWidget* watched);
  QPoint WheelUnitsFromPixels(QPoint pixels);
  bool Key(QEvent* event);
  bool ContextMenu(QContextMenuEvent* event);
  void SynthesizeLostReleases(Qt::MouseButtons held);
  TControl* control_;
  bool paintPosted_ = false;
  Qt::MouseButtons delivered_;  // buttons whose press went to the control, not yet released
  QPoint pixelRest_;            // pixel wheel motion short of a whole unit, times 120
  bool passingToQt_ = false;    // a wheel event on its way to Qt's own handling of the widget
};

// The custom event carrying a posted message.
inline const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::User + 1);

// Runs layer code called from Qt (counted by RunningEvents): an exception goes to the
// application's handler.
template <class F>
void GuardEvent(F&& f);

// The frame the window system puts round a window: its own once shown, before that the last one
// seen round any window (none for frameless windows, and none before the first was seen).
QMargins WindowFrameMargins(const QWidget* window);

// Helpers shared by the host and the standard controls.
TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
uint16_t VirtualKeyFromQt(int qtKey);
// Text as shown: "&&" is an ampersand, a single "&" only marks the mnemonic.
std::string WithoutMnemonics(const std::string& text);
// Whether the caption marks the key (either case) as its mnemonic.
bool IsMnemonic(char key, const std::string& caption);
// Hands the arrow keys pressed in a widget (without Alt or Ctrl) to a handler: step -1 for Up
// and Left, +1 for Down and Right; the key is taken when it returns true. The hook lives as long
// as `context`.
void HookArrowKeys(QWidget* widget, QObject* context,
                   std::function<bool(int step, bool vertical)> handler);
// Draws text in the font (and the given colour) without a background through a canvas.
void DrawControlText(TCanvas& canvas, const TFont& font, TColor color, TRect rect,
                     const std::string& text, uint32_t format);
// The width of the frame Qt draws around a control whose widget is a QFrame.
int FrameWidth(const TControl& control);
// The 1-pixel sunken frame of a control with a single border.
void DrawSunkenBorder(QPainter& painter, int width, int height);

}  // namespace plat

#include "platform/windows/Application.h"

namespace plat {
template <class F>
void GuardEvent(F&& f) {
  struct Running {
    Running() { ++RunningEvents(); }
    ~Running() { --RunningEvents(); }
  } running;
  try {
    f();
  } catch (const std::exception& e) {
    Application().HandleException(e);
  }
}
}  // namespace plat
