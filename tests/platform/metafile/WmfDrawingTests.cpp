// Standard metafiles drawn onto 32-bit surfaces: shapes, mapping and state, bitmaps and text.
// Expected pixels come from the geometry of each record after scaling, checked in flat areas.
#include <gtest/gtest.h>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

enum : uint16_t {
  kSaveDC = 0x001E,
  kSetBkMode = 0x0102,
  kRestoreDC = 0x0127,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kCreateBrush = 0x02FC,
  kPolygon = 0x0324,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kDeleteObject = 0x01F0,
  kDibStretchBlt = 0x0B41,
  kStretchDib = 0x0F43,
};

// Pen 0 (blue, one pixel), brush 1 (solid red), both selected.
Wmf WithPenAndBrush() {
  Wmf w;
  w.Rec(kCreatePen, {PS_SOLID, 0, 0, Lo(kBlueRef), Hi(kBlueRef)});
  w.Rec(kCreateBrush, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0});
  w.Rec(kSelectObject, {0}).Rec(kSelectObject, {1});
  return w;
}

}  // namespace

TEST(WmfDrawing, ShapesScaledOntoThePicture) {
  // 100 logical units on 50 pixels.
  Wmf w = WithPenAndBrush();
  w.Rec(kRectangle, {40, 60, 20, 20});            // (20,20)-(60,40) -> (10,10)-(30,20)
  w.Rec(kEllipse, {100, 40, 60, 0});              // (0,60)-(40,100) -> (0,30)-(20,50)
  w.Rec(kRoundRect, {10, 10, 100, 100, 60, 60});  // (60,60)-(100,100) -> (30,30)-(50,50)
  w.Rec(kPolygon, {3, 60, 0, 100, 0, 100, 40});   // (30,0), (50,0), (50,20)
  const Surface s = Render(*Load(w.Placeable(0, 0, 100, 100, 192)));
  ASSERT_EQ(s.w, 50);

  EXPECT_EQ(s.At(20, 15), kRed);  // inside the rectangle
  for (auto [x, y] : {std::pair{10, 15}, {29, 15}, {20, 10}, {20, 19}}) {
    EXPECT_EQ(s.At(x, y), kBlue) << x << "," << y;  // its one-pixel frame
  }
  for (auto [x, y] : {std::pair{9, 15}, {30, 15}, {20, 9}, {20, 20}}) {
    EXPECT_EQ(s.At(x, y), kGrey) << x << "," << y;  // just outside
  }
  EXPECT_EQ(s.At(10, 40), kRed);   // the ellipse's centre
  EXPECT_EQ(s.At(1, 31), kGrey);   // its bounding box's corner lies outside the curve
  EXPECT_EQ(s.At(40, 40), kRed);   // the rounded rectangle
  EXPECT_EQ(s.At(45, 3), kRed);    // the triangle above its diagonal
  EXPECT_EQ(s.At(33, 15), kGrey);  // below the diagonal
}

TEST(WmfDrawing, WidePensKeepTheirCapsAndJoins) {
  Wmf w;
  w.Rec(kCreatePen, {PS_ENDCAP_FLAT | PS_JOIN_MITER, 10, 0, Lo(kBlueRef), Hi(kBlueRef)});
  w.Rec(kSelectObject, {0}).Rec(0x0325, {3, 20, 20, 70, 20, 70, 70});
  const Surface s = Render(*Load(w.Placeable(0, 0, 96, 96, 96)));
  EXPECT_EQ(s.At(74, 16), kBlue);  // the mitre's point
  EXPECT_EQ(s.At(17, 20), kGrey);  // no cap before the start
}

