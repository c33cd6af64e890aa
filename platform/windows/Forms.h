// Forms: top-level windows built from stored layouts, shown plainly or modally.
#pragma once

#include <functional>
#include <string_view>

#include "platform/windows/Controls.h"
#include "platform/windows/FormReader.h"

namespace plat {

enum TPosition : uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter,
};
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  // Runs OnDestroy first, while every control still exists.
  ~TCustomForm() override;

  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  TBorderStyle FormBorderStyle() const { return formBorderStyle_; }
  void SetFormBorderStyle(TBorderStyle style);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // The control that entered (OnEnter) and has not exited yet; switching to another window or
  // opening a popup leaves it so.
  TWinControl* FocusedControl() const { return focusedControl_; }
  void SetFocusedControl(TWinControl* control);
  TModalResult ModalResult() const { return modalResult_; }
  // A non-zero result ends a modal run.
  void SetModalResult(TModalResult result);
  bool Modal() const { return modal_; }

  void SetVisible(bool visible) override;
  void SetBounds(int left, int top, int width, int height) override;
  // Shows the form modally: ModalResult := 0, OnShow, a nested loop (timers keep firing) until
  // ModalResult is set and the close is allowed, then hides it and returns the result.
  TModalResult ShowModal();
  // A modal form gets mrCancel; another one asks OnCloseQuery and OnClose, then hides (the main
  // form ends the run). Harmless on a form that is not shown.
  void Close();
  bool CloseQuery();
  // The window's close box.
  void CloseFromWindow();
  // Enter or Esc typed in `focused`: Enter clicks the focused button, else the default button
  // unless the focused control wants Enter itself (a memo); Esc clicks the cancel button, and a
  // modal form with none closes as by its close box. With Shift, Ctrl or Alt they do nothing.
  // Returns whether the key was taken.
  bool DialogKey(uint16_t key, TShiftState shift, TWinControl* focused);
  // An Alt+character mnemonic: the first showing, enabled control in Tab order whose caption
  // marks it takes it (a button clicks). Returns whether one did.
  bool DialogChar(char key);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  // Reads forms/NAME.form into this form and binds the table, then runs OnCreate. Derived form
  // classes call it at the end of their constructor.
  void LoadFromLayout(std::string_view layoutName, const TFormBindings& bindings);
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void ApplyText() override;
  int BorderInset() const override { return 0; }
  bool StandsAlone() const override { return true; }
  virtual void DoShow();
  virtual void DoHide();
  void PaintWindow(QPainter& painter, const TRect& area) override;

 private:
  bool FixedSize() const;
  void LimitSize(int width, int height);
  void PlaceOnFirstShow();
  bool CloseModal();
  // The shown form whose window a modal run belongs to: the owner, else the main form, else the
  // active one.
  TCustomForm* OwnerWindow() const;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TBorderStyle formBorderStyle_ = bsSizeable;
  bool keyPreview_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool placed_ = false;
  bool destroyedEventSent_ = false;
  std::function<void()> quitModalLoop_;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

}  // namespace plat
