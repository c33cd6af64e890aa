#include "Samples.h"

#include "MetafileBuilder.h"

namespace mftest {

using namespace plat;

namespace {

// Shapes, text and a stretched bitmap (WMF); paths, an arc, a bitmap and wide text (EMF).
std::vector<std::pair<std::string, std::string>> ShapesAndPaths() {
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  Le stretch;
  stretch.U32(SRCCOPY).U16(2).U16(2).U16(0).U16(0).U16(20).U16(20).U16(1).U16(1).Raw(info + bits);
  Le text;
  text.U16(3).Raw("abc").U8(0).U16(5).U16(5);
  const std::string wmf = Wmf()
                              .Rec(0x02FA, {0, 2, 0, Lo(kBlueRef), Hi(kBlueRef)})
                              .Rec(0x02FC, {2, Lo(kRedRef), Hi(kRedRef), 3})
                              .Rec(0x012D, {0})
                              .Rec(0x012D, {1})
                              .Rec(0x041B, {18, 18, 2, 2})
                              .Rec(0x0817, {0, 10, 10, 20, 20, 20, 0, 0})
                              .Rec(0x0538, {2, 3, 3, 0, 0, 9, 0, 0, 9, 2, 2, 6, 2, 2, 6})
                              .RecBytes(0x0B41, stretch.d)
                              .RecBytes(0x0521, text.d)
                              .Placeable(0, 0, 20, 20, 96);
  std::string emfBits;
  const std::string emfInfo = Dib24(1, 1, {0x123456}, &emfBits);
  Le dib;
  dib.U32(0).U32(0).U32(0).U32(0).U32(1).U32(1).U32(0).U32(0).U32(1).U32(1);
  dib.U32(80).U32(uint32_t(emfInfo.size())).U32(uint32_t(80 + emfInfo.size()));
  dib.U32(uint32_t(emfBits.size())).U32(0).U32(SRCCOPY).U32(8).U32(8).Raw(emfInfo + emfBits);
  Le wide;
  wide.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1).U32(2).U32(2).U32(2).U32(76).U32(4);
  wide.U32(0).U32(0).U32(10).U32(10).U32(0).U16('h').U16('i');
  const std::string emf =
      Emf()
          .Rec(38, {1, PS_DASH, 1, 0, kBlueRef})
          .Rec(37, {1})
          .Rec(59, {})
          .Rec(27, {1, 1})
          .Rec(88, {0, 0, 0, 0, 3, (5 << 16) | 9, (12 << 16) | 3, (15 << 16) | 15})
          .Rec(61, {})
          .Rec(60, {})
          .Rec(63, {0, 0, 0, 0})
          .Rec(45, {2, 2, 18, 18, 18, 10, 10, 2})
          .RecBytes(81, dib.d)
          .RecBytes(84, wide.d)
          .Build(0, 0, 529, 529);
  return {{"shapes.wmf", wmf}, {"paths.emf", emf}};
}

// Every bitmap record of both kinds, with core and info headers of every depth.
std::vector<std::pair<std::string, std::string>> Bitmaps() {
  const std::vector<uint32_t> table = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};
  const std::vector<uint8_t> mono = {0, 1, 1, 0}, quad = {0, 1, 2, 3};
  std::string monoBits, quadBits, byteBits, coreBits, wideBits;
  const std::string monoInfo = DibIndexed(1, 2, 2, {0x000000, 0xFFFFFF}, mono, false, &monoBits);
  const std::string quadInfo = DibIndexed(4, 2, 2, table, quad, false, &quadBits);
  const std::string byteInfo = DibIndexed(8, 2, 2, table, quad, false, &byteBits);
  const std::string coreInfo = DibIndexed(1, 2, 2, {0x0000FF, 0xFFFF00}, mono, true, &coreBits);
  const std::string wideInfo =
      Dib32(2, 2, {0xFF102030, 0x80405060, 0x00000000, 0xFFFFFFFF}, &wideBits);

