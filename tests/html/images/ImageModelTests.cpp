// Models of picture kinds, image maps and the imaging layer's drawing, compared with the engine
// over random inputs: first bytes of data and files, COORDS values, map areas under random
// points, and pictures scaled onto random places of a surface.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ImageTestData.h"
#include "html/images/GdiPlusLoader.h"
#include "html/images/ImageLoading.h"
#include "html/images/ImageMaps.h"
#include "html/images/PictureHelpers.h"

namespace {

TEST(ImageKindModel, FirstBytesOfDataAndFiles) {
  std::mt19937 random(162);
  const std::vector<std::string> starts = {"GIF89a",   "GIF87a",  "GIF8x",   "GIF9",
                                           "BM",       "\x89PNG", "\x89PNx", "\xFF\xD8",
                                           "\xFF\xD9", "",        "B",       "gif89"};
  for (int n = 0; n < 3000; ++n) {
    std::string data = starts[random() % starts.size()];
    const size_t size = random() % 14;
    while (data.size() < size) data += char(random() % 4 ? random() % 256 : '9');
    data.resize(size);
    const auto b = [&](size_t i) { return uint8_t(data[i]); };
    uint8_t kind = html::ikNone;
    if (size >= 5) {
      if (data.compare(0, 4, "GIF8") == 0)
        kind = b(4) == '9' ? html::ikGif89 : html::ikGif87;
      else if (b(0) == 'B' && b(1) == 'M')
        kind = html::ikBmp;
      else if (b(0) == 0x89 && data.compare(1, 3, "PNG") == 0)
        kind = html::ikPng;
      else if (b(0) == 0xFF && b(1) == 0xD8)
        kind = html::ikJpeg;
    }
    ASSERT_EQ(html::ImageKind(data.data(), data.size()), kind) << n;
    if (n % 20 == 0) {
      imagetest::TempFile file("f.bin", data);
      EXPECT_EQ(html::FileImageKind(file.Path()), size < 10 ? html::ikNone : kind) << n;
    }
  }
}

// COORDS as a page might give them.
std::string RandomCoords(std::mt19937& random) {
  static const char* const separators[] = {",", " ", ", ", " ,", ",,", "  ", " , ,"};
  std::string text;
  for (int i = 0; i < 3; ++i)
    if (random() % 3 == 0) text += char(1 + random() % 32);  // below 33: trimmed
  const int count = int(random() % 12);
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += separators[random() % std::size(separators)];
    if (random() % 10 == 0) {
      text += "x" + std::to_string(random() % 9);
    } else {
      text += std::to_string(int32_t(random() % 60) - 8);
    }
  }
  for (int i = 0; i < 2; ++i)
    if (random() % 3 == 0) text += char(1 + random() % 32);
  return text;
}

// The Part's reading of COORDS, word for word: trim, then take tokens up to a comma that comes
// before any space, or up to a space; leading commas and spaces go after each token.
std::vector<int32_t> ModelCoords(const std::string& value) {
  size_t first = 0, last = value.size();
  while (first < last && uint8_t(value[first]) < 33) ++first;
  while (last > first && uint8_t(value[last - 1]) < 33) --last;
  std::string s = value.substr(first, last - first);
  std::vector<int32_t> out;
  while (true) {
    std::string token;
    const size_t comma = s.find(','), space = s.find(' ');
    if (comma != std::string::npos && (space == std::string::npos || comma < space)) {
      token = s.substr(0, comma);
      s.erase(0, comma + 1);
    } else if (space != std::string::npos) {
      token = s.substr(0, space);
      s.erase(0, space + 1);
    } else {
      token = s;
      s.clear();
    }
    while (!s.empty() && (s[0] == ',' || s[0] == ' ')) s.erase(0, 1);
    if (token.empty() || out.size() > 300) break;
    char* end = nullptr;
    const long number = std::strtol(token.c_str(), &end, 10);
    out.push_back(*end == 0 && std::isdigit(uint8_t(token.back())) ? int32_t(number) : 0);
  }
  return out;
}

struct ModelArea {
  std::string href, target, title;
  int shape = 0;  // 0 rect, 1 circle, 2 polygon
  std::vector<int32_t> c;
};

