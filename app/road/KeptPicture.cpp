#include "app/road/KeptPicture.h"

#include <cstdio>
#include <string_view>

#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

constexpr std::string_view RestoredPrefix = "restored-", PastedPrefix = "pasted-";

}  // namespace

std::string KeepPicture(const std::string& WorkFile, TKeptKind Kind) {
  std::string kept;
  try {
    kept = plat::CreateUniqueFile(plat::ExtractFilePath(WorkFile),
                                  Kind == TKeptKind::Restored ? RestoredPrefix : PastedPrefix,
                                  plat::ExtractFileExt(WorkFile));
  } catch (const plat::Exception&) {
    return {};
  }
  // Renaming over the empty placeholder keeps the name unique.
  if (std::rename(WorkFile.c_str(), kept.c_str()) == 0) return kept;
  plat::DeleteFile(kept);
  return {};
}

void OwnKeptPicture(gfx::TCustomLayer& Layer, const std::string& File) {
  Layer.SourceFile = File;
  if (File.empty()) return;
  Layer.OnDestroy = [File](plat::TObject*) { plat::DeleteFile(File); };
}

bool IsRestoredPicture(const std::string& File) {
  return plat::ExtractFileName(File).starts_with(RestoredPrefix) &&
         plat::ExtractFilePath(File) == plat::WorkFolder();
}

}  // namespace app
