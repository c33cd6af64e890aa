// Taking a layer back from the rotation and extended colour dialogs.
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/HandOver.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/windows/Application.h"

namespace app {

bool ResultStillThere(const std::string& WorkFile) {
  if (plat::FileExists(WorkFile)) return true;
  plat::ShowMessage(std::string(LostResultText) + "\n" + WorkFile);
  return false;
}

gfx::TBitmapLayer& TMainForm::ReplaceLayerFromWorkFile(plat::TObject* Sender,
                                                       gfx::TBitmapLayer& Layer,
                                                       const TPictureLayerRequest& Request) {
  const int32_t index = Layer.Index();
  // The new layer is made (and selected) before the old one goes, so a work file that cannot be
  // read leaves the old layer in place.
  gfx::TBitmapLayer& fresh = CreatePictureLayer(Sender, Request);
  ImgView->Layers().Delete(ImgView->Layers().IndexOf(&Layer));
  fresh.SetIndex(index);
  return fresh;
}

}  // namespace app
