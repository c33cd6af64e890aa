// The bitmap's settings reached by name through the property table.
#include <gtest/gtest.h>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/Bitmap32Properties.h"
#include "platform/runtime/TypInfo.h"

namespace {

using namespace gfx;

TEST(BitmapProperties, SettingsAreReachedByName) {
  RegisterBitmap32Properties();
  TBitmap32 b;
  plat::SetVariantProp(b, *plat::FindPropInfo(b, "DrawMode"), std::string("dmBlend"));
  plat::SetVariantProp(b, *plat::FindPropInfo(b, "combinemode"), std::string("cmMerge"));
  plat::SetPropValue(b, "MasterAlpha", int64_t{90});
  plat::SetPropValue(b, "OuterColor", int64_t{0x11223344});
  EXPECT_EQ(b.DrawMode(), dmBlend);
  EXPECT_EQ(b.CombineMode(), cmMerge);
  EXPECT_EQ(b.MasterAlpha(), 90u);
  EXPECT_EQ(b.OuterColor(), 0x11223344u);
  EXPECT_EQ(std::get<std::string>(plat::GetVariantProp(b, *plat::FindPropInfo(b, "WrapMode"))),
            "wmClamp");
  int handleChanges = 0;
  plat::SetPropValue(b, "OnHandleChanged",
                     std::any(plat::TNotifyEvent([&](plat::TObject*) { ++handleChanges; })));
  b.SetSize(2, 2);
  EXPECT_EQ(handleChanges, 1);
  EXPECT_EQ(plat::FindPropInfo(TCustomBitmap32(), "OnHandleChanged"), nullptr);
}

}  // namespace
