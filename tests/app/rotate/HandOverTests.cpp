// The main window hands its selected layer to the rotation dialog and takes the result back.
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/rotate/RotateDialog.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

constexpr uint32_t kGreen = 0xFF30A040, kYellow = 0xFFF0E020;

class RotateHandOver : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    // The run's work folder was made inside an earlier test's home, which is gone.
    plat::ForceDirectories(plat::WorkFolder());
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
    b.SaveToFile(home_ + "/" + name);
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/" + name;
    request.X = x;
    request.Y = y;
    return form->CreatePictureLayer(nullptr, request);
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
  EXPECT_EQ(turned->Bitmap().Width(), 87);
  // The linear sampling of an opaque picture may come out a step lower.
  const uint32_t middle = turned->Bitmap().Pixel(43, 43);
  for (int shift = 0; shift < 32; shift += 8)
    EXPECT_LE(std::abs(int((middle >> shift) & 255) - int((kGreen >> shift) & 255)), 1) << shift;
  EXPECT_EQ(turned->Index(), index);
  EXPECT_EQ(form->ImgView->Layers().Count(), count);
  EXPECT_EQ(form->ImgView->Layers().IndexOf(bottom), -1);
  EXPECT_EQ(turned->OpacityValue, 100);
  EXPECT_EQ(turned->ScalePercent, 80);
  EXPECT_EQ(turned->ColorMode, 2);
  // On its larger canvas the turned picture keeps its centre, to the whole pixel.
  const gfx::TFloatRect now = turned->Location();
  EXPECT_NEAR((now.Left + now.Right) / 2, (location.Left + location.Right) / 2, 0.5f);
  EXPECT_NEAR((now.Top + now.Bottom) / 2, (location.Top + location.Bottom) / 2, 0.5f);
  EXPECT_FLOAT_EQ(now.Left, std::nearbyint(now.Left));
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
    EXPECT_EQ(d.Dst->Bitmap().Width(), 91);  // 87 turned before: room of 1.05
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

TEST_F(RotateHandOver, AnUnreadableResultKeepsTheLayerAndReportsTheError) {
  const int32_t index = bottom->Index();
  Answer([this](app::TFormRotateExample& d) {
    d.Button180Click(nullptr);
    d.CloseButtonClick(nullptr);
    // Damaged after the dialog wrote it.
    plat::WriteFileAtomically(form->RotateWorkFile, std::string("BM\x36\x00\x00\x00", 6));
  });
  EXPECT_ANY_THROW(form->WMRotateChange(nullptr, 1));
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

}  // namespace