  Le bitBlt;  // rop, source y, x, height, width, destination y, x, then the bitmap
  bitBlt.U32(SRCCOPY).U16(0).U16(0).U16(2).U16(2).U16(0).U16(0).Raw(coreInfo + coreBits);
  Le stretchBlt;  // rop, source h, w, y, x, destination h, w, y, x, then the bitmap
  stretchBlt.U32(SRCINVERT).U16(2).U16(2).U16(0).U16(0).U16(8).U16(8).U16(2).U16(2);
  stretchBlt.Raw(quadInfo + quadBits);
  Le stretchDib;  // rop, usage, source h, w, y, x, destination h, w, y, x, then the bitmap
  stretchDib.U32(SRCCOPY).U16(0).U16(2).U16(2).U16(0).U16(0).U16(8).U16(8).U16(10).U16(10);
  stretchDib.Raw(byteInfo + byteBits);
  Le toDevice;  // usage, scans, first scan, source y, x, height, width, destination y, x
  toDevice.U16(0).U16(2).U16(0).U16(0).U16(0).U16(2).U16(2).U16(20).U16(20);
  toDevice.Raw(wideInfo + wideBits);
  Le pattern;  // style, usage, then the bitmap
  pattern.U16(5).U16(0).Raw(monoInfo + monoBits);
  const std::string wmf = Wmf()
                              .RecBytes(0x0940, bitBlt.d)
                              .RecBytes(0x0B41, stretchBlt.d)
                              .RecBytes(0x0F43, stretchDib.d)
                              .RecBytes(0x0D33, toDevice.d)
                              .RecBytes(0x0142, pattern.d)
                              .Rec(0x012D, {0})
                              .Rec(0x041B, {30, 30, 24, 24})
                              .Placeable(0, 0, 32, 32, 96);

  const auto blit = [](uint32_t rop, const std::string& info, const std::string& bits,
                       bool stretch) {
    Le r;  // bounds, destination, rop, source, source transform, background, usage, bitmap
    r.U32(0).U32(0).U32(0).U32(0).U32(4).U32(4).U32(6).U32(6).U32(rop).U32(0).U32(0);
    r.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
    DibFields(r, stretch ? 108 : 100, info, bits);
    if (stretch) r.U32(2).U32(2);
    return r.Raw(info + bits).d;
  };
  Le toDeviceEmf;  // bounds, destination, source, size, bitmap, usage, first scan, scans
  toDeviceEmf.U32(0).U32(0).U32(0).U32(0).U32(12).U32(12).U32(0).U32(0).U32(2).U32(2);
  DibFields(toDeviceEmf, 76, byteInfo, byteBits).U32(0).U32(0).U32(2).Raw(byteInfo + byteBits);
  Le stretchDibits;  // bounds, destination, source, size, bitmap, usage, rop, destination size
  stretchDibits.U32(0).U32(0).U32(0).U32(0).U32(16).U32(16).U32(0).U32(0).U32(2).U32(2);
  DibFields(stretchDibits, 80, wideInfo, wideBits).U32(0).U32(SRCCOPY).U32(6).U32(6);
  stretchDibits.Raw(wideInfo + wideBits);
  const auto brush = [](uint32_t index, const std::string& info, const std::string& bits) {
    Le r;  // object, usage, bitmap
    r.U32(index).U32(0);
    return DibFields(r, 32, info, bits).Raw(info + bits).d;
  };
  const std::string emf = Emf()
                              .RecBytes(76, blit(SRCCOPY, monoInfo, monoBits, false))
                              .RecBytes(77, blit(SRCAND, quadInfo, quadBits, true))
                              .RecBytes(80, toDeviceEmf.d)
                              .RecBytes(81, stretchDibits.d)
                              .RecBytes(93, brush(1, monoInfo, monoBits))
                              .RecBytes(94, brush(2, coreInfo, coreBits))
                              .Rec(37, {1})
                              .Rec(43, {20, 0, 26, 6})
                              .Rec(37, {2})
                              .Rec(43, {26, 0, 32, 6})
                              .Build(0, 0, 847, 847);
  return {{"bitmaps.wmf", wmf}, {"bitmaps.emf", emf}};
}

