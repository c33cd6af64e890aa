// Plays the drawing records of Windows metafiles (WMF and EMF) onto a device context: the
// graphics state of the recording device (objects, colours, modes, mapping, clipping, paths)
// and the drawing calls in logical units. The record readers translate their bytes into these
// calls; everything here is independent of the file layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Geometry.h"
#include "platform/drawing/Region.h"

namespace plat {

struct DecodedDib;

// Raises EInvalidGraphic with "Invalid metafile: " and the reason.
[[noreturn]] void InvalidMetafile(const std::string& why);

// An affine map: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct PointD {
  double x = 0, y = 0;
};

struct MetafileXform {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  // Applies first, then this.
  MetafileXform After(const MetafileXform& first) const;
  PointD Apply(PointD p) const { return {m11 * p.x + m21 * p.y + dx, m12 * p.x + m22 * p.y + dy}; }
  double Determinant() const { return m11 * m22 - m12 * m21; }
  bool AxisAligned() const { return m12 == 0 && m21 == 0; }
};

// Mapping modes.
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_LOMETRIC = 2;
inline constexpr int MM_HIMETRIC = 3;
inline constexpr int MM_LOENGLISH = 4;
inline constexpr int MM_HIENGLISH = 5;
inline constexpr int MM_TWIPS = 6;
inline constexpr int MM_ISOTROPIC = 7;
inline constexpr int MM_ANISOTROPIC = 8;

// Arc directions.
inline constexpr int AD_COUNTERCLOCKWISE = 1;
inline constexpr int AD_CLOCKWISE = 2;

// Text output option: the string holds glyph numbers of the recording font, not characters.
inline constexpr uint32_t ETO_GLYPH_INDEX = 0x10;

// Pen and brush objects as recorded: sizes in logical units.
struct MetafilePen {
  int style = PS_SOLID;  // PS_* (low four bits of the recorded style)
  double width = 0;      // 0: one pixel whatever the mapping
  bool cosmetic = false;
  uint32_t color = 0;            // as recorded (may be palette-relative)
  int endCap = PS_ENDCAP_ROUND;  // PS_ENDCAP_* (bits 8 to 11 of the recorded style)
  int join = PS_JOIN_ROUND;      // PS_JOIN_* (bits 12 to 15)

  // The pen of a recorded style word, which carries line style, end cap and join.
  static MetafilePen Recorded(uint32_t style, double width, bool cosmetic, uint32_t color) {
    return {int(style & 0xF), width, cosmetic, color, int(style & 0x0F00), int(style & 0xF000)};
  }
};
struct MetafileBrush {
  int style = BS_SOLID;
  uint32_t color = 0xFFFFFF;
  int hatch = HS_HORIZONTAL;
  std::shared_ptr<const TBrushPattern> pattern = nullptr;  // BS_PATTERN
};
struct MetafileFont {
  TLogFont font;  // Height in logical units
};
struct MetafilePalette {
  std::vector<uint32_t> colors;  // 0x00BBGGRR
};
// A region object of a standard metafile: rectangles in logical units.
struct MetafileRegion {
  std::vector<TRect> rects;
};
// Objects that only take up a slot.
struct MetafileOtherObject {};
using MetafileObject = std::variant<MetafileOtherObject, MetafilePen, MetafileBrush, MetafileFont,
                                    MetafilePalette, MetafileRegion>;

// What the colour table of a bitmap inside a record holds: colours, 16-bit numbers of entries of
// the selected palette, or nothing (the pixels number the system palette's entries).
enum class DibTable : uint8_t { Colors, PaletteIndices, None };

// A device-independent bitmap inside a record: the info header with its colour table, and the
// pixel bits. Both point into the file's bytes.
struct MetafileDib {
  std::span<const uint8_t> info;
  std::span<const uint8_t> bits;
  DibTable table = DibTable::Colors;
};

