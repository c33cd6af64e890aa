// Gathers what changed on a paint box's screen between two paints and turns it into a short
// list of rectangles to rebuild. The micro-tile optimizer records changes as micro tiles and, when
// partial repaints turn out slow, switches to whole tiles or full repaints for a while.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "graphics/core/Containers.h"
#include "graphics/layers/Layers.h"
#include "graphics/layers/MicroTiles.h"

namespace gfx {

class TCustomRepaintOptimizer : public plat::TObject {
 public:
  TCustomRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects);
  ~TCustomRepaintOptimizer() override;
  TCustomRepaintOptimizer(const TCustomRepaintOptimizer&) = delete;
  TCustomRepaintOptimizer& operator=(const TCustomRepaintOptimizer&) = delete;

  virtual bool GetEnabled() const { return enabled_; }
  virtual void SetEnabled(bool Value) { enabled_ = Value; }
  bool Enabled() const { return GetEnabled(); }

  virtual void RegisterLayerCollection(TLayerCollection& Layers);
  virtual void UnregisterLayerCollection(TLayerCollection& Layers);

  virtual void PaintStarting() {}
  virtual void PaintFinished() {}
  virtual void BufferPaintStarting() {}
  virtual void BufferPaintFinished() {}

  virtual void Reset() = 0;
  virtual bool HasPendingUpdates() = 0;
  // True when something was reported after the invalid rectangles were last built.
  virtual bool HasNewUpdates() const = 0;
  virtual void BuildInvalidRects() = 0;
  virtual void AreaReported(plat::TObject* Sender, const TRect& Area, uint32_t Info) = 0;
  virtual void LayerReported(plat::TObject* Sender, TCustomLayer* Layer) = 0;
  virtual void BufferSizeChanged(int32_t NewWidth, int32_t NewHeight) = 0;

 protected:
  virtual void LayerListChanged(plat::TObject* Sender, int32_t Action, TCustomLayer* Layer,
                                int32_t Index) = 0;
  const std::vector<TLayerCollection*>& Collections() const { return collections_; }
  TBitmap32& Buffer() const { return buffer_; }
  TRectList& InvalidRects() const { return invalidRects_; }

 private:
  bool enabled_ = false;
  std::vector<TLayerCollection*> collections_;
  TRectList& invalidRects_;
  TBitmap32& buffer_;
};

// Maps each layer to the tile set of its last measured area; owns the tile sets.
class TMicroTilesMap : public TPointerMap {
 public:
  ~TMicroTilesMap() override;
  // The layer's tile set, made empty when the layer is new.
  TTileSet& Add(TCustomLayer* Layer);
  TTileSet* Find(TCustomLayer* Layer) const;
  void* Delete(int32_t BucketIndex, int32_t ItemIndex) override;
};

// Where the adaptive timing reads its time; replaceable so that tests decide what time it is.
struct TRepaintClock {
  std::function<int64_t()> Microseconds;  // any steady origin
  std::function<int64_t()> Milliseconds;  // any steady origin
};
TRepaintClock SystemRepaintClock();

class TMicroTilesRepaintOptimizer : public TCustomRepaintOptimizer {
 public:
  TMicroTilesRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects);
  ~TMicroTilesRepaintOptimizer() override;

  void SetEnabled(bool Value) override;
  void RegisterLayerCollection(TLayerCollection& Layers) override;
  void UnregisterLayerCollection(TLayerCollection& Layers) override;

  void BufferPaintStarting() override;
  void BufferPaintFinished() override;
  void Reset() override;
  bool HasPendingUpdates() override;
  bool HasNewUpdates() const override { return newUpdates_; }
  void BuildInvalidRects() override;
  void AreaReported(plat::TObject* Sender, const TRect& Area, uint32_t Info) override;
  void LayerReported(plat::TObject* Sender, TCustomLayer* Layer) override;
  void BufferSizeChanged(int32_t NewWidth, int32_t NewHeight) override;

  bool AdaptiveTiming() const { return adaptiveTiming_; }
  void SetAdaptiveTiming(bool Value) { adaptiveTiming_ = Value; }
  void SetClock(TRepaintClock Clock) { clock_ = std::move(Clock); }

  // 0 exact tiles, 1 whole tiles, 2 whole tiles and full repaints while a check period runs.
  int32_t CoarseLevel() const { return coarseLevel_; }
  int32_t CheckInterval() const { return checkInterval_; }
  bool CheckDue() const { return checkDue_; }
  int64_t FullRepaintTime() const { return fullRepaintTime_; }

 protected:
  void LayerListChanged(plat::TObject* Sender, int32_t Action, TCustomLayer* Layer,
                        int32_t Index) override;

 private:
  void HookCollection(TLayerCollection& Layers, bool Hook);
  void PrepareTileSets();
  void MarkUpdates();
  void MeasureAllLayers();
  // Measures each layer into its entry of the map; with Dirty its old and new areas become
  // invalid.
  void MeasureLayers(std::vector<TCustomLayer*> Layers, bool Dirty);
  void MeasureLayer(TTileSet& Tiles, TCustomLayer& Layer);
  void AddReportedArea(TTileSet& Tiles, const TRect& Area, uint32_t Info);
  void QueueLayer(TCustomLayer& Layer);
  void DropPendingLayer(TCustomLayer* Layer);
  void RecordRepaintTime();
  void AdjustCoarseLevel();
  void SetCheckInterval(int32_t Value);

  TRect bufferArea_;
  TTileSet* measureTarget_ = nullptr;
  TTileSet scratchTiles_, layerDirtyTiles_, areaDirtyTiles_;
  std::vector<TCustomLayer*> pendingLayers_;
  // The layers being measured; one that leaves its collection meanwhile becomes null here.
  std::vector<TCustomLayer*> measuring_;
  TMicroTilesMap layerAreaMap_;
  bool tileSetsReady_ = false;
  bool layerAreasReady_ = false;
  bool hasUpdates_ = false;
  bool newUpdates_ = false;
  bool adaptiveTiming_ = true;
  TRepaintClock clock_ = SystemRepaintClock();
  int64_t timerStart_ = 0;
  int32_t coarseLevel_ = 0;
  int64_t fullRepaintTime_ = 0;
  bool levelJustRaised_ = false;
  bool checkDue_ = false;
  int32_t checkInterval_ = 0;
  int64_t checkDeadline_ = 0;
  int64_t penaltyTime_ = 0;
  int32_t rectCountAtRaise_ = 0;
};

}  // namespace gfx
