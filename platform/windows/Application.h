// The application object, the screen, the mouse.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/drawing/Geometry.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Components.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Messages.h"

namespace plat {

class TCustomForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Creates the Qt application; call before the first form.
  void Initialize();
  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = Make<T>();
    if (!mainForm_) mainForm_ = reference;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  // Shows the main form and runs the message loop until it closes or Terminate is called.
  void Run();
  // Delivers every pending event and posted message, then returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // A modal message box with MB_* buttons and icon; returns the ID* answer.
  int MessageBox(const std::string& text, const std::string& caption, uint32_t flags = MB_OK);
  // Shows the exception's message (or runs OnException); the loop goes on.
  void HandleException(const std::exception& e);
  // Frees the forms the application owns (end of the run, test fixtures).
  void DestroyForms();
  // SIGTERM, SIGINT and SIGHUP end the run as closing the main form does, without asking
  // anything: every modal run ends with mrCancel, no dialog opens any more and Run returns, so the
  // program's own shutdown keeps what it keeps; EndByTerminationSignal then ends the process.
  // Outside of Run, cleanup runs and the signal ends the process at once. So does a second signal
  // once the first has come.
  void EndOnTerminationSignals(std::function<void()> cleanup);
  // Call last, after the program's shutdown: when a termination signal ended the run, the
  // process ends by that signal, as it would have without the handling above.
  void EndByTerminationSignal();
  // Nobody is there to answer any more: the run was ended by a termination signal, or the
  // process is ending inside Run.
  bool EndedFromOutside() const { return endedFromOutside_; }
  // Runs when the process ends (exit) inside Run, as Qt ends it when the window system goes away.
  // The windows are not taken down then (that needs the window system) and the process ends
  // right after: this keeps what can be kept.
  std::function<void()> OnExitDuringRun;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor color);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms);

  std::function<void(TObject* sender, const std::exception& e)> OnException;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void EndFromOutside(int signal);
  void ExitDuringRun();

  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool running_ = false;
  bool endedFromOutside_ = false;
  int terminationSignal_ = 0;
  bool initialized_ = false;
  std::string title_ = "PixStamp";
  bool showHint_ = true;
  TColor hintColor_ = clInfoBk;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
};
TApplication& Application();

// How many calls from Qt into layer code are running, nested; while any runs, a freed window may
// still be in use.
int& RunningEvents();

// An information box with one OK button, under the application's title.
void ShowMessage(const std::string& text);

class TScreen {
 public:
  // Screen size; tests may override it (TestSeams).
  int Width() const;
  int Height() const;
  TRect WorkAreaRect() const;
  int PixelsPerInch() const { return 96; }
  // One app-wide cursor (not a stack): crDefault lets each control's own cursor show.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // Custom cursors registered by id (an 8-bit mask picture: 1 = black, 2 = white, 0 = clear).
  void SetCustomCursor(TCursor id, int width, int height, const std::vector<uint8_t>& pixels,
                       TPoint hotSpot);
  bool HasCursor(TCursor id) const;
  // Installed font families, sorted, case-insensitive.
  const TStringList& Fonts();
  TCustomForm* ActiveForm() const;

 private:
  TCursor cursor_ = crDefault;
  std::unique_ptr<TStringList> fonts_;
};
TScreen& Screen();

class TMouse {
 public:
  // The pointer in screen coordinates; tests may override it (TestSeams).
  TPoint CursorPos() const;
  int WheelScrollLines() const;
};
TMouse& Mouse();

}  // namespace plat
