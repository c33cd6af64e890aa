#include "graphics/layers/Layers.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "graphics/bitmap/ResamplerLink.h"
#include "graphics/layers/MicroTiles.h"
#include "graphics/resampling/Samplers.h"
#include "platform/windows/Application.h"

namespace gfx {

namespace {

constexpr uint8_t AllButtons = 0x07;
// Far beyond any picture side, yet safe to convert and to add to.
constexpr double CoordinateLimit = 1 << 30;

double Limited(double V) {
  return std::isnan(V) ? 0 : std::clamp(V, -CoordinateLimit, CoordinateLimit);
}

int32_t RoundEven(double V) {
  return int32_t(std::nearbyint(Limited(V)));
}

double ResamplerWidth(const TCustomBitmap32& Bitmap) {
  return Bitmap.Resampler() ? Bitmap.Resampler()->GetWidth() : 0.0;
}

}  // namespace

TRect RoundRect(const TFloatRect& R) {
  return {RoundEven(R.Left), RoundEven(R.Top), RoundEven(R.Right), RoundEven(R.Bottom)};
}

// ---- TLayerCollection ----

TLayerCollection::TLayerCollection(plat::TPersistent* Owner) : owner_(Owner) {}

TLayerCollection::~TLayerCollection() {
  // Only the list notifications go out while the layers are freed.
  updateCount_ = 1;
  Clear();
}

void TLayerCollection::AttachLayer(std::unique_ptr<TCustomLayer> Layer) {
  if (!Layer) return;
  BeginUpdate();
  TCustomLayer& layer = *Layer;
  items_.push_back(std::move(Layer));
  layer.layerCollection_ = this;
  NotifyListChange(LayerListAdded, &layer, Count() - 1);
  EndUpdate();
}

std::unique_ptr<TCustomLayer> TLayerCollection::DetachLayer(TCustomLayer& Layer) {
  std::unique_ptr<TCustomLayer> owned;
  BeginUpdate();
  const int32_t index = IndexOf(&Layer);
  if (index >= 0) {
    if (mouseListener_ == &Layer) SetMouseListener(nullptr);
    owned = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    Layer.layerCollection_ = nullptr;
    NotifyListChange(LayerListRemoved, &Layer, index);
  }
  EndUpdate();
  return owned;
}

void TLayerCollection::Delete(int32_t Index) {
  TCustomLayer* layer = Items(Index);
  // Deleted again from its own destroy event: the call that began its destruction frees it.
  if (layer->destroying_) return;
  layer->BeginDestruction();
  DetachLayer(*layer).reset();
}

// From the last; destroy events may free other layers meanwhile, and a layer whose destruction
// has begun is left to the call that began it.
void TLayerCollection::DeleteAll() {
  for (int32_t i = Count() - 1; i >= 0; i = std::min(i - 1, Count() - 1)) Delete(i);
}

void TLayerCollection::Clear() {
  BeginUpdate();
  DeleteAll();
  NotifyListChange(LayerListCleared, nullptr, 0);
  EndUpdate();
}

TCustomLayer* TLayerCollection::Items(int32_t Index) const {
  if (Index < 0 || Index >= Count())
    throw plat::EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return items_[size_t(Index)].get();
}

int32_t TLayerCollection::IndexOf(const TCustomLayer* Layer) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == Layer) return int32_t(i);
  return -1;
}

