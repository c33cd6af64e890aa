// A main window made in a private home folder, with the command line a test chooses.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/mainwindow/CommandLine.h"
#include "app/mainwindow/MainUnit.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pixstamp-main-XXXXXX";
    home_ = mkdtemp(pattern);
    setenv("PIXSTAMP_HOME", home_.c_str(), 1);
    // The run's work folder comes afresh under this home: an earlier test's may be gone with its
    // own home.
    plat::RemoveWorkFolder();
    plat::TestHooks().screenSize = plat::TSize{1280, 1024};
  }
  void TearDown() override {
    form.reset();
    // The run's work folder lives under the home folder that goes next.
    plat::RemoveWorkFolder();
    plat::TestHooks() = plat::TTestHooks{};
    app::SetProgramArguments({});
    unsetenv("PIXSTAMP_HOME");
    std::system(("rm -rf '" + home_ + "'").c_str());
  }
  void Start(std::vector<std::string> arguments = {}) {
    app::SetProgramArguments(std::move(arguments));
    form = std::make_unique<app::TMainForm>(nullptr);
  }
  // Started with the picture on the command line, loaded by the start-up timer, and showing.
  void StartShowing(const std::string& picture) {
    Start({picture});
    form->TimerEllapsed(form->Timer1);
    form->TimerEllapsed(form->Timer1);
    form->Show();
    plat::Application().ProcessMessages();
  }
  // A 32-bit BMP picture of the given size in the home folder.
  std::string Picture(const std::string& name, int width, int height) {
    gfx::TBitmap32 b;
    b.SetSize(width, height);
    b.ClearWithColor(0xFF336699);
    std::string path = home_ + "/" + name;
    b.SaveToFile(path);
    return path;
  }
  // From now on every message box is answered OK, its text noted in `messages`.
  void NoteMessages() {
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      messages.push_back(text);
      return plat::IDOK;
    };
  }
  std::string home_;
  std::unique_ptr<app::TMainForm> form;
  std::vector<std::string> messages;
};
