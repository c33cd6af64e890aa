// The main window hands its selected layer to the rotation dialog and takes the result back.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/mainwindow/EditorTexts.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/Composition.h"
#include "app/rotate/RotateDialog.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/MainWindowFixture.h"

namespace {

constexpr uint32_t kGreen = 0xFF30A040, kYellow = 0xFFF0E020;

class RotateHandOver : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->Show();
    form->LoadBackground(Picture("bg.bmp", 400, 300));
    bottom = &AddLayer("turn.bmp", kGreen, 30, 40);
    top = &AddLayer("over.bmp", kYellow, 200, 100);
    form->SelectLayer(bottom);
    form->LayerOpacity->SetPosition(100);
    form->WMScale->SetPosition(80);
    bottom->ColorMode = 2;
  }

  // A 60 x 40 picture layer of one colour with its top-left corner at (X, Y).
  gfx::TBitmapLayer& AddLayer(const std::string& name, uint32_t color, int x, int y) {
    gfx::TBitmap32 b;
    b.SetSize(60, 40);
    b.ClearWithColor(color);
    return AddPicture(name, b, x, y);
  }
  gfx::TBitmapLayer& AddPicture(const std::string& name, const gfx::TBitmap32& b, int x, int y) {
    b.SaveToFile(home_ + "/" + name);
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/" + name;
    request.X = x;
    request.Y = y;
    return form->CreatePictureLayer(nullptr, request);
  }
  // The files of the run's work folder.
  static int WorkFiles() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(plat::WorkFolder()))
      ++count;
    return count;
  }

  // Answers the dialog with Steps; counts the runs.
  void Answer(std::function<void(app::TFormRotateExample&)> steps) {
    plat::TestHooks().modal = [this, steps](plat::TCustomForm& f) {
      ++runs;
      steps(dynamic_cast<app::TFormRotateExample&>(f));
      return plat::mrNone;
    };
  }

  gfx::TBitmapLayer* Selected() const {
    return dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  }
  void ExpectSettled() const {
    EXPECT_FALSE(form->RotateBusy);
    EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
    EXPECT_EQ(form->DefaultStepCount, 12);
    EXPECT_EQ(form->DefaultStepAngle, 30);
  }

  gfx::TBitmapLayer* bottom = nullptr;
  gfx::TBitmapLayer* top = nullptr;
  int runs = 0;
};

