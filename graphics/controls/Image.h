// Folder graphics/controls: the paint box, the image control, the scrollable image view and the
// range bars. Uses the rest of the engine and the platform's windows.
//
// The image control: a paint box that shows one bitmap scaled and placed inside it with a layer
// stack drawn over it, through a list of paint stages. It converts between control and bitmap
// coordinates and routes the mouse to the layers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/controls/PaintBox.h"
#include "graphics/controls/PictureSnapshot.h"
#include "graphics/layers/Layers.h"

namespace gfx {

enum TScaleMode : uint8_t { smNormal, smStretch, smScale, smResize, smOptimal, smOptimalScaled };
enum TBitmapAlign : uint8_t { baTopLeft, baCenter, baTile, baCustom };

// Stage codes.
inline constexpr uint32_t StageCustom = 1;
inline constexpr uint32_t StageClearBuffer = 2;
inline constexpr uint32_t StageClearBackground = 3;
inline constexpr uint32_t StageDrawBitmap = 4;
inline constexpr uint32_t StageDrawLayers = 5;
inline constexpr uint32_t StageControlFrame = 6;
inline constexpr uint32_t StageBitmapFrame = 7;

using TImgMouseEvent =
    std::function<void(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift,
                       int X, int Y, TCustomLayer* Layer)>;
using TImgMouseMoveEvent = std::function<void(plat::TObject* Sender, plat::TShiftState Shift, int X,
                                              int Y, TCustomLayer* Layer)>;
using TPaintStageEvent =
    std::function<void(plat::TObject* Sender, TBitmap32& Buffer, uint32_t StageNum)>;

class TCustomImage32 : public TCustomPaintBox32, public ILayerImageOwner {
 public:
  explicit TCustomImage32(plat::TComponent* Owner);
  ~TCustomImage32() override;

  TBitmap32& Bitmap() const { return *bitmap_; }
  void SetBitmap(const TBitmap32& Value);
  TBitmapAlign BitmapAlign() const { return bitmapAlign_; }
  void SetBitmapAlign(TBitmapAlign Value);
  TLayerCollection& Layers() const { return *layers_; }
  float OffsetHorz() const { return offsetHorz_; }
  void SetOffsetHorz(float Value);
  float OffsetVert() const { return offsetVert_; }
  void SetOffsetVert(float Value);
  TPaintStages& PaintStages() const { return *paintStages_; }
  float Scale() const { return scaleX_; }
  void SetScale(float Value);
  float ScaleX() const { return scaleX_; }
  float ScaleY() const { return scaleY_; }
  TScaleMode ScaleMode() const { return scaleMode_; }
  virtual void SetScaleMode(TScaleMode Value);
  bool AutoSize() const { return autoSize_; }
  // Switching it on sizes the control to the bitmap at once.
  void SetAutoSize(bool Value);
  // An auto-sized control takes the size CanAutoSize answers.
  void SetBounds(int Left, int Top, int Width, int Height) override;
  bool RenderingElsewhere() const override { return renderingElsewhere_; }

  virtual void BeginUpdate() { ++updateCount_; }
  virtual void EndUpdate() { --updateCount_; }
  virtual void Changed();
  virtual void UpdateArea(const TRect& Area);
  void Invalidate() override;
  void Loaded() override;
  bool HasInvalidRects() override;
  void SetRepaintMode(TRepaintMode Value) override;

  TRect GetBitmapRect() override;
  virtual plat::TSize GetBitmapSize();
  TPoint ControlToBitmap(TPoint P);
  TPoint BitmapToControl(TPoint P);
  // Renders the bitmap and the layers into Dest, the bitmap filling DestRect.
  virtual void PaintTo(TBitmap32* Dest, const TRect& DestRect);
  virtual void SizeBitmapToView(bool DoClear, TColor32 ClearColor);
  void SetupBitmap(bool DoClear = false, TColor32 ClearColor = 0xFF000000) {
    SizeBitmapToView(DoClear, ClearColor);
  }
  // Forgets the cached placement; the optimizer starts over.
  void DropCache();
  // Whether AutoSize may set the control to (NewWidth, NewHeight).
  bool CanAutoSize(int& NewWidth, int& NewHeight);

