// The GIF decoder's messages, state and frame properties.
#include "html/images/GifFrames.h"

#include <algorithm>
#include <array>

#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

constexpr std::array<const char*, 28> kMessages = {
    "no error",
    "Invalid GIF Signature Code",
    "No Local or Global Color Table for Image",
    "Unknown Graphics Extension Type",
    "Unknown Graphics Operation Code",
    "Invalid Extension Block Size",
    "[special message]",
    "Invalid Extension Block Terminator",
    "Invalid Integer Size",
    "No GIF Terminator Found",
    "Extension Block Out-Of-Order With Image Data",
    "Invalid Image Descriptor Index",
    "Invalid LZW Code Size",
    "Invalid LZW Data Format",
    "LZW Code Overflow",
    "Value Out Of Range",
    "NIL Pointer assigned",
    "Invalid Color Table Size",
    "No Image Description",
    "Invalid Bitmap Image",
    "Invalid Color Table Index",
    "Invalid Interlace Pass",
    "Invalid Bitmap",
    "Too Many Colors In Bitmap",
    "Unexpected end of file",
    "Animated GIF too large",
    "Zero width or height",
    "next message",
};

}  // namespace

const char* GifErrorMessage(int number) {
  if (number < 0 || number >= int(kMessages.size())) return "";
  return kMessages[size_t(number)];
}

void GifError(int number) {
  GifErrorText(GifErrorMessage(number));
}

void GifErrorText(const std::string& text) {
  throw plat::EInvalidGraphicOperation("TGif: " + text);
}

TGif::TGif() {
  Clear();
}

void TGif::Clear() {
  header_ = "------";
  screen_ = TGifScreenDescriptor();
  images_.clear();
  colorTables_.clear();
  loopCount_ = -1;
}

const TGifImageRecord& TGif::Image(int index) const {
  if (index < 0 || index >= GetImageCount()) GifError(geValueOutOfRange);
  return images_[size_t(index)];
}

const TGifExtension* TGif::FindGraphicControl(int index) const {
  const TGifImageRecord& image = Image(index);
  auto found =
      std::find_if(image.Extensions.begin(), image.Extensions.end(),
                   [](const TGifExtension& e) { return e.Label == kGifGraphicControlLabel; });
  return found == image.Extensions.end() ? nullptr : &*found;
}

int TGif::GetImageDelay(int index) const {
  const TGifExtension* control = FindGraphicControl(index);
  return control && control->Delay >= 1 ? control->Delay : 1;
}

int TGif::GetImageDisposal(int index) const {
  const TGifExtension* control = FindGraphicControl(index);
  return control ? control->Disposal & 3 : 0;
}

int TGif::GetTransparentIndex(int index) const {
  const TGifExtension* control = FindGraphicControl(index);
  return control && control->TransparentFlag ? control->TransparentIndex : -1;
}

bool TGif::GetTransparent() const {
  for (int i = 0; i < GetImageCount(); ++i)
    if (GetTransparentIndex(i) >= 0) return true;
  return false;
}

}  // namespace html
