#include "app/road/Composition.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "app/road/RoadTexts.h"
#include "graphics/layers/Layers.h"
#include "platform/pictures/JpegCodec.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

// Rows composed at a time while saving: a few megabytes instead of a second whole picture.
constexpr int32_t kStripRows = 256;

// The rows Top .. Top + Rows of the composition are the background's own rows when the view
// only clears, copies an opaque background and paints plain picture layers, none of which comes
// near those rows. Anything else is painted.
bool BackgroundRowsAsTheyAre(const gfx::TCustomImage32& View, int32_t Top, int32_t Rows) {
  if (View.Bitmap().DrawMode() != gfx::dmOpaque) return false;
  uint32_t layerMask = 0;
  for (int32_t i = 0; i < View.PaintStages().Count(); ++i) {
    const gfx::TPaintStage& stage = View.PaintStages().Items(i);
    if (!stage.AtRunTime) continue;
    if (stage.Stage == gfx::StageDrawLayers)
      layerMask |= stage.Parameter;
    else if (stage.Stage != gfx::StageClearBackground && stage.Stage != gfx::StageDrawBitmap)
      return false;
  }
  const gfx::TLayerCollection& layers = View.Layers();
  for (int32_t i = 0; i < layers.Count(); ++i) {
    const gfx::TCustomLayer* layer = layers.Items(i);
    if (!(layer->LayerOptions() & layerMask)) continue;
    if (typeid(*layer) != typeid(gfx::TBitmapLayer) || layer->OnPaint) return false;
    const auto& picture = static_cast<const gfx::TBitmapLayer&>(*layer);
    if (!picture.Scaled()) return false;
    // A pixel of margin on each side covers the rounding of the layer's place.
    const gfx::TFloatRect& place = picture.Location();
    if (std::floor(double(place.Top)) - 1 < double(Top) + Rows &&
        std::ceil(double(place.Bottom)) + 1 > double(Top))
      return false;
  }
  return true;
}

// The JPEG of the composition, composed strip by strip as the encoder asks for rows and handed
// to Sink as it is made. Each strip is painted with the view shifted up to its rows; the view's
// first stage fills whatever the background does not cover opaquely, so the strip needs no
// clearing of its own and its pixels come out as in the whole composition. Strips that no layer
// reaches are read from the background directly.
void EncodeComposition(gfx::TCustomImage32& View, const plat::JpegByteSink& Sink) {
  const gfx::TBitmap32& background = View.Bitmap();
  const int32_t width = background.Width(), height = background.Height();
  gfx::TBitmap32 strip;
  int32_t top = 0, rows = 0;
  bool painted = false;
  const auto stripRow = [&](int32_t y) -> const uint32_t* {
    if (y >= top + rows) {
      top = y;
      rows = std::min(kStripRows, height - y);
      painted = !BackgroundRowsAsTheyAre(View, top, rows);
      if (painted) {
        strip.SetSizeToOverwrite(width, rows);
        View.PaintTo(&strip, {0, -top, width, height - top});
      }
    }
    return painted ? strip.RowPtr(y - top) : background.RowPtr(y);
  };
  plat::EncodeJpegArgbRows(width, height, 100, stripRow, Sink);
}

}  // namespace

std::unique_ptr<gfx::TBitmap32> ComposePicture(gfx::TCustomImage32& View) {
  const gfx::TBitmap32& background = View.Bitmap();
  if (background.Empty()) return nullptr;
  auto picture = std::make_unique<gfx::TBitmap32>();
  picture->SetSize(background.Width(), background.Height());
  View.PaintTo(picture.get(), {0, 0, background.Width(), background.Height()});
  return picture;
}

std::string ForcedJpegName(std::string_view FileName) {
  return plat::ForceFileExt(FileName, JpegExt);
}

std::string EncodeJpeg(const gfx::TBitmap32& Picture) {
  // The encoder reads the picture's own rows: no converted copy of a whole picture.
  return plat::EncodeJpegArgbRows(Picture.Width(), Picture.Height(), 100,
                                  [&Picture](int32_t y) { return Picture.RowPtr(y); });
}

void WriteJpegFile(const gfx::TBitmap32& Picture, const std::string& FileName) {
  plat::WriteFileAtomically(FileName, EncodeJpeg(Picture));
}

std::string SaveAsJpeg(gfx::TCustomImage32& View, const std::string& FileName) {
  if (View.Bitmap().Empty()) return {};
  const std::string name = ForcedJpegName(FileName);
  // Nothing before the extension: the file would be hidden and nameless.
  if (plat::SameText(plat::ExtractFileName(name), JpegExt))
    throw plat::EFCreateError(
        plat::Format("Cannot save as \"%s\": the name has nothing before its extension \"%s\".",
                     {name, JpegExt}));
  // Written as it is compressed; a failure discards the temporary file and keeps the old one.
  plat::TAtomicFileStream file(name);
  EncodeComposition(
      View, [&file](const char* bytes, size_t count) { file.WriteBuffer(bytes, int64_t(count)); });
  file.Commit();
  return name;
}

void Flatten(gfx::TCustomImage32& View) {
  const std::unique_ptr<gfx::TBitmap32> picture = ComposePicture(View);
  if (!picture) return;
  View.Layers().Clear();
  const std::string resampler = View.Bitmap().ResamplerClassName();
  View.Bitmap().Assign(*picture);
  View.Bitmap().SetResamplerClassName(resampler);
}

}  // namespace app
