// The table of picture extensions: which picture class reads which extension, kept in step
// with the platform picture registry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictures/Picture.h"

namespace readers {

struct TClassEntry {
  const plat::TGraphicClass* GraphicClass = nullptr;
  std::string Description;  // the class's common description
  int32_t Count = 0;        // extension entries that refer to this class
};

struct TExtensionEntry {
  std::string Extension;  // without the dot, as registered
  std::string Description;
  uint8_t FormatTypes = 0;
  TClassEntry* ClassReference = nullptr;
};

class TFileFormatList {
 public:
  TFileFormatList() = default;
  ~TFileFormatList();
  TFileFormatList(const TFileFormatList&) = delete;
  TFileFormatList& operator=(const TFileFormatList&) = delete;

  // Adds an extension (an empty one does nothing). Registering an extension again raises
  // unless Replace is set. The platform list gets Individual, or else the class's description.
  void RegisterFileFormat(const std::string& Extension, const std::string& Common,
                          const std::string& Individual, uint8_t FormatTypes, bool Replace,
                          const plat::TGraphicClass& GraphicClass);
  // Removes one extension, or every extension of the class when Extension is empty. A class
  // leaves the platform list when its last extension goes.
  void UnregisterFileFormat(const std::string& Extension, const plat::TGraphicClass& GraphicClass);
  // Takes every class out of the platform list and drops all entries.
  void Clear();

  // Index of the extension (any letter case), or -1.
  int FindExtension(const std::string& Extension) const;
  int FindGraphicClass(const plat::TGraphicClass& GraphicClass) const;

  const std::vector<std::unique_ptr<TClassEntry>>& ClassEntries() const { return Classes; }
  const std::vector<std::unique_ptr<TExtensionEntry>>& ExtensionEntries() const {
    return Extensions;
  }

 private:
  void Attach(TExtensionEntry& Entry, int ClassIndex, const std::string& Common,
              const plat::TGraphicClass& GraphicClass);
  void RemoveClass(const TClassEntry* Entry);

  std::vector<std::unique_ptr<TClassEntry>> Classes;
  std::vector<std::unique_ptr<TExtensionEntry>> Extensions;
};

}  // namespace readers
