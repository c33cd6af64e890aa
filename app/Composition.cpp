#include "app/Composition.h"

#include "app/RoadTexts.h"
#include "platform/Files.h"
#include "platform/JpegCodec.h"

namespace app {
namespace {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace

std::unique_ptr<gfx::TBitmap32> ComposePicture(gfx::TCustomImage32& View) {
  const gfx::TBitmap32& background = View.Bitmap();
  if (background.Empty()) return nullptr;
  auto picture = std::make_unique<gfx::TBitmap32>();
  picture->SetSize(background.Width(), background.Height());
  View.PaintTo(picture.get(), {0, 0, background.Width(), background.Height()});
  return picture;
}

std::string ForcedJpegName(std::string_view FileName) {
  const std::string ext = plat::ExtractFileExt(FileName);
  if (LowerAscii(ext) == JpegExt) return std::string(FileName);
  return plat::ChangeFileExt(FileName, JpegExt);
}

std::string EncodeJpeg(const gfx::TBitmap32& Picture) {
  // The encoder reads the picture's own rows: no converted copy of a whole picture.
  return plat::EncodeJpegArgbRows(Picture.Width(), Picture.Height(), 100,
                                  [&Picture](int32_t y) { return Picture.RowPtr(y); });
}

void WriteJpegFile(const gfx::TBitmap32& Picture, const std::string& FileName) {
  plat::WriteFileAtomically(FileName, EncodeJpeg(Picture));
}

std::string SaveAsJpeg(gfx::TCustomImage32& View, const std::string& FileName) {
  const std::unique_ptr<gfx::TBitmap32> picture = ComposePicture(View);
  if (!picture) return {};
  const std::string name = ForcedJpegName(FileName);
  WriteJpegFile(*picture, name);
  return name;
}

void Flatten(gfx::TCustomImage32& View) {
  const std::unique_ptr<gfx::TBitmap32> picture = ComposePicture(View);
  if (!picture) return;
  View.Layers().Clear();
  const std::string resampler = View.Bitmap().ResamplerClassName();
  View.Bitmap().Assign(*picture);
  View.Bitmap().SetResamplerClassName(resampler);
}

}  // namespace app
