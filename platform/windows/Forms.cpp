#include "platform/windows/Forms.h"

#include <QEventLoop>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include "platform/windows/Application.h"
#include "platform/windows/ControlHost.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  Widget()->setWindowFlag(Qt::Window, true);
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) GuardEvent([&] { OnDestroy(this); });
  if (quitModalLoop_) quitModalLoop_();
}

void TCustomForm::LoadFromLayout(std::string_view layoutName, const TFormBindings& bindings) {
  RegisterControlProperties();
  ReadLayout(*this, layoutName, bindings);
  if (OnCreate) OnCreate(this);
}

void TCustomForm::ApplyText() {
  Widget()->setWindowTitle(ToQString(Caption()));
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  windowState_ = state;
  if (!Visible()) return;
  if (state == wsMaximized)
    Widget()->showMaximized();
  else if (state == wsMinimized)
    Widget()->showMinimized();
  else
    Widget()->showNormal();
}

bool TCustomForm::FixedSize() const {
  return formBorderStyle_ == bsSingle || formBorderStyle_ == bsDialog ||
         formBorderStyle_ == bsToolWindow || formBorderStyle_ == bsNone;
}

void TCustomForm::SetFormBorderStyle(TBorderStyle style) {
  formBorderStyle_ = style;
  Widget()->setWindowFlag(Qt::FramelessWindowHint, style == bsNone);
  Widget()->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, FixedSize());
  LimitSize(Width(), Height());
}

void TCustomForm::LimitSize(int width, int height) {
  // The user cannot resize a fixed window; the program still can. Qt limits the inside.
  if (FixedSize()) {
    TRect frame = WindowFrame();
    Widget()->setFixedSize(std::max(width - frame.Left - frame.Right, 0),
                           std::max(height - frame.Top - frame.Bottom, 0));
  } else {
    Widget()->setMinimumSize(0, 0);
    Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  LimitSize(width, height);
  TWinControl::SetBounds(left, top, width, height);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (activeControl_ && activeControl_ != focusedControl_)
    activeControl_->RemoveFreeNotification(this);
  activeControl_ = control;
  if (control) {
    control->FreeNotification(this);
    if (Visible() && control->CanFocus() && !control->Focused()) control->SetFocus();
  }
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == focusedControl_) return;
  if (focusedControl_ && focusedControl_ != activeControl_)
    focusedControl_->RemoveFreeNotification(this);
  focusedControl_ = control;
  if (control) control->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == activeControl_) activeControl_ = nullptr;
  if (component == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (result != mrNone && modal_ && quitModalLoop_) quitModalLoop_();
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  TRect area{0, 0, Screen().Width(), Screen().Height()};
  if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
    TCustomForm* center = position_ == poMainFormCenter ? Application().MainForm()
                                                        : dynamic_cast<TCustomForm*>(Owner());
    if (center && center != this)
      area = center->BoundsRect();
    else if (position_ == poOwnerFormCenter && Application().MainForm() != this &&
             Application().MainForm())
      area = Application().MainForm()->BoundsRect();
  }
  if (position_ == poScreenCenter || position_ == poDesktopCenter ||
      position_ == poMainFormCenter || position_ == poOwnerFormCenter)
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2,
              Width(), Height());
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (visible) PlaceOnFirstShow();
  TWinControl::SetVisible(visible);
  if (visible) {
    if (windowState_ == wsMaximized)
      Widget()->showMaximized();
    else if (windowState_ == wsMinimized)
      Widget()->showMinimized();
    else
      Widget()->show();
    // The frame is known once the window shows, or comes later from the window manager.
    if (auto host = dynamic_cast<TControlHost*>(Widget())) {
      const TRect asked = BoundsRect();
      host->SyncWindowGeometry();
      if (windowState_ == wsNormal) host->AwaitFrame(asked);
    }
    Widget()->activateWindow();
    if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
    DoShow();
  } else {
    Widget()->hide();
    DoHide();
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

TModalResult TCustomForm::ShowModal() {
  if (modal_ || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  modalResult_ = mrNone;
  if (auto& hook = TestHooks().modal) {
    modal_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{modal_};
    PlaceOnFirstShow();
    DoShow();
    TModalResult answer = hook(*this);
    if (answer != mrNone) modalResult_ = answer;
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    DoHide();
    return modalResult_;
  }
  // Once the run was ended from outside nobody answers: the run is cancelled unseen.
  if (Application().EndedFromOutside()) return modalResult_ = mrCancel;
  // While it runs, the form is a dialog of its owner's window: kept with it, never minimised
  // away from the window it blocks.
  const Qt::WindowFlags plainFlags = Widget()->windowFlags();
  Qt::WindowFlags dialogFlags = (plainFlags & ~Qt::WindowType_Mask) | Qt::Dialog |
                                Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  dialogFlags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
  if (!FixedSize()) dialogFlags |= Qt::WindowMaximizeButtonHint;
  Widget()->setWindowFlags(dialogFlags);
  Widget()->setWindowModality(Qt::ApplicationModal);
  if (TCustomForm* owner = OwnerWindow()) {
    Widget()->winId();  // the window exists from here on, so it can be tied to its owner's
    Widget()->windowHandle()->setTransientParent(owner->Widget()->windowHandle());
  }
  modal_ = true;
  QEventLoop loop;
  quitModalLoop_ = [&loop] { loop.quit(); };
  struct Reset {
    TCustomForm& form;
    Qt::WindowFlags plainFlags;
    ~Reset() {
      form.quitModalLoop_ = nullptr;
      form.modal_ = false;
      if (QWindow* window = form.Widget()->windowHandle()) window->setTransientParent(nullptr);
      form.Widget()->setWindowModality(Qt::NonModal);
      form.Widget()->setWindowFlags(plainFlags);
    }
  } reset{*this, plainFlags};
  SetVisible(true);
  // Handlers may close the form while it shows.
  while (!Application().EndedFromOutside() && (modalResult_ == mrNone || !CloseModal())) {
    if (modalResult_ == mrNone) loop.exec();
  }
  if (Application().EndedFromOutside()) modalResult_ = mrCancel;
  SetVisible(false);
  return modalResult_;
}

TCustomForm* TCustomForm::OwnerWindow() const {
  for (TCustomForm* candidate :
       {dynamic_cast<TCustomForm*>(Owner()), Application().MainForm(), Screen().ActiveForm()})
    if (candidate && candidate != this && candidate->Visible() &&
        candidate->Widget()->windowHandle())
      return candidate;
  return nullptr;
}

bool TCustomForm::CloseModal() {
  // A refused close goes back to the loop with no result.
  bool allowed = CloseQuery();
  TCloseAction action = allowed ? caHide : caNone;
  if (allowed && OnClose) OnClose(this, action);
  if (action == caNone) {
    modalResult_ = mrNone;
    return false;
  }
  return true;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!Visible() && Application().MainForm() != this) return;
  if (!CloseQuery()) return;
  TCloseAction action = Application().MainForm() == this ? caFree : caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application().MainForm() == this) {
    Application().Terminate();
    return;
  }
  SetVisible(false);
}

