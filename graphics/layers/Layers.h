// Folder graphics/layers: layers, the rubber band, micro tiles and the repaint optimizer. Uses
// graphics/core, graphics/bitmap and graphics/resampling.
//
// The layer stack over an image control's picture: the collection (paint order, hit testing,
// mouse routing, change reports), the base layer, positioned layers and bitmap layers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "platform/windows/Controls.h"

namespace plat {
class TCanvas;
}

namespace gfx {

inline constexpr uint32_t LayerOptionVisible = 0x80000000;
inline constexpr uint32_t LayerOptionGDIOverlay = 0x40000000;
inline constexpr uint32_t LayerOptionMouseEvents = 0x20000000;
inline constexpr uint32_t LayerOptionNoUpdate = 0x10000000;
inline constexpr uint32_t LayerOptionNoCapture = 0x08000000;
inline constexpr uint32_t LayerOptionBit26 = 0x04000000;  // queued for re-measuring
inline constexpr uint32_t LayerOptionAlwaysNotify = 0x02000000;

// Actions of OnLayerListChange.
inline constexpr int32_t LayerListAdded = 0;
inline constexpr int32_t LayerListRemoved = 2;
inline constexpr int32_t LayerListCleared = 3;

class TCustomLayer;
class TLayerCollection;

using TLayerListChangeEvent =
    std::function<void(plat::TObject* Sender, int32_t Action, TCustomLayer* Layer, int32_t Index)>;
using TLayerReportEvent = std::function<void(plat::TObject* Sender, TCustomLayer* Layer)>;
using TViewportEvent = std::function<void(plat::TObject* Sender, float& X, float& Y)>;
using THitTestEvent = std::function<void(plat::TObject* Sender, int X, int Y, bool& Passed)>;
using TLayerPaintEvent = std::function<void(plat::TObject* Sender, TBitmap32& Buffer)>;

// What a bitmap layer asks of the image control that owns its collection.
class ILayerImageOwner {
 public:
  virtual TRect GetBitmapRect() = 0;
  // True while the control renders into a bitmap other than its buffer.
  virtual bool RenderingElsewhere() const = 0;

 protected:
  ~ILayerImageOwner() = default;
};

class TLayerCollection : public plat::TPersistent {
 public:
  explicit TLayerCollection(plat::TPersistent* Owner);
  ~TLayerCollection() override;
  TLayerCollection(const TLayerCollection&) = delete;
  TLayerCollection& operator=(const TLayerCollection&) = delete;

  // A new layer of class L on top; announced twice as added (by the insertion and by Add).
  template <class L>
  L& Add() {
    auto owned = std::make_unique<L>();
    L& layer = *owned;
    AttachLayer(std::move(owned));
    AnnounceAdded(layer);
    return layer;
  }
  void AttachLayer(std::unique_ptr<TCustomLayer> Layer);
  // Hands the layer's ownership back; null when it is not in this collection.
  std::unique_ptr<TCustomLayer> DetachLayer(TCustomLayer& Layer);
  // Frees the layer at Index.
  void Delete(int32_t Index);
  void Clear();

  int32_t Count() const { return int32_t(items_.size()); }
  // Raises EListError for an index outside the list.
  TCustomLayer* Items(int32_t Index) const;
  int32_t IndexOf(const TCustomLayer* Layer) const;
  plat::TPersistent* Owner() const { return owner_; }

  void Assign(const plat::TPersistent& Source) override;

  void BeginUpdate();
  void EndUpdate();
  void Changed();
  void GDIUpdate();
  void ReportLayer(TCustomLayer* Layer);
  void ReportArea(const TRect& Area);

  virtual void GetViewportScale(float& ScaleX, float& ScaleY);
  virtual void GetViewportShift(float& ShiftX, float& ShiftY);

  TCustomLayer* FindLayerAtPos(int X, int Y, uint32_t OptionsMask);
  TCustomLayer* MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
  TCustomLayer* MouseMove(plat::TShiftState Shift, int X, int Y);
  TCustomLayer* MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
  TCustomLayer* MouseListener() const { return mouseListener_; }
  void SetMouseListener(TCustomLayer* Value);
  bool MouseEvents() const { return mouseEvents_; }
  void SetMouseEvents(bool Value) { mouseEvents_ = Value; }

  plat::TNotifyEvent OnChanging;
  plat::TNotifyEvent OnChange;
  plat::TNotifyEvent OnGDIUpdate;
  TLayerListChangeEvent OnLayerListChange;
  TLayerReportEvent OnLayerReport;
  TAreaChangedEvent OnAreaReport;
  TViewportEvent OnGetViewportScale;
  TViewportEvent OnGetViewportShift;

 private:
  friend class TCustomLayer;
  void DeleteAll();
  // Layer while it is in this collection; null once a handler has taken it out (or freed it).
  TCustomLayer* StillHere(TCustomLayer* Layer) const;
  void AnnounceAdded(TCustomLayer& Layer);
  void NotifyListChange(int32_t Action, TCustomLayer* Layer, int32_t Index);
  // OnLayerReport alone: the layer is measured again, nothing else is announced.
  void QueueLayer(TCustomLayer* Layer);
  void FireChanging();
  void MoveLayer(int32_t From, int32_t To);

