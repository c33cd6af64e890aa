// Assigning bitmaps, platform pictures and the clipboard to each other.
#include <algorithm>
#include <cstring>

#include "graphics/bitmap/Bitmap32.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Picture.h"

namespace gfx {
namespace {

// Class tests by descriptor name, so the engine needs no header of every picture class.
bool IsKindOf(const plat::TGraphic& g, const char* className) {
  for (const plat::TGraphicClass* c = &g.GraphicClass(); c != nullptr; c = c->Parent) {
    if (std::strcmp(c->Name, className) == 0) return true;
  }
  return false;
}

}  // namespace

void TCustomBitmap32::Assign(std::nullptr_t) {
  ChangeInUpdate([this] { SetSize(0, 0); });
}

void TCustomBitmap32::Assign(const plat::TPersistent& source) {
  ChangeInUpdate([&] {
    if (const auto* bitmap = dynamic_cast<const TCustomBitmap32*>(&source)) {
      bitmap->CopyMapTo(*this);
      bitmap->CopyPropertiesTo(*this);
    } else if (const auto* graphic = dynamic_cast<const plat::TGraphic*>(&source)) {
      AssignFromGraphic(*graphic);
    } else if (const auto* picture = dynamic_cast<const plat::TPicture*>(&source)) {
      if (picture->Graphic() != nullptr) AssignFromGraphic(*picture->Graphic());
    } else if (const auto* clipboard = dynamic_cast<const plat::TClipboard*>(&source)) {
      plat::TPicture pasted;
      pasted.Assign(*clipboard);
      if (pasted.Graphic() != nullptr) AssignFromGraphic(*pasted.Graphic());
    } else {
      TCustomMap::Assign(source);
    }
  });
}

void TCustomBitmap32::AssignTo(plat::TPersistent& dest) const {
  if (auto* picture = dynamic_cast<plat::TPicture*>(&dest)) {
    CopyToPlatformBitmap(picture->Bitmap());
  } else if (auto* bitmap = dynamic_cast<plat::TBitmap*>(&dest)) {
    CopyToPlatformBitmap(*bitmap);
  } else if (auto* clipboard = dynamic_cast<plat::TClipboard*>(&dest)) {
    plat::TBitmap copy;
    CopyToPlatformBitmap(copy);
    clipboard->Assign(copy);
  } else {
    TCustomMap::AssignTo(dest);
  }
}

// The pixels go straight into the platform bitmap's 32-bit rows, all 32 bits as they are.
void TCustomBitmap32::CopyToPlatformBitmap(plat::TBitmap& bmp) const {
  bmp.SetHandleType(plat::bmDIB);
  bmp.SetPixelFormat(plat::pf32bit);
  bmp.SetSize(Width(), Height());
  if (auto* font = BackendAs<IBackendFontSupport>()) bmp.Canvas().Font().Assign(font->GetFont());
  if (Empty()) return;
  bmp.Canvas().Lock();
  for (int32_t y = 0; y < Height(); ++y) std::memcpy(bmp.ScanLine(y), RowPtr(y), Width() * 4u);
  bmp.Canvas().Unlock();
}

void TCustomBitmap32::AssignFromGraphic(const plat::TGraphic& g) {
  if (const auto* bitmap = dynamic_cast<const plat::TBitmap*>(&g)) {
    AssignFromBitmap(*bitmap);
  } else if (IsKindOf(g, "TIcon")) {
    AssignFromIcon(g);
  } else if (IsKindOf(g, "TMetafile")) {
    AssignFromMetafile(g);
  } else {
    DrawGraphic(&g, clWhite32, true);
  }
}

// Drawn apart and taken over only when whole: a graphic that fails to draw leaves the picture
// that was there.
void TCustomBitmap32::DrawGraphic(const plat::TGraphic* g, TColor32 fillColor, bool resetAlpha) {
  if (g == nullptr) return;
  TCustomBitmap32 drawn;
  {
    TBorrowedBackend borrowed(drawn, {TBackendService::DeviceContext, TBackendService::Canvas},
                              TRequireMode::Any, true);
    drawn.SetSizeToOverwrite(g->Width(), g->Height());
    if (!drawn.Empty()) {
      drawn.ClearWithColor(fillColor);
      if (auto* dc = drawn.BackendAs<IBackendDeviceContextSupport>()) {
        plat::TCanvas canvas(dc->GetHandle());
        canvas.Lock();
        try {
          g->Draw(canvas, {0, 0, drawn.Width(), drawn.Height()});
        } catch (...) {
          canvas.Unlock();
          throw;
        }
        canvas.Unlock();
      } else if (auto* canvas = drawn.BackendAs<IBackendCanvasSupport>()) {
        g->Draw(canvas->GetCanvas(), {0, 0, drawn.Width(), drawn.Height()});
      } else {
        throw EBitmapException("Inpropriate Backend");
      }
      if (resetAlpha) drawn.SetAllAlpha(255);
    }
    ReplacePixels(drawn.Width(), drawn.Height(), drawn.Bits());
    drawn.SetSize(0, 0);  // nothing to copy back when the lent backend goes
  }
  Changed();
}

void TCustomBitmap32::LoadPixels(
    const std::function<void(const std::function<uint32_t*(int32_t, int32_t)>&)>& decode) {
  if (!Empty()) {
    TCustomBitmap32 loaded;
    bool written = false;
    decode([&](int32_t width, int32_t height) {
      loaded.SetSizeToOverwrite(width, height);
      written = true;
      return loaded.Bits();
    });
    if (written) ReplacePixels(loaded.Width(), loaded.Height(), loaded.Bits());
    return;
  }
  const int32_t width = Width(), height = Height();
  BeginUpdate();
  try {
    decode([this](int32_t w, int32_t h) {
      SetSizeToOverwrite(w, h);
      return Bits();
    });
  } catch (...) {
    SetSize(width, height);  // nothing to allocate: the bitmap was empty
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// Readers, JPEG and BMP write their rows straight into the pixels, so a large picture is held
// once; icons and metafiles, which need drawing over backgrounds, are drawn.
void TCustomBitmap32::LoadPicture(const std::string& fileName) {
  plat::TPicture picture;
  bool inPlace = false;
  LoadPixels([&](const plat::ArgbPictureTarget& target) {
    inPlace = picture.LoadFromFile(fileName, target);
  });
  if (!inPlace) {
    Assign(picture);
    return;
  }
  ChangeInUpdate([&] {
    const auto* bitmap = dynamic_cast<const plat::TBitmap*>(picture.Graphic());
    if (bitmap != nullptr && !Empty()) TakeBitmapSettings(*bitmap);
  });
}

void TCustomBitmap32::AssignFromBitmap(const plat::TBitmap& b) {
  DrawGraphic(&b, 0, b.PixelFormat() != plat::pf32bit);
  if (!Empty()) TakeBitmapSettings(b);
}

void TCustomBitmap32::TakeBitmapSettings(const plat::TBitmap& b) {
  if (b.Transparent()) {
    const TColor32 key = Color32(static_cast<int32_t>(b.TransparentColor())) & 0x00FFFFFF;
    TColor32* const end = bits_ + int64_t{Width()} * Height();
    for (TColor32* p = bits_; p != end; ++p) {
      if ((*p & 0x00FFFFFF) == key) *p &= 0x00FFFFFF;
    }
  }
  if (auto* font = BackendAs<IBackendFontSupport>()) font->SetFont(b.CanvasFont());
}

void TCustomBitmap32::AssignFromIcon(const plat::TGraphic& icon) {
  DrawGraphic(&icon, 0, false);
  if (Empty()) return;
  const TColor32* const end = bits_ + int64_t{Width()} * Height();
  for (const TColor32* p = bits_; p != end; ++p) {
    if ((*p >> 24) != 0) return;  // the icon brought its own alpha
  }
  AssignFromMetafile(icon);
}

// Drawn over white and over opaque red. Green and blue are 255 in one background and 0 in the
// other, so their difference between the renderings is how much of the background shows
// through; the rendering over red holds the picture's colour times its coverage in those two
// channels, and that plus the background's share in red.
void TCustomBitmap32::AssignFromMetafile(const plat::TGraphic& g) {
  DrawGraphic(&g, clWhite32, false);
  if (Empty()) {
    Clear();
    return;
  }
  TCustomBitmap32 overRed;
  overRed.DrawGraphic(&g, clRed32, false);
  const int64_t count = int64_t{Width()} * Height();
  const bool sameSize = overRed.Width() == Width() && overRed.Height() == Height();
  for (int64_t i = 0; i < count; ++i) {
    TColor32& p = bits_[i];
    if (!sameSize) {
      p &= 0x00FFFFFF;
      continue;
    }
    const TColor32 q = overRed.bits_[i];
    if (((p ^ q) & 0x00FFFFFF) == 0) {
      p |= 0xFF000000;
      continue;
    }
    const int through = std::clamp((int(GreenComponent(p)) - int(GreenComponent(q)) +
                                    int(BlueComponent(p)) - int(BlueComponent(q)) + 1) /
                                       2,
                                   0, 255);
    const int alpha = 255 - through;
    if (alpha == 0) {
      p &= 0x00FFFFFF;
      continue;
    }
    const auto unmix = [alpha](int mixed) {
      return std::clamp((mixed * 255 + alpha / 2) / alpha, 0, 255);
    };
    p = Color32(unmix(int(RedComponent(q)) - through), unmix(GreenComponent(q)),
                unmix(BlueComponent(q)), alpha);
  }
}

}  // namespace gfx
