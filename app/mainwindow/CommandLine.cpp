#include "app/mainwindow/CommandLine.h"

#include "app/mainwindow/EditorTexts.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

void SetProgramArguments(std::vector<std::string> arguments) {
  Arguments() = std::move(arguments);
}

const std::vector<std::string>& ProgramArguments() {
  return Arguments();
}

TStartupPaths StartupPathsFromArguments(const std::vector<std::string>& arguments,
                                        const std::string& defaultLayerPicture) {
  TStartupPaths paths;
  if (arguments.empty() || arguments.size() > 2) return paths;
  paths.Given = true;
  paths.BackgroundPath = plat::ExpandFileName(arguments[0]);
  paths.BackgroundIsFolder = plat::DirectoryExists(paths.BackgroundPath);
  if (paths.BackgroundIsFolder)
    paths.BackgroundPath = plat::IncludeTrailingPathDelimiter(paths.BackgroundPath);
  paths.SaveFileName = paths.BackgroundPath;

  const std::string folder = plat::ExtractFilePath(paths.BackgroundPath);
  const std::string defaultLayer =
      plat::FileExists(defaultLayerPicture) ? defaultLayerPicture : folder;
  if (arguments.size() == 1 || plat::SameText(arguments[1], DefaultLayerSwitch)) {
    paths.LayerPath = defaultLayer;
  } else {
    const std::string asGiven = plat::ExpandFileName(arguments[1]);
    if (plat::DirectoryExists(asGiven))
      paths.LayerPath = plat::IncludeTrailingPathDelimiter(asGiven);
    else
      paths.LayerPath = plat::FileExists(asGiven)
                            ? asGiven
                            : plat::ExpandFileName(plat::JoinPath(folder, arguments[1]));
  }
  return paths;
}

}  // namespace app
