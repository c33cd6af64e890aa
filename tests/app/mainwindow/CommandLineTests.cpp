// The command line's paths: files, folders, the layer argument and its default, case kept.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/mainwindow/CommandLine.h"

namespace {

class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pixstamp-args-XXXXXX";
    root_ = mkdtemp(pattern);
    std::system(
        ("mkdir -p '" + root_ + "/Pics:2' '" + root_ + "/layers' '" + root_ + "/cwd'").c_str());
    Touch(root_ + "/Pics:2/IMG_01.JPG");
    Touch(root_ + "/cwd/logo.png");
    defaultLayer_ = root_ + "/layers/default-layer.png";
    char current[4096];
    savedCwd_ = getcwd(current, sizeof current);
    ASSERT_EQ(chdir((root_ + "/cwd").c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(savedCwd_.c_str()), 0);
    std::system(("rm -rf '" + root_ + "'").c_str());
  }
  static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
  app::TStartupPaths Paths(const std::vector<std::string>& args) {
    return app::StartupPathsFromArguments(args, defaultLayer_);
  }
  std::string root_, defaultLayer_, savedCwd_;
};

TEST_F(CommandLine, NoneOrMoreThanTwoArgumentsAreIgnored) {
  EXPECT_FALSE(Paths({}).Given);
  auto three = Paths({"a.jpg", "b.png", "c.png"});
  EXPECT_FALSE(three.Given);
  EXPECT_EQ(three.BackgroundPath, "");
  EXPECT_EQ(three.LayerPath, "");
}

TEST_F(CommandLine, OnePictureKeepsItsCaseAndFallsBackToItsFolderForTheLayer) {
  const std::string picture = root_ + "/Pics:2/IMG_01.JPG";
  auto p = Paths({picture});
  EXPECT_TRUE(p.Given);
  EXPECT_FALSE(p.BackgroundIsFolder);
  EXPECT_EQ(p.BackgroundPath, picture);
  EXPECT_EQ(p.SaveFileName, picture);
  EXPECT_EQ(p.LayerPath, root_ + "/Pics:2/");  // no default layer picture yet

  Touch(defaultLayer_);
  EXPECT_EQ(Paths({picture}).LayerPath, defaultLayer_);
}

TEST_F(CommandLine, RelativeArgumentsBecomeAbsolute) {
  auto p = Paths({"../Pics:2/IMG_01.JPG", "logo.png"});
  EXPECT_EQ(p.BackgroundPath, root_ + "/Pics:2/IMG_01.JPG");
  EXPECT_EQ(p.LayerPath, root_ + "/cwd/logo.png");  // exists beside us
}

TEST_F(CommandLine, AFolderIsAskedOfTheFileSystemWithOrWithoutItsSlash) {
  for (const std::string& arg : {root_ + "/Pics:2", root_ + "/Pics:2/"}) {
    SCOPED_TRACE(arg);
    auto p = Paths({arg});
    EXPECT_TRUE(p.BackgroundIsFolder);
    EXPECT_EQ(p.BackgroundPath, root_ + "/Pics:2/");
    EXPECT_EQ(p.SaveFileName, root_ + "/Pics:2/");
    EXPECT_EQ(p.LayerPath, root_ + "/Pics:2/");
  }
  // A name ending with a colon is just a (missing) file here.
  auto colon = Paths({"C:"});
  EXPECT_FALSE(colon.BackgroundIsFolder);
  EXPECT_EQ(colon.BackgroundPath, root_ + "/cwd/C:");
}