void TCustomForm::CloseFromWindow() {
  // The close box ends a modal run with mrCancel and runs no button's handler.
  if (modal_)
    SetModalResult(mrCancel);
  else
    Close();
}

namespace {
bool OfferDialogKey(TWinControl& parent, uint16_t key) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->Perform(CM_DIALOGKEY, key) != 0) return true;
    if (auto win = dynamic_cast<TWinControl*>(c); win && OfferDialogKey(*win, key)) return true;
  }
  return false;
}
}  // namespace

bool TCustomForm::DialogKey(uint16_t key, TShiftState shift, TWinControl* focused) {
  if (shift & (ssShift | ssCtrl | ssAlt)) return false;
  if (key == VK_RETURN && focused) {
    if (auto button = dynamic_cast<TButton*>(focused)) {
      if (!button->Enabled()) return false;
      button->Click();
      return true;
    }
    if (focused->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS) return false;
  }
  if (OfferDialogKey(*this, key)) return true;
  // A modal dialog with no cancel button still ends on Esc, as its close box ends it.
  if (key != VK_ESCAPE || !modal_) return false;
  CloseFromWindow();
  return true;
}

bool TCustomForm::DialogChar(char key) {
  std::vector<TWinControl*> order;
  GetTabOrderList(order);
  for (TWinControl* control : order)
    if (control->Showing() && control->Enabled() && control->Perform(CM_DIALOGCHAR, key) != 0)
      return true;
  return false;
}

void TCustomForm::WndProc(TMessage& m) {
  if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTBOTTOMRIGHT) {
    // Size grips ask the window system for a bottom-right size drag.
    if (QWindow* window = Widget()->windowHandle())
      window->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    return;
  }
  TWinControl::WndProc(m);
}

void TCustomForm::PaintWindow(QPainter& painter, const TRect&) {
  painter.fillRect(0, 0, Width(), Height(), ToQColor(Color()));
}

}  // namespace plat
