#include "platform/windows/TestSeams.h"

#include <QtTest/qtestspontaneevent.h>
#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/windows/ControlHost.h"

#include "platform/drawing/FontEngine.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/StdCtrls.h"

namespace plat {

TTestHooks& TestHooks() {
  static TTestHooks hooks;
  return hooks;
}

void WaitForEvents(int milliseconds) {
  EnsureQtApplication();
  // The timer bounds the wait: the loop sleeps until it or any other event arrives.
  QTimer bound;
  bound.setSingleShot(true);
  bound.start(std::max(milliseconds, 0));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  Application().ProcessMessages();
}

std::vector<uint8_t> DesktopTextCoverage(const TLogFont& font, const std::string& text,
                                         int32_t width, int32_t height) {
  const std::shared_ptr<const FontInfo> info = FontFor(font);
  QImage coverage(width, height, QImage::Format_Alpha8);
  coverage.fill(0);
  {
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::TextAntialiasing, info->Antialiased());
    // The desktop's own drawing shapes and kerns.
    QFont desktop = info->Font();
    desktop.setKerning(true);
    desktop.setStyleStrategy(
        QFont::StyleStrategy(desktop.styleStrategy() & ~QFont::PreferNoShaping));
    painter.setFont(desktop);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QPointF(0, info->Metric().Ascent), QString::fromStdString(text));
  }
  std::vector<uint8_t> bytes(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y)
    std::copy_n(coverage.constScanLine(y), width, bytes.begin() + ptrdiff_t(y) * width);
  return bytes;
}

void SaveScreenshot(TControl& control, const std::string& fileName) {
  EnsureQtApplication();
  QWidget* widget = control.Widget();
  // Hidden windows are laid out and painted too: grab renders them off the screen.
  widget->ensurePolished();
  QImage image = widget->grab().toImage();
  std::string folder = ExtractFilePath(fileName);
  if (!folder.empty()) ForceDirectories(folder);
  if (image.isNull() || !image.save(QString::fromStdString(fileName), "PNG"))
    throw EWriteError("Cannot save the screenshot " + fileName);
}

namespace {

Qt::MouseButton QtButton(TMouseButton button) {
  return button == mbLeft ? Qt::LeftButton : button == mbRight ? Qt::RightButton : Qt::MiddleButton;
}

Qt::KeyboardModifiers QtModifiers(TShiftState shift) {
  Qt::KeyboardModifiers m;
  if (shift & ssShift) m |= Qt::ShiftModifier;
  if (shift & ssCtrl) m |= Qt::ControlModifier;
  if (shift & ssAlt) m |= Qt::AltModifier;
  return m;
}

// The buttons the simulated pointer holds down.
Qt::MouseButtons& HeldButtons() {
  static Qt::MouseButtons held;
  return held;
}

struct WindowPoint {
  QWindow* window;
  QPointF local;
  QPointF global;
};

// How far the client area lies inside the widget: the width of a control's border.
int ClientInset(const TControl& control) {
  return control.ClientWidth() < control.Width() ? (control.Width() - control.ClientWidth()) / 2
                                                 : 0;
}

WindowPoint LocateInWindow(TControl& control, TPoint position) {
  QWidget* widget = control.Widget();
  QWidget* top = widget->window();
  QWindow* window = top->windowHandle();
  if (!window || !top->isVisible()) throw EInvalidOperation("The control's window is not showing");
  const int inset = ClientInset(control);
  QPoint inWidget(position.X + inset, position.Y + inset);
  return {window, QPointF(widget->mapTo(top, inWidget)), QPointF(widget->mapToGlobal(inWidget))};
}

int QtKey(uint16_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  static const std::pair<uint16_t, int> keys[] = {
      {VK_BACK, Qt::Key_Backspace}, {VK_TAB, Qt::Key_Tab},       {VK_RETURN, Qt::Key_Return},
      {VK_ESCAPE, Qt::Key_Escape},  {VK_SPACE, Qt::Key_Space},   {VK_PRIOR, Qt::Key_PageUp},
      {VK_NEXT, Qt::Key_PageDown},  {VK_END, Qt::Key_End},       {VK_HOME, Qt::Key_Home},
      {VK_LEFT, Qt::Key_Left},      {VK_UP, Qt::Key_Up},         {VK_RIGHT, Qt::Key_Right},
      {VK_DOWN, Qt::Key_Down},      {VK_DELETE, Qt::Key_Delete}, {VK_ADD, Qt::Key_Plus},
      {VK_SUBTRACT, Qt::Key_Minus}};
  for (auto [v, q] : keys)
    if (v == vk) return q;
  return Qt::Key_unknown;
}

}  // namespace

