// Folder platform/drawing: the device context, canvas, fonts, pens, brushes, regions, colours,
// palettes and classic edges. Painting runs on QPainter over the pixels in place.
//
// Fonts, pens, brushes and the canvas: the component library's drawing objects over a
// DeviceContext.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "platform/drawing/Colors.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Geometry.h"
#include "platform/runtime/Classes.h"

namespace plat {

class TGraphic;

// Fonts are measured at this fixed resolution, whatever the screen says.
inline constexpr int kFontPixelsPerInch = 96;

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // bit mask of TFontStyle

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

enum TFontQuality : uint8_t {
  fqDefault = DEFAULT_QUALITY,
  fqDraft = DRAFT_QUALITY,
  fqProof = PROOF_QUALITY,
  fqNonAntialiased = NONANTIALIASED_QUALITY,
  fqAntialiased = ANTIALIASED_QUALITY,
};

enum TPenStyle : uint8_t {
  psSolid = PS_SOLID,
  psDash = PS_DASH,
  psDot = PS_DOT,
  psDashDot = PS_DASHDOT,
  psDashDotDot = PS_DASHDOTDOT,
  psClear = PS_NULL,
  psInsideFrame = PS_INSIDEFRAME,
};

enum TPenMode : uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor,
};

enum TBrushStyle : uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross,
};

// Canvas copy modes are ternary raster operation codes.
using TCopyMode = uint32_t;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

// Base of fonts, pens and brushes: reports every change through OnChange.
class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  void Assign(const TPersistent& source) override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Points at 96 dpi; derived from Height.
  int Size() const;
  void SetSize(int points);
  // Pixels: negative is the em height, positive the cell height.
  int Height() const { return height_; }
  void SetHeight(int pixels);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  TFontQuality Quality() const { return quality_; }
  void SetQuality(TFontQuality quality);

  // The description a device context selects.
  TLogFont LogFont() const;

 private:
  std::string name_ = kDefaultFontName;
  int height_ = -11;  // 8 points
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  uint8_t charset_ = 1;
  TFontPitch pitch_ = fpDefault;
  TFontQuality quality_ = fqDefault;
};

class TPen : public TGraphicsObject {
 public:
  void Assign(const TPersistent& source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  TLogPen LogPen() const;
  int ROP2() const;  // the R2_* code of Mode

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
 public:
  void Assign(const TPersistent& source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

  TLogBrush LogBrush() const;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// Drawing with the component library's conventions over a DeviceContext it does not own. Text
// is drawn in Font's colour; its background is filled with Brush's colour unless Brush is clear.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  explicit TCanvas(DeviceContext* handle);
  ~TCanvas() override;

  // The context drawn on (nullptr: none). Re-attach whenever the surface changes.
  DeviceContext* Handle() const { return handle_; }
  void SetHandle(DeviceContext* handle);
  bool HandleAllocated() const { return handle_ != nullptr; }

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  TPen& Pen() { return pen_; }
  void SetPen(const TPen& pen) { pen_.Assign(pen); }
  TBrush& Brush() { return brush_; }
  void SetBrush(const TBrush& brush) { brush_.Assign(brush); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
  TPoint PenPos() const;
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  // The clip box in logical units; empty without a context.
  TRect ClipRect() const;

  // Re-entrant lock around drawing from several places.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // The colour of a pixel; outside the surface or the clip: TColor(CLR_INVALID).
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // Counter-clockwise from the radial through (x3, y3) to the radial through (x4, y4).
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(std::span<const TPoint> points);
  void Polyline(std::span<const TPoint> points);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);

  // Text in UTF-8.
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  void TextOut(int x, int y, std::string_view text);
  // Text at (x, y) clipped to r; r is filled first unless Brush is clear.
  void TextRect(const TRect& r, int x, int y, std::string_view text);

  // Lets the graphic draw itself at its own size, or stretched into r.
  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const TRect& r, const TGraphic& graphic);
  // Stretched copy of source's sourceRect into dest with CopyMode.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

 protected:
  void Changing();
  void Changed();

 private:
  // Selects font, pen, brush and colours into the context; false without a context.
  bool Prepare();
  // Runs one drawing call on the prepared context between Changing and Changed.
  template <class Draw>
  void Paint(Draw&& draw) {
    if (!Prepare()) return;
    Changing();
    draw(*handle_);
    Changed();
  }

  DeviceContext* handle_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TCopyMode copyMode_ = cmSrcCopy;
  std::recursive_mutex lock_;
  std::atomic<int> lockCount_{0};
};

// UTF-8 to UTF-16 for the text calls of the device context (invalid bytes become U+FFFD).
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace plat
