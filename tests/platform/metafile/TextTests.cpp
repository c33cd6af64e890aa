// Metafile text placed as the file says: per-character advances (with shifts across the line),
// character extra and justification, and lines turned by the font's escapement or the world
// transform. Each is compared with the device context drawing the same text directly.
#include <gtest/gtest.h>

#include <vector>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

constexpr uint32_t kSetTextAlign = 22, kSetBkMode = 18, kSetTextColor = 24, kMoveTo = 27;
constexpr uint32_t kSetWorldTransform = 35, kSelectObject = 37, kCreateFont = 82;
constexpr uint32_t kExtTextOutW = 84;

// An enhanced font record: object 1, DejaVu Sans.
std::string EmfFont(int height, int escapement = 0, int width = 0) {
  Le font;
  font.U32(1).U32(uint32_t(height)).U32(uint32_t(width)).U32(uint32_t(escapement));
  font.U32(uint32_t(escapement)).U32(400).U32(0).U32(0);
  const std::u16string face = u"DejaVu Sans";
  for (int i = 0; i < 32; ++i) font.U16(i < int(face.size()) ? face[size_t(i)] : 0);
  return font.d;
}

// An enhanced text record at (x, y), with the advances (or pairs) when given.
std::string EmfText(int x, int y, const std::u16string& text, uint32_t options,
                    const std::vector<int>& dx = {}) {
  const uint32_t stringAt = 76, dxAt = uint32_t(76 + ((text.size() * 2 + 3) / 4) * 4);
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1);
  r.U32(uint32_t(x)).U32(uint32_t(y)).U32(uint32_t(text.size())).U32(stringAt).U32(options);
  r.U32(0).U32(0).U32(0).U32(0).U32(dx.empty() ? 0 : dxAt);
  for (char16_t c : text) r.U16(c);
  while (r.Size() % 4) r.U8(0);
  for (int d : dx) r.U32(uint32_t(d));
  return r.d;
}

Emf TransparentText(int height, int escapement = 0) {
  Emf e;
  e.RecBytes(kCreateFont, EmfFont(height, escapement)).Rec(kSelectObject, {1});
  e.Rec(kSetTextColor, {kBlueRef}).Rec(kSetBkMode, {TRANSPARENT});
  return e;
}

// A surface of the picture's size and the device context drawing on it as the picture would.
struct Expected {
  explicit Expected(int size) : w(size), px(size_t(size) * size_t(size), 0xFF808080) {
    dc.Attach(px.data(), size, size, size * 4);
    dc.SetTextColor(kBlueRef);
    dc.SetBkMode(TRANSPARENT);
  }
  void Font(int height, int escapement = 0, int width = 0) {
    TLogFont f;
    f.FaceName = "DejaVu Sans";
    f.Height = height;
    f.Width = width;
    f.Escapement = escapement;
    f.CharSet = 0;
    dc.SelectFont(f);
  }
  int w;
  std::vector<uint32_t> px;
  DeviceContext dc;
};

}  // namespace

TEST(MetafileText, EnhancedAdvancesPlaceEveryCharacter) {
  Emf e = TransparentText(-20);
  e.RecBytes(kExtTextOutW, EmfText(5, 10, u"Wide", 0, {30, 22, 25, 10}));
  // Pairs move the characters after each one down by its second value.
  e.RecBytes(kExtTextOutW, EmfText(5, 50, u"Wave", ETO_PDY, {30, 6, 22, -12, 25, 0, 10, 0}));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  Expected x(96);
  x.Font(-20);
  const int32_t apart[] = {30, 22, 25, 10};
  x.dc.ExtTextOut(5, 10, 0, nullptr, u"Wide", apart);
  x.dc.TextOut(5, 50, u"W");
  x.dc.TextOut(35, 56, u"a");
  x.dc.TextOut(57, 44, u"v");
  x.dc.TextOut(82, 44, u"e");
  EXPECT_EQ(s.px, x.px);
}

TEST(MetafileText, StandardAdvancesExtraAndJustificationScaleWithThePicture) {
  // 200 logical units on 100 pixels: advances of 40 are 20 pixels.
  const std::string font = WmfFont(-40);
  Le spaced;  // y, x, length, options, string, advances
  spaced.U16(20).U16(10).U16(3).U16(0).Raw("abc").U8(0).U16(40).U16(60).U16(10);
  Le plain;  // length, string, y, x
  plain.U16(3).Raw("abc").U8(0).U16(80).U16(10);
  Le words;
  words.U16(5).Raw("a b c").U8(0).U16(140).U16(10);
  Wmf w;
  w.RecBytes(0x02FB, font).Rec(0x012D, {0});
  w.Rec(0x0209, {Lo(kBlueRef), Hi(kBlueRef)}).Rec(0x0102, {TRANSPARENT});
  w.RecBytes(0x0A32, spaced.d);
  w.Rec(0x0108, {16}).RecBytes(0x0521, plain.d).Rec(0x0108, {0});  // 8 pixels after each
  w.Rec(0x020A, {2, 30}).RecBytes(0x0521, words.d);                // 15 over two spaces
  const Surface s = Render(*Load(w.Placeable(0, 0, 200, 200, 192)));

  Expected x(100);
  x.Font(-20);
  const int32_t advances[] = {20, 30, 5};
  x.dc.ExtTextOut(5, 10, 0, nullptr, u"abc", advances);
  x.dc.SetTextCharacterExtra(8);
  x.dc.TextOut(5, 40, u"abc");
  x.dc.SetTextCharacterExtra(0);
  x.dc.SetTextJustification(15, 2);
  x.dc.TextOut(5, 70, u"a b c");
  EXPECT_EQ(s.px, x.px);
}