TEST(WmfDrawing, PolyPolygonLeavesTheHoleUnderAlternateFilling) {
  // An outer square and an inner one in the same direction, without a pen.
  Wmf w;
  w.Rec(kCreatePen, {PS_NULL, 0, 0, 0, 0});
  w.Rec(kCreateBrush, {BS_SOLID, Lo(kGreenRef), Hi(kGreenRef), 0});
  w.Rec(kSelectObject, {0}).Rec(kSelectObject, {1});
  w.Rec(kPolyPolygon, {2, 4, 4, 10, 10, 50, 10, 50, 50, 10, 50, 20, 20, 40, 20, 40, 40, 20, 40});
  const Surface alternate = Render(*Load(w.Placeable(0, 0, 60, 60, 96)));
  EXPECT_EQ(alternate.At(15, 15), kGreen);
  EXPECT_EQ(alternate.At(30, 30), kGrey);
  EXPECT_EQ(alternate.At(5, 5), kGrey);

  Wmf winding;
  winding.Rec(0x0106, {WINDING});
  winding.Rec(kCreatePen, {PS_NULL, 0, 0, 0, 0});
  winding.Rec(kCreateBrush, {BS_SOLID, Lo(kGreenRef), Hi(kGreenRef), 0});
  winding.Rec(kSelectObject, {0}).Rec(kSelectObject, {1});
  winding.Rec(kPolyPolygon,
              {2, 4, 4, 10, 10, 50, 10, 50, 50, 10, 50, 20, 20, 40, 20, 40, 40, 20, 40});
  const Surface s = Render(*Load(winding.Placeable(0, 0, 60, 60, 96)));
  EXPECT_EQ(s.At(30, 30), kGreen);
  EXPECT_EQ(s.At(15, 15), kGreen);
}

TEST(WmfDrawing, WindowSavedStatesObjectSlotsAndClipping) {
  // The window (50,50) 50 x 50 fills the 50-pixel picture one to one.
  Wmf w = WithPenAndBrush();
  w.Rec(kSetWindowOrg, {50, 50}).Rec(kSetWindowExt, {50, 50});
  w.Rec(kRectangle, {70, 70, 60, 60});  // -> (10,10)-(20,20)
  w.Rec(kSaveDC, {});
  w.Rec(kCreateBrush, {BS_SOLID, Lo(kGreenRef), Hi(kGreenRef), 0});  // slot 2
  w.Rec(kSelectObject, {2});
  w.Rec(kRestoreDC, {0xFFFF});          // back to the red brush
  w.Rec(kRectangle, {70, 90, 60, 80});  // -> (30,10)-(40,20)
  w.Rec(kDeleteObject, {0});
  w.Rec(kCreateBrush, {BS_SOLID, Lo(kBlueRef), Hi(kBlueRef), 0});  // takes the free slot 0
  w.Rec(kSelectObject, {0});
  w.Rec(kIntersectClipRect, {100, 100, 75, 50});  // the lower half only
  w.Rec(kRectangle, {100, 100, 50, 50});
  const Surface s = Render(*Load(w.Placeable(0, 0, 100, 100, 192)));
  EXPECT_EQ(s.At(15, 15), kRed);
  EXPECT_EQ(s.At(35, 15), kRed);
  EXPECT_EQ(s.At(25, 20), kGrey);  // clipped away
  EXPECT_EQ(s.At(25, 40), kBlue);  // the blue brush in the lower half

  // Without a placeable header the first window is the picture.
  Wmf standard = WithPenAndBrush();
  standard.Rec(kSetWindowOrg, {10, 10}).Rec(kSetWindowExt, {30, 40});
  standard.Rec(kRectangle, {20, 20, 10, 10});
  const auto m = Load(standard.Standard());
  EXPECT_EQ(m->Width(), 40);
  const Surface t = Render(*m);
  EXPECT_EQ(t.At(5, 5), kRed);
  EXPECT_EQ(t.At(0, 0), kBlue);
  EXPECT_EQ(t.At(10, 10), kGrey);

  // Drawn into a rectangle of another size and place, nothing falls outside it.
  const Surface u = Render(*m, 100, 100, {50, 50, 90, 80});
  EXPECT_EQ(u.At(55, 55), kRed);
  EXPECT_EQ(u.At(45, 45), kGrey);
}

