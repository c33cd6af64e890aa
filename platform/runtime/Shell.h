// Opening links and mail addresses with the desktop's handler.
#pragma once

#include <string>

namespace plat {

// Opens a web address, "mailto:" address or file with the user's program; never runs a shell
// command line. Returns false when the target is not a valid address or nothing opened it.
bool OpenLink(const std::string& target);

}  // namespace plat