void SimulateMouse(TControl& control, TMouseAction action, TMouseButton button, TPoint position,
                   TShiftState shift) {
  WindowPoint at = LocateInWindow(control, position);
  Qt::MouseButton qb = action == TMouseAction::Move ? Qt::NoButton : QtButton(button);
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButtons& held = HeldButtons();
  switch (action) {
    case TMouseAction::Press:
      type = QEvent::MouseButtonPress, held |= qb;
      break;
    case TMouseAction::DoubleClick:
      type = QEvent::MouseButtonDblClick, held |= qb;
      break;
    case TMouseAction::Release:
      type = QEvent::MouseButtonRelease, held &= ~qb;
      break;
    case TMouseAction::Move:
      break;
  }
  QMouseEvent event(type, at.local, at.local, at.global, qb, held, QtModifiers(shift));
  // The window system's double click reaches the pressed widget with its release (the press
  // that made it is never shown to widgets); the window only routes presses it saw itself.
  static QPointer<QWidget> doubleClicked;
  if (action == TMouseAction::DoubleClick) {
    // The widget under the pointer: a list's entries lie on its viewport, not on the list.
    QWidget* top = control.Widget()->window();
    QWidget* under = top->childAt(at.local.toPoint());
    doubleClicked = under != nullptr ? under : control.Widget();
  }
  if (doubleClicked && (action == TMouseAction::DoubleClick || action == TMouseAction::Release)) {
    QWidget* target = doubleClicked;
    if (action == TMouseAction::Release) doubleClicked = nullptr;
    QPointF local = target->mapFrom(target->window(), at.local.toPoint());
    QMouseEvent direct(type, local, at.local, at.global, qb, held, QtModifiers(shift));
    QCoreApplication::sendEvent(target, &direct);
    return;
  }
  QCoreApplication::sendEvent(at.window, &event);
}

void SimulateWheel(TControl& control, int delta, TPoint position, TShiftState shift) {
  SimulateWheel(control, TWheelTurn{{0, delta}, {}, TWheelPhase::None}, position, shift);
}

void SimulateWheel(TControl& control, const TWheelTurn& turn, TPoint position, TShiftState shift) {
  static constexpr Qt::ScrollPhase kPhases[] = {Qt::NoScrollPhase, Qt::ScrollBegin,
                                                Qt::ScrollUpdate, Qt::ScrollEnd};
  WindowPoint at = LocateInWindow(control, position);
  QWheelEvent event(at.local, at.global, QPoint(turn.pixels.X, turn.pixels.Y),
                    QPoint(turn.angle.X, turn.angle.Y), HeldButtons(), QtModifiers(shift),
                    kPhases[size_t(turn.phase)], false);
  // A mouse wheel's turn comes as from the window system (sendEvent would make it the program's
  // own): a part of a control that leaves it alone, such as a spin edit's text, hands it on to
  // the control. The events of a touchpad gesture stay the program's own, as Qt would send the
  // rest of a gesture to the widget that took its first event, and tests turn pieces of gestures
  // over several controls.
  if (turn.phase == TWheelPhase::None) {
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(at.window, &event);
  } else {
    QCoreApplication::sendEvent(at.window, &event);
  }
}

std::vector<std::string> MemoShownLines(TMemo& memo) {
  Application().ProcessMessages();
  auto* edit = static_cast<QPlainTextEdit*>(memo.Widget());
  if (!edit->isVisible()) throw EInvalidOperation("The memo is not showing");
  QTextDocument& document = *edit->document();
  std::vector<std::string> lines;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    document.documentLayout()->blockBoundingRect(block);  // lays out a block not yet shown
    const QTextLayout& layout = *block.layout();
    const QString text = block.text();
    for (int i = 0; i < layout.lineCount(); ++i)
      lines.push_back(
          FromQString(text.mid(layout.lineAt(i).textStart(), layout.lineAt(i).textLength())));
  }
  return lines;
}

void SimulateKey(TControl& control, uint16_t virtualKey, const std::string& text,
                 TShiftState shift) {
  // One slot for every key, as the window system has; a key sent from inside a key handler (a
  // modal run) gets the slot of its depth.
  static std::array<std::optional<QKeyEvent>, 8> events;
  static size_t depth = 0;
  if (depth == events.size()) throw EInvalidOperation("Keys nested too deeply");
  std::optional<QKeyEvent>& slot = events[depth];
  struct Nest {
    size_t& depth;
    ~Nest() { --depth; }
  } nest{++depth};
  // The press may free the control; its window then stays until the next turn of the loop.
  const QPointer<QWidget> widget = control.Widget();
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    if (!widget) return;
    slot.emplace(type, QtKey(virtualKey), QtModifiers(shift), ToQString(text));
    QCoreApplication::sendEvent(widget, &*slot);
  }
}

