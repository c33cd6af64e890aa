// Handlers the main window offers to its stored layout by name, also those no control of the
// shipped layout binds.
#include <cstring>
#include <string>
#include <vector>

#include "app/rotate/RotateDialog.h"
#include "platform/windows/EmbeddedLayouts.h"
#include "platform/windows/FormReader.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

const plat::TEmbeddedLayout& ShippedLayout() {
  for (const plat::TEmbeddedLayout* l = plat::kEmbeddedLayouts; l->name; ++l)
    if (std::strcmp(l->name, "MainForm") == 0) return *l;
  throw std::runtime_error("no MainForm layout");
}

// The main window read from its shipped layout with one button more for each handler.
class PublishedHandlers : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    plat::RegisterEmbeddedLayouts();
    std::string text = ShippedLayout().text;
    std::string buttons;
    for (const char* handler : kHandlers)
      buttons +=
          "  TButton Bound" + std::string(handler) + " {\n    OnClick = " + handler + "\n  }\n";
    text.insert(text.rfind('}'), buttons);
    plat::RegisterLayout("MainForm", text, "forms/MainForm.form");
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().modal = [this](plat::TCustomForm& f) {
      shown.push_back(f.ClassName());
      return plat::mrCancel;
    };
    Start();
    form->Show();
  }
  void TearDown() override {
    MainWindow::TearDown();
    const plat::TEmbeddedLayout& shipped = ShippedLayout();
    plat::RegisterLayout("MainForm", shipped.text, shipped.fileName);
  }
  void Click(const std::string& handler) {
    auto* button = dynamic_cast<plat::TButton*>(form->FindComponent("Bound" + handler));
    ASSERT_NE(button, nullptr) << handler;
    button->Click();
  }

  static constexpr const char* kHandlers[] = {
      "mnFileClick",        "Basics1Click",   "CommandLine1Click", "About1Click",
      "RotateFunctionCall", "mnFileNewClick", "Flatten",           "OnResizeEvent"};
  std::string answer;
  std::vector<std::string> shown;
};

TEST_F(PublishedHandlers, EveryHandlerBindsByNameAndDoesItsPart) {
  form->LoadBackground(Picture("bg.bmp", 64, 48));
  app::TPictureLayerRequest request;
  request.FileName = Picture("layer.bmp", 20, 10);
  form->CreatePictureLayer(nullptr, request);
  form->Modified = false;

  // The menu handlers and the view's resize leave everything as it was.
  for (const char* handler :
       {"mnFileClick", "Basics1Click", "CommandLine1Click", "About1Click", "OnResizeEvent"})
    Click(handler);
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(form->Modified);
  EXPECT_EQ(form->ImgView->Layers().Count(), 2);
  ASSERT_TRUE(form->ImgView->OnResize);

  // Rotation without filling hands the selected layer to the rotation dialog.
  Click("RotateFunctionCall");
  EXPECT_EQ(shown, (std::vector<std::string>{"TFormRotateExample"}));

  // Flatten bakes the layer in; New drops the layers and asks for a picture.
  Click("Flatten");
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(5, 5), 0xFF336699u);
  form->CreatePictureLayer(nullptr, request);
  answer = Picture("next.bmp", 30, 20);
  // Asked once about the unsaved layer, which the user lets go.
  int questions = 0;
  plat::TestHooks().messageBox = [&questions](const std::string&, const std::string&, uint32_t) {
    ++questions;
    return plat::IDNO;
  };
  Click("mnFileNewClick");
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 30);
}

}  // namespace
