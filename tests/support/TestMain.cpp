// The suites' main: GoogleTest, with every modal run held to a deadline, so a dialog that a
// test fails to answer ends that test with what showed instead of stopping the suite.
#include <gtest/gtest.h>

#include "platform/windows/TestSeams.h"
#include "support/Waiting.h"

namespace {

class ModalDeadline : public testing::EmptyTestEventListener {
  // The environments make the application object before the first test starts.
  void OnTestStart(const testing::TestInfo&) override {
    plat::LimitModalRuns(int(test_support::kModalPatience.count()), [](const std::string& what) {
      ADD_FAILURE() << "A modal run was still going after " << test_support::kModalPatience.count()
                    << " s and was cancelled: " << what;
    });
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new ModalDeadline);  // owned by GoogleTest
  return RUN_ALL_TESTS();
}
