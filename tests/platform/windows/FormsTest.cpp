// Form and application life: creation and destruction order, closing, the main form, errors.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

TEST(FormLife, OnDestroyRunsWhileTheControlsStillExist) {
  std::string seen;
  {
    TForm form(nullptr);
    auto* edit = form.Make<TEdit>();
    edit->SetParent(&form);
    edit->SetText("still here");
    form.OnDestroy = [&seen, edit](TObject*) { seen = edit->Text(); };
  }
  EXPECT_EQ(seen, "still here");
}

TEST(FormLife, ClosingAskesFirstAndOnCloseMayRefuse) {
  TForm form(nullptr);
  form.Show();
  bool allow = false;
  std::string log;
  form.OnCloseQuery = [&](TObject*, bool& canClose) {
    log += "query ";
    canClose = allow;
  };
  form.OnClose = [&](TObject*, TCloseAction& action) {
    log += "close ";
    if (action == caHide) action = caNone;
  };
  form.Close();
  EXPECT_TRUE(form.Visible());
  allow = true;
  form.Close();  // OnClose turned the hide into nothing
  EXPECT_TRUE(form.Visible());
  form.OnClose = nullptr;
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(log, "query query close query ");
}

TEST(FormLife, TheMainFormIsTheFirstCreatedAndClosingItEndsTheRun) {
  TForm* main = nullptr;
  TForm* second = nullptr;
  Application().CreateForm(main);
  Application().CreateForm(second);
  EXPECT_EQ(Application().MainForm(), main);
  EXPECT_EQ(main->Owner(), &Application());
  bool ran = false;
  main->OnShow = [&](TObject*) {
    ran = true;
    main->Close();
  };
  Application().Run();  // returns once the main form has closed
  EXPECT_TRUE(ran);
  EXPECT_TRUE(Application().Terminated());
  Application().DestroyForms();
  EXPECT_EQ(Application().MainForm(), nullptr);
  EXPECT_EQ(Application().ComponentCount(), 0);
}

TEST(FormLife, ACloseKindButtonClosesItsForm) {
  TForm form(nullptr);
  auto* close = form.Make<TBitBtn>();
  close->SetParent(&form);
  close->SetKind(bkClose);
  form.Show();
  close->Click();
  EXPECT_FALSE(form.Visible());
}

TEST(FormLife, FixedDialogsStillTakeSizesFromTheProgram) {
  TForm form(nullptr);
  form.SetFormBorderStyle(bsDialog);
  form.SetBounds(10, 10, 300, 200);
  form.Show();
  form.SetWidth(420);
  Application().ProcessMessages();
  // The width is the window's, frame included; the inside is what shows.
  EXPECT_EQ(form.Width(), 420);
  EXPECT_EQ(CaptureControl(form).width, form.ClientWidth());
  EXPECT_LE(form.ClientWidth(), 420);
}

TEST(FormLife, MaximisedFormsFillTheScreen) {
  TForm form(nullptr);
  form.SetWindowState(wsMaximized);
  form.Show();
  Application().ProcessMessages();
  EXPECT_EQ(form.WindowState(), wsMaximized);
  EXPECT_GT(form.Width(), 320);
}

TEST(FormLife, TheActiveControlTakesTheFocusWhenTheFormShows) {
  TForm form(nullptr);
  auto* first = form.Make<TEdit>();
  first->SetParent(&form);
  auto* second = form.Make<TEdit>();
  second->SetParent(&form);
  EXPECT_EQ(first->TabOrder(), 0);
  EXPECT_EQ(second->TabOrder(), 1);
  second->SetTabOrder(0);
  EXPECT_EQ(first->TabOrder(), 1);
  form.SetActiveControl(second);
  form.Show();
  Application().ProcessMessages();
  EXPECT_TRUE(second->Focused());
  EXPECT_FALSE(first->Focused());
  first->SetFocus();
  EXPECT_EQ(form.ActiveControl(), first);
  first->SetVisible(false);
  EXPECT_FALSE(first->CanFocus());
  EXPECT_THROW(first->SetFocus(), EInvalidOperation);
  // A control that goes away is no longer the active one (the focus has moved on to second).
  form.DestroyComponent(first);
  EXPECT_EQ(form.ActiveControl(), second);
}

TEST(ApplicationErrors, TheHandlerShowsTheMessageOrPassesItOn) {
  TTestHooksScope hooks;
  std::vector<std::string> boxes;
  TestHooks().messageBox = [&](const std::string& text, const std::string& caption,
                               uint32_t flags) {
    boxes.push_back(caption + "|" + text + "|" + std::to_string(flags));
    return IDOK;
  };
  Application().HandleException(EInvalidGraphic("Unknown picture file extension (.xyz)"));
  Application().HandleException(EAbort("silent"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "PixStamp|Unknown picture file extension (.xyz)|" +
                          std::to_string(MB_OK | MB_ICONERROR));

  std::string passed;
  Application().OnException = [&](TObject*, const std::exception& e) { passed = e.what(); };
  Application().HandleException(EReadError("broken"));
  Application().OnException = nullptr;
  EXPECT_EQ(passed, "broken");
  EXPECT_EQ(boxes.size(), 1u);
}

TEST(ApplicationErrors, PostedMessagesOfAFreedControlAreDropped) {
  TForm form(nullptr);
  struct TCounter : TCustomControl {
    using TCustomControl::TCustomControl;
    int* seen = nullptr;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_USER + 103) ++*seen;
      TCustomControl::WndProc(m);
    }
  };
  int seen = 0;
  auto* kept = form.Make<TCounter>();
  kept->seen = &seen;
  auto* freed = form.Make<TCounter>();
  freed->seen = &seen;
  PostMessage(kept, WM_USER + 103, 1, 2);
  PostMessage(freed, WM_USER + 103, 1, 2);
  form.DestroyComponent(freed);
  EXPECT_EQ(seen, 0);  // not before the current event returns
  Application().ProcessMessages();
  EXPECT_EQ(seen, 1);
}

TEST(ApplicationErrors, CustomCursorsNeedAValidPicture) {
  EXPECT_THROW(Screen().SetCustomCursor(10104, 0, 16, {}, {0, 0}), EInvalidOperation);
  EXPECT_THROW(Screen().SetCustomCursor(10104, 4, 4, std::vector<uint8_t>(15), {0, 0}),
               EInvalidOperation);
  EXPECT_FALSE(Screen().HasCursor(10104));
  std::vector<uint8_t> arrow(16 * 16, 0);
  for (int i = 0; i < 16; ++i) arrow[size_t(i) * 16 + 8] = 1;
  Screen().SetCustomCursor(10104, 16, 16, arrow, {8, 0});
  EXPECT_TRUE(Screen().HasCursor(10104));
  Screen().SetCursor(10104);
  Screen().SetCursor(crDefault);
}

}  // namespace
}  // namespace plat
