// Names that lead to no picture, chosen in the open dialogs of the shown main window: a named
// pipe, a folder, a device that never ends, a missing, empty or cut-off file, a file far larger
// than any picture, a file cut short while it is read. Each ends in a message; nothing waits, and
// the picture and the layers already there stay as they were.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "RoadSupport.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"
#include "support/NamedPipe.h"

namespace {

class FilesThatAreNoPictures : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      messages.push_back(text);
      return plat::IDOK;
    };
    plat::TestHooks().fileDialog = [this](plat::TFileDialogRequest& r) {
      r.fileName = answer;
      return true;
    };
    Start();
    form->Show();
    plat::Application().ProcessMessages();
    answer = Picture("start.bmp", 40, 30);
    Click(*form->LoadButton);
    answer = Picture("layer.bmp", 12, 8);
    Click(*form->LoadWatButton);
    ASSERT_TRUE(messages.empty());
    ASSERT_EQ(Layers(), 2);  // the layer and its frame
  }

  void Click(plat::TControl& button) {
    const plat::TPoint middle{button.Width() / 2, button.Height() / 2};
    plat::SimulateMouse(button, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(button, plat::TMouseAction::Release, plat::mbLeft, middle);
    plat::Application().ProcessMessages();
  }
  int Layers() const { return form->ImgView->Layers().Count(); }

  // Chooses name in the open dialog of button; expects one message naming it and nothing changed.
  void ExpectRefused(plat::TControl& button, const std::string& name) {
    SCOPED_TRACE(name);
    messages.clear();
    answer = name;
    Click(button);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(form->ImgView->Bitmap().Width(), 40);
    EXPECT_EQ(form->ImgView->Bitmap().Pixel(5, 5), 0xFF336699u);
    EXPECT_EQ(Layers(), 2);
  }

  // A file of size bytes that starts with head and holds nothing on the disk after it.
  std::string Sparse(const std::string& name, const std::string& head, int64_t size) {
    const std::string path = home_ + "/" + name;
    std::ofstream(path, std::ios::binary) << head;
    std::filesystem::resize_file(path, std::uintmax_t(size));
    return path;
  }

  std::string answer;
  std::vector<std::string> messages;
};

TEST_F(FilesThatAreNoPictures, AreRefusedWithAMessageOnBothOpenButtons) {
  test_support::NamedPipe pipe(home_ + "/pipe.bmp");
  ASSERT_TRUE(pipe.Made());
  std::filesystem::create_directory(home_ + "/folder.bmp");
  std::filesystem::create_symlink("/dev/zero", home_ + "/endless.bmp");
  std::ofstream(home_ + "/empty.jpg");
  const std::string bmp = road_test::ReadBytes(Picture("whole.bmp", 40, 30));
  std::ofstream(home_ + "/cut.bmp", std::ios::binary) << bmp.substr(0, bmp.size() / 2);
  const int64_t huge = int64_t(3) << 30;
  std::vector<std::string> names{
      pipe.Path(),
      home_ + "/folder.bmp",
      home_ + "/endless.bmp",
      home_ + "/missing.bmp",
      home_ + "/empty.jpg",
      home_ + "/cut.bmp",
      Sparse("huge.jpg", "\xFF\xD8\xFF", huge),
      Sparse("huge.png", "\x89PNG\r\n\x1A\n", huge),
      Sparse("huge.gif", "GIF89a", huge),
  };
  // The super-user reads every file.
  if (::geteuid() != 0) {
    names.push_back(Picture("unreadable.bmp", 4, 4));
    std::filesystem::permissions(names.back(), std::filesystem::perms::none);
  }
  for (plat::TControl* button : {form->LoadButton, form->LoadWatButton})
    for (const std::string& name : names)
      EXPECT_TRUE(pipe.ReturnsWithoutWaiting([&] { ExpectRefused(*button, name); }));
}

// Another process cuts the file short and makes it whole again while the program reads it: every
// load either takes the whole picture or says why it could not.
TEST_F(FilesThatAreNoPictures, AFileCutShortWhileReadIsLoadedWholeOrRefused) {
  const std::string whole = road_test::ReadBytes(Picture("whole.bmp", 300, 200));
  const std::string changing = home_ + "/changing.bmp";
  std::ofstream(changing, std::ios::binary) << whole;
  std::atomic<bool> done{false};
  std::thread cutter([&] {
    const int file = ::open(changing.c_str(), O_WRONLY);
    for (int turn = 0; !done; ++turn) {
      if (turn % 2 == 0) {
        static_cast<void>(::ftruncate(file, off_t(whole.size() / 3)));
      } else {
        static_cast<void>(::pwrite(file, whole.data(), whole.size(), 0));
      }
    }
    ::close(file);
  });
  for (plat::TControl* button : {form->LoadWatButton, form->LoadButton}) {
    for (int load = 0; load < 20; ++load) {
      messages.clear();
      const int layers = Layers();
      answer = changing;
      Click(*button);
      if (messages.empty()) continue;  // read whole
      EXPECT_EQ(messages.size(), 1u);
      EXPECT_EQ(Layers(), layers);
    }
  }
  done = true;
  cutter.join();
}

}  // namespace
