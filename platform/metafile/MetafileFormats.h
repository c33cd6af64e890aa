// The two metafile layouts: standard (optionally placeable) Windows metafiles and enhanced
// metafiles. Each has a header reader, which raises EInvalidGraphic for a damaged header, and a
// record reader, which feeds the records to a player and raises for damaged records.
#pragma once

#include <cstdint>
#include <span>

#include "platform/metafile/MetafilePlayer.h"

namespace plat {

struct WmfInfo {
  size_t recordsStart = 0;
  // The window (logical units) that maps onto the picture until the file sets its own.
  double left = 0, top = 0, width = 1, height = 1;
  int pixelWidth = 0, pixelHeight = 0;  // at 96 dpi
};
WmfInfo ReadWmfHeader(std::span<const uint8_t> file);
void PlayWmf(std::span<const uint8_t> file, const WmfInfo& info, MetafilePlayer& player);

struct EmfInfo {
  // The picture frame in pixels of the recording device, and that device's resolution.
  double frameLeft = 0, frameTop = 0, frameWidth = 1, frameHeight = 1;
  double pixelsPerMmX = 96 / 25.4, pixelsPerMmY = 96 / 25.4;
  int pixelWidth = 0, pixelHeight = 0;  // at 96 dpi
};
// True when the bytes start with an enhanced metafile header record.
bool LooksLikeEmf(std::span<const uint8_t> file);
EmfInfo ReadEmfHeader(std::span<const uint8_t> file);
void PlayEmf(std::span<const uint8_t> file, const EmfInfo& info, MetafilePlayer& player);

// Rounds value * numerator / denominator half away from zero, as the integer scaling of the
// desktop graphics interface does.
int64_t MulDivRound(int64_t value, int64_t numerator, int64_t denominator);

}  // namespace plat
