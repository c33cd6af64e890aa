// Character buffers with source positions and the code-page conversions behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "html/base/TextBuffers.h"

namespace html {
namespace {

TEST(CharCollection, GrowsByFiftyAndKeepsPositions) {
  TCharCollection chars;
  EXPECT_EQ(chars.Chars.size(), 300u);
  for (int i = 0; i < 301; ++i) chars.Add(char('a' + i % 26), 1000 + i);
  EXPECT_EQ(chars.Size(), 301);
  EXPECT_EQ(chars.Chars.size(), 350u);
  EXPECT_EQ(chars.Positions.size(), 350u);
  EXPECT_EQ(chars.AsString().substr(298), "mno");
  EXPECT_EQ(chars.Positions[300], 1300);

  TCharCollection more;
  for (int i = 0; i < 60; ++i) more.Add('z', i);
  chars.Append(more);
  EXPECT_EQ(chars.Size(), 361);
  EXPECT_EQ(chars.Chars.size(), 411u);  // the new count and 50 more
  EXPECT_EQ(chars.Positions[360], 59);

  chars.Clear();
  EXPECT_EQ(chars.Size(), 0);
  EXPECT_EQ(chars.AsString(), "");
  chars.Add('x', 7);
  EXPECT_EQ(chars.Chars.size(), 50u);
  EXPECT_EQ(chars.AsString(), "x");
}

// Converts bytes whose source positions start at `first` and returns the token.
TokenObj Convert(const std::string& bytes, int codePage, int32_t first = 100) {
  TCharCollection chars;
  for (size_t i = 0; i < bytes.size(); ++i) chars.Add(bytes[i], first + int32_t(i));
  TokenObj token;
  token.AddConverted(chars, codePage);
  return token;
}

std::vector<int32_t> PositionsOf(const TokenObj& token) {
  return std::vector<int32_t>(token.Positions.begin(), token.Positions.begin() + token.Count);
}

TEST(Token, EveryWideCharacterCarriesItsFirstBytePosition) {
  TokenObj utf8 = Convert(
      "A\xE2\x82\xAC"
      "B\xF0\x9F\x98\x80"
      "C",
      65001);
  EXPECT_EQ(utf8.GetString(), u"A\u20ACB\U0001F600C");
  EXPECT_EQ(PositionsOf(utf8), (std::vector<int32_t>{100, 101, 104, 105, 105, 109}));

  // Broken sequences: each bad byte is one replacement character.
  TokenObj broken = Convert(
      "\xE0"
      "A\xF8\xC3",
      65001);
  EXPECT_EQ(broken.GetString(), u"\uFFFDA\uFFFD\uFFFD");
  EXPECT_EQ(PositionsOf(broken), (std::vector<int32_t>{100, 101, 102, 103}));

  TokenObj withZero = Convert(std::string("a\0b", 3), 65001);
  EXPECT_EQ(withZero.GetString(), std::u16string(u"a\0b", 3));

  TokenObj japanese = Convert(
      "a\x82\xA0"
      "b",
      932);
  EXPECT_EQ(japanese.GetString(), u"a\u3042b");
  EXPECT_EQ(PositionsOf(japanese), (std::vector<int32_t>{100, 101, 103}));

  TokenObj western = Convert("\x80\xE9", 1252);
  EXPECT_EQ(western.GetString(), u"\u20AC\u00E9");
  EXPECT_EQ(PositionsOf(western), (std::vector<int32_t>{100, 101}));
}

// Random text of every UTF-8 length, with stray bytes between: each wide character must carry
// the offset of the first byte of what it came from.
TEST(Token, RandomUtf8KeepsEveryPosition) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 50; ++round) {
    std::string bytes;
    std::u16string expectedText;
    std::vector<int32_t> expectedPositions;
    for (int i = 0; i < 200; ++i) {
      const int32_t offset = 100 + int32_t(bytes.size());
      const int kind = int(random() % 6);
      if (kind == 5) {  // a byte that starts nothing
        bytes += char(0x80 + random() % 0x40);
        expectedText += u'\uFFFD';
        expectedPositions.push_back(offset);
        continue;
      }
      static const char32_t kLimits[] = {0x80, 0x800, 0xD800, 0x10000, 0x110000};
      static const char32_t kStarts[] = {0x20, 0x80, 0x800, 0xE000, 0x10000};
      char32_t code = kStarts[kind] + random() % (kLimits[kind] - kStarts[kind]);
      if (kind == 3) code = std::min<char32_t>(code, 0xFFFD);
      if (code < 0x80) {
        bytes += char(code);
      } else if (code < 0x800) {
        bytes += {char(0xC0 | code >> 6), char(0x80 | (code & 0x3F))};
      } else if (code < 0x10000) {
        bytes +=
            {char(0xE0 | code >> 12), char(0x80 | (code >> 6 & 0x3F)), char(0x80 | (code & 0x3F))};
      } else {
        bytes += {char(0xF0 | code >> 18), char(0x80 | (code >> 12 & 0x3F)),
                  char(0x80 | (code >> 6 & 0x3F)), char(0x80 | (code & 0x3F))};
      }
      if (code >= 0x10000) {
        expectedText += char16_t(0xD800 + ((code - 0x10000) >> 10));
        expectedText += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        expectedPositions.push_back(offset);
      } else {
        expectedText += char16_t(code);
      }
      expectedPositions.push_back(offset);
    }
    TokenObj token = Convert(bytes, 65001);
    ASSERT_EQ(token.GetString(), expectedText) << round;
    ASSERT_EQ(PositionsOf(token), expectedPositions) << round;
  }
}

