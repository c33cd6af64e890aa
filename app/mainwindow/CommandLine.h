// The program's command line: a background picture (or a folder to open pictures from) and
// optionally the layer picture to remember.
#pragma once

#include <string>
#include <vector>

namespace app {

// The arguments after the program's name; the program's main block sets them.
void SetProgramArguments(std::vector<std::string> arguments);
const std::vector<std::string>& ProgramArguments();

struct TStartupPaths {
  // One or two arguments were given; otherwise nothing below is set.
  bool Given = false;
  // The first argument names a folder: it only sets where the open dialog starts.
  bool BackgroundIsFolder = false;
  // Absolute paths, never case-changed; a folder ends with "/".
  std::string BackgroundPath;
  std::string SaveFileName;
  std::string LayerPath;
};

// Reads the arguments. defaultLayerPicture is the full path of the default layer picture, used
// for one argument or the default-layer word; when it does not exist the background's folder
// stands in for it. A second argument that names a folder ends with "/"; one that names no
// existing file or folder is taken relative to the background's folder.
TStartupPaths StartupPathsFromArguments(const std::vector<std::string>& arguments,
                                        const std::string& defaultLayerPicture);

}  // namespace app
