// Builds metafiles byte by byte for the tests, and draws them onto plain 32-bit surfaces.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/Graphics.h"
#include "platform/metafile/Metafile.h"
#include "platform/runtime/Classes.h"

namespace mftest {

// Little-endian bytes.
struct Le {
  std::string d;
  Le& U8(uint32_t v) {
    d.push_back(char(v & 0xFF));
    return *this;
  }
  Le& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  Le& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Le& F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
  }
  Le& Raw(const std::string& s) {
    d += s;
    return *this;
  }
  size_t Size() const { return d.size(); }
};

// A standard metafile: records of 16-bit words. Colours take two words (low, high).
class Wmf {
 public:
  Wmf& Rec(uint16_t function, std::initializer_list<int> words) {
    Le params;
    for (int w : words) params.U16(uint32_t(w));
    return RecBytes(function, params.d);
  }
  // Parameters as bytes (padded to whole words).
  Wmf& RecBytes(uint16_t function, std::string params) {
    if (params.size() % 2) params.push_back('\0');
    records_.U32(uint32_t(3 + params.size() / 2)).U16(function).Raw(params);
    ++count_;
    return *this;
  }
  std::string Standard() const {
    Le file;
    const uint32_t words = uint32_t(9 + (records_.Size() + 6) / 2);
    file.U16(1).U16(9).U16(0x300).U32(words).U16(16).U32(64).U16(0);
    file.Raw(records_.d).U32(3).U16(0);
    return file.d;
  }
  std::string Placeable(int left, int top, int right, int bottom, int inch) const {
    Le head;
    head.U32(0x9AC6CDD7).U16(0).U16(uint32_t(left)).U16(uint32_t(top)).U16(uint32_t(right));
    head.U16(uint32_t(bottom)).U16(uint32_t(inch)).U32(0);
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2)
      sum ^= uint16_t(uint8_t(head.d[i]) | (uint8_t(head.d[i + 1]) << 8));
    head.U16(sum);
    return head.d + Standard();
  }

 private:
  Le records_;
  int count_ = 0;
};

// Low and high word of a colour for Wmf::Rec.
inline int Lo(uint32_t v) {
  return int(v & 0xFFFF);
}
inline int Hi(uint32_t v) {
  return int(v >> 16);
}

// An enhanced metafile: records of 32-bit values.
class Emf {
 public:
  Emf& Rec(uint32_t type, std::initializer_list<int64_t> values) {
    Le params;
    for (int64_t v : values) params.U32(uint32_t(v));
    return RecBytes(type, params.d);
  }
  Emf& RecBytes(uint32_t type, std::string params) {
    while (params.size() % 4) params.push_back('\0');
    records_.U32(type).U32(uint32_t(8 + params.size())).Raw(params);
    ++count_;
    return *this;
  }
  // frame in 0.01 mm; the recording device has deviceW x deviceH pixels on mmW x mmH.
  std::string Build(int frameLeft, int frameTop, int frameRight, int frameBottom,
                    int deviceW = 1920, int deviceH = 1080, int mmW = 508, int mmH = 286) const {
    Le eof;
    eof.U32(14).U32(20).U32(0).U32(16).U32(20);
    Le head;
    head.U32(1).U32(88);
    head.U32(0).U32(0).U32(0).U32(0);  // bounds
    head.U32(uint32_t(frameLeft)).U32(uint32_t(frameTop)).U32(uint32_t(frameRight));
    head.U32(uint32_t(frameBottom));
    head.U32(0x464D4520).U32(0x10000);
    head.U32(uint32_t(88 + records_.Size() + eof.Size())).U32(uint32_t(count_ + 2));
    head.U16(16).U16(0).U32(0).U32(0).U32(0);
    head.U32(uint32_t(deviceW)).U32(uint32_t(deviceH)).U32(uint32_t(mmW)).U32(uint32_t(mmH));
    return head.d + records_.d + eof.d;
  }

 private:
  Le records_;
  int count_ = 0;
};

// A 24-bit bottom-up bitmap: info header then rows (bottom row first). Pixels are 0xRRGGBB,
// given top row first.
inline std::string Dib24(int width, int height, const std::vector<uint32_t>& topDown,
                         std::string* bitsOut = nullptr) {
  Le info;
  info.U32(40).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(24).U32(0);
  info.U32(0).U32(0).U32(0).U32(0).U32(0);
  Le bits;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = topDown[size_t(y * width + x)];
      bits.U8(p).U8(p >> 8).U8(p >> 16);
    }
    while (bits.Size() % 4) bits.U8(0);
  }
  if (bitsOut) {
    *bitsOut = bits.d;
    return info.d;
  }
  return info.d + bits.d;
}

