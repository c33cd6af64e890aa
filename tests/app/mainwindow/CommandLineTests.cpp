// The command line's paths: files, folders, the layer argument and its default, case kept.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
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

}  // namespace
