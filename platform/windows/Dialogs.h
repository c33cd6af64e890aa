// Message boxes, the text prompt, and the open-picture, save-picture and colour dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/drawing/Colors.h"
#include "platform/runtime/Components.h"
#include "platform/windows/Messages.h"

namespace plat {

// Nobody is there to answer any more (the run was ended from outside): from now on every box and
// dialog returns at once as dismissed, and one running returns so once its loop ends.
void StopAsking();

// A modal message box with MB_* buttons and icon; returns IDOK, IDCANCEL, IDYES or IDNO. Closing
// it with Esc or its close box answers IDCANCEL, also for a box that shows only Yes and No.
int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags);
enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons as MB_* button codes; returns mrOk, mrCancel, mrYes or mrNo.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, uint32_t buttons);
// A text prompt: true and the entered text in value for OK, false (value untouched) for Cancel.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// Filter text "Description|*.a;*.b|..." in the form Qt's file dialogs take; a filter already
// in that form ("Description (*.a *.b);;...") stays as it is.
std::string FilterToQt(const std::string& filter);

// Bits by the ordinals of the option names in stored layouts (ofReadOnly is 0).
enum TOpenOption : uint32_t {
  ofOverwritePrompt = 1 << 1,
  ofHideReadOnly = 1 << 2,
  ofPathMustExist = 1 << 8,
  ofFileMustExist = 1 << 9,
  ofEnableSizing = 1 << 19,
};
using TOpenOptions = uint32_t;

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& v) { initialDir_ = v; }
  // The chosen path after Execute; before it, where to start (a folder part wins over
  // InitialDir; a name with wildcards only chooses the folder).
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& v) { filter_ = v; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  // Without its dot. A save dialog's chosen name carries it: another extension is replaced, a
  // missing one added, one differing only in case kept.
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& v) { defaultExt_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }
  // Runs the dialog; true when the user chose a file. With ofOverwritePrompt a save dialog asks
  // before it returns a name that exists.
  virtual bool Execute();

 protected:
  // A picture dialog previews the selected file, and with no Filter of its own lists the
  // registered picture formats.
  bool Run(bool save, bool picture);

 private:
  std::string title_, initialDir_, fileName_, filter_, defaultExt_;
  int filterIndex_ = 1;
  TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
};

// The open dialog with a preview of the selected picture, shown as the program loads it.
class TOpenPictureDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  bool Execute() override { return Run(false, true); }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  bool Execute() override { return Run(true, false); }
};

class TSavePictureDialog : public TSaveDialog {
 public:
  using TSaveDialog::TSaveDialog;
};

enum TColorDialogOption : uint32_t { cdFullOpen = 1, cdPreventFullOpen = 2 };

class TColorDialog : public TComponent {
 public:
  explicit TColorDialog(TComponent* owner) : TComponent(owner) {}
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  uint32_t Options() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }
  // Starts at Color; Cancel leaves it unchanged.
  bool Execute();

 private:
  TColor color_ = clBlack;
  uint32_t options_ = 0;
};

}  // namespace plat