  // The cached placement of the bitmap.
  const TRect& ViewBitmapRect() const { return viewBitmapRect_; }

  plat::TNotifyEvent OnBitmapResize;
  plat::TNotifyEvent OnChange;
  plat::TNotifyEvent OnInitStages;
  TImgMouseEvent OnMouseDown;
  TImgMouseMoveEvent OnMouseMove;
  TImgMouseEvent OnMouseUp;
  TPaintStageEvent OnPaintStage;
  plat::TNotifyEvent OnScaleChanged;

 protected:
  virtual void BitmapResized();
  virtual void BitmapChanged(const TRect& Area);
  virtual void DoInitStages();
  virtual void ScaleChanged();
  virtual void InitDefaultStages();
  virtual void DoMouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y,
                           TCustomLayer* Layer);
  virtual void DoMouseMove(plat::TShiftState Shift, int X, int Y, TCustomLayer* Layer);
  virtual void DoMouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y,
                         TCustomLayer* Layer);
  virtual void UpdateCache();
  void SetCachedTransform(float ShiftX, float ShiftY, float ScaleX, float ScaleY);

  // Stage handlers: Dest and the stage's index.
  virtual void RunBitmapFrame(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunClearBuffer(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunClearBackground(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunControlFrame(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunCustom(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunDrawBitmap(TBitmap32& Dest, uint32_t StageNum);
  virtual void RunDrawLayers(TBitmap32& Dest, uint32_t StageNum);

  void DoPaintBuffer() override;
  void DoPaintGDIOverlay() override;
  bool BufferReportsToOptimizer() const override { return false; }
  void Resize() override;
  void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseMove(plat::TShiftState Shift, int X, int Y) override;
  void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void DblClick() override;
  int32_t UpdateCount() const { return updateCount_; }

 private:
  using TStageHandler = void (TCustomImage32::*)(TBitmap32&, uint32_t);
  static TStageHandler HandlerOf(uint32_t Stage);
  void RunStage(uint32_t Stage, TBitmap32& Dest, uint32_t StageNum);
  // Marks the buffer and the view cache for rebuilding and asks for a repaint.
  void InvalidateBuffer();
  // The rectangles a bitmap change covers on the control (one per tile when tiled).
  std::vector<TRect> BitmapAreaOnControl(const TRect& Area);
  void BitmapChangeHook();
  void BitmapAreaHook(plat::TObject* Sender, const TRect& Area);
  void BitmapDirectAreaHook(plat::TObject* Sender, const TRect& Area);
  TColor32 ControlColor32() const;
  // Tile counts across and down a target of that size for a tiled bitmap (none for an empty
  // placement).
  bool TileCounts(const TBitmap32& Target, int32_t& Across, int32_t& Down) const;
  // Whether drawing the bitmap into Dest may copy from the snapshot: the buffer of an optimized
  // control, rebuilt in parts, under a picture drawn opaque.
  bool SnapshotServes(const TBitmap32& Dest);

  std::unique_ptr<TBitmap32> bitmap_;
  TBitmapAlign bitmapAlign_ = baTopLeft;
  std::unique_ptr<TLayerCollection> layers_;
  float offsetHorz_ = 0, offsetVert_ = 0;
  std::unique_ptr<TPaintStages> paintStages_;
  float scaleX_ = 1.0f, scaleY_ = 1.0f;
  TScaleMode scaleMode_ = smNormal;
  int32_t updateCount_ = 0;
  bool autoSize_ = false;
  // Mouse buttons whose press captured the mouse.
  uint8_t capturedButtons_ = 0;

  TRect viewBitmapRect_{};
  float viewShiftX_ = 0, viewShiftY_ = 0;
  float viewScaleX_ = 1, viewScaleY_ = 1;
  float viewInvScaleX_ = 1, viewInvScaleY_ = 1;
  bool viewCacheValid_ = false;
  bool renderingElsewhere_ = false;
  // The picture as a full rebuild draws it, for partial rebuilds to copy.
  TPictureSnapshot snapshot_;
};

class TImage32 : public TCustomImage32 {
 public:
  using TCustomImage32::TCustomImage32;
};

}  // namespace gfx
