#include "platform/windows/StdCtrls.h"

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTextDocument>
#include <QTextLayout>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "platform/windows/ControlHost.h"
#include "platform/windows/Forms.h"

namespace plat {
namespace {

template <class W>
W* As(const TControl& control) {
  return static_cast<W*>(control.Widget());
}

// Shows a caption with its mnemonic underlined; the layer picks mnemonics itself (the first
// control in Tab order takes a shared one), so Qt gets no shortcut for it.
void SetButtonCaption(QAbstractButton* button, const std::string& caption) {
  button->setText(ToQString(caption));
  button->setShortcut(QKeySequence());
}

// Tells its memo when it comes on the screen, which is when it first needs its text.
class MemoEdit : public QPlainTextEdit {
 public:
  explicit MemoEdit(std::function<void()> shown) : shown_(std::move(shown)) {}

 protected:
  void showEvent(QShowEvent* event) override {
    shown_();
    QPlainTextEdit::showEvent(event);
  }

 private:
  std::function<void()> shown_;
};

}  // namespace

int FrameWidth(const TControl& control) {
  return static_cast<QFrame*>(control.Widget())->frameWidth();
}

namespace {

// A radio button that a click only ever checks.
class TRadioWidget : public QRadioButton {
 protected:
  void nextCheckState() override { setChecked(true); }
};

}  // namespace

// ---- TButton ----

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  auto button = std::make_unique<QPushButton>();
  QObject::connect(button.get(), &QPushButton::clicked, SignalContext(),
                   [this] { GuardEvent([this] { Click(); }); });
  SetWidget(std::move(button));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::ApplyText() {
  SetButtonCaption(As<QPushButton>(*this), Caption());
}

void TButton::SetDefault(bool v) {
  default_ = v;
  As<QPushButton>(*this)->setDefault(v);
}

void TButton::Click() {
  if (auto form = GetParentForm(); form && modalResult_ != mrNone)
    form->SetModalResult(modalResult_);
  TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY) {
    bool mine = (m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_);
    if (mine && Showing() && Enabled()) {
      Click();
      m.Result = 1;
    }
    return;
  }
  if (m.Msg == CM_DIALOGCHAR) {
    if (!IsMnemonic(static_cast<char>(m.WParam), Caption()) || !CanFocus()) return;
    Click();
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout v) {
  layout_ = v;
  Invalidate();
}

void TLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustSize();
}

void TLabel::SetWordWrap(bool v) {
  wordWrap_ = v;
  AdjustSize();
  Invalidate();
}

void TLabel::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustSize();
}

void TLabel::AdjustSize() {
  Invalidate();
  if (!autoSize_ || Loading()) return;
  DeviceContext measure;
  measure.SelectFont(Font()->LogFont());
  TRect r{0, 0, wordWrap_ ? Width() : 0, 0};
  // An empty caption still has the height of a line.
  std::string shown = WithoutMnemonics(Caption());
  QString text = shown.empty() ? QStringLiteral(" ") : ToQString(shown);
  measure.DrawText(text.toStdU16String(), r, DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  SetBounds(Left(), Top(), wordWrap_ ? Width() : r.Width(), r.Height());
}

void TLabel::Paint() {
  TRect r = ClientRect();
  if (!transparent_) {
    Canvas()->Brush().SetStyle(bsSolid);
    Canvas()->Brush().SetColor(EffectiveColor());
    Canvas()->FillRect(r);
  }
  uint32_t format = alignment_ == taCenter         ? DT_CENTER
                    : alignment_ == taRightJustify ? DT_RIGHT
                                                   : DT_LEFT;
  if (wordWrap_) format |= DT_WORDBREAK;
  std::string text = WithoutMnemonics(Caption());
  if (layout_ != tlTop) {
    DeviceContext measure;
    measure.SelectFont(Font()->LogFont());
    TRect measured = r;
    measure.DrawText(ToQString(text).toStdU16String(), measured, format | DT_CALCRECT);
    int free = r.Height() - measured.Height();
    r.Top += layout_ == tlCenter ? free / 2 : free;
  }
  DrawControlText(*Canvas(), *Font(), Enabled() ? Font()->Color() : clGrayText, r, text, format);
}

// ---- TEdit ----

namespace {

// The longest text the reader may type or paste (0: no limit). Text the program sets stays
// whole, and a text already longer may still be shortened: only what would make it longer than
// both the limit and what it holds now is left out, the characters just put in first.
class TypingLimit : public QValidator {
 public:
  TypingLimit(QLineEdit* edit, std::shared_ptr<const TEdit::TTyping> typing)
      : QValidator(edit), typing_(std::move(typing)), held_(edit->text().size()) {
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { held_ = text.size(); });
  }
  State validate(QString& input, int& pos) const override {
    const int limit = typing_->maxLength;
    const qsizetype room = std::max<qsizetype>(limit, held_);
    if (limit > 0 && !typing_->programSets && input.size() > room) {
      const qsizetype excess = input.size() - room;
      const qsizetype from = std::max<qsizetype>(0, pos - excess);
      input.remove(from, excess);
      pos = int(from);
    }
    return Acceptable;
  }

 private:
  std::shared_ptr<const TEdit::TTyping> typing_;  // shared with the edit, which may go first
  qsizetype held_;
};

// Qt's styles mask a password with a dot of their own; the edit shows the character it was given.
class PasswordStyle : public QProxyStyle {
 public:
  // Drawn otherwise as every other control (the proxy owns its base).
  explicit PasswordStyle(char shown)
      : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), shown_(shown) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* answer) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return static_cast<unsigned char>(shown_);
    return QProxyStyle::styleHint(hint, option, widget, answer);
  }

 private:
  char shown_;
};

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  auto edit = std::make_unique<QLineEdit>();
  edit->setMaxLength(std::numeric_limits<int>::max());
  edit->setValidator(new TypingLimit(edit.get(), typing_));  // the edit owns it
  QObject::connect(edit.get(), &QLineEdit::textChanged, SignalContext(), [this] {
    if (!Loading()) GuardEvent([this] { Change(); });
  });
  SetWidget(std::move(edit));
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
}

