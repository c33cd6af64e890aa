// Icons: ICO files whose images are device-independent bitmaps with an AND mask or PNG streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pictures/Picture.h"

namespace plat {

class TIcon : public TGraphic {
 public:
  TIcon();
  ~TIcon() override;

  static const TGraphicClass& StaticClass();
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }

  // Reads an ICO file and keeps its largest image (then the deepest). Bad data raises
  // EInvalidGraphic and leaves the icon unchanged.
  void LoadFromStream(TStream& stream) override;
  // Writes the ICO file as it was read.
  void SaveToStream(TStream& stream) const override;

  // Composites the icon over the canvas (source-over, straight alpha), stretched by nearest
  // neighbour when rect has another size.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // The chosen image as straight 0xAARRGGBB values, rows top to bottom.
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  void Assign(const TPersistent& source) override;

 protected:
  // A TBitmap receives the image as pf32bit with its alpha.
  void AssignTo(TPersistent& dest) const override;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  std::string fileBytes_;
};

}  // namespace plat