TEST_F(RotateHandOver, ATurnedLayerComesBackInItsPlaceWithItsValuesAndAngle) {
  const int32_t index = bottom->Index();
  const int32_t count = form->ImgView->Layers().Count();
  const gfx::TFloatRect location = bottom->Location();
  Answer([](app::TFormRotateExample& d) {
    EXPECT_EQ(d.Dst->Bitmap().Width(), 87);  // a first turn: room of 1.45
    EXPECT_FALSE(d.Label2->Visible());
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
  });
  form->WMRotateChange(nullptr, 1);
  EXPECT_EQ(runs, 1);

  gfx::TBitmapLayer* turned = Selected();
  ASSERT_NE(turned, nullptr);
  EXPECT_EQ(turned->AngleCode, 10090);
  // The quarter turn and nothing around it: every pixel the picture's own.
  EXPECT_EQ(turned->Bitmap().Width(), 40);
  EXPECT_EQ(turned->Bitmap().Height(), 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(turned->Bitmap().Pixel(x, y), kGreen) << x << "," << y;
  EXPECT_EQ(turned->Index(), index);
  EXPECT_EQ(form->ImgView->Layers().Count(), count);
  EXPECT_EQ(form->ImgView->Layers().IndexOf(bottom), -1);
  EXPECT_EQ(turned->OpacityValue, 100);
  EXPECT_EQ(turned->ScalePercent, 80);
  EXPECT_EQ(turned->ColorMode, 2);
  // The turned picture keeps its centre: 10 pixels (8 at 80 %) in from the left, out at the top.
  const gfx::TFloatRect now = turned->Location();
  EXPECT_FLOAT_EQ((now.Left + now.Right) / 2, (location.Left + location.Right) / 2);
  EXPECT_FLOAT_EQ((now.Top + now.Bottom) / 2, (location.Top + location.Bottom) / 2);
  EXPECT_FLOAT_EQ(now.Left, location.Left + 10 * 0.8f);
  EXPECT_FLOAT_EQ(now.Top, location.Top - 10 * 0.8f);
  EXPECT_EQ(plat::ExtractFilePath(form->RotateWorkFile), plat::WorkFolder());
  ExpectSettled();
}

TEST_F(RotateHandOver, ALaterTurnStartsFromTheRecordedAngleAndKeepsTheSteps) {
  Answer([](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
  });
  form->WMRotateChange(nullptr, 1);

  Answer([](app::TFormRotateExample& d) {
    // The turned layer holds its picture alone, so it needs the room of a first turn.
    EXPECT_EQ(d.Dst->Bitmap().Width(), 87);
    EXPECT_EQ(d.Label2->Caption(), "(Old : 90°)");
    d.StepsEdit->SetText("8");
    d.AngleEdit->SetText("45");
    d.StepButtonClick(nullptr);
    d.Button90Click(nullptr);
    d.CloseButtonClick(nullptr);
  });
  form->WMRotateChange(nullptr, 2);
  gfx::TBitmapLayer* turned = Selected();
  ASSERT_NE(turned, nullptr);
  EXPECT_EQ(turned->AngleCode, 10135);
  EXPECT_EQ(turned->StepCount, 8);
  EXPECT_EQ(turned->StepAngle, 45);
  ExpectSettled();

  // The kept steps are what the next stamping dialog starts from.
  Answer([](app::TFormRotateExample& d) {
    EXPECT_EQ(d.StepsEdit->Text(), "8");
    EXPECT_EQ(d.AngleEdit->Text(), "45");
  });
  form->WMRotateChange(nullptr, 2);
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(Selected(), turned);
}

// Grey scale switched off reloads a turned layer's own turned picture, even after another
// layer's turn has gone through the work file since.
TEST_F(RotateHandOver, GreyOffBringsBackTheLayersOwnTurnedPicture) {
  const auto turnBy90 = [](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
  };
  Answer(turnBy90);
  form->WMRotateChange(nullptr, 1);
  gfx::TBitmapLayer* green = Selected();
  ASSERT_NE(green, nullptr);
  gfx::TBitmap32 turnedGreen;
  turnedGreen.Assign(green->Bitmap());
  form->SelectLayer(top);
  form->WMRotateChange(nullptr, 1);

  form->SelectLayer(green);
  for (bool gray : {true, false}) {
    plat::TestHooks().modal = [gray](plat::TCustomForm& f) {
      dynamic_cast<app::TToolsMenuForm&>(f).GrayCheckBox->SetChecked(gray);
      return plat::mrNone;
    };
    form->OpenColorFunctions(nullptr);
  }
  EXPECT_FALSE(green->GrayFlag);
  EXPECT_TRUE(green->Bitmap().Equal(turnedGreen));
}

TEST_F(RotateHandOver, CancelOrTheCloseBoxLeaveTheLayerAsItWas) {
  for (bool closeBox : {false, true}) {
    Answer([closeBox](app::TFormRotateExample& d) {
      d.Button360Click(nullptr);
      if (!closeBox) d.CancelButton->Click();
    });
    form->WMRotateChange(nullptr, 1);
    EXPECT_EQ(Selected(), bottom);
    EXPECT_EQ(bottom->AngleCode, 0);
    EXPECT_EQ(bottom->Bitmap().Width(), 60);
    EXPECT_FALSE(plat::FileExists(form->RotateWorkFile));
    ExpectSettled();
  }
}

// Stamped copies come back as the dialog's canvas in the work file.
TEST_F(RotateHandOver, AnUnreadableResultKeepsTheLayerAndReportsTheError) {
  const int32_t index = bottom->Index();
  Answer([this](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
    // Damaged after the dialog wrote it.
    plat::WriteFileAtomically(form->RotateWorkFile, std::string("BM\x36\x00\x00\x00", 6));
  });
  EXPECT_ANY_THROW(form->WMRotateChange(nullptr, 2));
  EXPECT_EQ(form->ImgView->Layers().IndexOf(bottom), index);
  EXPECT_EQ(bottom->Bitmap().Width(), 60);
  EXPECT_EQ(bottom->Bitmap().Pixel(0, 0), kGreen);
  ExpectSettled();

  // Rotation still works afterwards.
  Answer([](app::TFormRotateExample& d) { d.CloseButtonClick(nullptr); });
  form->SelectLayer(bottom);
  form->WMRotateChange(nullptr, 1);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(Selected()->AngleCode, 10000);
}

TEST_F(RotateHandOver, ALayerTooLargeToTurnIsRefusedBeforeTheDialogShows) {
  gfx::TBitmapLayer& wide = AddLayer("wide.bmp", kGreen, 0, 0);
  wide.Bitmap().SetSize(11300, 2);
  Answer([](app::TFormRotateExample&) {});
  EXPECT_THROW(form->WMRotateChange(nullptr, 1), gfx::EBitmapException);
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(Selected(), &wide);
  EXPECT_EQ(wide.Bitmap().Width(), 11300);
  ExpectSettled();
}

TEST_F(RotateHandOver, WithoutAPictureLayerOrWhileBusyNoDialogOpens) {
  Answer([](app::TFormRotateExample&) {});
  form->SelectLayer(nullptr);
  form->DefaultStepCount = 0;
  form->WMRotateChange(nullptr, 1);
  EXPECT_EQ(runs, 0);
  ExpectSettled();

  form->SelectLayer(top);
  form->RotateBusy = true;
  form->WMRotateChange(nullptr, 1);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(form->RotateBusy);
  form->RotateBusy = false;
}

// Through the dialog's own modal run, OK clicked with the mouse and nothing turned: the layer's
// pixels come back unchanged, transparency and keyed pixels included, at the same size and in
// the same place on the screen, also for a layer turned before.
TEST_F(RotateHandOver, AnUntouchedOkByHandGivesBackTheSamePicture) {
  plat::TestHooks().screenSize.reset();
  gfx::TBitmap32 picture;
  picture.SetSize(61, 37);
  std::mt19937 random(5);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x) picture.SetPixel(x, y, random() % 4 ? random() : 0xFF010101);
  gfx::TBitmapLayer* layer = &AddPicture("soft.bmp", picture, 123, 57);
  form->SelectLayer(nullptr);
  const auto before = app::ComposePicture(*form->ImgView);
  for (int pass = 0; pass < 2; ++pass) {
    form->SelectLayer(layer);
    plat::TTimer click(nullptr);
    click.SetInterval(20);
    click.OnTimer = [&](plat::TObject*) {
      auto* dialog = dynamic_cast<app::TFormRotateExample*>(plat::Screen().ActiveForm());
      if (!dialog || !dialog->CloseButton->Visible()) return;
      click.SetEnabled(false);
      const plat::TPoint middle{dialog->CloseButton->Width() / 2,
                                dialog->CloseButton->Height() / 2};
      plat::SimulateMouse(*dialog->CloseButton, plat::TMouseAction::Press, plat::mbLeft, middle);
      plat::SimulateMouse(*dialog->CloseButton, plat::TMouseAction::Release, plat::mbLeft, middle);
    };
    click.SetEnabled(true);
    form->WMRotateChange(nullptr, 1);
    layer = Selected();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->AngleCode, 10000);
    EXPECT_EQ(layer->Bitmap().Width(), 61);
    form->SelectLayer(nullptr);
    EXPECT_TRUE(app::ComposePicture(*form->ImgView)->Equal(*before)) << pass;
  }
  ExpectSettled();
}

