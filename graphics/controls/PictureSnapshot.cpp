#include "graphics/controls/PictureSnapshot.h"

#include "graphics/core/LowLevel.h"
#include "graphics/resampling/Samplers.h"
#include "platform/runtime/TypInfo.h"

namespace gfx {

namespace {

// A copy of a buffer larger than a 4096 x 4096 one is not kept.
constexpr int64_t MaxSnapshotPixels = int64_t(1) << 24;

using TSettings = std::vector<std::variant<int64_t, double, std::string, const void*>>;

// The published values of Object, and of the objects it publishes down to Depth levels.
void AppendSettings(const plat::TObject& Object, int Depth, TSettings& Out) {
  for (const plat::TPropInfo* prop : plat::GetPropList(Object, plat::tkProperties)) {
    const plat::TValue value = prop->Get(Object);
    if (const auto* ordinal = std::get_if<int64_t>(&value)) {
      Out.emplace_back(*ordinal);
    } else if (const auto* number = std::get_if<double>(&value)) {
      Out.emplace_back(*number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
      Out.emplace_back(*text);
    } else if (const auto* object = std::get_if<plat::TObject*>(&value)) {
      Out.emplace_back(static_cast<const void*>(*object));
      if (*object && Depth > 0) AppendSettings(**object, Depth - 1, Out);
    }
  }
}

TSettings SettingsOf(const TCustomResampler* Resampler) {
  TSettings settings;
  if (Resampler) AppendSettings(*Resampler, 1, settings);
  return settings;
}

}  // namespace

bool TPictureSnapshot::DrawTo(TCustomBitmap32& Dest, TCustomBitmap32& Picture, const TRect& Place,
                              const TRect& Area) {
  if (int64_t(Dest.Width()) * Dest.Height() > MaxSnapshotPixels) return false;
  TRect target;
  IntersectRectangles(target, Dest.ClipRect(), Dest.BoundsRect());
  IntersectRectangles(target, target, Place);
  if (IsRectEmpty(target)) return true;  // the picture draws nothing there either
  TRect covered;
  IntersectRectangles(covered, target, Area);
  if (!(covered == target)) return false;

  const TKey key{Place,
                 Area,
                 Dest.Width(),
                 Dest.Height(),
                 Picture.Bits(),
                 Picture.Width(),
                 Picture.Height(),
                 Picture.Resampler(),
                 Picture.DrawMode(),
                 Picture.WrapMode(),
                 Picture.OuterColor(),
                 Picture.ClipRect(),
                 SettingsOf(Picture.Resampler())};
  if (!fresh_ || !(key_ == key)) {
    // The same drawing a rebuild of the whole buffer makes: same size, place and clip.
    fresh_ = false;
    drawn_.SetSize(Dest.Width(), Dest.Height());
    drawn_.SetClipRect(Area);
    Picture.DrawTo(drawn_, Place);
    key_ = key;
    fresh_ = true;
  }
  const int32_t w = target.Right - target.Left;
  for (int32_t y = target.Top; y < target.Bottom; ++y)
    MoveLongword(drawn_.PixelPtr(target.Left, y), Dest.PixelPtr(target.Left, y), w);
  Dest.AreaChanged(Place, AreaInfoRect);
  return true;
}

}  // namespace gfx
