// Test seams: answers for modal runs and dialogs, overrides of the screen and the pointer, a
// recorder of opened links, and screenshots of windows.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/drawing/Colors.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Geometry.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Messages.h"

namespace plat {

class TBitmap;
class TControl;
class TCustomForm;
class TMemo;

// What the preview of a picture dialog shows for a file; nothing when it does not load.
using TPreviewSource = std::function<std::unique_ptr<TBitmap>(const std::string& fileName)>;

// A file dialog as a hook sees it; the hook fills FileName and returns true for OK.
struct TFileDialogRequest {
  bool save = false;
  std::string title;
  std::string filter;
  std::string initialDir;
  std::string fileName;
  TPreviewSource preview;  // empty unless the dialog is a picture dialog
};

// An entry of a popup menu as it shows: its caption ("&" mnemonics kept), its state and its
// submenu.
struct TShownMenuEntry {
  std::string Caption;
  bool Separator = false;
  bool Enabled = true;
  bool Checked = false;
  std::vector<TShownMenuEntry> Entries;
};

struct TTestHooks {
  // ShowModal without a nested loop: set controls, return the result (0 keeps ModalResult).
  std::function<TModalResult(TCustomForm& form)> modal;
  // Message boxes: the answer (IDOK, IDYES, ...).
  std::function<int(const std::string& text, const std::string& caption, uint32_t flags)>
      messageBox;
  std::function<bool(TFileDialogRequest& request)> fileDialog;
  // Colour dialog: the chosen colour, or nothing for Cancel.
  std::function<std::optional<TColor>(TColor initial)> colorDialog;
  // Text prompt: the entered text, or nothing for Cancel.
  std::function<std::optional<std::string>(const std::string& caption, const std::string& prompt,
                                           const std::string& value)>
      inputQuery;
  // Message boxes show even offscreen, for tests that answer them with keys
  // (PressKeyOnMessageBox, CloseMessageBox); the messageBox hook still goes first.
  bool showMessageBoxes = false;
  // File dialogs show even offscreen, for tests that type into them (TypeInFileDialog); the
  // fileDialog hook still goes first.
  bool showFileDialogs = false;
  // Popup menus instead of showing: given the entries and the screen point, the indexes of the
  // entry to click, one per menu level down from the top (empty: dismissed without a choice).
  std::function<std::vector<int>(const std::vector<TShownMenuEntry>& entries, TPoint at)> popupMenu;
  std::optional<TSize> screenSize;
  std::optional<TPoint> cursorPos;
  // When set, links are recorded here instead of being opened.
  std::vector<std::string>* openedLinks = nullptr;
};
TTestHooks& TestHooks();

// Resets every hook when it goes out of scope.
class TTestHooksScope {
 public:
  TTestHooksScope() = default;
  ~TTestHooksScope() { TestHooks() = TTestHooks{}; }
  TTestHooksScope(const TTestHooksScope&) = delete;
  TTestHooksScope& operator=(const TTestHooksScope&) = delete;
};

// Waits until the window system or a timer brings this program an event, or the milliseconds
// pass, then delivers everything pending: a test's wait wakes as soon as something happens.
void WaitForEvents(int milliseconds);

// Every modal run (a form's, a message box, a file, colour or text dialog) still showing after
// `seconds` is reported to `expired` with what shows, then ended as Cancel ends it: a dialog that
// nobody answers fails the test instead of keeping it waiting. Watches once the application
// object exists; 0 stops watching.
void LimitModalRuns(int seconds, std::function<void(const std::string& whatShows)> expired);

// Where the index-th item of a radio group or list box lies, in the control's client
// coordinates (as SimulateMouse takes them); empty when there is no such item.
TRect ItemBounds(TControl& control, int index);

// Saves what the control shows (children included) as a PNG file; raises EWriteError.
void SaveScreenshot(TControl& control, const std::string& fileName);
// Text as the desktop's own text drawing draws it whole in the font a device context makes of
// Font, its cell's top-left corner at (0, 0): the coverage, 0 to 255 a pixel, of a Width x
// Height picture, rows Width bytes apart. The reference for the contexts' text output.
std::vector<uint8_t> DesktopTextCoverage(const TLogFont& font, const std::string& text,
                                         int32_t width, int32_t height);
// The folder tests write screenshots to ($PIXSTAMP_SCREENSHOTS, or the temporary folder).
std::string ScreenshotFolder();

}  // namespace plat

