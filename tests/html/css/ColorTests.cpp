#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "html/css/CssColors.h"

using html::ParseColor;
using html::TColor;

namespace {

TColor Parsed(const std::string& text, bool bareHexRefused = false) {
  TColor colour = 0x12345678;
  EXPECT_TRUE(ParseColor(text, bareHexRefused, colour)) << text;
  return colour;
}

bool Refused(const std::string& text, bool bareHexRefused = false) {
  TColor colour = 0x12345678;
  const bool ok = ParseColor(text, bareHexRefused, colour);
  return !ok && colour == 0x12345678;
}

TEST(ParseColor, HexFormsNamesAndCaseAgree) {
  EXPECT_EQ(Parsed("#f00"), 0x0000FF);
  EXPECT_EQ(Parsed("#ff0000"), 0x0000FF);
  EXPECT_EQ(Parsed("ff0000"), 0x0000FF);
  EXPECT_EQ(Parsed(" #123456 "), 0x563412);
  EXPECT_EQ(Parsed("#abc"), 0xCCBBAA);
  EXPECT_EQ(Parsed("red"), 0x0000FF);
  EXPECT_EQ(Parsed("Red"), 0x0000FF);
  EXPECT_EQ(Parsed("RED"), 0x0000FF);
  EXPECT_EQ(Parsed("transparent"), html::clNone);
  EXPECT_EQ(Parsed("appworkspace"), TColor(0xFF00000C));
  EXPECT_EQ(Parsed("highlighttext"), TColor(0xFF00000E));
  EXPECT_EQ(Parsed("hightlighttext"), TColor(0xFF00000E));
}

TEST(ParseColor, RgbComponentsArePercentagesOrClampedIntegers) {
  // 50% is 127.5, rounded to the even 128.
  EXPECT_EQ(Parsed("rgb(100%, 0, 50%)"), 0x8000FF);
  EXPECT_EQ(Parsed("rgb(1, 2, 3)"), 0x030201);
  EXPECT_EQ(Parsed("rgb(300, -5, x)"), 0x0000FF);
  EXPECT_TRUE(Refused("rgb(1e300%, 0, 0)"));
  EXPECT_EQ(Parsed("rgb(99999999999999999999999%, 0, 0)"), 0x0000FF);
  EXPECT_TRUE(Refused("rgb(x%, 0, 0)"));
  EXPECT_TRUE(Refused("rgb(1, 2, 3"));
  EXPECT_TRUE(Refused("rgb 1, 2, 3)"));
}

TEST(ParseColor, RefusesWhatIsNoColour) {
  EXPECT_TRUE(Refused(""));
  EXPECT_TRUE(Refused("   "));
  EXPECT_TRUE(Refused("#"));
  EXPECT_TRUE(Refused("#ggg"));
  EXPECT_TRUE(Refused("nosuchcolour"));
  EXPECT_TRUE(Refused("ff0000", true));
  // More than six digits would reach system colours and the no-colour value.
  EXPECT_TRUE(Refused("#ff00000f"));
  EXPECT_TRUE(Refused("#1fffffff"));
}

TEST(ParseColor, RememberedColourKeepsTheBareHexRule) {
  EXPECT_EQ(Parsed("000000"), 0);
  // The same word where bare hexadecimal is refused is still refused.
  EXPECT_TRUE(Refused("000000", true));
  EXPECT_EQ(Parsed("#0a0b0c"), 0x0C0B0A);
  EXPECT_EQ(Parsed("#0a0b0c"), 0x0C0B0A);
}

// Every CSS name that X11 agrees on, after the byte swap to COLORREF. X11 differs for these.
TEST(ParseColor, NamesAgreeWithX11) {
  std::ifstream file("/usr/share/X11/rgb.txt");
  if (!file) GTEST_SKIP() << "no X11 colour list";
  const std::set<std::string> differing = {"gray", "grey", "green", "maroon", "purple"};
  // The colour names of CSS, separated by blanks.
  const char* const cssNames =
      "black silver white navy blue teal aqua olive yellow lime fuchsia aliceblue "
      "antiquewhite aquamarine azure beige bisque blanchedalmond blueviolet brown "
      "burlywood cadetblue chartreuse chocolate coral cornflowerblue cornsilk cyan "
      "darkblue darkcyan darkgoldenrod darkgray darkgreen darkkhaki darkmagenta "
      "darkolivegreen darkorange darkorchid darkred darksalmon darkseagreen darkslateblue "
      "darkslategray darkturquoise darkviolet deeppink deepskyblue dimgray dodgerblue "
      "firebrick floralwhite forestgreen gainsboro ghostwhite gold goldenrod greenyellow "
      "honeydew hotpink indianred ivory khaki lavender lavenderblush lawngreen "
      "lemonchiffon lightblue lightcoral lightcyan lightgoldenrodyellow lightgreen "
      "lightgray lightpink lightsalmon lightseagreen lightskyblue lightslategray "
      "lightsteelblue lightyellow limegreen linen magenta mediumaquamarine mediumblue "
      "mediumorchid mediumpurple mediumseagreen mediumslateblue mediumspringgreen "
      "mediumturquoise mediumvioletred midnightblue mintcream mistyrose moccasin "
      "navajowhite oldlace olivedrab orange orangered orchid palegoldenrod palegreen "
      "paleturquoise palevioletred papayawhip peachpuff peru pink plum powderblue "
      "rosybrown royalblue saddlebrown salmon sandybrown seagreen seashell sienna skyblue "
      "slateblue slategray snow springgreen steelblue tan thistle tomato turquoise violet "
      "wheat whitesmoke yellowgreen darkgrey darkslategrey dimgrey lightgrey "
      "lightslategrey slategrey red";
  std::map<std::string, TColor> x11;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream in(line);
    int r, g, b;
    std::string name, extra;
    if (!(in >> r >> g >> b >> name) || (in >> extra)) continue;
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    x11.emplace(name, TColor(r | g << 8 | b << 16));
  }
  int compared = 0;
  std::istringstream names(cssNames);
  for (std::string name; names >> name;) {
    const auto it = x11.find(name);
    if (it == x11.end() || differing.count(name)) continue;
    EXPECT_EQ(Parsed(name), it->second) << name;
    ++compared;
  }
  EXPECT_GT(compared, 120);
}

}  // namespace
