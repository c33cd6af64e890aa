// Standard controls: own flags, synchronous layout, and the component library's event rules.
#include <gtest/gtest.h>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/Waiting.h"

namespace plat {
namespace {

template <class T>
T* Add(TForm& form, TWinControl* parent = nullptr) {
  T* control = form.Make<T>();
  control->SetParent(parent ? parent : &form);
  return control;
}

TEST(Components, OwnersFreeWhatTheyOwnAndForgetWhatGoesFirst) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* a = owner->Make<TComponent>();
  a->SetName("Alpha");
  {
    TComponent held(owner.get());  // owned in memory by this scope
    held.SetName("Held");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("HELD"), &held);
  }
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->FindComponent("held"), nullptr);
  EXPECT_THROW(owner->Make<TComponent>()->SetName("alpha"), EComponentError);

  // Free notification reaches the watcher whichever side goes first.
  struct TWatcher : TComponent {
    using TComponent::TComponent;
    TComponent* gone = nullptr;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opRemove) gone = c;
    }
  };
  auto* watcher = owner->Make<TWatcher>();
  a->FreeNotification(watcher);
  owner->DestroyComponent(a);
  EXPECT_EQ(watcher->gone, a);
  EXPECT_EQ(owner->FindComponent("Alpha"), nullptr);
}

TEST(Controls, EnabledAndVisibleReadBackTheControlsOwnFlags) {
  TForm form(nullptr);
  auto* panel = Add<TPanel>(form);
  auto* button = Add<TButton>(form, panel);
  panel->SetEnabled(false);
  panel->SetVisible(false);
  EXPECT_TRUE(button->Enabled());
  EXPECT_TRUE(button->Visible());
  EXPECT_FALSE(button->Showing());
  button->SetVisible(false);
  panel->SetVisible(true);
  EXPECT_FALSE(button->Visible());
  EXPECT_FALSE(form.Visible());  // forms start hidden
}

TEST(Controls, AlignmentAndResizingHappenAtOnceEvenWhileHidden) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* top = Add<TPanel>(form);
  top->SetHeight(40);
  top->SetAlign(alTop);
  auto* side = Add<TPanel>(form);
  side->SetWidth(130);
  side->SetAlign(alRight);
  auto* view = Add<TPanel>(form);
  int resizes = 0;
  view->OnResize = [&](TObject*) { ++resizes; };
  view->SetAlign(alClient);
  EXPECT_EQ(view->BoundsRect(), (TRect{0, 40, 270, 300}));
  EXPECT_EQ(resizes, 1);
  auto* anchored = Add<TButton>(form, side);
  anchored->SetBounds(10, 200, 100, 25);
  anchored->SetAnchors((1 << akLeft) | (1 << akBottom));

  form.SetBounds(0, 0, 500, 360);
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 500, 40}));
  EXPECT_EQ(side->BoundsRect(), (TRect{370, 40, 500, 360}));
  EXPECT_EQ(view->BoundsRect(), (TRect{0, 40, 370, 360}));
  EXPECT_EQ(anchored->Top(), 260);  // followed the bottom edge by 60
  EXPECT_EQ(resizes, 2);

  // Hiding an aligned control gives its room to the others at once.
  side->SetVisible(false);
  EXPECT_EQ(view->Width(), 500);
  EXPECT_EQ(view->ClientToScreen({1, 2}), (TPoint{1, 42}));
}

TEST(Controls, ChildrenSitInsideTheirParentsBorder) {
  TForm form(nullptr);
  auto* frame = Add<TPanel>(form);
  frame->SetBounds(10, 10, 50, 40);
  frame->SetBevelOuter(bvNone);
  frame->SetBorderStyle(bsSingle);
  auto* inner = Add<TPanel>(form, frame);
  inner->SetBevelOuter(bvNone);
  inner->SetColor(clRed);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->BoundsRect(), (TRect{0, 0, 48, 38}));
  EXPECT_EQ(inner->ClientToScreen({0, 0}), frame->ClientToScreen({0, 0}));
  form.Show();
  TCapturedImage image = CaptureControl(*frame);
  EXPECT_NE(image.Pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.Pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.Pixel(48, 38) & 0xFFFFFF, 0xFF0000u);
  EXPECT_NE(image.Pixel(49, 39) & 0xFFFFFF, 0xFF0000u);
}

TEST(Controls, CheckBoxesAndRadioButtonsClickWhenCodeChangesThem) {
  TForm form(nullptr);
  auto* box = Add<TCheckBox>(form);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2);

  auto* first = Add<TRadioButton>(form);
  auto* second = Add<TRadioButton>(form);
  std::string log;
  first->OnClick = [&](TObject*) { log += "first "; };
  second->OnClick = [&](TObject*) { log += "second "; };
  first->SetChecked(true);
  second->SetChecked(true);  // turns the first off without a click for it
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(log, "first second ");
}

TEST(Controls, RadioGroupsClickOnANewItemButNotOnNone) {
  TForm form(nullptr);
  auto* group = Add<TRadioGroup>(form);
  group->Items()->Add("Add");
  group->Items()->Add("Sub");
  group->Items()->Add("Modulate");
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  group->SetItemIndex(1);
  group->SetItemIndex(1);
  EXPECT_EQ(clicks, 1);
  group->SetItemIndex(-1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(group->ItemIndex(), -1);
  group->SetItemIndex(7);  // out of range: none
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(clicks, 1);
}

TEST(Controls, EditsReportEveryChangeCombosNotProgramText) {
  TForm form(nullptr);
  auto* edit = Add<TEdit>(form);
  int edits = 0;
  edit->OnChange = [&](TObject*) { ++edits; };
  edit->SetText("12");
  edit->SetText("12");
  EXPECT_EQ(edits, 1);

  auto* combo = Add<TComboBox>(form);
  for (const char* s : {"5%", "10%", "50%"}) combo->Items()->Add(s);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetText("50%");
  EXPECT_EQ(combo->Text(), "50%");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetText("37%");
  EXPECT_EQ(combo->Text(), "37%");
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "5%");
  EXPECT_EQ(changes, 0);
}

