#include "platform/JpegCodec.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
// jerror.h needs jpeglib.h first.
#include <jerror.h>

namespace plat {

namespace {

// libjpeg's error handler jumps back to the step that called the library. The steps below keep
// no objects with destructors in their own frames, so nothing is skipped by the jump.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

void SilentOutput(j_common_ptr) {}

// Warnings pass silently, except those saying the data ran out: libjpeg would invent the rest of
// the picture, so a few bytes could make it decode a huge grey image.
void EmitMessage(j_common_ptr cinfo, int level) {
  const int code = cinfo->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) ErrorExit(cinfo);
}

void InstallErrorManager(ErrorManager& manager) {
  jpeg_std_error(&manager.pub);
  manager.pub.error_exit = ErrorExit;
  manager.pub.output_message = SilentOutput;
  manager.pub.emit_message = EmitMessage;
  manager.message[0] = '\0';
}

[[noreturn]] void Fail(const ErrorManager& manager) {
  throw EInvalidGraphic(std::string("Invalid JPEG picture: ") + manager.message);
}

constexpr long kMaxDecoderMemory = 1L << 30;

// libjpeg's 32-bit layout whose bytes in memory make a 0xAARRGGBB word.
constexpr J_COLOR_SPACE kArgbSpace =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

uint8_t Multiply255(unsigned a, unsigned b) {
  return uint8_t((a * b + 127) / 255);
}

class Decompressor {
 public:
  Decompressor() { InstallErrorManager(errors_); }
  ~Decompressor() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  const jpeg_decompress_struct& Info() const { return cinfo_; }
  const ErrorManager& Errors() const { return errors_; }

  bool ReadHeader(const std::string& data) {
    if (setjmp(errors_.jump)) return false;
    cinfo_.err = &errors_.pub;
    jpeg_create_decompress(&cinfo_);
    created_ = true;
    // Multi-scan pictures keep all coefficients in memory; beyond this libjpeg fails cleanly
    // instead of taking whatever a few header bytes ask for.
    cinfo_.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&cinfo_, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo_, TRUE);
    return true;
  }

  // With argb, colour and grey data come out as libjpeg's 32-bit layout matching 0xAARRGGBB,
  // alpha 255.
  bool Start(const JpegDecodeOptions& options, bool argb) {
    if (setjmp(errors_.jump)) return false;
    cinfo_.scale_num = 1;
    cinfo_.scale_denom = unsigned(options.scaleDenominator);
    const bool cmyk = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
    if (argb && !cmyk) {
      cinfo_.out_color_space = kArgbSpace;
    } else if (options.grayscale || cinfo_.num_components == 1) {
      cinfo_.out_color_space = JCS_GRAYSCALE;
    } else if (cmyk) {
      cinfo_.out_color_space = JCS_CMYK;
    } else {
      cinfo_.out_color_space = JCS_RGB;
      if (options.quantize) {
        cinfo_.quantize_colors = TRUE;
        cinfo_.desired_number_of_colors = 256;
      }
    }
    jpeg_start_decompress(&cinfo_);
    return true;
  }

  // Reads every row into the bitmap's pixels (rows top to bottom, stride bytes apart); scratch
  // holds one decoded row.
  bool ReadRows(uint8_t* pixels, int64_t stride, uint8_t* scratch) {
    if (setjmp(errors_.jump)) return false;
    while (cinfo_.output_scanline < cinfo_.output_height) {
      uint8_t* target = pixels + int64_t(cinfo_.output_scanline) * stride;
      JSAMPROW row = scratch;
      jpeg_read_scanlines(&cinfo_, &row, 1);
      StoreRow(scratch, target);
    }
    jpeg_finish_decompress(&cinfo_);
    return true;
  }

  // Reads every row into packed 0xAARRGGBB pixels; CMYK rows go through scratch.
  bool ReadArgbRows(uint32_t* pixels, uint8_t* scratch) {
    if (setjmp(errors_.jump)) return false;
    const bool direct = cinfo_.out_color_space == kArgbSpace;
    while (cinfo_.output_scanline < cinfo_.output_height) {
      uint32_t* target = pixels + size_t(cinfo_.output_scanline) * cinfo_.output_width;
      JSAMPROW row = direct ? reinterpret_cast<JSAMPROW>(target) : scratch;
      jpeg_read_scanlines(&cinfo_, &row, 1);
      if (!direct) {
        for (unsigned x = 0; x < cinfo_.output_width; ++x) {
          const Rgb c = CmykToRgb(scratch + 4 * x);
          target[x] = 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
        }
      }
    }
    jpeg_finish_decompress(&cinfo_);
    return true;
  }

 private:
  struct Rgb {
    uint8_t r, g, b;
  };

  Rgb CmykToRgb(const uint8_t* p) const {
    // Adobe's files store the inks inverted.
    const bool inverted = cinfo_.saw_Adobe_marker;
    unsigned c = inverted ? p[0] : 255u - p[0], m = inverted ? p[1] : 255u - p[1],
             y = inverted ? p[2] : 255u - p[2], k = inverted ? p[3] : 255u - p[3];
    return {Multiply255(c, k), Multiply255(m, k), Multiply255(y, k)};
  }

