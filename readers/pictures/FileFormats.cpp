#include "readers/pictures/FileFormats.h"

#include <algorithm>

#include "platform/runtime/SysUtils.h"
#include "readers/pictures/ReaderStrings.h"

namespace readers {

TFileFormatList::~TFileFormatList() {
  Clear();
}

int TFileFormatList::FindExtension(const std::string& Extension) const {
  if (Extension.empty()) return -1;
  for (size_t i = 0; i < Extensions.size(); ++i)
    if (plat::SameText(Extensions[i]->Extension, Extension)) return static_cast<int>(i);
  return -1;
}

int TFileFormatList::FindGraphicClass(const plat::TGraphicClass& GraphicClass) const {
  for (size_t i = 0; i < Classes.size(); ++i)
    if (Classes[i]->GraphicClass == &GraphicClass) return static_cast<int>(i);
  return -1;
}

void TFileFormatList::Attach(TExtensionEntry& Entry, int ClassIndex, const std::string& Common,
                             const plat::TGraphicClass& GraphicClass) {
  if (ClassIndex < 0) {
    Classes.push_back(std::make_unique<TClassEntry>());
    Classes.back()->GraphicClass = &GraphicClass;
    ClassIndex = static_cast<int>(Classes.size()) - 1;
  }
  TClassEntry& classEntry = *Classes[ClassIndex];
  if (!Common.empty()) classEntry.Description = Common;
  ++classEntry.Count;
  Entry.ClassReference = &classEntry;
}

void TFileFormatList::RemoveClass(const TClassEntry* Entry) {
  std::erase_if(Classes, [&](const auto& candidate) { return candidate.get() == Entry; });
}

void TFileFormatList::RegisterFileFormat(const std::string& Extension, const std::string& Common,
                                         const std::string& Individual, uint8_t FormatTypes,
                                         bool Replace, const plat::TGraphicClass& GraphicClass) {
  if (Extension.empty()) return;
  const int extensionIndex = FindExtension(Extension);
  const int classIndex = FindGraphicClass(GraphicClass);
  TExtensionEntry* entry;
  if (extensionIndex < 0) {
    Extensions.push_back(std::make_unique<TExtensionEntry>());
    entry = Extensions.back().get();
    entry->Extension = Extension;
    entry->Description = Individual;
    entry->FormatTypes = FormatTypes;
    Attach(*entry, classIndex, Common, GraphicClass);
  } else if (Replace) {
    entry = Extensions[extensionIndex].get();
    TClassEntry* old = entry->ClassReference;
    if (old->GraphicClass != &GraphicClass) {
      Attach(*entry, classIndex, Common, GraphicClass);
      // A class left without extensions leaves the platform list too, as on unregistering.
      if (--old->Count == 0) {
        plat::TPicture::UnregisterGraphicClass(*old->GraphicClass);
        RemoveClass(old);
      }
    }
    entry->FormatTypes = FormatTypes;
  } else {
    throw plat::EInvalidGraphic(plat::Format(gesRegistration, {Extension}));
  }
  plat::TPicture::RegisterFileFormat(
      Extension, Individual.empty() ? entry->ClassReference->Description : Individual,
      GraphicClass);
}

void TFileFormatList::UnregisterFileFormat(const std::string& Extension,
                                           const plat::TGraphicClass& GraphicClass) {
  if (!Extension.empty()) {
    const int index = FindExtension(Extension);
    if (index < 0) return;
    TClassEntry* classEntry = Extensions[index]->ClassReference;
    if (--classEntry->Count == 0) {
      plat::TPicture::UnregisterGraphicClass(*classEntry->GraphicClass);
      RemoveClass(classEntry);
    }
    Extensions.erase(Extensions.begin() + index);
    return;
  }
  const int classIndex = FindGraphicClass(GraphicClass);
  if (classIndex < 0) return;
  TClassEntry* classEntry = Classes[classIndex].get();
  for (size_t i = Extensions.size(); i-- > 0 && classEntry->Count > 0;) {
    if (Extensions[i]->ClassReference != classEntry) continue;
    --classEntry->Count;
    Extensions.erase(Extensions.begin() + static_cast<ptrdiff_t>(i));
  }
  RemoveClass(classEntry);
  plat::TPicture::UnregisterGraphicClass(GraphicClass);
}

void TFileFormatList::Clear() {
  for (const auto& classEntry : Classes)
    plat::TPicture::UnregisterGraphicClass(*classEntry->GraphicClass);
  Classes.clear();
  Extensions.clear();
}

}  // namespace readers
