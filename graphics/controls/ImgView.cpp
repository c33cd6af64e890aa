#include "graphics/controls/ImgView.h"

#include <algorithm>
#include <cstdint>
#include <cmath>

#include "platform/drawing/Edges.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"

namespace gfx {
namespace {

// Rounded half to even in 64 bits; a margin times a scale fits there whatever the two are.
int64_t RoundWide(double V) {
  if (std::isnan(V)) return 0;
  return int64_t(std::nearbyint(std::clamp(V, -0x1p62, 0x1p62)));
}

// A bar's range is held at the ends of 32 bits only when it does not fit.
int32_t HeldRange(int64_t V) {
  return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TIVScrollProperties ----

uint16_t TIVScrollProperties::Increment() const {
  return view_.HorzBar().Increment();
}

void TIVScrollProperties::SetIncrement(uint16_t Value) {
  view_.HorzBar().SetIncrement(Value);
  view_.VertBar().SetIncrement(Value);
}

int32_t TIVScrollProperties::Size() const {
  return view_.ScrollBarSize();
}

void TIVScrollProperties::SetSize(int32_t Value) {
  view_.SetScrollBarSize(Value);
}

TScrollBarVisibility TIVScrollProperties::Visibility() const {
  return view_.ScrollBarVisibility();
}

void TIVScrollProperties::SetVisibility(TScrollBarVisibility Value) {
  view_.SetScrollBarVisibility(Value);
}

void TIVScrollProperties::Assign(const plat::TPersistent& Source) {
  TArrowBarAccess::Assign(Source);
  if (const auto* other = dynamic_cast<const TIVScrollProperties*>(&Source)) {
    SetIncrement(other->Increment());
    SetSize(other->Size());
    SetVisibility(other->Visibility());
  }
}

// ---- TCustomImgView32 ----

TCustomImgView32::TCustomImgView32(plat::TComponent* Owner) : TCustomImage32(Owner) {
  scrollBarSize_ = plat::TScrollBar::DefaultBarSize();
  auto makeBar = [this](plat::TScrollBarKind kind) {
    auto bar = std::make_unique<TCustomRangeBar>(nullptr);
    bar->SetKind(kind);
    bar->SetBorderStyle(plat::bsNone);
    bar->SetCentered(true);
    bar->OnUserChange = [this](plat::TObject* sender) { ScrollHandler(sender); };
    // A bar moved otherwise (the wheel turned over it) moves the picture too, unannounced.
    bar->OnChange = [this](plat::TObject*) {
      if (!scrollLock_) AlignAll();
    };
    bar->SetParent(this);
    return bar;
  };
  horzBar_ = makeBar(plat::sbHorizontal);
  vertBar_ = makeBar(plat::sbVertical);
  scrollBars_ = std::make_unique<TIVScrollProperties>(*this, horzBar_.get(), vertBar_.get());
  centered_ = true;
  SetScaleMode(smScale);
  SetBitmapAlign(baCustom);
  LayoutBars();
}

TCustomImgView32::~TCustomImgView32() {
  for (TCustomRangeBar* bar : {horzBar_.get(), vertBar_.get()}) {
    bar->OnUserChange = nullptr;
    bar->OnChange = nullptr;
  }
  scrollBars_.reset();
}

int64_t TCustomImgView32::ScaledOverSize() {
  return RoundWide(double(overSize_) * ScaleX());
}

bool TCustomImgView32::BarsShown() {
  if (!scrollBars_ || !horzBar_ || !vertBar_) return true;
  switch (scrollBarVisibility_) {
    case svAlways:
      return true;
    case svHidden:
      return false;
    case svAuto:
      return horzBar_->Range() > horzBar_->VisibleSpan() + vertBar_->Width() ||
             vertBar_->Range() > vertBar_->VisibleSpan() + horzBar_->Height();
    default:
      return true;
  }
}

int32_t TCustomImgView32::BarThickness() {
  if (!BarsShown()) return 0;
  return scrollBarSize_ != 0 ? scrollBarSize_ : plat::TScrollBar::DefaultBarSize();
}

TRect TCustomImgView32::ViewportRect() {
  const int32_t s = BarThickness();
  return {0, 0, AddCoordinates(Width(), -int64_t(s)), AddCoordinates(Height(), -int64_t(s))};
}

TRect TCustomImgView32::GripRect() {
  TRect r = Parent() ? ClientRect() : TRect{0, 0, Width(), Height()};
  const int32_t s = BarThickness();
  r.Left = AddCoordinates(r.Right, -int64_t(s));
  r.Top = AddCoordinates(r.Bottom, -int64_t(s));
  return r;
}

bool TCustomImgView32::GripShown() {
  switch (sizeGrip_) {
    case sgAlways:
      return true;
    case sgNone:
      return false;
    default: {
      if (Align() != plat::alClient) return false;
      for (plat::TControl* c = Parent(); c; c = c->Parent()) {
        if (dynamic_cast<plat::TCustomForm*>(c)) return true;
        if (c->Align() != plat::alClient) return false;
      }
      return true;
    }
  }
}

void TCustomImgView32::LayoutBars() {
  if (!horzBar_ || !vertBar_ || Width() < 1 || Height() < 1) return;
  TRect v = ViewportRect();
  bool shown = BarsShown();
  horzBar_->SetBoundsRect({v.Left, v.Bottom, v.Right, Height()});
  vertBar_->SetBoundsRect({v.Right, v.Top, Width(), v.Bottom});
  horzBar_->SetVisible(shown);
  vertBar_->SetVisible(shown);
  horzBar_->Repaint();
  vertBar_->Repaint();
  // Bars that come or go change the viewport, and the buffer must cover it.
  FitBuffer();
}

void TCustomImgView32::UpdateScrollBars() {
  if (!horzBar_ || !vertBar_) return;
  plat::TSize s = GetBitmapSize();
  const int64_t m = RoundWide(2.0 * overSize_ * ScaleX());
  horzBar_->SetRange(HeldRange(s.cx + m));
  vertBar_->SetRange(HeldRange(s.cy + m));
  if (scrollBarVisibility_ == svAuto) LayoutBars();
}

void TCustomImgView32::AlignAll() {
  if (!horzBar_ || !vertBar_) return;
  plat::TSize s = GetBitmapSize();
  const int64_t o = ScaledOverSize();
  TRect v = ViewportRect();
  const int64_t w = int64_t(v.Right) - v.Left, h = int64_t(v.Bottom) - v.Top;
  // In double, rounded once: a single-precision sum would move far positions by whole pixels.
  auto scrolled = [o](const TCustomRangeBar& bar) { return float(double(o) - bar.Position()); };
  BeginUpdate();
  if (centered_) {
    SetOffsetHorz(w <= 2 * o + s.cx ? scrolled(*horzBar_) : float((w - s.cx) / 2.0));
    SetOffsetVert(h <= 2 * o + s.cy ? scrolled(*vertBar_) : float((h - s.cy) / 2.0));
  } else {
    SetOffsetHorz(scrolled(*horzBar_));
    SetOffsetVert(scrolled(*vertBar_));
  }
  DropCache();
  EndUpdate();
  Changed();
}

void TCustomImgView32::CenterOn(int32_t X, int32_t Y) {
  if (!horzBar_ || !vertBar_) return;
  scrollLock_ = true;
  LayoutBars();
  const double o = double(ScaledOverSize());
  TRect v = ViewportRect();
  // The vertical axis also uses the horizontal scale: both are always equal.
  horzBar_->SetPosition(float(X * double(ScaleX()) - (v.Right - v.Left) * 0.5 + o));
  vertBar_->SetPosition(float(Y * double(ScaleX()) - (v.Bottom - v.Top) * 0.5 + o));
  scrollLock_ = false;
  AlignAll();
}

void TCustomImgView32::Recenter() {
  if (!horzBar_ || !vertBar_) return;
  DropCache();
  horzBar_->SetCentered(centered_);
  vertBar_->SetCentered(centered_);
  UpdateScrollBars();
  AlignAll();
  if (centered_)
    CenterOn(Bitmap().Width() / 2, Bitmap().Height() / 2);
  else
    CenterOn(0, 0);
}

void TCustomImgView32::SetCentered(bool Value) {
  centered_ = Value;
  Recenter();
}

void TCustomImgView32::SetScaleMode(TScaleMode Value) {
  TCustomImage32::SetScaleMode(Value);
  Recenter();
}

// The margin widens the ranges and moves the picture at once, whatever was set before it.
void TCustomImgView32::SetOverSize(int32_t Value) {
  if (Value == overSize_) return;
  overSize_ = Value;
  UpdateScrollBars();
  AlignAll();
  Invalidate();
}

void TCustomImgView32::SetSizeGrip(TSizeGripStyle Value) {
  if (Value == sizeGrip_) return;
  sizeGrip_ = Value;
  Invalidate();
}

// A negative size means the system's, as 0 does.
void TCustomImgView32::SetScrollBarSize(int32_t Value) {
  scrollBarSize_ = std::max(Value, 0);
  LayoutBars();
  AlignAll();
}

void TCustomImgView32::SetScrollBarVisibility(TScrollBarVisibility Value) {
  if (Value == scrollBarVisibility_) return;
  scrollBarVisibility_ = Value;
  Resize();
}

void TCustomImgView32::DoScroll() {
  if (OnScroll) OnScroll(this);
}

void TCustomImgView32::ScrollHandler(plat::TObject* Sender) {
  if (scrollLock_) return;
  if (auto* bar = dynamic_cast<plat::TControl*>(Sender)) bar->Repaint();
  AlignAll();
  DoScroll();
  Repaint();
}

void TCustomImgView32::BitmapResized() {
  TCustomImage32::BitmapResized();
  if (!horzBar_ || !vertBar_) return;
  UpdateScrollBars();
  if (centered_) {
    CenterOn(Bitmap().Width() / 2, Bitmap().Height() / 2);
  } else {
    horzBar_->SetPosition(0);
    vertBar_->SetPosition(0);
    AlignAll();
  }
}

void TCustomImgView32::ScaleChanged() {
  TCustomImage32::ScaleChanged();
  DropCache();
  UpdateScrollBars();
  AlignAll();
  Invalidate();
}

void TCustomImgView32::Loaded() {
  LayoutBars();
  Invalidate();
  UpdateScrollBars();
  if (centered_) CenterOn(Bitmap().Width() / 2, Bitmap().Height() / 2);
  TCustomImage32::Loaded();
}

void TCustomImgView32::Resize() {
  LayoutBars();
  InvalidateRect(GripRect());
  DropCache();
  UpdateScrollBars();
  AlignAll();
  Invalidate();
  TCustomImage32::Resize();
}

void TCustomImgView32::Paint() {
  if (Parent() && InsideCustomPaint()) {
    TRect grip = GripRect();
    if (!grip.IsEmpty()) {
      if (GripShown()) {
        Canvas()->Brush().SetColor(plat::clBtnFace);
        Canvas()->FillRect(grip);
        plat::DrawFrameControl(*Canvas(), grip, plat::DFC_SCROLL, plat::DFCS_SCROLLSIZEGRIP);
      } else {
        Canvas()->Brush().SetColor(plat::clBtnFace);
        Canvas()->FillRect(grip);
      }
    }
  }
  TCustomImage32::Paint();
}

void TCustomImgView32::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
  auto* form = dynamic_cast<plat::TCustomForm*>(Owner());
  if (form && GripShown() && GripRect().Contains({X, Y})) {
    // The view lets go of the mouse and asks the form's window to be sized from its bottom-right
    // corner, as a press on the frame's corner would.
    SetMouseCapture(false);
    const plat::TPoint screen = ClientToScreen({X, Y});
    form->Perform(plat::WM_NCLBUTTONDOWN, plat::HTBOTTOMRIGHT,
                  plat::MakeLParam(screen.X, screen.Y));
    return;
  }
  TCustomImage32::MouseDown(Button, Shift, X, Y);
}

void TCustomImgView32::MouseMove(plat::TShiftState Shift, int X, int Y) {
  TCustomImage32::MouseMove(Shift, X, Y);
  if (GripShown() && GripRect().Contains({X, Y})) plat::Screen().SetCursor(plat::crSizeNWSE);
}

}  // namespace gfx
