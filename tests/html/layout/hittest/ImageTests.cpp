// Pictures under the mouse answer before the text: their title or ALT text, the image input
// they show, their client-side map, or the link around them.
#include <memory>
#include <string>

#include "HitTestSupport.h"
#include "html/layout/text/PointedObjects.h"

namespace {

using html::TSection;
using texttest::AddText;

// A 20 by 10 picture placed where the test says.
class TTestImage : public texttest::TTestObject, public html::TPointedImage {
 public:
  TTestImage() : TTestObject(20, 10, html::aBottom) {}
  void SetHover(html::THoverState state) override { Hover = state; }
  bool PointInside(int32_t x, int32_t y, int32_t& ix, int32_t& iy) const override {
    ix = x - DrawX;
    iy = y - DrawY;
    return ix >= 0 && ix < ImageWidth && iy >= 0 && iy < ImageHeight;
  }
  html::THoverState Hover = html::THoverState::hvOff;
};

class ImageHitTest : public hittest::HitFixture {
 protected:
  // "x", then the picture inside a link to a.html, then "y"; the picture drawn at (100, 50).
  ImageHitTest() : section(NewSection()) {
    AddText(section, u"x", 0);
    link.URL = "a.html";
    section.SetLink(true, state.TopProperties(), link);
    auto owned = std::make_unique<TTestImage>();
    image = owned.get();
    section.AddFloatingObj(std::move(owned), 1);
    html::TUrlTarget none;
    section.SetLink(false, state.TopProperties(), none);
    AddText(section, u"y", 2);
    section.ProcessText(3);
    Place(section, 400);
    image->DrawX = 100;
    image->DrawY = 50;
  }

  int Hit(int32_t x, int32_t y, html::THitLink& hit) {
    return html::SectionHitTestLink(section, canvas, x, y, hit);
  }

  TSection& section;
  html::TUrlTarget link;
  TTestImage* image = nullptr;
};

TEST_F(ImageHitTest, APictureInALinkGivesItsTextAndTheLink) {
  image->Alt = "alt text";
  html::THitLink hit;
  EXPECT_EQ(Hit(105, 57, hit), html::hlLink | html::hlTitle);
  EXPECT_EQ(hit.Title, "alt text");
  ASSERT_TRUE(hit.UrlTarget);
  EXPECT_EQ(hit.UrlTarget->URL, "a.html");
  EXPECT_EQ(document.HoverImage, image);
  EXPECT_EQ(document.HoverLink, section.Fonts[1]);

  image->Title = "title";
  image->IsMap = true;
  html::THitLink onMap;
  EXPECT_EQ(Hit(119, 50, onMap), html::hlLink | html::hlTitle);
  EXPECT_EQ(onMap.Title, "title");
  ASSERT_TRUE(onMap.UrlTarget);
  EXPECT_EQ(onMap.UrlTarget->URL, "a.html?19,0");
  EXPECT_EQ(section.Fonts[1]->Link()->URL, "a.html");  // the run keeps its own target

  int32_t ix = 0, iy = 0;
  EXPECT_EQ(html::SectionFindObjectAt(section, 103, 59, ix, iy), image);
  EXPECT_EQ(ix, 3);
  EXPECT_EQ(iy, 9);
  EXPECT_EQ(html::SectionFindObjectAt(section, 120, 59, ix, iy), nullptr);
  EXPECT_EQ(html::SectionFindObjectAt(section, 103, 60, ix, iy), nullptr);
}

TEST_F(ImageHitTest, InputsAndMapsAnswerInsteadOfTheLink) {
  texttest::TTestControl input;
  image->ImageInput = &input;
  html::THitLink onInput;
  EXPECT_EQ(Hit(105, 57, onInput), html::hlControl);
  EXPECT_EQ(onInput.FormControl, &input);
  EXPECT_EQ(onInput.ControlX, 5);
  EXPECT_EQ(onInput.ControlY, 7);
  EXPECT_FALSE(onInput.UrlTarget);

  html::TMapItem map;
  html::TAttributeList area;
  area.Add(std::make_unique<html::TAttribute>(html::HrefSy, 0, "", "left.html", 0));
  area.Add(std::make_unique<html::TAttribute>(html::CoordsSy, 0, "", "0,0,10,10", 0));
  area.Add(std::make_unique<html::TAttribute>(html::TitleSy, 0, "", "left half", 0));
  map.AddArea(area);
  image->ImageInput = nullptr;
  image->Map = &map;
  html::THitLink onArea;
  EXPECT_EQ(Hit(102, 52, onArea), html::hlLink | html::hlTitle);
  ASSERT_TRUE(onArea.UrlTarget);
  EXPECT_EQ(onArea.UrlTarget->URL, "left.html");
  EXPECT_EQ(onArea.Title, "left half");
  html::THitLink offArea;
  EXPECT_EQ(Hit(115, 52, offArea), 0);  // on the picture, outside every area
  EXPECT_EQ(document.HoverImage, image);
}

}  // namespace