std::string TEdit::Text() const {
  return FromQString(As<QLineEdit>(*this)->text());
}

void TEdit::SetText(const std::string& text) {
  if (text == Text()) return;
  typing_->programSets = true;
  struct Done {
    TTyping& typing;
    ~Done() { typing.programSets = false; }
  } done{*typing_};
  As<QLineEdit>(*this)->setText(ToQString(text));
}

void TEdit::SetMaxLength(int v) {
  typing_->maxLength = v;
}

void TEdit::SetPasswordChar(char v) {
  if (v == passwordChar_) return;
  passwordChar_ = v;
  QLineEdit* edit = As<QLineEdit>(*this);
  QStyle* old = edit->style();
  if (v) {
    auto* style = new PasswordStyle(v);
    style->setParent(edit);  // the edit owns it
    edit->setStyle(style);
  } else {
    edit->setStyle(nullptr);
  }
  if (dynamic_cast<PasswordStyle*>(old)) delete old;
  edit->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  As<QLineEdit>(*this)->setReadOnly(v);
}

int TEdit::SelStart() const {
  return As<QLineEdit>(*this)->cursorPosition();
}

void TEdit::SetSelStart(int v) {
  As<QLineEdit>(*this)->setCursorPosition(v);
}

int TEdit::SelLength() const {
  return int(As<QLineEdit>(*this)->selectedText().size());
}

void TEdit::SetSelLength(int v) {
  As<QLineEdit>(*this)->setSelection(SelStart(), v);
}

void TEdit::SelectAll() {
  As<QLineEdit>(*this)->selectAll();
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::ApplyColor() {
  QPalette palette = Widget()->palette();
  palette.setColor(QPalette::Base, ToQColor(Color()));
  Widget()->setPalette(palette);
}

// ---- TMemo ----

namespace {

// The memo's text with its line ends as "\n", every other character as it stands.
std::string PlainText(const QPlainTextEdit& edit) {
  QString text = edit.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
  return FromQString(text);
}

// Line ends of any kind as "\n".
std::string WithNewLines(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i] == '\r' ? '\n' : text[i];
  }
  return result;
}

}  // namespace

TMemo::TMemo(TComponent* owner) : TWinControl(owner), lines_(std::make_unique<TStringList>()) {
  auto edit = std::make_unique<MemoEdit>([this] { SyncToWidget(true); });
  QPlainTextEdit* raw = edit.get();
  QObject::connect(raw, &QPlainTextEdit::textChanged, SignalContext(), [this, raw] {
    std::string now = PlainText(*raw);
    if (now == shown_) return;
    shown_ = now;
    TakeText(std::move(now));
    if (!Loading() && OnChange) GuardEvent([this] { OnChange(this); });
  });
  SetWidget(std::move(edit));
  AddInputWidget(raw->viewport());
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

int TMemo::BorderInset() const {
  return FrameWidth(*this);
}

TStringList* TMemo::Lines() {
  PostMessage(this, CM_SYNCITEMS);
  return lines_.get();
}

void TMemo::WndProc(TMessage& m) {
  if (m.Msg == CM_SYNCITEMS) return SyncToWidget(true);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTALLKEYS;  // Enter makes a new line, not a click of the default button
    return;
  }
  TWinControl::WndProc(m);
}

