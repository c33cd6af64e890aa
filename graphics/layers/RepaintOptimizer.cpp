#include "graphics/layers/RepaintOptimizer.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "graphics/core/System.h"

namespace gfx {

// ---- TCustomRepaintOptimizer ----

TCustomRepaintOptimizer::TCustomRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects)
    : invalidRects_(InvalidRects), buffer_(Buffer) {}

TCustomRepaintOptimizer::~TCustomRepaintOptimizer() {
  for (TLayerCollection* layers : collections_) layers->OnLayerListChange = nullptr;
}

void TCustomRepaintOptimizer::RegisterLayerCollection(TLayerCollection& Layers) {
  if (std::find(collections_.begin(), collections_.end(), &Layers) != collections_.end()) return;
  collections_.push_back(&Layers);
  Layers.OnLayerListChange = [this](plat::TObject* Sender, int32_t Action, TCustomLayer* Layer,
                                    int32_t Index) {
    LayerListChanged(Sender, Action, Layer, Index);
  };
}

void TCustomRepaintOptimizer::UnregisterLayerCollection(TLayerCollection& Layers) {
  Layers.OnLayerListChange = nullptr;
  collections_.erase(std::remove(collections_.begin(), collections_.end(), &Layers),
                     collections_.end());
}

// ---- TMicroTilesMap ----

TMicroTilesMap::~TMicroTilesMap() {
  Clear();
}

TTileSet& TMicroTilesMap::Add(TCustomLayer* Layer) {
  bool isNew;
  void** slot = TPointerMap::Add(Layer, isNew);
  if (isNew) *slot = std::make_unique<TTileSet>().release();  // the map owns it from here
  return *static_cast<TTileSet*>(*slot);
}

TTileSet* TMicroTilesMap::Find(TCustomLayer* Layer) const {
  int32_t bucket, item;
  if (!Locate(Layer, bucket, item)) return nullptr;
  return static_cast<TTileSet*>(Bucket(bucket).Items[size_t(item)].Data);
}

void* TMicroTilesMap::Delete(int32_t BucketIndex, int32_t ItemIndex) {
  std::unique_ptr<TTileSet> tiles(
      static_cast<TTileSet*>(TPointerMap::Delete(BucketIndex, ItemIndex)));
  return nullptr;
}

// ---- TMicroTilesRepaintOptimizer ----

namespace {

constexpr int32_t ShortestCheck = 1000, LongestCheck = 5000;

}  // namespace

TRepaintClock SystemRepaintClock() {
  return {[] {
            return int64_t(std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count());
          },
          [] { return SystemTickCount(); }};
}

TMicroTilesRepaintOptimizer::TMicroTilesRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects)
    : TCustomRepaintOptimizer(Buffer, InvalidRects) {}

TMicroTilesRepaintOptimizer::~TMicroTilesRepaintOptimizer() {
  for (TLayerCollection* layers : Collections()) HookCollection(*layers, false);
}

void TMicroTilesRepaintOptimizer::HookCollection(TLayerCollection& Layers, bool Hook) {
  if (!Hook) {
    Layers.OnLayerReport = nullptr;
    Layers.OnAreaReport = nullptr;
    return;
  }
  Layers.OnLayerReport = [this](plat::TObject* Sender, TCustomLayer* Layer) {
    LayerReported(Sender, Layer);
  };
  Layers.OnAreaReport = [this](plat::TObject* Sender, const TRect& Area, uint32_t Info) {
    AreaReported(Sender, Area, Info);
  };
}

void TMicroTilesRepaintOptimizer::RegisterLayerCollection(TLayerCollection& Layers) {
  TCustomRepaintOptimizer::RegisterLayerCollection(Layers);
  if (Enabled()) HookCollection(Layers, true);
}

void TMicroTilesRepaintOptimizer::UnregisterLayerCollection(TLayerCollection& Layers) {
  HookCollection(Layers, false);
  TCustomRepaintOptimizer::UnregisterLayerCollection(Layers);
}