// Source and destination of a block transfer in logical units of their contexts.
struct MetafileBlit {
  double x = 0, y = 0, w = 0, h = 0;       // destination
  int32_t sx = 0, sy = 0, sw = 0, sh = 0;  // source pixels
  // With a mask: the operation where the mask is 1 in bits 16 to 23, where it is 0 in bits 24 to
  // 31; without one, only the first.
  uint32_t rop = SRCCOPY;
  // StretchDIBits and SetDIBitsToDevice count source rows of a bottom-up bitmap from its bottom.
  bool sourceFromBottom = false;
  // The destination as a parallelogram in place of the rectangle: where the source's top-left,
  // top-right and bottom-left corners go.
  std::optional<std::array<PointD, 3>> corners;
  // In place of the raster operation: source pixels of this colour are left out, or the source is
  // blended (constant alpha in bits 16 to 23; bit 24: the source brings premultiplied alpha).
  std::optional<uint32_t> transparentColor, blendFunction;
  // The mask's pixel that goes with the source's first one.
  int32_t maskX = 0, maskY = 0;

  static MetafileBlit Rect(double x, double y, double w, double h, int32_t sx, int32_t sy,
                           int32_t sw, int32_t sh, uint32_t rop, bool sourceFromBottom = false) {
    MetafileBlit b;
    b.x = x;
    b.y = y;
    b.w = w;
    b.h = h;
    b.sx = sx;
    b.sy = sy;
    b.sw = sw;
    b.sh = sh;
    b.rop = rop;
    b.sourceFromBottom = sourceFromBottom;
    return b;
  }
};

// A corner of a gradient in logical units, its colour 16 bits a channel.
struct MetafileVertex {
  PointD point;
  uint16_t red = 0, green = 0, blue = 0;
};
using MetafileTriangle = std::array<MetafileVertex, 3>;

class MetafilePlayer {
 public:
  // dc nullptr checks the records without drawing. `base` maps the recording device's pixels to
  // dc's logical units; drawing is clipped to `clip` (dc's logical units).
  MetafilePlayer(DeviceContext* dc, const MetafileXform& base, const TRect& clip);
  ~MetafilePlayer();
  MetafilePlayer(const MetafilePlayer&) = delete;
  MetafilePlayer& operator=(const MetafilePlayer&) = delete;

  // --- Mapping. With a fixed viewport (standard metafiles) the window maps onto the viewport
  // given here, and the file's own viewport and mapping-mode records are ignored.
  void FixViewport(double x, double y, double w, double h);
  // Resolution of the recording device for the metric mapping modes.
  void SetDevicePixelsPerMm(double x, double y);
  void SetMapMode(int mode);
  void SetWindowOrg(double x, double y);
  void SetWindowExt(double x, double y);
  void SetViewportOrg(double x, double y);
  void SetViewportExt(double x, double y);
  void OffsetWindowOrg(double dx, double dy);
  void OffsetViewportOrg(double dx, double dy);
  void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
  void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
  void SetWorldTransform(const MetafileXform& xform);
  // 1 identity, 2 multiply on the left, 3 on the right, 4 set.
  void ModifyWorldTransform(const MetafileXform& xform, uint32_t mode);

  // --- Objects. Stock objects have their own numbers (WHITE_BRUSH 0 ... DC_PEN 19).
  void CreateObject(uint32_t index, MetafileObject object);
  // Puts the object into the lowest free slot (the numbering of standard metafiles).
  void AddObject(MetafileObject object);
  // A region object becomes the clip region.
  void SelectObject(uint32_t index);
  void SelectStockObject(uint32_t stock);
  void DeleteObject(uint32_t index);
  void SelectPalette(uint32_t index);
  // The brush of an object or of a stock object; nullopt when there is none.
  std::optional<MetafileBrush> ObjectBrush(uint32_t index) const;
  static std::optional<MetafileBrush> StockBrush(uint32_t stock);
  // nullptr when the slot holds no region.
  const MetafileRegion* RegionObject(uint32_t index) const;
  // A brush repeating the bitmap; a monochrome one paints its 0 pixels in the text colour and its
  // 1 pixels in the background colour. Palette numbers are resolved now, through the selected
  // palette. A bitmap that cannot be decoded gives a black brush.
  MetafileBrush PatternBrush(const MetafileDib& dib, bool monochrome) const;
  // Where patterns and hatches start, in the recording device's pixels.
  void SetBrushOrg(double x, double y) { state_.brushOrg = {x, y}; }

