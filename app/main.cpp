// The program: start the platform, the engine and the picture readers, run the main window,
// then shut down in reverse order.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainUnit.h"
#include "graphics/Engine.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "platform/QtRuntime.h"
#include "readers/PictureReaders.h"

int main(int argc, char** argv) {
  plat::SetQtCommandLine(argc, argv);
  app::SetProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
  plat::Application().Initialize();
  plat::RegisterDefaultPictureFormats();
  gfx::StartEngine();
  readers::StartReaders();

  app::TMainForm* mainForm = nullptr;
  plat::Application().CreateForm(mainForm);
  plat::Application().Run();

  plat::Application().DestroyForms();
  readers::StopReaders();
  plat::RemoveWorkFolder();
  plat::ShutdownQtApplication();
  return 0;
}
