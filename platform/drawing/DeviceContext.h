// A device context with the drawing model of the classic desktop graphics interface: selected
// font, pen and brush, text and background colours, origins, clipping, integer coordinates with
// exclusive right and bottom edges, raster operations on 32-bit pixels.
//
// Pixel rule of this implementation (the engine depends on it): drawing never lets Qt composite
// onto the caller's memory. Fills, lines, shapes and text change only the red, green and blue
// bytes and leave the alpha byte as it was, and so do block transfers that read only the brush
// and the destination; transfers that read another surface (BitBlt, StretchBlt and the other
// operations with a source) combine all 32 bits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drawing/Geometry.h"
#include "platform/drawing/Region.h"

class QImage;
class QPainter;
class QPainterPath;

namespace plat {

// A resolved colour 0x00BBGGRR (no system or palette-relative bits).
using TColorRef = uint32_t;
inline constexpr TColorRef CLR_INVALID = 0xFFFFFFFF;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Text alignment flags (SetTextAlign).
inline constexpr uint32_t TA_NOUPDATECP = 0;
inline constexpr uint32_t TA_UPDATECP = 1;
inline constexpr uint32_t TA_LEFT = 0;
inline constexpr uint32_t TA_RIGHT = 2;
inline constexpr uint32_t TA_CENTER = 6;
inline constexpr uint32_t TA_TOP = 0;
inline constexpr uint32_t TA_BOTTOM = 8;
inline constexpr uint32_t TA_BASELINE = 24;

// ExtTextOut options. ETO_PDY: the explicit advances come in pairs, the second of each moving
// the following characters down across the line.
inline constexpr uint32_t ETO_OPAQUE = 2;
inline constexpr uint32_t ETO_CLIPPED = 4;
inline constexpr uint32_t ETO_PDY = 0x2000;

// DrawText formats (the supported subset; '&' is never treated as a prefix).
inline constexpr uint32_t DT_TOP = 0;
inline constexpr uint32_t DT_LEFT = 0;
inline constexpr uint32_t DT_CENTER = 1;
inline constexpr uint32_t DT_RIGHT = 2;
inline constexpr uint32_t DT_VCENTER = 4;
inline constexpr uint32_t DT_BOTTOM = 8;
inline constexpr uint32_t DT_WORDBREAK = 0x10;
inline constexpr uint32_t DT_SINGLELINE = 0x20;
inline constexpr uint32_t DT_NOCLIP = 0x100;
inline constexpr uint32_t DT_CALCRECT = 0x400;
inline constexpr uint32_t DT_NOPREFIX = 0x800;

// Ternary raster operations (BitBlt, StretchBlt, PatBlt). Any ternary code works; these are the
// named ones.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t SRCPAINT = 0x00EE0086;
inline constexpr uint32_t SRCAND = 0x008800C6;
inline constexpr uint32_t SRCINVERT = 0x00660046;
inline constexpr uint32_t SRCERASE = 0x00440328;
inline constexpr uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr uint32_t NOTSRCERASE = 0x001100A6;
inline constexpr uint32_t MERGECOPY = 0x00C000CA;
inline constexpr uint32_t MERGEPAINT = 0x00BB0226;
inline constexpr uint32_t PATCOPY = 0x00F00021;
inline constexpr uint32_t PATPAINT = 0x00FB0A09;
inline constexpr uint32_t PATINVERT = 0x005A0049;
inline constexpr uint32_t DSTINVERT = 0x00550009;
inline constexpr uint32_t BLACKNESS = 0x00000042;
inline constexpr uint32_t WHITENESS = 0x00FF0062;
inline constexpr uint32_t DSTCOPY = 0x00AA0029;  // leaves the destination as it is

// Binary raster operations of pens and shape fills (SetROP2).
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

// Stretch modes; every mode copies nearest pixels here (no halftoning).
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;
// End caps and joins of pens wider than one pixel.
inline constexpr int PS_ENDCAP_ROUND = 0x000;
inline constexpr int PS_ENDCAP_SQUARE = 0x100;
inline constexpr int PS_ENDCAP_FLAT = 0x200;
inline constexpr int PS_JOIN_ROUND = 0x0000;
inline constexpr int PS_JOIN_BEVEL = 0x1000;
inline constexpr int PS_JOIN_MITER = 0x2000;

// Brush styles and hatches.
inline constexpr int BS_SOLID = 0;
inline constexpr int BS_NULL = 1;
inline constexpr int BS_HATCHED = 2;
inline constexpr int BS_PATTERN = 3;
inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// Font output qualities.
inline constexpr uint8_t DEFAULT_QUALITY = 0;
inline constexpr uint8_t DRAFT_QUALITY = 1;
inline constexpr uint8_t PROOF_QUALITY = 2;
inline constexpr uint8_t NONANTIALIASED_QUALITY = 3;
inline constexpr uint8_t ANTIALIASED_QUALITY = 4;

// Font pitches.
inline constexpr uint8_t DEFAULT_PITCH = 0;
inline constexpr uint8_t FIXED_PITCH = 1;
inline constexpr uint8_t VARIABLE_PITCH = 2;

// The family used for the face name "Default" and for an empty name.
inline constexpr const char* kDefaultFontName = "DejaVu Sans";

// A font description. Height < 0: the em height in pixels; > 0: the cell height (ascent +
// descent) in pixels; 0: the default height.
struct TLogFont {
  std::string FaceName;  // empty or "Default": the default font
  int32_t Height = 0;
  int32_t Width = 0;       // average character width in pixels; 0: the face's own
  int32_t Escapement = 0;  // angle of the baseline in tenths of a degree, counter-clockwise
  int32_t Weight = 400;    // 700 and above is bold
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint8_t CharSet = 1;  // kept, not used
  uint8_t Quality = DEFAULT_QUALITY;
  uint8_t Pitch = DEFAULT_PITCH;
  bool operator==(const TLogFont&) const = default;
};

struct TLogPen {
  int Style = PS_SOLID;
  int Width = 1;  // 0 draws as 1
  TColorRef Color = 0;
  int EndCap = PS_ENDCAP_ROUND;
  int Join = PS_JOIN_ROUND;
  bool operator==(const TLogPen&) const = default;
};

// The picture a pattern brush repeats: 0x00RRGGBB pixels, rows top to bottom. A monochrome
// pattern holds 0 where the text colour goes and 1 where the background colour goes.
struct TBrushPattern {
  int32_t Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  bool Monochrome = false;
};

struct TLogBrush {
  int Style = BS_SOLID;
  TColorRef Color = 0xFFFFFF;
  int Hatch = HS_HORIZONTAL;
  // BS_PATTERN: repeated from the brush origin; shared, never changed once made.
  std::shared_ptr<const TBrushPattern> Pattern = nullptr;
  bool operator==(const TLogBrush&) const = default;
};

// Metrics of the selected font, in pixels.
struct TTextMetric {
  int32_t Height = 0;  // Ascent + Descent
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;
  int32_t ExternalLeading = 0;
  int32_t AveCharWidth = 0;
  int32_t MaxCharWidth = 0;  // the font's own widest advance; fallback glyphs may be wider
};

// A corner of a gradient: a point (logical units) and its colour, 16 bits a channel.
struct TTriVertex {
  TPoint Point;
  uint16_t Red = 0, Green = 0, Blue = 0;
};

class DeviceContext;

// How a block transfer combines its source with the destination. Every pixel is combined by
// `rop`, except that with a mask (read at the source's coordinates) the pixels whose mask is white
// take `maskRop`; source pixels of the key's RGB (when >= 0) are skipped. A blend takes the place
// of the raster operations: the source, premultiplied when it brings its own alpha, is laid over
// the destination at the constant alpha.
struct TBlend {
  uint8_t constantAlpha = 255;
  bool sourceAlpha = false;
};
struct TBlitMode {
  uint32_t rop = SRCCOPY;
  const DeviceContext* mask = nullptr;
  uint32_t maskRop = DSTCOPY;
  int64_t keyRgb = -1;
  std::optional<TBlend> blend = std::nullopt;
};

class DeviceContext {
 public:
  // Measuring only: no surface, every drawing call does nothing; text metrics equal those of a
  // context with a surface.
  DeviceContext();
  // Draws into caller-owned 32-bit pixels (0xAARRGGBB words, rows top to bottom, stride in bytes).
  // The memory must outlive the context or be replaced with Attach.
  DeviceContext(uint32_t* bits, int32_t width, int32_t height, int32_t strideBytes);
  // Draws onto a widget while it paints: drawing goes to an off-screen buffer covering `area`
  // (painter coordinates) at the painter's device pixel ratio (Scale, rounded up), first filled
  // with `background`; Flush (and the destructor) copy it onto the painter. Logical coordinates
  // start at area's top-left corner.
  DeviceContext(QPainter& painter, const TRect& area, TColorRef background);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // Replaces the surface (nullptr: measuring only); drawing state and clipping are kept.
  void Attach(uint32_t* bits, int32_t width, int32_t height, int32_t strideBytes);
  bool HasSurface() const { return bits_ != nullptr; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint32_t* Bits() const { return bits_; }
  int32_t Stride() const { return stride_; }
  // Painter contexts: copies the buffer onto the painter (RGB only: alpha becomes opaque).
  void Flush();
  // Each logical unit covers Scale x Scale pixels of the surface; device units are pixels. A
  // context on a screen at a device pixel ratio draws text and shapes at the screen's
  // resolution; supersampled text is covered at up to 16 times. 1 to 16.
  int Scale() const { return scale_; }
  void SetScale(int scale);

  // --- Selected objects and colours (each setter returns the previous value)
  void SelectFont(const TLogFont& font);
  const TLogFont& Font() const { return state_.font; }
  void SelectPen(const TLogPen& pen);
  const TLogPen& Pen() const { return state_.pen; }
  void SelectBrush(const TLogBrush& brush) { state_.brush = brush; }
  const TLogBrush& Brush() const { return state_.brush; }
  TColorRef SetTextColor(TColorRef c);
  TColorRef TextColor() const { return state_.textColor; }
  TColorRef SetBkColor(TColorRef c);
  TColorRef BkColor() const { return state_.bkColor; }
  int SetBkMode(int mode);
  int BkMode() const { return state_.bkMode; }
  uint32_t SetTextAlign(uint32_t flags);
  uint32_t TextAlign() const { return state_.textAlign; }
  int SetROP2(int rop2);
  int ROP2() const { return state_.rop2; }
  int SetPolyFillMode(int mode);
  int PolyFillMode() const { return state_.polyFillMode; }
  int SetStretchBltMode(int mode);
  int StretchBltMode() const { return state_.stretchMode; }
  // Where pattern and hatched brushes start, in device units.
  TPoint SetBrushOrg(TPoint org);
  TPoint BrushOrg() const { return state_.brushOrg; }
  int SetTextCharacterExtra(int extra);
  int TextCharacterExtra() const { return state_.charExtra; }
  // Spreads `extra` pixels over the next `count` break characters (spaces and no-break spaces):
  // each gets extra / count, the first (extra mod count) one more. Text output uses the shares up
  // from left to right across calls; measuring includes the shares not yet used without using them.
  // (0, 0) resets.
  void SetTextJustification(int extra, int count);

  // --- Coordinates: device = (logical - window origin) * Scale + viewport origin
  TPoint SetWindowOrg(TPoint org);
  TPoint WindowOrg() const { return state_.windowOrg; }
  TPoint SetViewportOrg(TPoint org);
  TPoint ViewportOrg() const { return state_.viewportOrg; }
  // Results beyond the 32-bit range stop at its ends.
  TPoint LogicalToDevice(TPoint p) const;
  TPoint DeviceToLogical(TPoint p) const;
  TPoint MoveTo(TPoint p);  // returns the previous current position
  TPoint CurrentPosition() const { return state_.position; }

  // --- Saved states (objects, colours, modes, origins, clipping, position)
  int SaveDC();  // returns the new level (1 for the first save)
  // Level > 0: back to that save; level < 0: that many saves back. False when there is none.
  bool RestoreDC(int level);

  // --- Clipping; regions are in device units, rectangles in logical units
  // The clip region, or nothing when none is selected (distinct from a whole-surface region).
  std::optional<TRegion> ClipRegion() const { return state_.clip; }
  // nullptr removes the clip region. Returns the kind of the resulting clip.
  int SelectClipRgn(const TRegion* rgn);
  int ExtSelectClipRgn(const TRegion* rgn, int mode);
  int IntersectClipRect(const TRect& r);
  int ExcludeClipRect(const TRect& r);
  // The bounding box of what can be drawn, in logical units.
  TRect ClipBox() const;
  bool PtVisible(TPoint p) const;

  // --- Pixels and fills (logical units)
  TColorRef GetPixel(int32_t x, int32_t y) const;  // CLR_INVALID outside the surface or clip
  void SetPixel(int32_t x, int32_t y, TColorRef c);
  // Fills with the brush (solid or hatched; a null brush does nothing); no ROP2.
  void FillRect(const TRect& r, const TLogBrush& brush);
  void FrameRect(const TRect& r, const TLogBrush& brush);    // a one-pixel border inside r
  void FillRgn(const TRegion& rgn, const TLogBrush& brush);  // rgn in logical units
  // The selected brush combined by ROP2.
  void PaintRgn(const TRegion& rgn);
  // A border inside the region, `width` pixels across its left and right edges and `height`
  // across its top and bottom ones.
  void FrameRgn(const TRegion& rgn, const TLogBrush& brush, int32_t width, int32_t height);
  void InvertRect(const TRect& r);
  void InvertRgn(const TRegion& rgn);
  // Inverts every other pixel of the one-pixel border of r; drawing it twice restores the picture.
  void DrawFocusRect(const TRect& r);

  // Fills every pixel whose centre lies inside the triangle with the colour interpolated linearly
  // between its corners; RGB only (alpha kept), whatever the brush and ROP2.
  void GradientTriangle(std::span<const TTriVertex, 3> corners);

  // --- Lines and shapes with the selected pen, brush and ROP2 (logical units)
  // A line from the current position to p, without p itself; p becomes the current position.
  void LineTo(TPoint p);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  void Rectangle(const TRect& r);
  void RoundRect(const TRect& r, int32_t cornerWidth, int32_t cornerHeight);
  void Ellipse(const TRect& r);
  // Parts of the ellipse bounded by r, counter-clockwise from the radial through `start` to the
  // radial through `end` (the same radial: the whole ellipse). Arc draws the curve with the pen;
  // Chord closes it with a straight line and Pie through the centre, both filled with the brush.
  void Arc(const TRect& r, TPoint start, TPoint end);
  void Chord(const TRect& r, TPoint start, TPoint end);
  void Pie(const TRect& r, TPoint start, TPoint end);

  // --- Text (logical units). Advances are whole pixels without kerning, so the extent of a
  // string is the sum of the extents of its pieces; the height is ascent + descent.
  TTextMetric GetTextMetrics() const;
  TSize GetTextExtent(std::u16string_view text) const;
  // The extent of text, the number of leading code units whose cumulative extent fits in
  // maxExtent (when `fit` is given) and the cumulative extent after every code unit.
  TSize GetTextExtentEx(std::u16string_view text, int32_t maxExtent, int32_t* fit,
                        std::vector<int32_t>* partialExtents) const;
  // Draws text with the text colour, blending glyph coverage into the RGB of each pixel (alpha
  // untouched); opaque background mode first fills the text cell with the background colour.
  // Glyphs may reach sideways past the cell (italic overhang); nothing above or below the cell
  // or outside the clip changes. A font with an escapement turns the whole line, its cell and
  // its alignment about the reference point; the current position moves along it.
  void TextOut(int32_t x, int32_t y, std::u16string_view text);
  // ETO_OPAQUE fills rect with the background colour; ETO_CLIPPED clips the text to rect.
  // `advances`, when not empty, gives every code unit's advance (and with ETO_PDY its downward
  // shift) in place of the font's, character extra and justification.
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect,
                  std::u16string_view text, std::span<const int32_t> advances = {});
  // The glyph coverage TextOut(x, y, text) would blend in on a surface of width x height with no
  // clip region, whatever this context's own surface: 0 to 255 a pixel into mask, rows width
  // bytes apart. Only the bytes under the text's inked box are written.
  void TextCoverage(int32_t x, int32_t y, std::u16string_view text, uint8_t* mask, int32_t width,
                    int32_t height);
  // Left/centre/right, top/vertical centre/bottom (single line), single line, word break,
  // DT_NOCLIP and DT_CALCRECT (adjusts rect's right and bottom, draws nothing). Returns the
  // height of the text.
  int32_t DrawText(std::u16string_view text, TRect& rect, uint32_t format);

