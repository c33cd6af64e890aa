// Up-down arrows bound to an edit, and the spin edit.
#pragma once

#include <functional>
#include <memory>

#include "platform/windows/StdCtrls.h"

namespace plat {

enum TUDBtnType : uint8_t { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;

// Position is 16-bit and follows the associated edit's text; setting it writes the edit's text
// (plain digits, no thousands separators).
class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* owner);
  ~TUpDown() override;
  TEdit* Associate() const { return associate_; }
  void SetAssociate(TEdit* edit);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v) { wrap_ = v; }
  int Position() const;
  void SetPosition(int v);
  // An arrow: Position moves by Increment (wrapping or stopping at the ends), then OnClick.
  void ArrowClick(TUDBtnType button);

  TUDClickEvent OnClick;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int Clamp(int v) const;
  TEdit* associate_ = nullptr;
  std::unique_ptr<QObject> associateKeys_;  // the hook on the edit's keys
  int min_ = 0, max_ = 100, increment_ = 1;
  mutable int position_ = 0;
  bool wrap_ = false;
};

// A number edit with arrows; MinValue = MaxValue means no limits.
class TSpinEdit : public TWinControl {
 public:
  explicit TSpinEdit(TComponent* owner);
  int Value() const;
  // Runs OnChange when the value changes, from code too.
  void SetValue(int v);
  int MinValue() const { return minValue_; }
  void SetMinValue(int v);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  std::string Text() const override;

  TNotifyEvent OnChange;

 private:
  void ApplyRange();
  int minValue_ = 0, maxValue_ = 0, increment_ = 1;
};

}  // namespace plat
