// Where the mouse lands on a page scrolled both ways, checked against the drawn pixels: a
// character's box is what turns when it alone is selected; pressing, dragging, hovering, double
// and right clicks through the window's own events must then find that character, its word and
// its link, and pictures report the point inside their coloured area.
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/HtmlEngine.h"
#include "html/images/ImageObjects.h"
#include "html/viewer/FormControls.h"
#include "support/ScratchFolder.h"

namespace html::test {
namespace {

struct Box {
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;  // inclusive
  bool Empty() const { return Right < Left; }
  void Add(int x, int y) {
    Left = std::min(Left, x), Top = std::min(Top, y);
    Right = std::max(Right, x), Bottom = std::max(Bottom, y);
  }
};

Box Changed(const plat::TCapturedImage& a, const plat::TCapturedImage& b) {
  Box box;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) box.Add(x, y);
  return box;
}

uint32_t Argb(plat::TColor c) {
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

bool IsWordChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// Picture colours, each told apart from text, selection and background.
const plat::TColor kPictureColors[] = {0x2080F0, 0x20C040, 0xC020C0};

class DrawnHits : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    for (size_t i = 0; i < std::size(kPictureColors); ++i) {
      plat::TBitmap picture;
      picture.SetSize(30 + int(i) * 7, 12 + int(i) * 3);
      picture.Canvas().Brush().SetColor(kPictureColors[i]);
      picture.Canvas().FillRect({0, 0, picture.Width(), picture.Height()});
      picture.SaveToFile(folder.File("p" + std::to_string(i) + ".bmp"));
    }
  }

  // PRE lines of numbered words, some of them links, pictures and edits between them; wide and
  // tall enough to scroll both ways.
  std::string RandomPage(std::mt19937& random) {
    std::string page = "<pre>";
    for (int line = 0, n = 0; line < 45; ++line) {
      const int words = 6 + int(random() % 18);
      for (int w = 0; w < words; ++w, ++n) {
        std::string word;
        for (int k = 1 + int(random() % 5); k > 0; --k) word += char('a' + random() % 26);
        word += std::to_string(n);
        const bool linked = random() % 3 == 0;
        links[word] = linked ? "#" + word : "";
        page += linked ? "<a href=\"#" + word + "\">" + word + "</a>" : word;
        page += " ";
        if (random() % 25 == 0)
          page += "<img border=0 src=\"" +
                  folder.File("p" + std::to_string(random() % 3) + ".bmp") + "\"> ";
        else if (random() % 30 == 0)
          page += "<input size=3> ";
      }
      page += "\n";
    }
    return page + "</pre>";
  }

  std::u16string WordAround(int32_t pos) {
    auto at = [&](int32_t p) {
      char16_t c = 0;
      TSectionBase* item = nullptr;
      return viewer->Document().GetChAtPos(p, c, item) ? c : u'\0';
    };
    int32_t first = pos, last = pos;
    while (first > 0 && IsWordChar(at(first - 1))) --first;
    while (IsWordChar(at(last + 1))) ++last;
    std::u16string word;
    for (int32_t p = first; p <= last; ++p) word += at(p);
    return word;
  }

  plat::TCapturedImage Shot() {
    plat::Application().ProcessMessages();
    return plat::CaptureControl(Panel());
  }

