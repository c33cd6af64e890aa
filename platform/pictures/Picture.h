// Folder platform/pictures: the picture classes and their registry, the platform bitmap, BMP,
// icons, JPEG over libjpeg, and the clipboard. Metafiles live beside it in platform/metafile.
//
// Picture classes: the abstract graphic, class descriptors, and the picture container with its
// registry of file extensions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/Geometry.h"
#include "platform/drawing/Palette.h"
#include "platform/runtime/Classes.h"

namespace plat {

class TCanvas;
class TGraphic;
class TBitmap;

// Stands in for a class reference: identity (compare addresses), a name, the parent class for
// "is a" tests, and a factory that makes a default object (none for abstract classes).
struct TGraphicClass {
  const char* Name;
  const TGraphicClass* Parent;
  std::unique_ptr<TGraphic> (*Create)();

  // True when this class is cls or derives from it.
  bool InheritsFrom(const TGraphicClass& cls) const;
};

// Factory helper for descriptors: TGraphicClass{"TFoo", &TGraphic::StaticClass(),
// MakeGraphic<TFoo>}.
template <class T>
std::unique_ptr<TGraphic> MakeGraphic() {
  return std::make_unique<T>();
}

// Receives the size of a picture and gives memory for its width x height 0xAARRGGBB pixels,
// rows top to bottom with no gaps; it may throw to refuse.
using ArgbPictureTarget = std::function<uint32_t*(int32_t width, int32_t height)>;

enum TProgressStage { psStarting, psRunning, psEnding };

using TProgressEvent =
    std::function<void(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                       const TRect& rect, const std::string& message)>;

// A picture that can load, save and draw itself.
class TGraphic : public TPersistent {
 public:
  static const TGraphicClass& StaticClass();
  virtual const TGraphicClass& GraphicClass() const = 0;

  // Opens the file for reading and calls LoadFromStream.
  virtual void LoadFromFile(const std::string& fileName);
  // Writes through a temporary file renamed into place, so a failure keeps the old file.
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void LoadFromStream(TStream& stream) = 0;
  // Decodes the picture straight into the memory the target gives, every pixel as Draw would
  // paint it onto a surface of the picture's size (opaque unless the picture is 32-bit with
  // alpha), so that a large picture is never held twice. The graphic then describes the picture
  // (pixel format, palette, transparency) but holds no pixels. False, with nothing read, from a
  // class that cannot.
  virtual bool LoadFromStreamInto(TStream& stream, const ArgbPictureTarget& target);
  // The same for a file, opened as LoadFromFile opens it.
  virtual bool LoadFromFileInto(const std::string& fileName, const ArgbPictureTarget& target);
  // Raises EInvalidGraphicOperation unless the class can write its format.
  virtual void SaveToStream(TStream& stream) const;

  // Draws the picture into rect of the canvas.
  virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;

  // The palette of an indexed picture; empty for the others.
  virtual const TPalette& Palette() const;

  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  bool Modified() const { return modified_; }
  void SetModified(bool value);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

  // Raises OnProgress when it is assigned.
  void Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                const TRect& rect, const std::string& message);

 protected:
  // Marks the picture modified and fires OnChange.
  virtual void Changed();

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

// One row of the extension registry.
struct TFileFormat {
  std::string Extension;  // without the dot, as registered
  std::string Description;
  const TGraphicClass* GraphicClass;
};

// Holds one graphic of any registered class and finds the class for a file by its extension.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The held graphic, or nullptr.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Takes ownership of graphic (may be nullptr).
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The held graphic as a bitmap; a graphic of another class is replaced by an empty bitmap.
  TBitmap& Bitmap();

  int Width() const;
  int Height() const;

  // Creates a graphic of the class registered for the file's extension and loads the file.
  // On failure the new object is dropped, the old graphic stays and the exception propagates.
  // An unregistered extension raises EInvalidGraphic.
  void LoadFromFile(const std::string& fileName);
  // As LoadFromFile, but a class that can decodes the file straight into target's memory and
  // keeps only the description of the picture (TGraphic::LoadFromFileInto). Whether it did.
  bool LoadFromFile(const std::string& fileName, const ArgbPictureTarget& target);
  void SaveToFile(const std::string& fileName) const;

  // Accepts a graphic (copied), another picture (its graphic copied), or the clipboard (its
  // picture as a bitmap). A failed assignment keeps the old graphic.
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

  // Registry shared by all pictures. A later registration of an extension wins over an earlier
  // one, because lookups run from the newest entry backwards.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 const TGraphicClass& graphicClass);
  // Removes every entry of exactly that class (derived classes keep theirs).
  static void UnregisterGraphicClass(const TGraphicClass& graphicClass);
  // The entries, oldest first.
  static std::vector<TFileFormat> FileFormats();
  // The class registered for an extension (no dot, any case), newest entry first; or nullptr.
  static const TGraphicClass* FindFileFormat(const std::string& extension);
  // Qt file-dialog filter of the classes derived from base, newest entry first: an "All
  // pictures" entry with every pattern, then one entry per extension. Each extension is listed
  // in lower and upper case, so PHOTO.PNG matches on a case-sensitive file system.
  static std::string GraphicFilter(const TGraphicClass& base = TGraphic::StaticClass());

 private:
  void Changed();
  void AdoptGraphic(std::unique_ptr<TGraphic> graphic);
  bool Load(const std::string& fileName, const ArgbPictureTarget* target);

  std::unique_ptr<TGraphic> graphic_;
};

// The extension of the file-name part after its last dot, lower-cased ("" when there is none).
std::string PictureExtension(const std::string& fileName);

// A graphic of the class registered for the extension (no dot), read from the stream; nullptr
// when no class is registered for it. Data the class cannot read raises its error.
std::unique_ptr<TGraphic> ReadPicture(const std::string& extension, TStream& stream);

// The platform's own table of extensions (bitmaps, icons, JPEG, metafiles). Called at start-up;
// calling it again restores the table for those classes.
void RegisterDefaultPictureFormats();

}  // namespace plat
