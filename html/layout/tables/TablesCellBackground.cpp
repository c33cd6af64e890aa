// Background pictures of table cells (their own, or their row's): fetched as image objects and
// tiled over the cell's padding box by background-position and background-repeat.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/images/ImageLoading.h"
#include "html/images/ImageObjects.h"
#include "html/layout/tables/Tables.h"
#include "html/viewer/PaintPanelTiles.h"
#include "platform/drawing/DeviceContext.h"

namespace html {

TCellObj::~TCellObj() = default;

TCellObj::TCellBackground& TCellObj::MakeBackground() {
  if (!Background) Background = std::make_unique<TCellBackground>();
  return *Background;
}

void TCellObj::FetchBackImage(plat::TCanvas& canvas) {
  if (!Background || Background->Fetched || Background->Url.empty() || !Content ||
      !Content->Document || !Content->Document->ImagesOn)
    return;
  Background->Fetched = true;
  std::unique_ptr<TImageObj>& image = Background->Image;
  image = TImageObj::CreateFromURL(Content->Document, Background->Url);
  const TMyFont font;
  image->ComputeSize(canvas, 0, 0, font);
  if (image->Image == ErrorImageBitmap()) image.reset();
}

void TCellObj::DrawBackImage(plat::TCanvas& canvas, const plat::TRect& box,
                             const plat::TRect& clipRect) {
  if (!Background || !Background->Image || Background->Image->IsPlaceholder() ||
      !Content->Document->ImagesOn)
    return;
  TImageObj& image = *Background->Image;
  const TBackgroundPos& position = Background->Position;
  plat::DeviceContext* dc = canvas.Handle();
  plat::TBitmap* picture = image.GetBitmap();
  if (!dc || !picture || picture->Empty()) return;
  plat::TBitmap* mask = image.Mask;
  if (auto* gif = dynamic_cast<TGIFImage*>(image.Image)) mask = gif->GetMaskBitmap();

  const plat::TRect padding{
      SaturatedSum(box.Left, BorderWidths[3]), SaturatedSum(box.Top, BorderWidths[0]),
      SaturatedSum(box.Right, -BorderWidths[1]), SaturatedSum(box.Bottom, -BorderWidths[2])};
  const plat::TRect area{std::max(padding.Left, clipRect.Left), std::max(padding.Top, clipRect.Top),
                         std::min(padding.Right, clipRect.Right),
                         std::min(padding.Bottom, clipRect.Bottom)};
  if (area.IsEmpty()) return;

  const TStretchedStrip strip =
      StretchStrip(*picture, picture->Width(), picture->Height(), mask, area, position);
  if (strip.Picture) {
    picture = strip.Picture.get();
    mask = strip.Mask.get();
  }
  const int w = picture->Width(), h = picture->Height();
  const int64_t originX =
      padding.Left + BackgroundOrigin(position[0], int64_t(padding.Right) - padding.Left, w, 0);
  const int64_t originY =
      padding.Top + BackgroundOrigin(position[1], int64_t(padding.Bottom) - padding.Top, h, 0);
  const TTileSpan columns = BackgroundTiles(originX, w, area.Left, area.Right, position[0].Repeats);
  const TTileSpan rows = BackgroundTiles(originY, h, area.Top, area.Bottom, position[1].Repeats);
  if (columns.Count == 0 || rows.Count == 0) return;

  const TSavedClip saved = SaveClipRegion(canvas, area);
  const plat::DeviceContext* source = picture->Canvas().Handle();
  for (int64_t row = 0; row < rows.Count; ++row)
    for (int64_t column = 0; column < columns.Count; ++column) {
      const int x = int(columns.First + column * w), y = int(rows.First + row * h);
      if (mask)
        DrawTransparentBitmap(*dc, *picture, *mask, x, y, w, h);
      else
        dc->BitBlt(x, y, w, h, source, 0, 0, plat::SRCCOPY);
    }
  RestoreClipRegion(canvas, saved);
}

}  // namespace html