  // Every control window stands at its place in the text, or out of view when that place is.
  void CheckControlsStandWhereDrawn() {
    TSectionList& document = viewer->Document();
    plat::TBitmap measure;
    std::vector<int32_t> places;  // the control characters, in the order the controls were made
    TSectionBase* item = nullptr;
    for (char16_t c = 0, p = 0; document.GetChAtPos(p, c, item); ++p)
      if (c == u'\x02') places.push_back(p);
    ASSERT_EQ(places.size(), document.AllControls.size());
    for (size_t i = 0; i < places.size(); ++i) {
      auto* control = dynamic_cast<TFormControlObj*>(document.AllControls[i]);
      plat::TWinControl* window = control->TheControl();
      const plat::TRect shown{window->Left(), window->Top(), window->Left() + window->Width(),
                              window->Top() + window->Height()};
      const bool inView = window->Visible() && shown.Right > 0 && shown.Bottom > 0 &&
                          shown.Left < Panel().Width() && shown.Top < Panel().Height();
      int32_t x = 0, y = 0;
      ASSERT_TRUE(document.CursorToXY(&measure.Canvas(), places[i], x, y));
      const int32_t left = x + control->HSpaceL, top = y - document.ScrollY;
      if (top < 0 || top + 2 * control->Height() > Panel().Height()) continue;  // line cut
      const bool placeInView = left + control->Width() > 0 && left < Panel().Width();
      SCOPED_TRACE(testing::Message() << "control at " << left << " window at " << shown.Left);
      if (placeInView) {
        EXPECT_TRUE(inView);
        EXPECT_EQ(shown.Left, left);
      } else {
        EXPECT_FALSE(inView);
      }
    }
  }

  test_support::ScratchFolder folder;
  std::map<std::string, std::string> links;  // word -> its link, empty when it has none
};