  // --- Other state
  void SaveDC();
  void RestoreDC(int32_t level);
  void SetTextColor(uint32_t color) { state_.textColor = color; }
  void SetBkColor(uint32_t color) { state_.bkColor = color; }
  void SetBkMode(int mode);
  void SetTextAlign(uint32_t align) { state_.textAlign = align; }
  // Logical units added to every character's advance.
  void SetTextCharacterExtra(double extra) { state_.charExtra = extra; }
  // Logical units spread over the next `count` break characters.
  void SetTextJustification(double extra, int count);
  void SetPolyFillMode(int mode);
  void SetROP2(int rop2);
  void SetArcDirection(int direction);

  // --- Clipping: rectangles in logical units, regions in the recording device's pixels.
  void IntersectClipRect(double left, double top, double right, double bottom);
  void ExcludeClipRect(double left, double top, double right, double bottom);
  // nullopt removes the clip region; otherwise combined with RGN_* mode.
  void SelectClipRects(const std::optional<std::vector<TRect>>& deviceRects, int mode);
  void SelectClipPath(int mode);
  // A region in logical units becomes the clip; nullptr removes the clip.
  void SelectClipRegion(const MetafileRegion* region);
  // Moves the clip region by logical units.
  void OffsetClipRgn(double dx, double dy);

  // --- Lines and shapes (logical units)
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void Polyline(std::span<const PointD> points);
  void PolylineTo(std::span<const PointD> points);
  void Polygon(std::span<const PointD> points);
  void PolyPolygon(std::span<const PointD> points, std::span<const uint32_t> counts);
  void PolyPolyline(std::span<const PointD> points, std::span<const uint32_t> counts);
  void PolyBezier(std::span<const PointD> points);
  void PolyBezierTo(std::span<const PointD> points);
  // Types: 6 move, 2 line, 4 Bézier, each optionally with 1 (close the figure).
  void PolyDraw(std::span<const PointD> points, std::span<const uint8_t> types);
  void Rectangle(double left, double top, double right, double bottom);
  void RoundRect(double left, double top, double right, double bottom, double cornerW,
                 double cornerH);
  void Ellipse(double left, double top, double right, double bottom);
  enum class ArcKind { Arc, ArcTo, Chord, Pie };
  void ArcShape(ArcKind kind, double left, double top, double right, double bottom, PointD start,
                PointD end);
  // Degrees, counter-clockwise.
  void AngleArc(PointD centre, double radius, double startAngle, double sweepAngle);
  void SetPixel(double x, double y, uint32_t color);

  // --- Paths
  void BeginPath();
  void EndPath() { inPath_ = false; }
  void AbortPath();
  void CloseFigure();
  void FillPath() { PaintPath(true, false); }
  void StrokePath() { PaintPath(false, true); }
  void StrokeAndFillPath() { PaintPath(true, true); }

  // --- Regions: rectangles in logical units. Fill and Frame use the brush given, Paint the
  // selected one combined by ROP2; a frame is `frame` logical units across its sides.
  enum class RegionPaint { Fill, Frame, Paint, Invert };
  void DrawRegion(RegionPaint how, std::span<const TRect> rects,
                  const MetafileBrush* brush = nullptr, PointD frame = {});

  // --- Text at a logical point with the current font, colours and alignment. `dx`, when not
  // empty, gives every character's advance in logical units (pairs of advance and shift with
  // ETO_PDY).
  void TextOut(double x, double y, std::u16string_view text, uint32_t options,
               const std::optional<std::array<double, 4>>& rect, std::span<const double> dx = {});

  // --- Gradients: each triangle shaded linearly between its corners' colours.
  void GradientFill(std::span<const MetafileTriangle> triangles);

  // --- Block transfers. Without a bitmap the brush is combined with the destination; a mask
  // (monochrome, 1 where white) chooses between the two raster operations.
  void Blit(const MetafileBlit& blit, const MetafileDib* dib, const MetafileDib* mask = nullptr);