void TLayerCollection::Assign(const plat::TPersistent& Source) {
  const auto* source = dynamic_cast<const TLayerCollection*>(&Source);
  if (!source) return plat::TPersistent::Assign(Source);
  // Copied apart first: a layer that cannot be copied leaves this collection as it was.
  std::vector<std::unique_ptr<TCustomLayer>> copies;
  for (const auto& item : source->items_) {
    copies.push_back(item->NewLayer());
    copies.back()->Assign(*item);
  }
  BeginUpdate();
  try {
    DeleteAll();
    for (std::unique_ptr<TCustomLayer>& copy : copies) {
      TCustomLayer& layer = *copy;
      AttachLayer(std::move(copy));
      AnnounceAdded(layer);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TLayerCollection::AnnounceAdded(TCustomLayer& Layer) {
  Layer.SetIndex(Count() - 1);
  NotifyListChange(LayerListAdded, &Layer, Layer.Index());
}

void TLayerCollection::NotifyListChange(int32_t Action, TCustomLayer* Layer, int32_t Index) {
  if (OnLayerListChange) OnLayerListChange(this, Action, Layer, Index);
}

void TLayerCollection::BeginUpdate() {
  if (updateCount_ == 0) FireChanging();
  ++updateCount_;
}

void TLayerCollection::EndUpdate() {
  if (--updateCount_ == 0) Changed();
}

void TLayerCollection::FireChanging() {
  if (OnChanging) OnChanging(this);
}

void TLayerCollection::Changed() {
  if (OnChange) OnChange(this);
}

void TLayerCollection::GDIUpdate() {
  if (updateCount_ == 0 && OnGDIUpdate) OnGDIUpdate(this);
}

void TLayerCollection::QueueLayer(TCustomLayer* Layer) {
  if (OnLayerReport) OnLayerReport(this, Layer);
}

void TLayerCollection::ReportLayer(TCustomLayer* Layer) {
  QueueLayer(Layer);
  Changed();
}

void TLayerCollection::ReportArea(const TRect& Area) {
  if (OnAreaReport) OnAreaReport(this, Area, AreaInfoRect);
  Changed();
}

void TLayerCollection::GetViewportScale(float& ScaleX, float& ScaleY) {
  ScaleX = ScaleY = 1.0f;
  if (OnGetViewportScale) OnGetViewportScale(this, ScaleX, ScaleY);
}

void TLayerCollection::GetViewportShift(float& ShiftX, float& ShiftY) {
  ShiftX = ShiftY = 0.0f;
  if (OnGetViewportShift) OnGetViewportShift(this, ShiftX, ShiftY);
}

void TLayerCollection::MoveLayer(int32_t From, int32_t To) {
  auto first = items_.begin();
  if (From < To)
    std::rotate(first + From, first + From + 1, first + To + 1);
  else
    std::rotate(first + To, first + From, first + From + 1);
}

TCustomLayer* TLayerCollection::FindLayerAtPos(int X, int Y, uint32_t OptionsMask) {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    TCustomLayer* layer = items_[size_t(i)].get();
    if ((layer->LayerOptions() & OptionsMask) != 0 && layer->RunHitTest(X, Y)) return layer;
  }
  return nullptr;
}

TCustomLayer* TLayerCollection::StillHere(TCustomLayer* Layer) const {
  return IndexOf(Layer) >= 0 ? Layer : nullptr;
}

TCustomLayer* TLayerCollection::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X,
                                          int Y) {
  TCustomLayer* layer = mouseListener_;
  if (!layer) {
    layer = FindLayerAtPos(X, Y, LayerOptionMouseEvents);
    if (layer && (layer->LayerOptions() & LayerOptionNoCapture) == 0) SetMouseListener(layer);
  }
  if (!mouseListener_) return layer;
  mouseListener_->buttonStates_ |= uint8_t(1u << Button);
  mouseListener_->MouseDown(Button, Shift, X, Y);
  return StillHere(layer);
}

TCustomLayer* TLayerCollection::MouseMove(plat::TShiftState Shift, int X, int Y) {
  TCustomLayer* layer =
      mouseListener_ ? mouseListener_ : FindLayerAtPos(X, Y, LayerOptionMouseEvents);
  if (layer) {
    layer->MouseMove(Shift, X, Y);
  } else if (const auto* control = dynamic_cast<const plat::TControl*>(owner_)) {
    plat::Screen().SetCursor(control->Cursor());
  }
  return StillHere(layer);
}

TCustomLayer* TLayerCollection::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X,
                                        int Y) {
  TCustomLayer* layer =
      mouseListener_ ? mouseListener_ : FindLayerAtPos(X, Y, LayerOptionMouseEvents);
  if (layer) {
    layer->buttonStates_ &= uint8_t(~(1u << Button));
    layer->MouseUp(Button, Shift, X, Y);
  }
  if (mouseListener_ && (mouseListener_->buttonStates_ & AllButtons) == 0)
    SetMouseListener(nullptr);
  return StillHere(layer);
}

void TLayerCollection::SetMouseListener(TCustomLayer* Value) {
  if (Value == mouseListener_) return;
  if (mouseListener_) mouseListener_->buttonStates_ &= uint8_t(~AllButtons);
  mouseListener_ = Value;
}

// ---- TCustomLayer ----

TCustomLayer::~TCustomLayer() {
  BeginDestruction();
}

void TCustomLayer::BeginDestruction() {
  if (destroying_) return;
  destroying_ = true;
  if (OnDestroy) OnDestroy(this);
  // A watcher may withdraw itself (or others) while it is told.
  while (!freeWatchers_.empty()) {
    TCustomLayer* watcher = freeWatchers_.back();
    freeWatchers_.pop_back();
    watcher->Notification(this);
  }
}

std::unique_ptr<TCustomLayer> TCustomLayer::SetLayerCollection(TLayerCollection* Value) {
  // A layer whose destruction has begun stays where it is until that ends.
  if (destroying_ || Value == layerCollection_ || !layerCollection_) return nullptr;
  std::unique_ptr<TCustomLayer> owned = layerCollection_->DetachLayer(*this);
  if (!Value) return owned;
  Value->AttachLayer(std::move(owned));
  return nullptr;
}

