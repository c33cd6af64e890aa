#include "html/images/GdiPlusLoader.h"

#include "html/images/ImageLoading.h"
#include "platform/drawing/Graphics.h"
#include "platform/htmlservices/HtmlImageCodec.h"
#include "platform/runtime/Files.h"

namespace html {

namespace {

struct GdiPlusState {
  bool active = false;
  int useCount = 0;
};

GdiPlusState& State() {
  static GdiPlusState state;
  return state;
}

std::unique_ptr<plat::TBitmap> EmptyPixels() {
  auto pixels = std::make_unique<plat::TBitmap>();
  pixels->SetPixelFormat(plat::pf32bit);
  return pixels;
}

std::unique_ptr<plat::TBitmap> BlankPixels(int width, int height) {
  if (width < 1 || height < 1) throw EGDIPlus("Can't create bitmap");
  auto pixels = EmptyPixels();
  try {
    pixels->SetSize(width, height);
  } catch (const plat::Exception&) {
    throw EGDIPlus("Can't create bitmap");
  }
  return pixels;
}

std::unique_ptr<plat::TBitmap> LoadPixelsFromFile(const std::string& fileName) {
  if (!plat::FileExists(fileName))
    throw EGDIPlus(plat::Format("Image file %s not found.", {fileName}));
  try {
    const std::string bytes = plat::ReadFileBytes(fileName, kMaxImageFileBytes);
    return plat::DecodeHtmlImage(bytes.data(), int64_t(bytes.size()));
  } catch (const plat::Exception&) {
    throw EGDIPlus(plat::Format("Can't load image file %s.", {fileName}));
  }
}

}  // namespace

void GdiPlusAcquire() {
  GdiPlusState& state = State();
  if (state.useCount == 0) state.active = plat::HtmlImageCodecAvailable();
  ++state.useCount;
}

void GdiPlusRelease() {
  GdiPlusState& state = State();
  if (state.useCount == 0) return;  // an unmatched release must not start a negative count
  if (--state.useCount == 0) state.active = false;
}

bool GdiPlusActive() {
  return State().active;
}

int GdiPlusUseCount() {
  return State().useCount;
}

TGpImage::TGpImage() : pixels_(EmptyPixels()) {}

TGpImage::TGpImage(const std::string& fileName) : pixels_(LoadPixelsFromFile(fileName)) {}

TGpImage::~TGpImage() = default;

std::unique_ptr<TGpImage> TGpImage::FromMemory(const void* data, int64_t size) {
  return std::unique_ptr<TGpImage>(new TGpImage(plat::DecodeHtmlImage(data, size)));
}

const plat::TGraphicClass& TGpImage::StaticClass() {
  static const plat::TGraphicClass cls{"TGpImage", &plat::TGraphic::StaticClass(),
                                       plat::MakeGraphic<TGpImage>};
  return cls;
}

void TGpImage::LoadFromStream(plat::TStream& stream) {
  plat::TMemoryStream bytes;
  const int64_t remaining = stream.Size() - stream.Position();
  if (remaining > 0) bytes.CopyFrom(stream, remaining);  // nothing left: the decoder refuses
  pixels_ = plat::DecodeHtmlImage(bytes.Memory(), bytes.Size());
  Changed();
}

void TGpImage::Draw(plat::TCanvas& canvas, const plat::TRect& rect) const {
  if (!canvas.Handle()) return;
  TGpGraphics(*canvas.Handle())
      .DrawImageRect(*this, rect.Left, rect.Top, rect.Width(), rect.Height());
}

uint32_t TGpImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  return Row(y)[x];
}

std::unique_ptr<plat::TBitmap> TGpImage::GetTBitmap() const {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf24bit);
  bitmap->SetSize(Width(), Height());
  for (int y = 0; y < Height(); ++y) {
    const uint32_t* src = Row(y);
    uint8_t* dst = bitmap->ScanLine(y);
    for (int x = 0; x < Width(); ++x) {
      const uint32_t a = src[x] >> 24;
      for (int c = 0; c < 3; ++c) {  // blue, green, red over white
        const uint32_t v = (src[x] >> (8 * c)) & 0xFF;
        dst[3 * x + c] = uint8_t((v * a + 255 * (255 - a) + 127) / 255);
      }
    }
  }
  return bitmap;
}

TGpBitmap::TGpBitmap(int width, int height) : TGpImage(BlankPixels(width, height)) {}

void TGpBitmap::SetPixel(int x, int y, uint32_t argb) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  Row(y)[x] = argb;
}

}  // namespace html
