// The text hint, written out by hand for two looks.
#include <gtest/gtest.h>

#include "app/mainwindow/TextHints.h"

namespace {

TEST(TextHint, ShowsTextFontSizeAndColoursAndOnlyTheStylesThatAreOn) {
  app::TSettingsValues look;
  look.FontName = "Liberation Sans";
  look.FontSizeText = "6";
  look.FontColor = 0xF0FBFF;  // clCream
  look.BackColor = 0x800000;  // clNavy
  const std::string plain =
      "\n  Text to stamp  \n\n"
      "  Hello <b>  \n\n"
      "  Font: Liberation Sans  \n"
      "  Size (x10 pt): 6  \n"
      "  Color: Cream  \n"
      "  BGColor: Navy  \n"
      "\n";
  EXPECT_EQ(app::BuildTextHint("Hello <b>", look), plain);

  look.TextBold = look.TextItalic = true;
  look.FontColor = 0x00F0FBFE;  // no name: "$00F0FBFE" loses "$0"
  const std::string styled =
      "\n  Text to stamp  \n\n"
      "    \n\n"
      "  Font: Liberation Sans  \n"
      "  Size (x10 pt): 6  \n"
      "  Color: 0F0FBFE  \n"
      "  BGColor: Navy  \n"
      "  Bold  \n"
      "  Italic  \n"
      "\n";
  EXPECT_EQ(app::BuildTextHint("", look), styled);
}

}  // namespace
