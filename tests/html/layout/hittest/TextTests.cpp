// Searching, source offsets, characters and the copied selection of a section's text.
#include <array>
#include <cstdint>

#include "HitTestSupport.h"

namespace {

using html::TSection;
using texttest::AddText;

class TextQueryTest : public hittest::HitFixture {
 protected:
  // The copied selection [start, end) of the document, as text.
  std::u16string Copied(const TSection& s, int32_t start, int32_t end) {
    std::array<char16_t, 128> chars{};
    html::SelTextBuf buffer(chars);
    document.SelBuffer = &buffer;
    document.SelStart = start;
    document.SelEnd = end;
    html::SectionCopySelectedText(s);
    document.SelBuffer = nullptr;
    return std::u16string(chars.data(), size_t(buffer.Count));
  }
};

TEST_F(TextQueryTest, ForwardSearchFindsTheFirstMatchFromTheStart) {
  TSection& s = Finished(u"Hello World hello");
  s.FirstPos = 100;
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello", 100, false), 100);
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello", 101, false), 112);
  EXPECT_EQ(html::SectionFindStringForward(s, u"HELLO", 101, false), 112);
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello", 100, true), 112);
  EXPECT_EQ(html::SectionFindStringForward(s, u"Hello", 101, true), -1);
  // A start before the section searches all of it; one at its end finds nothing.
  EXPECT_EQ(html::SectionFindStringForward(s, u"world", 3, false), 106);
  EXPECT_EQ(html::SectionFindStringForward(s, u"o", 100 + int32_t(s.Text.size()), false), -1);
  EXPECT_EQ(html::SectionFindStringForward(s, u"", 100, false), -1);
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello", INT32_MIN, false), 100);
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello", INT32_MAX, false), -1);
  EXPECT_EQ(html::SectionFindStringForward(s, u"hello world hello x", 100, false), -1);
}

TEST_F(TextQueryTest, BackwardSearchFindsTheLastMatchBeforeTheStart) {
  TSection& s = Finished(u"Hello World hello");
  s.FirstPos = 100;
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", 117, false), 112);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", 116, false), 100);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", 1000, false), 112);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"Hello", 1000, true), 100);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"llo", 1000, false), 114);
  // Longer than the text before the start, or a start before the section: nothing.
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", 104, false), -1);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", 105, false), 100);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"h", 99, false), -1);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"", 117, false), -1);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", INT32_MAX, false), 112);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"hello", INT32_MIN, false), -1);
}

TEST_F(TextQueryTest, SearchesIgnoreCaseAndFontRunsBeyondAscii) {
  TSection& s = NewSection();
  AddText(s, u"Gro\u00DFe \u00C4PFEL und B", 0);
  auto small = texttest::TextProps(9);
  s.ChangeFont(*small);
  AddText(s, u"IRNEN", 16);
  s.ProcessText(21);
  ASSERT_EQ(s.Fonts.Count(), 2);
  EXPECT_EQ(html::SectionFindStringForward(s, u"\u00E4pfel", 0, false), 6);
  EXPECT_EQ(html::SectionFindStringForward(s, u"\u00E4pfel", 0, true), -1);
  EXPECT_EQ(html::SectionFindStringForward(s, u"birnen", 0, false), 16);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"gro\u00DFe", 100, false), 0);
  EXPECT_EQ(html::SectionFindStringBackward(s, u"d bir", 100, false), 14);
}