TEST_F(CommandLine, TheSecondArgumentNamesTheLayerPicture) {
  const std::string picture = root_ + "/Pics:2/IMG_01.JPG";
  // A bare name that is not here is taken from the background's folder, case kept.
  EXPECT_EQ(Paths({picture, "Missing.PNG"}).LayerPath, root_ + "/Pics:2/Missing.PNG");
  // An absolute missing name stays as it is.
  EXPECT_EQ(Paths({picture, "/nowhere/x.png"}).LayerPath, "/nowhere/x.png");
  // A folder, given with or without its slash, is a folder to start in.
  EXPECT_EQ(Paths({picture, root_ + "/Pics:2"}).LayerPath, root_ + "/Pics:2/");
  EXPECT_EQ(Paths({picture, "../Pics:2/"}).LayerPath, root_ + "/Pics:2/");
  // The default-layer word in any letter case.
  for (const char* word : {"DEFAULT", "default", "DeFault"}) {
    SCOPED_TRACE(word);
    EXPECT_EQ(Paths({picture, word}).LayerPath, root_ + "/Pics:2/");
  }
  Touch(defaultLayer_);
  EXPECT_EQ(Paths({picture, "Default"}).LayerPath, defaultLayer_);
}

// The rules over random command lines: one or two arguments count; the first is the picture, or a
// folder when the file system says so; the layer path is the default layer picture (for one
// argument or the default-layer word), else the second argument as a folder or an existing file,
// else that name in the picture's folder. Paths are made absolute, their case kept.
TEST_F(CommandLine, RandomCommandLinesFollowTheRules) {
  namespace fs = std::filesystem;
  std::system(("mkdir -p '" + root_ + "/cwd/Sub Dir' '" + root_ + "/Pics:2/deep'").c_str());
  Touch(root_ + "/cwd/Sub Dir/Ünï.Png");
  Touch(root_ + "/Pics:2/deep/DEFAULT");
  const std::string cwd = root_ + "/cwd";
  const std::vector<std::string> names = {"logo.png",
                                          "Sub Dir",
                                          "Sub Dir/",
                                          "Sub Dir/Ünï.Png",
                                          "../Pics:2",
                                          "../Pics:2/IMG_01.JPG",
                                          "../Pics:2/deep/DEFAULT",
                                          "missing.jpg",
                                          "Missing/",
                                          "C:",
                                          "./logo.png",
                                          "a/../logo.png",
                                          "..",
                                          ".",
                                          "",
                                          "default",
                                          "DeFaUlT",
                                          "defaults",
                                          root_ + "/Pics:2/",
                                          root_ + "/gone.png",
                                          std::string(300, 'n'),
                                          std::string(5000, 'x') + ".png"};
  // Absolute and normalised; a folder ends with "/".
  auto full = [&](const std::string& path) -> std::string {
    if (path.empty()) return "";
    std::string p = (fs::path(cwd) / path).lexically_normal().string();
    std::error_code e;
    if (fs::is_directory(p, e) && p.back() != '/') p += '/';
    return p;
  };
  auto upper = [](std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  std::mt19937 rng(35);
  for (int round = 0; round < 1500; ++round) {
    std::vector<std::string> args(std::uniform_int_distribution<int>(0, 3)(rng));
    for (std::string& a : args) a = names[rng() % names.size()];
    if (round % 2)
      Touch(defaultLayer_);
    else
      fs::remove(defaultLayer_);
    SCOPED_TRACE(testing::PrintToString(args));
    const app::TStartupPaths p = Paths(args);
    ASSERT_EQ(p.Given, args.size() == 1 || args.size() == 2);
    if (!p.Given) continue;
    std::error_code e;
    const std::string bg = full(args[0]);
    const std::string folder = bg.substr(0, bg.rfind('/') + 1);
    EXPECT_EQ(p.BackgroundPath, bg);
    EXPECT_EQ(p.SaveFileName, bg);
    EXPECT_EQ(p.BackgroundIsFolder, fs::is_directory(bg, e));
    std::string layer = fs::exists(defaultLayer_) ? defaultLayer_ : folder;
    if (args.size() == 2 && upper(args[1]) != "DEFAULT") {
      const std::string given = full(args[1]);
      const bool here = fs::is_directory(given, e) || fs::is_regular_file(given, e);
      // A missing name is looked for in the picture's folder; an absolute one stays as given.
      layer = here || args[1].rfind('/', 0) == 0 ? given : full(folder + args[1]);
    }
    EXPECT_EQ(p.LayerPath, layer);
  }
}

}  // namespace