// A bottom-up bitmap of 1, 4 or 8 bits per pixel: colour table (0xRRGGBB entries) and indices
// given top row first. `core` writes the 12-byte header with 3-byte table entries.
inline std::string DibIndexed(int bpp, int width, int height, const std::vector<uint32_t>& table,
                              const std::vector<uint8_t>& indices, bool core = false,
                              std::string* bitsOut = nullptr) {
  Le info;
  if (core) {
    info.U32(12).U16(uint32_t(width)).U16(uint32_t(height)).U16(1).U16(uint32_t(bpp));
  } else {
    info.U32(40).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(uint32_t(bpp)).U32(0);
    info.U32(0).U32(0).U32(0).U32(uint32_t(table.size())).U32(0);
  }
  for (uint32_t c : table) {
    info.U8(c).U8(c >> 8).U8(c >> 16);
    if (!core) info.U8(0);
  }
  Le bits;
  for (int y = height - 1; y >= 0; --y) {
    uint32_t acc = 0;
    int used = 0;
    for (int x = 0; x < width; ++x) {
      acc = (acc << bpp) | indices[size_t(y * width + x)];
      used += bpp;
      if (used == 8) {
        bits.U8(acc);
        acc = 0;
        used = 0;
      }
    }
    if (used) bits.U8(acc << (8 - used));
    while (bits.Size() % 4) bits.U8(0);
  }
  if (bitsOut) {
    *bitsOut = bits.d;
    return info.d;
  }
  return info.d + bits.d;
}

// A bottom-up 32-bit bitmap without masks; pixels 0xAARRGGBB, top row first.
inline std::string Dib32(int width, int height, const std::vector<uint32_t>& topDown,
                         std::string* bitsOut) {
  Le info;
  info.U32(40).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(32).U32(0);
  info.U32(0).U32(0).U32(0).U32(0).U32(0);
  Le bits;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) bits.U32(topDown[size_t(y * width + x)]);
  }
  *bitsOut = bits.d;
  return info.d;
}

// The offset and size fields of a bitmap inside an enhanced record: the info block starts at
// record offset `at` and the bits follow it. The caller appends info and bits at `at`.
inline Le& DibFields(Le& record, uint32_t at, const std::string& info, const std::string& bits) {
  return record.U32(at)
      .U32(uint32_t(info.size()))
      .U32(at + uint32_t(info.size()))
      .U32(uint32_t(bits.size()));
}

// The parameters of a comment record holding records of the newer drawing interface: its header
// (flag bit 0: the classic records follow too), then a fill of one rectangle.
inline std::string EmfPlusComment(uint16_t headerFlags) {
  Le records;
  records.U16(0x4001).U16(headerFlags).U32(28).U32(16).U32(0xDBC01002).U32(0).U32(96).U32(96);
  records.U16(0x400A).U16(0x8000).U32(32).U32(20).U32(0xFF0000FF).U32(1);
  records.F32(0).F32(0).F32(50).F32(50);
  Le c;
  c.U32(uint32_t(4 + records.Size())).U32(0x2B464D45).Raw(records.d);
  return c.d;
}

// A bitmap's info block and its bits.
struct DibParts {
  std::string info, bits;
};

// A bottom-up 1-bit bitmap whose colour table holds 16-bit numbers of palette entries.
inline DibParts DibPaletteIndices(int width, int height, const std::vector<uint16_t>& table,
                                  const std::vector<uint8_t>& indices) {
  DibParts d;
  d.info = DibIndexed(1, width, height, {}, indices, false, &d.bits);
  d.info.replace(32, 4, Le().U32(uint32_t(table.size())).d);
  for (uint16_t i : table) d.info += Le().U16(i).d;
  return d;
}

// An enhanced pattern brush record: object number, what the colour table holds, bitmap.
inline std::string EmfBrush(uint32_t index, uint32_t usage, const DibParts& dib) {
  Le r;
  r.U32(index).U32(usage);
  DibFields(r, 32, dib.info, dib.bits);
  return r.Raw(dib.info + dib.bits).d;
}

