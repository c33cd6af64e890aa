// Valid metafiles, one per record family, for the robustness tests and as the fuzz target's seeds.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace mftest {

// (file name, bytes) pairs.
std::vector<std::pair<std::string, std::string>> MetafileSamples();

}  // namespace mftest