// 1 inside, 0 outside, -1 too close to the outline to call.
int ModelContains(const ModelArea& a, int x, int y) {
  const double px = x + 0.5, py = y + 0.5;
  if (a.shape == 0) {
    const int64_t l = std::min<int64_t>(a.c[0], a.c[2] + 1),
                  r = std::max<int64_t>(a.c[0], a.c[2] + 1);
    const int64_t t = std::min<int64_t>(a.c[1], a.c[3] + 1),
                  b = std::max<int64_t>(a.c[1], a.c[3] + 1);
    return x >= l && x < r && y >= t && y < b;
  }
  if (a.shape == 1) {
    const double l = std::min(a.c[0] - a.c[2], a.c[0] + a.c[2] + 1);
    const double r = std::max(a.c[0] - a.c[2], a.c[0] + a.c[2] + 1);
    const double t = std::min(a.c[1] - a.c[2], a.c[1] + a.c[2] + 1);
    const double b = std::max(a.c[1] - a.c[2], a.c[1] + a.c[2] + 1);
    const double dx = (px - (l + r) / 2) / ((r - l) / 2), dy = (py - (t + b) / 2) / ((b - t) / 2);
    const double d = dx * dx + dy * dy;
    return std::abs(d - 1) < 0.05 ? -1 : d < 1;
  }
  // Winding number as the sum of the angles the edges turn round the point.
  const size_t n = a.c.size() / 2;
  double turn = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const double ax = a.c[2 * i] - px, ay = a.c[2 * i + 1] - py;
    const double bx = a.c[2 * j] - px, by = a.c[2 * j + 1] - py;
    const double cross = ax * by - ay * bx, dot = ax * bx + ay * by;
    const double length = std::hypot(bx - ax, by - ay);
    if (length > 0 && std::abs(cross) / length < 1e-6 && dot <= 0) return -1;  // on an edge
    turn += std::atan2(cross, dot);
  }
  return std::lround(turn / (2 * M_PI)) != 0;
}

TEST(ImageMapModel, AreasReadAndHitAsTheModelSays) {
  std::mt19937 random(1620);
  int hits = 0;
  for (int n = 0; n < 200; ++n) {
    html::TMapItem map;
    std::vector<ModelArea> model;
    const int areas = n == 0 ? 1010 : 1 + int(random() % 8);
    for (int k = 0; k < areas; ++k) {
      html::TAttributeList list;
      ModelArea area;
      std::vector<int32_t> coords;
      bool hasCoords = false;
      for (int attributes = int(random() % 7); attributes > 0; --attributes) {
        static const char* const shapes[] = {"rect",    "CIRCLE", "circ",   "poly",
                                             "Polygon", "",       "square", "ci"};
        std::string value;
        html::Symb which = html::HrefSy;
        switch (random() % 6) {
          case 0:
            value = area.href = "u" + std::to_string(random() % 50);
            break;
          case 1:
            which = html::NoHrefSy;
            area.href.clear();
            break;
          case 2:
            which = html::TargetSy;
            value = area.target = "t" + std::to_string(random() % 5);
            break;
          case 3:
            which = html::TitleSy;
            value = area.title = "ti" + std::to_string(random() % 5);
            break;
          case 4: {
            which = html::ShapeSy;
            value = shapes[random() % std::size(shapes)];
            std::string lower;
            for (char ch : value.substr(0, 4)) lower += char(std::tolower(ch));
            area.shape = lower == "circ" ? 1 : lower == "poly" ? 2 : 0;
            break;
          }
          default: {
            which = html::CoordsSy;
            value = RandomCoords(random);
            coords = ModelCoords(value);
            EXPECT_EQ(html::ParseAreaCoords(value), coords) << value;
            hasCoords = true;
          }
        }
        list.Add(std::make_unique<html::TAttribute>(which, 0, "", value, 0));
      }
      if (!hasCoords) {  // most areas have coordinates enough for their shape
        const std::string value = RandomCoords(random);
        list.Add(std::make_unique<html::TAttribute>(html::CoordsSy, 0, "", value, 0));
        coords = ModelCoords(value);
      }
      map.AddArea(list);
      area.c = coords;
      const size_t needed[] = {4, 3, 6};
      if (coords.size() >= needed[area.shape] && model.size() < 1000) {
        if (area.shape == 2) area.c.resize(coords.size() / 2 * 2);
        model.push_back(area);
      }
    }
    ASSERT_EQ(map.Count(), int(model.size())) << n;
    for (int point = 0; point < 200; ++point) {
      const int x = int(random() % 70) - 10, y = int(random() % 70) - 10;
      const ModelArea* first = nullptr;
      bool unsure = false;
      for (const ModelArea& area : model) {
        const int inside = ModelContains(area, x, y);
        if (inside < 0) unsure = true;
        if (inside != 0) {
          first = &area;
          break;
        }
      }
      if (unsure) continue;
      std::unique_ptr<html::TUrlTarget> link;
      std::string title;
      const bool hit = map.HitTest(x, y, link, title);
      ASSERT_EQ(hit, first && !first->href.empty()) << n << " at " << x << "," << y;
      if (!hit) continue;
      ++hits;
      EXPECT_EQ(link->URL, first->href);
      EXPECT_EQ(link->Target, first->target);
      EXPECT_EQ(title, first->title);
    }
  }
  EXPECT_GT(hits, 1000);
}

