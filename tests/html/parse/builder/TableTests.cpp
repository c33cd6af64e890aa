// Tables: rows and cells, implied rows, stray content, alignment, declared columns, row groups,
// captions and nesting.
#include <string>

#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

class TableTest : public BuilderFixture {
 protected:
  // The table block that is the index-th item of the body.
  const html::TTableBlock& TableAt(int index) const {
    return dynamic_cast<const html::TTableBlock&>(*Body().Content.Items(index));
  }
  static const html::TCellObj& CellAt(const html::TTableBlock& block, int row, int col) {
    return *block.Table->RowList.Items(row)->Items(col);
  }
};

TEST_F(TableTest, RowsAndCells) {
  EXPECT_EQ(Build("a<table><tr><td>b<td>c<p>d</tr><tr><td>e</td></tr></table>f"),
            "'a' table['b' | 'c' p['d'] / 'e'] 'f'");
}

TEST_F(TableTest, BlocksInsideCellsEndWithTheCell) {
  EXPECT_EQ(Build("<table><td><h1>a<div>b</td><td><ul><li>c<td>d</table>"),
            "table[h1['a' div['b']] | ul[li1['c']] | 'd']");
}

TEST_F(TableTest, ACellWithoutARowOpensOne) {
  EXPECT_EQ(Build("<table><td>a<td>b<tr><td>c</table>"), "table['a' | 'b' / 'c']");
}

TEST_F(TableTest, ContentOutsideCellsGoesBeforeTheTable) {
  EXPECT_EQ(Build("<table> <tr>x<b>y</b><td>a</table>"), "'xy' table['a']");
  EXPECT_EQ(Styles(RunAt("y")), plat::fsBold);
}

TEST_F(TableTest, CellAlignment) {
  Build(
      "<table><tr align=right><th>h<td>d</tr><tr><th align=left>l<td>t</table>"
      "<center><table><td>c</table></center>");
  EXPECT_EQ(SectionWith("h").TextAlign, 3);
  EXPECT_EQ(SectionWith("d").TextAlign, 3);
  EXPECT_EQ(SectionWith("l").TextAlign, 1);
  EXPECT_EQ(SectionWith("t").TextAlign, 1);
  EXPECT_EQ(SectionWith("c").TextAlign, 1);  // CENTER places the table, not its text
  EXPECT_EQ(TableAt(0).TableAlign, 0);
  EXPECT_EQ(TableAt(1).TableAlign, 2);
}

TEST_F(TableTest, HeaderCellsAreCentredByDefault) {
  Build("<table><th>h<td>d</table>");
  EXPECT_EQ(SectionWith("h").TextAlign, 2);
  EXPECT_EQ(SectionWith("d").TextAlign, 1);
}

TEST_F(TableTest, DeclaredColumnWidthsReachTheCells) {
  Build("<table><col width=\"20%\"><tr><td rowspan=2>a<td>b<tr><td>c</table>");
  const html::TTableBlock& table = TableAt(0);
  EXPECT_EQ(CellAt(table, 0, 0).WidthSpec, 200);
  EXPECT_TRUE(CellAt(table, 0, 0).WidthIsPercent);
  EXPECT_EQ(CellAt(table, 0, 1).WidthSpec, 0);
  // Row two's first free column is the second: the spanning cell holds the first.
  EXPECT_EQ(CellAt(table, 1, 0).WidthSpec, 0);
}

TEST_F(TableTest, ColumnGroupsAndSpans) {
  Build(
      "<table><colgroup valign=top><col span=500><col width=30></colgroup><tr><td>a"
      "</table>");
  const html::TTableBlock& table = TableAt(0);
  ASSERT_EQ(table.Table->ColumnSpecs.size(), 101u);
  EXPECT_EQ(table.Table->ColumnSpecs[0].VertAlign, html::VAlignTop);
  EXPECT_EQ(table.Table->ColumnSpecs[100].SpecWidth, 30);
  EXPECT_EQ(CellAt(table, 0, 0).VertAlign, html::VAlignTop);
  // Columns declared after the first row are ignored.
  Build("<table><tr><td>a<col width=10></table>");
  EXPECT_TRUE(TableAt(0).Table->ColumnSpecs.empty());
}

