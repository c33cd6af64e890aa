// The program of this build started as a user starts it, in a home of its own (PIXSTAMP_HOME),
// and what it leaves there.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "graphics/bitmap/Bitmap32.h"
#include "support/ChildProcess.h"
#include "support/ScratchFolder.h"
#include "support/Waiting.h"

namespace program_test {

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A saved text the settings file held before the run; every way of ending keeps it.
inline constexpr char kKeptText[] = "kept from the last run";

class RunningProgram : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(home.Path() / "pictures");
    gfx::TBitmap32 picture;
    picture.SetSize(64, 48);
    picture.ClearWithColor(0xFF336699);
    picture.SaveToFile(Picture());
    StartAfresh();
  }

  // As before the first run: no data folders yet, the settings file of the last run.
  void StartAfresh() {
    std::filesystem::remove_all(home.Path() / "data");
    std::filesystem::create_directories(home.Path() / "config");
    std::ofstream(Settings()) << app::TextItemKey << kKeptText << "\n";
  }

  std::string Picture() const { return home.File("pictures/start.bmp"); }
  std::string PictureFolderLine() const {
    return std::string(app::BackgroundFolderName) + std::string(app::FolderKeySuffix) +
           home.File("pictures/");
  }
  std::string Settings() const { return home.File("config/settings.ini"); }
  std::string Output() const { return ReadText(home.File("output.txt")); }

  // Starts the program with arguments after its name; variables go into its environment.
  void Start(const std::vector<std::string>& arguments, std::vector<std::string> variables = {}) {
    std::vector<std::string> argv{"pixstamp"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    variables.push_back("PIXSTAMP_HOME=" + home.Path().string());
    program = std::make_unique<test_support::ChildProcess>(test_support::ProgramFile(), argv,
                                                           variables, home.File("output.txt"));
    ASSERT_TRUE(program->Started());
  }

  // The main window has been set up (its folders are made once the settings are read).
  bool SetUpDone() {
    return test_support::WaitUntil("the program to read its settings", [&] {
      return std::filesystem::exists(home.Path() / "data/Layers") || !program->Running();
    });
  }

  // Sends the signal and waits for the end; true when the program ended by it.
  bool EndsBy(int number) {
    if (!program->Signal(number)) return false;
    const auto status = program->Wait();
    return status && WIFSIGNALED(*status) && WTERMSIG(*status) == number;
  }

  // Whether the settings file holds the line.
  bool SettingsHold(const std::string& line) const {
    const std::string text = "\n" + ReadText(Settings());
    return text.find("\n" + line + "\n") != std::string::npos;
  }

  // Folders and files the run's work left under the home (work folders live in tmp).
  std::vector<std::string> WorkLeft() const {
    std::vector<std::string> left;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(home.Path() / "tmp", ignored))
      left.push_back(entry.path().string());
    return left;
  }

  test_support::ScratchFolder home;
  std::unique_ptr<test_support::ChildProcess> program;
};

}  // namespace program_test
