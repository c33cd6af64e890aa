#include "platform/drawing/Palette.h"

#include <algorithm>

#include "platform/pictures/Picture.h"
#include "platform/runtime/SysUtils.h"

namespace plat {

const TPalette& TGraphic::Palette() const {
  static const TPalette none;
  return none;
}

TPalette::TPalette(std::vector<TPaletteEntry> entries) : entries_(std::move(entries)) {
  if (entries_.size() > size_t(kMaxEntries)) {
    throw EInvalidGraphic("A palette holds at most 256 colours");
  }
}

TPalette TPalette::GrayRamp(int count) {
  std::vector<TPaletteEntry> entries(size_t(std::clamp(count, 2, kMaxEntries)));
  const int last = int(entries.size()) - 1;
  for (int i = 0; i <= last; ++i) {
    uint8_t level = uint8_t((i * 255 + last / 2) / last);
    entries[size_t(i)] = {level, level, level, 0};
  }
  return TPalette(std::move(entries));
}

TPaletteEntry TPalette::Entry(int index) const {
  if (index < 0 || index >= Count()) return {};
  return entries_[size_t(index)];
}

void TPalette::SetEntry(int index, TPaletteEntry entry) {
  if (index < 0 || index >= Count()) throw EInvalidGraphic("Palette index out of range");
  entries_[size_t(index)] = entry;
}

uint32_t TPalette::ColorARGB(int index) const {
  TPaletteEntry e = Entry(index);
  return 0xFF000000u | (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
}

}  // namespace plat
