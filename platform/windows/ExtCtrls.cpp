#include "platform/windows/ExtCtrls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <algorithm>

#include "platform/drawing/Edges.h"
#include "platform/windows/ControlHost.h"

namespace plat {
namespace {

void FillRect(TCanvas& canvas, const TRect& r, TColor color) {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(r);
}

void BevelFrame(TCanvas& canvas, TRect& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
  TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  if (cut == bvSpace) top = bottom = clBtnFace;
  Frame3D(canvas, r, top, bottom, width);
}

}  // namespace

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut v) {
  bevelOuter_ = v;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut v) {
  bevelInner_ = v;
  Invalidate();
}

void TPanel::SetBevelWidth(int v) {
  bevelWidth_ = std::max(1, v);
  Invalidate();
}

void TPanel::SetBorderWidth(int v) {
  borderWidth_ = std::max(0, v);
  Invalidate();
}

void TPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}

void TPanel::Paint() {
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  BevelFrame(canvas, r, bevelOuter_, bevelWidth_);
  Frame3D(canvas, r, Color(), Color(), borderWidth_);
  BevelFrame(canvas, r, bevelInner_, bevelWidth_);
  FillRect(canvas, r, Color());
  uint32_t format = DT_SINGLELINE | DT_VCENTER |
                    (alignment_ == taCenter         ? DT_CENTER
                     : alignment_ == taRightJustify ? DT_RIGHT
                                                    : DT_LEFT);
  if (!Caption().empty())
    DrawControlText(canvas, *Font(), Font()->Color(), r, WithoutMnemonics(Caption()), format);
}

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner) {
  auto box = std::make_unique<QGroupBox>();
  box->setLayout(new QGridLayout);  // owned by the group box
  SetWidget(std::move(box));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  // The group is one Tab stop through its checked item, not through its frame.
  Widget()->setFocusPolicy(Qt::NoFocus);
  SetBounds(0, 0, 185, 105);
}

QRadioButton* TRadioGroup::ItemWidget(int index) const {
  QLayoutItem* item = static_cast<QGridLayout*>(Widget()->layout())->itemAt(index);
  return item ? qobject_cast<QRadioButton*>(item->widget()) : nullptr;
}