namespace {

void PressKeyOnWindow(QWidget* top, uint16_t virtualKey, const std::string& text,
                      TShiftState shift) {
  QWindow* handle = top->windowHandle();
  if (!handle || !top->isVisible()) throw EInvalidOperation("The control's window is not showing");
  QTest::sendKeyEvent(QTest::Click, handle, static_cast<Qt::Key>(QtKey(virtualKey)),
                      ToQString(text), QtModifiers(shift));
}

QMessageBox* ShowingMessageBox() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) return box;
  return nullptr;
}

}  // namespace

void PressKey(TControl& window, uint16_t virtualKey, const std::string& text, TShiftState shift) {
  PressKeyOnWindow(window.Widget()->window(), virtualKey, text, shift);
}

bool PressKeyOnMessageBox(uint16_t virtualKey, const std::string& text) {
  QMessageBox* box = ShowingMessageBox();
  if (box) PressKeyOnWindow(box, virtualKey, text, 0);
  return box != nullptr;
}

bool CloseMessageBox() {
  QMessageBox* box = ShowingMessageBox();
  if (box) box->close();
  return box != nullptr;
}

uint64_t MessageBoxWindowId() {
  QMessageBox* box = ShowingMessageBox();
  return box ? box->winId() : 0;
}

bool AwaitsFrame(const TControl& control) {
  auto* host = dynamic_cast<const TControlHost*>(control.Widget());
  return host && host->AwaitingFrame();
}

TRect ItemBounds(TControl& control, int index) {
  QWidget* widget = control.Widget();
  QRect bounds;
  if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
    const QModelIndex item = view->model()->index(index, 0);
    if (item.isValid())
      bounds = view->visualRect(item).translated(view->viewport()->mapTo(widget, QPoint()));
  } else if (QLayout* layout = widget->layout()) {
    // A radio group's items are the widgets of its layout, in item order.
    QLayoutItem* item = index >= 0 && index < layout->count() ? layout->itemAt(index) : nullptr;
    if (item && item->widget()) bounds = item->widget()->geometry();
  }
  if (bounds.isEmpty()) return {};
  bounds.translate(-ClientInset(control), -ClientInset(control));
  return {bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
}

std::string MessageBoxText() {
  QMessageBox* box = ShowingMessageBox();
  return box ? FromQString(box->text()) : std::string();
}

bool TypeInFileDialog(const std::string& text, bool enter) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QFileDialog*>(top);
    if (!dialog || !dialog->isVisible()) continue;
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) return false;
    edit->setFocus();
    // Through the window, so an open completion list gets the keys as it would from the user.
    QWindow* window = dialog->windowHandle();
    // Ctrl+A would select every file in the dialog's list; Shift+End selects only the text.
    QTest::keyClick(window, Qt::Key_Home);
    QTest::keyClick(window, Qt::Key_End, Qt::ShiftModifier);
    for (char c : text) QTest::keyClick(window, c);
    if (enter) QTest::keyClick(window, Qt::Key_Return);
    return true;
  }
  return false;
}

void TypeText(TControl& window, const std::string& text) {
  for (char c : text) {
    uint16_t key = 0;
    if (c >= 'a' && c <= 'z') key = static_cast<uint16_t>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) key = static_cast<uint16_t>(c);
    if (c == ' ') key = VK_SPACE;
    if (c == '+') key = VK_ADD;
    if (c == '-') key = VK_SUBTRACT;
    if (!key) throw EInvalidOperation(std::string("No key types '") + c + "'");
    PressKey(window, key, std::string(1, c), c >= 'A' && c <= 'Z' ? ssShift : 0);
  }
}

namespace {

// The hint window that shows now, if any.
QLabel* ShowingHintWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->inherits("QTipLabel")) return qobject_cast<QLabel*>(window);
  return nullptr;
}

}  // namespace

