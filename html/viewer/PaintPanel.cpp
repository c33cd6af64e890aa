// The viewer's drawing surface: every paint is built in a memory bitmap the size of the area
// to paint (background, then the document) and copied to the window in one step.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/images/GdiPlusLoader.h"
#include "html/images/PictureHelpers.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PaintPanelTiles.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

// One picture laid over the tiles of a span; bitmaps with a mask are drawn through 32-bit
// copies made once.
class TTileDrawer {
 public:
  TTileDrawer(plat::TObject& picture, plat::TBitmap* mask, TGIFImage* animation)
      : picture_(picture), animation_(animation) {
    bitmap_ = dynamic_cast<plat::TBitmap*>(&picture);
    if (bitmap_ && mask) {
      image32_.Assign(*bitmap_);
      mask32_.Assign(*mask);
      mask32_.SetSize(image32_.Width(), image32_.Height());  // a short mask leaves the rest opaque
      masked_ = true;
    }
  }

  void Draw(plat::TCanvas& canvas, int x, int y, int w, int h) {
    if (animation_) {
      animation_->Draw(canvas, x, y, w, h);
    } else if (masked_) {
      plat::DeviceContext* dc = canvas.Handle();
      plat::DeviceContext* image = image32_.Canvas().Handle();
      plat::DeviceContext* mask = mask32_.Canvas().Handle();
      if (dc && image && mask) dc->MaskedStretchBlt(x, y, w, h, *image, 0, 0, w, h, *mask);
    } else if (bitmap_) {
      canvas.Draw(x, y, *bitmap_);
    } else if (auto* gp = dynamic_cast<TGpImage*>(&picture_)) {
      if (plat::DeviceContext* dc = canvas.Handle()) GpDrawImage(*dc, *gp, x, y, w, h);
    }
  }

 private:
  plat::TObject& picture_;
  TGIFImage* animation_;
  plat::TBitmap* bitmap_ = nullptr;
  plat::TBitmap image32_, mask32_;
  bool masked_ = false;
};

}  // namespace

TPaintPanel::TPaintPanel(plat::TComponent* owner, TPageViewer* viewer)
    : plat::TCustomControl(owner), viewer_(viewer) {
  SetControlStyle(ControlStyle() | plat::csOpaque);
}

void TPaintPanel::DragOver(plat::TObject* source, int x, int y, plat::TDragState state,
                           bool& accept) {
  if (!viewer_->OnDragOver) {
    plat::TCustomControl::DragOver(source, x, y, state, accept);
    return;
  }
  accept = true;
  const plat::TDragOverEvent handler = viewer_->OnDragOver;
  handler(viewer_, source, x, y, state, accept);
}

void TPaintPanel::DragDrop(plat::TObject* source, int x, int y) {
  if (const plat::TDragDropEvent handler = viewer_->OnDragDrop)
    handler(viewer_, source, x, y);
  else
    plat::TCustomControl::DragDrop(source, x, y);
}

void TPaintPanel::WndProc(plat::TMessage& message) {
  if (message.Msg != plat::WM_LBUTTONDBLCLK) {
    plat::TCustomControl::WndProc(message);
    return;
  }
  plat::TShiftState shift = plat::ssLeft | plat::ssDouble;
  if (message.WParam & plat::MK_SHIFT) shift |= plat::ssShift;
  if (message.WParam & plat::MK_CONTROL) shift |= plat::ssCtrl;
  if (message.WParam & plat::MK_ALT) shift |= plat::ssAlt;
  viewer_->DocMouseDouble(shift, plat::LParamX(message.LParam), plat::LParamY(message.LParam));
}

bool TPaintPanel::DoMouseWheel(plat::TShiftState shift, int wheelDelta, plat::TPoint mousePos) {
  return viewer_->DoMouseWheel(shift, wheelDelta, mousePos);
}