TEST(WmfDrawing, ClippingHoldsOnAContextAtTwiceTheScale) {
  // The clipped picture of the test above, at (5, 5) of a screen at 200 %.
  Wmf w = WithPenAndBrush();
  w.Rec(kSetWindowOrg, {50, 50}).Rec(kSetWindowExt, {50, 50});
  w.Rec(kRectangle, {70, 70, 60, 60});  // -> (10,10)-(20,20)
  w.Rec(kIntersectClipRect, {100, 100, 75, 50});
  w.Rec(kRectangle, {100, 100, 50, 50});
  const Surface s =
      Render(*Load(w.Placeable(0, 0, 100, 100, 192)), 60, 60, {5, 5, 55, 55}, 0xFF808080, 2);
  const auto at = [&s](int x, int y) { return s.At(2 * (5 + x) + 1, 2 * (5 + y) + 1); };
  EXPECT_EQ(at(15, 15), kRed);
  EXPECT_EQ(at(25, 20), kGrey);  // clipped away
  EXPECT_EQ(at(25, 40), kRed);   // the lower half, framed by the pen
  EXPECT_EQ(at(49, 49), kBlue);  // the frame
  EXPECT_EQ(at(25, 50), kGrey);  // below the picture
  EXPECT_EQ(s.At(2 * 5 + 20, 2 * 5 + 98), kBlue);
  EXPECT_EQ(s.At(2 * 5 + 20, 2 * 5 + 100), kGrey);
}

TEST(WmfDrawing, StretchedBitmapsAndPatternBlocks) {
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  Le stretch;  // rop, source h, w, y, x, destination h, w, y, x, then the bitmap
  stretch.U32(SRCCOPY).U16(2).U16(2).U16(0).U16(0).U16(20).U16(20).U16(10).U16(10).Raw(info + bits);
  Le dib;  // rop, usage, source h, w, y, x, destination h, w, y, x, then the bitmap
  // The source's bottom row (counted from the bottom of a bottom-up bitmap): blue and white.
  dib.U32(SRCCOPY).U16(0).U16(1).U16(2).U16(0).U16(0).U16(10).U16(20).U16(30).U16(30).Raw(info +
                                                                                          bits);
  Wmf w = WithPenAndBrush();
  w.RecBytes(kDibStretchBlt, stretch.d);
  w.RecBytes(kStretchDib, dib.d);
  w.Rec(kPatBlt, {Lo(PATCOPY), Hi(PATCOPY), 10, 10, 40, 0});
  const Surface s = Render(*Load(w.Placeable(0, 0, 50, 50, 96)));
  EXPECT_EQ(s.At(14, 14), kRed);
  EXPECT_EQ(s.At(25, 14), kGreen);
  EXPECT_EQ(s.At(14, 25), kBlue);
  EXPECT_EQ(s.At(25, 25), 0xFFFFFFu);
  EXPECT_EQ(s.At(5, 5), kGrey);
  EXPECT_EQ(s.At(34, 34), kBlue);
  EXPECT_EQ(s.At(45, 34), 0xFFFFFFu);
  EXPECT_EQ(s.At(34, 29), kGrey);
  EXPECT_EQ(s.At(5, 45), kRed);
}

