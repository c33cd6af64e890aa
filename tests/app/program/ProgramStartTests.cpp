// The command line as a user types it: Qt's own options are Qt's, and a name that is no picture
// file is refused with a message while the program goes on.
#include <csignal>
#include <filesystem>
#include <string>

#include "RunningProgram.h"
#include "support/NamedPipe.h"

namespace program_test {
namespace {

TEST_F(RunningProgram, QtsOwnOptionsAreNotCountedAsArguments) {
  Start({"-platform", "offscreen", "-style", "fusion", Picture()});
  ASSERT_TRUE(SetUpDone()) << Output();
  ASSERT_TRUE(EndsBy(SIGTERM)) << Output();
  // The picture was taken as the one argument: its folder becomes the background folder.
  EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
}

TEST_F(RunningProgram, ANamedPipeOnTheCommandLineIsRefusedAndTheProgramGoesOn) {
  test_support::NamedPipe pipe(home.File("pictures/pipe.jpg"));
  ASSERT_TRUE(pipe.Made());
  Start({pipe.Path()});
  // Offscreen, the message box goes to the output.
  const std::string refusal = "\"" + pipe.Path() + "\". Not a regular file";
  EXPECT_TRUE(test_support::WaitUntil("the refusal of the pipe", [&] {
    return Output().find(refusal) != std::string::npos || !program->Running();
  })) << Output();
  EXPECT_NE(Output().find(refusal), std::string::npos) << Output();
  ASSERT_TRUE(EndsBy(SIGTERM)) << Output();
  EXPECT_TRUE(SettingsHold(std::string(app::TextItemKey) + kKeptText));
}

TEST_F(RunningProgram, EverythingAfterTheOptionsEndIsTheProgramsOwn) {
  // "--" ends the options and is no argument itself; "-reverse" after it would be Qt's before it.
  const std::string dashed = home.File("pictures/-reverse");
  std::filesystem::copy_file(Picture(), dashed);
  Start({"-style", "fusion", "--", dashed});
  ASSERT_TRUE(SetUpDone()) << Output();
  ASSERT_TRUE(EndsBy(SIGTERM)) << Output();
  EXPECT_EQ(Output().find("Cannot open"), std::string::npos) << Output();
  EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
}

}  // namespace
}  // namespace program_test