int32_t TCustomLayer::Index() const {
  return layerCollection_ ? layerCollection_->IndexOf(this) : -1;
}

void TCustomLayer::SetIndex(int32_t Value) {
  if (!layerCollection_) return;
  const int32_t current = Index();
  if (Value == current) return;
  Value = std::clamp(Value, 0, layerCollection_->Count() - 1);
  if (Value == current) return;
  if (!Visible()) return layerCollection_->MoveLayer(current, Value);
  layerCollection_->BeginUpdate();
  layerCollection_->MoveLayer(current, Value);
  layerCollection_->EndUpdate();
  // The stacking changed where this layer lies: repaint it.
  if (Notifies()) layerCollection_->ReportLayer(this);
}

void TCustomLayer::BringToFront() {
  if (layerCollection_) SetIndex(layerCollection_->Count());
}

void TCustomLayer::SetCursor(plat::TCursor Value) {
  if (Value == cursor_) return;
  cursor_ = Value;
  if (layerCollection_ && layerCollection_->MouseListener() == this)
    plat::Screen().SetCursor(Value);
}

void TCustomLayer::SetLayerOptions(uint32_t Value) {
  Update();
  const bool wasVisible = Visible();
  layerOptions_ = Value;
  // A layer that appears or disappears is repainted even though a hidden one reports nothing.
  if (wasVisible != Visible() && Notifies()) layerCollection_->ReportLayer(this);
  Changed();
}

void TCustomLayer::SetVisible(bool Value) {
  if (Value != Visible())
    SetLayerOptions(Value ? layerOptions_ | LayerOptionVisible
                          : layerOptions_ & ~LayerOptionVisible);
}

void TCustomLayer::SetBit26(bool Value) {
  layerOptions_ = Value ? layerOptions_ | LayerOptionBit26 : layerOptions_ & ~LayerOptionBit26;
}

void TCustomLayer::AddFreeWatcher(TCustomLayer* Layer) {
  if (Layer && std::find(freeWatchers_.begin(), freeWatchers_.end(), Layer) == freeWatchers_.end())
    freeWatchers_.push_back(Layer);
}

void TCustomLayer::RemoveFreeWatcher(TCustomLayer* Layer) {
  freeWatchers_.erase(std::remove(freeWatchers_.begin(), freeWatchers_.end(), Layer),
                      freeWatchers_.end());
}

bool TCustomLayer::Notifies() const {
  return UpdateCount() < 1 && layerCollection_ && (layerOptions_ & LayerOptionNoUpdate) == 0;
}

void TCustomLayer::Update() {
  if (Notifies() && Visible()) layerCollection_->FireChanging();
}

void TCustomLayer::Changed() {
  if (!Notifies()) return;
  if (Visible() || (layerOptions_ & LayerOptionAlwaysNotify)) layerCollection_->ReportLayer(this);
  if (Visible())
    layerCollection_->Changed();
  else if (layerOptions_ & LayerOptionGDIOverlay)
    layerCollection_->GDIUpdate();
  TNotifiablePersistent::Changed();
}

void TCustomLayer::Changed(const TRect& Rect) {
  if (!Notifies()) return;
  layerCollection_->ReportArea(Rect);
  // What the layer covers may have changed with its pixels (an opacity of 0 draws nothing).
  layerCollection_->QueueLayer(this);
  if (Visible())
    layerCollection_->Changed();
  else if (layerOptions_ & LayerOptionGDIOverlay)
    layerCollection_->GDIUpdate();
  TNotifiablePersistent::Changed();
}

bool TCustomLayer::RunHitTest(int X, int Y) {
  bool passed = HitTest(X, Y);
  if (OnHitTest) OnHitTest(this, X, Y, passed);
  return passed;
}

void TCustomLayer::PaintLayer(TBitmap32& Buffer) {
  Paint(Buffer);
  if (OnPaint) OnPaint(this, Buffer);
}

bool TCustomLayer::HitTest(int, int) {
  return true;
}

