// Object model, pointer lists and string lists.
#include <gtest/gtest.h>

#include <thread>

#include "ScratchFolder.h"
#include "platform/runtime/Classes.h"

using namespace plat;
using runtime_test::ReadRaw;
using runtime_test::ScratchFolder;
using runtime_test::WriteRaw;

namespace {

class TWidgetThing : public TPersistent {};

}  // namespace

namespace outer::inner {
template <typename T>
class TBox : public TObject {};
}  // namespace outer::inner

namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
  return items;
}

using Strings = std::vector<std::string>;

TEST(ObjectModel, ClassNameHasNoNamespace) {
  TMemoryStream stream;
  TObject& object = stream;
  EXPECT_EQ(object.ClassName(), "TMemoryStream");
  EXPECT_EQ(TWidgetThing().ClassName(), "TWidgetThing");
  EXPECT_EQ(outer::inner::TBox<int>().ClassName(), "TBox<int>");
}

TEST(ObjectModel, AssignWithoutSupportNamesBothClasses) {
  TWidgetThing thing;
  TStringList list;
  try {
    thing.Assign(list);
    FAIL() << "assigned";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TStringList to a TWidgetThing");
  }
  try {
    list.Assign(thing);
    FAIL() << "assigned";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TWidgetThing to a TStringList");
  }
}

TEST(ObjectModel, CriticalSectionIsReentrant) {
  TCriticalSection lock;
  lock.Enter();
  lock.Enter();
  lock.Leave();
  lock.Leave();
  // Another thread gets in once both levels are left.
  bool entered = false;
  std::thread other([&] {
    lock.Enter();
    entered = true;
    lock.Leave();
  });
  other.join();
  EXPECT_TRUE(entered);
}

TEST(PointerList, EditingAndBounds) {
  int a = 1, b = 2, c = 3;
  TList list;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&c), 1);
  list.Insert(1, &b);
  list.Insert(3, &a);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list[1], &b);
  EXPECT_EQ(list.IndexOf(&c), 2);
  EXPECT_EQ(list.Remove(&a), 0);
  EXPECT_EQ(list.First(), &b);
  EXPECT_EQ(list.Last(), &a);
  list.Exchange(0, 2);
  EXPECT_EQ(list[0], &a);
  list.Move(0, 2);
  EXPECT_EQ(list[2], &a);
  EXPECT_EQ(list[0], &c);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
  try {
    list.Items(3);
    FAIL() << "index 3 accepted";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Insert(4, &a), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  list.Clear();
  EXPECT_THROW(list.First(), EListError);
}

TEST(PointerList, SortIsStable) {
  int values[] = {3, 1, 3, 2};
  TList list;
  for (int& v : values) list.Add(&v);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(list[0], &values[1]);
  EXPECT_EQ(list[1], &values[3]);
  EXPECT_EQ(list[2], &values[0]);
  EXPECT_EQ(list[3], &values[2]);
}

TEST(StringList, SortedIgnoresCaseAndDuplicates) {
  TStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Add("banana"), 0);
  EXPECT_EQ(list.Add("Apple"), 0);
  EXPECT_EQ(list.Add("cherry"), 2);
  EXPECT_EQ(list.Add("APPLE"), 0);  // the existing entry's index
  EXPECT_EQ(Items(list), (Strings{"Apple", "banana", "cherry"}));
  EXPECT_EQ(list.IndexOf("aPPle"), 0);
  EXPECT_EQ(list.IndexOf("date"), -1);
  int index = -1;
  EXPECT_FALSE(list.Find("b", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("zzz", index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(list.Find("CHERRY", index));
  EXPECT_EQ(index, 2);
  EXPECT_THROW(list.Insert(0, "x"), EListError);
  EXPECT_THROW(list.SetStrings(0, "x"), EListError);
}

TEST(StringList, AcceptedDuplicatesKeepTheirOrder) {
  TObject first, second, third;
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  list.AddObject("key", &first);
  list.AddObject("a", nullptr);
  list.AddObject("KEY", &second);
  list.AddObject("Key", &third);
  EXPECT_EQ(Items(list), (Strings{"a", "key", "KEY", "Key"}));
  EXPECT_EQ(list.Objects(1), &first);
  EXPECT_EQ(list.Objects(2), &second);
  EXPECT_EQ(list.Objects(3), &third);
  int index;
  EXPECT_TRUE(list.Find("kEy", index));
  EXPECT_EQ(index, 1);  // the first of the equal entries
}

TEST(StringList, RejectedDuplicateChangesNothing) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  list.Add("one");
  EXPECT_THROW(list.Add("ONE"), EListError);
  EXPECT_EQ(Items(list), (Strings{"one"}));
  EXPECT_THROW(list.SetText("two\nthree\nTWO\n"), EListError);
  EXPECT_EQ(Items(list), (Strings{"one"}));
}

TEST(StringList, CaseSensitiveListsKeepBothSpellings) {
  TStringList list;
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  list.Add("apple");
  list.Add("Apple");
  list.Add("apple");
  EXPECT_EQ(Items(list), (Strings{"Apple", "apple"}));
  EXPECT_EQ(list.IndexOf("APPLE"), -1);
}

TEST(StringList, ObjectsFollowTheirStringsWhenSorting) {
  TObject x, y, z;
  TStringList list;
  list.AddObject("zeta", &z);
  list.AddObject("x-ray", &x);
  list.AddObject("Yak", &y);
  EXPECT_EQ(list.IndexOfObject(&y), 2);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (Strings{"x-ray", "Yak", "zeta"}));
  EXPECT_EQ(list.Objects(0), &x);
  EXPECT_EQ(list.Objects(1), &y);
  EXPECT_EQ(list.Objects(2), &z);
  list.Delete(0);
  EXPECT_EQ(list.Objects(0), &y);
  EXPECT_THROW(list.Objects(2), EListError);
}

TEST(StringList, TextSplitsEveryLineEnd) {
  TStringList list;
  list.SetText("a\r\nb\rc\n\nd");
  EXPECT_EQ(Items(list), (Strings{"a", "b", "c", "", "d"}));
  EXPECT_EQ(list.Text(), "a\nb\nc\n\nd\n");
  list.SetText("x\n");
  EXPECT_EQ(Items(list), (Strings{"x"}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(StringList, AssignCopiesIntoTheTargetsOrder) {
  TStringList source;
  source.Add("b");
  source.Add("a");
  TStringList target;
  target.SetSorted(true);
  target.Add("old");
  target.Assign(source);
  EXPECT_EQ(Items(target), (Strings{"a", "b"}));
  EXPECT_EQ(Items(source), (Strings{"b", "a"}));
}

TEST(StringList, FileRoundTrip) {
  ScratchFolder folder;
  WriteRaw(folder / "in.txt", "first\r\nsecond line\r\n\r\nlast");
  TStringList list;
  list.LoadFromFile(folder / "in.txt");
  EXPECT_EQ(Items(list), (Strings{"first", "second line", "", "last"}));
  list.Add("added \xC3\xA9");
  list.SaveToFile(folder / "out.txt");
  EXPECT_EQ(ReadRaw(folder / "out.txt"), "first\nsecond line\n\nlast\nadded \xC3\xA9\n");
  EXPECT_EQ(folder.Names(), (Strings{"in.txt", "out.txt"}));
  EXPECT_THROW(list.LoadFromFile(folder / "missing.txt"), EFOpenError);
  EXPECT_EQ(list.Count(), 5);
}

}  // namespace
