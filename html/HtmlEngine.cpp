#include "html/HtmlEngine.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/windows/Application.h"

namespace html {

namespace {

struct TEngineState {
  int starts = 0;
  uint8_t screenColorBits = 24;
  std::optional<plat::TPalette> viewerPalette;
  uint32_t paletteRelative = 0;
  std::unique_ptr<plat::TBitmap> defaultImage, errorImage, errorMask;
  std::unique_ptr<plat::TMemoryStream> imageWait;
};

TEngineState& State() {
  static TEngineState state;
  return state;
}

// The twenty colours every palette screen keeps: ten at the start, ten at the end.
constexpr std::array<plat::TPaletteEntry, 20> kStaticColors = {{
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
}};

// A 16 x 16 picture from rows of letters: each letter names a colour of the key.
struct TPictureKey {
  char letter;
  uint8_t red, green, blue;
};

std::unique_ptr<plat::TBitmap> MakePicture(const std::array<std::string_view, 16>& rows,
                                           std::initializer_list<TPictureKey> key) {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf24bit);
  bitmap->SetSize(16, 16);
  for (int y = 0; y < 16; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < 16; ++x)
      for (const TPictureKey& k : key)
        if (k.letter == rows[size_t(y)][size_t(x)]) {
          row[3 * x] = k.blue;
          row[3 * x + 1] = k.green;
          row[3 * x + 2] = k.red;
        }
  }
  return bitmap;
}

// A framed landscape: the picture that stands for an image still to come.
constexpr std::array<std::string_view, 16> kDefaultImage = {
    "kkkkkkkkkkkkkkkk", "kssssssssssssssk", "kssssssssssyyssk", "ksssssssssyyyysk",
    "ksssssssssyyyysk", "kssssssssssyyssk", "kssssssssssssssk", "kssssgsssssssssk",
    "ksssgggssssssssk", "kssgggggssgssssk", "ksgggggggggggggk", "kggggggggggggggk",
    "kggggggggggggggk", "kggggggggggggggk", "kggggggggggggggk", "kkkkkkkkkkkkkkkk",
};

// A red cross on a small frame; '.' is transparent.
constexpr std::array<std::string_view, 16> kErrorImage = {
    "................", ".kkkkkkkkkkkkkk.", ".kwwwwwwwwwwwwk.", ".kwrrwwwwwwrrwk.",
    ".kwrrrwwwwrrrwk.", ".kwwrrrwwrrrwwk.", ".kwwwrrrrrrwwwk.", ".kwwwwrrrrwwwwk.",
    ".kwwwwrrrrwwwwk.", ".kwwwrrrrrrwwwk.", ".kwwrrrwwrrrwwk.", ".kwrrrwwwwrrrwk.",
    ".kwrrwwwwwwrrwk.", ".kwwwwwwwwwwwwk.", ".kkkkkkkkkkkkkk.", "................",
};

// Cursors: 'b' black, 'w' white, '.' clear.
constexpr std::array<std::string_view, 16> kHandCursor = {
    ".....bb.........", "....bwwb........", "....bwwb........", "....bwwb........",
    "....bwwbbb......", "....bwwbwwbbb...", "....bwwbwwbwwbb.", ".bb.bwwbwwbwwbwb",
    "bwwbbwwwwwwwwbwb", "bwwwbwwwwwwwwwwb", ".bwwwwwwwwwwwwwb", "..bwwwwwwwwwwwwb",
    "..bwwwwwwwwwwwb.", "...bwwwwwwwwwwb.", "....bwwwwwwwwb..", "....bbbbbbbbbb..",
};
constexpr std::array<std::string_view, 16> kUpDownCursor = {
    ".......b........", "......bwb.......", ".....bwwwb......", "....bwwwwwb.....",
    "...bbbbwbbbb....", "......bwb.......", "......bwb.......", ".....bbwbb......",
    ".....bwwwb......", ".....bbwbb......", "......bwb.......", "...bbbbwbbbb....",
    "....bwwwwwb.....", ".....bwwwb......", "......bwb.......", ".......b........",
};
constexpr std::array<std::string_view, 16> kUpOnlyCursor = {
    ".......b........", "......bwb.......", ".....bwwwb......", "....bwwwwwb.....",
    "...bbbbwbbbb....", "......bwb.......", "......bwb.......", ".....bbwbb......",
    ".....bwwwb......", ".....bbbbb......", "................", "................",
    "................", "................", "................", "................",
};
constexpr std::array<std::string_view, 16> kDownOnlyCursor = {
    "................", "................", "................", "................",
    "................", "................", ".....bbbbb......", ".....bwwwb......",
    ".....bbwbb......", "......bwb.......", "......bwb.......", "...bbbbwbbbb....",
    "....bwwwwwb.....", ".....bwwwb......", "......bwb.......", ".......b........",
};