TEST_F(TextQueryTest, SourceOffsetsMapAcrossTags) {
  // "ab" from offsets 10-11, a tag at 12-19, "cd" from 20; the final space comes from 22.
  TSection& s = NewSection();
  AddText(s, u"ab", 10);
  AddText(s, u"cd", 20);
  s.ProcessText(22);
  ASSERT_EQ(s.Text, u"abcd ");
  s.FirstPos = 50;

  const int32_t sources[] = {10, 11, 20, 21, 22};
  for (int32_t p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(html::SectionDocToSourcePos(s, 50 + p), sources[p]);
    EXPECT_EQ(html::SectionSourceToDocPos(s, sources[p], false), 50 + p);
    EXPECT_EQ(html::SectionSourceToDocPos(s, sources[p], true), 50 + p);
  }
  EXPECT_EQ(html::SectionDocToSourcePos(s, 49), -1);
  EXPECT_EQ(html::SectionDocToSourcePos(s, 55), -1);

  // Inside the tag: the character after it, or snapped back the one before it.
  EXPECT_EQ(html::SectionSourceToDocPos(s, 15, false), 52);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 15, true), 51);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 12, true), 51);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 19, false), 52);
  // Before the first and after the last character.
  EXPECT_EQ(html::SectionSourceToDocPos(s, 3, false), 50);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 3, true), -1);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 30, false), -1);
  EXPECT_EQ(html::SectionSourceToDocPos(s, 30, true), 54);
  EXPECT_EQ(html::SectionSourceToDocPos(s, INT32_MIN, false), 50);
  EXPECT_EQ(html::SectionSourceToDocPos(s, INT32_MAX, true), 54);
  EXPECT_EQ(html::SectionDocToSourcePos(s, INT32_MIN), -1);
  EXPECT_EQ(html::SectionDocToSourcePos(s, INT32_MAX), -1);

  TSection& empty = NewSection();
  EXPECT_EQ(html::SectionDocToSourcePos(empty, 0), -1);
  EXPECT_EQ(html::SectionSourceToDocPos(empty, 0, true), -1);
}

TEST_F(TextQueryTest, CharactersAreFoundOnlyInsideTheSection) {
  TSection& s = Finished(u"xy");
  s.FirstPos = 30;
  char16_t ch = 0;
  html::TSectionBase* item = nullptr;
  ASSERT_TRUE(html::SectionGetCharAt(s, 31, ch, item));
  EXPECT_EQ(ch, u'y');
  EXPECT_EQ(item, &s);
  EXPECT_TRUE(html::SectionGetCharAt(s, 32, ch, item));  // the final space
  EXPECT_EQ(ch, u' ');
  EXPECT_FALSE(html::SectionGetCharAt(s, 29, ch, item));
  EXPECT_FALSE(html::SectionGetCharAt(s, 33, ch, item));
}

TEST_F(TextQueryTest, TheSelectionIsCopiedLineByLine) {
  TSection& s = Finished(u"one two three");
  Place(s, Width(*s.Fonts[0], u"one two") + 2, 40);
  ASSERT_GE(s.Lines.Count(), 2);
  ASSERT_EQ(s.Text, u"one two three ");
  // Up to the end and beyond: without the final space, then CR LF.
  EXPECT_EQ(Copied(s, 40, 100), u"one two three\r\n");
  EXPECT_EQ(Copied(s, 30, 54), u"one two three");
  EXPECT_EQ(Copied(s, 44, 47), u"two");
  EXPECT_EQ(Copied(s, 42, 50), u"e two th");  // across the line break
  EXPECT_EQ(Copied(s, 52, 53), u"e");
  EXPECT_EQ(Copied(s, 54, 60), u"");
  EXPECT_EQ(Copied(s, 45, 45), u"");
}

TEST_F(TextQueryTest, CopiedTextKeepsSpecialCharactersAndDropsObjects) {
  TSection& s = NewSection();
  AddText(s, u"a<b&", 0);
  s.AddFloatingObj(std::make_unique<texttest::TTestObject>(12, 12, html::aBottom), 4);
  AddText(s, u"\u00A0\u00E9\U0001D11E\"", 5);
  s.ProcessText(10);
  Place(s, 400);
  EXPECT_EQ(Copied(s, 0, 50), u"a<b&\u00A0\u00E9\U0001D11E\"\r\n");
  EXPECT_EQ(Copied(s, 3, 6), u"&\u00A0");
}

}  // namespace
