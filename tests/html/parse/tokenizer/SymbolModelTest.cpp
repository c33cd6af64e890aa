// Random documents against the symbols their pieces call for: words, runs of blanks, tabs and
// every kind of line end (one space in text), entities, comments, declarations and server
// blocks (gone, even inside a word), tags of every form and a "<" that starts none.
#include <gtest/gtest.h>

#include <random>

#include "tests/html/parse/tokenizer/SymbolStream.h"

namespace html {
namespace {

struct Piece {
  const char* html;
  const char* symbol;  // what it reads as; empty for nothing
};

TEST(SymbolModel, PiecesReadAsTheirSymbols) {
  static const char* const blanks[] = {" ", "  ", "\t", "\r\n", "\n", "\r", "\n\r", " \t\n "};
  static const Piece entities[] = {{"&amp;", "&"},  {"&lt;", "<"},      {"&#65;", "A"},
                                   {"&#x41;", "A"}, {"&#X6a;", "j"},    {"&euro;", "\u20ac"},
                                   {"&#1;", "?"},   {"&AMP;", "&AMP;"}, {"&nosuch;", "&nosuch;"},
                                   {"&#;", "&#;"},  {"&#x;", "&#x;"},   {"&apos;", "\u2019"}};
  static const char* const skipped[] = {"<!-- c -->",  "<!-- a - b -->",  "<!---->",
                                        "<!-- x --!>", "<!DOCTYPE html>", "<% y %>",
                                        "<% a % b %>", "<!-- x -- >"};
  static const Piece tags[] = {{"<p>", "<p>"},
                               {"</p>", "</p>"},
                               {"<br/>", "<br>"},
                               {"<BR>", "<br>"},
                               {"<h3 >", "<h3>"},
                               {"</H2>", "</h2>"},
                               {"<b class=x>", "<b>"},
                               {"<zz>", "command"},
                               {"</br>", "command"},
                               {"<table border>", "<table>"},
                               {"<td width=\"50%\" nowrap>", "<td>"},
                               {"<li>", "<li>"}};
  std::mt19937 random(110);
  for (int round = 0; round < 2000; ++round) {
    std::string document, pending;
    Symbols expected;
    bool afterBlank = false;
    auto flush = [&] {
      if (!pending.empty()) expected.push_back("text:" + pending);
      pending.clear();
    };
    const int count = 1 + int(random() % 30);
    for (int i = 0; i < count; ++i) {
      switch (random() % 6) {
        case 0: {
          std::string word;
          for (int n = 1 + int(random() % 5); n > 0; --n) word += char('a' + random() % 26);
          document += word;
          pending += word;
          afterBlank = false;
          break;
        }
        case 1:
          document += blanks[random() % std::size(blanks)];
          if (!afterBlank) pending += ' ';
          afterBlank = true;
          break;
        case 2: {
          const Piece& e = entities[random() % std::size(entities)];
          document += e.html;
          pending += e.symbol;
          afterBlank = false;
          break;
        }
        case 3:
          // Comments and server blocks vanish and leave runs of blanks joined.
          document += skipped[random() % std::size(skipped)];
          break;
        case 4: {
          const Piece& t = tags[random() % std::size(tags)];
          document += t.html;
          flush();
          expected.push_back(t.symbol);
          afterBlank = false;
          break;
        }
        default:
          flush();
          expected.push_back("text:<");
          if (random() % 2) {
            document += "< ";
            pending = " ";
            afterBlank = true;
          } else {
            document += "<5";
            pending = "5";
            afterBlank = false;
          }
      }
    }
    flush();
    expected.push_back("eof");
    EXPECT_EQ(SymbolsOf(document), expected) << document;
  }
}

}  // namespace
}  // namespace html
