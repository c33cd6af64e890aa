#include "platform/pictures/Picture.h"

#include "platform/metafile/Metafile.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Icon.h"
#include "platform/pictures/Jpeg.h"

namespace plat {

bool TGraphicClass::InheritsFrom(const TGraphicClass& cls) const {
  for (const TGraphicClass* c = this; c; c = c->Parent) {
    if (c == &cls) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// TGraphic

const TGraphicClass& TGraphic::StaticClass() {
  static const TGraphicClass cls{"TGraphic", nullptr, nullptr};
  return cls;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

bool TGraphic::LoadFromStreamInto(TStream&, const ArgbPictureTarget&) {
  return false;
}

bool TGraphic::LoadFromFileInto(const std::string& fileName, const ArgbPictureTarget& target) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  return LoadFromStreamInto(stream, target);
}

void TGraphic::SaveToFile(const std::string& fileName) const {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(fileName);
}

void TGraphic::SaveToStream(TStream&) const {
  throw EInvalidGraphicOperation("Cannot save a picture of class " + ClassName());
}

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value) {
    Changed();
  } else {
    modified_ = false;
  }
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                        const TRect& rect, const std::string& message) {
  if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, rect, message);
}

// ---------------------------------------------------------------------------------------------
// Registry

namespace {

std::vector<TFileFormat>& Registry() {
  static std::vector<TFileFormat> formats;
  return formats;
}

}  // namespace

std::string PictureExtension(const std::string& fileName) {
  size_t nameStart = fileName.rfind('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return "";
  return LowerCase(fileName.substr(dot + 1));
}

std::unique_ptr<TGraphic> ReadPicture(const std::string& extension, TStream& stream) {
  const TGraphicClass* cls = TPicture::FindFileFormat(extension);
  if (!cls || !cls->Create) return nullptr;
  std::unique_ptr<TGraphic> graphic = cls->Create();
  graphic->LoadFromStream(stream);
  return graphic;
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const TGraphicClass& graphicClass) {
  Registry().push_back({LowerCase(extension), description, &graphicClass});
}

void TPicture::UnregisterGraphicClass(const TGraphicClass& graphicClass) {
  std::erase_if(Registry(), [&](const TFileFormat& f) { return f.GraphicClass == &graphicClass; });
}

std::vector<TFileFormat> TPicture::FileFormats() {
  return Registry();
}

const TGraphicClass* TPicture::FindFileFormat(const std::string& extension) {
  const auto& formats = Registry();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
    if (SameText(it->Extension, extension)) return it->GraphicClass;
  }
  return nullptr;
}

std::string TPicture::GraphicFilter(const TGraphicClass& base) {
  std::string all;
  std::string each;
  const auto& formats = Registry();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
    if (!it->GraphicClass->InheritsFrom(base)) continue;
    std::string patterns = "*." + LowerCase(it->Extension) + " *." + UpperCase(it->Extension);
    all += (all.empty() ? "" : " ") + patterns;
    each += ";;" + it->Description + " (" + patterns + ")";
  }
  return "All pictures (" + all + ")" + each;
}

void RegisterDefaultPictureFormats() {
  const TGraphicClass* classes[] = {&TJPEGImage::StaticClass(), &TBitmap::StaticClass(),
                                    &TIcon::StaticClass(), &TMetafile::StaticClass()};
  for (const TGraphicClass* cls : classes) TPicture::UnregisterGraphicClass(*cls);
  TPicture::RegisterFileFormat("emf", "Enhanced metafiles", TMetafile::StaticClass());
  TPicture::RegisterFileFormat("wmf", "Metafiles", TMetafile::StaticClass());
  TPicture::RegisterFileFormat("ico", "Icons", TIcon::StaticClass());
  TPicture::RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("dib", "Device independent bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("rle", "Run length encoded bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("jfif", "JPEG images", TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat("jpe", "JPEG images", TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat("jpeg", "JPEG images", TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat("jpg", "JPEG images", TJPEGImage::StaticClass());
}

// ---------------------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::AdoptGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) {
    graphic_->OnChange = [this](TObject*) { Changed(); };
    graphic_->OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percent,
                                  bool redraw, const TRect& rect, const std::string& message) {
      if (OnProgress) OnProgress(sender, stage, percent, redraw, rect, message);
    };
  }
  Changed();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  AdoptGraphic(std::move(graphic));
}

TBitmap& TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
  if (!bitmap) {
    auto fresh = std::make_unique<TBitmap>();
    bitmap = fresh.get();
    AdoptGraphic(std::move(fresh));
  }
  return *bitmap;
}

int TPicture::Width() const {
  return graphic_ ? graphic_->Width() : 0;
}
int TPicture::Height() const {
  return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& fileName) {
  Load(fileName, nullptr);
}

bool TPicture::LoadFromFile(const std::string& fileName, const ArgbPictureTarget& target) {
  return Load(fileName, &target);
}

bool TPicture::Load(const std::string& fileName, const ArgbPictureTarget* target) {
  std::string extension = PictureExtension(fileName);
  const TGraphicClass* cls = FindFileFormat(extension);
  if (!cls || !cls->Create) {
    throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", {extension}));
  }
  std::unique_ptr<TGraphic> graphic = cls->Create();
  graphic->OnProgress = OnProgress;
  const bool intoTarget = target && graphic->LoadFromFileInto(fileName, *target);
  if (!intoTarget) graphic->LoadFromFile(fileName);
  AdoptGraphic(std::move(graphic));
  return intoTarget;
}

void TPicture::SaveToFile(const std::string& fileName) const {
  if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent& source) {
  std::unique_ptr<TGraphic> copy;
  const TGraphic* original = nullptr;
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) {
    original = picture->Graphic();
    if (!original) {
      AdoptGraphic(nullptr);
      return;
    }
  } else if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    original = graphic;
  } else if (auto* clipboard = dynamic_cast<const TClipboard*>(&source)) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(*clipboard);
    AdoptGraphic(std::move(bitmap));
    return;
  } else {
    TPersistent::Assign(source);
    return;
  }
  if (!original->GraphicClass().Create) AssignError(&source);
  copy = original->GraphicClass().Create();
  copy->Assign(*original);
  AdoptGraphic(std::move(copy));
}

}  // namespace plat
