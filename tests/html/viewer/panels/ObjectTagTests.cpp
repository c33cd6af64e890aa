// OBJECT elements: passed over without an object handler, else offered to the host with their
// attributes and parameters, kept as panels only when the host wants them.
#include <gtest/gtest.h>

#include "PanelPages.h"

namespace paneltest {
namespace {

struct TObjectCall {
  html::ThvPanel* Panel;
  std::vector<std::string> Attributes, Params;
};

std::vector<std::string> Lines(const plat::TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

class ObjectTags : public PanelPageTest {
 protected:
  // Installs a handler that records each call and answers want.
  void Handle(bool want) {
    document.ObjectTag = [this, want](plat::TObject*, html::ThvPanel* panel,
                                      const plat::TStringList& attributes,
                                      const plat::TStringList& params, bool& wantPanel) {
      calls.push_back({panel, Lines(attributes), Lines(params)});
      wantPanel = want;
    };
  }
  std::vector<TObjectCall> calls;
};

const std::string kPage =
    "<p>a<object data=\"clip.bin\" width=\"50%\">\n"
    "  <param name=speed value=\"fast\"> <param name=loop><param value=lost>\n"
    "fallback <b>text</b></object>b</p>";

TEST_F(ObjectTags, WithoutAHandlerTheContentIsRead) {
  Build("<p>a<object data=\"clip.bin\">fallback <b>text</b></object>b</p>");
  EXPECT_TRUE(document.Panels.empty());
  EXPECT_TRUE(created.empty());
  EXPECT_EQ(AllText(), "afallback textb");
}

TEST_F(ObjectTags, AnUnwantedObjectLeavesItsContentAfterTheParameters) {
  Handle(false);
  Build(kPage);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Attributes, (std::vector<std::string>{"DATA=clip.bin", "WIDTH=50%"}));
  EXPECT_EQ(calls[0].Params, (std::vector<std::string>{"speed=fast", "loop"}));
  EXPECT_EQ(AllText(), "a fallback textb");
  // The panel offered was freed and the host told so; it never heard of its creation.
  EXPECT_EQ(destroyed, std::vector<html::ThvPanel*>{calls[0].Panel});
  EXPECT_TRUE(created.empty());
  EXPECT_TRUE(document.Panels.empty());
}

TEST_F(ObjectTags, AnUnwantedObjectInIncludedTextLeavesTheRestOfIt) {
  Handle(false);
  const std::string object = "<object><param name=a value=b></object>after ";
  Build("before " + object + "tail");
  const std::string written = AllText();
  EXPECT_EQ(written, "before after tail");
  Build("before <!--#inc--> tail",
        [&](plat::TObject*, const std::string&, std::unique_ptr<plat::TStringList>,
            std::string& text) { text = object; });
  EXPECT_EQ(AllText(), written);
}

TEST_F(ObjectTags, AWantedObjectStandsInTheTextInPlaceOfItsContent) {
  Handle(true);
  Build(kPage + "<p>after <object></object>end<object>open to the end");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(AllText(), "a#b/after #end#");
  const auto panels = Panels();
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_EQ(panels[0]->Panel.get(), calls[0].Panel);
  EXPECT_TRUE(panels[0]->PercentWidth);
  EXPECT_TRUE(created.empty());
  EXPECT_TRUE(destroyed.empty());
  EXPECT_TRUE(calls[1].Params.empty());
}

TEST_F(ObjectTags, AWantedObjectIsSizedInItsColumn) {
  Handle(true);
  Build("<object width=\"50%\"></object>");
  html::TPanelObj& panel = OnlyPanel();
  // The document's body has margins of 10 on both sides: the column is 400 wide.
  plat::TCanvas canvas;
  int32_t maxWidth = 0, pos = 0;
  document.Layout(canvas, 0, 420, 0, 0, maxWidth, pos);
  EXPECT_EQ(panel.ImageWidth, 200);
  EXPECT_EQ(panel.ImageHeight, 133);
}

TEST_F(ObjectTags, ObjectsInPreformattedText) {
  Handle(false);
  Build("<pre>one<object><param name=a>two\nthree</object></pre>");
  EXPECT_EQ(AllText(), "onetwo/three");
  // The line end after the last parameter belongs to the tags.
  Build("<pre>one<object>\n<param name=a>\ntwo\nthree</object></pre>");
  EXPECT_EQ(AllText(), "onetwo/three");
  Handle(true);
  Build("<pre>one<object>\n<param name=a>\ntwo\nthree</object>four\nfive</pre>");
  EXPECT_EQ(AllText(), "one#four/five");
}

}  // namespace
}  // namespace paneltest