std::string HintShownAt(TControl& control, TPoint position) {
  const WindowPoint at = LocateInWindow(control, position);
  QWidget* top = control.Widget()->window();
  QWidget* under = top->childAt(at.local.toPoint());
  if (!under) under = top;
  // A hint shown before would fade out only after a while: it goes at once.
  if (QLabel* shown = ShowingHintWindow()) shown->hide();
  QHelpEvent event(QEvent::ToolTip, under->mapFrom(top, at.local.toPoint()), at.global.toPoint());
  QCoreApplication::sendEvent(under, &event);
  const QLabel* tip = ShowingHintWindow();
  if (!tip) return {};
  const QString text = tip->text();
  const bool rich = tip->textFormat() == Qt::RichText ||
                    (tip->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
  if (!rich) return FromQString(text);
  // Laid out as the label lays out rich text; no-break spaces read as blanks.
  QTextDocument shown;
  shown.setHtml(text);
  return FromQString(shown.toPlainText());
}

std::optional<THintWindowShown> HintWindowShown() {
  const QLabel* tip = ShowingHintWindow();
  if (!tip) return std::nullopt;
  const QRect frame = tip->frameGeometry();
  // The narrowest the label can lay its text out is its longest piece that cannot break.
  const bool holds =
      tip->minimumSizeHint().width() <= tip->width() &&
      (!tip->hasHeightForWidth() || tip->heightForWidth(tip->width()) <= tip->height());
  return THintWindowShown{{frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1},
                          holds};
}

bool ClickPopupMenuEntry(int index) {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu || index < 0 || index >= menu->actions().size()) return false;
  const QPointF at = menu->actionGeometry(menu->actions()[index]).center();
  const QPointF global = menu->mapToGlobal(at);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, at, global, Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &event);
  }
  return true;
}

void PutClipboardData(const std::string& mimeType, const std::string& bytes) {
  PutClipboardData({{mimeType, bytes}});
}

void PutClipboardData(const std::vector<std::pair<std::string, std::string>>& typesAndBytes) {
  EnsureQtApplication();
  auto data = std::make_unique<QMimeData>();
  for (const auto& [type, bytes] : typesAndBytes)
    data->setData(ToQString(type), QByteArray(bytes.data(), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(data.release());
}

namespace {

class TSilentMimeData : public QMimeData {
 public:
  explicit TSilentMimeData(std::shared_ptr<int> questions) : questions_(std::move(questions)) {}
  QStringList formats() const override {
    ++*questions_;
    return {};
  }
  bool hasFormat(const QString&) const override {
    ++*questions_;
    return false;
  }

 protected:
  QVariant retrieveData(const QString&, QMetaType) const override {
    ++*questions_;
    return {};
  }

 private:
  std::shared_ptr<int> questions_;
};

}  // namespace

std::shared_ptr<const int> PutSilentClipboardOwner() {
  EnsureQtApplication();
  auto questions = std::make_shared<int>(0);
  QGuiApplication::clipboard()->setMimeData(new TSilentMimeData(questions));  // owned by Qt
  return questions;
}

std::string ClipboardData(const std::string& mimeType) {
  EnsureQtApplication();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  const QByteArray bytes = data->data(ToQString(mimeType));
  return {bytes.constData(), size_t(bytes.size())};
}

TWindowRelations DescribeWindow(const TCustomForm& form) {
  TWindowRelations relations;
  const QWidget* widget = form.Widget();
  auto rect = [](const QRect& r) {
    return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  };
  relations.frame = rect(widget->frameGeometry());
  relations.client = rect(widget->geometry());
  QWindow* window = widget->windowHandle();
  if (!window) return relations;
  relations.windowId = window->winId();
  relations.dialog = window->type() == Qt::Dialog;
  relations.minimizeButton = window->flags() & Qt::WindowMinimizeButtonHint;
  relations.maximizeButton = window->flags() & Qt::WindowMaximizeButtonHint;
  if (QWindow* parent = window->transientParent())
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == parent)
        relations.transientFor = dynamic_cast<TCustomForm*>(TControl::FromWidget(top));
  return relations;
}

namespace {

TCapturedImage Captured(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  TCapturedImage result{image.width(), image.height(), {}};
  result.pixels.reserve(size_t(image.width()) * size_t(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    auto row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    result.pixels.insert(result.pixels.end(), row, row + image.width());
  }
  return result;
}

}  // namespace

TCapturedImage CaptureControl(TControl& control) {
  EnsureQtApplication();
  return Captured(control.Widget()->grab().toImage());
}

TCapturedImage FileDialogPreview() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QFileDialog*>(top);
    if (!dialog || !dialog->isVisible()) continue;
    auto* preview = dialog->findChild<QLabel*>(QLatin1String(PicturePreviewName));
    if (!preview) return {};
    return Captured(preview->pixmap().toImage());
  }
  return {};
}

std::string ScreenshotFolder() {
  const char* folder = std::getenv("PIXSTAMP_SCREENSHOTS");
  return folder && *folder ? std::string(folder) : std::string("/tmp");
}

}  // namespace plat
