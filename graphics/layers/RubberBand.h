// The selection frame: a positioned layer with a dashed frame and square handles that the user
// drags to move or resize it, carrying an optional child layer along.
#pragma once

#include <cstdint>
#include <functional>

#include "graphics/layers/Layers.h"

namespace gfx {

using TRBOptions = uint16_t;
inline constexpr TRBOptions RubberbandOptionMove = 0x0001;
inline constexpr TRBOptions RubberbandOptionSideHandles = 0x0002;
inline constexpr TRBOptions RubberbandOptionCornerHandles = 0x0004;
inline constexpr TRBOptions RubberbandOptionFrame = 0x0008;
inline constexpr TRBOptions RubberbandOptionNoLeft = 0x0010;
inline constexpr TRBOptions RubberbandOptionNoRight = 0x0020;
inline constexpr TRBOptions RubberbandOptionNoTop = 0x0040;
inline constexpr TRBOptions RubberbandOptionNoBottom = 0x0080;
inline constexpr TRBOptions RubberbandOptionNoTopLeft = 0x0100;
inline constexpr TRBOptions RubberbandOptionNoTopRight = 0x0200;
inline constexpr TRBOptions RubberbandOptionNoBottomLeft = 0x0400;
inline constexpr TRBOptions RubberbandOptionNoBottomRight = 0x0800;

using TRBDragState = uint8_t;
inline constexpr TRBDragState DragNone = 0;
inline constexpr TRBDragState DragMove = 1;
inline constexpr TRBDragState DragSizeLeft = 2;
inline constexpr TRBDragState DragSizeTop = 3;
inline constexpr TRBDragState DragSizeRight = 4;
inline constexpr TRBDragState DragSizeBottom = 5;
inline constexpr TRBDragState DragSizeTopLeft = 6;
inline constexpr TRBDragState DragSizeTopRight = 7;
inline constexpr TRBDragState DragSizeBottomLeft = 8;
inline constexpr TRBDragState DragSizeBottomRight = 9;

using TRBDragOptions = uint8_t;
inline constexpr TRBDragOptions DragOptionKeepAspect = 0x01;
inline constexpr TRBDragOptions DragOptionLimitFrame = 0x02;

using TRBFrameEvent =
    std::function<void(plat::TObject* Sender, const TFloatRect& DragStartLocation,
                       TFloatRect& NewLocation, TRBDragState DragState, plat::TShiftState Shift)>;

class TRubberbandLayer : public TPositionedLayer {
 public:
  TRubberbandLayer();
  ~TRubberbandLayer() override;

  TPositionedLayer* ChildLayer() const { return childLayer_; }
  // A layer that is this band or carries it is refused.
  void SetChildLayer(TPositionedLayer* Value);

  const TArrayOfColor32& FrameStipple() const { return frameStipple_; }
  void SetFrameStipple(const TArrayOfColor32& Colors) { frameStipple_ = Colors; }
  float FrameStippleStep() const { return frameStippleStep_; }
  void SetFrameStippleStep(float Value);
  float FrameStippleCounter() const { return frameStippleCounter_; }
  void SetFrameStippleCounter(float Value);
  TColor32 HandleFrame() const { return handleFrame_; }
  void SetHandleFrame(TColor32 Value);
  TColor32 HandleFill() const { return handleFill_; }
  void SetHandleFill(TColor32 Value);
  TRBOptions Options() const { return options_; }
  void SetOptions(TRBOptions Value);
  int32_t HandleSize() const { return handleSize_; }
  // Values below 1 become 1.
  void SetHandleSize(int32_t Value);
  // A maximum below the minimum means no upper limit.
  float MinWidth() const { return minWidth_; }
  void SetMinWidth(float Value) { minWidth_ = Value; }
  float MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(float Value) { maxWidth_ = Value; }
  float MinHeight() const { return minHeight_; }
  void SetMinHeight(float Value) { minHeight_ = Value; }
  float MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(float Value) { maxHeight_ = Value; }
  TRBDragOptions DragOptions() const { return dragOptions_; }
  void SetDragOptions(TRBDragOptions Value) { dragOptions_ = Value; }

  bool IsDragging() const { return isDragging_; }
  TRBDragState DragState() const { return dragState_; }

  plat::TNotifyEvent OnUserChange;
  TRBFrameEvent OnFrameChanging;
  TRBFrameEvent OnLimitFrame;

  // The handle or zone under (X, Y) in control coordinates.
  virtual TRBDragState GetHandleAt(int X, int Y);

  void SetLayerOptions(uint32_t Value) override;
  bool HitTest(int X, int Y) override;
  void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseMove(plat::TShiftState Shift, int X, int Y) override;
  void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void Notification(TCustomLayer* ALayer) override;
  void Paint(TBitmap32& Buffer) override;

 protected:
  virtual void DoFrameChanging(const TFloatRect& DragStartLocation, TFloatRect& NewLocation,
                               TRBDragState DragState, plat::TShiftState Shift);
  virtual void DoLimitFrame(const TFloatRect& DragStartLocation, TFloatRect& NewLocation,
                            TRBDragState DragState, plat::TShiftState Shift);
  void DoSetLocation(const TFloatRect& NewLocation) override;
  std::unique_ptr<TCustomLayer> NewLayer() const override;

 private:
  void AppearanceChanged();
  bool HandleShown(TRBDragState Handle) const;
  TFloatRect DraggedFrame(float X, float Y) const;
  void KeepAspect(TFloatRect& Frame) const;

  TPositionedLayer* childLayer_ = nullptr;
  TArrayOfColor32 frameStipple_{clWhite32, clWhite32, clBlack32, clBlack32};
  float frameStippleStep_ = 1.0f;
  float frameStippleCounter_ = 0.0f;
  TColor32 handleFrame_ = clBlack32;
  TColor32 handleFill_ = clWhite32;
  TRBOptions options_ = RubberbandOptionMove | RubberbandOptionSideHandles |
                        RubberbandOptionCornerHandles | RubberbandOptionFrame;
  int32_t handleSize_ = 3;
  float minWidth_ = 10.0f;
  float maxHeight_ = 0.0f;
  float minHeight_ = 10.0f;
  float maxWidth_ = 0.0f;
  TRBDragOptions dragOptions_ = 0;
  bool isDragging_ = false;
  TRBDragState dragState_ = DragNone;
  TFloatRect dragStartLocation_;
  TFloatPoint grabOffset_;
};

}  // namespace gfx
