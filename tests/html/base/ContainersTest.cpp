// Owning lists, tag attributes, link records and the selection text visitors.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/css/CssStyles.h"
#include "html/layout/text/FontRuns.h"

namespace html {
namespace {

// Counts how many of its kind are alive, so the tests see what the list frees.
struct TCounted {
  explicit TCounted(int& alive) : alive_(alive) { ++alive_; }
  ~TCounted() { --alive_; }
  int& alive_;
};

TEST(FreeList, FreesItemsWhenDeletedClearedOrDestroyed) {
  int alive = 0;
  {
    TFreeList<TCounted> list;
    for (int i = 0; i < 4; ++i) list.Add(std::make_unique<TCounted>(alive));
    list.Delete(1);
    EXPECT_EQ(alive, 3);
    std::unique_ptr<TCounted> taken = list.Extract(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(alive, 3);
    taken.reset();
    list.Clear();
    EXPECT_EQ(alive, 0);
    list.Add(std::make_unique<TCounted>(alive));
    list.Add(std::make_unique<TCounted>(alive));
  }
  EXPECT_EQ(alive, 0);
}

TEST(FreeList, RefusesIndexesOutsideTheList) {
  int alive = 0;
  TFreeList<TCounted> list;
  EXPECT_THROW(list.Items(0), plat::EListError);
  list.Add(std::make_unique<TCounted>(alive));
  EXPECT_THROW(list.Items(1), plat::EListError);
  EXPECT_THROW(list.Delete(-1), plat::EListError);
  EXPECT_THROW(list.Insert(2, std::make_unique<TCounted>(alive)), plat::EListError);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(alive, 1);
}

void AddAttribute(TAttributeList& list, Symb which, const std::string& name,
                  const std::string& value) {
  list.Add(std::make_unique<TAttribute>(which, 0, name, value, 0));
}

TEST(AttributeList, FindsTheFirstAttributeAndKeepsTheLowerCaseID) {
  TAttributeList list;
  AddAttribute(list, HrefSy, "HREF", "first.htm");
  AddAttribute(list, IDSy, "ID", "Top-Anchor");
  AddAttribute(list, HrefSy, "HREF", "second.htm");
  TAttribute* attr = nullptr;
  ASSERT_TRUE(list.Find(HrefSy, attr));
  EXPECT_EQ(attr->Name, "first.htm");
  EXPECT_FALSE(list.Find(SrcSy, attr));

  EXPECT_EQ(list.GetID(), "top-anchor");
  ASSERT_TRUE(list.Find(IDSy, attr));
  attr->Name = "Other";
  EXPECT_EQ(list.GetID(), "top-anchor");  // kept from the first call
  EXPECT_EQ(list.GetTitle(), "");

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetID(), "");
  AddAttribute(list, TitleSy, "TITLE", "A hint");
  EXPECT_EQ(list.GetTitle(), "A hint");
}

TEST(AttributeList, ClassesAndInlineStyle) {
  TAttributeList list;
  EXPECT_EQ(list.GetClass(), "");
  EXPECT_EQ(list.GetStyle(), nullptr);
  AddAttribute(list, ClassSy, "CLASS", "  Warning ");
  EXPECT_EQ(list.GetClass(), "warning");
  list.Clear();
  AddAttribute(list, ClassSy, "CLASS", " zeta  Alpha mid ");
  EXPECT_EQ(list.GetClass(), "alpha.mid.zeta");

  AddAttribute(list, StyleSy, "STYLE", "z-index: 7");
  const std::shared_ptr<TProperties> first = list.GetStyle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, list.Prop);
  EXPECT_EQ(first->GetZIndex(), 7);
  // Each call parses anew; a set that took the earlier properties over keeps them.
  const std::shared_ptr<TProperties> second = list.GetStyle();
  EXPECT_NE(second, first);
  EXPECT_EQ(first->GetZIndex(), 7);
}

TEST(UrlTarget, NumbersEveryLinkAndCarriesItsAttributes) {
  TAttributeList attributes;
  AddAttribute(attributes, HrefSy, "HREF", "a.htm");
  AddAttribute(attributes, TargetSy, "TARGET", "_top");
  const auto lines = attributes.CreateStringList();
  ASSERT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Strings(0), "HREF=a.htm");
  EXPECT_EQ(lines->Strings(1), "TARGET=_top");

