#include "app/ProgramStart.h"

#include "graphics/Engine.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "readers/PictureReaders.h"

namespace app {

void StartProgram() {
  plat::Application().Initialize();
  plat::RegisterDefaultPictureFormats();
  gfx::StartEngine();
  readers::StartReaders();
}

void StopProgram() {
  plat::Application().DestroyForms();
  readers::StopReaders();
  plat::RemoveWorkFolder();
}

}  // namespace app
