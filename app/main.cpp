// The program: start the subsystems, run the main window, then shut down in reverse order.
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "app/mainwindow/CommandLine.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/windows/Application.h"
#include "platform/windows/QtRuntime.h"

int main(int argc, char** argv) {
  plat::SetQtCommandLine(argc, argv);
  app::StartProgram();
  app::SetProgramArguments(plat::CommandLineArguments());

  app::TMainForm* mainForm = nullptr;
  plat::Application().CreateForm(mainForm);
  plat::Application().Run();

  app::StopProgram();
  plat::ShutdownQtApplication();
  plat::Application().EndByTerminationSignal();
  return 0;
}
