// Bitmap buttons with their standard kinds, and speed buttons that take no focus.
#pragma once

#include "platform/windows/StdCtrls.h"

namespace plat {

enum TBitBtnKind : uint8_t {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll,
};

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  TBitBtnKind Kind() const { return kind_; }
  // A kind sets the caption, the modal result and whether the button is the default or the
  // cancel button.
  void SetKind(TBitBtnKind kind);
  void Click() override;

 private:
  TBitBtnKind kind_ = bkCustom;
};

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  // Buttons of one non-zero group index on the same parent are down one at a time.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void ApplyText() override { Invalidate(); }

 private:
  bool flat_ = false;
  bool down_ = false;
  bool pressed_ = false;
  bool allowAllUp_ = false;
  int groupIndex_ = 0;
};

}  // namespace plat