  TUrlTarget first, second;
  EXPECT_EQ(first.GetStart(), -1);
  EXPECT_EQ(first.GetLast(), -1);
  first.Assign("a.htm", "_top", attributes, 17);
  second.Assign("b.htm", "", attributes, 40);
  EXPECT_GE(first.ID, 10);
  EXPECT_EQ(second.ID, first.ID + 1);
  EXPECT_EQ(first.GetStart(), 17);
  EXPECT_EQ(first.Attr, "HREF=a.htm\r\nTARGET=_top\r\n");

  first.utText->Last = 25;
  first.TabIndex = 3;
  TUrlTarget copy;
  copy.Copy(first);
  EXPECT_EQ(copy.URL, "a.htm");
  EXPECT_EQ(copy.Target, "_top");
  EXPECT_EQ(copy.ID, first.ID);
  EXPECT_EQ(copy.TabIndex, 3);
  EXPECT_EQ(copy.Attr, first.Attr);
  EXPECT_EQ(copy.GetStart(), 17);
  EXPECT_EQ(copy.GetLast(), 25);

  copy.Clear();
  EXPECT_EQ(copy.URL, "");
  EXPECT_EQ(copy.ID, 0);
  EXPECT_EQ(copy.TabIndex, 0);
  EXPECT_EQ(copy.GetStart(), -1);
  EXPECT_EQ(copy.GetLast(), -1);
}

TEST(UrlTarget, SetLastMarksTheRunsThatEndTheList) {
  TFontList runs;
  for (int32_t id : {11, 12, 12, 13, 13, 13}) {
    auto run = std::make_unique<TFontObj>(nullptr, std::make_unique<TMyFont>(), runs.Count());
    run->LinkRecord().ID = id;
    runs.Add(std::move(run));
  }
  TUrlTarget link;
  link.ID = 13;
  link.SetLast(runs, 99);
  EXPECT_EQ(link.GetLast(), 99);
  std::vector<int32_t> lasts;
  for (const auto& run : runs) lasts.push_back(run->Link()->GetLast());
  EXPECT_EQ(lasts, (std::vector<int32_t>{-1, -1, -1, 99, 99, 99}));

  link.ID = 12;  // not the link of the last run: only the record itself changes
  link.SetLast(runs, 50);
  EXPECT_EQ(link.GetLast(), 50);
  EXPECT_EQ(runs[2]->Link()->GetLast(), -1);
}

// A selection over "ab", an image, "c", a line break and "de", then the section's CR LF.
void VisitSelection(SelTextCount& visitor) {
  const std::u16string text = u"ab\4c\bde";
  visitor.AddTextCR(text.data(), int32_t(text.size()));
}

TEST(SelectionVisitors, CountAndCopyTheSameCharacters) {
  SelTextCount counter;
  VisitSelection(counter);
  EXPECT_EQ(counter.Terminate(), 7);  // a b c d e CR LF

  std::array<char16_t, 16> buffer;
  buffer.fill(u'#');
  SelTextBuf copier(buffer);
  VisitSelection(copier);
  EXPECT_EQ(copier.Terminate(), 8);
  EXPECT_EQ(std::u16string(buffer.data()), u"abcde\r\n");
  EXPECT_EQ(buffer[8], u'#');
}

TEST(SelectionVisitors, StopAtTheBufferEnd) {
  std::array<char16_t, 5> small;
  small.fill(u'#');
  SelTextBuf copier(small);
  VisitSelection(copier);
  EXPECT_EQ(copier.Terminate(), 5);
  EXPECT_EQ(std::u16string(small.data(), 5), std::u16string(u"abcd\0", 5));

  char16_t untouched = u'#';
  SelTextBuf empty(std::span<char16_t>(&untouched, size_t(0)));
  VisitSelection(empty);
  EXPECT_EQ(empty.Terminate(), 0);
  EXPECT_EQ(untouched, u'#');
}

}  // namespace
}  // namespace html
