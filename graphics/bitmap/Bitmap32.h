// Folder graphics/bitmap: the 32-bit bitmap, its drawing, files and turns, and the backends that
// hold its pixels. Uses graphics/core; reaches resampling only through its link table.
//
// The 32-bit bitmap: one contiguous block of TColor32 pixels (top row first, no gaps) with the
// settings that decide how it is drawn onto another bitmap, a clip rectangle, a stipple pattern
// and change reports that say which area changed. TBitmap32 adds the device backend with its
// font and text output; every picture of the program is one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/bitmap/Backends.h"
#include "graphics/bitmap/ResamplerLink.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"
#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"

namespace plat {
class TGraphic;
class TBitmap;
class TCanvas;
class TFont;
class DeviceContext;
}  // namespace plat

namespace gfx {

class EBitmapException : public plat::Exception {
 public:
  using Exception::Exception;
};

class TCustomBitmap32 : public TCustomMap {
 public:
  // A bitmap on plain memory; new pixels are opaque black.
  TCustomBitmap32();
  ~TCustomBitmap32() override;
  TCustomBitmap32(const TCustomBitmap32&) = delete;
  TCustomBitmap32& operator=(const TCustomBitmap32&) = delete;

  // ---- Storage ----
  TCustomBackend* Backend() const { return backend_; }
  // Takes over the creator's reference of NewBackend (also when it fails); size and pixels
  // move into it.
  void SetBackend(TCustomBackend* newBackend);
  TColor32* Bits() const { return bits_; }
  // SetSize for callers that write every pixel next: new memory is not cleared first.
  void SetSizeToOverwrite(int32_t width, int32_t height);
  bool Empty() const override;
  TRect BoundsRect() const { return {0, 0, Width(), Height()}; }

  const TRect& ClipRect() const { return clipRect_; }
  void SetClipRect(const TRect& value);
  const TFixedRect& FixedClipRect() const { return fixedClipRect_; }
  const TRect& SubpixelClipRect() const { return subpixelClipRect_; }
  bool Clipping() const { return clipping_; }
  void ClipToBounds() { SetClipRect(BoundsRect()); }

  // ---- Drawing settings ----
  TDrawMode DrawMode() const { return drawMode_; }
  void SetDrawMode(TDrawMode value);
  TCombineMode CombineMode() const { return combineMode_; }
  void SetCombineMode(TCombineMode value);
  TWrapMode WrapMode() const { return wrapMode_; }
  void SetWrapMode(TWrapMode value);
  uint32_t MasterAlpha() const { return masterAlpha_; }
  void SetMasterAlpha(uint32_t value);
  TColor32 OuterColor() const { return outerColor_; }
  void SetOuterColor(TColor32 value) { outerColor_ = value; }
  // Null only while the resampling module has not registered its classes.
  TCustomResampler* Resampler() const { return resampler_.get(); }
  // Frees the previous resampler; ignored for null or the current one.
  void SetResampler(TResamplerPtr value);
  std::string ResamplerClassName() const;
  // An unknown name keeps the current resampler.
  void SetResamplerClassName(const std::string& value);
  // The blend routine bound now for the combine mode.
  TBlendMem BlendProc() const { return *blendProc_; }

  TPixelCombineEvent OnPixelCombine;
  TAreaChangedEvent OnAreaChanged;

  // ---- Copying ----
  void CopyMapTo(TCustomBitmap32& dst) const;
  virtual void CopyPropertiesTo(TCustomBitmap32& dst) const;
  void Assign(const plat::TPersistent& source) override;
  // Assign(nil): the bitmap becomes 0 x 0.
  void Assign(std::nullptr_t);
  // As Assign, but the pixels change hands instead of being copied when both bitmaps have the
  // same kind of backend (the backend with its font comes along); Source is left 0 x 0.
  void TakeOver(TCustomBitmap32& source);

  // ---- Pixel access: no range check unless the name says so, no notification ----
  TColor32* RowPtr(int32_t y) const { return bits_ + std::ptrdiff_t{y} * Width(); }
  TColor32* PixelPtr(int32_t x, int32_t y) const { return RowPtr(y) + x; }
  TColor32 Pixel(int32_t x, int32_t y) const { return *PixelPtr(x, y); }
  void SetPixel(int32_t x, int32_t y, TColor32 value) { *PixelPtr(x, y) = value; }
  TColor32 PixelClipped(int32_t x, int32_t y) const;
  TColor32 PixelWrapped(int32_t x, int32_t y) const;
  void PixelBlend(int32_t x, int32_t y, TColor32 value);
  // Positions in 24.8 fixed point.
  TColor32 PixelSubpixel(int32_t x, int32_t y) const;
  TColor32 PixelSubpixelClipped(int32_t x, int32_t y) const;
  // Positions in 16.16 fixed point.
  TColor32 PixelFixed(TFixed x, TFixed y) const;
  TColor32 PixelFixedClipped(TFixed x, TFixed y) const;
  TColor32 PixelFixedWrapped(TFixed x, TFixed y) const;