// A clip path far wider and taller than the picture, then a fill through it.
std::vector<std::pair<std::string, std::string>> ClipPaths() {
  const std::string emf = ClipPathFill({{{0, 0}, {16000000, 15000}, {0, 30000}}});
  return {{"clippath.emf", emf}};
}

// A picture in both interfaces: the classic records play.
std::vector<std::pair<std::string, std::string>> DualPictures() {
  const std::string emf = Emf()
                              .RecBytes(70, EmfPlusComment(1))
                              .Rec(39, {1, BS_SOLID, kGreenRef, 0})
                              .Rec(37, {1})
                              .Rec(43, {10, 10, 20, 20})
                              .Build(0, 0, 847, 847);
  return {{"dual.emf", emf}};
}

// Text with advances, shifts, character extra, justification, escapement, a turning world
// transform and glyph numbers.
std::vector<std::pair<std::string, std::string>> Text() {
  const std::string font = WmfFont(-20, 300, 6, "Liberation Serif", 700, true, true);
  Le spaced;  // y, x, length, options, rectangle, string, advances
  spaced.U16(30).U16(4).U16(3).U16(ETO_CLIPPED).U16(0).U16(0).U16(40).U16(40).Raw("abc");
  spaced.U8(0).U16(9).U16(12).U16(6);
  Le plain;  // length, string, y, x
  plain.U16(5).Raw("a b c").U8(0).U16(12).U16(2);
  const std::string wmf = Wmf()
                              .RecBytes(0x02FB, font)
                              .Rec(0x012D, {0})
                              .RecBytes(0x0A32, spaced.d)
                              .Rec(0x0108, {2})
                              .Rec(0x020A, {2, 6})
                              .RecBytes(0x0521, plain.d)
                              .Placeable(0, 0, 40, 40, 96);

  Le wideFont;
  wideFont.U32(1).U32(uint32_t(-16)).U32(5).U32(900).U32(900).U32(400).U32(0).U32(0);
  for (char16_t c : std::u16string(u"DejaVu Sans")) wideFont.U16(c);
  for (int i = 11; i < 32; ++i) wideFont.U16(0);
  const auto text = [](uint32_t options, const std::vector<uint32_t>& dx) {
    Le r;  // bounds, mode, scales, reference, count, string offset, options, rectangle, dx offset
    r.U32(0).U32(0).U32(0).U32(0).U32(2).F32(1).F32(1).U32(20).U32(30).U32(2).U32(76);
    r.U32(options).U32(0).U32(0).U32(30).U32(30).U32(dx.empty() ? 0 : 80).U16('O').U16('k');
    for (uint32_t d : dx) r.U32(d);
    return r.d;
  };
  Le turn;
  turn.F32(0.7071f).F32(-0.7071f).F32(0.7071f).F32(0.7071f).F32(10).F32(10);
  const std::string emf = Emf()
                              .RecBytes(82, wideFont.d)
                              .Rec(37, {1})
                              .Rec(22, {TA_UPDATECP | TA_BASELINE})
                              .Rec(27, {4, 28})
                              .RecBytes(84, text(0, {8, 8}))
                              .RecBytes(84, text(ETO_PDY | ETO_OPAQUE, {8, 3, 8, uint32_t(-3)}))
                              .RecBytes(35, turn.d)
                              .RecBytes(84, text(ETO_GLYPH_INDEX | ETO_OPAQUE, {8, 8}))
                              .RecBytes(84, text(ETO_CLIPPED, {}))
                              .Build(0, 0, 847, 847);
  return {{"text.wmf", wmf}, {"text.emf", emf}};
}

