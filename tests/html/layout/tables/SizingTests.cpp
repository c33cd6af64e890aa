// Column and row sizing on hand-worked grids.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "html/layout/tables/TablesWidths.h"

namespace html {
namespace {

using V = std::vector<int32_t>;

TColumnCell Cell(int col, int span, int32_t min, int32_t max, int32_t requested = 0,
                 bool percent = false, int32_t extra = 0) {
  return {col, span, min, max, extra, requested, percent};
}

TColumnSizes Sizes(V min, V max, V percent) {
  TColumnSizes s;
  s.Min = std::move(min);
  s.Max = std::move(max);
  s.Percent = std::move(percent);
  return s;
}

TEST(ColumnMinMax, SpansSpreadTheirExcessInProportionWithTheRestOnTheFirstColumn) {
  // 50 more minimum split 30:20 and 150 more maximum split 100:50.
  TColumnSizes s = MinMaxAbs({Cell(0, 1, 30, 100), Cell(1, 1, 20, 50), Cell(0, 2, 100, 300)}, 2);
  EXPECT_EQ(s.Min, (V{60, 40}));
  EXPECT_EQ(s.Max, (V{200, 100}));
  // 10 over three equal columns: 3.33 rounds to 3 each, the last pixel goes to the first.
  s = MinMaxAbs({Cell(0, 1, 10, 10), Cell(1, 1, 10, 10), Cell(2, 1, 10, 10), Cell(0, 3, 40, 40)},
                3);
  EXPECT_EQ(s.Min, (V{14, 13, 13}));
  // Columns with nothing in them: the first takes it all.
  s = MinMaxAbs({Cell(0, 2, 40, 60)}, 2);
  EXPECT_EQ(s.Min, (V{40, 0}));
  EXPECT_EQ(s.Max, (V{60, 0}));
  EXPECT_EQ(s.TotalMin(), 40);
  EXPECT_EQ(s.TotalMax(), 60);
}

TEST(ColumnMinMax, PixelWidthsFixSingleColumnsWithExtrasAndSpansWithout) {
  // 100 + 6 of padding and spacing; a wider cell in the same column still wins.
  TColumnSizes s = MinMaxAbs({Cell(0, 1, 16, 56, 100, false, 6)}, 1);
  EXPECT_EQ(s.Min, (V{106}));
  EXPECT_EQ(s.Max, (V{106}));
  s = MinMaxAbs({Cell(0, 1, 16, 56, 100, false, 6), Cell(0, 1, 120, 200)}, 1);
  EXPECT_EQ(s.Min, (V{120}));
  EXPECT_EQ(s.Max, (V{200}));
  s = MinMaxAbs({Cell(0, 1, 20, 50), Cell(1, 1, 30, 50), Cell(0, 2, 40, 300, 150)}, 2);
  EXPECT_EQ(s.Min, (V{60, 90}));  // 100 more, 20:30
  EXPECT_EQ(s.Max, (V{75, 90}));  // 50 more, 50:50, then never below the minimum
  // A cell past the last column is ignored rather than read beyond the arrays.
  s = MinMaxAbs({Cell(1, 3, 500, 500), Cell(0, 1, 5, 5)}, 2);
  EXPECT_EQ(s.Min, (V{5, 0}));
}

TEST(ColumnMinMax, PercentagesFromCellsPixelWidthsAndSpans) {
  // A pixel width is a share of the table's width: 100 of 500 is 200 per mille.
  TColumnSizes s = MinMaxPercent({Cell(0, 1, 10, 40, 300, true), Cell(1, 1, 5, 5, 100)}, 2, 500);
  EXPECT_EQ(s.Percent, (V{300, 200}));
  EXPECT_EQ(s.Min, (V{10, 100}));
  // A span of 600 over a 200 column and one without: the other gets the remaining 400; extra
  // minimum goes by the columns' maxima (20:30 of 60), extra maximum by percentage of 600.
  s = MinMaxPercent(
      {Cell(0, 1, 20, 20, 200, true), Cell(1, 1, 10, 30), Cell(0, 2, 90, 150, 600, true)}, 2, 0);
  EXPECT_EQ(s.Percent, (V{200, 400}));
  EXPECT_EQ(s.Min, (V{44, 46}));
  EXPECT_EQ(s.Max, (V{54, 96}));  // 33 + 66 and the rest pixel on the first
  // Percent columns under a larger spanning percentage are scaled up to it.
  s = MinMaxPercent(
      {Cell(0, 1, 0, 0, 100, true), Cell(1, 1, 0, 0, 100, true), Cell(0, 2, 0, 0, 500, true)}, 2,
      0);
  EXPECT_EQ(s.Percent, (V{250, 250}));
  // Without percentages a span's excess over empty columns is shared evenly.
  s = MinMaxPercent({Cell(0, 3, 10, 10)}, 3, 0);
  EXPECT_EQ(s.Min, (V{4, 3, 3}));
}

TEST(ColumnWidths, PixelTablesStayNaturalOrSpreadBetweenMinimumAndMaximum) {
  const TColumnSizes s = Sizes({50, 50}, {100, 200}, {0, 0});
  EXPECT_EQ(WidthsAbs(s, 400, false), (V{100, 200}));
  EXPECT_EQ(WidthsAbs(s, 200, false), (V{75, 125}));
  EXPECT_EQ(WidthsAbs(s, 90, false), (V{50, 50}));
  // 13 each leaves one pixel, added to the first column.
  EXPECT_EQ(WidthsAbs(Sizes({10, 10, 10}, {20, 20, 20}, {0, 0, 0}), 40, false), (V{14, 13, 13}));
  // No room between minimum and maximum: by the minima.
  EXPECT_EQ(WidthsAbs(Sizes({20, 60}, {20, 60}, {0, 0}), 100, true), (V{25, 75}));
  EXPECT_TRUE(WidthsAbs(Sizes({}, {}, {}), 100, true).empty());
}

TEST(ColumnWidths, AutoWithoutPercentagesFillsTheWidth) {
  TColumnSizes s = Sizes({10, 20}, {50, 100}, {0, 0});
  EXPECT_EQ(WidthsAuto(s, 150), (V{50, 100}));
  EXPECT_EQ(WidthsAuto(s, 90), (V{30, 60}));
  // 30 + 60 leaves a pixel for the column with the most room.
  EXPECT_EQ(WidthsAuto(s, 91), (V{30, 61}));
  TColumnSizes flat = Sizes({10, 10, 10}, {10, 10, 10}, {0, 0, 0});
  EXPECT_EQ(WidthsAuto(flat, 40), (V{14, 13, 13}));
  TColumnSizes none = Sizes({}, {}, {});
  EXPECT_TRUE(WidthsAuto(none, 40).empty());
}

TEST(ColumnWidths, AutoWithPercentages) {
  // Natural width 200 (100 is half of it) fits in 600.
  TColumnSizes s = Sizes({10, 10}, {100, 60}, {500, 0});
  EXPECT_EQ(WidthsAuto(s, 600), (V{100, 100}));
  // 100% plus another column asks for 30000; fitted into 500 the percentage shrinks to 98%.
  s = Sizes({10, 10}, {100, 50}, {1000, 0});
  EXPECT_EQ(WidthsAuto(s, 500), (V{490, 10}));
  EXPECT_EQ(s.Percent, (V{980, 0}));
  // 10% of 400 is below the column's minimum: the percentage is dropped.
  s = Sizes({200, 10}, {300, 50}, {100, 0});
  EXPECT_EQ(WidthsAuto(s, 400), (V{336, 64}));
  EXPECT_EQ(s.Percent, (V{0, 0}));
}

TEST(ColumnWidths, SpecifiedWidthGoesToPercentagesThenOrdinaryColumns) {
  // 25% of 400; the ordinary column's room (80) is enough to take the 280 missing.
  EXPECT_EQ(WidthsSpecified(Sizes({10, 20}, {50, 100}, {250, 0}), 400), (V{100, 300}));
  // By room 10:80 (28 and 231), the last pixel on the widest column.
  EXPECT_EQ(WidthsSpecified(Sizes({10, 20, 20}, {50, 30, 100}, {250, 0, 0}), 400),
            (V{100, 48, 252}));
  // Too little room: evenly.
  EXPECT_EQ(WidthsSpecified(Sizes({10, 20, 20}, {50, 21, 21}, {250, 0, 0}), 400),
            (V{100, 150, 150}));
  // Only percentages, too narrow: by percentage share.
  EXPECT_EQ(WidthsSpecified(Sizes({10, 10}, {10, 10}, {200, 300}), 1000), (V{400, 600}));
  // Too wide: the first column would fall below its minimum and is held there.
  EXPECT_EQ(WidthsSpecified(Sizes({550, 10}, {550, 10}, {600, 600}), 1000), (V{550, 450}));
  EXPECT_EQ(WidthsSpecified(Sizes({500, 10}, {500, 10}, {600, 600}), 1000), (V{500, 500}));
  // Every percent column held at its minimum and nothing else: no division, just the minima.
  EXPECT_EQ(WidthsSpecified(Sizes({300, 300}, {300, 300}, {100, 100}), 1000), (V{500, 500}));
  EXPECT_TRUE(WidthsSpecified(Sizes({}, {}, {}), 100).empty());
}

TEST(ColumnWidths, ASpecifiedWidthIsMetToThePixel) {
  // The shares taken of the excess round down; what they leave must still come off somewhere,
  // also when the widest column is held at its minimum.
  EXPECT_EQ(WidthsSpecified(Sizes({11, 11, 11, 204}, {20, 20, 20, 204}, {240, 270, 170, 0}), 618),
            (V{147, 163, 104, 204}));
  std::mt19937 random(142);
  for (int round = 0; round < 3000; ++round) {
    const int n = 1 + int(random() % 5);
    TColumnSizes s;
    for (int i = 0; i < n; ++i) {
      const int32_t min = int32_t(random() % 300);
      s.Min.push_back(min);
      s.Max.push_back(min + int32_t(random() % 300));
      s.Percent.push_back(random() % 3 ? int32_t(random() % 600) : 0);
    }
    const int32_t width = s.TotalMin() + 1 + int32_t(random() % 1500);
    const V w = WidthsSpecified(s, width);
    SCOPED_TRACE(round);
    int64_t sum = 0;
    for (int i = 0; i < n; ++i) {
      EXPECT_GE(w[size_t(i)], s.Min[size_t(i)]);
      sum += w[size_t(i)];
    }
    EXPECT_EQ(sum, width);
  }
}

TEST(ColumnWidths, HugePageSizesDoNotOverflow) {
  TColumnSizes s = Sizes({10, 10}, {2000000000, 10}, {10, 0});
  const V w = WidthsAuto(s, 1000);
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0] + w[1], 1000);
  const TColumnSizes abs = MinMaxPercent({Cell(0, 1, 5, 5, 2000000000)}, 1, 7);
  EXPECT_EQ(abs.Percent, (V{1000}));
}

