// Start-up of the suite on a machine where fontconfig stands another face in for a missing
// family: on some desktops it gives "Impact" a dingbat font; here the fontconfig file below gives
// it a serif, which every machine with the program's fonts has.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

#include "app/ProgramStart.h"
#include "support/ScratchFolder.h"

namespace {

class MissingFontsEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    const std::string config = folder_.File("fonts.conf");
    std::ofstream(config) << R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="pattern">
    <test name="family"><string>Impact</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>DejaVu Serif</string></edit>
  </match>
</fontconfig>
)";
    // Read when the fonts are first looked at, which the program's start does.
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    app::StartProgram();
  }
  void TearDown() override { app::StopProgram(); }

 private:
  test_support::ScratchFolder folder_;
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new MissingFontsEnvironment);

}  // namespace
