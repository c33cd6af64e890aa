// The viewer as stored layouts create and set it by name.
#include <gtest/gtest.h>

#include "html/viewer/PageViewer.h"
#include "platform/runtime/TypInfo.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/Forms.h"

namespace html::test {
namespace {

struct TextDialog {
  void HotSpotClick(plat::TObject*, const std::string& src, bool& handled) {
    clicked = src;
    handled = true;
  }
  std::string clicked;
};

TEST(ViewerRegistration, LayoutsCreateSetAndBindTheViewer) {
  RegisterPageViewerClass();
  RegisterPageViewerClass();  // a second call changes nothing
  plat::TForm form{nullptr};
  TextDialog dialog;
  TPageViewer* viewer = nullptr;
  plat::TFormBindings bindings;
  bindings.Handler("HotSpotClick", &dialog, &TextDialog::HotSpotClick).Field("FontViewer", viewer);
  plat::ReadLayoutText(form,
                       "TForm Dialog {\n"
                       "  TPageViewer FontViewer {\n"
                       "    Left = 8\n    Top = 8\n    Width = 300\n    Height = 120\n"
                       "    ViewImages = False\n    NoSelect = True\n    HistoryMaxCount = 0\n"
                       "    DefFontName = \"Times New Roman\"\n"
                       "    DefPreFontName = \"Courier New\"\n"
                       "    DefBackground = clWhite\n    DefFontColor = clNavy\n"
                       "    BorderStyle = htSingle\n    ScrollBars = ssVertical\n"
                       "    htOptions = [htOverLinksActive, htShowVScroll]\n"
                       "    ImageCacheCount = 30\n"
                       "    OnHotSpotClick = HotSpotClick\n"
                       "  }\n"
                       "}\n",
                       "dialog.form", bindings);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->Width(), 300);
  EXPECT_FALSE(viewer->ViewImages());
  EXPECT_TRUE(viewer->NoSelect());
  EXPECT_EQ(viewer->BorderStyle(), htSingle);
  EXPECT_EQ(viewer->ScrollBars(), plat::ssVertical);
  EXPECT_EQ(viewer->DefBackground(), plat::clWhite);
  EXPECT_EQ(viewer->DefFontColor(), plat::clNavy);
  EXPECT_EQ(viewer->htOptions(), HtOption(htOverLinksActive) | HtOption(htShowVScroll));
  EXPECT_TRUE(viewer->Document().HoverLinks);
  EXPECT_EQ(viewer->ImageCacheCount(), 20);

  ASSERT_TRUE(viewer->OnHotSpotClick);
  bool handled = false;
  viewer->OnHotSpotClick(viewer, "mailto:a@b", handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(dialog.clicked, "mailto:a@b");

  viewer->HoverTitle = "Send mail";
  EXPECT_EQ(std::get<std::string>(plat::GetPropValue(*viewer, "TitleAttr")), "Send mail");
  EXPECT_THROW(plat::SetPropValue(*viewer, "TitleAttr", std::string("x")), plat::EPropertyError);
}

}  // namespace
}  // namespace html::test
