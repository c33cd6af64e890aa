#include "app/ProgramStart.h"

#include <csignal>

#include "app/mainwindow/MainUnit.h"
#include "graphics/Engine.h"
#include "html/HtmlEngine.h"
#include "platform/pictures/Picture.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "readers/PictureReaders.h"

namespace app {

void StartProgram() {
  // A file that may grow no further, or a reader of copied data that went away, makes the write
  // fail with an error the user sees, instead of ending the program with the work unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  plat::Application().Initialize();
  // Ended from outside (a shutdown, Ctrl+C in a terminal), the run ends as when the window is
  // closed; the signal leaves no work files behind even where no window runs.
  plat::Application().EndOnTerminationSignals(plat::RemoveWorkFolder);
  // When the window system goes away, Qt ends the process at once: the settings and the work
  // files are the program's own and need no window.
  plat::Application().OnExitDuringRun = [] {
    if (auto* mainForm = dynamic_cast<TMainForm*>(plat::Application().MainForm()))
      mainForm->SaveAtEnd();
    plat::RemoveWorkFolder();
  };
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
