// The device bitmap: its backend, font and text, and supersampled text rendering.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/Bitmap32Format.h"
#include "graphics/bitmap/GDIBackend.h"
#include "graphics/core/LowLevel.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace gfx {
namespace {

TCustomBackend* MakeDeviceBackend() {
  return new TGDIBackend();  // the bitmap takes over this reference
}

template <class Interface>
Interface& RequireService(const TCustomBitmap32& bitmap) {
  auto* service = bitmap.BackendAs<Interface>();
  if (service == nullptr) throw plat::EIntfCastError("Interface not supported");
  return *service;
}

// Gives the font an output quality for the lifetime of the guard, then the default again.
class FontQualityScope {
 public:
  FontQualityScope(plat::TFont& font, plat::TFontQuality quality) : font_(font) {
    font_.SetQuality(quality);
  }
  ~FontQualityScope() { font_.SetQuality(plat::fqDefault); }
  FontQualityScope(const FontQualityScope&) = delete;
  FontQualityScope& operator=(const FontQualityScope&) = delete;

 private:
  plat::TFont& font_;
};

// Columns of supersampled coverage made at a time: whole blocks of 2^Level, a few tens of
// megabytes, no more than the line needs.
int32_t CoverageStripColumns(plat::TSize maskSize, int32_t level) {
  constexpr int64_t kStripBytes = 64 << 20;
  const int64_t block = int64_t{1} << level;
  const int64_t needed = (int64_t{maskSize.cx} + block - 1) / block * block;
  const int64_t fitting = std::max(block, kStripBytes / std::max(maskSize.cy, 1) / block * block);
  return int32_t(std::clamp<int64_t>(std::min(needed, fitting), block, 32767 / block * block));
}

// A side of 2^Level times the size, kept within 32 bits (no picture can be that large).
int32_t Magnified(int64_t side, int32_t level) {
  return int32_t(std::min<int64_t>(side << level, INT32_MAX));
}

}  // namespace

// The base constructor installed the backend before this class's handlers existed.
TBitmap32::TBitmap32() : TCustomBitmap32(MakeDeviceBackend) {
  AttachBackendHandlers(*Backend());
}

// The base destructor can no longer reach this class's handlers.
TBitmap32::~TBitmap32() {
  DetachBackendHandlers(*Backend());
}

plat::TFont& TBitmap32::Font() const {
  return RequireService<IBackendFontSupport>(*this).GetFont();
}

void TBitmap32::SetFont(const plat::TFont& font) {
  RequireService<IBackendFontSupport>(*this).SetFont(font);
}

plat::TCanvas& TBitmap32::Canvas() const {
  return RequireService<IBackendCanvasSupport>(*this).GetCanvas();
}

plat::DeviceContext* TBitmap32::Handle() const {
  return RequireService<IBackendDeviceContextSupport>(*this).GetHandle();
}

plat::TSize TBitmap32::TextExtent(const std::string& text) const {
  return RequireService<IBackendTextSupport>(*this).TextExtent(text);
}

void TBitmap32::TextOut(int32_t x, int32_t y, const std::string& text) {
  RequireService<IBackendTextSupport>(*this).TextOut(x, y, text);
}

void TBitmap32::CopyPropertiesTo(TCustomBitmap32& dst) const {
  TCustomBitmap32::CopyPropertiesTo(dst);
  auto* target = dynamic_cast<TBitmap32*>(&dst);
  auto* mine = BackendAs<IBackendFontSupport>();
  auto* theirs = dst.BackendAs<IBackendFontSupport>();
  if (target != nullptr && mine != nullptr && theirs != nullptr) theirs->SetFont(mine->GetFont());
}

void TBitmap32::BackendChanged() {
  TCustomBitmap32::BackendChanged();
  HandleChanged();
}

// No canvas outlives a surface.
void TBitmap32::BackendChanging() {
  if (auto* canvas = BackendAs<IBackendCanvasSupport>()) canvas->DeleteCanvas();
}

void TBitmap32::AttachBackendHandlers(TCustomBackend& backend) {
  if (auto* font = dynamic_cast<IBackendFontSupport*>(&backend))
    font->SetFontChange([](plat::TObject*) {});
  if (auto* canvas = dynamic_cast<IBackendCanvasSupport*>(&backend))
    canvas->SetCanvasChange([this](plat::TObject*) { Changed(); });
}

void TBitmap32::DetachBackendHandlers(TCustomBackend& backend) {
  if (auto* font = dynamic_cast<IBackendFontSupport*>(&backend)) font->SetFontChange(nullptr);
  if (auto* canvas = dynamic_cast<IBackendCanvasSupport*>(&backend))
    canvas->SetCanvasChange(nullptr);
}

void TBitmap32::HandleChanged() {
  if (OnHandleChanged) OnHandleChanged(this);
}