void TCustomLayer::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomLayer::MouseMove(plat::TShiftState Shift, int X, int Y) {
  plat::Screen().SetCursor(cursor_);
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCustomLayer::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  plat::Screen().SetCursor(plat::crDefault);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TCustomLayer::Notification(TCustomLayer*) {}
void TCustomLayer::Paint(TBitmap32&) {}
void TCustomLayer::PaintGDI(plat::TCanvas&) {}

std::unique_ptr<TCustomLayer> TCustomLayer::NewLayer() const {
  return std::make_unique<TCustomLayer>();
}

// ---- TPositionedLayer ----

TPositionedLayer::TPositionedLayer() {
  SetLayerOptionsDirect(LayerOptionVisible | LayerOptionMouseEvents);
}

void TPositionedLayer::SetLocation(const TFloatRect& Value) {
  Update();
  DoSetLocation(Value);
  Changed();
}

void TPositionedLayer::DoSetLocation(const TFloatRect& NewLocation) {
  location_ = NewLocation;
}

void TPositionedLayer::SetScaled(bool Value) {
  if (Value == scaled_) return;
  Update();
  scaled_ = Value;
  Changed();
}

TFloatRect TPositionedLayer::GetAdjustedRect(const TFloatRect& R) const {
  if (!scaled_ || !LayerCollection()) return R;
  float shiftX, shiftY, scaleX, scaleY;
  LayerCollection()->GetViewportShift(shiftX, shiftY);
  LayerCollection()->GetViewportScale(scaleX, scaleY);
  return {float(double(R.Left) * scaleX + shiftX), float(double(R.Top) * scaleY + shiftY),
          float(double(R.Right) * scaleX + shiftX), float(double(R.Bottom) * scaleY + shiftY)};
}

bool TPositionedLayer::HitTest(int X, int Y) {
  const TFloatRect a = GetAdjustedLocation();
  return a.Left <= float(X) && float(X) < a.Right && a.Top <= float(Y) && float(Y) < a.Bottom;
}

std::unique_ptr<TCustomLayer> TPositionedLayer::NewLayer() const {
  return std::make_unique<TPositionedLayer>();
}

// ---- TBitmapLayer ----

TBitmapLayer::TBitmapLayer() : bitmap_(std::make_unique<TBitmap32>()) {
  bitmap_->OnAreaChanged = [this](plat::TObject*, const TRect& Area, uint32_t) {
    LayerBitmapAreaHook(Area);
  };
}

TBitmapLayer::~TBitmapLayer() {
  bitmap_->OnAreaChanged = nullptr;
}

void TBitmapLayer::SetBitmap(const TBitmap32& Value) {
  bitmap_->Assign(Value);
}

void TBitmapLayer::SetCropped(bool Value) {
  if (Value == cropped_) return;
  cropped_ = Value;
  Changed();
}

bool TBitmapLayer::HitTest(int X, int Y) {
  if (!TPositionedLayer::HitTest(X, Y)) return false;
  if (!alphaHit_) return true;
  const TFloatRect a = GetAdjustedLocation();
  const int32_t w = RoundEven(double(a.Right) - a.Left);
  const int32_t h = RoundEven(double(a.Bottom) - a.Top);
  if (w <= 0 || h <= 0) return false;
  const int32_t bx = RoundEven((X - double(a.Left)) * bitmap_->Width() / w);
  const int32_t by = RoundEven((Y - double(a.Top)) * bitmap_->Height() / h);
  return AlphaComponent(bitmap_->PixelClipped(bx, by)) != 0;
}

void TBitmapLayer::Paint(TBitmap32& Buffer) {
  if (bitmap_->Empty()) return;
  const TRect dstRect = RoundRect(GetAdjustedLocation());
  TRect clip = Buffer.ClipRect();
  TRect visible;
  IntersectRectangles(visible, clip, dstRect);
  if (IsRectEmpty(visible)) return;
  if (cropped_ && LayerCollection()) {
    auto* image = dynamic_cast<ILayerImageOwner*>(LayerCollection()->Owner());
    if (image && !image->RenderingElsewhere())
      IntersectRectangles(clip, clip, image->GetBitmapRect());
  }
  const auto transfer = ResamplerLink().StretchTransfer;
  if (!transfer) throw EBitmapException("Bitmap transfers are not available");
  transfer(Buffer, dstRect, clip, *bitmap_, bitmap_->BoundsRect(), bitmap_->Resampler(),
           bitmap_->DrawMode(), bitmap_->OnPixelCombine);
}

void TBitmapLayer::LayerBitmapAreaHook(const TRect& Area) {
  if (bitmap_->Empty() || !LayerCollection() || (LayerOptions() & LayerOptionNoUpdate)) return;
  const TFloatRect t = GetAdjustedLocation();
  const double sx = (double(t.Right) - t.Left) / bitmap_->Width();
  const double sy = (double(t.Bottom) - t.Top) / bitmap_->Height();
  TRect r{int32_t(std::floor(Limited(Area.Left * sx + t.Left))),
          int32_t(std::floor(Limited(Area.Top * sy + t.Top))),
          int32_t(std::ceil(Limited(Area.Right * sx + t.Left))),
          int32_t(std::ceil(Limited(Area.Bottom * sy + t.Top)))};
  const int32_t grow = int32_t(Limited(ResamplerWidth(*bitmap_))) + 1;
  InflateArea(r, grow, grow);
  Changed(r);
}

std::unique_ptr<TCustomLayer> TBitmapLayer::NewLayer() const {
  return std::make_unique<TBitmapLayer>();
}

}  // namespace gfx