void TMemo::TakeText(std::string text) {
  text_ = std::move(text);
  lines_->SetText(text_);
  linesRevision_ = lines_->Revision();
}

const std::string& TMemo::ExactText() const {
  // Lines changed through Lines() make the text, without a line end after the last one.
  if (lines_->Revision() != linesRevision_) {
    text_ = lines_->Text();
    if (!text_.empty()) text_.pop_back();
    linesRevision_ = lines_->Revision();
  }
  return text_;
}

void TMemo::SyncToWidget(bool evenHidden) const {
  // A text document of many lines costs seconds and hundreds of megabytes; a memo nobody sees
  // (a long TEXTAREA off the page) keeps its text to itself until it is shown or drawn.
  auto edit = As<QPlainTextEdit>(*this);
  if (!evenHidden && !edit->isVisible()) return;
  if (ExactText() != shown_) {
    shown_ = text_;
    edit->setPlainText(ToQString(shown_));
  }
  if (selStart_ < 0) return;
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(selStart_);
  edit->setTextCursor(cursor);
  selStart_ = -1;
}

std::string TMemo::Text() const {
  SyncToWidget();
  return lines_->Text();
}

std::string TMemo::WindowText() const {
  SyncToWidget();
  return ExactText();
}

void TMemo::SetText(const std::string& text) {
  TakeText(WithNewLines(text));
  selStart_ = -1;  // a new text starts with the cursor at its start
  SyncToWidget();
}

void TMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  As<QPlainTextEdit>(*this)->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth
                                               : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle v) {
  scrollBars_ = v;
  auto edit = As<QPlainTextEdit>(*this);
  edit->setHorizontalScrollBarPolicy(v == ssHorizontal || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                      : Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(v == ssVertical || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetReadOnly(bool v) {
  readOnly_ = v;
  As<QPlainTextEdit>(*this)->setReadOnly(v);
}

void TMemo::SetSelStart(int v) {
  selStart_ = std::max(0, v);
  SyncToWidget();
}

std::vector<std::string> TMemo::WrappedLines() const {
  SyncToWidget();
  auto edit = As<QPlainTextEdit>(*this);
  const QTextDocument& document = *edit->document();
  const qreal width = edit->viewport()->width() - 2 * document.documentMargin();
  std::vector<std::string> result;
  // Every line of the text, the empty one after a final line end too, broken as the memo
  // breaks it: between words, and inside a word too long for a line.
  const std::string& text = ExactText();
  for (size_t start = 0;;) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const QString line = ToQString(text.substr(start, end - start));
    if (!wordWrap_ || line.isEmpty()) {
      result.push_back(FromQString(line));
    } else {
      QTextLayout layout(line, document.defaultFont());
      layout.setTextOption(document.defaultTextOption());
      layout.beginLayout();
      for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(std::max<qreal>(1, width));
        result.push_back(FromQString(line.mid(l.textStart(), l.textLength())));
      }
      layout.endLayout();
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return result;
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  auto box = std::make_unique<QCheckBox>();
  QObject::connect(box.get(), &QCheckBox::clicked, SignalContext(), [this](bool checked) {
    checked_ = checked;
    GuardEvent([this] { Click(); });
  });
  SetWidget(std::move(box));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::ApplyText() {
  SetButtonCaption(As<QCheckBox>(*this), Caption());
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    if (!IsMnemonic(static_cast<char>(m.WParam), Caption()) || !CanFocus()) return;
    SetFocus();
    SetChecked(!checked_);
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

void TCheckBox::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  QSignalBlocker block(Widget());
  As<QCheckBox>(*this)->setChecked(v);
  if (!Loading()) Click();
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  auto radio = std::make_unique<TRadioWidget>();
  radio->setAutoExclusive(false);
  QObject::connect(radio.get(), &QRadioButton::clicked, SignalContext(),
                   [this] { GuardEvent([this] { SetChecked(true); }); });
  SetWidget(std::move(radio));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::ApplyText() {
  SetButtonCaption(As<QRadioButton>(*this), Caption());
}

void TRadioButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    if (!IsMnemonic(static_cast<char>(m.WParam), Caption()) || !CanFocus()) return;
    SetFocus();
    SetChecked(true);
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  {
    QSignalBlocker block(Widget());
    As<QRadioButton>(*this)->setChecked(v);
  }
  SetTabStop(v);
  if (!v) return;
  TurnSiblingsOff();
  if (!Loading()) Click();
}

void TRadioButton::TurnSiblingsOff() {
  if (!Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
      other->SetChecked(false);
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  SetWidget(std::make_unique<QGroupBox>());
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::ApplyText() {
  As<QGroupBox>(*this)->setTitle(ToQString(Caption()));
}

}  // namespace plat