// Transfers with a colour left out, a mask, a parallelogram, alpha blends, and a turning world
// transform.
std::vector<std::pair<std::string, std::string>> Transfers() {
  DibParts four, mask, wide;
  wide.info = Dib32(2, 1, {0x80400000, 0xFF00FF00}, &wide.bits);
  four.info = Dib24(2, 2, {0xFF0000, 0xFF00FF, 0x0000FF, 0xFFFFFF}, &four.bits);
  mask.info = DibIndexed(1, 2, 2, {0x000000, 0xFFFFFF}, {1, 0, 0, 1}, false, &mask.bits);
  Le turn;
  turn.F32(0.6f).F32(0.8f).F32(-0.8f).F32(0.6f).F32(20).F32(0);
  const std::string emf =
      Emf()
          .RecBytes(116, EmfStretching(0, 0, 8, 8, 0xFF00FF, four.info, four.bits, 2, 2))
          .RecBytes(78, EmfMaskBlt(10, 0, 2, 2, 0x55CC0020, four, mask, 0, 0))
          .RecBytes(79, EmfPlgBlt({30, 0, 30, 8, 22, 0}, 2, 2, four, mask))
          .RecBytes(114, EmfStretching(0, 20, 8, 4, 0x01C00000, wide.info, wide.bits, 2, 1))
          .RecBytes(114, EmfStretching(10, 20, 8, 4, 0x00800000, four.info, four.bits, 2, 2))
          .RecBytes(35, turn.d)
          .RecBytes(77, EmfStretching(0, 10, 8, 8, SRCCOPY, four.info, four.bits, 2, 2))
          .Build(0, 0, 847, 847);
  return {{"transfers.emf", emf}};
}

// Region objects and records: fills, frames, paints, inversions, clips and moved clips, also
// under a turning world transform.
std::vector<std::pair<std::string, std::string>> Regions() {
  const std::string wmf =
      Wmf()
          .Rec(0x02FC, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0})
          .RecBytes(0x06FF, WmfRegion({{2, 6, {2, 10, 14, 20}}, {6, 12, {2, 8}}}))
          .Rec(0x0228, {1, 0})
          .Rec(0x0429, {1, 0, 2, 1})
          .Rec(0x012D, {0})
          .Rec(0x0104, {R2_XORPEN})
          .Rec(0x012B, {1})
          .Rec(0x012A, {1})
          .Rec(0x012C, {1})
          .Rec(0x0220, {4, 3})
          .Rec(0x012D, {1})
          .Rec(0x041B, {30, 30, 0, 0})
          .Rec(0x012C, {9})
          .Placeable(0, 0, 32, 32, 96);

  const auto region = [](std::initializer_list<int64_t> between) {
    Le r;  // bounds, data size, brush (and frame size), data
    const std::string data = EmfRegionData({{2, 2, 12, 8}, {4, 8, 20, 14}});
    r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(data.size()));
    for (int64_t v : between) r.U32(uint32_t(v));
    return r.Raw(data).d;
  };
  Le clip;
  const std::string clipData = EmfRegionData({{0, 0, 16, 16}});
  clip.U32(uint32_t(clipData.size())).U32(RGN_AND).Raw(clipData);
  Le turn;
  turn.F32(0.6f).F32(0.8f).F32(-0.8f).F32(0.6f).F32(16).F32(0);
  const std::string emf = Emf()
                              .Rec(39, {1, BS_SOLID, kBlueRef, 0})
                              .RecBytes(71, region({1}))
                              .RecBytes(71, region({0x80000004}))
                              .RecBytes(72, region({1, 2, 3}))
                              .RecBytes(73, region({}))
                              .Rec(37, {1})
                              .RecBytes(74, region({}))
                              .RecBytes(75, clip.d)
                              .Rec(26, {4, 2})
                              .RecBytes(35, turn.d)
                              .RecBytes(71, region({1}))
                              .RecBytes(72, region({1, 1, 1}))
                              .Build(0, 0, 847, 847);
  return {{"regions.wmf", wmf}, {"regions.emf", emf}};
}