TEST(CodePages, ConvertBothWays) {
  EXPECT_EQ(MultibyteToWide(0, "caf\xE9 \x80"), u"caf\u00E9 \u20AC");
  EXPECT_EQ(MultibyteToWide(1251, "\xC0\xE1"), u"\u0410\u0431");
  EXPECT_EQ(MultibyteToWide(65001, "\xE3\x81\x82"), u"\u3042");
  // A code page the system lacks reads as code page 0.
  EXPECT_EQ(MultibyteToWide(12345, "\xE9\x80"), u"\u00E9\u20AC");

  EXPECT_EQ(WideToMultibyte(0, u"caf\u00E9 \u20AC"), "caf\xE9 \x80");
  EXPECT_EQ(WideToMultibyte(932, u"a\u3042"), "a\x82\xA0");
  EXPECT_EQ(WideToMultibyte(65001, u"\u3042\U0001F600"), "\xE3\x81\x82\xF0\x9F\x98\x80");
  EXPECT_EQ(WideToMultibyte(0, u"\u3042x"), "?x");
  EXPECT_EQ(WideToMultibyte(65001, u"\xD800x"), "\xEF\xBF\xBDx");

  const std::u16string mixed = u"Grüße, \u3042\u3044 \U0001F600";
  EXPECT_EQ(MultibyteToWide(65001, WideToMultibyte(65001, mixed)), mixed);
  const std::u16string japanese = u"\u65E5\u672C\u8A9E abc";
  EXPECT_EQ(MultibyteToWide(932, WideToMultibyte(932, japanese)), japanese);
}

TEST(CodePages, CharacterLengths) {
  EXPECT_EQ(MultibyteCharLength(65001, ""), 0);
  EXPECT_EQ(MultibyteCharLength(65001, "a"), 1);
  EXPECT_EQ(MultibyteCharLength(65001, "\xC3\xA9"), 2);
  EXPECT_EQ(MultibyteCharLength(65001, "\xE2\x82\xAC"), 3);
  EXPECT_EQ(MultibyteCharLength(65001, "\xF0\x9F\x98\x80"), 4);
  EXPECT_EQ(MultibyteCharLength(65001, "\xF8\x80"), 1);
  EXPECT_EQ(MultibyteCharLength(65001, "\x80"), 1);
  EXPECT_EQ(MultibyteCharLength(932, "\x82\xA0z"), 2);
  EXPECT_EQ(MultibyteCharLength(932, "\x82"), 1);  // its partner would be the terminator
  EXPECT_EQ(MultibyteCharLength(932, "zz"), 1);
  EXPECT_EQ(MultibyteCharLength(1252, "\xE9"), 1);
  EXPECT_EQ(MultibyteCharLength(1252, ""), 0);
}

}  // namespace
}  // namespace html