void TPaintPanel::Paint() {
  if (viewer_->Busy() || memCanvas_) return;
  viewer_->UpdateBorder();
  plat::TCanvas& canvas = *Canvas();
  const plat::TRect area = canvas.ClipRect();
  if (area.Width() <= 0 || area.Height() <= 0) return;
  // The page is built at the window's pixels (two a unit on a screen at 200 %), so its text stays
  // as sharp as the rest of the window.
  const int scale = canvas.Handle() ? canvas.Handle()->Scale() : 1;
  plat::TBitmap memory;
  try {
    memory.SetSize(area.Width() * scale, area.Height() * scale);
  } catch (const plat::Exception&) {
    throw plat::EOutOfResources("Out of Resources");
  }
  plat::TCanvas& memCanvas = memory.Canvas();
  memCanvas.SetFont(*Font());
  if (plat::DeviceContext* dc = memCanvas.Handle()) {
    dc->SetScale(scale);
    dc->SetWindowOrg({area.Left, area.Top});
  }
  memCanvas_ = &memCanvas;
  struct EndOfPaint {
    plat::TCanvas*& canvas;
    ~EndOfPaint() { canvas = nullptr; }
  } endOfPaint{memCanvas_};
  DrawBackground(memCanvas, area);
  if (OnPaint) OnPaint(memCanvas);
  canvas.StretchDraw(area, memory);
}

void TPaintPanel::DrawBackground(plat::TCanvas& canvas, const plat::TRect& area) {
  TSectionList& document = viewer_->Document();
  canvas.Brush().SetColor(Color());
  canvas.Brush().SetStyle(plat::bsSolid);
  canvas.FillRect(area);
  plat::TObject* picture = document.BackAnimation
                               ? static_cast<plat::TObject*>(document.BackAnimation)
                               : static_cast<plat::TObject*>(document.BackImage);
  if (!document.ImagesOn || !picture) {
    viewer_->fixedBackground_ = false;
    return;
  }
  const TBackgroundPos& pos = document.BackPosition;
  const bool fixed = pos[0].Fixed || pos[1].Fixed;
  viewer_->fixedBackground_ = fixed;
  const int64_t xOffset = fixed ? 0 : viewer_->HScrollBar().Position();
  const int64_t yOffset = fixed ? 0 : document.ScrollY;
  const int64_t areaWidth = fixed ? ClientWidth() : viewer_->HScrollBar().Max();
  const int64_t areaHeight =
      fixed ? ClientHeight() : std::max<int64_t>(viewer_->ScrollHeight(), ClientHeight());
  const int pictureWidth = GetImageWidth(*picture);
  const int pictureHeight = GetImageHeight(*picture);
  const int64_t originX = BackgroundOrigin(pos[0], areaWidth, pictureWidth, xOffset);
  const int64_t originY = BackgroundOrigin(pos[1], areaHeight, pictureHeight, yOffset);

  plat::TObject* tile = picture;
  plat::TBitmap* mask = document.BackMask;
  TGIFImage* animation = document.BackAnimation;
  TStretchedStrip strip;
  if (!animation) strip = StretchStrip(*picture, pictureWidth, pictureHeight, mask, area, pos);
  if (strip.Picture) {
    tile = strip.Picture.get();
    mask = strip.Mask.get();
  }
  const int tileWidth = GetImageWidth(*tile);
  const int tileHeight = GetImageHeight(*tile);
  const TTileSpan columns =
      BackgroundTiles(originX, tileWidth, area.Left, area.Right, pos[0].Repeats);
  const TTileSpan rows =
      BackgroundTiles(originY, tileHeight, area.Top, area.Bottom, pos[1].Repeats);
  if (columns.Count == 0 || rows.Count == 0) return;
  TTileDrawer drawer(*tile, mask, animation);
  for (int64_t row = 0; row < rows.Count; ++row)
    for (int64_t column = 0; column < columns.Count; ++column)
      drawer.Draw(canvas, int(columns.First + column * tileWidth),
                  int(rows.First + row * tileHeight), tileWidth, tileHeight);
}

void TPageViewer::PaintDocument(plat::TCanvas& canvas) {
  if (busy_) return;
  // From the top row on: a block background that crosses the top edge covers it too.
  const plat::TRect clip{0, 0, paintPanel_->Width(), paintPanel_->Height()};
  document_->Draw(canvas, clip, kMaxScrollWidth, -hScrollBar_->Position(), 0, 0, 0);
}

}  // namespace html
