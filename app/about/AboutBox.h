// Folder app/about: the about box and the fixed pieces of its page.
//
// The about box: shows the page the main window composes; links open in the user's mail program
// or browser, and a link's title shows as a hint once the mouse rests on it.
#pragma once

#include <string>

#include "html/viewer/PageViewer.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// The about page from its fixed pieces and the main window's two optional lines.
std::string BuildAboutPage(const std::string& Fragment1, const std::string& Fragment2);

class TAboutBox : public plat::TForm {
 public:
  TAboutBox(plat::TComponent* Owner, const std::string& HtmlText);

  void FormCreate(plat::TObject* Sender);
  void ViewerMouseMove(plat::TObject* Sender, plat::TShiftState Shift, int X, int Y);
  void Timer1Timer(plat::TObject* Sender);
  void HotSpotClickAbout(plat::TObject* Sender, const std::string& SRC, bool& Handled);
  void About_ObjectClick(plat::TObject* Sender, plat::TObject* Obj, const std::string& OnClick);
  void HideLinkHint();

  bool HintShown() const { return hintShown_; }
  const std::string& HintedTitle() const { return hintedTitle_; }
  plat::THintWindow& HintWindow() { return *hintWindow_; }

  html::TPageViewer* Viewer = nullptr;
  plat::TBitBtn* BitBtn1 = nullptr;
  plat::TPanel* Panel1 = nullptr;
  plat::TMemo* Added_Addressee = nullptr;
  plat::TTimer* Timer1 = nullptr;

 private:
  // Every box is fitted to a low screen on its own first tick.
  void FitToScreen();

  int hintTicks_ = 0;
  std::string hintedTitle_;
  plat::THintWindow* hintWindow_ = nullptr;
  bool hintShown_ = false;
  bool fitted_ = false;
};

}  // namespace app
