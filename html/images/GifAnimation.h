// GIF pictures of pages, animated or not: every frame composed in one strip with its mask (side
// by side, in rows when they would pass a picture's side), drawn a frame at a time and advanced
// by the document's timer once a frame's delay has passed on the millisecond clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "platform/windows/Controls.h"

namespace html {

// Milliseconds of a clock that wraps at 32 bits; frame delays are measured with it.
uint32_t AnimationTime();
// Replaces the clock (tests step it by hand); an empty function restores the system clock.
void SetAnimationClock(std::function<uint32_t()> clock);

// A bitmap drawn through its own mask: where the mask is white the destination stays.
class ThtBitmap : public plat::TBitmap {
 public:
  // Monochrome, white where the picture is transparent.
  std::unique_ptr<plat::TBitmap> MaskBitmap;
  bool HasMask = false;

  void Draw(plat::TCanvas& canvas, const plat::TRect& rect) const override;
  // Stretches sourceRect of the bitmap into destRect of the canvas; a source rectangle that is
  // empty or reaches outside the bitmap draws nothing.
  void StretchDrawPart(plat::TCanvas& canvas, const plat::TRect& destRect,
                       const plat::TRect& sourceRect) const;
};

// A frame's place in the logical screen and how long it shows.
struct TgfFrame {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t Delay = 0;  // milliseconds
  uint8_t Disposal = 0;
};

class TGIFImage : public plat::TPersistent {
 public:
  TGIFImage();
  // Shares source's strip, with frames of its own, at frame 1 and not animating.
  static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage& source);
  ~TGIFImage() override;
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  bool IsAnimated() const { return isAnimated_; }
  int CurrentFrame() const { return currentFrame_; }
  // Above NumFrames gives 1, below 1 gives NumFrames.
  void SetCurrentFrame(int value);
  int Width() const { return width_; }
  int Height() const { return height_; }
  int NumFrames() const { return numFrames_; }
  // 0 plays for ever, n plays the sequence n times.
  int NumIterations() const { return numIterations_; }
  int CurrentIteration() const { return currentIteration_; }
  bool IsTransparent() const { return isTransparent_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  bool Animate() const { return animate_; }
  void SetAnimate(bool value);
  bool IsCopy() const { return isCopy_; }
  // Set by the image that draws this GIF; the document's timer advances only GIFs that have it.
  bool ShowIt = false;
  const plat::TRect& DestRect() const { return destRect_; }
  const std::vector<TgfFrame>& Frames() const { return frames_; }
  const ThtBitmap* Strip() const { return strip_.get(); }
  // Where frame index (from 1) stands in the strip.
  plat::TRect FrameRect(int index) const;

  // Draws the current frame stretched into (x, y, x + w, y + h).
  void Draw(plat::TCanvas& canvas, int x, int y, int w, int h);
  // Shows the next frame when the current one's delay has passed, and has control repaint the
  // last drawn rectangle (control may be nullptr).
  void AdvanceFrameIfDue(plat::TWinControl* control);

  // The first frame (whatever frame is current) and its mask, made on first request.
  plat::TBitmap* GetFrameBitmap();
  plat::TBitmap* GetBitmap() { return GetFrameBitmap(); }
  // nullptr unless the GIF is transparent.
  plat::TBitmap* GetMaskBitmap();

 private:
  friend std::unique_ptr<TGIFImage> LoadGifImageFromStream(bool& nonAnimated,
                                                           plat::TStream& stream);

  bool isAnimated_ = false;
  int currentFrame_ = 1;
  int width_ = 0, height_ = 0;
  int numFrames_ = 0;
  int numIterations_ = 0;
  bool isTransparent_ = false;
  bool visible_ = true;
  std::shared_ptr<ThtBitmap> strip_;
  std::unique_ptr<plat::TBitmap> bitmap_;
  std::unique_ptr<plat::TBitmap> maskedBitmap_;
  bool animate_ = false;
  plat::TRect destRect_;
  std::vector<TgfFrame> frames_;
  int currentIteration_ = 1;
  uint32_t lastTime_ = 0;
  uint32_t currentInterval_ = 0;
  bool isCopy_ = false;
};

// A new image from the GIF data, or nullptr when anything fails. nonAnimated tells whether the
// GIF has fewer than 2 frames.
std::unique_ptr<TGIFImage> LoadGifImageFromStream(bool& nonAnimated, plat::TStream& stream);
std::unique_ptr<TGIFImage> LoadGifImageFromFile(const std::string& fileName, bool& nonAnimated);

}  // namespace html
