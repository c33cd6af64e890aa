#include "app/about/AboutBox.h"

#include <array>
#include <string_view>

#include "app/about/AboutBoxTexts.h"
#include "app/mainwindow/EditorTexts.h"
#include "html/layout/text/InlineObjects.h"
#include "platform/runtime/Shell.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"
#include "platform/windows/Dialogs.h"

namespace app {
namespace {

constexpr plat::TColor HintColor = 0xC0FFFF;
constexpr plat::TColor PageTextColor = 0x800000;
constexpr plat::TColor PageBackground = 0xF0FBFF;
constexpr int PageFontSize = 10;

// Below this screen height the box is made as high as the screen allows.
constexpr int SmallScreenHeight = 800, ScreenMargin = 5;
// The hint shows after this many 200 ms ticks at rest and goes after the longest.
constexpr int HintDelayTicks = 2, HintLongestTicks = 100;
constexpr int HintMaxWidth = 300, HintBelowPointer = 18;

// Only these schemes leave the program; anything else (anchors, files) stays with the viewer.
// Matched at the start, so a scheme word inside some other target opens nothing.
constexpr std::array<std::string_view, 3> ShellSchemes = {"MAILTO:", "HTTP:", "HTTPS:"};
constexpr std::string_view DisplayClick = "display";

bool OpensInShell(const std::string& target) {
  const std::string upper = plat::UpperCase(target);
  for (std::string_view scheme : ShellSchemes)
    if (std::string_view(upper).substr(0, scheme.size()) == scheme) return true;
  return false;
}

}  // namespace

std::string BuildAboutPage(const std::string& Fragment1, const std::string& Fragment2) {
  std::string contact;
  for (std::string_view piece : {AboutContactPiece1, AboutContactPiece2, AboutContactPiece3,
                                 AboutContactPiece4, AboutContactPiece5, AboutContactPiece6})
    contact += piece;
  std::string page;
  for (std::string_view piece :
       {AboutPiece1, AboutPiece2, AboutPiece3, TitleName1, TitleName2, AboutPiece4, AboutPiece5,
        AboutPiece4, TitleVersion, AboutPiece6, std::string_view(Fragment1), AboutPiece7,
        std::string_view(contact), AboutPiece3, AboutPiece3, std::string_view(Fragment2),
        AboutPiece8})
    page += piece;
  return page;
}

TAboutBox::TAboutBox(plat::TComponent* Owner, const std::string& HtmlText) : plat::TForm(Owner) {
  html::RegisterPageViewerClass();
  plat::TFormBindings b;
  b.Handler("FormCreate", this, &TAboutBox::FormCreate)
      .Handler("ViewerMouseMove", this, &TAboutBox::ViewerMouseMove)
      .Handler("Timer1Timer", this, &TAboutBox::Timer1Timer)
      .Handler("HotSpotClickAbout", this, &TAboutBox::HotSpotClickAbout)
      .Handler("About_ObjectClick", this, &TAboutBox::About_ObjectClick)
      .Field("Viewer", Viewer)
      .Field("BitBtn1", BitBtn1)
      .Field("Panel1", Panel1)
      .Field("Added_Addressee", Added_Addressee)
      .Field("Timer1", Timer1);
  LoadFromLayout("AboutBox", b);
  Added_Addressee->SetText("");
  hintWindow_ = Make<plat::THintWindow>();
  hintWindow_->SetColor(HintColor);
  Viewer->SetScrollBars(plat::ssVertical);
  Viewer->SetDefFontName(std::string(DefaultFontName));
  Viewer->SetDefFontSize(PageFontSize);
  Viewer->SetDefFontColor(PageTextColor);
  Viewer->SetDefBackground(PageBackground);
  Viewer->LoadFromBuffer(HtmlText.data(), int64_t(HtmlText.size()), "");
}

void TAboutBox::FormCreate(plat::TObject*) {
  // Mouse moves start hints only while the box holds the focus.
  SetActiveControl(BitBtn1);
  Timer1->SetEnabled(true);
}

void TAboutBox::ViewerMouseMove(plat::TObject*, plat::TShiftState, int, int) {
  if (Timer1->Enabled()) return;
  const plat::TWinControl* active = ActiveControl();
  if (!active || !active->Focused()) return;
  const std::string& title = Viewer->TitleAttr();
  if (title.empty()) {
    hintedTitle_.clear();
  } else if (title != hintedTitle_) {
    hintTicks_ = 0;
    Timer1->SetEnabled(true);
    hintedTitle_ = title;
  }
}

void TAboutBox::FitToScreen() {
  if (fitted_) return;
  fitted_ = true;
  const int screenHeight = plat::Screen().Height();
  if (screenHeight >= SmallScreenHeight) return;
  SetHeight(screenHeight - 2 * ScreenMargin);
  SetTop(ScreenMargin);
}

void TAboutBox::Timer1Timer(plat::TObject*) {
  FitToScreen();
  ++hintTicks_;
  const plat::TPoint pointer = plat::Mouse().CursorPos();
  const plat::TPoint inViewer = Viewer->ScreenToClient(pointer);
  const std::string title = Viewer->TitleAttr();
  if (title.empty() || !Viewer->ClientRect().Contains(inViewer)) {
    hintedTitle_.clear();
    HideLinkHint();
    return;
  }
  if (title != hintedTitle_) {
    hintTicks_ = 0;
    hintedTitle_ = title;
    hintWindow_->Hide();
    hintShown_ = false;
    return;
  }
  if (hintTicks_ > HintLongestTicks) {
    HideLinkHint();
    return;
  }
  if (hintTicks_ >= HintDelayTicks && !hintShown_) {
    const plat::TRect size = hintWindow_->CalcHintRect(HintMaxWidth, title);
    const int top = pointer.Y + HintBelowPointer;
    hintWindow_->ActivateHint(
        plat::TRect{pointer.X, top, pointer.X + size.Width(), top + size.Height()}, title);
    hintShown_ = true;
  }
}

void TAboutBox::HideLinkHint() {
  Timer1->SetEnabled(false);
  hintWindow_->Hide();
  hintShown_ = false;
}

void TAboutBox::HotSpotClickAbout(plat::TObject*, const std::string& SRC, bool& Handled) {
  Handled = false;
  if (!OpensInShell(SRC)) return;
  // Without a mail program or browser the click would otherwise do nothing visible; the message
  // at least shows the address.
  if (!plat::OpenLink(SRC))
    plat::ShowMessageBox(std::string(NoLinkHandlerText) + SRC, Caption(), plat::MB_ICONWARNING);
  Handled = true;
}

void TAboutBox::About_ObjectClick(plat::TObject*, plat::TObject* Obj, const std::string& OnClick) {
  if (OnClick != DisplayClick) return;
  const auto* object = dynamic_cast<const html::TFormControlObj*>(Obj);
  if (!object) return;
  const auto* box = dynamic_cast<const plat::TCheckBox*>(object->TheControl());
  if (!box) return;
  plat::TStringList& lines = *Added_Addressee->Lines();
  if (box->Checked()) {
    lines.Add(object->Value);
    return;
  }
  for (int i = lines.Count() - 1; i >= 0; --i)
    if (lines[i] == object->Value) lines.Delete(i);
}

}  // namespace app