void TMicroTilesRepaintOptimizer::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  for (TLayerCollection* layers : Collections()) HookCollection(*layers, Value);
  if (Value) {
    BufferSizeChanged(Buffer().Width(), Buffer().Height());
  } else {
    TileSetFree(scratchTiles_);
    TileSetFree(layerDirtyTiles_);
    TileSetFree(areaDirtyTiles_);
    tileSetsReady_ = false;
    hasUpdates_ = false;
    newUpdates_ = false;
    layerAreasReady_ = false;
    layerAreaMap_.Clear();
    for (TCustomLayer* layer : pendingLayers_) layer->SetBit26(false);
    pendingLayers_.clear();
  }
  TCustomRepaintOptimizer::SetEnabled(Value);
}

void TMicroTilesRepaintOptimizer::BufferSizeChanged(int32_t NewWidth, int32_t NewHeight) {
  bufferArea_ = {0, 0, NewWidth, NewHeight};
  Reset();
}

// The layers are measured when the rectangles are next asked for, so that a change of the view
// that follows the reset is already in place.
void TMicroTilesRepaintOptimizer::Reset() {
  tileSetsReady_ = false;
  layerAreasReady_ = false;
  PrepareTileSets();
  TileSetMarkAll(areaDirtyTiles_);
  MarkUpdates();
}

bool TMicroTilesRepaintOptimizer::HasPendingUpdates() {
  MeasureAllLayers();
  return hasUpdates_;
}

void TMicroTilesRepaintOptimizer::AreaReported(plat::TObject*, const TRect& Area, uint32_t Info) {
  PrepareTileSets();
  AddReportedArea(areaDirtyTiles_, Area, Info);
  MarkUpdates();
}

void TMicroTilesRepaintOptimizer::MarkUpdates() {
  hasUpdates_ = true;
  newUpdates_ = true;
}

void TMicroTilesRepaintOptimizer::LayerReported(plat::TObject*, TCustomLayer* Layer) {
  if (layerAreasReady_ && Layer && !Layer->GetBit26()) QueueLayer(*Layer);
}

void TMicroTilesRepaintOptimizer::QueueLayer(TCustomLayer& Layer) {
  pendingLayers_.push_back(&Layer);
  Layer.SetBit26(true);
  MarkUpdates();
}

void TMicroTilesRepaintOptimizer::DropPendingLayer(TCustomLayer* Layer) {
  pendingLayers_.erase(std::remove(pendingLayers_.begin(), pendingLayers_.end(), Layer),
                       pendingLayers_.end());
  std::replace(measuring_.begin(), measuring_.end(), Layer, static_cast<TCustomLayer*>(nullptr));
  Layer->SetBit26(false);
}

void TMicroTilesRepaintOptimizer::LayerListChanged(plat::TObject*, int32_t Action,
                                                   TCustomLayer* Layer, int32_t) {
  switch (Action) {
    case LayerListAdded:
    case 1:
      // Queued, so that its first area is measured and stored before it can move away.
      if (layerAreasReady_ && Layer) {
        TTileSet& tiles = layerAreaMap_.Add(Layer);
        if (tiles.Count == 0) TileSetResize(tiles, bufferArea_);
        if (!Layer->GetBit26()) QueueLayer(*Layer);
      }
      break;
    case LayerListRemoved:
      if (!Layer) break;
      if (layerAreasReady_) {
        if (const TTileSet* old = layerAreaMap_.Find(Layer))
          TileSetUnion(layerDirtyTiles_, *old, false);
        MarkUpdates();
      }
      DropPendingLayer(Layer);
      layerAreaMap_.Remove(Layer);
      break;
    case LayerListCleared:
      if (layerAreasReady_) {
        TPointerMapIterator entries(layerAreaMap_);
        while (entries.Next())
          TileSetUnion(layerDirtyTiles_, *static_cast<const TTileSet*>(entries.Data()), false);
        MarkUpdates();
        SetCheckInterval(ShortestCheck);
        levelJustRaised_ = false;
        coarseLevel_ = 0;
      }
      layerAreaMap_.Clear();
      // Layers of other collections lost their entries too: measure them again.
      for (TLayerCollection* layers : Collections())
        if (layers->Count() > 0) layerAreasReady_ = false;
      break;
    default:
      break;
  }
}

