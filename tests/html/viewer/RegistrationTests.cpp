// The viewer as stored layouts create and set it by name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "html/viewer/PageViewer.h"
#include "platform/runtime/TypInfo.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"

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

// Every event of the viewer is a published property that a layout can bind.
TEST(ViewerRegistration, EveryEventCanBeBoundFromALayout) {
  RegisterPageViewerClass();
  TPageViewer viewer{nullptr};
  std::set<std::string> published;
  for (const plat::TPropInfo* prop : plat::GetPropList(viewer, plat::TypeKindBit(plat::tkMethod)))
    published.insert(prop->Name);
  for (const char* name : {"OnHotSpotCovered",
                           "OnHotSpotClick",
                           "OnBitmapRequest",
                           "OnImageRequest",
                           "OnScript",
                           "OnFormSubmit",
                           "OnHistoryChange",
                           "OnProgress",
                           "OnMouseMove",
                           "OnMouseUp",
                           "OnMouseDown",
                           "OnMouseWheel",
                           "OnKeyDown",
                           "OnKeyUp",
                           "OnKeyPress",
                           "OnEnter",
                           "OnExit",
                           "OnProcessing",
                           "OnPrintHeader",
                           "OnPrintFooter",
                           "OnPrintHTMLHeader",
                           "OnPrintHTMLFooter",
                           "OnInclude",
                           "OnSoundRequest",
                           "OnMeta",
                           "OnLink",
                           "OnMetaRefresh",
                           "OnImageClick",
                           "OnImageOver",
                           "OnFileBrowse",
                           "OnObjectClick",
                           "OnObjectFocus",
                           "OnObjectBlur",
                           "OnObjectChange",
                           "OnRightClick",
                           "OnMouseDouble",
                           "OnPanelCreate",
                           "OnPanelDestroy",
                           "OnPanelPrint",
                           "OnhtStreamRequest",
                           "OnParseBegin",
                           "OnParseEnd",
                           "OnObjectTag"})
    EXPECT_TRUE(published.count(name)) << name;
}

struct PageHost {
  void ObjectClick(plat::TObject*, plat::TObject*, const std::string& text) { heard = text; }
  void FormSubmit(plat::TObject*, const std::string& action, const std::string&, const std::string&,
                  const std::string&, plat::TStringList*) {
    heard = action;
  }
  void RightClick(plat::TObject*, TRightClickParameters&) {}
  void PrintHeader(plat::TObject*, plat::TCanvas*, int, int, int, bool& stop) { stop = true; }
  void PanelPrint(plat::TObject*, ThvPanel*, const plat::TBitmap*) {}
  std::string heard;
};

// Events the document calls reach it as the layout binds them, before any page is loaded.
TEST(ViewerRegistration, EventsBoundFromALayoutReachTheDocument) {
  RegisterPageViewerClass();
  plat::TForm form{nullptr};
  PageHost host;
  TPageViewer* viewer = nullptr;
  plat::TFormBindings bindings;
  bindings.Handler("ObjectClick", &host, &PageHost::ObjectClick)
      .Handler("FormSubmit", &host, &PageHost::FormSubmit)
      .Handler("RightClick", &host, &PageHost::RightClick)
      .Handler("PrintHeader", &host, &PageHost::PrintHeader)
      .Handler("PanelPrint", &host, &PageHost::PanelPrint)
      .Field("Viewer", viewer);
  plat::ReadLayoutText(form,
                       "TForm Host {\n"
                       "  TPageViewer Viewer {\n"
                       "    OnObjectClick = ObjectClick\n    OnFormSubmit = FormSubmit\n"
                       "    OnRightClick = RightClick\n    OnPrintHeader = PrintHeader\n"
                       "    OnPrintFooter = PrintHeader\n    OnPanelPrint = PanelPrint\n"
                       "    PopupMenu = PageMenu\n"
                       "  }\n"
                       "  TPopupMenu PageMenu { TMenuItem CopyItem { Caption = \"&Copy\" } }\n"
                       "}\n",
                       "host.form", bindings);
  ASSERT_NE(viewer, nullptr);
  ASSERT_TRUE(viewer->Document().ObjectClick);
  viewer->Document().ObjectClick(viewer, nullptr, "go()");
  EXPECT_EQ(host.heard, "go()");
  EXPECT_TRUE(viewer->Document().SubmitForm);
  ASSERT_NE(viewer->PopupMenu(), nullptr);
  EXPECT_EQ(viewer->PopupMenu()->Items()->Items(0)->Caption(), "&Copy");
  EXPECT_TRUE(viewer->OnRightClick);
  EXPECT_TRUE(viewer->OnPanelPrint);
  bool stop = false;
  viewer->OnPrintFooter(viewer, nullptr, 1, 100, 20, stop);
  EXPECT_TRUE(stop);
}

}  // namespace
}  // namespace html::test