TEST(Controls, ListBoxesSortCaseInsensitivelyAndFindItemsByPosition) {
  TForm form(nullptr);
  auto* list = Add<TListBox>(form);
  list->SetBounds(0, 0, 120, 200);
  for (const char* s : {"banana", "Cherry", "apple"}) list->Items()->Add(s);
  list->SetSorted(true);
  list->Items()->Add("Apricot");
  ASSERT_EQ(list->Count(), 4);
  std::vector<std::string> order;
  for (int i = 0; i < list->Count(); ++i) order.push_back(list->Items()->Strings(i));
  EXPECT_EQ(order, (std::vector<std::string>{"apple", "Apricot", "banana", "Cherry"}));

  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->SetItemIndex(2);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 0);
  list->DeleteSelected();
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Items()->Strings(2), "Cherry");

  int h = list->ItemHeight();
  EXPECT_EQ(list->ItemAtPos({5, h + h / 2}, true), 1);
  EXPECT_EQ(list->ItemAtPos({5, 10 * h}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 10 * h}, false), 3);
}

TEST(Controls, UpDownFollowsItsEdit) {
  TForm form(nullptr);
  auto* edit = Add<TEdit>(form);
  auto* updown = Add<TUpDown>(form);
  updown->SetMax(20000);
  updown->SetAssociate(edit);
  EXPECT_EQ(edit->Text(), "0");
  edit->SetText("1,280");
  EXPECT_EQ(updown->Position(), 1280);
  updown->SetPosition(12345);
  EXPECT_EQ(edit->Text(), "12345");
  updown->SetPosition(70000);  // past Max
  EXPECT_EQ(updown->Position(), 20000);
  edit->SetText("not a number");
  EXPECT_EQ(updown->Position(), 20000);
  updown->ArrowClick(btPrev);
  EXPECT_EQ(edit->Text(), "19999");
  // The edit going away leaves the arrows working on their own.
  form.DestroyComponent(edit);
  EXPECT_EQ(updown->Associate(), nullptr);
  updown->ArrowClick(btNext);
  EXPECT_EQ(updown->Position(), 20000);
}

TEST(Controls, ScrollBarsStopOnePageBeforeMaxAndReportChanges) {
  TForm form(nullptr);
  auto* bar = Add<TScrollBar>(form);
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->SetParams(0, 0, 1000000);
  bar->SetPageSize(201);
  bar->SetPosition(999999);
  EXPECT_EQ(bar->Position(), 999999);
  EXPECT_EQ(bar->TrackPosition(), 1000000 - 201 + 1);
  EXPECT_EQ(changes, 1);
  bar->SetPosition(999999);
  EXPECT_EQ(changes, 1);
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
}

TEST(Controls, ButtonKindsAndSpeedButtonGroups) {
  TForm form(nullptr);
  auto* ok = Add<TBitBtn>(form);
  ok->SetKind(bkOK);
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->Default());
  auto* no = Add<TBitBtn>(form);
  no->SetKind(bkNo);
  EXPECT_TRUE(no->Cancel());

  auto* a = Add<TSpeedButton>(form);
  auto* b = Add<TSpeedButton>(form);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  a->Click();
  EXPECT_TRUE(a->Down());
  b->Click();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  b->SetDown(false);  // the last one down stays down without AllowAllUp
  EXPECT_TRUE(b->Down());
}

TEST(Controls, ColorGridAndSpinEdit) {
  TForm form(nullptr);
  auto* grid = Add<TColorGrid>(form);
  int changes = 0;
  grid->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(grid->ForegroundColor(), clBlack);
  grid->SetForegroundIndex(12);
  EXPECT_EQ(grid->ForegroundColor(), clBlue);
  EXPECT_EQ(changes, 1);
  grid->SetBounds(0, 0, 80, 80);
  EXPECT_EQ(grid->ColorIndexAt(79, 79), 15);
  EXPECT_EQ(grid->ColorIndexAt(25, 5), 1);

  auto* spin = Add<TSpinEdit>(form);
  spin->SetMinValue(2);
  spin->SetMaxValue(18);
  int spins = 0;
  spin->OnChange = [&](TObject*) { ++spins; };
  spin->SetValue(40);
  EXPECT_EQ(spin->Value(), 18);
  EXPECT_EQ(spins, 1);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(Controls, AControlMayFreeItselfFromItsOwnHandler) {
  TForm form(nullptr);
  auto* button = Add<TButton>(form);
  auto* timer = form.Make<TTimer>();
  bool freed = false;
  button->OnClick = [&](TObject*) {
    form.DestroyComponent(button);
    freed = true;
  };
  form.Show();
  SimulateMouse(*button, TMouseAction::Press, mbLeft, {5, 5});
  SimulateMouse(*button, TMouseAction::Release, mbLeft, {5, 5});
  EXPECT_TRUE(freed);
  EXPECT_EQ(form.ControlCount(), 0);
  timer->OnTimer = [&](TObject*) { form.DestroyComponent(timer); };
  timer->SetInterval(1);
  test_support::WaitUntil("the posted release to free the timer",
                          [&] { return form.ComponentCount() == 0; });
  EXPECT_EQ(form.ComponentCount(), 0);
}

}  // namespace
}  // namespace plat
