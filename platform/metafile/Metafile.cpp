#include "platform/metafile/Metafile.h"

#include "platform/drawing/Graphics.h"
#include "platform/metafile/MetafileBytes.h"
#include "platform/pictures/Bitmap.h"

namespace plat {

namespace {

// Metafiles larger than this are refused before parsing.
constexpr int64_t kMaxMetafileBytes = int64_t(1) << 28;

std::span<const uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

}  // namespace

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

const TGraphicClass& TMetafile::StaticClass() {
  static const TGraphicClass cls{"TMetafile", &TGraphic::StaticClass(), MakeGraphic<TMetafile>};
  return cls;
}

void TMetafile::LoadFromStream(TStream& stream) {
  std::optional<std::string> read = ReadRest(stream, kMaxMetafileBytes);
  if (!read) InvalidMetafile("the file is too large");
  TMetafile loaded;
  loaded.bytes_ = std::move(*read);
  const auto file = AsBytes(loaded.bytes_);
  loaded.enhanced_ = LooksLikeEmf(file);
  if (loaded.enhanced_) {
    loaded.emf_ = ReadEmfHeader(file);
    loaded.width_ = loaded.emf_.pixelWidth;
    loaded.height_ = loaded.emf_.pixelHeight;
  } else {
    loaded.wmf_ = ReadWmfHeader(file);
    loaded.width_ = loaded.wmf_.pixelWidth;
    loaded.height_ = loaded.wmf_.pixelHeight;
  }
  CheckPictureSize(loaded.width_, loaded.height_);
  // Every record is checked now, so drawing never meets a damaged one.
  loaded.Play(nullptr, {0, 0, loaded.width_, loaded.height_});

  bytes_ = std::move(loaded.bytes_);
  enhanced_ = loaded.enhanced_;
  wmf_ = loaded.wmf_;
  emf_ = loaded.emf_;
  width_ = loaded.width_;
  height_ = loaded.height_;
  Changed();
}

void TMetafile::SaveToStream(TStream& stream) const {
  if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty metafile");
  stream.WriteBuffer(bytes_);
}

void TMetafile::Play(DeviceContext* dc, const TRect& rect) const {
  const auto file = AsBytes(bytes_);
  if (enhanced_) {
    // The frame, in the recording device's pixels, is stretched onto rect.
    const double sx = rect.Width() / emf_.frameWidth, sy = rect.Height() / emf_.frameHeight;
    const MetafileXform base{
        sx, 0, 0, sy, rect.Left - emf_.frameLeft * sx, rect.Top - emf_.frameTop * sy};
    MetafilePlayer player(dc, base, rect);
    PlayEmf(file, emf_, player);
  } else {
    MetafilePlayer player(dc, {}, rect);
    player.FixViewport(rect.Left, rect.Top, rect.Width(), rect.Height());
    PlayWmf(file, wmf_, player);
  }
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const {
  DeviceContext* dc = canvas.Handle();
  if (!dc || Empty() || rect.IsEmpty()) return;
  Play(dc, rect);
}

void TMetafile::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TMetafile*>(&source)) {
    bytes_ = other->bytes_;
    enhanced_ = other->enhanced_;
    wmf_ = other->wmf_;
    emf_ = other->emf_;
    width_ = other->width_;
    height_ = other->height_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

}  // namespace plat
