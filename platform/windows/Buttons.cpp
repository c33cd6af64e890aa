#include "platform/windows/Buttons.h"

#include "platform/drawing/Edges.h"
#include "platform/windows/ControlHost.h"
#include "platform/windows/Forms.h"

namespace plat {

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
  struct KindInfo {
    const char* caption;
    TModalResult result;
  };
  static const KindInfo kinds[] = {
      {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
      {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
      {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
  };
  kind_ = kind;
  if (kind == bkCustom) return;
  SetCaption(kinds[kind].caption);
  SetModalResult(kinds[kind].result);
  SetDefault(kind == bkOK || kind == bkYes);
  SetCancel(kind == bkCancel || kind == bkNo);
}

void TBitBtn::Click() {
  TCustomForm* form = GetParentForm();
  if (kind_ == bkClose && form) {
    form->Close();
    return;
  }
  TButton::Click();
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (!v && !allowAllUp_ && groupIndex_ != 0) {
    // The last button of an exclusive group stays down unless another one goes down.
    bool another = false;
    if (Parent())
      for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
            b && b != this && b->groupIndex_ == groupIndex_ && b->down_)
          another = true;
    if (!another) return;
  }
  down_ = v;
  if (v && Parent())
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (auto b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
          b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
        b->down_ = false;
        b->Invalidate();
      }
  Invalidate();
}

void TSpeedButton::Click() {
  if (groupIndex_ != 0) SetDown(allowAllUp_ ? !down_ : true);
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    pressed_ = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressed_ = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Paint() {
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  bool sunk = pressed_ || down_;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(r);
  if (!flat_ || sunk) DrawEdge(canvas, r, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  if (sunk) r = r.Offset(1, 1);
  DrawControlText(canvas, *Font(), Enabled() ? Font()->Color() : clGrayText, r,
                  WithoutMnemonics(Caption()), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace plat