// Gradients, pattern brushes of every kind with a brush origin, bitmaps and patterns through the
// selected palette, and a stretched font.
std::vector<std::pair<std::string, std::string>> Fills() {
  DibParts four, mono;
  four.info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &four.bits);
  mono.info = DibIndexed(1, 2, 1, {0xFFFFFF, 0x000000}, {0, 1}, false, &mono.bits);
  const DibParts indexed = DibPaletteIndices(2, 1, {1, 0}, {0, 1});
  const std::vector<GradientCorner> corners = {{0, 0, 0xFF0000}, {16, 8, 0x0000FF}, {0, 16, 0}};
  Le stretch;  // bounds, destination, source, size, bitmap, usage, rop, destination size
  stretch.U32(0).U32(0).U32(0).U32(0).U32(20).U32(20).U32(0).U32(0).U32(2).U32(1);
  DibFields(stretch, 80, indexed.info, indexed.bits).U32(1).U32(SRCCOPY).U32(6).U32(6);
  stretch.Raw(indexed.info + indexed.bits);
  const std::string emf = Emf()
                              .RecBytes(118, Gradient(0, corners, {0, 1}, 1))
                              .RecBytes(118, Gradient(1, corners, {1, 2}, 1))
                              .RecBytes(118, Gradient(2, corners, {0, 1, 2}, 1))
                              .RecBytes(49, Le().U32(3).d + PaletteEntries({0x00FF00, 0x0000FF}))
                              .Rec(48, {3})
                              .RecBytes(94, EmfBrush(1, 0, four))
                              .RecBytes(93, EmfBrush(2, 0, mono))
                              .RecBytes(94, EmfBrush(4, 1, indexed))
                              .Rec(13, {1, 1})
                              .Rec(37, {1})
                              .Rec(43, {20, 0, 26, 6})
                              .Rec(37, {2})
                              .Rec(43, {26, 0, 32, 6})
                              .Rec(37, {4})
                              .Rec(43, {26, 6, 32, 12})
                              .RecBytes(81, stretch.d)
                              .Build(0, 0, 847, 847);

  Le ddb;  // type, size, bytes a row, planes, bits a pixel, pointer, reserved, rows
  ddb.U16(0).U16(2).U16(2).U16(2).U8(1).U8(1).U32(0).Raw(std::string(18, '\0'));
  ddb.U8(0x40).U8(0).U8(0x80).U8(0);
  Le stretchDib;  // rop, usage, source h, w, y, x, destination h, w, y, x, then the bitmap
  stretchDib.U32(SRCCOPY).U16(1).U16(1).U16(2).U16(0).U16(0).U16(8).U16(8).U16(10).U16(10);
  stretchDib.Raw(indexed.info + indexed.bits);
  Le toDevice;  // usage, scans, first scan, source y, x, height, width, destination y, x
  toDevice.U16(1).U16(1).U16(0).U16(0).U16(0).U16(1).U16(2).U16(20).U16(20);
  toDevice.Raw(indexed.info + indexed.bits);
  const std::string font = WmfFont(-12, 0, 14);
  Le text;
  text.U16(2).Raw("ab").U16(20).U16(2);
  const std::string wmf = Wmf()
                              .RecBytes(0x00F7, PaletteEntries({0x00FF00, 0x0000FF}))
                              .Rec(0x0234, {0})
                              .RecBytes(0x01F9, ddb.d)
                              .RecBytes(0x0142, Le().U16(3).U16(0).d + mono.info + mono.bits)
                              .RecBytes(0x0142, Le().U16(5).U16(1).d + indexed.info + indexed.bits)
                              .Rec(0x012D, {1})
                              .Rec(0x041B, {8, 8, 0, 0})
                              .Rec(0x012D, {2})
                              .Rec(0x041B, {8, 16, 0, 8})
                              .Rec(0x012D, {3})
                              .Rec(0x041B, {8, 24, 0, 16})
                              .RecBytes(0x0F43, stretchDib.d)
                              .RecBytes(0x0D33, toDevice.d)
                              .RecBytes(0x02FB, font)
                              .Rec(0x012D, {4})
                              .RecBytes(0x0521, text.d)
                              .Placeable(0, 0, 32, 32, 96);
  return {{"fills.emf", emf}, {"fills.wmf", wmf}};
}

}  // namespace

std::vector<std::pair<std::string, std::string>> MetafileSamples() {
  std::vector<std::pair<std::string, std::string>> all;
  for (auto family :
       {ShapesAndPaths, Bitmaps, ClipPaths, DualPictures, Text, Transfers, Regions, Fills}) {
    for (auto& sample : family()) all.push_back(std::move(sample));
  }
  return all;
}

}  // namespace mftest
