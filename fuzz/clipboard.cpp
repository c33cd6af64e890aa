// Pictures other programs put on the desktop clipboard, as PNG, in another format, or in several
// at once: the paste reads the kinds the program knows with its picture readers, other kinds with
// the desktop's decoders once their size is weighed against their data, and falls back from a
// format that does not read to the next; every input ends in a picture or a clear error.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "app/ProgramStart.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/TestSeams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  app::StartProgram();
  // Stopped before the static objects go, as the program's end does.
  std::atexit([] { app::StopProgram(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // A first byte of 0xB0 to 0xB3 offers the rest as BMP, JPEG or GIF alone, or as PNG beside the
  // same bytes as BMP; 0xB4 offers what follows its second byte under the name that byte picks:
  // those of the kinds only the desktop's decoders read, and other names; any other input is
  // offered as PNG, whole. Every picture is read as the kind its bytes show, whatever the name.
  const std::string bytes(reinterpret_cast<const char*>(Data), Size);
  const uint8_t choice = Size > 0 ? Data[0] : 0;
  const std::string rest = Size > 0 ? bytes.substr(1) : bytes;
  switch (choice) {
    case 0xB0:
      plat::PutClipboardData("image/bmp", rest);
      break;
    case 0xB1:
      plat::PutClipboardData("image/jpeg", rest);
      break;
    case 0xB2:
      plat::PutClipboardData("image/gif", rest);
      break;
    case 0xB3:
      plat::PutClipboardData({{"image/png", rest}, {"image/bmp", rest}});
      break;
    case 0xB4: {
      static const char* const names[] = {"image/x-portable-bitmap",
                                          "image/x-portable-graymap",
                                          "image/x-portable-pixmap",
                                          "image/x-xbitmap",
                                          "image/x-xpixmap",
                                          "image/ico",
                                          "image/cur",
                                          "image/xbm",
                                          "image/x-anything",
                                          "IMAGE/JPG"};
      const uint8_t name = Size > 1 ? Data[1] : 0;
      plat::PutClipboardData(names[name % std::size(names)],
                             Size > 1 ? bytes.substr(2) : std::string());
      break;
    }
    default:
      plat::PutClipboardData("image/png", bytes);
  }
  try {
    const std::unique_ptr<plat::TBitmap> pasted = plat::Clipboard().GetBitmap();
    // As a layer takes it: with its alpha.
    gfx::TBitmap32 layer;
    if (pasted) layer.Assign(*pasted);
  } catch (const plat::Exception&) {
  }
  return 0;
}
