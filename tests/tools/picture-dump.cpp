// picture-dump FILE [OUT.pam]: loads FILE the way the editor does and writes its 32-bit pixels
// as a PAM (P7, RGB_ALPHA) to OUT or standard output. On failure prints the error and exits 1.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Picture.h"
#include "readers/PictureReaders.h"

namespace {

std::string Pam(const gfx::TBitmap32& bitmap) {
  std::string out = "P7\nWIDTH " + std::to_string(bitmap.Width()) + "\nHEIGHT " +
                    std::to_string(bitmap.Height()) +
                    "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      const gfx::TColor32 p = bitmap.Pixel(x, y);
      out += static_cast<char>(gfx::RedComponent(p));
      out += static_cast<char>(gfx::GreenComponent(p));
      out += static_cast<char>(gfx::BlueComponent(p));
      out += static_cast<char>(gfx::AlphaComponent(p));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: picture-dump FILE [OUT.pam]\n";
    return 2;
  }
  int result = 0;
  gfx::StartEngine();
  plat::RegisterDefaultPictureFormats();
  readers::StartReaders();
  try {
    gfx::TBitmap32 bitmap;
    bitmap.LoadFromFile(argv[1]);
    const std::string pam = Pam(bitmap);
    if (argc == 3) {
      std::ofstream file(argv[2], std::ios::binary);
      file << pam;
      if (!file.flush()) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } else {
      std::cout << pam << std::flush;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    result = 1;
  }
  readers::StopReaders();
  return result;
}
