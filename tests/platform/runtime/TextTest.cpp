// Format, trimming, ASCII case rules and comparisons.
#include <gtest/gtest.h>

#include "platform/runtime/SysUtils.h"

using namespace plat;

namespace {

TEST(Format, IntegersWithWidthAndPrecision) {
  EXPECT_EQ(Format("%d-%s", {5, "x"}), "5-x");
  EXPECT_EQ(Format("[%5d]", {42}), "[   42]");
  EXPECT_EQ(Format("[%-5d]", {42}), "[42   ]");
  EXPECT_EQ(Format("[%.3d]", {7}), "[007]");
  EXPECT_EQ(Format("[%.3d]", {-7}), "[-007]");
  EXPECT_EQ(Format("[%6.3d]", {-7}), "[  -007]");
  EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
  EXPECT_EQ(Format("%d", {uint64_t(18446744073709551615ULL)}), "18446744073709551615");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("[%*d]", {4, 7}), "[   7]");
}

TEST(Format, HexIsUpperCaseInTheArgumentsWidth) {
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%X", {255}), "FF");
  EXPECT_EQ(Format("%.4X", {0x3B}), "003B");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%x", {int64_t(-1)}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%x", {int16_t(-1)}), "FFFF");
  EXPECT_EQ(Format("$%.8X", {uint32_t(0x80000005u)}), "$80000005");
}

TEST(Format, TextsPercentAndFloats) {
  EXPECT_EQ(Format("%.*s", {3, "abcdef"}), "abc");
  EXPECT_EQ(Format("%.10s", {"abc"}), "abc");
  EXPECT_EQ(Format("[%-4s][%4s]", {"ab", "cd"}), "[ab  ][  cd]");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%s", {std::string("str")}), "str");
  EXPECT_EQ(Format("%s", {std::string_view("view")}), "view");
  EXPECT_EQ(Format("%s", {'c'}), "c");
  const char* none = nullptr;
  EXPECT_EQ(Format("<%s>", {none}), "<>");
  EXPECT_EQ(Format("%f", {1.5}), "1.50");
  EXPECT_EQ(Format("%.3f", {-3.14159}), "-3.142");
  EXPECT_EQ(Format("no arguments"), "no arguments");
  EXPECT_EQ(Format("%d", {1, 2, 3}), "1");  // extra arguments are ignored
}

TEST(Format, MismatchesRaiseInsteadOfMisreading) {
  EXPECT_THROW(Format("%s", {5}), EConvertError);
  EXPECT_THROW(Format("%d", {"5"}), EConvertError);
  EXPECT_THROW(Format("%d", {1.0}), EConvertError);
  EXPECT_THROW(Format("%f", {1}), EConvertError);
  EXPECT_THROW(Format("%d %d", {1}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("trailing %", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {"4", 7}), EConvertError);
  EXPECT_THROW(Format("%*d", {-4, 7}), EConvertError);
  EXPECT_THROW(Format("%99999999d", {7}), EConvertError);
  try {
    Format("%s", {5});
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%s' invalid or incompatible with argument");
  }
}

TEST(Trim, RemovesControlsAndBlanksOnly) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\x01\x1F x \x00", 6)), "x");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  // UTF-8 bytes are above 127 and never trimmed.
  EXPECT_EQ(Trim(" \xC3\xA9 "), "\xC3\xA9");
  EXPECT_EQ(Trim("!x!"), "!x!");
}

TEST(CaseRules, OnlyAsciiLettersChange) {
  EXPECT_EQ(UpperCase("abc-XYZ_09\xC3\xA4"), "ABC-XYZ_09\xC3\xA4");
  EXPECT_EQ(LowerCase("ABC-xyz@[`{\xC3\x84"), "abc-xyz@[`{\xC3\x84");
}

TEST(CaseRules, CompareTextFoldsToUpperCase) {
  EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
  EXPECT_TRUE(SameText("clNavy", "CLNAVY"));
  EXPECT_FALSE(SameText("abc", "abd"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_LT(CompareText("abc", "ABCD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  // '_' (0x5F) sorts after the upper-case letters it is compared with.
  EXPECT_GT(CompareText("a_", "aB"), 0);
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_GT(CompareText("\xC3\xA9", "z"), 0);
}

}  // namespace
