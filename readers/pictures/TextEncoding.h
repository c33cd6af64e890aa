// Comments in picture files are single-byte text; the program keeps text in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace readers {

std::string Latin1ToUtf8(std::string_view Text);

}  // namespace readers
