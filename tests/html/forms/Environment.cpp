// Every test of this group runs on the off-screen platform with the page engine started.
#include "platform/Application.h"
#include "support/HtmlEnvironment.h"

namespace {

// The windows of the last test are freed late; they must go while Qt still runs, not when the
// program's statics are destroyed.
class FreeLastWindows : public testing::Environment {
 public:
  void TearDown() override { plat::Application().ProcessMessages(); }
};

const testing::Environment* const freeLastWindows =
    testing::AddGlobalTestEnvironment(new FreeLastWindows);

}  // namespace
