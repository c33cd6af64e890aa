// The program: until the editor's windows exist, an empty main window and the message loop.
#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/QtRuntime.h"

int main(int argc, char** argv) {
  plat::SetQtCommandLine(argc, argv);
  plat::Application().Initialize();
  plat::TForm* mainForm = nullptr;
  plat::Application().CreateForm(mainForm);
  mainForm->SetCaption("PixStamp");
  mainForm->SetWindowState(plat::wsMaximized);
  plat::Application().Run();
  plat::Application().DestroyForms();
  return 0;
}