void TMicroTilesRepaintOptimizer::PrepareTileSets() {
  if (tileSetsReady_) return;
  TileSetResize(scratchTiles_, bufferArea_);
  TileSetResize(layerDirtyTiles_, bufferArea_);
  TileSetResize(areaDirtyTiles_, bufferArea_);
  tileSetsReady_ = true;
}

// Layers that change while all are measured (from a layer's paint) queue again, to be measured
// with the pending ones.
void TMicroTilesRepaintOptimizer::MeasureAllLayers() {
  if (layerAreasReady_) return;
  PrepareTileSets();
  for (TCustomLayer* layer : pendingLayers_) layer->SetBit26(false);
  pendingLayers_.clear();
  layerAreasReady_ = true;
  std::vector<TCustomLayer*> all;
  for (TLayerCollection* layers : Collections())
    for (int32_t i = 0; i < layers->Count(); ++i) all.push_back(layers->Items(i));
  MeasureLayers(std::move(all), false);
}

void TMicroTilesRepaintOptimizer::MeasureLayers(std::vector<TCustomLayer*> Layers, bool Dirty) {
  const bool round = coarseLevel_ > 0;
  measuring_ = std::move(Layers);
  for (size_t i = 0; i < measuring_.size(); ++i) {
    TCustomLayer* layer = measuring_[i];
    if (!layer) continue;
    TileSetFillUsed(scratchTiles_, TileEmpty);
    MeasureLayer(scratchTiles_, *layer);
    if (!measuring_[i]) continue;  // it left its collection (or was freed) while it painted
    TTileSet& stored = layerAreaMap_.Add(layer);
    if (Dirty) {
      TileSetUnion(layerDirtyTiles_, scratchTiles_, round);
      TileSetUnion(layerDirtyTiles_, stored, round);
    }
    TileSetCopy(stored, scratchTiles_);
    layer->SetBit26(false);
  }
  measuring_.clear();
}