  // ---- Fills ----
  void Clear() { ClearWithColor(clBlack32); }
  void ClearWithColor(TColor32 color);
  // Unclipped: the caller keeps the rectangle inside the bitmap.
  void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
  void FillRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
  void FillRectS(const TRect& rect, TColor32 value);
  void FillRectBlend(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
  void FillRectBlendClipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
  void SetAllAlpha(uint8_t alpha = 255);

  // ---- Lines and frames; end coordinates are inclusive ----
  void HorzLineBlend(int32_t x1, int32_t y, int32_t x2, TColor32 value);
  void HorzLineBlendClipped(int32_t x1, int32_t y, int32_t x2, TColor32 value);
  void VertLineBlend(int32_t x, int32_t y1, int32_t y2, TColor32 value);
  void VertLineBlendClipped(int32_t x, int32_t y1, int32_t y2, TColor32 value);
  void HorzLineStippled(int32_t x1, int32_t y, int32_t x2);
  void VertLineStippled(int32_t x, int32_t y1, int32_t y2);
  void FrameRectBlendClipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value);
  void FrameRectStippled(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  // ---- Stipple ----
  void SetStipplePattern(const TArrayOfColor32& pattern);
  const TArrayOfColor32& StipplePattern() const { return stipplePattern_; }
  float StippleCounter() const { return stippleCounter_; }
  void SetStippleCounter(float value) { stippleCounter_ = value; }
  float StippleStep() const { return stippleStep_; }
  void SetStippleStep(float value) { stippleStep_ = value; }
  void AdvanceStipple(float pixels);
  TColor32 NextStippleColor();

  // ---- Drawing onto another bitmap (through the resampling module) ----
  void DrawTo(TCustomBitmap32& dst, int32_t dstX, int32_t dstY);
  void DrawTo(TCustomBitmap32& dst, const TRect& dstRect);

  // ---- Flips and quarter turns; a null Dst means in place ----
  void FlipHorz(TCustomBitmap32* dst = nullptr);
  void FlipVert(TCustomBitmap32* dst = nullptr);
  void Rotate90(TCustomBitmap32* dst = nullptr);
  void Rotate180(TCustomBitmap32* dst = nullptr);
  void Rotate270(TCustomBitmap32* dst = nullptr);

  // ---- Change reports ----
  // While measuring, drawing changes no pixel and only reports areas to Callback.
  void StartMeasuring(TAreaChangedEvent callback);
  void StopMeasuring();
  bool MeasuringMode() const { return measuringMode_; }
  void Changed() override;
  virtual void AreaChanged(const TRect& area, uint32_t info);
  // The plain change notification, without an area report.
  void NotifyChange();

  // ---- Files and streams ----
  // A 32-bit BMP: 54-byte header, rows without padding, alpha kept.
  void SaveToStream(plat::TStream& stream, bool bottomUp = false) const;
  // Writes a temporary file beside FileName and renames it into place.
  void SaveToFile(const std::string& fileName, bool bottomUp = false) const;
  // An uncompressed 32-bit BMP is read directly, any other BMP by the platform bitmap; a failed
  // load raises and leaves the bitmap as it was.
  void LoadFromStream(plat::TStream& stream);
  // A "BM" file goes the BMP way whatever its extension; any other file is loaded by the picture
  // object, which picks the format by extension.
  void LoadFromFile(const std::string& fileName);
  // The "Data" block of stored window layouts: width, height, pixels.
  void ReadData(plat::TStream& stream);
  void WriteData(plat::TStream& stream) const;
  // Whether a layout writer stores "Data" given the ancestor's value (null when there is none).
  bool DataNeedsWriting(const plat::TPersistent* ancestor) const;
  // Declares "Data" to the layout reader and writer.
  void DefineProperties(plat::TFiler& filer) override;
  // Both empty, or the same class with the same BMP image.
  bool Equal(const TCustomBitmap32& other) const;

  // ---- Platform pictures ----
  // Draws G onto the bitmap, resized to G, over FillColor.
  void DrawGraphic(const plat::TGraphic* g, TColor32 fillColor, bool resetAlpha);
  void CopyToPlatformBitmap(plat::TBitmap& bmp) const;

  // The backend's service when it offers it, else null.
  template <class Interface>
  Interface* BackendAs() const {
    return dynamic_cast<Interface*>(backend_);
  }

 protected:
  // Most-derived classes pick their backend; it is made before anything else runs.
  using TBackendFactory = TCustomBackend* (*)();
  explicit TCustomBitmap32(TBackendFactory makeBackend);

  void ChangeSize(int32_t& width, int32_t& height, int32_t newWidth, int32_t newHeight) override;
  void AssignTo(plat::TPersistent& dest) const override;
  virtual void BackendChanged();
  virtual void BackendChanging() {}
  // Hooks for the device bitmap's font and canvas handlers.
  virtual void AttachBackendHandlers(TCustomBackend&) {}
  virtual void DetachBackendHandlers(TCustomBackend&) {}

 private:
  // Runs Body inside an update bracket and reports one change afterwards, also when it fails.
  template <class Body>
  void ChangeInUpdate(Body&& body) {
    BeginUpdate();
    try {
      body();
    } catch (...) {
      EndUpdate();
      Changed();
      throw;
    }
    EndUpdate();
    Changed();
  }
  void FinalizeBackend();
  void AttachBackend(TCustomBackend& backend);
  // Unhooks the backend and gives back its reference.
  TCustomBackend* DetachBackend();
  // Sets the size fields to those of the surface the backend already holds.
  void AdoptSurfaceSize(int32_t width, int32_t height);
  void UpdateWrapProcs();
  void ReplacePixels(int32_t width, int32_t height, const TColor32* pixels);
  // Decode writes a whole picture into the memory a target hands it, or never asks. An empty
  // bitmap is written in place; one that holds a picture keeps it until the new one is whole.
  // A failure leaves the bitmap as it was. No report: the caller sends one.
  void LoadPixels(
      const std::function<void(const std::function<uint32_t*(int32_t, int32_t)>&)>& decode);
  // A picture read from File straight into the pixels where its class can, else drawn.
  void LoadPicture(const std::string& fileName);
  void AssignFromGraphic(const plat::TGraphic& g);
  void AssignFromBitmap(const plat::TBitmap& b);
  // What a platform bitmap brings besides its pixels: its transparent colour, and its font.
  void TakeBitmapSettings(const plat::TBitmap& b);
  void AssignFromIcon(const plat::TGraphic& icon);
  void AssignFromMetafile(const plat::TGraphic& g);
  void RotateQuarter(TCustomBitmap32* dst, bool clockwise);
  // A stippled line along one axis: A1 and A2 are the ends along it, C the other coordinate.
  void LineStippled(bool vertical, int32_t a1, int32_t c, int32_t a2);

  TCustomBackend* backend_ = nullptr;  // one reference held
  bool clearNewPixels_ = true;
  bool surfaceInPlace_ = false;  // ChangeSize only follows a surface the backend holds
  TColor32* bits_ = nullptr;
  TRect clipRect_;
  TFixedRect fixedClipRect_;
  TRect subpixelClipRect_;
  bool clipping_ = false;
  TDrawMode drawMode_ = dmOpaque;
  TCombineMode combineMode_ = cmBlend;
  TWrapMode wrapMode_ = wmClamp;
  uint32_t masterAlpha_ = 255;
  TColor32 outerColor_ = 0;
  float stippleCounter_ = 0;
  TArrayOfColor32 stipplePattern_;
  float stippleStep_ = 1.0f;
  TAreaChangedEvent savedOnAreaChanged_;
  bool measuringMode_ = false;
  TResamplerPtr resampler_;
  TWrapProc horzWrapProc_;
  TWrapProc vertWrapProc_;
  // The routine variable of the combine mode, read at each use, so that binding the routines again
  // (to another processor tier) reaches bitmaps that already exist.
  const TBlendMem* blendProc_;
};

// The bitmap every other part of the program creates: the device backend with a font, text
// measurement and output, and antialiased text rendering.
class TBitmap32 : public TCustomBitmap32 {
 public:
  TBitmap32();
  ~TBitmap32() override;