  void StoreRow(const uint8_t* src, uint8_t* dst) const {
    const unsigned width = cinfo_.output_width;
    if (cinfo_.output_components == 1) {
      for (unsigned x = 0; x < width; ++x) dst[x] = src[x];
    } else if (cinfo_.out_color_space == JCS_CMYK) {
      for (unsigned x = 0; x < width; ++x) {
        const Rgb c = CmykToRgb(src + 4 * x);
        dst[3 * x] = c.b;
        dst[3 * x + 1] = c.g;
        dst[3 * x + 2] = c.r;
      }
    } else {
      for (unsigned x = 0; x < width; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
    }
  }

  jpeg_decompress_struct cinfo_{};
  ErrorManager errors_;
  bool created_ = false;
};

class Compressor {
 public:
  Compressor() { InstallErrorManager(errors_); }
  ~Compressor() {
    if (created_) jpeg_destroy_compress(&cinfo_);
    std::free(buffer_);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  const ErrorManager& Errors() const { return errors_; }
  std::string Result() const { return std::string(reinterpret_cast<char*>(buffer_), size_); }

  // Reads the rows straight in libjpeg's matching 32-bit layout: the colour conversion is the
  // same as for packed RGB, so the output does not change.
  bool Run(int width, int height, int quality, const ArgbRowSource& rows) {
    if (setjmp(errors_.jump)) return false;
    cinfo_.err = &errors_.pub;
    jpeg_create_compress(&cinfo_);
    created_ = true;
    jpeg_mem_dest(&cinfo_, &buffer_, &size_);
    cinfo_.image_width = JDIMENSION(width);
    cinfo_.image_height = JDIMENSION(height);
    cinfo_.input_components = 4;
    cinfo_.in_color_space =
        std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality, TRUE);
    jpeg_start_compress(&cinfo_, TRUE);
    while (cinfo_.next_scanline < cinfo_.image_height) {
      JSAMPROW row =
          reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(rows(int32_t(cinfo_.next_scanline))));
      jpeg_write_scanlines(&cinfo_, &row, 1);
    }
    jpeg_finish_compress(&cinfo_);
    return true;
  }

 private:
  jpeg_compress_struct cinfo_{};
  ErrorManager errors_;
  unsigned char* buffer_ = nullptr;
  unsigned long size_ = 0;
  bool created_ = false;
};

}  // namespace

std::unique_ptr<TBitmap> DecodeJpeg(const std::string& data, const JpegDecodeOptions& options) {
  Decompressor decoder;
  if (!decoder.ReadHeader(data)) Fail(decoder.Errors());
  CheckPictureSize(decoder.Info().image_width, decoder.Info().image_height);
  if (!decoder.Start(options, false)) Fail(decoder.Errors());
  const jpeg_decompress_struct& info = decoder.Info();
  const bool indexed = info.output_components == 1;

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(indexed ? pf8bit : pf24bit);
  if (info.quantize_colors) {
    std::vector<TPaletteEntry> entries(static_cast<size_t>(info.actual_number_of_colors));
    for (size_t i = 0; i < entries.size(); ++i) {
      entries[i] = {info.colormap[0][i], info.colormap[1][i], info.colormap[2][i], 0};
    }
    bitmap->SetPalette(TPalette(std::move(entries)));
  } else if (indexed) {
    bitmap->SetPalette(TPalette::GrayRamp(256));
  }
  bitmap->SetSize(int(info.output_width), int(info.output_height));
  std::vector<uint8_t> scratch(size_t(info.output_width) * size_t(info.output_components));
  if (!decoder.ReadRows(bitmap->ScanLine(0), bitmap->RowStride(), scratch.data())) {
    Fail(decoder.Errors());
  }
  return bitmap;
}

void DecodeJpegArgb(const std::string& data, const ArgbPictureTarget& target) {
  Decompressor decoder;
  if (!decoder.ReadHeader(data)) Fail(decoder.Errors());
  CheckPictureSize(decoder.Info().image_width, decoder.Info().image_height);
  if (!decoder.Start({}, true)) Fail(decoder.Errors());
  const jpeg_decompress_struct& info = decoder.Info();
  uint32_t* pixels = target(int32_t(info.output_width), int32_t(info.output_height));
  std::vector<uint8_t> scratch(size_t(info.output_width) * size_t(info.output_components));
  if (!decoder.ReadArgbRows(pixels, scratch.data())) Fail(decoder.Errors());
}

std::string EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw EInvalidGraphic("Cannot compress an empty picture");
  std::vector<uint32_t> argb(static_cast<size_t>(bitmap.Width()));
  return EncodeJpegArgbRows(bitmap.Width(), bitmap.Height(), quality, [&](int32_t y) {
    bitmap.ReadRowARGB(y, argb.data());
    return argb.data();
  });
}

std::string EncodeJpegArgbRows(int32_t width, int32_t height, int quality,
                               const ArgbRowSource& rows) {
  if (width <= 0 || height <= 0) throw EInvalidGraphic("Cannot compress an empty picture");
  CheckPictureSize(width, height);
  Compressor encoder;
  if (!encoder.Run(width, height, std::clamp(quality, 1, 100), rows)) {
    throw EInvalidGraphic(std::string("Cannot compress the picture: ") + encoder.Errors().message);
  }
  return encoder.Result();
}

}  // namespace plat