TEST_F(DrawnHits, EveryVisibleCharacterIsHitWhereItIsDrawnAtAnyScroll) {
  std::mt19937 random(3401);
  std::vector<std::string> hotSpots;
  viewer->OnHotSpotClick = [&](plat::TObject*, const std::string& url, bool& handled) {
    hotSpots.push_back(url);
    handled = true;
  };
  std::u16string rightWord;
  std::string rightURL;
  viewer->OnRightClick = [&](plat::TObject*, TRightClickParameters& parameters) {
    rightWord = parameters.ClickWord;
    rightURL = parameters.URL;
  };
  struct PictureHit {
    plat::TObject* picture = nullptr;
    int x = -1, y = -1;
  } over, clicked;
  viewer->OnImageOver = [&](plat::TObject*, plat::TObject* picture, plat::TShiftState, int x,
                            int y) {
    over = {picture, x, y};
  };
  viewer->OnImageClick = [&](plat::TObject*, plat::TObject* picture, plat::TMouseButton,
                             plat::TShiftState, int x, int y) {
    clicked = {picture, x, y};
  };

  TSectionBase* hitItem = nullptr;
  int checkedChars = 0, checkedPictures = 0;
  for (int page = 0; page < 3; ++page) {
    Load(RandomPage(random));
    TSectionList& document = viewer->Document();
    const int maxH = viewer->HScrollBar().Max() - Panel().Width();
    const int maxV = viewer->ScrollHeight() - Panel().Height();
    ASSERT_GT(maxH, 100);
    ASSERT_GT(maxV, 100);
    int32_t textLength = 0;
    for (char16_t c = 0; document.GetChAtPos(textLength, c, hitItem);) ++textLength;
    // From the far corner, then sideways alone and both ways by turns.
    for (int view = 0, v = maxV; view < 8; ++view) {
      const int h = view == 0 ? maxH : int(random() % uint32_t(maxH + 1));
      if (view % 2 == 0 && view > 0) v = int(random() % uint32_t(maxV + 1));
      viewer->SetHorzPosition(h);
      viewer->ScrollTo(v);
      document.SelStart = document.SelEnd = 0;
      const plat::TCapturedImage plain = Shot();
      CheckControlsStandWhereDrawn();

      for (int tries = 0, found = 0; tries < 400 && found < 4; ++tries) {
        const int32_t pos = int32_t(random() % uint32_t(textLength));
        char16_t ch = 0;
        if (!document.GetChAtPos(pos, ch, hitItem) || !IsWordChar(ch)) continue;
        document.SelStart = pos;
        document.SelEnd = pos + 1;
        Panel().Invalidate();
        const plat::TCapturedImage selected = Shot();
        document.SelStart = document.SelEnd = 0;
        Panel().Invalidate();
        const Box box = Changed(plain, selected);
        if (box.Empty() || box.Left < 2 || box.Top < 2 || box.Right > Panel().Width() - 3 ||
            box.Bottom > Panel().Height() - 3)
          continue;  // not drawn, or cut by the panel's edge
        ++found, ++checkedChars;
        const int width = box.Right - box.Left + 1, middleY = (box.Top + box.Bottom) / 2;
        const plat::TPoint left{box.Left + width / 4, middleY};
        const plat::TPoint right{box.Left + (3 * width) / 4, middleY};
        const plat::TPoint middle{box.Left + width / 2, middleY};
        const std::u16string word = WordAround(pos);
        const std::string url = links.at(std::string(word.begin(), word.end()));
        SCOPED_TRACE(testing::Message() << "scroll " << h << "," << v << " char " << pos << " '"
                                        << char(ch) << "' box " << box.Left << "," << box.Top);

        // A press on the left half puts the caret before the character; a drag to its right
        // half selects it alone, drawn just as the selection of the character was.
        Press(left);
        EXPECT_EQ(viewer->CaretPos(), pos);
        Move(right, plat::ssLeft);
        Release(right);
        EXPECT_EQ(viewer->SelText(), std::u16string(1, ch));
        const plat::TCapturedImage dragged = Shot();
        EXPECT_TRUE(Changed(selected, dragged).Empty());
        EXPECT_TRUE(hotSpots.empty());

        Move(middle);
        EXPECT_EQ(viewer->LinkURL(), url);
        EXPECT_EQ(Panel().Cursor(), url.empty() ? viewer->Cursor() : HandCursor);

        DoubleClick(middle);
        EXPECT_EQ(viewer->SelText(), word);

        Click(middle, plat::mbRight);
        EXPECT_EQ(rightWord, word);
        EXPECT_EQ(rightURL, url);
        hotSpots.clear();
      }

      // Pictures: every pixel of a colour's area reports that picture and the point inside it.
      for (plat::TColor color : kPictureColors) {
        Box area;
        const uint32_t argb =
            0xFF000000u | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
        for (int y = 0; y < plain.height; ++y)
          for (int x = 0; x < plain.width; ++x)
            if (plain.Pixel(x, y) == argb) area.Add(x, y);
        if (area.Empty() || area.Left == 0 || area.Top == 0 || area.Right >= plain.width - 1 ||
            area.Bottom >= plain.height - 1 || area.Right - area.Left > 50 ||
            area.Bottom - area.Top > 20)
          continue;  // cut by the edge, or two pictures of one colour
        ++checkedPictures;
        const plat::TPoint at{area.Left + int(random() % uint32_t(area.Right - area.Left + 1)),
                              area.Top + int(random() % uint32_t(area.Bottom - area.Top + 1))};
        over = clicked = {};
        Move(at);
        Click(at, plat::mbRight);
        EXPECT_NE(over.picture, nullptr);
        EXPECT_EQ(clicked.picture, over.picture);
        EXPECT_EQ(over.x, at.X - area.Left);
        EXPECT_EQ(over.y, at.Y - area.Top);
        EXPECT_EQ(clicked.x, at.X - area.Left);
        EXPECT_EQ(clicked.y, at.Y - area.Top);
      }
      // Sideways alone, the edits follow their text into and out of view.
      for (int step = 0; step < 3; ++step) {
        viewer->SetHorzPosition(int(random() % uint32_t(maxH + 1)));
        Shot();
        CheckControlsStandWhereDrawn();
      }
    }
  }
  EXPECT_GT(checkedChars, 60);
  EXPECT_GT(checkedPictures, 3);
}

TEST_F(DrawnHits, AFloatAfterALineWiderThanThePanelStillShows) {
  Load("<pre>" + std::string(150, 'w') + "<img align=left border=0 src=\"" + folder.File("p0.bmp") +
       "\">x\ny</pre>");
  const plat::TCapturedImage image = Shot();
  EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), Argb(kPictureColors[0])), 30 * 12);
}

}  // namespace
}  // namespace html::test