TEST_F(TableTest, FootRowsGoLast) {
  EXPECT_EQ(Build("<table><tfoot><tr><td>f</tfoot><thead><tr><td>h<tbody><tr><td>b</table>"),
            "table['h' / 'b' / 'f']");
}

TEST_F(TableTest, FootRowsWrittenFirstTakeTheirOwnColumnSlots) {
  Build(
      "<table><col width=100><col width=50><col width=30><tfoot><tr><td>f1</td></tr>"
      "<tr><td>f2</td></tr></tfoot><tbody><tr><td>b1</td><td>b2</td></tr></tbody></table>");
  const html::TTableBlock& table = TableAt(0);
  ASSERT_EQ(Outline(Body().Content), "table['b1' | 'b2' / 'f1' / 'f2']");
  EXPECT_EQ(CellAt(table, 0, 0).WidthSpec, 100);
  EXPECT_EQ(CellAt(table, 0, 1).WidthSpec, 50);
  EXPECT_EQ(CellAt(table, 1, 0).WidthSpec, 100);
  EXPECT_EQ(CellAt(table, 2, 0).WidthSpec, 100);
}

// Foot rows stand after every other row, so a foot cell's ROWSPAN covers later foot rows only,
// never the body rows read after it.
TEST_F(TableTest, AFootRowSpanWrittenFirstStaysInTheFoot) {
  const std::string columns = "<table><col valign=top><col width=200 valign=bottom>";
  Build(
      columns +
      "<tfoot><tr><td rowspan=2>f1</tfoot><tbody><tr><td>b1</td><td>b2</td></tr></tbody></table>");
  const html::TTableBlock& table = TableAt(0);
  ASSERT_EQ(Outline(Body().Content), "table['b1' | 'b2' / 'f1']");
  EXPECT_EQ(CellAt(table, 0, 0).WidthSpec, 0);
  EXPECT_EQ(CellAt(table, 0, 0).VertAlign, html::VAlignTop);
  EXPECT_EQ(CellAt(table, 0, 1).WidthSpec, 200);

  Build(columns + "<tfoot><tr><td rowspan=2>f1<tr><td>f2</tfoot><tr><td>b1<td>b2</table>");
  const html::TTableBlock& both = TableAt(0);
  ASSERT_EQ(Outline(Body().Content), "table['b1' | 'b2' / 'f1' / 'f2']");
  EXPECT_EQ(CellAt(both, 0, 0).VertAlign, html::VAlignTop);
  EXPECT_EQ(CellAt(both, 2, 0).VertAlign, html::VAlignBottom) << "f2 beside f1's span";
}

TEST_F(TableTest, Captions) {
  EXPECT_EQ(Build("<table><caption>c</caption><tr><td>a</table>"),
            "TableAndCaption[caption['c'] table['a']]");
  EXPECT_EQ(Build("<table><caption ALIGN=Bottom>c</caption><tr><td>a</table>"),
            "TableAndCaption[table['a'] caption['c']]");
}

TEST_F(TableTest, NoWrapCellsKeepTheirWordsTogether) {
  Build("<table><td nowrap>a b<td nowrap width=50>c d<td nowrap width=\"50%\">e f</table>");
  EXPECT_EQ(SectionWith("a b").BreakFlags.substr(0, 3), "nnn");
  EXPECT_NE(SectionWith("c d").BreakFlags.substr(0, 3), "nnn");
  EXPECT_EQ(SectionWith("e f").BreakFlags.substr(0, 3), "nnn");
}

TEST_F(TableTest, TablesNestTenDeep) {
  std::string page;
  for (int i = 0; i < 11; ++i) page += "<table><tr><td>";
  page += "x";
  for (int i = 0; i < 11; ++i) page += "</td></tr></table>";
  page += "<table><td>y</table>";
  // The eleventh TABLE tag is dropped; its row and cell open a second row of the tenth.
  std::string expected;
  for (int i = 0; i < 9; ++i) expected += "table[";
  expected += "table[ / 'x']" + std::string(9, ']') + " table['y']";
  EXPECT_EQ(Build(page), expected);
}

}  // namespace
}  // namespace buildertest
