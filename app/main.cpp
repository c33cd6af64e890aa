// The program: start the subsystems, run the main window, then shut down in reverse order.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainUnit.h"
#include "app/ProgramStart.h"
#include "platform/Application.h"
#include "platform/QtRuntime.h"

int main(int argc, char** argv) {
  plat::SetQtCommandLine(argc, argv);
  app::SetProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
  app::StartProgram();

  app::TMainForm* mainForm = nullptr;
  plat::Application().CreateForm(mainForm);
  plat::Application().Run();

  app::StopProgram();
  plat::ShutdownQtApplication();
  return 0;
}
