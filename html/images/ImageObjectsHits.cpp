// Image objects under the mouse: the hover frames of ACTIVE GIFs and the point inside a picture.
#include <algorithm>

#include "html/images/ImageObjects.h"
#include "html/layout/sections/PageSections.h"

namespace html {

void TImageObj::SetHover(THoverState state) {
  if (state == HoverState) return;
  HoverState = state;
  auto* gif = dynamic_cast<TGIFImage*>(Image);
  if (!HasActive || !gif) return;
  std::vector<TGIFImage*>& animated = Document->AnimatedImages;
  if (state != THoverState::hvOff) {
    // Two frames: normal and hovered; three: normal, hovered and pressed.
    if (gif->NumFrames() == 2) {
      gif->SetCurrentFrame(2);
    } else if (gif->NumFrames() == 3) {
      gif->SetCurrentFrame(state == THoverState::hvOverDown ? 3 : 2);
    } else {
      gif->SetAnimate(true);
      if (std::find(animated.begin(), animated.end(), gif) == animated.end())
        animated.push_back(gif);
    }
  } else {
    gif->SetAnimate(false);
    if (gif->NumFrames() < 4) gif->SetCurrentFrame(1);
    std::erase(animated, gif);
  }
  if (Document->PaintPanel) Document->PaintPanel->Invalidate();
}

bool TImageObj::PointInside(int32_t x, int32_t y, int32_t& insideX, int32_t& insideY) const {
  const int64_t ix = int64_t(x) - DrawX, iy = int64_t(y) - DrawY;
  if (ix < 0 || iy < 0 || ix >= int64_t(ImageWidth) - 2 * BorderSize ||
      iy >= int64_t(ImageHeight) - 2 * BorderSize)
    return false;
  insideX = int32_t(ix);
  insideY = int32_t(iy);
  return true;
}

}  // namespace html
