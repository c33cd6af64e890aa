// A model of the layer the builder makes, written from the rules of the builder and of the colour
// interactions alone: the overlay is drawn by its own mode (an opaque copy, a blend at its opacity
// or an interaction handler) either into a fresh black mask whose brightness becomes the layer's
// alpha, or straight onto the background. Blends are kept as ranges, since the processor tiers of
// the blend may differ by a step; copies and handlers are exact.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace overlay_model {

// How the overlay is drawn: as the overlay's group and gauge leave it.
struct OverlayDraw {
  enum Kind { Copy, Blend, Handler } kind = Blend;
  int mode = 0;      // the handler, 1..10
  int master = 255;  // the opacity of a blend
};

// Each of the four bytes as a range of what the rules allow.
struct PixelRange {
  std::array<int, 4> lo{}, hi{};  // blue, green, red, alpha
  static PixelRange Exact(uint32_t c) {
    PixelRange r;
    for (int i = 0; i < 4; ++i) r.lo[i] = r.hi[i] = int(c >> (8 * i) & 255);
    return r;
  }
  bool Holds(uint32_t c, bool withAlpha = true) const {
    for (int i = 0; i < (withAlpha ? 4 : 3); ++i) {
      const int v = int(c >> (8 * i) & 255);
      if (v < lo[i] || v > hi[i]) return false;
    }
    return true;
  }
  // (61 R + 174 G + 21 B) / 256 rounded down, as a range.
  std::array<int, 2> Brightness() const {
    return {(61 * lo[2] + 174 * lo[1] + 21 * lo[0]) >> 8,
            (61 * hi[2] + 174 * hi[1] + 21 * hi[0]) >> 8};
  }
};

inline int Byte(uint32_t c, int i) {
  return int(c >> (8 * i) & 255);
}

// The handlers of modes 1..9, byte by byte with alpha alike, F the overlay and B beneath it.
inline uint32_t Interact(int mode, uint32_t F, uint32_t B) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const int f = Byte(F, i), b = Byte(B, i);
    int r = b;
    switch (mode) {
      case 1:
        r = std::min(255, f + b);
        break;
      case 2:
        r = std::max(0, f - b);
        break;
      case 3:
        r = (f * b) >> 8;
        break;
      case 4:
        r = std::min(f, b);
        break;
      case 5:
        r = std::max(f, b);
        break;
      case 6:
        r = std::abs(f - b);
        break;
      case 7:
        r = f + b - ((f * b) >> 7);
        break;
      case 8:
        r = (f + b) >> 1;
        break;
      case 9:
        r = f == 0 ? 255 : std::min(255, b * 256 / f);
        break;
    }
    out |= uint32_t(r) << (8 * i);
  }
  return out;
}

// F over B at the opacity `master`: the colour bytes move from B toward F by F's alpha times the
// opacity; the alpha stays B's or is mixed the same way, by tier.
inline PixelRange Blend(uint32_t F, uint32_t B, int master) {
  const double a = master * Byte(F, 3) / 255.0;
  PixelRange r;
  for (int i = 0; i < 4; ++i) {
    const double mixed = (a * Byte(F, i) + (255 - a) * Byte(B, i)) / 255.0;
    const double keep = i == 3 ? Byte(B, 3) : mixed;
    r.lo[i] = std::max(0, int(std::floor(std::min(mixed, keep))) - 1);
    r.hi[i] = std::min(255, int(std::ceil(std::max(mixed, keep))) + 1);
  }
  return r;
}

// The overlay drawn over every pixel of `under` (row by row, as the engine visits them), which it
// changes; `pattern` is the handler set's counter before the draw and is carried on.
inline std::vector<PixelRange> Draw(const std::vector<uint32_t>& overlay,
                                    const std::vector<uint32_t>& under, const OverlayDraw& how,
                                    int& pattern) {
  std::vector<PixelRange> out(under.size());
  for (size_t i = 0; i < under.size(); ++i) {
    const uint32_t F = overlay[i], B = under[i];
    switch (how.kind) {
      case OverlayDraw::Copy:
        out[i] = PixelRange::Exact(F);
        break;
      case OverlayDraw::Blend:
        out[i] = Blend(F, B, how.master);
        break;
      case OverlayDraw::Handler:
        if (how.mode == 10) {
          pattern = 7 - pattern;
          out[i] = PixelRange::Exact(pattern == 0 ? F : B);
        } else {
          out[i] = PixelRange::Exact(Interact(how.mode, F, B));
        }
        break;
    }
  }
  return out;
}

// The layer: with layer mode 0 the background's colours under the drawn mask's brightness, else
// the background with the overlay drawn on it. `overlay` is already stretched to the background.
inline std::vector<PixelRange> Layer(const std::vector<uint32_t>& background,
                                     const std::vector<uint32_t>& overlay, const OverlayDraw& how,
                                     int layerMode, int& pattern) {
  if (overlay.empty()) {
    std::vector<PixelRange> out;
    for (uint32_t c : background) out.push_back(PixelRange::Exact(c));
    return out;
  }
  if (layerMode != 0) return Draw(overlay, background, how, pattern);
  const std::vector<uint32_t> freshMask(background.size(), 0);
  std::vector<PixelRange> out = Draw(overlay, freshMask, how, pattern);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto bright = out[i].Brightness();
    out[i] = PixelRange::Exact(background[i]);
    out[i].lo[3] = bright[0];
    out[i].hi[3] = bright[1];
  }
  return out;
}

// The percentage a new layer of W x H is shown at over a background of BgW x BgH: 100 when it
// fits; else k falls from 100 while above 2 and the layer at k percent does not fit, and the
// layer shows at k / 2, halves going to the even neighbour.
inline int LayerScale(int64_t W, int64_t H, int64_t BgW, int64_t BgH) {
  if (W <= BgW && H <= BgH) return 100;
  int64_t k = 100;
  while (k > 2 && (BgW * 100 < W * k || BgH * 100 < H * k)) --k;
  const int64_t half = k / 2;
  if (k % 2 == 0 || half % 2 == 0) return int(half);
  return int(half + 1);
}

}  // namespace overlay_model
