#include "app/road/ClipboardTransfer.h"

#include <memory>

#include "app/road/RoadTexts.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"

namespace app {

void CopyPictureToClipboard(const gfx::TBitmap32& Picture) {
  if (Picture.Empty()) return;
  // The pixels are copied once; the formats other programs take are made when they ask.
  plat::Clipboard().SetPixels(Picture.Width(), Picture.Height(),
                              [&Picture](int y) { return Picture.RowPtr(y); });
}

TPasteResult SaveClipboardPicture(const std::string& Path, TPasteFormat Format) {
  if (!plat::Clipboard().HasFormat(plat::CF_BITMAP)) return {TPasteOutcome::NoPicture, {}};
  try {
    const std::unique_ptr<plat::TBitmap> bitmap = plat::Clipboard().GetBitmap();
    if (!bitmap || bitmap->Empty()) return {TPasteOutcome::NoPicture, {}};
    if (Format == TPasteFormat::Bitmap32) {
      gfx::TBitmap32 picture;
      picture.Assign(*bitmap);
      picture.SaveToFile(Path);
    } else {
      plat::TJPEGImage jpeg;
      jpeg.Assign(*bitmap);
      jpeg.SetCompressionQuality(100);
      jpeg.Compress();
      plat::WriteFileAtomically(Path, jpeg.CompressedData());
    }
  } catch (const std::exception& e) {
    return {TPasteOutcome::Failed, e.what()};
  }
  return {TPasteOutcome::Written, {}};
}

bool ReportPasteOutcome(const TPasteResult& Result) {
  switch (Result.Outcome) {
    case TPasteOutcome::Written:
      return true;
    case TPasteOutcome::NoPicture:
      plat::ShowMessage(std::string(NoPictureText));
      return false;
    case TPasteOutcome::Failed:
      // Why, too: a picture too large, a full disk, ...
      plat::ShowMessage(std::string(PasteFailedText) +
                        (Result.Reason.empty() ? "" : "\n" + Result.Reason));
      return false;
  }
  return false;
}

std::string PasteFilePath(TPasteFormat Format) {
  return plat::JoinPath(plat::WorkFolder(),
                        Format == TPasteFormat::Jpeg ? PasteFileName : PasteLayerFileName);
}

}  // namespace app
