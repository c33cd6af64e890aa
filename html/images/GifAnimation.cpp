// Loading GIF pictures for pages, drawing their current frame and stepping the animation.
#include "html/images/GifAnimation.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "html/HtmlEngine.h"
#include "html/images/GifFrames.h"
#include "html/images/ImageLoading.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/runtime/Files.h"

namespace html {

namespace {

std::function<uint32_t()>& ClockOverride() {
  static std::function<uint32_t()> clock;
  return clock;
}

// Frame delays below this many milliseconds are raised to it.
constexpr int32_t kMinFrameDelay = 30;

int32_t ClampedSum(int32_t a, int32_t b) {
  return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

}  // namespace

uint32_t AnimationTime() {
  if (const auto& clock = ClockOverride()) return clock();
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetAnimationClock(std::function<uint32_t()> clock) {
  ClockOverride() = std::move(clock);
}

std::unique_ptr<TGIFImage> LoadGifImageFromStream(bool& nonAnimated, plat::TStream& stream) {
  nonAnimated = true;
  try {
    TGif gif;
    gif.LoadFromStream(stream);
    auto image = std::make_unique<TGIFImage>();
    image->numFrames_ = gif.GetImageCount();
    image->isAnimated_ = image->numFrames_ >= 2;
    image->width_ = gif.GetWidth();
    image->height_ = gif.GetHeight();
    // No loop block plays once; a loop count n repeats the sequence n more times.
    const int32_t loops = gif.LoopCount();
    image->numIterations_ = loops < 0 ? 1 : loops == 0 ? 0 : loops + 1;
    image->isTransparent_ = gif.GetTransparent();

    auto strip = std::make_shared<ThtBitmap>();
    std::unique_ptr<plat::TBitmap> mask;
    gif.BuildFramesBitmap(*strip, mask);  // in place: a copy would hold it twice
    strip->HasMask = mask != nullptr;
    strip->MaskBitmap = std::move(mask);
    strip->ReleasePalette();
    if (const plat::TPalette* viewerPalette = ViewerPalette())
      strip->SetPalette(CopyViewerPalette(*viewerPalette));
    image->strip_ = std::move(strip);

    for (int i = 0; i < image->numFrames_; ++i)
      image->frames_.push_back(
          {gif.GetImageLeft(i), gif.GetImageTop(i), gif.GetImageWidth(i), gif.GetImageHeight(i),
           std::max(kMinFrameDelay, 10 * gif.GetImageDelay(i)), uint8_t(gif.GetImageDisposal(i))});
    nonAnimated = image->numFrames_ < 2;
    return image;
  } catch (...) {
    // A GIF that fails to load is a picture that is not there; the caller shows its error image.
    return nullptr;
  }
}

std::unique_ptr<TGIFImage> LoadGifImageFromFile(const std::string& fileName, bool& nonAnimated) {
  nonAnimated = true;
  try {
    // Weighed before it is read: the decoder takes the whole file into memory.
    const std::string bytes = plat::ReadFileBytes(fileName, kMaxImageFileBytes);
    plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    return LoadGifImageFromStream(nonAnimated, stream);
  } catch (...) {
    return nullptr;
  }
}

TGIFImage::TGIFImage() = default;
TGIFImage::~TGIFImage() = default;

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage& source) {
  auto copy = std::make_unique<TGIFImage>();
  copy->isAnimated_ = source.isAnimated_;
  copy->width_ = source.width_;
  copy->height_ = source.height_;
  copy->numFrames_ = source.numFrames_;
  copy->numIterations_ = source.numIterations_;
  copy->isTransparent_ = source.isTransparent_;
  copy->visible_ = source.visible_;
  copy->strip_ = source.strip_;
  copy->isCopy_ = true;
  copy->frames_ = source.frames_;
  return copy;
}

void TGIFImage::SetCurrentFrame(int value) {
  if (value == currentFrame_) return;
  currentFrame_ = value > numFrames_ ? 1 : value < 1 ? numFrames_ : value;
}

void TGIFImage::SetAnimate(bool value) {
  if (value == animate_) return;
  animate_ = value;
  if (animate_ && numFrames_ > 1) {
    currentInterval_ = uint32_t(std::max(frames_[size_t(currentFrame_ - 1)].Delay, 1));
    lastTime_ = AnimationTime();
  }
}

void TGIFImage::Draw(plat::TCanvas& canvas, int x, int y, int w, int h) {
  destRect_ = plat::TRect{x, y, ClampedSum(x, w), ClampedSum(y, h)};
  if (plat::DeviceContext* dc = canvas.Handle()) dc->SetStretchBltMode(plat::COLORONCOLOR);
  if (!visible_ || numFrames_ < 1) return;
  canvas.SetCopyMode(plat::cmSrcCopy);
  strip_->StretchDrawPart(canvas, destRect_, FrameRect(currentFrame_));
}

plat::TRect TGIFImage::FrameRect(int index) const {
  return GifFrameCell(index - 1, width_, height_, numFrames_);
}

void TGIFImage::AdvanceFrameIfDue(plat::TWinControl* control) {
  if (!animate_ || frames_.empty()) return;
  const uint32_t now = AnimationTime();
  // Unsigned difference: the clock's wrap does not matter.
  if (now - lastTime_ < currentInterval_) return;
  lastTime_ = now;
  if (currentFrame_ == numFrames_) {
    if (numIterations_ >= 1 && numIterations_ <= currentIteration_) {
      SetAnimate(false);
      return;
    }
    ++currentIteration_;
  }
  ++currentFrame_;
  if (currentFrame_ > numFrames_ || currentFrame_ < 1) currentFrame_ = 1;
  if (control) control->InvalidateRect(destRect_);
  currentInterval_ = uint32_t(std::max(frames_[size_t(currentFrame_ - 1)].Delay, 1));
}

plat::TBitmap* TGIFImage::GetFrameBitmap() {
  if (bitmap_ || !strip_) return bitmap_.get();
  bitmap_ = std::make_unique<plat::TBitmap>();
  // Frame 1 stands in the strip's top left corner.
  bitmap_->Assign(*strip_);
  bitmap_->SetSize(width_, height_);
  if (strip_->HasMask) {
    maskedBitmap_ = std::make_unique<plat::TBitmap>();
    maskedBitmap_->Assign(*strip_->MaskBitmap);
    maskedBitmap_->SetSize(width_, height_);
  }
  bitmap_->SetTransparent(false);
  return bitmap_.get();
}

plat::TBitmap* TGIFImage::GetMaskBitmap() {
  if (!isTransparent_) return nullptr;
  if (!maskedBitmap_) GetFrameBitmap();
  return maskedBitmap_.get();
}

}  // namespace html
