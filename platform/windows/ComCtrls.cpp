#include "platform/windows/ComCtrls.h"

#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "platform/windows/ControlHost.h"

namespace plat {
namespace {

constexpr int kSmallMin = -32768, kSmallMax = 32767;

// The edit's text as a whole number; thousands separators are skipped.
bool ParseEditNumber(const std::string& text, int& value) {
  std::string digits;
  for (char c : text)
    if (c != ',' && c != ' ') digits += c;
  return TryStrToInt(digits, value);
}

}  // namespace

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
  auto host = std::make_unique<QWidget>();
  auto layout = new QVBoxLayout(host.get());  // owned by the widget
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (TUDBtnType type : {btNext, btPrev}) {
    auto arrow = new QToolButton(host.get());  // owned by the widget
    arrow->setFocusPolicy(Qt::NoFocus);  // the arrows are no Tab stops; Up and Down in the edit
    arrow->setArrowType(type == btNext ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QObject::connect(arrow, &QToolButton::clicked, SignalContext(),
                     [this, type] { GuardEvent([&] { ArrowClick(type); }); });
    layout->addWidget(arrow);
  }
  SetWidget(std::move(host));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetBounds(0, 0, 17, 21);
}

void TUpDown::SetAssociate(TEdit* edit) {
  if (associate_) associate_->RemoveFreeNotification(this);
  associateKeys_.reset();
  associate_ = edit;
  if (edit) {
    edit->FreeNotification(this);
    SetPosition(position_);
    // Up and Down in the edit step the value as the arrows do.
    associateKeys_ = std::make_unique<QObject>();
    HookArrowKeys(edit->Widget(), associateKeys_.get(), [this](int step, bool vertical) {
      if (!vertical) return false;
      ArrowClick(step < 0 ? btNext : btPrev);
      return true;
    });
  }
}

TUpDown::~TUpDown() = default;

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) {
    associate_ = nullptr;
    associateKeys_.reset();
  }
}

int TUpDown::Clamp(int v) const {
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  return std::clamp(v, lo, hi);
}

void TUpDown::SetMin(int v) {
  min_ = std::clamp(v, kSmallMin, kSmallMax);
  SetPosition(Position());
}

void TUpDown::SetMax(int v) {
  max_ = std::clamp(v, kSmallMin, kSmallMax);
  SetPosition(Position());
}

int TUpDown::Position() const {
  // The edit may have been changed by the user or by code: it is the authority.
  int value = 0;
  if (associate_ && ParseEditNumber(associate_->Text(), value)) position_ = Clamp(value);
  return position_;
}

void TUpDown::SetPosition(int v) {
  position_ = Clamp(v);
  if (associate_) associate_->SetText(std::to_string(position_));
}

void TUpDown::ArrowClick(TUDBtnType button) {
  int next = Position() + (button == btNext ? increment_ : -increment_);
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  if (wrap_ && next > hi)
    next = lo;
  else if (wrap_ && next < lo)
    next = hi;
  SetPosition(next);
  if (OnClick) OnClick(this, button);
}

TSpinEdit::TSpinEdit(TComponent* owner) : TWinControl(owner) {
  auto spin = std::make_unique<QSpinBox>();
  QObject::connect(spin.get(), QOverload<int>::of(&QSpinBox::valueChanged), SignalContext(),
                   [this](int) {
                     if (!Loading() && OnChange) GuardEvent([this] { OnChange(this); });
                   });
  SetWidget(std::move(spin));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  SetBounds(0, 0, 121, 22);
  ApplyRange();
}

void TSpinEdit::ApplyRange() {
  auto spin = static_cast<QSpinBox*>(Widget());
  bool limited = minValue_ < maxValue_;
  spin->setRange(limited ? minValue_ : INT_MIN, limited ? maxValue_ : INT_MAX);
  spin->setSingleStep(increment_);
}

int TSpinEdit::Value() const {
  return static_cast<QSpinBox*>(Widget())->value();
}

void TSpinEdit::SetValue(int v) {
  static_cast<QSpinBox*>(Widget())->setValue(v);
}

void TSpinEdit::SetMinValue(int v) {
  minValue_ = v;
  ApplyRange();
}

void TSpinEdit::SetMaxValue(int v) {
  maxValue_ = v;
  ApplyRange();
}

void TSpinEdit::SetIncrement(int v) {
  increment_ = v;
  ApplyRange();
}

std::string TSpinEdit::Text() const {
  return FromQString(static_cast<QSpinBox*>(Widget())->text());
}

}  // namespace plat
