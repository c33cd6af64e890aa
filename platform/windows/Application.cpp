#include "platform/windows/Application.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QFontDatabase>
#include <QScreen>
#include <QToolTip>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>

#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/QtConversions.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

// An error's text as a message box can show it: a name thousands of characters long (a path from
// the command line) would make a box taller than the screen, its button out of reach. The middle
// goes, the start and the end (what failed and why) stay.
std::string Showable(std::string text) {
  constexpr size_t kept = 600;
  if (text.size() <= 2 * kept) return text;
  auto boundary = [&](size_t at) {
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    return at;
  };
  const size_t head = boundary(kept), tail = boundary(text.size() - kept);
  return text.substr(0, head) + "\u2026" + text.substr(tail);
}

std::map<TCursor, QCursor>& CustomCursors() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

// Holds tool tips back while the application shows no hints.
class THintGate : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    return event->type() == QEvent::ToolTip && !Application().ShowHint();
  }
};

}  // namespace

QCursor CursorForId(TCursor cursor);
Qt::CursorShape StandardCursorShape(TCursor cursor);

QCursor CursorForId(TCursor cursor) {
  auto found = CustomCursors().find(cursor);
  if (found != CustomCursors().end()) return found->second;
  return QCursor(StandardCursorShape(cursor));
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  DestroyForms();
}

void TApplication::Initialize() {
  EnsureQtApplication();
  QApplication::setQuitOnLastWindowClosed(false);
  static THintGate gate;
  if (!initialized_) qApp->installEventFilter(&gate);
  initialized_ = true;
  RegisterControlProperties();
}

void TApplication::Run() {
  Initialize();
  // Registered after this object was made, so it runs before the object is destroyed.
  [[maybe_unused]] static const bool watched =
      std::atexit([] { Application().ExitDuringRun(); }) == 0;
  if (mainForm_) mainForm_->Show();
  running_ = true;
  while (!terminated_ && mainForm_) QApplication::exec();
  running_ = false;
}

void TApplication::ExitDuringRun() {
  if (!running_) return;
  endedFromOutside_ = true;
  StopAsking();
  try {
    if (OnExitDuringRun) OnExitDuringRun();
  } catch (const std::exception& e) {
    std::cerr << title_ << ": " << e.what() << '\n';
  }
  // What the exit would run next takes the windows down, which needs the window system that is
  // gone: the process ends here, with the status Qt ends it with then.
  std::fflush(nullptr);
  std::_Exit(EXIT_FAILURE);
}

void TApplication::EndFromOutside(int signal) {
  terminationSignal_ = signal;
  endedFromOutside_ = true;
  StopAsking();
  terminated_ = true;
  // Ends every running loop, the modal ones too, without closing a window (which could ask).
  QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() {
  EnsureQtApplication();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Windows of freed controls go now, not at the next turn of a loop - unless a control's event
  // is running: its own window may be one of them.
  if (RunningEvents() == 0) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::Terminate() {
  terminated_ = true;
  if (QCoreApplication::instance()) QCoreApplication::quit();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  return ShowMessageBox(text, caption.empty() ? title_ : caption, flags);
}

void TApplication::HandleException(const std::exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return;  // the silent exception
  if (OnException) {
    try {
      OnException(this, e);
      return;
    } catch (const std::exception& inner) {
      MessageBox(Showable(inner.what()), title_, MB_OK | MB_ICONERROR);
      return;
    }
  }
  MessageBox(Showable(e.what()), title_, MB_OK | MB_ICONERROR);
}

void TApplication::DestroyForms() {
  std::vector<TComponent*> all;
  for (int i = 0; i < ComponentCount(); ++i) all.push_back(Components(i));
  for (auto it = all.rbegin(); it != all.rend(); ++it) DestroyComponent(*it);
  mainForm_ = nullptr;
  if (QCoreApplication::instance())
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::SetShowHint(bool v) {
  showHint_ = v;
}

void TApplication::SetHintColor(TColor color) {
  hintColor_ = color;
  EnsureQtApplication();
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, ToQColor(color));
  QToolTip::setPalette(palette);
}

void TApplication::SetHintHidePause(int ms) {
  hintHidePause_ = ms;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

TApplication& Application() {
  static TApplication application;
  return application;
}

int& RunningEvents() {
  static int running = 0;
  return running;
}

void ShowMessage(const std::string& text) {
  ShowMessageBox(text, Application().Title(), MB_OK);
}

// ---- TScreen ----

int TScreen::Width() const {
  if (TestHooks().screenSize) return TestHooks().screenSize->cx;
  EnsureQtApplication();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
  if (TestHooks().screenSize) return TestHooks().screenSize->cy;
  EnsureQtApplication();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 768;
}

TRect TScreen::WorkAreaRect() const {
  if (TestHooks().screenSize) return {0, 0, Width(), Height()};
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return {0, 0, Width(), Height()};
  QRect r = s->availableGeometry();
  return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  EnsureQtApplication();
  if (cursor == crDefault) {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  } else if (QApplication::overrideCursor()) {
    QApplication::changeOverrideCursor(CursorForId(cursor));
  } else {
    QApplication::setOverrideCursor(CursorForId(cursor));
  }
}

void TScreen::SetCustomCursor(TCursor id, int width, int height, const std::vector<uint8_t>& pixels,
                              TPoint hotSpot) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256 ||
      pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    throw EInvalidOperation("Invalid cursor picture");
  EnsureQtApplication();
  QImage bits(width, height, QImage::Format_Mono);
  QImage mask(width, height, QImage::Format_Mono);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
      if (p == 0) continue;
      mask.setPixel(x, y, 1);
      bits.setPixel(x, y, p == 1 ? 1 : 0);
    }
  CustomCursors()[id] =
      QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), hotSpot.X, hotSpot.Y);
}

bool TScreen::HasCursor(TCursor id) const {
  return CustomCursors().count(id) != 0 || (id <= 0 && id >= crSizeAll);
}

const TStringList& TScreen::Fonts() {
  if (!fonts_) {
    EnsureQtApplication();
    fonts_ = std::make_unique<TStringList>();
    fonts_->SetSorted(true);
    for (const QString& family : QFontDatabase::families()) fonts_->Add(FromQString(family));
  }
  return *fonts_;
}

TCustomForm* TScreen::ActiveForm() const {
  QWidget* w = QApplication::activeWindow();
  return w ? dynamic_cast<TCustomForm*>(TControl::FromWidget(w)) : nullptr;
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

// ---- TMouse ----

TPoint TMouse::CursorPos() const {
  if (TestHooks().cursorPos) return *TestHooks().cursorPos;
  EnsureQtApplication();
  QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

int TMouse::WheelScrollLines() const {
  EnsureQtApplication();
  return QApplication::wheelScrollLines();
}

TMouse& Mouse() {
  static TMouse mouse;
  return mouse;
}

}  // namespace plat
