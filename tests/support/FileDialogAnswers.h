// File dialogs of a test answer with the name `answer` holds when they open, and are cancelled
// while it is empty.
#pragma once

#include <string>

#include "platform/windows/TestSeams.h"

namespace test_support {

inline void AnswerFileDialogs(const std::string& answer) {
  plat::TestHooks().fileDialog = [&answer](plat::TFileDialogRequest& r) {
    if (answer.empty()) return false;
    r.fileName = answer;
    return true;
  };
}

}  // namespace test_support
