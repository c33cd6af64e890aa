#include "platform/drawing/Graphics.h"

#include "platform/runtime/SysUtils.h"

namespace plat {
void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// --- TFont

TFont::TFont() = default;

void TFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFont*>(&source);
  if (other == nullptr) return TPersistent::Assign(source);
  if (name_ == other->name_ && height_ == other->height_ && style_ == other->style_ &&
      color_ == other->color_ && charset_ == other->charset_ && pitch_ == other->pitch_ &&
      quality_ == other->quality_) {
    return;
  }
  name_ = other->name_;
  height_ = other->height_;
  style_ = other->style_;
  color_ = other->color_;
  charset_ = other->charset_;
  pitch_ = other->pitch_;
  quality_ = other->quality_;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

int TFont::Size() const {
  return -MulDiv(height_, 72, kFontPixelsPerInch);
}

void TFont::SetSize(int points) {
  SetHeight(-MulDiv(points, kFontPixelsPerInch, 72));
}

void TFont::SetHeight(int pixels) {
  if (pixels == height_) return;
  height_ = pixels;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetQuality(TFontQuality quality) {
  if (quality == quality_) return;
  quality_ = quality;
  Changed();
}

TLogFont TFont::LogFont() const {
  TLogFont f;
  f.FaceName = name_;
  f.Height = height_;
  f.Weight = (style_ & fsBold) ? 700 : 400;
  f.Italic = (style_ & fsItalic) != 0;
  f.Underline = (style_ & fsUnderline) != 0;
  f.StrikeOut = (style_ & fsStrikeOut) != 0;
  f.CharSet = charset_;
  f.Quality = quality_;
  f.Pitch = pitch_ == fpVariable ? VARIABLE_PITCH : pitch_ == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  return f;
}

// --- TPen

void TPen::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TPen*>(&source);
  if (other == nullptr) return TPersistent::Assign(source);
  if (color_ == other->color_ && width_ == other->width_ && style_ == other->style_ &&
      mode_ == other->mode_) {
    return;
  }
  color_ = other->color_;
  width_ = other->width_;
  style_ = other->style_;
  mode_ = other->mode_;
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

TLogPen TPen::LogPen() const {
  TLogPen pen;
  pen.Style = int(style_);
  pen.Width = width_;
  pen.Color = TColorRef(ColorToRGB(color_)) & 0xFFFFFF;
  return pen;
}

int TPen::ROP2() const {
  static constexpr int kCodes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                   R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                   R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                   R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return kCodes[mode_];
}

// --- TBrush

void TBrush::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBrush*>(&source);
  if (other == nullptr) return TPersistent::Assign(source);
  if (color_ == other->color_ && style_ == other->style_) return;
  color_ = other->color_;
  style_ = other->style_;
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

TLogBrush TBrush::LogBrush() const {
  TLogBrush b;
  b.Color = TColorRef(ColorToRGB(color_)) & 0xFFFFFF;
  if (style_ == bsSolid) {
    b.Style = BS_SOLID;
  } else if (style_ == bsClear) {
    b.Style = BS_NULL;
  } else {
    b.Style = BS_HATCHED;
    b.Hatch = HS_HORIZONTAL + (style_ - bsHorizontal);
  }
  return b;
}

}  // namespace plat
