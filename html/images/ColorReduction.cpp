// Reducing pictures to a palette: palettes, the row loop and the choice for the screen.
#include "html/images/ColorReduction.h"

#include <algorithm>
#include <optional>

#include "html/HtmlEngine.h"
#include "html/images/ColorReductionDither.h"
#include "html/images/ColorReductionLookup.h"
#include "html/images/ColorReductionOctree.h"

namespace html {

namespace {

constexpr int kSystemColors = 20;

// The palette mode asks for, or nothing for a mode without one.
std::optional<plat::TPalette> ModePalette(const plat::TBitmap& bitmap, uint8_t mode) {
  switch (mode) {
    case rmSystemPalette:
      return SystemPalette();
    case rmNetscapePalette:
      return CreateColorCubePalette();
    case rmViewerPalette: {
      const plat::TPalette* viewer = ViewerPalette();
      return viewer ? CopyViewerPalette(*viewer) : plat::TPalette();
    }
    case rmOptimizedPalette:
      return CreateOptimizedPalette(bitmap, 256, 8, true);
    default:
      return std::nullopt;
  }
}

std::unique_ptr<TDitherEngine> MakeEngine(uint8_t ditherMode, int width, TColorLookup& lookup) {
  if (ditherMode == dmNearest) return std::make_unique<TDitherEngine>(width, lookup);
  if (ditherMode == dmFloydSteinberg) return std::make_unique<TFloydSteinbergEngine>(width, lookup);
  return nullptr;
}

}  // namespace

plat::TPalette SystemPalette() {
  // The viewer palette keeps the static colours at its two ends.
  const plat::TPalette palette = CreateViewerPalette();
  const std::vector<plat::TPaletteEntry>& viewer = palette.Entries();
  std::vector<plat::TPaletteEntry> entries(viewer.begin(), viewer.begin() + kSystemColors / 2);
  entries.insert(entries.end(), viewer.end() - kSystemColors / 2, viewer.end());
  return plat::TPalette(std::move(entries));
}

plat::TPalette CreateColorCubePalette() {
  std::vector<plat::TPaletteEntry> entries;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        entries.push_back({uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b), 0});
  return plat::TPalette(std::move(entries));
}

plat::TPalette CreateOptimizedPalette(const plat::TBitmap& bitmap, int colors, int colorBits,
                                      bool withSystemColors) {
  size_t first = 0;
  std::vector<plat::TPaletteEntry> entries(
      size_t(std::clamp(colors, 0, plat::TPalette::kMaxEntries)));
  if (withSystemColors) {
    const plat::TPalette palette = SystemPalette();
    const std::vector<plat::TPaletteEntry>& system = palette.Entries();
    entries.assign(plat::TPalette::kMaxEntries, plat::TPaletteEntry{});
    std::copy(system.begin(), system.begin() + kSystemColors / 2, entries.begin());
    std::copy(system.end() - kSystemColors / 2, system.end(), entries.end() - kSystemColors / 2);
    colors = plat::TPalette::kMaxEntries - kSystemColors;
    first = kSystemColors / 2;
  }
  TColorQuantizer quantizer(colors, colorBits);
  quantizer.ProcessImage(bitmap);
  const std::vector<plat::TPaletteEntry> table = quantizer.GetColorTable();
  const size_t count = std::min(table.size(), entries.size() - std::min(first, entries.size()));
  std::copy_n(table.begin(), count, entries.begin() + long(first));
  return plat::TPalette(std::move(entries));
}

std::unique_ptr<plat::TBitmap> ReduceColors(const plat::TBitmap& bitmap, uint8_t mode,
                                            uint8_t ditherMode) {
  auto result = std::make_unique<plat::TBitmap>();
  if (mode == rmNone) {
    result->Assign(bitmap);
    result->SetPixelFormat(plat::pf24bit);
    return result;
  }
  result->SetPixelFormat(plat::pf8bit);
  result->SetSize(bitmap.Width(), bitmap.Height());

  std::optional<plat::TPalette> palette = ModePalette(bitmap, mode);
  if (!palette) return result;
  result->SetPalette(*palette);
  std::unique_ptr<TColorLookup> lookup;
  if (mode == rmNetscapePalette)
    lookup = std::make_unique<TNetscapeColorLookup>();
  else
    lookup = std::make_unique<TFastColorLookup>(*palette);
  if (lookup->Colors() == 0) return result;
  std::unique_ptr<TDitherEngine> engine = MakeEngine(ditherMode, bitmap.Width(), *lookup);
  if (!engine) return result;

  std::vector<uint32_t> source(size_t(bitmap.Width()));
  for (int y = 0; y < bitmap.Height(); ++y) {
    bitmap.ReadRowARGB(y, source.data());
    uint8_t* target = result->ScanLine(y);
    uint8_t r, g, b;
    for (int x = engine->Column(); x >= 0 && x < engine->Width(); x = engine->Column()) {
      const uint32_t pixel = source[size_t(x)];
      target[x] =
          engine->Dither(uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel), r, g, b);
    }
    engine->NextLine();
  }
  return result;
}

std::unique_ptr<plat::TBitmap> ReduceBitmapColors(const plat::TGraphic* graphic) {
  const auto* bitmap = dynamic_cast<const plat::TBitmap*>(graphic);
  if (!bitmap || bitmap->Empty()) return nullptr;
  if (bitmap->PixelFormat() == plat::pfDevice) {
    auto copy = std::make_unique<plat::TBitmap>();
    copy->Assign(*bitmap);
    return copy;
  }
  return ReduceColors(*bitmap, ScreenColorBits() < 8 ? rmSystemPalette : rmViewerPalette,
                      dmFloydSteinberg);
}

}  // namespace html