// A palette of 0x00BBGGRR entries as both layouts store it (the enhanced record puts the object
// number in front).
inline std::string PaletteEntries(const std::vector<uint32_t>& entries) {
  Le r;
  r.U16(0x300).U16(uint32_t(entries.size()));
  for (uint32_t e : entries) r.U32(e);
  return r.d;
}

// A corner of a gradient and its colour 0xRRGGBB.
struct GradientCorner {
  int x, y;
  uint32_t rgb;
};

// An enhanced gradient record: corners with 16-bit channels, then the objects' corner numbers.
inline std::string Gradient(uint32_t mode, const std::vector<GradientCorner>& corners,
                            const std::vector<uint32_t>& objects, size_t objectCount) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(corners.size())).U32(uint32_t(objectCount));
  r.U32(mode);
  for (const GradientCorner& c : corners) {
    r.U32(uint32_t(c.x)).U32(uint32_t(c.y));
    r.U16(((c.rgb >> 16) & 0xFF) << 8).U16(((c.rgb >> 8) & 0xFF) << 8).U16((c.rgb & 0xFF) << 8);
    r.U16(0);
  }
  for (uint32_t o : objects) r.U32(o);
  return r.d;
}

// The parameters of the enhanced transfers that stretch (stretch block, transparent block, alpha
// blend): bounds, destination, operation (or colour, or blend), source, its transform and
// colour, usage and bitmap, source size.
inline std::string EmfStretching(int x, int y, int w, int h, uint32_t op, const std::string& info,
                                 const std::string& bits, int sw, int sh) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(x)).U32(uint32_t(y)).U32(uint32_t(w)).U32(uint32_t(h));
  r.U32(op).U32(0).U32(0).F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
  DibFields(r, 108, info, bits).U32(uint32_t(sw)).U32(uint32_t(sh));
  return r.Raw(info + bits).d;
}

// The parameters of StretchDIBits: bounds, destination, source, its size, the bitmap, what its
// table holds, the operation and the destination's size.
inline std::string EmfStretchDibits(int x, int y, int sx, int sy, int sw, int sh, uint32_t usage,
                                    uint32_t rop, int w, int h, const std::string& info,
                                    const std::string& bits) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(x)).U32(uint32_t(y));
  r.U32(uint32_t(sx)).U32(uint32_t(sy)).U32(uint32_t(sw)).U32(uint32_t(sh));
  DibFields(r, 80, info, bits).U32(usage).U32(rop).U32(uint32_t(w)).U32(uint32_t(h));
  return r.Raw(info + bits).d;
}

// A masked block: destination (as many source pixels as logical units), operations for mask 1
// (bits 16 to 23) and 0 (bits 24 to 31), bitmap and mask, the mask's first pixel.
inline std::string EmfMaskBlt(int x, int y, int w, int h, uint32_t rop4, const DibParts& dib,
                              const DibParts& mask, int maskX, int maskY) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(x)).U32(uint32_t(y)).U32(uint32_t(w)).U32(uint32_t(h));
  r.U32(rop4).U32(0).U32(0).F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
  DibFields(r, 128, dib.info, dib.bits).U32(uint32_t(maskX)).U32(uint32_t(maskY)).U32(0);
  DibFields(r, uint32_t(128 + dib.info.size() + dib.bits.size()), mask.info, mask.bits);
  return r.Raw(dib.info + dib.bits + mask.info + mask.bits).d;
}

// A parallelogram block: where the source's top-left, top-right and bottom-left corners go, the
// source size, bitmap and mask.
inline std::string EmfPlgBlt(const std::array<int, 6>& corners, int sw, int sh, const DibParts& dib,
                             const DibParts& mask) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0);
  for (int c : corners) r.U32(uint32_t(c));
  r.U32(0).U32(0).U32(uint32_t(sw)).U32(uint32_t(sh));
  r.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
  DibFields(r, 140, dib.info, dib.bits).U32(0).U32(0).U32(0);
  DibFields(r, uint32_t(140 + dib.info.size() + dib.bits.size()), mask.info, mask.bits);
  return r.Raw(dib.info + dib.bits + mask.info + mask.bits).d;
}

