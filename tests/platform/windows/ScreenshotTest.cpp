// A form with one of each control, read from its layout, painted offscreen and saved.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/windows/Application.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

std::string ReadBesideThisFile(const std::string& name) {
  // The compiler cache makes __FILE__ relative to the build folder; ctest names the test sources.
  const char* sources = std::getenv("PIXSTAMP_TEST_SOURCES");
  std::string self = sources ? std::string(sources) + "/platform/windows/" : __FILE__;
  std::ifstream in(self.substr(0, self.rfind('/') + 1) + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TAllControlsForm : public TForm {
 public:
  explicit TAllControlsForm(TComponent* owner) : TForm(owner) {
    LoadFromLayout("AllControls", TFormBindings().Field("ColourPanel", ColourPanel));
  }
  TPanel* ColourPanel = nullptr;
};

TEST(Screenshot, AFormWithEveryControlRendersOffscreen) {
  RegisterLayout("AllControls", ReadBesideThisFile("AllControls.form"), "AllControls.form");
  TAllControlsForm form(nullptr);
  ASSERT_NE(form.ColourPanel, nullptr);
  form.Show();
  Application().ProcessMessages();

  std::string file = ScreenshotFolder() + "/windows-all-controls.png";
  SaveScreenshot(form, file);
  std::ifstream png(file, std::ios::binary);
  char signature[8] = {};
  png.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");

  TCapturedImage image = CaptureControl(form);
  EXPECT_EQ(image.width, 520);
  EXPECT_EQ(image.height, 380);
  // The flat red panel at (440, 48), 64 x 40: its middle is pure red.
  EXPECT_EQ(image.Pixel(440 + 32, 48 + 20) & 0xFFFFFF, 0xFF0000u);
  // The raised top panel: highlight on its top edge, shadow on its bottom edge.
  TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  auto rgb = [](TColor c) {
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
  };
  EXPECT_EQ(image.Pixel(200, 0) & 0xFFFFFF, rgb(highlight));
  EXPECT_EQ(image.Pixel(200, 35) & 0xFFFFFF, rgb(shadow));
}

}  // namespace
}  // namespace plat
