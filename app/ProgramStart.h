// Folder app: the editor - the main window with its road (background, layers, composition, saving)
// and its dialogs. It uses every other subsystem.
//
// Start-up and shutdown of the program's subsystems, shared by the program and its test suites.
#pragma once

namespace app {

// Starts the platform with its picture formats, the engine and the picture readers, in that order.
// Writes past the file-size limit or into a closed pipe fail with an error from then on; a
// termination signal ends the run as closing the main window does, and the loss of the window
// system still leaves the settings written and no work files.
void StartProgram();
// Frees the windows, stops the readers and removes the run's work folder.
void StopProgram();

}  // namespace app
