#include "app/road/ClipboardTransfer.h"

#include <memory>

#include "app/road/RoadTexts.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Files.h"

namespace app {

void CopyPictureToClipboard(const gfx::TBitmap32& Picture) {
  if (Picture.Empty()) return;
  // Through a 32-bit BMP stream, as every platform bitmap reader takes it.
  plat::TMemoryStream stream;
  Picture.SaveToStream(stream, true);
  stream.SetPosition(0);
  plat::TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  plat::Clipboard().Assign(bitmap);
}

TPasteOutcome SaveClipboardAsJpeg(const std::string& Path) {
  if (!plat::Clipboard().HasFormat(plat::CF_BITMAP)) return TPasteOutcome::NoPicture;
  try {
    const std::unique_ptr<plat::TBitmap> bitmap = plat::Clipboard().GetBitmap();
    if (!bitmap || bitmap->Empty()) return TPasteOutcome::NoPicture;
    plat::TJPEGImage jpeg;
    jpeg.Assign(*bitmap);
    jpeg.SetCompressionQuality(100);
    jpeg.Compress();
    plat::WriteFileAtomically(Path, jpeg.CompressedData());
  } catch (const std::exception&) {
    return TPasteOutcome::Failed;
  }
  return TPasteOutcome::Written;
}

std::string PasteFilePath() {
  return plat::JoinPath(plat::WorkFolder(), PasteFileName);
}

}  // namespace app