void TBitmap32::RenderText(int32_t x, int32_t y, const std::string& text, int32_t aaLevel,
                           TColor32 color) {
  if (Empty()) return;
  const uint32_t alpha = color >> 24;
  const TColor32 rgb = color & 0x00FFFFFF;
  aaLevel = Constrain(aaLevel, -1, 4);
  const std::string padded = text + " ";
  FontQualityScope quality(Font(), aaLevel < 0 ? plat::fqAntialiased : plat::fqNonAntialiased);

  // Glyph coverage at 2^Level times the resolution, with a margin of 2^Level: the line is laid
  // out at its own size and magnified, so that it keeps to the extent it is measured with (a
  // font 2^Level times larger has advances that add up to a little more or less). Made straight
  // as bytes in strips of columns, so that a long line keeps its antialiasing. Strips taller than
  // the picture limits could not be made: take the highest level whose strips fit.
  plat::DeviceContext coverer;
  coverer.SelectFont(Font().LogFont());
  const std::u16string wide = plat::Utf8ToUtf16(text);
  const plat::TSize extent = coverer.GetTextExtent(plat::Utf8ToUtf16(padded));
  plat::TSize maskSize;
  int32_t stripColumns = 0;
  while (aaLevel > 0) {
    maskSize = {Magnified(int64_t{extent.cx} + 1, aaLevel),
                Magnified(int64_t{extent.cy} + 1, aaLevel)};
    stripColumns = CoverageStripColumns(maskSize, aaLevel);
    if (!bitmap32_format::CheckSize(stripColumns, maskSize.cy)) break;
    --aaLevel;
  }

  TBitmap32 mask;
  if (aaLevel <= 0) {
    plat::TSize size = TextExtent(padded);
    size.cx = std::min(size.cx, Width());
    size.cy = std::min(size.cy, Height());
    mask.SetSizeToOverwrite(size.cx, size.cy);
    mask.SetFont(Font());
    mask.ClearWithColor(0);
    mask.Font().SetColor(plat::clWhite);
    mask.TextOut(0, 0, text);
    TextMaskToAlpha(mask, rgb);
  } else {
    mask.SetSizeToOverwrite(maskSize.cx >> aaLevel, maskSize.cy >> aaLevel);
    std::vector<uint8_t> coverage(size_t(stripColumns) * size_t(maskSize.cy));
    coverer.SetScale(1 << aaLevel);
    for (int32_t left = 0; left < mask.Width() << aaLevel; left += stripColumns) {
      std::fill(coverage.begin(), coverage.end(), uint8_t(0));
      coverer.TextCoverage(-(left >> aaLevel), 0, wide, coverage.data(), stripColumns, maskSize.cy);
      DownsampleTextMask(mask, coverage.data(), stripColumns, aaLevel, rgb, left >> aaLevel);
    }
  }
  mask.SetDrawMode(dmBlend);
  mask.SetMasterAlpha(alpha);
  mask.SetCombineMode(CombineMode());
  mask.DrawTo(*this, x, y);
}

void TextMaskToAlpha(TCustomBitmap32& mask, TColor32 rgb) {
  if (mask.Bits() == nullptr) return;
  TColor32* const end = mask.Bits() + int64_t{mask.Width()} * mask.Height();
  for (TColor32* p = mask.Bits(); p != end; ++p) {
    if (*p != 0) *p = (*p << 24) + rgb;
  }
}

void DownsampleTextMask(TCustomBitmap32& dst, const uint8_t* coverage, int32_t coverageWidth,
                        int32_t n, TColor32 rgb, int32_t firstColumn) {
  const int32_t block = 1 << n;
  const int32_t width = std::min(dst.Width() - firstColumn, coverageWidth >> n);
  if (width <= 0) return;
  const int32_t columns = width << n;
  // Column sums of a block of rows first: a plain pass along memory, then one add per column.
  std::vector<uint32_t> columnSums(static_cast<std::size_t>(columns));
  for (int32_t j = 0; j < dst.Height(); ++j) {
    const uint8_t* rows = coverage + int64_t(j << n) * coverageWidth;
    std::copy_n(rows, columns, columnSums.begin());
    for (int32_t v = 1; v < block; ++v) {
      const uint8_t* row = rows + int64_t(v) * coverageWidth;
      for (int32_t x = 0; x < columns; ++x) columnSums[x] += row[x];
    }
    TColor32* out = dst.RowPtr(j) + firstColumn;
    for (int32_t i = 0; i < width; ++i) {
      uint32_t sum = 0;
      for (int32_t u = 0; u < block; ++u) sum += columnSums[(i << n) + u];
      out[i] = ((sum >> n >> n) << 24) + rgb;
    }
  }
}

}  // namespace gfx