// A file the dialog did not write - here one that came back after Cancel erased it - is not a
// result: no angle is recorded on the unturned layer, and the file goes.
TEST_F(RotateHandOver, OnlyWhatOkWroteIsTakenBack) {
  Answer([this](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CancelButton->Click();
    bottom->Bitmap().SaveToFile(form->RotateWorkFile);
  });
  form->WMRotateChange(nullptr, 1);
  EXPECT_EQ(Selected(), bottom);
  EXPECT_EQ(bottom->AngleCode, 0);
  EXPECT_FALSE(plat::FileExists(form->RotateWorkFile));
  ExpectSettled();
}

TEST_F(RotateHandOver, AResultGoneAfterOkIsReportedAndTheLayerStays) {
  std::string told;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    told = text;
    return 1;
  };
  Answer([this](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
    plat::DeleteFile(form->RotateWorkFile);
  });
  form->WMRotateChange(nullptr, 1);
  EXPECT_NE(told.find(app::LostResultText), std::string::npos) << told;
  EXPECT_EQ(Selected(), bottom);
  EXPECT_EQ(bottom->AngleCode, 0);
  EXPECT_EQ(bottom->Bitmap().Width(), 60);
  ExpectSettled();
}

// A temp cleaner takes the run's work folder: the next hand-over makes it again.
TEST_F(RotateHandOver, AVanishedWorkFolderIsMadeAgain) {
  std::filesystem::remove_all(plat::WorkFolder());
  Answer([](app::TFormRotateExample& d) { d.CloseButtonClick(nullptr); });
  form->WMRotateChange(nullptr, 1);
  ASSERT_NE(Selected(), bottom);
  EXPECT_EQ(Selected()->AngleCode, 10000);
  EXPECT_TRUE(plat::FileExists(Selected()->SourceFile));
}

// Each layer keeps one file of its own in the work folder, whatever it went through; erasing the
// layer, or loading another background, removes it.
TEST_F(RotateHandOver, LayersKeepOneFileEachAndTakeItWithThem) {
  Answer([](app::TFormRotateExample& d) {
    d.Button90Click(nullptr);
    d.CloseButtonClick(nullptr);
  });
  for (int turn = 0; turn < 6; ++turn) form->WMRotateChange(nullptr, 1);
  gfx::TBitmapLayer* turned = Selected();
  EXPECT_EQ(WorkFiles(), 1);
  form->SelectLayer(top);
  form->WMRotateChange(nullptr, 1);
  EXPECT_EQ(WorkFiles(), 2);

  gfx::TBitmap32 pasted;
  pasted.SetSize(30, 20);
  pasted.ClearWithColor(kYellow);
  app::CopyPictureToClipboard(pasted);
  form->AddLayerClipClick(nullptr);
  ASSERT_EQ(Selected()->Bitmap().Width(), 30);
  EXPECT_EQ(WorkFiles(), 3);
  form->clearButtonClick(nullptr);
  EXPECT_EQ(WorkFiles(), 2);
  form->SelectLayer(turned);
  form->clearButtonClick(nullptr);
  EXPECT_EQ(WorkFiles(), 1);
  form->LoadBackground(Picture("next.bmp", 50, 50));
  EXPECT_EQ(WorkFiles(), 0);
}

}  // namespace
