// Folder html/images: image objects, picture loading and the image cache, image maps, the GIF
// decoder and animation, colour reduction and the imaging layer for PNG.
//
// Pictures that stand in a section's text like large characters: IMG elements and the pictures
// of image inputs. Each is fetched through the document the first time it is sized, drawn in its
// line (or after the text when it floats), and answers hit tests for its map, input and link.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/images/GifAnimation.h"
#include "html/layout/text/InlineObjects.h"
#include "html/layout/text/PointedObjects.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"

namespace html {

class TSectionList;

// The name a picture of the document is fetched under: expanded beside the page when no host
// supplies pictures, else as the host's name expansion gives it.
std::string PictureSourceName(TSectionList& document, const std::string& url);

class TImageObj : public TFloatingObj, public TPointedImage {
 public:
  // From the attributes of an IMG or an image input at a section position; NAME and ID enter
  // the object in the document's names.
  TImageObj(TSectionList* document, int32_t position, TAttributeList& attributes);
  // The picture of url for backgrounds and list bullets: bottom-aligned, without border.
  static std::unique_ptr<TImageObj> CreateFromURL(TSectionList* document, const std::string& url);
  ~TImageObj() override;
  TImageObj(const TImageObj&) = delete;
  TImageObj& operator=(const TImageObj&) = delete;

  void ApplyProperties(const TProperties& prop) override;
  // Fetches the picture the first time, then sets ObjWidth/ObjHeight and the box.
  void ComputeSize(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase,
                   const TMyFont& font) override;
  void DrawInline(plat::TCanvas& canvas, const TInlinePlace& place) override;
  int32_t InlineTop(const TInlinePlace& place) const override;
  void DrawFloat(plat::TCanvas& canvas, int32_t x, int32_t top) override;
  // Draws the object for a line: x is the left of its box, baseline and top (the line's text
  // top) in window coordinates; run gives the colours and the link.
  void Draw(plat::TCanvas& canvas, int32_t x, const TFontObj& run, int32_t baseline, int32_t top);
  // The picture alone with its top left at (x, y), window coordinates.
  void DrawImage(plat::TCanvas& canvas, int32_t x, int32_t y);
  // A bitmap of the picture (a GIF's first frame), or null for placeholders and other kinds.
  plat::TBitmap* GetBitmap();

  // ACTIVE GIFs move (or show their hover frames) only under the mouse.
  void SetHover(THoverState state) override;
  // (x, y) in document coordinates inside the picture area (the box without its border).
  bool PointInside(int32_t x, int32_t y, int32_t& insideX, int32_t& insideY) const override;

  // The image input that shows this picture, or null.
  TFormControlObj* FormControl() const { return ImageInput; }
  void SetFormControl(TFormControlObj* control) { ImageInput = control; }
  // The picture is one of the shared placeholders (not loaded yet, or missing).
  bool IsPlaceholder() const;

  TSectionList* Document;
  std::string Source;                  // SRC, trimmed; expanded when fetched
  plat::TObject* Image = nullptr;      // the picture in use; owned elsewhere or by this object
  plat::TObject* OrigImage = nullptr;  // as the image cache gave it
  plat::TBitmap* Mask = nullptr;
  uint8_t Transparent = 0;  // 1: drawn through Mask
  THoverState HoverState = THoverState::hvOff;
  bool HasActive = false;
  int32_t AltHeight = 0, AltWidth = 0;
  int32_t ObjHeight = 0, ObjWidth = 0;  // the drawn picture, without border
  bool HasUseMap = false;
  std::string MapName;  // upper case, without a leading "#"
  bool Delayed = false;
  // The object stands in a link: it gets a border of at least 1 unless BORDER="0".
  bool InLink = false;

 private:
  TImageObj(TSectionList* document, const std::string& url);
  void FetchPicture();
  // The box size from the picture and the requested sizes.
  void SizeFromPicture(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase);
  void MeasureAltText(plat::TCanvas& canvas);
  // The box top by the alignment, from the line's baseline and text top.
  int32_t AlignedTop(const TFontObj& run, int32_t baseline, int32_t textTop) const;
  // Draws the picture or placeholder, the border and the focus rectangle of the box whose top
  // is boxTop (window coordinates); DrawX and DrawY are set.
  void DrawFramed(plat::TCanvas& canvas, int32_t boxTop, plat::TColor color, bool linkFocused);
  void DrawAltText(plat::TCanvas& canvas, const plat::TRect& box, plat::TColor color);
  // Copies the texts that hit tests read.
  void UpdatePointedTexts();

  std::unique_ptr<TGIFImage> ownGif_;  // a copy of a cached GIF, animated for this object
  std::unique_ptr<plat::TBitmap> bitmapCopy_;
  plat::TColor textColor_ = plat::clBlack;  // of the text at the object, for floats
  std::string cacheKey_;                    // the name the cache counts this object under
  std::vector<std::string> names_;          // NAME and ID entered in the document's names
};

}  // namespace html
