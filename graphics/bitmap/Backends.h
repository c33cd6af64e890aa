// Holders of a bitmap's pixel memory. A backend allocates and frees the surface and may offer
// services (device context, canvas, font, text) through the interfaces below; a bitmap reaches
// them by asking its backend. Backends are the engine's only reference-counted objects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "platform/drawing/Geometry.h"

namespace plat {
class TCanvas;
class TFont;
class DeviceContext;
}  // namespace plat

namespace gfx {

class TCustomBitmap32;

class TCustomBackend : public TThreadPersistent {
 public:
  // Reference counted; one reference is held by the creator, Release frees it at 0.
  TCustomBackend();
  ~TCustomBackend() override;

  TColor32* Bits() const { return bits_; }
  TCustomBitmap32* Owner() const { return owner_; }
  void SetOwner(TCustomBitmap32* owner) { owner_ = owner; }
  plat::TNotifyEvent OnChanging;

  // Replaces the surface: Width and Height are the owner's fields.
  virtual void ChangeSize(int32_t& width, int32_t& height, int32_t newWidth, int32_t newHeight,
                          bool clearBuffer);
  // Drops the surface (the owner's size becomes 0 x 0).
  void Clear();
  virtual bool Empty() const { return false; }
  // Takes the size and pixels of another backend's owner.
  void Assign(const plat::TPersistent& source) override;

 protected:
  virtual void Changing();
  // Makes a surface of the new size and only then lets it replace the current one, which stays
  // when making the new one fails.
  virtual void AllocateSurface(int32_t newWidth, int32_t newHeight, bool clearBuffer) = 0;
  virtual void FreeSurface() = 0;

  TColor32* bits_ = nullptr;

 private:
  TCustomBitmap32* owner_ = nullptr;
};

// Plain heap memory, no services; new pixels are opaque black.
class TMemoryBackend final : public TCustomBackend {
 public:
  ~TMemoryBackend() override;

 protected:
  void AllocateSurface(int32_t newWidth, int32_t newHeight, bool clearBuffer) override;
  void FreeSurface() override;

 private:
  std::unique_ptr<TColor32[]> memory_;
};

// ---- Services a backend may offer ----

class IBackendCanvasSupport {
 public:
  virtual ~IBackendCanvasSupport() = default;
  virtual plat::TNotifyEvent GetCanvasChange() const = 0;
  virtual void SetCanvasChange(plat::TNotifyEvent handler) = 0;
  // Created on first request.
  virtual plat::TCanvas& GetCanvas() = 0;
  virtual void DeleteCanvas() = 0;
  virtual bool CanvasAllocated() const = 0;
};

class IBackendFontSupport {
 public:
  virtual ~IBackendFontSupport() = default;
  virtual plat::TNotifyEvent GetFontChange() const = 0;
  virtual void SetFontChange(plat::TNotifyEvent handler) = 0;
  virtual plat::TFont& GetFont() = 0;
  // The backend's font takes over the attributes of Font.
  virtual void SetFont(const plat::TFont& font) = 0;
  virtual void UpdateFont() = 0;
};

class IBackendTextSupport {
 public:
  virtual ~IBackendTextSupport() = default;
  // UTF-8 text.
  virtual void TextOut(int32_t x, int32_t y, const std::string& text) = 0;
  virtual void TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::string& text) = 0;
  virtual void TextOut(TRect& dstRect, uint32_t flags, const std::string& text) = 0;
  virtual plat::TSize TextExtent(const std::string& text) = 0;
  // Wide text.
  virtual void TextOut(int32_t x, int32_t y, const std::u16string& text) = 0;
  virtual void TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::u16string& text) = 0;
  virtual void TextOut(TRect& dstRect, uint32_t flags, const std::u16string& text) = 0;
  virtual plat::TSize TextExtent(const std::u16string& text) = 0;
};

class IBackendDeviceContextSupport {
 public:
  virtual ~IBackendDeviceContextSupport() = default;
  // Null while there is no surface.
  virtual plat::DeviceContext* GetHandle() = 0;
  // Stretched copy of SrcRect of SourceDC into DstRect of this surface.
  virtual void Draw(const TRect& dstRect, const TRect& srcRect, plat::DeviceContext& sourceDC) = 0;
  virtual void DrawTo(plat::DeviceContext& destDC, int32_t dstX, int32_t dstY) = 0;
  virtual void DrawTo(plat::DeviceContext& destDC, const TRect& dstRect, const TRect& srcRect) = 0;
};

// What describes the surface to the platform: a top-down 32-bit uncompressed bitmap.
struct TBitmapInfo {
  int32_t Width = 0;
  int32_t Height = 0;  // negative: rows top to bottom
  uint16_t Planes = 1;
  uint16_t BitCount = 32;
  uint32_t SizeImage = 0;
};

class IBackendBitmapInfoSupport {
 public:
  virtual ~IBackendBitmapInfoSupport() = default;
  virtual TBitmapInfo GetBitmapInfo() const = 0;
};

class IPaintSupport {
 public:
  virtual ~IPaintSupport() = default;
  virtual void ImageNeeded() = 0;
  virtual void CheckPixmap() = 0;
  // Copies the invalid rectangles (the whole viewport when there are none) of Buffer to Canvas.
  virtual void DoPaint(TCustomBitmap32& buffer, const std::vector<TRect>& invalidRects,
                       plat::TCanvas& canvas, const TRect& viewportRect) = 0;
};

// ---- Lending a bitmap the device backend ----

enum class TBackendService { Canvas, Font, Text, DeviceContext, BitmapInfo, Paint };
enum class TRequireMode { All, Any };

bool Supports(const TCustomBackend* backend, TBackendService service);

// When Target's backend lacks the services (all of them, or any one), Target gets a device
// backend; the previous one is kept in Saved (nothing is kept when no switch was needed).
// With AllowDiscard the pixels are dropped instead of copied.
void EnsureBackendInterfaces(TCustomBitmap32& target, const std::vector<TBackendService>& services,
                             TRequireMode mode, bool allowDiscard, TCustomBackend*& saved);
void RestoreSavedBackend(TCustomBitmap32& target, TCustomBackend*& saved);

// Switches a bitmap's backend for the lifetime of the guard.
class TBorrowedBackend {
 public:
  TBorrowedBackend(TCustomBitmap32& target, const std::vector<TBackendService>& services,
                   TRequireMode mode, bool allowDiscard);
  ~TBorrowedBackend();
  TBorrowedBackend(const TBorrowedBackend&) = delete;
  TBorrowedBackend& operator=(const TBorrowedBackend&) = delete;

 private:
  TCustomBitmap32& target_;
  TCustomBackend* saved_ = nullptr;
};

}  // namespace gfx
