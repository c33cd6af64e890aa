// The document's reaction to the mouse (hovered links and images) and its animation timer.
#include <algorithm>

#include "html/layout/sections/PageSections.h"
#include "platform/htmlservices/HtmlInput.h"

namespace html {

namespace {
constexpr unsigned kTickMs = 40;
}  // namespace

void SetAllHovers(TLinkRun& run, const std::vector<TLinkRun*>& runs, bool value) {
  run.SetHover(value);
  const size_t at = FindLinkRun(runs, run);
  if (at == runs.size()) return;
  const int32_t id = run.LinkID();
  for (size_t next = at + 1; next < runs.size() && runs[next]->LinkID() == id; ++next)
    runs[next]->SetHover(value);
  for (size_t prev = at; prev > 0 && runs[prev - 1]->LinkID() == id; --prev)
    runs[prev - 1]->SetHover(value);
}

void TDrawList::DrawImages(plat::TCanvas& canvas) {
  for (const auto& image : *this) image->Draw(canvas);
}

int TSectionList::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  TLinkRun* const oldLink = HoverLink;
  THoverImage* const oldImage = HoverImage;
  HoverLink = nullptr;
  HoverImage = nullptr;
  const int flags = TCell::HitTestLink(canvas, x, y, hit);
  if (HoverLinks && HoverLink != oldLink) {
    if (oldLink) SetAllHovers(*oldLink, LinkRuns, false);
    if (HoverLink) SetAllHovers(*HoverLink, LinkRuns, true);
    if (PaintPanel) PaintPanel->Invalidate();
  }
  if (HoverImage != oldImage && oldImage) oldImage->SetHover(THoverState::hvOff);
  if (HoverImage) {
    HoverImage->SetHover(plat::LeftMouseButtonDown() ? THoverState::hvOverDown
                                                     : THoverState::hvOverUp);
  }
  return flags;
}

void TSectionList::SetPressed(bool down) {
  if (!HoverImage) return;
  HoverImage->SetHover(down ? THoverState::hvOverDown : THoverState::hvOverUp);
  if (PaintPanel) PaintPanel->Invalidate();
}

void TSectionList::DropHover() {
  if ((HoverLink || HoverImage) && PaintPanel) PaintPanel->Invalidate();
  if (HoverLink) SetAllHovers(*HoverLink, LinkRuns, false);
  if (HoverImage) HoverImage->SetHover(THoverState::hvOff);
  HoverLink = nullptr;
  HoverImage = nullptr;
}

void TSectionList::AnimationTick() {
  const int backFrame = BackAnimation ? BackAnimation->CurrentFrame() : 0;
  // A picture's advance may repaint and so change the list; walk a copy.
  const std::vector<TGIFImage*> pictures = AnimatedImages;
  for (TGIFImage* picture : pictures) {
    if (picture->ShowIt) picture->AdvanceFrameIfDue(PaintPanel);
  }
  if (BackAnimation && BackAnimation->CurrentFrame() != backFrame && PaintPanel)
    PaintPanel->Invalidate();
  if (Timer) Timer->SetInterval(kTickMs);
}

}  // namespace html
