// Starts the program's subsystems once for a suite and stops them after it. Include it from one
// source file of the suite.
#pragma once

#include <gtest/gtest.h>

#include "app/ProgramStart.h"

namespace test_support {

class EditorEnvironment : public testing::Environment {
 public:
  void SetUp() override { app::StartProgram(); }
  void TearDown() override { app::StopProgram(); }
};

inline const testing::Environment* const editorEnvironment =
    testing::AddGlobalTestEnvironment(new EditorEnvironment);

}  // namespace test_support
