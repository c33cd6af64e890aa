// The command line as a user types it: Qt's own options are Qt's, and a name that is no picture
// file is refused with a message while the program goes on.
#include <csignal>
#include <string>

#include "RunningProgram.h"

namespace program_test {
namespace {

TEST_F(RunningProgram, QtsOwnOptionsAreNotCountedAsArguments) {
  Start({"-platform", "offscreen", "-style", "fusion", Picture()});
  ASSERT_TRUE(SetUpDone()) << Output();
  ASSERT_TRUE(EndsBy(SIGTERM)) << Output();
  // The picture was taken as the one argument: its folder becomes the background folder.
  EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
}

}  // namespace
}  // namespace program_test
