// A modal form is a dialog of its owner's window while it runs; a form's bounds are its outer
// window, frame included, and its client size the inside.
#include <gtest/gtest.h>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

// How the dialog's window looks while it runs modally (a timer looks, then closes it).
TWindowRelations RelationsWhileModal(TForm& dialog) {
  TWindowRelations seen;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    seen = DescribeWindow(dialog);
    dialog.SetModalResult(mrOk);
  };
  dialog.ShowModal();
  return seen;
}

TEST(WindowFrames, AModalFormIsADialogOfItsOwnersWindow) {
  TForm owner(nullptr);
  owner.SetBounds(20, 20, 500, 400);
  owner.Show();
  Application().ProcessMessages();
  auto* dialog = owner.Make<TForm>();
  dialog->SetFormBorderStyle(bsDialog);
  dialog->SetBounds(60, 60, 240, 160);
  TWindowRelations running = RelationsWhileModal(*dialog);
  EXPECT_EQ(running.transientFor, &owner);
  EXPECT_TRUE(running.dialog);
  EXPECT_FALSE(running.minimizeButton);
  EXPECT_FALSE(running.maximizeButton);
  // A sizeable one may be maximised, still never minimised.
  dialog->SetFormBorderStyle(bsSizeable);
  running = RelationsWhileModal(*dialog);
  EXPECT_TRUE(running.dialog);
  EXPECT_FALSE(running.minimizeButton);
  EXPECT_TRUE(running.maximizeButton);
  // Shown plainly afterwards, it is an ordinary window again.
  dialog->Show();
  Application().ProcessMessages();
  TWindowRelations plain = DescribeWindow(*dialog);
  EXPECT_FALSE(plain.dialog);
  EXPECT_EQ(plain.transientFor, nullptr);
  dialog->Hide();
}

TEST(WindowFrames, AFormWithoutAShownOwnerBelongsToTheMainForm) {
  TForm lonely(nullptr);
  lonely.SetBounds(60, 60, 240, 160);
  TWindowRelations running = RelationsWhileModal(lonely);
  EXPECT_TRUE(running.dialog);
  EXPECT_EQ(running.transientFor, Application().MainForm());  // none in this suite
}

TEST(WindowFrames, BoundsAreTheOuterWindowAndTheClientTheInside) {
  TForm form(nullptr);
  form.Show();
  Application().ProcessMessages();
  // The frame is known once a window showed: the bounds place it.
  form.SetBounds(20, 30, 400, 300);
  Application().ProcessMessages();
  TWindowRelations shown = DescribeWindow(form);
  EXPECT_EQ(shown.frame, (TRect{20, 30, 420, 330}));
  EXPECT_EQ(form.BoundsRect(), shown.frame);
  EXPECT_EQ(form.ClientWidth(), shown.client.Width());
  EXPECT_EQ(form.ClientHeight(), shown.client.Height());
  EXPECT_EQ(form.ClientOrigin(), (TPoint{shown.client.Left, shown.client.Top}));
  // A form fitted to the screen keeps its title bar on it.
  form.SetBounds(5, 5, Screen().Width() - 10, Screen().Height() - 10);
  Application().ProcessMessages();
  shown = DescribeWindow(form);
  EXPECT_EQ(shown.frame, (TRect{5, 5, Screen().Width() - 5, Screen().Height() - 5}));
  EXPECT_GT(shown.client.Top, shown.frame.Top);
  // The inside keeps its size when asked for by ClientWidth.
  form.SetClientWidth(300);
  Application().ProcessMessages();
  EXPECT_EQ(DescribeWindow(form).client.Width(), 300);
  EXPECT_EQ(form.Width(), 300 + shown.frame.Width() - shown.client.Width());
}

}  // namespace
}  // namespace plat