 private:
  struct State {
    int mapMode = MM_TEXT;
    PointD windowOrg, windowExt{1, 1}, viewportOrg, viewportExt{1, 1};
    MetafileXform world;
    MetafilePen pen;
    MetafileBrush brush;
    MetafileFont font;
    std::optional<uint32_t> palette;  // object index
    uint32_t textColor = 0, bkColor = 0xFFFFFF, textAlign = 0;
    double charExtra = 0;
    int bkMode = OPAQUE, polyFillMode = ALTERNATE, rop2 = R2_COPYPEN;
    int arcDirection = AD_COUNTERCLOCKWISE;
    PointD position, brushOrg;
    std::optional<TRegion> clip;  // dc device units, before the picture's own bounds
  };
  struct Figure {
    std::vector<PointD> points;  // target units
    bool closed = false;
  };

  // The mapping of the page (window onto viewport), before the world transform.
  MetafileXform Page() const;
  // Logical units to dc's logical units.
  MetafileXform Transform() const;
  // The angle of text lines on the screen that the world transform turns them by, in tenths of a
  // degree counter-clockwise; a page mapping that mirrors never turns text.
  int32_t TextTurn() const;
  // Device pixels per logical unit along the logical x axis, and along the y axis.
  double TextScaleX() const;
  double TextScaleY() const;
  PointD Map(PointD p) const;
  std::vector<PointD> MapAll(std::span<const PointD> points) const;
  // Ends of a mapped rectangle; false when the mapping turns or shears it.
  bool MapRect(double left, double top, double right, double bottom, TRect& out) const;
  TColorRef Resolve(uint32_t color) const;
  // The object in the slot when it is a T; nullptr otherwise.
  template <class T>
  const T* Object(uint32_t index) const;
  const MetafilePalette* SelectedPalette() const;
  // Decodes a bitmap of the file, its colour table resolved through the selected palette when it
  // holds palette numbers, or replaced by black and white for a monochrome brush.
  std::optional<DecodedDib> Decode(const MetafileDib& dib, bool keepAlpha,
                                   bool monochrome = false) const;
  // The recording device's point in dc's device units.
  TPoint DevicePoint(PointD p) const;
  // Puts the current objects and modes into dc; false when nothing is to be drawn.
  bool Prepare();
  void ApplyClip();
  void CombineClip(const TRegion& deviceRegion, int mode);

  // Path building and painting in target units.
  void AddFigure(std::vector<PointD> points, bool closed);
  void ExtendFigure(std::span<const PointD> targetPoints);
  void PaintFigures(const std::vector<Figure>& figures, bool fill, bool stroke);
  void PaintPath(bool fill, bool stroke);
  // Outline or fill of a closed logical shape given as target points.
  void DrawShape(std::vector<PointD> targetPoints, bool closed, bool fill);
  // Logical points along the ellipse bounded by the box from the radial through start to the
  // one through end, in the arc direction.
  std::vector<PointD> ArcPoints(double left, double top, double right, double bottom, PointD start,
                                PointD end) const;
  std::vector<PointD> BezierPoints(PointD p0, PointD p1, PointD p2, PointD p3) const;
  TRegion FiguresRegion(const std::vector<Figure>& figures) const;
  // Logical rectangles as a region of dc's logical units; only what lies within `margin` pixels
  // of the picture is kept.
  TRegion MapRegion(std::span<const TRect> rects, int32_t margin) const;
  // The picture's bounds in dc's logical units, widened by `margin` pixels on every side.
  TRect LogicalBounds(int32_t margin) const;

  DeviceContext* dc_;
  MetafileXform base_;
  std::optional<std::array<double, 4>> fixedViewport_;
  PointD pixelsPerMm_{96 / 25.4, 96 / 25.4};
  int savedLevel_ = 0;
  // The player's clip regions are in the context's logical units moved to its device origin
  // (its device units at scale 1).
  TRegion bounds_;
  TPoint deviceOffset_;
  std::optional<TRegion> contextClip_;  // the context's own clip, in its device units
  State state_;
  std::vector<State> saved_;
  std::unordered_map<uint32_t, MetafileObject> objects_;
  uint32_t nextFree_ = 0;  // no free slot below it
  bool inPath_ = false;
  std::vector<Figure> path_;
  bool figureOpen_ = false;
};

}  // namespace plat
