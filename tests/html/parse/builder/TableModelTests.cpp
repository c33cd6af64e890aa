// Random tables against the outline their markup calls for: rows written or implied, cells with
// and without end tags, foot rows, captions above and below, stray text between a row and its
// first cell (which goes before the table), and tables inside cells.
#include <random>

#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

struct Made {
  std::string html, outline;
};

class TableModel {
 public:
  explicit TableModel(std::mt19937& random) : random_(random) {}

  Made Table(int depth) {
    Made made{"<table>", ""};
    std::string before, rows, foot;
    if (random_() % 4 == 0) {
      const std::string word = Word();
      made.html += "<tfoot><tr><td>" + word + "</tfoot>";
      foot = "'" + word + "'";
    }
    const int rowCount = 1 + int(random_() % 3);
    for (int r = 0; r < rowCount; ++r) {
      // The first row may be implied by its first cell.
      if (r > 0 || random_() % 3) made.html += "<tr>";
      if (random_() % 4 == 0) {
        const std::string stray = Word();
        made.html += stray;
        before += "'" + stray + "' ";
      }
      std::string cells;
      const int cellCount = 1 + int(random_() % 3);
      for (int c = 0; c < cellCount; ++c) {
        made.html += random_() % 2 ? "<td>" : "<th>";
        std::string content;
        if (depth < 2 && random_() % 6 == 0) {
          const Made inner = Table(depth + 1);
          made.html += inner.html;
          content = inner.outline;
        } else {
          const std::string word = Word();
          made.html += word;
          content = "'" + word + "'";
        }
        if (random_() % 2) made.html += "</td>";
        cells += (c ? " | " : "") + content;
      }
      if (random_() % 2) made.html += "</tr>";
      rows += (r ? " / " : "") + cells;
    }
    if (!foot.empty()) rows += " / " + foot;
    std::string table = "table[" + rows + "]";
    if (random_() % 4 == 0) {
      const std::string word = Word();
      const bool bottom = random_() % 2;
      made.html +=
          std::string(bottom ? "<caption align=bottom>" : "<caption>") + word + "</caption>";
      const std::string caption = "caption['" + word + "']";
      table = "TableAndCaption[" + (bottom ? table + " " + caption : caption + " " + table) + "]";
    }
    made.html += "</table>";
    made.outline = before + table;
    return made;
  }

 private:
  std::string Word() { return "w" + std::to_string(next_++); }
  std::mt19937& random_;
  int next_ = 0;
};

TEST_F(BuilderFixture, RandomTablesBecomeTheirOutline) {
  std::mt19937 random(112);
  for (int i = 0; i < 400; ++i) {
    TableModel model(random);
    const Made made = model.Table(0);
    EXPECT_EQ(Build(made.html), made.outline) << made.html;
  }
}

}  // namespace
}  // namespace buildertest
