// Folder platform/metafile: WMF and EMF pictures, read record by record and played onto a device
// context of platform/drawing.
//
// Metafile pictures: standard Windows metafiles (with or without the placeable header) and
// enhanced metafiles, played by the layer itself onto any canvas.
#pragma once

#include <string>

#include "platform/metafile/MetafileFormats.h"
#include "platform/pictures/Picture.h"

namespace plat {

class TMetafile : public TGraphic {
 public:
  TMetafile();
  ~TMetafile() override;

  static const TGraphicClass& StaticClass();
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }

  // Pixels at 96 dpi: from the placeable header's bounds and units per inch, from the first
  // window a standard metafile sets, or from an enhanced metafile's frame.
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return bytes_.empty(); }
  // True for an enhanced metafile.
  bool Enhanced() const { return enhanced_; }

  // Reads either kind. A damaged file (bad header, records past the end, impossible counts)
  // raises EInvalidGraphic and leaves the metafile unchanged.
  void LoadFromStream(TStream& stream) override;
  // Writes the file as it was read.
  void SaveToStream(TStream& stream) const override;

  // Plays the records scaled onto rect; nothing is drawn outside rect.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

  void Assign(const TPersistent& source) override;

 private:
  // Plays the records with player (which may have no device context: a check of every record).
  void Play(DeviceContext* dc, const TRect& rect) const;

  std::string bytes_;
  bool enhanced_ = false;
  WmfInfo wmf_;
  EmfInfo emf_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace plat
