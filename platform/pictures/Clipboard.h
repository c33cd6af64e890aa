// The system clipboard as far as pictures go.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/runtime/Classes.h"

namespace plat {

class TBitmap;

// Clipboard formats that can be asked for.
enum TClipboardFormat { CF_TEXT = 1, CF_BITMAP = 2, CF_PICTURE = 0xC000 };

class TClipboard : public TPersistent {
 public:
  // True when the clipboard holds a picture (CF_BITMAP, CF_PICTURE) or text (CF_TEXT).
  bool HasFormat(TClipboardFormat format) const;

  // Puts a picture, graphic or bitmap on the clipboard as desktop programs take it: PNG and the
  // other picture formats, each made when a program asks for it. A pf32bit bitmap keeps its
  // alpha, any other picture is opaque. An empty picture leaves the clipboard as it is.
  void Assign(const TPersistent& source) override;
  // The same for Width x Height pixels 0xAARRGGBB whose rows Row gives, copied once.
  void SetPixels(int width, int height, const std::function<const uint32_t*(int)>& row);

  // The clipboard's picture, or nullptr when it holds none. Every picture type offered (PNG
  // first, alpha kept) is read as the kind its bytes show, whatever its name: the kinds the
  // program has picture classes for (PNG, GIF, BMP, JPEG, icons) by those classes; XBM, XPM and
  // the portable maps by the desktop's decoders once their declared size is weighed against their
  // data, giving a pf32bit bitmap when it has alpha, else a pf24bit one; no other kind. A format
  // that cannot be read gives way to the next one offered; when none can, the first one's error
  // is raised.
  std::unique_ptr<TBitmap> GetBitmap() const;

 protected:
  // A TBitmap or TPicture receives the clipboard's picture; raises EInvalidGraphic when the
  // clipboard holds none.
  void AssignTo(TPersistent& dest) const override;
};

// The one clipboard object of the program.
TClipboard& Clipboard();

}  // namespace plat
