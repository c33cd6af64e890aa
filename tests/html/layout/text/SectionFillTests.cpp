// Filling text sections: white space, soft hyphens, line breaks, small capitals, source
// positions and the font runs that move as characters go.
#include "TextTestSupport.h"

namespace {

using html::TSection;
using texttest::AddText;
using texttest::TextFixture;

class SectionFillTest : public TextFixture {};

TEST_F(SectionFillTest, SoftHyphenLeavesAFlagOnThePreviousLetter) {
  TSection& s = Finished(u"a\u00ADb");
  EXPECT_EQ(s.Text, u"ab ");
  EXPECT_EQ(s.BreakFlags, "syyy");  // one more flag than characters once finished
  EXPECT_EQ(s.PosCount, 3);
}

TEST_F(SectionFillTest, SpacesCollapseAndKeepTheirSourcePositions) {
  TSection& s = Finished(u"  a   b  ");
  EXPECT_EQ(s.Text, u"a b ");
  EXPECT_EQ(s.SourcePosOf(0), 2);
  EXPECT_EQ(s.SourcePosOf(1), 3);  // the first space of the three stays
  EXPECT_EQ(s.SourcePosOf(2), 6);
  EXPECT_EQ(s.SourcePosOf(3), 9);  // trailing spaces go; the final space is added anew

  // With the first of two spaces unbreakable, the second one stays.
  TSection& t = NewSection();
  AddText(t, u"a", 0);
  state.noBreak = true;
  AddText(t, u" ", 1);
  state.noBreak = false;
  AddText(t, u" b", 2);
  t.ProcessText(9);
  EXPECT_EQ(t.Text, u"a b ");
  EXPECT_EQ(t.BreakFlags.substr(0, 2), "yy");
  EXPECT_EQ(t.SourcePosOf(1), 2);
  EXPECT_EQ(t.SourcePosOf(3), 9);  // the added final space takes the given position
}

TEST_F(SectionFillTest, LineBreaksShedTheSpacesRoundThem) {
  EXPECT_EQ(Finished(u"a \b b").Text, u"a\bb ");
  EXPECT_EQ(Finished(u"a\b").Text, u"a ");
  TSection& onlyBreak = Finished(u"\b");
  EXPECT_EQ(onlyBreak.Text, u"\b");
  EXPECT_EQ(onlyBreak.PosCount, 1);
}

TEST_F(SectionFillTest, EmptySectionsGetNoNumberAndNoIndex) {
  TSection& blank = Finished(u"   ");
  EXPECT_TRUE(blank.Text.empty());
  EXPECT_TRUE(blank.IsEmptyText());
  EXPECT_EQ(blank.SectionNumber, 0);
  EXPECT_EQ(blank.SourceIndexCount(), 0);
  TSection& first = Finished(u"x");
  TSection& second = Finished(u"y");
  EXPECT_EQ(first.SectionNumber, 1);
  EXPECT_EQ(second.SectionNumber, 2);
}

TEST_F(SectionFillTest, SourceIndexHasOneEntryPerContiguousRun) {
  TSection& s = NewSection();
  AddText(s, u"abc", 10);
  AddText(s, u"de", 20);
  s.ProcessText(30);
  ASSERT_EQ(s.SourceIndexCount(), 3);
  EXPECT_EQ(s.GetIndexObj(0).Pos, 0);
  EXPECT_EQ(s.GetIndexObj(0).Index, 10);
  EXPECT_EQ(s.GetIndexObj(1).Pos, 3);
  EXPECT_EQ(s.GetIndexObj(1).Index, 20);
  EXPECT_EQ(s.GetIndexObj(2).Index, 30);  // the added space
  EXPECT_EQ(s.SourcePosOf(4), 21);
  EXPECT_EQ(s.SourcePosOf(5), 30);
  EXPECT_EQ(s.SourcePosOf(6), -1);
}

TEST_F(SectionFillTest, SmallCapitalsSwitchRunsAtSmallLetters) {
  state.TopProperties().Values[html::piFontVariant] = std::string("small-caps");
  TSection& s = NewSection();
  AddText(s, u"Ab1c", 0);
  EXPECT_EQ(s.Text, u"AB1C");
  ASSERT_EQ(s.Fonts.Count(), 3);
  EXPECT_EQ(s.Fonts[1]->StartPos, 1);
  EXPECT_EQ(s.Fonts[2]->StartPos, 4);
  EXPECT_LT(s.Fonts[1]->TextHeight(), s.Fonts[0]->TextHeight());
  EXPECT_EQ(s.Fonts[2]->TextHeight(), s.Fonts[0]->TextHeight());
  EXPECT_EQ(state.Depth(), 1);  // every push was popped
}

TEST_F(SectionFillTest, TextTransformAndNoBreakApplyToTheToken) {
  state.TopProperties().Values[html::piTextTransform] = uint8_t(1);
  state.noBreak = true;
  TSection& s = NewSection();
  AddText(s, u"ab\u00DF", 0);
  EXPECT_EQ(s.Text, u"AB\u00DF");  // one unit for one unit: positions stay aligned
  EXPECT_EQ(s.BreakFlags, "nnn");
}

TEST_F(SectionFillTest, DeletedCharactersMoveLaterRunsAndObjects) {
  TSection& s = NewSection();
  AddText(s, u"a  ", 0);
  auto bold = texttest::TextProps();
  bold->Values[html::piFontWeight] = std::string("bold");
  s.ChangeFont(*bold);  // run at 3
  AddText(s, u"b", 3);
  auto object = std::make_unique<texttest::TTestObject>(10, 10, html::aBottom);
  html::TFloatingObj* obj = object.get();
  s.AddFloatingObj(std::move(object), 4);
  s.ProcessText(5);
  EXPECT_EQ(s.Text, u"a b\x04 ");
  ASSERT_EQ(s.Fonts.Count(), 2);
  EXPECT_EQ(s.Fonts[1]->StartPos, 2);
  EXPECT_EQ(obj->Pos, 3);
}

TEST_F(SectionFillTest, AFontChangeBeforeAnyTextReplacesTheRun) {
  TSection& s = NewSection();
  auto big = texttest::TextProps(24);
  s.ChangeFont(*big);
  AddText(s, u"x", 0);
  ASSERT_EQ(s.Fonts.Count(), 1);
  EXPECT_GT(s.Fonts[0]->TextHeight(), 24);
}

TEST_F(SectionFillTest, SpaceAfterAFloatingObjectGoes) {
  TSection& s = NewSection();
  s.AddFloatingObj(std::make_unique<texttest::TTestObject>(10, 10, html::aLeft), 0);
  AddText(s, u" a", 1);
  s.AddFloatingObj(std::make_unique<texttest::TTestObject>(10, 10, html::aBottom), 3);
  AddText(s, u" b", 4);
  s.ProcessText(6);
  EXPECT_EQ(s.Text,
            u"\x04"
            u"a\x04 b ");
}

TEST_F(SectionFillTest, ControlsTakeOnePositionEachWithTheirFlag) {
  TSection& s = NewSection();
  texttest::TTestControl edit, button;
  AddText(s, u"a ", 0);
  s.AddFormControl(edit, 2, html::kBreakNever);
  s.AddFormControl(button, 3, html::kBreakNever);
  s.ProcessText(4);
  EXPECT_EQ(s.Text, u"a \x02\x02 ");
  EXPECT_EQ(s.BreakFlags.substr(2, 2), "nn");
  EXPECT_EQ(edit.Pos, 2);
  EXPECT_EQ(button.Pos, 3);
}

TEST_F(SectionFillTest, ForcedBreakMarksTheLastCharacter) {
  TSection& s = NewSection();
  AddText(s, u"ab", 0);
  s.ForceBreakAtEnd();
  EXPECT_EQ(s.BreakFlags, "ya");
}

}  // namespace