void TRadioGroup::ShowItemIndex() {
  // Only the checked item (or the first, with none checked) is reached by Tab.
  int stop = std::max(itemIndex_, 0);
  for (int i = 0; QRadioButton* radio = ItemWidget(i); ++i) {
    radio->setChecked(i == itemIndex_);
    radio->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

bool TRadioGroup::StepItem(int from, int step) {
  int count = items_.Count();
  if (count == 0) return false;
  // The arrows go round the items. From the checked item they check the one they reach; from an
  // unchecked one (a group with nothing checked) they only move the focus, and Space chooses.
  // Menus that act on the first choice stay reachable item by item from the keyboard.
  int next = (from + step + count) % count;
  if (from == itemIndex_) SetItemIndex(next);
  if (QRadioButton* radio = ItemWidget(next)) radio->setFocus(Qt::OtherFocusReason);
  return true;
}

TStringList* TRadioGroup::Items() {
  PostMessage(this, CM_SYNCITEMS);
  return &items_;
}

void TRadioGroup::WndProc(TMessage& m) {
  if (m.Msg == CM_SYNCITEMS) return SyncItems();
  TWinControl::WndProc(m);
}

void TRadioGroup::ApplyText() {
  static_cast<QGroupBox*>(Widget())->setTitle(ToQString(Caption()));
}

void TRadioGroup::Loaded() {
  TWinControl::Loaded();
  SyncItems();
}

void TRadioGroup::SetColumns(int v) {
  columns_ = std::clamp(v, 1, 16);
  Rebuild();
}

void TRadioGroup::SyncItems() {
  if (items_.Text() == shownItems_) return;
  Rebuild();
}

void TRadioGroup::Rebuild() {
  shownItems_ = items_.Text();
  auto grid = static_cast<QGridLayout*>(Widget()->layout());
  while (QLayoutItem* item = grid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  int count = items_.Count();
  int rows = (count + columns_ - 1) / columns_;
  for (int i = 0; i < count; ++i) {
    auto radio = new QRadioButton(ToQString(items_.Strings(i)), Widget());  // owned by the box
    radio->setAutoExclusive(false);
    radio->setChecked(i == itemIndex_);
    QObject::connect(radio, &QRadioButton::clicked, SignalContext(), [this, i, radio] {
      radio->setChecked(true);  // a click only ever checks
      if (i != itemIndex_) GuardEvent([&] { SetItemIndex(i); });
    });
    HookArrowKeys(radio, radio, [this, i](int step, bool) { return StepItem(i, step); });
    grid->addWidget(radio, rows ? i % rows : 0, rows ? i / rows : 0);
  }
  if (itemIndex_ >= count) itemIndex_ = -1;
  ShowItemIndex();
}

void TRadioGroup::SetItemIndex(int index) {
  SyncItems();
  if (index < -1 || index >= items_.Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  ShowItemIndex();
  if (index >= 0 && !Loading()) Click();
}

// ---- TImage ----

TImage::TImage(TComponent* owner)
    : TGraphicControl(owner), picture_(std::make_unique<plat::TPicture>()) {
  picture_->OnChange = [this](TObject*) { Invalidate(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}

void TImage::SetProportional(bool v) {
  proportional_ = v;
  Invalidate();
}

TRect TImage::DestRect() const {
  int w = picture_->Width(), h = picture_->Height();
  int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      // Largest size with the picture's proportions that fits.
      if (int64_t{cw} * h > int64_t{ch} * w) {
        w = static_cast<int>(int64_t{w} * ch / h);
        h = ch;
      } else {
        h = static_cast<int>(int64_t{h} * cw / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (center_) r = r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic) return;
  TRect r = DestRect();
  if (r.Width() == picture_->Width() && r.Height() == picture_->Height())
    Canvas()->Draw(r.Left, r.Top, *graphic);
  else
    Canvas()->StretchDraw(r, *graphic);
}

// ---- TShape ----

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  pen_.OnChange = [this](TObject*) { Invalidate(); };
  brush_.OnChange = [this](TObject*) { Invalidate(); };
  SetBounds(0, 0, 65, 65);
}

void TShape::SetShape(TShapeType v) {
  shape_ = v;
  Invalidate();
}

void TShape::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.SetPen(pen_);
  canvas.SetBrush(brush_);
  int inset = pen_.Width() / 2;
  int x = inset, y = inset;
  int w = Width() - pen_.Width() + 1, h = Height() - pen_.Width() + 1;
  if (pen_.Width() == 0) --w, --h;
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare:
      canvas.Rectangle(x, y, x + w, y + h);
      break;
    case stRoundRect:
    case stRoundSquare:
      canvas.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
      break;
    default:
      canvas.Ellipse(x, y, x + w, y + h);
      break;
  }
}

// ---- TBevel ----

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 50, 50);
  SetParentColor(true);
}

void TBevel::SetShape(TBevelShape v) {
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& canvas = *Canvas();
  TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = Width(), h = Height();
  switch (shape_) {
    case bsBox: {
      TRect r{0, 0, w, h};
      Frame3D(canvas, r, first, second, 1);
      break;
    }
    case bsFrame: {
      TRect outer{0, 0, w - 1, h - 1}, inner{1, 1, w, h};
      Frame3D(canvas, inner, second, second, 1);
      Frame3D(canvas, outer, first, first, 1);
      break;
    }
    case bsTopLine:
      FillRect(canvas, {0, 0, w, 1}, first);
      FillRect(canvas, {0, 1, w, 2}, second);
      break;
    case bsBottomLine:
      FillRect(canvas, {0, h - 2, w, h - 1}, first);
      FillRect(canvas, {0, h - 1, w, h}, second);
      break;
    case bsLeftLine:
      FillRect(canvas, {0, 0, 1, h}, first);
      FillRect(canvas, {1, 0, 2, h}, second);
      break;
    case bsRightLine:
      FillRect(canvas, {w - 2, 0, w - 1, h}, first);
      FillRect(canvas, {w - 1, 0, w, h}, second);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TColorGrid ----

const std::array<TColor, 16>& TColorGrid::Palette() {
  static const std::array<TColor, 16> palette = {
      clBlack,  clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clGray,
      clSilver, clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
  return palette;
}

TColorGrid::TColorGrid(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle((ControlStyle() | csOpaque) & ~csDoubleClicks);
  SetBounds(0, 0, 100, 100);
}

void TColorGrid::SetForegroundIndex(int v) {
  v = std::clamp(v, 0, 15);
  if (v == foregroundIndex_) return;
  foregroundIndex_ = v;
  Invalidate();
  if (!Loading() && OnChange) OnChange(this);
}

void TColorGrid::SetBackgroundIndex(int v) {
  v = std::clamp(v, 0, 15);
  if (v == backgroundIndex_) return;
  backgroundIndex_ = v;
  Invalidate();
  if (!Loading() && OnChange) OnChange(this);
}

void TColorGrid::SetForegroundEnabled(bool v) {
  foregroundEnabled_ = v;
  Invalidate();
}

void TColorGrid::SetBackgroundEnabled(bool v) {
  backgroundEnabled_ = v;
  Invalidate();
}

TRect TColorGrid::CellRect(int index) const {
  int w = ClientWidth() / 4, h = ClientHeight() / 4;
  int col = index % 4, row = index / 4;
  return {col * w, row * h, col * w + w, row * h + h};
}

int TColorGrid::ColorIndexAt(int x, int y) const {
  for (int i = 0; i < 16; ++i)
    if (CellRect(i).Contains({x, y})) return i;
  return -1;
}

void TColorGrid::Paint() {
  TCanvas& canvas = *Canvas();
  for (int i = 0; i < 16; ++i) {
    TRect r = CellRect(i);
    FillRect(canvas, r, Palette()[static_cast<size_t>(i)]);
    // Marks: FG in the top-left corner, BG in the bottom-right, drawn in a contrasting colour.
    TColor mark = i < 8 ? clWhite : clBlack;
    if (foregroundEnabled_ && i == foregroundIndex_)
      DrawControlText(canvas, *Font(), mark, r, "FG", DT_LEFT | DT_TOP | DT_SINGLELINE);
    if (backgroundEnabled_ && i == backgroundIndex_)
      DrawControlText(canvas, *Font(), mark, r, "BG", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  }
}

void TColorGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  int index = ColorIndexAt(x, y);
  if (index >= 0 && button == mbLeft && foregroundEnabled_) SetForegroundIndex(index);
  if (index >= 0 && button == mbRight && backgroundEnabled_) SetBackgroundIndex(index);
  TCustomControl::MouseDown(button, shift, x, y);
}

// ---- THintWindow ----

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  Widget()->setParent(nullptr);
  Widget()->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
  SetBorderStyle(bsSingle);
  SetVisible(false);
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  DeviceContext measure;
  measure.SelectFont(Font()->LogFont());
  TRect r{0, 0, maxWidth, 0};
  measure.DrawText(QString::fromStdString(text).toStdU16String(), r,
                   DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // Room for the border and a small margin on each side.
  return {0, 0, r.Right + 6, r.Bottom + 2};
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& text) {
  SetCaption(text);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  Show();
  Widget()->raise();
  Invalidate();
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  r.Left += 2;
  r.Right -= 2;
  DrawControlText(*Canvas(), *Font(), Font()->Color(), r, Caption(),
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace plat
