// The hint that shows a text as it would be stamped: the text, its font, size, colours and style.
#pragma once

#include <string>
#include <string_view>

#include "app/mainwindow/Settings.h"

namespace app {

// Depends only on the text and the current text look in look.
std::string BuildTextHint(std::string_view text, const TSettingsValues& look);

}  // namespace app