TEST(ImagingLayerModel, UsersStartAndStopTheLayer) {
  std::mt19937 random(164);
  const int base = html::GdiPlusUseCount();
  int count = base;
  for (int n = 0; n < 200; ++n) {
    if (count > base && random() % 2) {
      html::GdiPlusRelease();
      --count;
    } else {
      html::GdiPlusAcquire();
      ++count;
    }
    ASSERT_EQ(html::GdiPlusUseCount(), count);
    ASSERT_EQ(html::GdiPlusActive(), count > 0);
  }
  for (; count > base; --count) html::GdiPlusRelease();
}

TEST(ImagingLayerModel, PicturesScaleOntoTheSurfaceAsTheModelSays) {
  std::mt19937 random(1640);
  constexpr int kSide = 40;
  for (int n = 0; n < 400; ++n) {
    const int w = 1 + int(random() % 16), h = 1 + int(random() % 16);
    const bool uniform = random() % 3 == 0;
    html::TGpBitmap picture(w, h);
    const uint32_t only = 0xFF000000u | (random() & 0xFFFFFF);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        picture.SetPixel(x, y,
                         uniform             ? only
                         : random() % 8 == 0 ? 0
                                             : 0xFF000000u | (random() & 0xFFFFFF));
    imagetest::Surface surface(kSide, kSide, 0);
    for (uint32_t& p : surface.pixels) p = 0xFF000000u | (random() & 0xFFFFFF);
    const std::vector<uint32_t> before = surface.pixels;
    plat::DeviceContext dc(surface.pixels.data(), kSide, kSide, kSide * 4);
    const int dx = int(random() % 50) - 10, dy = int(random() % 50) - 10;
    const int dw = 1 + int(random() % 50), dh = 1 + int(random() % 50);
    html::GpDrawImage(dc, picture, dx, dy, dw, dh);

    // A side of at most 10 pixels that is enlarged goes through nearest neighbours.
    const bool small = (w <= 10 && dw > w) || (h <= 10 && dh > h);
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const size_t at = size_t(y) * kSide + size_t(x);
        const uint32_t got = surface.pixels[at] & 0xFFFFFF;
        const bool inside = x >= dx && x < dx + dw && y >= dy && y < dy + dh;
        if (!inside) {
          wrong += surface.pixels[at] != before[at];
          continue;
        }
        if (small || uniform) {
          const int sx = int(std::floor((x - dx + 0.5) * w / dw));
          const int sy = int(std::floor((y - dy + 0.5) * h / dh));
          const uint32_t source = uniform ? only : picture.GetPixel(sx, sy);
          wrong += got != ((source >> 24) ? source & 0xFFFFFF : before[at] & 0xFFFFFF);
        }
      }
    EXPECT_EQ(wrong, 0) << n << ": " << w << "x" << h << " into " << dx << "," << dy << " " << dw
                        << "x" << dh;
  }
}

}  // namespace
