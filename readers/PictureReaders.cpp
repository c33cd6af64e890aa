#include "readers/PictureReaders.h"

#include <memory>

#include "platform/metafile/Metafile.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Icon.h"
#include "platform/pictures/Jpeg.h"

namespace readers {

namespace {

std::unique_ptr<TFileFormatList> Registry;

struct TFormatRow {
  const char* Extension;
  const char* Common;
  const char* Individual;
  uint8_t FormatTypes;
  const plat::TGraphicClass* GraphicClass;
};

}  // namespace

TFileFormatList* FileFormatList() {
  return Registry.get();
}

void StartReaders() {
  if (Registry) return;
  Registry = std::make_unique<TFileFormatList>();
  for (const plat::TGraphicClass* platformClass :
       {&plat::TJPEGImage::StaticClass(), &plat::TBitmap::StaticClass(),
        &plat::TIcon::StaticClass(), &plat::TMetafile::StaticClass()})
    plat::TPicture::UnregisterGraphicClass(*platformClass);

  const auto& bitmap = plat::TBitmap::StaticClass();
  const auto& jpeg = plat::TJPEGImage::StaticClass();
  const auto& metafile = plat::TMetafile::StaticClass();
  const TFormatRow rows[] = {
      {"bmp", "Windows bitmaps", "", 0x28, &bitmap},
      {"ico", "Windows icons", "", 0x08, &plat::TIcon::StaticClass()},
      {"wmf", "Windows metafiles", "", 0x30, &metafile},
      {"emf", "Windows metafiles", "Windows enhanced meta files", 0x30, &metafile},
      {"jfif", "JPG images", "JFIF images", 0x28, &jpeg},
      {"jpg", "", "JPG images", 0x28, &jpeg},
      {"jpe", "", "JPE images", 0x28, &jpeg},
      {"jpeg", "", "JPEG images", 0x28, &jpeg},
      {"msk", "", "", 0x08, &bitmap},
      {"rle", "Windows bitmaps", "Run length encoded Windows bitmaps", 0x08, &bitmap},
      {"dib", "", "Device independant Windows bitmaps", 0x08, &bitmap},
      {"gif", "CompuServe images", "", 0x0D, &TGIFGraphic::StaticClass()},
      {"png", "Portable network graphic images", "", 0x08, &TPNGGraphic::StaticClass()},
  };
  for (const TFormatRow& row : rows)
    Registry->RegisterFileFormat(row.Extension, row.Common, row.Individual, row.FormatTypes, false,
                                 *row.GraphicClass);
}

void StopReaders() {
  if (!Registry) return;
  Registry->UnregisterFileFormat("", TGIFGraphic::StaticClass());
  Registry->UnregisterFileFormat("", TPNGGraphic::StaticClass());
  Registry.reset();
}

}  // namespace readers
