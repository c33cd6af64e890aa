#include "app/road/KeptPicture.h"

#include <cstdio>

#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {

std::string KeepHandedBackPicture(const std::string& WorkFile) {
  std::string kept;
  try {
    kept = plat::CreateUniqueFile(plat::ExtractFilePath(WorkFile), "kept-",
                                  plat::ExtractFileExt(WorkFile));
  } catch (const plat::Exception&) {
    return {};
  }
  // Renaming over the empty placeholder keeps the name unique.
  if (std::rename(WorkFile.c_str(), kept.c_str()) == 0) return kept;
  plat::DeleteFile(kept);
  return {};
}

}  // namespace app
