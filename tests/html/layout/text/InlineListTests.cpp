// The object lists of a section: pictures and form controls looked up by position.
#include <memory>

#include "TextTestSupport.h"

namespace {

using texttest::TTestControl;
using texttest::TTestObject;

TEST(InlineLists, PicturesByPosition) {
  html::TImageObjList list;
  auto top = std::make_unique<TTestObject>(20, 10, html::aTop);
  top->Pos = 3;
  top->VSpaceT = 2;
  top->VSpaceB = 4;
  top->HSpaceL = 5;
  top->HSpaceR = 6;
  auto floating = std::make_unique<TTestObject>(7, 8, html::aLeft);
  floating->Pos = 9;
  list.Add(std::move(top));
  list.Add(std::move(floating));

  uint8_t align = 0;
  int32_t left = 0, right = 0;
  html::TFloatingObj* obj = nullptr;
  EXPECT_EQ(list.GetHeightAt(3, align, obj), 16);  // the box with both vertical spaces
  EXPECT_EQ(align, html::aTop);
  EXPECT_EQ(obj, list[0]);
  EXPECT_EQ(list.GetWidthAt(3, align, left, right, obj), 20);
  EXPECT_EQ(left, 5);
  EXPECT_EQ(right, 6);
  EXPECT_EQ(list.GetWidthAt(9, align, left, right, obj), 7);
  EXPECT_EQ(align, html::aLeft);
  EXPECT_EQ(obj, list[1]);
  EXPECT_EQ(list.GetHeightAt(4, align, obj), -1);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(list.GetWidthAt(0, align, left, right, obj), -1);

  EXPECT_EQ(list.GetImageCountAt(0), 3);
  EXPECT_EQ(list.GetImageCountAt(3), 0);
  EXPECT_EQ(list.GetImageCountAt(4), 5);
  EXPECT_EQ(list.GetImageCountAt(10), 99999999);
}

TEST(InlineLists, FormControlsByPosition) {
  TTestControl edit, box;  // windows of 30 x 20
  edit.Pos = 2;
  edit.FormAlign = html::aMiddle;
  edit.HSpaceL = 1;
  edit.HSpaceR = 2;
  box.Pos = 6;
  box.TheControl()->SetBounds(0, 0, 13, 13);
  html::TFormControlList list;
  list.push_back(&edit);
  list.push_back(&box);

  uint8_t align = 0;
  int32_t left = 0, right = 0;
  EXPECT_EQ(list.GetFlagAtPosition(2, align), 20);
  EXPECT_EQ(align, html::aMiddle);
  EXPECT_EQ(list.GetSizeAtPosition(2, left, right), 30);
  EXPECT_EQ(left, 1);
  EXPECT_EQ(right, 2);
  EXPECT_EQ(list.GetFlagAtPosition(6, align), 13);
  EXPECT_EQ(align, html::aBottom);
  EXPECT_EQ(list.GetFlagAtPosition(3, align), -1);
  EXPECT_EQ(list.GetSizeAtPosition(5, left, right), -1);

  EXPECT_EQ(list.NextPosition(0), 2);
  EXPECT_EQ(list.NextPosition(3), 3);
  EXPECT_EQ(list.NextPosition(6), 0);
  EXPECT_EQ(list.NextPosition(7), 9999);
}

}  // namespace
