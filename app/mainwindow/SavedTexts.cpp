#include "app/mainwindow/SavedTexts.h"

namespace app {

void AddSavedText(plat::TStringList& Items, plat::TListBox& List, const std::string& Text) {
  bool known = false;
  for (int i = 0; i < Items.Count() && !known; ++i) known = Items[i] == Text;
  if (!known) {
    Items.Add(Text);
    List.Items()->Add(Text);
  }
  List.SetSorted(true);
}

void RemoveLastSavedText(plat::TStringList& Items, const std::string& Text) {
  for (int i = Items.Count() - 1; i >= 0; --i) {
    if (Items[i] == Text) {
      Items.Delete(i);
      return;
    }
  }
}

}  // namespace app
