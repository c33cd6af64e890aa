// Random pages against the outline of blocks, sections and tables their markup calls for:
// paragraphs (closed or left open), divisions, headers, lists, quotations and inline styles; and
// tables with rows written or implied, cells with and without end tags, foot rows, captions above
// and below, stray text between a row and its first cell (which goes before the table), and
// tables inside cells.
#include <random>

#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

struct Made {
  std::string html, outline;
};

class BlockModel {
 public:
  explicit BlockModel(std::mt19937& random) : random_(random) {}

  // Words with inline styles about them: one section.
  Made Text() {
    Made made;
    std::string plain;
    for (int n = 1 + int(random_() % 3); n > 0; --n) {
      const std::string word = "w" + std::to_string(next_++);
      const char* inline_ = random_() % 3 == 0 ? (random_() % 2 ? "b" : "span") : nullptr;
      made.html += inline_ ? "<" + std::string(inline_) + ">" + word + "</" + inline_ + ">" : word;
      plain += word;
      if (n > 1) {
        made.html += " ";
        plain += " ";
      }
    }
    made.outline = "'" + plain + "'";
    return made;
  }

  // Blocks and text; never two texts in a row (they would share a section).
  Made Content(int depth, bool allowText = true) {
    Made made;
    bool lastWasText = false;
    for (int n = 1 + int(random_() % 3); n > 0; --n) {
      Made item;
      const int kind = int(random_() % (depth < 3 ? 6 : 2));
      if (kind == 0 && allowText && !lastWasText) {
        item = Text();
        lastWasText = true;
      } else {
        lastWasText = false;
        switch (kind) {
          case 0:
          case 1: {
            const Made text = Text();
            // An open paragraph ends at the next block; text would go on in it.
            const bool open = n > 1 && random_() % 2;
            item.html = "<p>" + text.html + (open ? "" : "</p>");
            item.outline = "p[" + text.outline + "]";
            lastWasText = open;
            break;
          }
          case 2: {
            const Made inner = Content(depth + 1);
            item = {"<div>" + inner.html + "</div>", "div[" + inner.outline + "]"};
            break;
          }
          case 3: {
            const std::string level = std::to_string(1 + random_() % 3);
            const Made text = Text();
            item = {"<h" + level + ">" + text.html + "</h" + level + ">",
                    "h" + level + "[" + text.outline + "]"};
            break;
          }
          case 4: {
            const char* list = random_() % 2 ? "ul" : "ol";
            item.html = std::string("<") + list + ">";
            std::string items;
            const int count = 1 + int(random_() % 3);
            for (int i = 1; i <= count; ++i) {
              const Made text = Text();
              item.html += "<li>" + text.html;
              std::string content = text.outline;
              if (depth < 2 && random_() % 4 == 0) {
                const Made nested = Content(depth + 2, false);
                item.html += nested.html;
                content += " " + nested.outline;
              }
              items += (i > 1 ? " li" : "li") + std::to_string(i) + "[" + content + "]";
            }
            item.html += std::string("</") + list + ">";
            item.outline = std::string(list) + "[" + items + "]";
            break;
          }
          default: {
            const Made inner = Content(depth + 1);
            item = {"<blockquote>" + inner.html + "</blockquote>",
                    "blockquote[" + inner.outline + "]"};
          }
        }
      }
      made.html += item.html;
      made.outline += (made.outline.empty() ? "" : " ") + item.outline;
    }
    return made;
  }

 private:
  std::mt19937& random_;
  int next_ = 0;
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

class OutlineModel : public BuilderFixture {
 protected:
  template <class Model, class Make>
  void Check(unsigned seed, Make make) {
    std::mt19937 random(seed);
    for (int i = 0; i < 400; ++i) {
      Model model(random);
      const Made made = make(model);
      EXPECT_EQ(Build(made.html), made.outline) << made.html;
    }
  }
};

TEST_F(OutlineModel, RandomBlocks) {
  Check<BlockModel>(111, [](BlockModel& model) { return model.Content(0); });
}

TEST_F(OutlineModel, RandomTables) {
  Check<TableModel>(112, [](TableModel& model) { return model.Table(0); });
}

}  // namespace
}  // namespace buildertest
