// The scrollable image view: the image control with a horizontal and a vertical range bar along
// its bottom and right edges and an optional size grip in the corner. The bars scroll the bitmap,
// whose placement follows from their positions.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/controls/Image.h"
#include "graphics/controls/RangeBars.h"

namespace gfx {

enum TScrollBarVisibility : uint8_t { svAlways, svHidden, svAuto };
enum TSizeGripStyle : uint8_t { sgAuto, sgNone, sgAlways };

class TCustomImgView32;

// The bars' appearance, their step and thickness, and when they show.
class TIVScrollProperties : public TArrowBarAccess {
 public:
  TIVScrollProperties(TCustomImgView32& View, TArrowBar* HorzBar, TArrowBar* VertBar)
      : TArrowBarAccess(HorzBar, VertBar), view_(View) {}
  uint16_t Increment() const;
  void SetIncrement(uint16_t Value);
  int32_t Size() const;
  void SetSize(int32_t Value);
  TScrollBarVisibility Visibility() const;
  void SetVisibility(TScrollBarVisibility Value);

  void Assign(const plat::TPersistent& Source) override;

 private:
  TCustomImgView32& view_;
};

class TCustomImgView32 : public TCustomImage32 {
 public:
  explicit TCustomImgView32(plat::TComponent* Owner);
  ~TCustomImgView32() override;

  bool Centered() const { return centered_; }
  void SetCentered(bool Value);
  int32_t OverSize() const { return overSize_; }
  void SetOverSize(int32_t Value);
  TSizeGripStyle SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(TSizeGripStyle Value);
  TIVScrollProperties& ScrollBars() const { return *scrollBars_; }
  void SetScrollBars(const TIVScrollProperties& Value) { scrollBars_->Assign(Value); }
  int32_t ScrollBarSize() const { return scrollBarSize_; }
  void SetScrollBarSize(int32_t Value);
  TScrollBarVisibility ScrollBarVisibility() const { return scrollBarVisibility_; }
  void SetScrollBarVisibility(TScrollBarVisibility Value);
  TCustomRangeBar& HorzBar() const { return *horzBar_; }
  TCustomRangeBar& VertBar() const { return *vertBar_; }

  // Scrolls so that bitmap point (X, Y) sits in the middle of the viewport.
  void CenterOn(int32_t X, int32_t Y);
  TRect ViewportRect() override;
  bool BarsShown();
  int32_t BarThickness();
  TRect GripRect();
  bool GripShown();
  void SetScaleMode(TScaleMode Value) override;
  void Loaded() override;

  plat::TNotifyEvent OnScroll;

 protected:
  virtual void DoScroll();
  virtual void ScrollHandler(plat::TObject* Sender);
  virtual void AlignAll();
  virtual void UpdateScrollBars();
  void BitmapResized() override;
  void ScaleChanged() override;
  void Paint() override;
  void Resize() override;
  void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseMove(plat::TShiftState Shift, int X, int Y) override;

 private:
  void LayoutBars();
  void Recenter();
  int64_t ScaledOverSize();

  bool centered_ = true;
  int32_t scrollBarSize_ = 0;
  TScrollBarVisibility scrollBarVisibility_ = svAlways;
  std::unique_ptr<TIVScrollProperties> scrollBars_;
  TSizeGripStyle sizeGrip_ = sgAuto;
  int32_t overSize_ = 0;
  bool scrollLock_ = false;
  std::unique_ptr<TCustomRangeBar> horzBar_;
  std::unique_ptr<TCustomRangeBar> vertBar_;
};

class TImgView32 : public TCustomImgView32 {
 public:
  using TCustomImgView32::TCustomImgView32;
};

}  // namespace gfx
