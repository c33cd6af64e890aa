#include "app/ProgramStart.h"

#include "graphics/Engine.h"
#include "html/HtmlEngine.h"
#include "platform/pictures/Picture.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "readers/PictureReaders.h"

namespace app {

void StartProgram() {
  plat::Application().Initialize();
  plat::RegisterDefaultPictureFormats();
  gfx::StartEngine();
  readers::StartReaders();
  html::StartHtmlEngine();
}

void StopProgram() {
  plat::Application().DestroyForms();
  html::StopHtmlEngine();
  readers::StopReaders();
  plat::RemoveWorkFolder();
}

}  // namespace app