void RegisterCursor(plat::TCursor id, const std::array<std::string_view, 16>& rows,
                    plat::TPoint hotSpot) {
  std::vector<uint8_t> pixels;
  for (std::string_view row : rows)
    for (char c : row) pixels.push_back(c == 'b' ? 1 : c == 'w' ? 2 : 0);
  plat::Screen().SetCustomCursor(id, 16, 16, pixels, hotSpot);
}

}  // namespace

void SetScreenDepth(int bitsPerPixel) {
  TEngineState& state = State();
  state.screenColorBits = bitsPerPixel < 5 ? 4 : bitsPerPixel > 8 ? 24 : 8;
  state.viewerPalette.reset();
  if (state.screenColorBits == 8) state.viewerPalette = CreateViewerPalette();
  state.paletteRelative = bitsPerPixel <= 8 ? kPaletteRelativeFlag : 0;
}

plat::TPalette CreateViewerPalette() {
  std::vector<plat::TPaletteEntry> entries(256);
  for (size_t i = 0; i < 10; ++i) {
    entries[i] = kStaticColors[i];
    entries[246 + i] = kStaticColors[10 + i];
  }
  constexpr uint8_t kLevels[] = {55, 115, 165, 205, 235, 255};
  size_t index = 10;
  for (uint8_t blue : kLevels)
    for (uint8_t green : kLevels)
      for (uint8_t red : kLevels)
        if (red != 255 || green != 255 || blue != 255) entries[index++] = {red, green, blue, 0};
  for (int i = 1; i <= 24; ++i) {
    if (i == 7 || i == 15 || i == 21) continue;  // 165, 205 and 235 are in the cube already
    const uint8_t level = uint8_t(5 * i + 130);
    entries[index++] = {level, level, level, 0};
  }
  entries[245] = {255, 255, 254, 0};
  return plat::TPalette(std::move(entries));
}

plat::TPalette CopyViewerPalette(const plat::TPalette& palette) {
  if (ScreenColorBits() > 8) return plat::TPalette();
  return palette;
}

void StartHtmlEngine() {
  TEngineState& state = State();
  if (state.starts++ > 0) return;
  SetScreenDepth(32);
  state.defaultImage = MakePicture(kDefaultImage, {{'k', 64, 64, 64},
                                                   {'s', 166, 202, 240},
                                                   {'y', 255, 220, 0},
                                                   {'g', 0, 128, 64},
                                                   {'.', 166, 202, 240}});
  state.errorImage = MakePicture(
      kErrorImage,
      {{'k', 64, 64, 64}, {'w', 255, 255, 255}, {'r', 224, 0, 0}, {'.', 192, 192, 192}});
  state.errorMask = MakePicture(kErrorImage, {{'.', 255, 255, 255}});
  state.errorMask->SetMonochrome(true);
  RegisterCursor(HandCursor, kHandCursor, {6, 0});
  RegisterCursor(UpDownCursor, kUpDownCursor, {7, 7});
  RegisterCursor(UpOnlyCursor, kUpOnlyCursor, {7, 7});
  RegisterCursor(DownOnlyCursor, kDownOnlyCursor, {7, 7});
  state.imageWait = std::make_unique<plat::TMemoryStream>();
}

void StopHtmlEngine() {
  TEngineState& state = State();
  if (state.starts == 0 || --state.starts > 0) return;
  state.viewerPalette.reset();
  state.defaultImage.reset();
  state.errorImage.reset();
  state.errorMask.reset();
  state.imageWait.reset();
}

uint8_t ScreenColorBits() {
  return State().screenColorBits;
}

const plat::TPalette* ViewerPalette() {
  const auto& palette = State().viewerPalette;
  return palette ? &*palette : nullptr;
}

uint32_t PaletteRelative() {
  return State().paletteRelative;
}

plat::TBitmap* DefaultImageBitmap() {
  return State().defaultImage.get();
}

plat::TBitmap* ErrorImageBitmap() {
  return State().errorImage.get();
}

plat::TBitmap* ErrorImageMask() {
  return State().errorMask.get();
}

plat::TMemoryStream* ImageWaitStream() {
  return State().imageWait.get();
}

}  // namespace html
