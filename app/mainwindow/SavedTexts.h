// The saved texts: the list in the order read and added, and the sorted list box that shows it.
// Texts are compared exactly, so a text that differs only in letter case is a text of its own.
#pragma once

#include <string>

#include "platform/runtime/Classes.h"
#include "platform/windows/StdCtrls.h"

namespace app {

// Adds Text to both lists unless Items already holds it; the list box shows its entries sorted.
void AddSavedText(plat::TStringList& Items, plat::TListBox& List, const std::string& Text);

// Removes the last entry of Items equal to Text, when there is one.
void RemoveLastSavedText(plat::TStringList& Items, const std::string& Text);

}  // namespace app
