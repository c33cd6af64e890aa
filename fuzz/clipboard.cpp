// Pictures other programs put on the desktop clipboard as PNG: the paste reads them with the
// picture readers, and every input ends in a picture or a clear error.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
  plat::PutClipboardData("image/png", std::string(reinterpret_cast<const char*>(Data), Size));
  try {
    const std::unique_ptr<plat::TBitmap> pasted = plat::Clipboard().GetBitmap();
    // As a layer takes it: with its alpha.
    gfx::TBitmap32 layer;
    if (pasted) layer.Assign(*pasted);
  } catch (const plat::Exception&) {
  }
  return 0;
}
