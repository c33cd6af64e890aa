// Where wide text may be cut: the user-perceived characters (a surrogate pair, a letter with its
// combining marks, an emoji with its modifiers and joined parts) stay together, and text laid out
// as a whole is drawn only whole.
#pragma once

#include <string_view>
#include <vector>

namespace plat {

// One flag per code unit: true for a unit that continues the character begun before it (text
// must not be cut before it). Empty when every unit lies below the combining marks: then none
// does, and no part of the text is laid out whole.
std::vector<bool> ClusterContinuations(std::u16string_view text);

// True when text is laid out as a whole line (right-to-left characters, joining scripts): a piece
// of it is not drawn as the same characters are within the whole.
bool LaidOutWhole(std::u16string_view text);

}  // namespace plat