namespace {

class SectionAttributeTest : public texttest::TextFixture {
 protected:
  void Add(html::TAttributeList& list, html::Symb which, const std::string& name,
           const std::string& value) {
    list.Add(std::make_unique<html::TAttribute>(which, 0, name, value, 0));
  }
};

TEST_F(SectionAttributeTest, ClearAndIdComeFromTheTag) {
  html::TAttributeList attributes;
  Add(attributes, html::ClearSy, "CLEAR", "Right");
  Add(attributes, html::IDSy, "ID", "Here");
  auto section = std::make_unique<html::TSection>(&document, &attributes, state.TopProperties(),
                                                  nullptr, nullptr, false);
  EXPECT_EQ(section->ClearMode, 2);
  EXPECT_EQ(document.Targets.Find("here"), section.get());
  section.reset();  // a freed section leaves no name behind
  EXPECT_EQ(document.Targets.Find("here"), nullptr);

  html::TAttributeList other;
  Add(other, html::ClearSy, "CLEAR", "all");
  state.TopProperties().Values[html::piClear] = std::string("left");
  html::TSection& s = NewSection();
  EXPECT_EQ(s.ClearMode, 1);  // a clear from the style applies once
  auto next = std::make_unique<html::TSection>(&document, &other, state.TopProperties(), nullptr,
                                               nullptr, false);
  EXPECT_EQ(next->ClearMode, 3);
}

TEST_F(SectionAttributeTest, BorderedControlsOpenAnInlineElement) {
  html::TSection& s = NewSection();
  texttest::TTestControl control;
  auto props = texttest::TextProps();
  props->Values[html::piBorderStyle] = std::string("solid");
  AddText(s, u"a ", 0);
  s.AddFormControl(control, 2, html::kBreakOrdinary, props.get());
  ASSERT_EQ(document.InlineElements.Count(), 1);
  EXPECT_EQ(document.InlineElements[0]->SourceStart, 2);
  EXPECT_EQ(document.InlineElements[0]->SourceEnd, 3);
}

}  // namespace

namespace {

TEST_F(SectionFillTest, ClusterFlagsAreKeptOnlyForTextThatHasClustersAndGoWithACopy) {
  TSection& plain = Finished(u"plain text");
  EXPECT_FALSE(plain.HasClusters());
  EXPECT_FALSE(plain.ContinuesCluster(1));

  TSection& marked = Finished(u"e\u0301a");
  ASSERT_TRUE(marked.HasClusters());
  EXPECT_TRUE(marked.ContinuesCluster(1));
  EXPECT_FALSE(marked.ContinuesCluster(2));
  EXPECT_FALSE(marked.ContinuesCluster(100));
  const auto copy = marked.CreateCopy(&document);
  const auto& copied = dynamic_cast<const TSection&>(*copy);
  EXPECT_TRUE(copied.HasClusters());
  EXPECT_TRUE(copied.ContinuesCluster(1));
}

}  // namespace
