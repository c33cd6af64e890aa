// The About button.
#include <memory>

#include "app/about/AboutBox.h"
#include "app/mainwindow/MainUnit.h"

namespace app {

void TMainForm::AuthorButton(plat::TObject*) {
  auto box = std::make_unique<TAboutBox>(this, BuildAboutPage(AboutFragment1, AboutFragment2));
  box->ShowModal();
}

}  // namespace app
