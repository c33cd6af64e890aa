// Charsets named by META content types and the conversions of Japanese documents.
#include <gtest/gtest.h>
#include <iconv.h>

#include "html/parse/HtmlReader.h"

namespace html {
namespace {

TEST(Charsets, TheFirstContainedFragmentWins) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("");
  const auto charsetOf = [&](const std::string& content) {
    uint8_t charset = 99;
    return tokenizer.FindCharset(content, charset) ? int(charset) : -1;
  };
  EXPECT_EQ(charsetOf("text/html; charset=ISO-8859-15"), 0);
  EXPECT_EQ(charsetOf("text/html; charset=windows-1250"), 238);
  EXPECT_EQ(charsetOf("text/html; charset=iso-8859-2"), 31);
  EXPECT_EQ(charsetOf("text/html; charset=KOI8-R"), 204);
  EXPECT_EQ(charsetOf("text/html; charset=Shift_JIS"), 128);
  EXPECT_EQ(charsetOf("text/html; charset=big5"), 136);
  EXPECT_EQ(charsetOf("text/html; charset=utf-8"), -1);
  EXPECT_EQ(charsetOf(""), -1);
}

TEST(Charsets, EucJpConvertsTheDocumentOnce) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("<p>x\xB0\xA1y");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  uint8_t charset = 0;
  ASSERT_TRUE(tokenizer.FindCharset("text/html; charset=EUC-JP", charset));
  EXPECT_EQ(charset, 128);
  EXPECT_EQ(tokenizer.Document(), "<p>x\x88\x9Fy");
  ASSERT_TRUE(tokenizer.FindCharset("text/html; charset=euc-jp", charset));
  EXPECT_EQ(tokenizer.Document(), "<p>x\x88\x9Fy");  // not converted twice
  tokenizer.TopCodePage = [] { return 932; };
  tokenizer.GetSymbol();
  EXPECT_EQ(tokenizer.Token.GetString(), u"x\u4E9Cy");
}

TEST(Japanese, Iso2022JpDetection) {
  EXPECT_TRUE(IsIso2022Jp("a\x1b$B\x30\x21\x1b(Bb"));
  EXPECT_TRUE(IsIso2022Jp("\x1b$@\x30\x21\x1b(J"));
  EXPECT_FALSE(IsIso2022Jp("a\x1b(Bb\x1b$B\x30\x21"));  // nothing switches back
  EXPECT_FALSE(IsIso2022Jp("plain text"));
  // The later of the two double-byte escapes counts.
  EXPECT_FALSE(IsIso2022Jp("\x1b$@\x1b(B\x1b$B"));
}

TEST(Japanese, Iso2022JpToShiftJis) {
  EXPECT_EQ(Iso2022JpToShiftJis("a\x1b$B\x30\x21\x24\x22\x1b(Bb"),
            "a\x88\x9F\x82\xA0"
            "b");
  // A last byte without its partner, and an escape cut short, stay as they are.
  EXPECT_EQ(Iso2022JpToShiftJis("\x1b$B\x30\x21\x30"), "\x88\x9F\x30");
  EXPECT_EQ(Iso2022JpToShiftJis("a\x1b("), "a\x1b(");
}

// Shift_JIS of a JIS X 0208 cell through the system's converter; empty when it has none.
std::string SystemShiftJis(int row, int cell) {
  iconv_t cd = iconv_open("SHIFT_JIS", "EUC-JP");
  char in[2] = {char(row | 0x80), char(cell | 0x80)};
  char out[8];
  char* source = in;
  char* dest = out;
  size_t inLeft = 2, outLeft = sizeof out;
  const size_t result = iconv(cd, &source, &inLeft, &dest, &outLeft);
  iconv_close(cd);
  return result == size_t(-1) ? std::string() : std::string(out, sizeof out - outLeft);
}

TEST(Japanese, EucJpAgreesWithTheSystemConverter) {
  int compared = 0;
  for (int row = 0x21; row <= 0x74; ++row)
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      const std::string expected = SystemShiftJis(row, cell);
      if (expected.size() != 2) continue;
      const std::string euc = {char(row | 0x80), char(cell | 0x80)};
      ASSERT_EQ(EucJpToShiftJis(euc), expected) << row << " " << cell;
      const std::string jis = std::string("\x1b$B") + char(row) + char(cell);
      ASSERT_EQ(Iso2022JpToShiftJis(jis), expected) << row << " " << cell;
      ++compared;
    }
  EXPECT_GT(compared, 6000);
}

TEST(Japanese, EucJpKeepsTheLength) {
  EXPECT_EQ(EucJpToShiftJis("a\xB0\xA1"
                            "b"),
            "a\x88\x9F"
            "b");
  EXPECT_EQ(EucJpToShiftJis("\xB0"
                            "a\xB0"),
            "\xB0"
            "a\xB0");
  EXPECT_EQ(EucJpToShiftJis("\x8E\xB1"), "\x8E\xB1");
}

}  // namespace
}  // namespace html