void TMicroTilesRepaintOptimizer::MeasureLayer(TTileSet& Tiles, TCustomLayer& Layer) {
  TBitmap32& buffer = Buffer();
  const TRect savedClip = buffer.ClipRect();
  buffer.ClipToBounds();
  measureTarget_ = &Tiles;
  buffer.StartMeasuring([this](plat::TObject*, const TRect& Area, uint32_t Info) {
    AddReportedArea(*measureTarget_, Area, Info);
  });
  auto finish = [&] {
    buffer.StopMeasuring();
    measureTarget_ = nullptr;
    buffer.SetClipRect(savedClip);
  };
  try {
    Layer.PaintLayer(buffer);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TMicroTilesRepaintOptimizer::AddReportedArea(TTileSet& Tiles, const TRect& Area,
                                                  uint32_t Info) {
  const bool round = coarseLevel_ > 0;
  if (Info & AreaInfoLine) {
    const int32_t w = int32_t(Info & 0x00FFFFFF);
    TRect r = Area;
    InflateArea(r, w, w);
    TileSetAddLine(Tiles, r.Left, r.Top, r.Right, r.Bottom, w, round);
  } else {
    TileSetAddRect(Tiles, Area, round);
  }
}

void TMicroTilesRepaintOptimizer::BuildInvalidRects() {
  if (hasUpdates_) {
    newUpdates_ = false;
    MeasureAllLayers();
    PrepareTileSets();
    // A layer's paint may change other layers while it is measured: they queue again and are
    // measured in the next round; what a few rounds leave waits for the next paint.
    constexpr int32_t kRounds = 4;
    for (int32_t i = 0; i < kRounds && !pendingLayers_.empty(); ++i)
      MeasureLayers(std::exchange(pendingLayers_, {}), true);
    TileSetToRects(layerDirtyTiles_, &InvalidRects(), false);
    TileSetToRects(areaDirtyTiles_, &InvalidRects(), false);
  }
  AdjustCoarseLevel();
  TileSetFillUsed(layerDirtyTiles_, TileEmpty);
  TileSetFillUsed(areaDirtyTiles_, TileEmpty);
}

void TMicroTilesRepaintOptimizer::BufferPaintStarting() {
  if (adaptiveTiming_) timerStart_ = clock_.Microseconds();
}

void TMicroTilesRepaintOptimizer::BufferPaintFinished() {
  RecordRepaintTime();
  // A full rebuild covers whatever was reported and leaves every layer where it now stands:
  // measured there, the next move repaints only its old and new areas.
  if (InvalidRects().Count() == 0) {
    newUpdates_ = false;
    layerAreasReady_ = false;
    TileSetFillUsed(layerDirtyTiles_, TileEmpty);
    TileSetFillUsed(areaDirtyTiles_, TileEmpty);
    MeasureAllLayers();
  }
  // Reports that came after the rectangles were built are still to be repainted.
  hasUpdates_ = newUpdates_;
}

void TMicroTilesRepaintOptimizer::SetCheckInterval(int32_t Value) {
  checkInterval_ = std::clamp(Value, ShortestCheck, LongestCheck);
}

void TMicroTilesRepaintOptimizer::RecordRepaintTime() {
  const int64_t elapsed = clock_.Microseconds() - timerStart_;
  const int32_t rectCount = InvalidRects().Count();
  if (rectCount == 0) {
    fullRepaintTime_ = elapsed;
    return;
  }
  if (!adaptiveTiming_) return;
  if (elapsed > fullRepaintTime_) {
    const int32_t level = std::min(coarseLevel_ + 1, 2);
    if (level != coarseLevel_) {
      rectCountAtRaise_ = rectCount;
      coarseLevel_ = level;
      if (checkDue_) {
        SetCheckInterval(checkInterval_ + 250);
        checkDeadline_ = clock_.Milliseconds() + checkInterval_;
        penaltyTime_ = elapsed;
        checkDue_ = false;
      }
      levelJustRaised_ = true;
    }
  } else if (elapsed == fullRepaintTime_) {
    if (elapsed < penaltyTime_ && checkDue_) {
      SetCheckInterval(checkInterval_ - 250);
      checkDeadline_ = clock_.Milliseconds() + checkInterval_;
      checkDue_ = false;
    }
  } else {
    if (checkDue_) {
      SetCheckInterval(ShortestCheck);
      checkDeadline_ = clock_.Milliseconds() + checkInterval_;
      checkDue_ = false;
    } else if (checkInterval_ > ShortestCheck) {
      SetCheckInterval(checkInterval_ - 1000);
      checkDeadline_ = clock_.Milliseconds() + checkInterval_;
    }
    levelJustRaised_ = false;
  }
}

void TMicroTilesRepaintOptimizer::AdjustCoarseLevel() {
  if (!adaptiveTiming_ || coarseLevel_ < 1) return;
  if (clock_.Milliseconds() <= checkDeadline_) {
    if (!levelJustRaised_ && InvalidRects().Count() < rectCountAtRaise_ - 10)
      coarseLevel_ = std::max(coarseLevel_ - 1, 0);
    else if (coarseLevel_ == 2)
      InvalidRects().Clear();
  } else {
    coarseLevel_ = std::max(coarseLevel_ - 1, 0);
    checkDue_ = true;
  }
}

}  // namespace gfx
