// Where the user-perceived characters of wide text begin: a surrogate pair, a letter with its
// combining marks, an emoji with its modifiers and joined parts stay together.
#pragma once

#include <string_view>
#include <vector>

namespace plat {

// One flag per code unit: true for a unit that continues the character begun before it (text
// must not be cut before it). Empty when no unit does.
std::vector<bool> ClusterContinuations(std::u16string_view text);

}  // namespace plat