TEST(WmfDrawing, TextMatchesTheDeviceContextAtTheMappedPlaceAndSize) {
  const std::string font = WmfFont(-40);
  Le text;
  text.U16(2).Raw("Wm").U16(120).U16(160);  // length, string, y, x
  Wmf w;
  w.RecBytes(kCreateFont, font).Rec(kSelectObject, {0});
  w.Rec(kSetTextColor, {Lo(kRedRef), Hi(kRedRef)});
  w.Rec(kSetBkMode, {TRANSPARENT});
  w.Rec(kSetTextAlign, {int(TA_RIGHT | TA_BOTTOM)});
  w.RecBytes(kTextOut, text.d);
  const Surface s = Render(*Load(w.Placeable(0, 0, 200, 200, 192)));

  // Half size: the text ends at (80, 60) with an em of 20 pixels.
  std::vector<uint32_t> expected(100 * 100, 0xFF808080);
  DeviceContext dc(expected.data(), 100, 100, 400);
  TLogFont f;
  f.FaceName = "DejaVu Sans";
  f.Height = -20;
  f.CharSet = 0;
  dc.SelectFont(f);
  dc.SetTextColor(kRedRef);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  dc.TextOut(80, 60, u"Wm");
  ASSERT_NE(expected, std::vector<uint32_t>(100 * 100, 0xFF808080));
  EXPECT_EQ(s.px, expected);
}

TEST(WmfDrawing, PiesBlocksAndOpaqueTextTakeTheirParametersLastFirst) {
  // A pie from the radial through 3 o'clock counter-clockwise to 12 o'clock, and a chord below.
  Wmf w = WithPenAndBrush();
  w.Rec(0x02FA, {PS_NULL, 0, 0, 0, 0}).Rec(kSelectObject, {2});
  w.Rec(0x081A, {10, 50, 50, 90, 90, 90, 10, 10});
  w.Rec(0x0830, {150, 10, 150, 90, 190, 90, 110, 10});  // from 3 o'clock to 9 o'clock
  const Surface s = Render(*Load(w.Placeable(0, 0, 100, 200, 96)));
  EXPECT_EQ(s.At(65, 35), kRed);
  EXPECT_EQ(s.At(35, 35), kGrey);
  EXPECT_EQ(s.At(65, 65), kGrey);
  EXPECT_EQ(s.At(50, 130), kRed);  // the upper half of the lower circle
  EXPECT_EQ(s.At(50, 170), kGrey);

  // A block of the bitmap's top-right pixel (rows counted from the top), scaled by four.
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  Le blit;  // rop, source y, x, height, width, destination y, x, then the bitmap
  blit.U32(SRCCOPY).U16(0).U16(1).U16(1).U16(1).U16(2).U16(3).Raw(info + bits);
  Wmf b;
  b.RecBytes(0x0940, blit.d);
  const Surface t = Render(*Load(b.Placeable(0, 0, 25, 25, 24)));
  ASSERT_EQ(t.w, 100);
  EXPECT_EQ(t.At(12, 8), kGreen);
  EXPECT_EQ(t.At(15, 11), kGreen);
  EXPECT_EQ(t.At(16, 8), kGrey);
  EXPECT_EQ(t.At(12, 7), kGrey);

  // Text clipped to an opaque rectangle of the background colour.
  Le text;  // y, x, length, options, rectangle, string
  text.U16(30).U16(20).U16(3).U16(ETO_OPAQUE | ETO_CLIPPED).U16(10).U16(20).U16(45).U16(40);
  text.Raw("Abc");
  Wmf o;
  o.Rec(kSetTextColor, {Lo(kBlueRef), Hi(kBlueRef)}).Rec(0x0201, {Lo(kGreenRef), Hi(kGreenRef)});
  o.RecBytes(0x0A32, text.d);
  const Surface u = Render(*Load(o.Placeable(0, 0, 60, 60, 96)));
  std::vector<uint32_t> expected(60 * 60, 0xFF808080);
  DeviceContext dc(expected.data(), 60, 60, 60 * 4);
  dc.SetTextColor(kBlueRef);
  dc.SetBkColor(kGreenRef);
  const TRect box{10, 20, 45, 40};
  dc.ExtTextOut(20, 30, ETO_OPAQUE | ETO_CLIPPED, &box, u"Abc");
  EXPECT_EQ(u.px, expected);
  EXPECT_EQ(u.At(11, 21), kGreen);
}
