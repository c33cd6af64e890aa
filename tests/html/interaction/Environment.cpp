// Every test of this group runs on the off-screen platform with the page engine started.
#include "platform/Application.h"
#include "support/HtmlEnvironment.h"

namespace {

// Windows of the last test are freed by Qt's next turn; it must come while Qt still runs.
class FreeLastWindows : public testing::Environment {
 public:
  void TearDown() override { plat::Application().ProcessMessages(); }
};

const testing::Environment* const freeLastWindows =
    testing::AddGlobalTestEnvironment(new FreeLastWindows);

}  // namespace