  std::vector<std::unique_ptr<TCustomLayer>> items_;
  bool mouseEvents_ = true;
  TCustomLayer* mouseListener_ = nullptr;
  int32_t updateCount_ = 0;
  plat::TPersistent* owner_;
};

class TCustomLayer : public TNotifiablePersistent {
 public:
  TCustomLayer() = default;
  ~TCustomLayer() override;
  TCustomLayer(const TCustomLayer&) = delete;
  TCustomLayer& operator=(const TCustomLayer&) = delete;

  TLayerCollection* LayerCollection() const { return layerCollection_; }
  // Moves the layer into Value; with Value null the caller receives the layer's ownership. Does
  // nothing once the layer's destruction has begun.
  std::unique_ptr<TCustomLayer> SetLayerCollection(TLayerCollection* Value);
  // -1 without a collection.
  int32_t Index() const;
  virtual void SetIndex(int32_t Value);
  void BringToFront();

  plat::TCursor Cursor() const { return cursor_; }
  virtual void SetCursor(plat::TCursor Value);
  uint32_t LayerOptions() const { return layerOptions_; }
  virtual void SetLayerOptions(uint32_t Value);
  bool Visible() const { return (layerOptions_ & LayerOptionVisible) != 0; }
  void SetVisible(bool Value);
  bool GetBit26() const { return (layerOptions_ & LayerOptionBit26) != 0; }
  void SetBit26(bool Value);
  // Bit n: mouse button of ordinal n is held over this layer.
  uint8_t ButtonStates() const { return buttonStates_; }

  // Destroying this layer calls Layer->Notification(this).
  void AddFreeWatcher(TCustomLayer* Layer);
  void RemoveFreeWatcher(TCustomLayer* Layer);

  // Update before a change, Changed after it, so the old and the new area are both repainted.
  void Update();
  void Changed() override;
  void Changed(const TRect& Rect);

  bool RunHitTest(int X, int Y);
  void PaintLayer(TBitmap32& Buffer);

  virtual bool HitTest(int X, int Y);
  virtual void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
  virtual void MouseMove(plat::TShiftState Shift, int X, int Y);
  virtual void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
  virtual void Notification(TCustomLayer* ALayer);
  virtual void Paint(TBitmap32& Buffer);
  virtual void PaintGDI(plat::TCanvas& Canvas);

  THitTestEvent OnHitTest;
  plat::TMouseEvent OnMouseDown;
  plat::TMouseMoveEvent OnMouseMove;
  plat::TMouseEvent OnMouseUp;
  TLayerPaintEvent OnPaint;
  plat::TNotifyEvent OnDestroy;

  // The editor's values; this module never reads them.
  int32_t AngleCode = 0;
  int32_t OpacityValue = 0;
  int32_t ScalePercent = 0;
  int32_t ColorMode = 0;
  uint8_t StateFlag = 0;
  bool InvertFlag = false;
  bool GrayFlag = false;
  std::string SourceFile;
  int32_t StepCount = 0;
  int32_t StepAngle = 0;

 protected:
  friend class TLayerCollection;
  // A fresh layer of the same class, for copying collections.
  virtual std::unique_ptr<TCustomLayer> NewLayer() const;
  // Whether changes of this layer reach its collection at all.
  bool Notifies() const;
  void SetLayerOptionsDirect(uint32_t Value) { layerOptions_ = Value; }
  // Fires OnDestroy and tells the watchers, once.
  void BeginDestruction();

 private:
  plat::TCursor cursor_ = plat::crDefault;
  std::vector<TCustomLayer*> freeWatchers_;
  TLayerCollection* layerCollection_ = nullptr;
  uint8_t buttonStates_ = 0;
  uint32_t layerOptions_ = LayerOptionVisible;
  bool destroying_ = false;
};

class TPositionedLayer : public TCustomLayer {
 public:
  TPositionedLayer();

  const TFloatRect& Location() const { return location_; }
  void SetLocation(const TFloatRect& Value);
  bool Scaled() const { return scaled_; }
  void SetScaled(bool Value);
  // R in control coordinates: scaled and shifted by the viewport when Scaled.
  TFloatRect GetAdjustedRect(const TFloatRect& R) const;
  TFloatRect GetAdjustedLocation() const { return GetAdjustedRect(location_); }

  bool HitTest(int X, int Y) override;

 protected:
  virtual void DoSetLocation(const TFloatRect& NewLocation);
  std::unique_ptr<TCustomLayer> NewLayer() const override;

 private:
  TFloatRect location_{0, 0, 64, 64};
  bool scaled_ = false;
};

class TBitmapLayer : public TPositionedLayer {
 public:
  TBitmapLayer();
  ~TBitmapLayer() override;

  TBitmap32& Bitmap() const { return *bitmap_; }
  void SetBitmap(const TBitmap32& Value);
  bool AlphaHit() const { return alphaHit_; }
  void SetAlphaHit(bool Value) { alphaHit_ = Value; }
  bool Cropped() const { return cropped_; }
  void SetCropped(bool Value);

  bool HitTest(int X, int Y) override;
  void Paint(TBitmap32& Buffer) override;

 protected:
  std::unique_ptr<TCustomLayer> NewLayer() const override;

 private:
  void LayerBitmapAreaHook(const TRect& Area);

  std::unique_ptr<TBitmap32> bitmap_;
  bool alphaHit_ = false;
  bool cropped_ = false;
};

// Rounds every edge to the nearest integer, halves to even; far-away values are clamped.
TRect RoundRect(const TFloatRect& R);

}  // namespace gfx
