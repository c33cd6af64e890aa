#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/images/ImageMaps.h"

namespace {

using html::TMapItem;

// Adds an AREA with these attributes, in the order given.
void AddArea(TMapItem& map, std::vector<std::pair<html::Symb, std::string>> attributes) {
  html::TAttributeList list;
  for (auto& [sym, value] : attributes)
    list.Add(std::make_unique<html::TAttribute>(sym, 0, "", value, 0));
  map.AddArea(list);
}

// The link under (x, y), or "-" when there is none.
std::string LinkAt(const TMapItem& map, int x, int y) {
  std::unique_ptr<html::TUrlTarget> target;
  std::string title;
  return map.HitTest(x, y, target, title) ? target->URL : "-";
}

TEST(AreaCoords, SeparatorsAndWords) {
  using V = std::vector<int32_t>;
  EXPECT_EQ(html::ParseAreaCoords("10, 20 ,30,40"), (V{10, 20, 30, 40}));
  EXPECT_EQ(html::ParseAreaCoords("  5 6\t"), (V{5, 6}));
  EXPECT_EQ(html::ParseAreaCoords("a,7"), (V{0, 7}));
  EXPECT_EQ(html::ParseAreaCoords("1,,2"), (V{1, 2}));
  EXPECT_EQ(html::ParseAreaCoords(""), V{});
  // Numbers read as those of every attribute: rounded, signed, without their unit, held to the
  // 32-bit range.
  EXPECT_EQ(html::ParseAreaCoords("99999999999,3"), (V{2147483647, 3}));
  EXPECT_EQ(html::ParseAreaCoords("10.6, +20,30px 40.5"), (V{11, 20, 30, 40}));
  std::string many;
  for (int i = 0; i < 400; ++i) many += std::to_string(i) + ",";
  const V parsed = html::ParseAreaCoords(many);
  ASSERT_EQ(parsed.size(), size_t(TMapItem::kMaxCoords));
  EXPECT_EQ(parsed.back(), 300);
}

TEST(MapAreas, ShapesHitWhereTheyShould) {
  TMapItem map;
  AddArea(map, {{html::HrefSy, "rect"}, {html::CoordsSy, "10,10,20,20"}});
  AddArea(map, {{html::ShapeSy, "CIRCLE"}, {html::CoordsSy, "40,10,5"}, {html::HrefSy, "c"}});
  AddArea(
      map,
      {{html::ShapeSy, "polygon"}, {html::HrefSy, "p"}, {html::CoordsSy, "0,30, 10,30, 0,40, 99"}});
  ASSERT_EQ(map.Count(), 3);

  // The rectangle includes its right and bottom coordinates.
  EXPECT_EQ(LinkAt(map, 10, 10), "rect");
  EXPECT_EQ(LinkAt(map, 20, 20), "rect");
  EXPECT_EQ(LinkAt(map, 21, 20), "-");
  EXPECT_EQ(LinkAt(map, 9, 15), "-");
  // The circle fills the box (35, 5, 46, 16): pixel centres within 5.5 of (40.5, 10.5).
  EXPECT_EQ(LinkAt(map, 40, 10), "c");
  EXPECT_EQ(LinkAt(map, 35, 10), "c");
  EXPECT_EQ(LinkAt(map, 45, 10), "c");
  EXPECT_EQ(LinkAt(map, 34, 10), "-");
  EXPECT_EQ(LinkAt(map, 46, 10), "-");
  EXPECT_EQ(LinkAt(map, 37, 7), "c");  // 3.5 each way: 24.5 < 30.25
  EXPECT_EQ(LinkAt(map, 36, 6), "-");  // 4.5 each way: 40.5 > 30.25
  // The odd seventh coordinate is dropped: the triangle (0,30) (10,30) (0,40).
  EXPECT_EQ(LinkAt(map, 2, 32), "p");
  EXPECT_EQ(LinkAt(map, 8, 38), "-");
}

TEST(MapAreas, TooFewCoordinatesAreIgnored) {
  TMapItem map;
  AddArea(map, {{html::HrefSy, "r"}, {html::CoordsSy, "1,2,3"}});
  AddArea(map, {{html::ShapeSy, "circ"}, {html::HrefSy, "c"}, {html::CoordsSy, "1,2"}});
  AddArea(map, {{html::ShapeSy, "poly"}, {html::HrefSy, "p"}, {html::CoordsSy, "1,2,3,4,5"}});
  // A later COORDS starts again from nothing.
  AddArea(map, {{html::CoordsSy, "0,0,5,5"}, {html::HrefSy, "x"}, {html::CoordsSy, "1"}});
  EXPECT_EQ(map.Count(), 0);
  // Anything else than circ or poly is a rectangle.
  AddArea(map, {{html::ShapeSy, "default"}, {html::HrefSy, "d"}, {html::CoordsSy, "0,0,1,1"}});
  EXPECT_EQ(LinkAt(map, 1, 1), "d");
}

TEST(MapAreas, TheFirstAreaUnderThePointDecides) {
  TMapItem map;
  AddArea(map, {{html::HrefSy, "a"}, {html::NoHrefSy, ""}, {html::CoordsSy, "0,0,10,10"}});
  AddArea(map, {{html::HrefSy, "b"},
                {html::TargetSy, "_top"},
                {html::TitleSy, "Bee"},
                {html::CoordsSy, "5,5,20,20"}});
  AddArea(map, {{html::NoHrefSy, ""}, {html::HrefSy, "c"}, {html::CoordsSy, "30,30,40,40"}});
  EXPECT_EQ(LinkAt(map, 7, 7), "-");  // in both; the first has no link
  EXPECT_EQ(LinkAt(map, 35, 35), "c");

  std::unique_ptr<html::TUrlTarget> target;
  std::string title;
  ASSERT_TRUE(map.HitTest(15, 15, target, title));
  EXPECT_EQ(target->URL, "b");
  EXPECT_EQ(target->Target, "_top");
  EXPECT_EQ(title, "Bee");
}

TEST(MapAreas, HostileValuesStayBounded) {
  TMapItem map;
  for (int i = 0; i < TMapItem::kMaxAreas + 5; ++i)
    AddArea(map, {{html::HrefSy, "n"}, {html::CoordsSy, "0,0,1,1"}});
  EXPECT_EQ(map.Count(), TMapItem::kMaxAreas);

  // Extreme coordinates neither overflow nor cost anything.
  TMapItem huge;
  AddArea(huge, {{html::HrefSy, "r"}, {html::CoordsSy, "-2147483648,0,2147483647,5"}});
  AddArea(huge, {{html::ShapeSy, "circle"},
                 {html::HrefSy, "h"},
                 {html::CoordsSy, "2000000000,-2000000000,2147483647"}});
  AddArea(huge, {{html::ShapeSy, "poly"},
                 {html::HrefSy, "p"},
                 {html::CoordsSy, "-2147483648,0,2147483647,0,0,2147483647"}});
  ASSERT_EQ(huge.Count(), 3);
  EXPECT_EQ(LinkAt(huge, -30000, 5), "r");
  EXPECT_EQ(LinkAt(huge, 30000, 0), "r");
  EXPECT_EQ(LinkAt(huge, 100, 100), "p");  // 2.8e9 from the circle's centre: outside it
  EXPECT_EQ(LinkAt(huge, 1500000000, -1500000000), "h");
}

}  // namespace
