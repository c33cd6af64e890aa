#include "html/images/ImageLoading.h"

#include <cstring>
#include <exception>

#include "html/HtmlEngine.h"
#include "html/images/ColorReduction.h"
#include "html/images/GdiPlusLoader.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"

namespace html {

namespace {

// Anything shorter cannot hold a picture worth decoding.
constexpr int64_t kMinStreamBytes = 20;

bool HasPictureBytes(plat::TMemoryStream* stream) {
  return stream && stream->Memory() && stream->Size() >= kMinStreamBytes;
}

// Makes the bitmap a device bitmap in the screen's format.
std::unique_ptr<plat::TBitmap> MakeDeviceDependent(std::unique_ptr<plat::TBitmap> bitmap) {
  bitmap->SetPixelFormat(plat::pfDevice);
  bitmap->SetHandleType(plat::bmDDB);
  if (ScreenColorBits() == 8 && ViewerPalette() && bitmap->Palette().Entries().empty())
    bitmap->SetPalette(CopyViewerPalette(*ViewerPalette()));
  return bitmap;
}

std::unique_ptr<plat::TBitmap> DecodeBitmapOrJpeg(uint8_t kind, plat::TStream& source,
                                                  uint8_t& transparent) {
  auto bitmap = std::make_unique<plat::TBitmap>();
  if (kind == ikJpeg) {
    transparent = 0;
    plat::TJPEGImage jpeg;
    // Palette screens take the decoder's 256 colours; ConvertImage then maps them to the
    // viewer palette.
    if (ScreenColorBits() <= 8) jpeg.SetPixelFormat(plat::jf8Bit);
    jpeg.LoadFromStream(source);
    bitmap->Assign(jpeg.Bitmap());
  } else {
    bitmap->LoadFromStream(source);
  }
  return bitmap;
}

}  // namespace

uint8_t ImageKind(const void* data, size_t size) {
  if (!data || size < 5) return ikNone;
  const auto* b = static_cast<const uint8_t*>(data);
  if (std::memcmp(b, "GIF8", 4) == 0) return b[4] == '9' ? ikGif89 : ikGif87;
  if (b[0] == 'B' && b[1] == 'M') return ikBmp;
  if (b[0] == 0x89 && std::memcmp(b + 1, "PNG", 3) == 0) return ikPng;
  if (b[0] == 0xFF && b[1] == 0xD8) return ikJpeg;
  return ikNone;
}

uint8_t FileImageKind(const std::string& fileName) {
  if (!plat::FileExists(fileName)) return ikNone;
  try {
    // Only the first bytes decide, so the rest of the file is not read.
    plat::TFileStream file(fileName, plat::fmOpenRead);
    uint8_t head[10];
    if (file.Read(head, sizeof head) < int64_t(sizeof head)) return ikNone;
    return ImageKind(head, sizeof head);
  } catch (const plat::Exception&) {
    return ikNone;
  }
}

std::unique_ptr<plat::TObject> LoadImageFromFile(const std::string& fileName, uint8_t& transparent,
                                                 std::unique_ptr<plat::TBitmap>& mask) {
  mask.reset();
  if (!plat::FileExists(fileName)) return nullptr;
  if (GdiPlusActive() && FileImageKind(fileName) == ikPng)
    return std::make_unique<TGpBitmap>(fileName);
  const std::string bytes = plat::ReadFileBytes(fileName, kMaxImageFileBytes);
  plat::TMemoryStream stream;
  stream.WriteBuffer(bytes);
  return LoadImageFromStream(&stream, transparent, mask);
}

std::unique_ptr<plat::TObject> LoadImageFromStream(plat::TMemoryStream* stream,
                                                   uint8_t& transparent,
                                                   std::unique_ptr<plat::TBitmap>& mask) {
  mask.reset();
  if (!HasPictureBytes(stream)) return nullptr;
  const int64_t size = stream->Size();
  if (GdiPlusActive() && ImageKind(stream->Memory(), size_t(size)) == ikPng) {
    try {
      auto image = TGpImage::FromMemory(stream->Memory(), size);
      transparent = 0;
      return image;
    } catch (const std::exception&) {
      return nullptr;
    }
  }
  return LoadBitmapOrJpegFromStream(stream, transparent, mask);
}

std::unique_ptr<plat::TBitmap> LoadBitmapOrJpegFromStream(plat::TMemoryStream* stream,
                                                          uint8_t& transparent,
                                                          std::unique_ptr<plat::TBitmap>& mask) {
  mask.reset();
  if (!HasPictureBytes(stream)) return nullptr;
  const int64_t size = stream->Size();
  const uint8_t kind = ImageKind(stream->Memory(), size_t(size));
  if (kind != ikBmp && kind != ikJpeg) return nullptr;  // PNG needs the imaging layer
  try {
    plat::TReadOnlyMemoryStream source(stream->Memory(), size);
    auto bitmap = DecodeBitmapOrJpeg(kind, source, transparent);
    if (transparent == 1) mask = GetImageMask(*bitmap, false, 0);
    return ConvertImage(std::move(bitmap));
  } catch (const std::exception&) {
    mask.reset();
    return nullptr;
  }
}

std::unique_ptr<plat::TBitmap> ConvertImage(std::unique_ptr<plat::TBitmap> bitmap) {
  if (!bitmap) return nullptr;
  if (ScreenColorBits() > 8) {
    switch (bitmap->PixelFormat()) {
      case plat::pfDevice:
      case plat::pf1bit:
      case plat::pf4bit:
      case plat::pf8bit:
        return MakeDeviceDependent(std::move(bitmap));
      default:
        return bitmap;
    }
  }
  if (bitmap->HandleType() == plat::bmDIB) return ReduceBitmapColors(bitmap.get());
  return MakeDeviceDependent(std::move(bitmap));
}

std::unique_ptr<plat::TBitmap> GetImageMask(plat::TBitmap& bitmap, bool colorValid,
                                            plat::TColor color) {
  if (colorValid)
    bitmap.SetTransparentColor(color);
  else
    bitmap.SetTransparentMode(plat::tmAuto);
  bitmap.SetTransparent(true);
  auto mask = bitmap.CreateMask();
  bitmap.SetTransparent(false);
  return mask;
}

void DrawTransparentBitmap(plat::DeviceContext& dc, const plat::TBitmap& bitmap,
                           const plat::TBitmap& mask, int x, int y, int w, int h) {
  if (bitmap.Empty()) return;
  // Work on 32-bit copies, so neither picture changes its format for the drawing.
  plat::TBitmap image, maskImage;
  image.Assign(bitmap);
  maskImage.Assign(mask);
  maskImage.SetSize(image.Width(), image.Height());  // a missing part of the mask is opaque
  plat::DeviceContext* imageDC = image.Canvas().Handle();
  plat::DeviceContext* maskDC = maskImage.Canvas().Handle();
  if (!imageDC || !maskDC) return;
  dc.MaskedStretchBlt(x, y, w, h, *imageDC, 0, 0, image.Width(), image.Height(), *maskDC);
}

}  // namespace html