namespace plat {

// Input delivered through the control's window as the window system would deliver it (mouse
// grab while a button is down, keys to the focused control). Positions are client coordinates
// of the control; the window must be showing.
enum class TMouseAction { Press, Release, DoubleClick, Move };
void SimulateMouse(TControl& control, TMouseAction action, TMouseButton button, TPoint position,
                   TShiftState shift = 0);
void SimulateWheel(TControl& control, int delta, TPoint position, TShiftState shift = 0);
// Any wheel event the desktop sends: turns in eighths of a degree (a notch is 120; up and left
// are positive), the pixels a touchpad reports, and the stage of a touchpad gesture.
enum class TWheelPhase { None, Begin, Update, End };
struct TWheelTurn {
  TPoint angle;
  TPoint pixels;
  TWheelPhase phase = TWheelPhase::None;
};
void SimulateWheel(TControl& control, const TWheelTurn& turn, TPoint position,
                   TShiftState shift = 0);
// A key press (and release) with its virtual key code and typed text, sent to the control. Like
// the window system, successive keys arrive in one event object.
void SimulateKey(TControl& control, uint16_t virtualKey, const std::string& text,
                 TShiftState shift = 0);
// A key press and release as the window system delivers them to the window of the control: the
// modifier keys first, shortcuts and mnemonics before the window's focused control, each key in
// the same event object. The window must be showing.
void PressKey(TControl& window, uint16_t virtualKey, const std::string& text = {},
              TShiftState shift = 0);
// Typed text through PressKey, one key a character (letters, digits, space, '+', '-').
void TypeText(TControl& window, const std::string& text);
// PressKey on the message box that is showing; false when none is.
bool PressKeyOnMessageBox(uint16_t virtualKey, const std::string& text = {});
// The close box of the message box that is showing, as the window manager sends it; false when
// none is showing.
bool CloseMessageBox();
// The window system's id of the message box that is showing; 0 when none is.
uint64_t MessageBoxWindowId();
// The text of the message box that is showing; empty when none is.
std::string MessageBoxText();
// Types the text into the name box of the file dialog that is showing, as keys, then Enter
// unless told not to; false when none is showing.
bool TypeInFileDialog(const std::string& text, bool enter = true);
// The object name of a picture dialog's preview.
inline constexpr char PicturePreviewName[] = "picturePreview";

// The pointer resting at a point of the control: the help event the window system then sends
// to the widget under it, and the text the hint window shows for it as laid out (line breaks as
// "\n", blanks as blanks); empty when no hint shows.
std::string HintShownAt(TControl& control, TPoint position);
// The hint window showing now: its place on the screen, and whether it holds its whole text (no
// line wider than the window, no more lines than it is high). Empty when none shows.
struct THintWindowShown {
  TRect bounds;
  bool holdsText = false;
};
std::optional<THintWindowShown> HintWindowShown();

// Clicks the index-th entry of the popup menu showing now with the mouse, as the user would;
// false when no menu shows or it has no such entry.
bool ClickPopupMenuEntry(int index);

// The desktop clipboard as other programs see it: PutClipboardData replaces its content with
// bytes of one type (as a program that copies a PNG does, "image/png"), or of several types in
// the order given; ClipboardData gives the bytes it holds of a type, empty when none.
void PutClipboardData(const std::string& mimeType, const std::string& bytes);
void PutClipboardData(const std::vector<std::pair<std::string, std::string>>& typesAndBytes);
std::string ClipboardData(const std::string& mimeType);
// The clipboard held by a program that does not answer (stopped, or hung): every question about
// what it holds waits out the window system's patience and learns nothing. The count grows by one
// for each question asked.
std::shared_ptr<const int> PutSilentClipboardOwner();

// Whether the window of the control still waits for the window manager's frame, to be placed
// again at the bounds the program gave it.
bool AwaitsFrame(const TControl& control);

// A form's window as the window system sees it.
struct TWindowRelations {
  TCustomForm* transientFor = nullptr;  // the form whose window this one belongs to
  bool dialog = false;                  // a dialog window rather than a normal one
  bool minimizeButton = false;
  bool maximizeButton = false;
  TRect frame;   // the outer window on the screen
  TRect client;  // the inside on the screen
  uint64_t windowId = 0;
};
TWindowRelations DescribeWindow(const TCustomForm& form);

// The cursor a drag shows now: the source's drag cursor over a target that accepts, crNoDrop
// elsewhere; crDefault while no drag shows one.
TCursor DragCursorShown();

// The lines a showing memo shows, as its own text layout breaks them, the last line of a text
// that ends with a line end (an empty one) too.
std::vector<std::string> MemoShownLines(TMemo& memo);

// What a control shows, as 0xAARRGGBB pixels (alpha 255).
struct TCapturedImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t Pixel(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
TCapturedImage CaptureControl(TControl& control);
// The picture the preview of the showing picture dialog shows; empty when it shows none.
TCapturedImage FileDialogPreview();

}  // namespace plat
