// Dragging one control onto another inside the program: the pointer is followed through Qt's
// mouse events while the drag lasts, the control under it is asked whether it accepts, and the
// cursor says so.
#include "platform/windows/DragTracking.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <cmath>
#include <utility>

#include "platform/windows/Application.h"
#include "platform/windows/ControlHost.h"
#include "platform/windows/TestSeams.h"

namespace plat {

QCursor CursorForId(TCursor cursor);

namespace {
constexpr int kDefaultThreshold = 5;
}  // namespace

// The drag going on, if any. Its event filter sees every event of the program while it lasts.
class TDragTracker : public QObject {
 public:
  void Begin(TControl& source, bool immediate, int threshold);
  // Ends the drag; with drop, an accepting target takes the drop.
  void End(bool drop);
  bool Dragging(const TControl& control) const { return source_ == &control; }
  void Forget(const TControl& control);
  TCursor Cursor() const { return shownCursor_; }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Activate();
  void Reset();
  void MoveTo(QPoint global);
  // Asks target whether it accepts the drag at a screen point.
  bool Ask(TControl& target, TDragState state, QPoint global);
  TPoint ClientPoint(const TControl& control, QPoint global) const;
  void ShowCursor(TCursor cursor);
  // The object handed to targets: what OnStartDrag gave, else the source control.
  TObject* Dragged() const { return object_ ? static_cast<TObject*>(object_) : source_; }

  TControl* source_ = nullptr;
  TDragObject* object_ = nullptr;  // the handler's; never freed here
  bool active_ = false;            // past the threshold: the pointer is followed
  QPoint start_;
  int threshold_ = kDefaultThreshold;
  TControl* target_ = nullptr;
  bool accepted_ = false;
  QPoint last_;
  TCursor shownCursor_ = crDefault;
};

namespace {

TDragTracker& Tracker() {
  static TDragTracker tracker;
  return tracker;
}

// The enabled control under a screen point: a disabled one leaves the point to its parent.
TControl* ControlAt(QPoint global) {
  TControl* control = WindowFromPoint({global.x(), global.y()});
  while (control && !control->Enabled()) control = control->Parent();
  return control;
}

}  // namespace

void TDragTracker::Begin(TControl& source, bool immediate, int threshold) {
  if (source_) return;  // one drag at a time
  source_ = &source;
  object_ = nullptr;
  active_ = false;
  threshold_ = threshold < 0 ? kDefaultThreshold : threshold;
  const TPoint pointer = Mouse().CursorPos();
  start_ = last_ = QPoint(pointer.X, pointer.Y);
  qApp->installEventFilter(this);
  source.DoStartDrag(object_);
  if (source_ && immediate) Activate();
}

void TDragTracker::Activate() {
  active_ = true;
  // The button now drags: its release is the drop, not a click of the source.
  source_->ForgetPress();
  ShowCursor(crNoDrop);
  MoveTo(last_);
}

void TDragTracker::ShowCursor(TCursor cursor) {
  if (cursor == shownCursor_) return;
  if (shownCursor_ == crDefault)
    QApplication::setOverrideCursor(CursorForId(cursor));
  else if (cursor == crDefault)
    QApplication::restoreOverrideCursor();
  else
    QApplication::changeOverrideCursor(CursorForId(cursor));
  shownCursor_ = cursor;
}

TPoint TDragTracker::ClientPoint(const TControl& control, QPoint global) const {
  const QPoint p = control.Widget()->mapFromGlobal(global);
  return {p.x() - control.BorderInset(), p.y() - control.BorderInset()};
}

bool TDragTracker::Ask(TControl& target, TDragState state, QPoint global) {
  const TPoint p = ClientPoint(target, global);
  bool accept = false;
  GuardEvent([&] { target.DragOver(Dragged(), p.X, p.Y, state, accept); });
  return accept;
}

void TDragTracker::MoveTo(QPoint global) {
  last_ = global;
  TControl* under = ControlAt(global);
  if (target_ && under != target_) {
    TControl* left = std::exchange(target_, nullptr);
    accepted_ = false;
    Ask(*left, dsDragLeave, global);
    if (!source_) return;  // its handler ended the drag
    under = ControlAt(global);
  }
  if (under) {
    const TDragState state = under == target_ ? dsDragMove : dsDragEnter;
    target_ = under;
    accepted_ = Ask(*under, state, global);
    if (!source_) return;
  }
  ShowCursor(accepted_ && target_ ? source_->DragCursor() : crNoDrop);
}

void TDragTracker::End(bool drop) {
  if (!source_) return;
  // The pointer is free again before the handlers run (they may open dialogs).
  qApp->removeEventFilter(this);
  ShowCursor(crDefault);
  TObject* dragged = Dragged();
  const bool dropped = drop && active_ && accepted_ && target_;
  TPoint at{};
  if (active_ && target_) {
    at = ClientPoint(*target_, last_);
    Ask(*target_, dsDragLeave, last_);
  }
  if (dropped && target_) GuardEvent([&] { target_->DragDrop(dragged, at.X, at.Y); });
  TControl* target = dropped ? target_ : nullptr;
  if (!target) at = {};
  if (source_) GuardEvent([&] { source_->DoEndDrag(target, at.X, at.Y); });
  Reset();
}

void TDragTracker::Reset() {
  qApp->removeEventFilter(this);
  ShowCursor(crDefault);
  source_ = nullptr;
  object_ = nullptr;
  target_ = nullptr;
  accepted_ = active_ = false;
}

void TDragTracker::Forget(const TControl& control) {
  if (target_ == &control) {
    target_ = nullptr;
    accepted_ = false;
  }
  // A source that goes ends its drag without a word.
  if (source_ == &control) Reset();
}

bool TDragTracker::eventFilter(QObject* watched, QEvent* event) {
  if (!source_) return false;
  if (event->type() == QEvent::ApplicationDeactivate) {
    End(false);
    return false;
  }
  // Mouse events are taken where they reach a widget, after the window has routed them.
  if (!watched->isWidgetType()) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      if (!active_) {
        const QPoint moved = global - start_;
        if (std::abs(moved.x()) < threshold_ && std::abs(moved.y()) < threshold_) return false;
        last_ = global;
        Activate();
        return true;
      }
      MoveTo(global);
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return active_;
    case QEvent::MouseButtonRelease: {
      // A release before the drag began is a click of the source after all.
      const bool wasActive = active_;
      if (wasActive) last_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      End(wasActive);
      return wasActive;
    }
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
      End(false);
      return true;
    default:
      return false;
  }
}

// ---- TControl's side ----

void TControl::BeginDrag(bool immediate, int threshold) {
  Tracker().Begin(*this, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  if (Dragging()) Tracker().End(drop);
}

bool TControl::Dragging() const {
  return Tracker().Dragging(*this);
}

// The handlers run as copies: they may free this control.
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (TDragOverEvent handler = OnDragOver) {
    accept = true;
    handler(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (TDragDropEvent handler = OnDragDrop) handler(this, source, x, y);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
  if (TStartDragEvent handler = OnStartDrag) handler(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (TEndDragEvent handler = OnEndDrag) handler(this, target, x, y);
}

void ForgetDragControl(const TControl& control) {
  Tracker().Forget(control);
}

TCursor DragCursorShown() {
  return Tracker().Cursor();
}

}  // namespace plat