TEST(MetafileText, FontWidthStretchesTheCharactersWithThePicture) {
  // 200 logical units on 100 pixels: a width of 48 is 24 pixels, twice the face's own.
  const std::string font = WmfFont(-40, 0, 48);
  Le text;  // length, string, y, x
  text.U16(3).Raw("xyz").U8(0).U16(20).U16(10);
  Wmf w;
  w.RecBytes(0x02FB, font).Rec(0x012D, {0});
  w.Rec(0x0209, {Lo(kBlueRef), Hi(kBlueRef)}).Rec(0x0102, {TRANSPARENT});
  w.RecBytes(0x0521, text.d);
  const Surface s = Render(*Load(w.Placeable(0, 0, 200, 200, 192)));

  Expected wide(100), natural(100);
  wide.Font(-20, 0, 24);
  natural.Font(-20);
  wide.dc.TextOut(5, 10, u"xyz");
  natural.dc.TextOut(5, 10, u"xyz");
  EXPECT_EQ(s.px, wide.px);
  const auto inkRight = [](const std::vector<uint32_t>& px) {
    int right = 0;
    for (size_t i = 0; i < px.size(); ++i) {
      if (px[i] != 0xFF808080) right = std::max(right, int(i % 100));
    }
    return right;
  };
  EXPECT_GT(inkRight(wide.px) - 5, (inkRight(natural.px) - 5) * 3 / 2);
}

TEST(MetafileText, EscapementTurnsTheLine) {
  Emf e = TransparentText(-18, 900);
  e.Rec(kSetTextAlign, {TA_BASELINE}).RecBytes(kExtTextOutW, EmfText(30, 90, u"Up", 0));
  // Advances run along the turned line.
  e.RecBytes(kCreateFont, EmfFont(-18, 1800)).Rec(kSelectObject, {1});
  e.RecBytes(kExtTextOutW, EmfText(90, 20, u"Back", 0, {12, 12, 12, 12}));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  Expected x(96);
  x.dc.SetTextAlign(TA_BASELINE);
  x.Font(-18, 900);
  x.dc.TextOut(30, 90, u"Up");
  x.Font(-18, 1800);
  const int32_t advances[] = {12, 0, 12, 0, 12, 0, 12, 0};
  x.dc.ExtTextOut(90, 20, ETO_PDY, nullptr, u"Back", advances);
  ASSERT_NE(x.px, std::vector<uint32_t>(96 * 96, 0xFF808080));
  EXPECT_EQ(s.px, x.px);

  // A standard metafile's font turned by 45 degrees.
  const std::string font = WmfFont(-24, 450);
  Le text;
  text.U16(4).Raw("Tilt").U16(70).U16(10);
  Wmf w;
  w.RecBytes(0x02FB, font).Rec(0x012D, {0});
  w.Rec(0x0209, {Lo(kBlueRef), Hi(kBlueRef)}).Rec(0x0102, {TRANSPARENT}).RecBytes(0x0521, text.d);
  const Surface t = Render(*Load(w.Placeable(0, 0, 96, 96, 96)));
  Expected y(96);
  y.Font(-24, 450);
  y.dc.TextOut(10, 70, u"Tilt");
  EXPECT_EQ(t.px, y.px);
}

TEST(MetafileText, TurnedLinesMoveTheCurrentPositionAlongThem) {
  // A quarter turn counter-clockwise on the screen from (20, 80): by the font's escapement, or by
  // a world transform that also moves the origin there.
  Expected x(96);
  x.Font(-16, 900);
  x.dc.SetTextAlign(TA_UPDATECP);
  x.dc.MoveTo({20, 80});
  x.dc.TextOut(0, 0, u"Go");
  x.dc.TextOut(0, 0, u"ne");
  ASSERT_NE(x.px, std::vector<uint32_t>(96 * 96, 0xFF808080));
  Emf byFont = TransparentText(-16, 900);
  byFont.Rec(kMoveTo, {20, 80});
  Le turn;
  turn.F32(0).F32(-1).F32(1).F32(0).F32(20).F32(80);
  Emf byWorld = TransparentText(-16);
  byWorld.RecBytes(kSetWorldTransform, turn.d).Rec(kMoveTo, {0, 0});
  for (Emf* e : {&byFont, &byWorld}) {
    e->Rec(kSetTextAlign, {TA_UPDATECP});
    e->RecBytes(kExtTextOutW, EmfText(0, 0, u"Go", 0));
    e->RecBytes(kExtTextOutW, EmfText(0, 0, u"ne", 0));
    EXPECT_EQ(Render(*Load(e->Build(0, 0, 2540, 2540))).px, x.px);
  }

  // Metric mapping modes point y up but turn nothing.
  Emf m = TransparentText(-300);
  m.Rec(17, {MM_HIMETRIC}).RecBytes(kExtTextOutW, EmfText(500, -500, u"Flat", 0));
  const Surface f = Render(*Load(m.Build(0, 0, 2540, 2540, 96, 96, 25, 25)));
  Expected y(96);
  y.Font(-11);
  y.dc.TextOut(19, 19, u"Flat");
  EXPECT_EQ(f.px, y.px);
}
