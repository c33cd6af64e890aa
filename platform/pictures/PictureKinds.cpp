#include "platform/pictures/PictureKinds.h"

#include <string_view>

namespace plat {
namespace {

int64_t BytesPerRowOfBits(int64_t width) {
  return (width + 7) / 8;
}

// The kinds the program reads itself: their readers weigh sizes against data on their own.
constexpr TPictureKind kPng{"PNG", "png", nullptr, nullptr};
constexpr TPictureKind kGif{"GIF", "gif", nullptr, nullptr};
constexpr TPictureKind kBmp{"BMP", "bmp", nullptr, nullptr};
constexpr TPictureKind kJpeg{"JPEG", "jpg", nullptr, nullptr};
constexpr TPictureKind kIcon{"ICO", "ico", nullptr, nullptr};

// The kinds only the desktop's decoders read, each weighed by its densest encoding. XBM: a byte
// of eight pixels is written "0xff" at the least. XPM: a character a pixel at the least.
constexpr TPictureKind kXbm{"XBM", nullptr, "xbm",
                            [](int64_t w, int64_t h) { return 4 * BytesPerRowOfBits(w) * h; }};
constexpr TPictureKind kXpm{"XPM", nullptr, "xpm", [](int64_t w, int64_t h) { return w * h; }};
// Portable maps: as text a character a bit, a digit and a blank a sample; raw a bit or a byte
// a sample.
constexpr TPictureKind kPortableMaps[] = {
    {"PBM", nullptr, "pbm", [](int64_t w, int64_t h) { return w * h; }},
    {"PGM", nullptr, "pgm", [](int64_t w, int64_t h) { return 2 * w * h - 1; }},
    {"PPM", nullptr, "ppm", [](int64_t w, int64_t h) { return 6 * w * h - 1; }},
    {"PBM", nullptr, "pbm", [](int64_t w, int64_t h) { return BytesPerRowOfBits(w) * h; }},
    {"PGM", nullptr, "pgm", [](int64_t w, int64_t h) { return w * h; }},
    {"PPM", nullptr, "ppm", [](int64_t w, int64_t h) { return 3 * w * h; }},
};

struct TSignature {
  std::string_view Bytes;
  const TPictureKind* Kind;
};
constexpr TSignature kSignatures[] = {
    {"\x89PNG", &kPng},
    {"GIF8", &kGif},
    {"BM", &kBmp},
    {"\xFF\xD8", &kJpeg},
    {std::string_view("\0\0\1\0", 4), &kIcon},
    {std::string_view("\0\0\2\0", 4), &kIcon},  // cursors, read as icons
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// XPM opens with the comment "XPM", XBM with its first #define after any other comments.
const TPictureKind* CSourceKind(std::string_view text) {
  for (;;) {
    text = Trimmed(text);
    if (!text.starts_with("/*")) break;
    const size_t end = text.find("*/", 2);
    if (end == std::string_view::npos) return nullptr;
    if (Trimmed(text.substr(2, end - 2)) == "XPM") return &kXpm;
    text.remove_prefix(end + 2);
  }
  return text.starts_with("#define") ? &kXbm : nullptr;
}

}  // namespace

const TPictureKind* PictureKindOf(const char* bytes, size_t size) {
  const std::string_view data(bytes, size);
  for (const TSignature& signature : kSignatures)
    if (data.starts_with(signature.Bytes)) return signature.Kind;
  // "P1" to "P6", then a blank or a comment.
  if (size >= 3 && data[0] == 'P' && data[1] >= '1' && data[1] <= '6' &&
      (IsBlank(data[2]) || data[2] == '#'))
    return &kPortableMaps[data[1] - '1'];
  return CSourceKind(data);
}

}  // namespace plat
