// A window control that draws itself from an off-screen 32-bit buffer: descendants render into
// the buffer, the paint box decides when it is rebuilt and which parts, and copies it to the
// window. Changes reach it in full, directly as areas, or through a repaint optimizer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Containers.h"
#include "graphics/layers/RepaintOptimizer.h"
#include "platform/windows/Controls.h"

namespace gfx {

enum TRepaintMode : uint8_t { rmFull, rmDirect, rmOptimizer };

using TPaintBoxOptions = uint8_t;
inline constexpr TPaintBoxOptions OptionWantArrowKeys = 0x01;
inline constexpr TPaintBoxOptions OptionAutoFocus = 0x02;

struct TPaintStage {
  bool InDesign = false;
  bool AtRunTime = true;
  uint32_t Stage = 0;
  uint32_t Parameter = 0;
};

// The ordered stages an image control runs over its buffer.
class TPaintStages : public plat::TObject {
 public:
  // The new record; the reference is valid until the next Add or Clear.
  TPaintStage& Add();
  void Clear() { stages_.clear(); }
  int32_t Count() const { return int32_t(stages_.size()); }
  // Raises EListError for an index out of range.
  TPaintStage& Items(int32_t Index);
  const TPaintStage& Items(int32_t Index) const;

 private:
  std::vector<TPaintStage> stages_;
};

class TCustomPaintBox32 : public plat::TCustomControl {
 public:
  // The buffer's sides stay within this: wider than any screen, small enough to allocate at once.
  static constexpr int32_t MaxBufferSide = 8192;

  explicit TCustomPaintBox32(plat::TComponent* Owner);
  ~TCustomPaintBox32() override;

  TBitmap32& Buffer() const { return *buffer_; }
  int32_t BufferOversize() const { return bufferOversize_; }
  void SetBufferOversize(int32_t Value) { bufferOversize_ = Value; }
  bool BufferValid() const { return bufferValid_; }
  void SetBufferValid(bool Value) { bufferValid_ = Value; }
  TRepaintMode RepaintMode() const { return repaintMode_; }
  virtual void SetRepaintMode(TRepaintMode Value);
  TRectList& InvalidRects() const { return *invalidRects_; }
  bool ForceFullRepaint() const { return forceFullRepaint_; }
  TCustomRepaintOptimizer& RepaintOptimizer() const { return *repaintOptimizer_; }
  TPaintBoxOptions Options() const { return options_; }
  void SetOptions(TPaintBoxOptions Value) { options_ = Value; }
  bool MouseInControl() const { return mouseInControl_; }

  virtual TRect ViewportRect();
  virtual bool PartialRepaint();
  virtual bool HasInvalidRects() { return true; }
  virtual void ForceFullInvalidate();
  void Invalidate() override;
  void Loaded() override;
  void AssignTo(plat::TPersistent& Dest) const override;

  plat::TNotifyEvent OnGDIOverlay;

 protected:
  // Outside a window paint this only asks the window to paint again.
  void Paint() override;
  // The paint cycle onto a target canvas: rebuild the buffer when it is invalid, copy it.
  void PaintOnto(plat::TCanvas& Target);
  void WndProc(plat::TMessage& Message) override;
  void Resize() override;
  void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  virtual void CollectInvalidRects();
  virtual void DoPaintBuffer();
  virtual void DoPaintGDIOverlay();
  virtual void BufferResizeDone(int32_t OldWidth, int32_t OldHeight);
  // Whether the buffer's own drawing is reported to the optimizer.
  virtual bool BufferReportsToOptimizer() const { return true; }
  void FitBuffer();
  bool OptimizerEnabled() const { return repaintOptimizer_ && repaintOptimizer_->Enabled(); }
  void SetForceFullRepaint(bool Value) { forceFullRepaint_ = Value; }
  bool InsideCustomPaint() const { return (ControlState() & plat::csCustomPaint) != 0; }

 private:
  void DirectAreaHook(const TRect& Area);

  std::unique_ptr<TBitmap32> buffer_;
  int32_t bufferOversize_ = 40;
  bool bufferValid_ = false;
  TRepaintMode repaintMode_ = rmFull;
  std::unique_ptr<TRectList> invalidRects_;
  bool forceFullRepaint_ = true;
  std::unique_ptr<TCustomRepaintOptimizer> repaintOptimizer_;
  TPaintBoxOptions options_ = 0;
  bool mouseInControl_ = false;
};

}  // namespace gfx
