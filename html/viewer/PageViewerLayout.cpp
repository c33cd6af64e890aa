// The viewer's layout passes, scroll-bar arrangement and scrolling.
#include <algorithm>

#include "html/viewer/PageViewer.h"

namespace html {

namespace {

// Whether the page, laid out at some width, leaves content beside or below the view.
struct TFit {
  int32_t Width, Height, BarWidth, Border;
  int32_t ScrollWidth, ScrollHeight;
  bool TallerThanView() const { return Height - Border < ScrollHeight; }
  // Taller than the view less a horizontal bar that the width would bring.
  bool TallerBesideHorzBar(int32_t lastWidth) const {
    return Height - Border - BarWidth <= ScrollHeight && lastWidth < ScrollWidth;
  }
};

}  // namespace

void TPageViewer::LayoutAt(int32_t width) {
  const int32_t border = borderStyle_ == htNone ? 0 : 2;
  plat::TCanvas& canvas = measureBitmap_->Canvas();
  int32_t widest = 0, curs = 0;
  layoutWidth_ = width;
  scrollHeight_ = document_->Layout(canvas, 0, width, ClientHeight() - border, 0, widest, curs);
  scrollWidth_ = widest;
}

void TPageViewer::DoLayout() {
  busy_ = true;
  struct NotBusy {
    bool& busy;
    ~NotBusy() { busy = false; }
  } notBusy{busy_};

  const int32_t border = borderStyle_ == htNone ? 0 : 2;
  const int32_t wid = Width() - border;
  const bool vertical = scrollBars_ == plat::ssVertical || scrollBars_ == plat::ssBoth;
  const bool alwaysVert = (options_ & HtOption(htShowVScroll)) != 0;
  if (!vertical) {
    LayoutAt(wid);
  } else if (alwaysVert || int64_t(documentSource_.size()) >= kLongDocument) {
    LayoutAt(wid - vScrollBarWidth_);
  } else {
    auto needsBar = [&](bool besideBar) {
      const TFit fit{Width(), Height(), vScrollBarWidth_, border, scrollWidth_, scrollHeight_};
      if (fit.TallerThanView()) return true;
      if (scrollBars_ != plat::ssBoth) return false;
      const int32_t lastWidth = besideBar ? Width() - vScrollBarWidth_ - border : Width() - border;
      return fit.TallerBesideHorzBar(lastWidth);
    };
    LayoutAt(wid);
    if (needsBar(true)) {
      LayoutAt(wid - vScrollBarWidth_);
      if (!needsBar(false)) LayoutAt(wid);
    }
  }
  ArrangeScrollBars();
}

void TPageViewer::ArrangeScrollBars() {
  scrollWidth_ = std::min(scrollWidth_, kMaxScrollWidth);
  const int32_t edge = borderStyle_ == htNone ? 0 : 1;
  const int32_t border = 2 * edge;
  borderPanel_->SetVisible(false);
  if (edge) borderPanel_->SetVisible(true);

  const bool vertical = scrollBars_ == plat::ssVertical || scrollBars_ == plat::ssBoth;
  const bool alwaysVert = (options_ & HtOption(htShowVScroll)) != 0;
  const int32_t bar = vScrollBarWidth_;
  const bool noBars =
      scrollBars_ == plat::ssNone ||
      (!alwaysVert && Height() - border >= scrollHeight_ && Width() - border >= scrollWidth_);
  bool vNeeded = false, hBar = false, vBar = false;
  if (!noBars && vertical) {
    vNeeded = Height() - border <= scrollHeight_ ||
              (scrollBars_ == plat::ssBoth && Height() - border - bar <= scrollHeight_ &&
               Width() - bar - border < scrollWidth_);
    hBar = scrollBars_ == plat::ssBoth &&
           (Width() - border < scrollWidth_ ||
            ((vNeeded || alwaysVert) && Width() - bar - border < scrollWidth_));
    vBar = vNeeded || alwaysVert;
  } else if (!noBars && scrollBars_ == plat::ssHorizontal) {
    hBar = Width() - border < scrollWidth_;
  }

  const int32_t wid = vBar || (alwaysVert && vertical) ? Width() - bar : Width();
  const int32_t panelHeight = std::max(0, Height() - border - (hBar ? bar : 0));
  paintPanel_->SetBounds(edge, edge, std::max(0, wid - border), panelHeight);

  hScrollBar_->SetVisible(hBar);
  hScrollBar_->SetLargeChange(std::max(1, wid - 20));
  hScrollBar_->SetBounds(edge, Height() - bar - edge, std::max(0, wid - edge), bar);
  hScrollBar_->SetPageSize(std::max(0, wid));
  const int32_t horzMax = std::max({0, scrollWidth_, wid - border});
  hScrollBar_->SetParams(std::min(hScrollBar_->Position(), horzMax), 0, horzMax);

  vScrollBar_->SetBounds(Width() - bar - edge, edge, bar, panelHeight);
  // A short panel must still step forward on a page key.
  vScrollBar_->SetLargeChange(std::clamp(panelHeight - vScrollBar_->SmallChange(), 1, 32767));
  if (alwaysVert) {
    vScrollBar_->SetVisible(vertical);
    vScrollBar_->SetEnabled(vNeeded);
  } else {
    vScrollBar_->SetVisible(vBar);
    vScrollBar_->SetEnabled(true);
  }
  vScrollBar_->SetParams32(std::min(vScrollBar_->Position(), scrollHeight_), panelHeight + 1, 0,
                           scrollHeight_);
}

int32_t TPageViewer::MaxVertPosition() const {
  return std::max(0, scrollHeight_ - paintPanel_->Height());
}

int32_t TPageViewer::MaxHorzPosition() const {
  return std::max(0, hScrollBar_->Max() - paintPanel_->Width());
}

void TPageViewer::ScrollTo(int32_t y) {
  y = std::clamp(y, 0, MaxVertPosition());
  vScrollBar_->SetPosition32(y);
  document_->SetScrollY(y);
  paintPanel_->Invalidate();
}

void TPageViewer::SetHorzPosition(int32_t x) {
  hScrollBar_->SetPosition(std::clamp(x, 0, MaxHorzPosition()));
  MovedSideways();
}

void TPageViewer::MovedSideways() {
  // As after a vertical move, the windows of the page that the next paint does not place are
  // put away: a line cut by the panel's edge no longer places what lies beyond it.
  document_->SetScrollY(document_->ScrollY);
  paintPanel_->Invalidate();
}

void TPageViewer::ScrollVertically(plat::TScrollCode code, int& pos) {
  int32_t y = vScrollBar_->Position();
  switch (code) {
    case plat::scTrack:
    case plat::scPosition:
      y = pos;
      break;
    case plat::scLineUp:
      y -= vScrollBar_->SmallChange();
      break;
    case plat::scLineDown:
      y += vScrollBar_->SmallChange();
      break;
    case plat::scPageUp:
      y -= vScrollBar_->LargeChange();
      break;
    case plat::scPageDown:
      y += vScrollBar_->LargeChange();
      break;
    case plat::scTop:
      y = 0;
      break;
    case plat::scBottom:
      y = MaxVertPosition();
      break;
    default:
      break;
  }
  y = std::clamp(y, 0, MaxVertPosition());
  pos = y;
  document_->SetScrollY(y);
  paintPanel_->Invalidate();
}

void TPageViewer::ScrollHorizontally(int& pos) {
  pos = std::clamp(pos, 0, MaxHorzPosition());
  MovedSideways();
}

void TPageViewer::Relayout() {
  const TEncodedPosition position = EncodedPosition();
  if (processing_) {
    ArrangeScrollBars();
  } else {
    SetProcessing(true);
    try {
      document_->ProgressStart = 0;
      if (OnProgress) OnProgress(this, plat::psStarting, 0);
      DoLayout();
      RestorePosition(position);
      if (OnProgress) OnProgress(this, plat::psEnding, 100);
    } catch (...) {
      SetProcessing(false);
      throw;
    }
    SetProcessing(false);
  }
  ScrollTo(paintPanel_->Height() > scrollHeight_ ? 0 : Position());
  SetHorzPosition(hScrollBar_->Position());
}

void TPageViewer::Resize() {
  plat::TCustomControl::Resize();
  if (creating_) return;
  Relayout();
}

}  // namespace html
