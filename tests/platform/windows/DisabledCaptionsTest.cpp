// Disabled check boxes and radio items keep a readable caption on the program's silver dialogs.
#include <gtest/gtest.h>

#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

// Pixels clearly darker than the silver ground, i.e. pixels of a caption.
int DarkPixels(TControl& control) {
  const TCapturedImage image = CaptureControl(control);
  int dark = 0;
  for (uint32_t c : image.pixels) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    dark += (r + g + b) / 3 < 170;
  }
  return dark;
}

TEST(DisabledCaptions, CheckBoxAndRadioGroupCaptionsStayVisibleOnSilver) {
  TForm form(nullptr);
  form.SetColor(clSilver);
  form.SetBounds(0, 0, 300, 200);
  auto* box = form.Make<TCheckBox>();
  box->SetParent(&form);
  box->SetBounds(8, 8, 200, 20);
  box->SetCaption("Blue Threshold");
  auto* group = form.Make<TRadioGroup>();
  group->SetParent(&form);
  group->SetBounds(8, 40, 200, 80);
  group->SetCaption(" Algorithms ");
  group->Items()->Add("1");
  group->Items()->Add("2");
  form.Show();

  const int boxEnabled = DarkPixels(*box), groupEnabled = DarkPixels(*group);
  box->SetEnabled(false);
  group->SetEnabled(false);
  // Greyed, but still drawn: most of the caption's pixels remain.
  EXPECT_GT(DarkPixels(*box), boxEnabled / 2);
  EXPECT_GT(DarkPixels(*group), groupEnabled / 2);
}

}  // namespace
}  // namespace plat