// A band of a region: its rows and the left and right ends of its runs.
struct Scan {
  int top, bottom;
  std::vector<int> ends;
};
// The parameters of a standard metafile's region object.
inline std::string WmfRegion(const std::vector<Scan>& scans) {
  Le body;
  size_t most = 0;
  for (const Scan& s : scans) {
    body.U16(uint32_t(s.ends.size())).U16(uint32_t(s.top)).U16(uint32_t(s.bottom));
    for (int x : s.ends) body.U16(uint32_t(x));
    body.U16(uint32_t(s.ends.size()));
    most = std::max(most, s.ends.size());
  }
  Le r;
  r.U16(0).U16(6).U32(0).U16(uint32_t(22 + body.Size())).U16(uint32_t(scans.size()));
  r.U16(uint32_t(most)).U32(0).U32(0);  // bounds, unused here
  return r.Raw(body.d).d;
}

// The parameters of a standard metafile's font record: height, width, escapement and orientation
// (both `escapement`), weight, italic, underline, six zero bytes, then the face name.
inline std::string WmfFont(int height, int escapement = 0, int width = 0,
                           const std::string& face = "DejaVu Sans", int weight = 400,
                           bool italic = false, bool underline = false) {
  Le f;
  f.U16(uint32_t(height)).U16(uint32_t(width)).U16(uint32_t(escapement)).U16(uint32_t(escapement));
  f.U16(uint32_t(weight)).U8(italic).U8(underline).U8(0).U8(0);
  f.U8(0).U8(0).U8(0).U8(0).Raw(face + '\0');
  return f.d;
}

// Region data of an enhanced record: a header of 32 bytes, then (left, top, right, bottom) each.
inline std::string EmfRegionData(const std::vector<std::array<int, 4>>& rects) {
  Le r;
  r.U32(32).U32(1).U32(uint32_t(rects.size())).U32(uint32_t(16 * rects.size()));
  r.U32(0).U32(0).U32(0).U32(0);
  for (const auto& rect : rects) {
    for (int v : rect) r.U32(uint32_t(v));
  }
  return r.d;
}

inline void LoadInto(plat::TMetafile& m, const std::string& bytes) {
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  m.LoadFromStream(stream);
}
inline std::unique_ptr<plat::TMetafile> Load(const std::string& bytes) {
  auto m = std::make_unique<plat::TMetafile>();
  LoadInto(*m, bytes);
  return m;
}

// A surface of w x h units (0xAARRGGBB pixels) filled with `fill`, with the metafile drawn into
// rect; at a scale above 1 each unit has scale x scale pixels.
struct Surface {
  int w, h;
  std::vector<uint32_t> px;
  uint32_t At(int x, int y) const { return px[size_t(y * w + x)] & 0xFFFFFF; }
};
inline Surface Render(const plat::TMetafile& m, int w, int h, const plat::TRect& rect,
                      uint32_t fill = 0xFF808080, int scale = 1) {
  w *= scale;
  h *= scale;
  Surface s{w, h, std::vector<uint32_t>(size_t(w) * size_t(h), fill)};
  plat::DeviceContext dc(s.px.data(), w, h, w * 4);
  dc.SetScale(scale);
  plat::TCanvas canvas(&dc);
  m.Draw(canvas, rect);
  return s;
}
inline Surface Render(const plat::TMetafile& m, uint32_t fill = 0xFF808080) {
  return Render(m, m.Width(), m.Height(), {0, 0, m.Width(), m.Height()}, fill);
}

// Colours as the file stores them (0x00BBGGRR) and as the surface holds them (0xRRGGBB).
inline constexpr uint32_t kRedRef = 0x0000FF, kRed = 0xFF0000;
inline constexpr uint32_t kBlueRef = 0xFF0000, kBlue = 0x0000FF;
inline constexpr uint32_t kGreenRef = 0x00FF00, kGreen = 0x00FF00;
inline constexpr uint32_t kGrey = 0x808080;

// A 96-pixel picture clipped by the triangle of three logical points, then filled in red.
inline std::string ClipPathFill(const std::array<std::pair<int64_t, int64_t>, 3>& triangle) {
  const auto& [a, b, c] = triangle;
  return Emf()
      .Rec(59, {})
      .Rec(27, {a.first, a.second})
      .Rec(54, {b.first, b.second})
      .Rec(54, {c.first, c.second})
      .Rec(61, {})
      .Rec(60, {})
      .Rec(67, {plat::RGN_COPY})
      .Rec(39, {1, plat::BS_SOLID, kRedRef, 0})
      .Rec(37, {1})
      .Rec(37, {0x80000008})
      .Rec(43, {0, 0, 96, 96})
      .Build(0, 0, 2540, 2540);
}

}  // namespace mftest