TEST(RowHeights, SpansAndSpecifiedHeights) {
  EXPECT_EQ(RowHeightsFor({{0, 1, 30, 0}, {0, 1, 40, 0}, {1, 1, 20, 0}}, 2, 0), (V{40, 20}));
  // 31 more over two rows: 15 each, the odd pixel on the last.
  EXPECT_EQ(RowHeightsFor({{0, 1, 30, 0}, {1, 1, 20, 0}, {0, 2, 81, 0}}, 2, 0), (V{45, 36}));
  // Content 60 of 100; specified rows grow toward 50 and 60 by 40/70 of their room.
  EXPECT_EQ(RowHeightsFor({{0, 1, 20, 50}, {1, 1, 20, 60}, {2, 1, 20, 0}}, 3, 100),
            (V{37, 43, 20}));
  // All specified (80 of 160): scaled up.
  EXPECT_EQ(RowHeightsFor({{0, 1, 20, 30}, {1, 1, 20, 50}}, 2, 160), (V{60, 100}));
  // Unspecified rows share what the specified ones leave, the last taking the remainder.
  EXPECT_EQ(RowHeightsFor({{0, 1, 20, 50}, {1, 1, 20, 0}, {2, 1, 10, 0}}, 3, 201), (V{50, 75, 76}));
  // Content already fills the height.
  EXPECT_EQ(RowHeightsFor({{0, 1, 120, 50}, {1, 1, 20, 0}}, 2, 100), (V{120, 20}));
  // Zero heights everywhere (collapsed spacing): nothing to divide by.
  EXPECT_EQ(RowHeightsFor({{0, 1, 0, 0}, {1, 1, 0, 0}}, 2, 50), (V{25, 25}));
  EXPECT_TRUE(RowHeightsFor({}, 0, 100).empty());
}

}  // namespace
}  // namespace html