  plat::TNotifyEvent OnHandleChanged;

  plat::TFont& Font() const;
  void SetFont(const plat::TFont& font);
  // Raise EIntfCastError when the backend has no canvas or device context.
  plat::TCanvas& Canvas() const;
  plat::DeviceContext* Handle() const;

  plat::TSize TextExtent(const std::string& text) const;
  void TextOut(int32_t x, int32_t y, const std::string& text);
  // Text in Font with Color's RGB and Color's alpha as opacity. AALevel 1 to 4 supersamples by
  // 2^AALevel; 0 and below use the platform's rendering (-1 antialiased).
  void RenderText(int32_t x, int32_t y, const std::string& text, int32_t aaLevel, TColor32 color);

  void CopyPropertiesTo(TCustomBitmap32& dst) const override;

 protected:
  void BackendChanged() override;
  void BackendChanging() override;
  void AttachBackendHandlers(TCustomBackend& backend) override;
  void DetachBackendHandlers(TCustomBackend& backend) override;
  virtual void HandleChanged();
};

// Turns white text on zero into RGB with the blue byte as alpha; zero pixels stay zero.
void TextMaskToAlpha(TCustomBitmap32& mask, TColor32 rgb);
// The pixels of Dst from column FirstColumn on, as many as Coverage holds blocks across: RGB
// with the mean of its 2^N x 2^N block of Coverage (bytes, rows CoverageWidth apart, at least
// Dst's height times 2^N rows) as alpha.
void DownsampleTextMask(TCustomBitmap32& dst, const uint8_t* coverage, int32_t coverageWidth,
                        int32_t n, TColor32 rgb, int32_t firstColumn = 0);

}  // namespace gfx
