// A model of the colour chain and of the dialog's arithmetic, written from their rules alone,
// pixel by pixel in double precision where they compute: channel operations, saturation,
// thresholds, brightness, contrast, the ten balance algorithms, gamma and swaps; the preview's
// zoom, the gamma text and the gauges' steps. Two choices of the program stand: contrast stops at
// 255 instead of wrapping, and every pixel keeps its alpha.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace chain_model {

// What the dialog's controls say.
struct Controls {
  struct Logical {
    bool on = false;
    int function = 1, amount = 128;  // 1 xor, 2 or, 3 and
  };
  struct Balance {
    int value = 0, algorithm = 1;
  };
  struct Threshold {
    bool on = false, above = false;
    int level = 128;
  };
  std::array<Logical, 4> logical;  // RGB, red, green, blue
  std::array<Balance, 4> balance;
  std::array<int, 4> saturation{100, 100, 100, 100};
  std::array<Threshold, 3> threshold;  // red, green, blue
  int bright = 0, contrast = 0, gamma = 100;
  bool redBlue = false, redGreen = false, greenBlue = false;
};

// Round to the nearest whole number, halves to the even one.
inline int Round(double v) {
  const double f = std::floor(v), d = v - f;
  if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0)) return int(f) + 1;
  return int(f);
}

inline int ToByte(int v) {
  return std::clamp(v, 0, 255);
}

// Pixel bytes by channel: 0 blue, 1 green, 2 red, 3 alpha.
using Pixel = std::array<int, 4>;

inline void Balance(Pixel& p, int channel, int v, int algorithm) {
  const int d = algorithm == 3 || algorithm == 4 || algorithm == 7 || algorithm == 8 ? 1 : 2;
  // Partners: red has green and blue, green has red and blue, blue has red and green.
  const int A = channel == 2 ? p[1] : p[2], B = channel == 0 ? p[1] : p[0];
  int& c = p[channel];
  const int a = Round(double(v) / d);
  if (v > 0 ? c + a > 255 : c + a < 0) return;
  const bool extra = algorithm == 5   ? c > 0 && A > 0
                     : algorithm == 6 ? c > 0 && B > 0
                     : algorithm == 2 || algorithm == 4 || algorithm == 7 || algorithm == 8 ? c > 0
                                                                                            : true;
  if (!extra) return;
  c = v > 0 ? c + a : c - Round(std::fabs(double(v) / d));
  if (algorithm == 5 || algorithm == 7 || algorithm == 9) c ^= A;
  if (algorithm == 6 || algorithm == 8) c ^= B;
  if (algorithm == 10) c = v < 0 && channel == 2 ? c | B : c ^ B;
}

inline void Saturate(Pixel& p, int channel, int s) {
  const int k = s == 100 ? 255 : Round(s / 100.0 * 255);
  const int m = (p[0] + p[1] + p[2]) / 3;
  p[channel] = ToByte((p[channel] - m) * k / 255 + m);
}

inline uint32_t Apply(uint32_t color, const Controls& c) {
  Pixel p;
  for (int i = 0; i < 4; ++i) p[i] = int(color >> (8 * i) & 255);
  const int alpha = p[3];
  // Channel operations: the amount in the chosen channels and 0 elsewhere, alpha included.
  for (int s = 0; s < 4; ++s) {
    if (!c.logical[s].on) continue;
    for (int i = 0; i < 4; ++i) {
      const bool chosen = i < 3 && (s == 0 || i == 3 - s);
      const int mask = chosen ? c.logical[s].amount : 0;
      p[i] = c.logical[s].function == 1   ? p[i] ^ mask
             : c.logical[s].function == 2 ? p[i] | mask
                                          : p[i] & mask;
    }
  }
  if (c.saturation[0] != 0) {
    const int k = c.saturation[0] == 100 ? 255 : Round(c.saturation[0] / 100.0 * 255);
    const int m = (p[0] + p[1] + p[2]) / 3;
    for (int i = 0; i < 3; ++i) p[i] = ToByte((p[i] - m) * k / 255 + m);
  }
  for (int s = 1; s < 4; ++s)
    if (c.saturation[s] != 0) Saturate(p, 3 - s, c.saturation[s]);
  for (int t = 0; t < 3; ++t) {
    const auto& th = c.threshold[t];
    int& v = p[2 - t];
    if (th.on && (th.above ? v > th.level : v < th.level)) v = 0;
  }
  for (int i = 0; i < 4 && c.bright != 0; ++i)
    p[i] = c.bright > 0 ? std::min(255, p[i] + c.bright) : std::max(0, p[i] + c.bright);
  if (c.contrast != 0) {
    const int step = Round(std::exp(c.contrast / 50.0));
    for (int i = 0; i < 4; ++i) {
      if (c.contrast > 0 ? p[i] + c.contrast >= 255 : p[i] + c.contrast <= 0)
        p[i] = c.contrast > 0 ? 255 : 0;
      else
        p[i] = std::min(255, p[i] + step);
    }
  }
  if (c.balance[0].value != 0)
    for (int ch : {2, 1, 0}) Balance(p, ch, c.balance[0].value, c.balance[0].algorithm);
  for (int s = 1; s < 4; ++s)
    if (c.balance[s].value != 0) Balance(p, 3 - s, c.balance[s].value, c.balance[s].algorithm);
  const double g = std::clamp(c.gamma / 100.0, 0.01, 7.0);
  for (int i = 0; i < 3; ++i)
    if (p[i] != 0) p[i] = Round(255 * std::exp(1 / g * std::log(p[i] / 255.0)));
  if (c.redBlue) std::swap(p[2], p[0]);
  if (c.redGreen) std::swap(p[2], p[1]);
  if (c.greenBlue) std::swap(p[1], p[0]);
  return uint32_t(alpha) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[0]);
}

// The percentage of the picture the preview's reduced copy takes.
inline int Zoom(int w, int h, int previewW, int previewH) {
  if (w <= previewW && h <= previewH) return 100;
  const int side = w <= h ? h : w, room = w <= h ? previewH : previewW;
  int p = 100;
  // Side x p / 100, halves to even, in whole numbers.
  auto scaled = [side](int q) {
    const long long t = (long long)side * q, f = t / 100, r = t % 100;
    return r > 50 || (r == 50 && f % 2) ? f + 1 : f;
  };
  while (p >= 6 && scaled(p) > room) --p;
  return Round(p * 0.75);
}

// Hundredths with two decimals.
inline std::string GammaText(int hundredths) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
  return text;
}

// A gauge's "-" or "+": 25 toward an end of its range; "-" below min + 26 gives min, "+" at or
// above max - 25 gives max.
inline int Step(int position, bool up, int min, int max) {
  if (!up) return position < min + 26 ? min : position - 25;
  return position >= max - 25 ? max : position + 25;
}

}  // namespace chain_model