  // --- Block transfers (logical units). ROPs that read the source combine all 32 bits; those
  // that read only the brush and the destination change RGB and keep alpha.
  bool BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src, int32_t sx,
              int32_t sy, uint32_t rop);
  bool PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop);
  // Nearest-neighbour: destination column i (0-based) reads source column
  // sx + floor((2i + 1) * sw / (2 w)); likewise for rows. Negative sizes mirror.
  bool StretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src, int32_t sx,
                  int32_t sy, int32_t sw, int32_t sh, uint32_t rop);
  // The same, combined as the mode says.
  bool StretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src, int32_t sx,
                  int32_t sy, int32_t sw, int32_t sh, const TBlitMode& mode);
  // The source rectangle onto the parallelogram whose corners are where the source's top-left,
  // top-right and bottom-left corners go (the fourth follows): the destination pixel whose centre
  // lies at (u, v) of the way along the parallelogram's sides reads source pixel
  // (sx + floor(u * sw), sy + floor(v * sh)). The source is another context.
  bool PlgBlt(std::span<const TPoint, 3> corners, const DeviceContext* src, int32_t sx, int32_t sy,
              int32_t sw, int32_t sh, const TBlitMode& mode);
  // Stretched source copy skipping the source pixels whose RGB equals transparentColor.
  bool TransparentBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext& src,
                      int32_t sx, int32_t sy, int32_t sw, int32_t sh, TColorRef transparentColor);
  // Stretched source copy skipping the pixels where the mask (read at the same source
  // coordinates) is white; the mask context has the source's geometry.
  bool MaskedStretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext& src,
                        int32_t sx, int32_t sy, int32_t sw, int32_t sh, const DeviceContext& mask);

 private:
  struct State {
    TLogFont font;
    TLogPen pen;
    TLogBrush brush;
    TColorRef textColor = 0;
    TColorRef bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    uint32_t textAlign = TA_LEFT | TA_TOP;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int charExtra = 0;
    TPoint windowOrg, viewportOrg, position, brushOrg;
    std::optional<TRegion> clip;  // device units
  };
  struct Justification {
    int extra = 0, count = 0, used = 0;  // breaks already given their share
  };
  struct PainterTarget;

  // Device rectangles that drawing may touch inside r (device units): surface ∩ clip.
  std::vector<TRect> VisibleRects(const TRect& deviceRect) const;
  TRect DeviceRect(const TRect& logical) const;
  uint32_t* Row(int32_t y) const {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits_) + int64_t(y) * stride_);
  }
  // The device position of logical (0, 0).
  TPoint Offset() const;
  // The logical pixels that have a pixel in the device rectangle.
  TRect LogicalBox(const TRect& device) const;
  // Calls paint for every visible pixel of the logical pixel p (Scale x Scale of them).
  template <class Paint>
  void PaintLogicalPixel(TPoint p, Paint paint) {
    const TPoint d = LogicalToDevice(p);
    for (int32_t y = d.Y; y < d.Y + scale_; ++y)
      for (int32_t x = d.X; x < d.X + scale_; ++x)
        if (x >= 0 && y >= 0 && x < width_ && y < height_ &&
            (!state_.clip || state_.clip->Contains({x, y})))
          paint(Row(y)[x]);
  }
  // Advances of every code unit, with character extra and justification; consumes justification
  // only when `consume`.
  std::vector<int32_t> Advances(std::u16string_view text, bool consume) const;
  // Paints r (logical) with the brush combined by rop2.
  void BrushRect(const TRect& r, const TLogBrush& brush, int rop2);
  // The brush's colour (0x00RRGGBB) at device pixel (x, y); `gap` tells that it is the background
  // colour between the lines of a hatch.
  uint32_t BrushPixel(const TLogBrush& brush, int32_t x, int32_t y, bool& gap) const;
  // Paints one destination pixel with a brush: everywhere but in the gaps of a hatch, which get
  // the background colour in opaque background mode.
  void PaintBrushPixel(uint32_t& d, int32_t x, int32_t y, const TLogBrush& brush, int rop2) const;
  // A one-pixel line of the pen from p0 to p1 without p1; `phase` carries the dash pattern on.
  void CosmeticLine(TPoint p0, TPoint p1, int64_t& phase);
  void CosmeticPolyline(std::span<const TPoint> points, bool closed);
  // Paints the pixels covered by path (logical units): filled with the brush, or stroked with
  // the pen when `stroke`.
  void PaintPath(const QPainterPath& path, bool stroke);
  enum class ArcKind { Open, Chord, Pie };
  void ArcShape(const TRect& r, TPoint start, TPoint end, ArcKind kind);
  // A visible pen of width 0 or 1, drawn pixel by pixel.
  bool PenIsCosmetic() const;
  // Every axis-aligned block transfer: nearest-neighbour mapping of the source rectangle (none
  // for PatBlt) onto the destination rectangle, combined as the mode says.
  bool Transfer(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, const TBlitMode& mode);
  // One destination pixel of a transfer from source pixel s whose mask is white or not.
  void CombineTransferPixel(uint32_t& d, uint32_t s, bool maskWhite, int32_t x, int32_t y,
                            const TBlitMode& mode) const;
  struct TextLine;
  // Places a line by the alignment, moving the current position when asked and aligned so.
  // Explicit advances (pairs with ETO_PDY) replace the font's when not empty.
  TextLine PlaceTextLine(int32_t x, int32_t y, std::u16string_view text,
                         std::span<const int32_t> advances, uint32_t options,
                         bool updateAlignPosition);
  // The cell widened by the ink's sideways reach and the line's shifts, in the line's unturned
  // frame (logical); fills in the line's pen offsets.
  TRect InkedRect(TextLine& line, std::u16string_view text) const;
  // The logical box that r, a rectangle of the line's unturned frame, covers once turned.
  TRect TurnedBounds(const TextLine& line, const TRect& r) const;
  // Renders the line's coverage over area (device units) a band of rows at a time.
  void CoverTextLine(
      const TextLine& line, std::u16string_view text, const TRect& area,
      const std::function<void(const QImage& coverage, const TRect& band)>& use) const;
  void DrawTextLine(int32_t x, int32_t y, uint32_t options, const TRect* rect,
                    std::u16string_view text, std::span<const int32_t> advances,
                    bool updateAlignPosition);
  // Fills the inside of path (logical units) with a colour, whatever the brush and ROP2.
  void FillPathWithColor(const QPainterPath& path, TColorRef color);

  uint32_t* bits_ = nullptr;
  int32_t width_ = 0, height_ = 0, stride_ = 0;
  int scale_ = 1;
  State state_;
  std::vector<State> saved_;
  mutable Justification justification_;
  std::unique_ptr<PainterTarget> painter_;
};

}  // namespace plat
