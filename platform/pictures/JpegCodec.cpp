#include "platform/pictures/JpegCodec.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

#include <jpeglib.h>
// jerror.h needs jpeglib.h first.
#include <jerror.h>

#include "platform/runtime/SysUtils.h"

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

// A failure of the stream the data came from goes on as it was raised.
[[noreturn]] void Fail(const ErrorManager& manager, const std::exception_ptr& cause = nullptr) {
  if (cause) std::rethrow_exception(cause);
  throw EInvalidGraphic(std::string("Invalid JPEG picture: ") + manager.message);
}

constexpr long kMaxDecoderMemory = 1L << 30;
constexpr const char* TooLargeText = "JPEG picture is too large";

// libjpeg's 32-bit layout whose bytes in memory make a 0xAARRGGBB word.
constexpr J_COLOR_SPACE kArgbSpace =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

uint8_t Multiply255(unsigned a, unsigned b) {
  return uint8_t((a * b + 127) / 255);
}

// Attaches a whole stream held in memory.
auto MemorySource(const std::string& data) {
  return [&data](j_decompress_ptr cinfo) {
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
  };
}

// Feeds libjpeg from a stream a block at a time. A failing stream is remembered and libjpeg is
// stopped through its error exit, so no exception crosses libjpeg's frames.
class StreamSource {
 public:
  explicit StreamSource(TStream& stream) : stream_(stream), block_(kBlockBytes) {
    hook_.pub.init_source = [](j_decompress_ptr) {};
    hook_.pub.fill_input_buffer = Fill;
    hook_.pub.skip_input_data = Skip;
    hook_.pub.resync_to_restart = jpeg_resync_to_restart;
    hook_.pub.term_source = [](j_decompress_ptr) {};
    hook_.owner = this;
  }
  StreamSource(const StreamSource&) = delete;
  StreamSource& operator=(const StreamSource&) = delete;

  void operator()(j_decompress_ptr cinfo) { cinfo->src = &hook_.pub; }
  const std::exception_ptr& Failure() const { return failure_; }

 private:
  static constexpr size_t kBlockBytes = size_t(1) << 16;

  // What libjpeg holds: its manager first, then the way back to this object.
  struct Hook {
    jpeg_source_mgr pub;
    StreamSource* owner;
  };

  static boolean Fill(j_decompress_ptr cinfo) {
    StreamSource& self = *reinterpret_cast<Hook*>(cinfo->src)->owner;
    int64_t got = 0;
    try {
      if (self.read_ > MaxJpegBytes) throw EInvalidGraphic(TooLargeText);
      got = self.stream_.Read(self.block_.data(), int64_t(self.block_.size()));
      self.read_ += std::max<int64_t>(got, 0);
    } catch (...) {
      self.failure_ = std::current_exception();
    }
    if (self.failure_) ERREXIT(cinfo, JERR_FILE_READ);
    // Nothing at all is an empty file, as libjpeg's memory source says.
    if (got <= 0 && !self.started_) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    self.started_ = true;
    if (got <= 0) {
      // As libjpeg's own sources do: a warning, then an end marker.
      WARNMS(cinfo, JWRN_JPEG_EOF);
      self.block_[0] = 0xFF;
      self.block_[1] = JPEG_EOI;
      got = 2;
    }
    self.hook_.pub.next_input_byte = self.block_.data();
    self.hook_.pub.bytes_in_buffer = size_t(got);
    return TRUE;
  }

  static void Skip(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& source = *cinfo->src;
    while (size_t(count) > source.bytes_in_buffer) {
      count -= long(source.bytes_in_buffer);
      Fill(cinfo);
    }
    source.next_input_byte += count;
    source.bytes_in_buffer -= size_t(count);
  }

  Hook hook_{};
  TStream& stream_;
  std::vector<JOCTET> block_;
  std::exception_ptr failure_;
  int64_t read_ = 0;
  bool started_ = false;
};

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

  // Attach gives the decoder its source of data.
  template <class Attach>
  bool ReadHeader(Attach&& attach) {
    if (setjmp(errors_.jump)) return false;
    cinfo_.err = &errors_.pub;
    jpeg_create_decompress(&cinfo_);
    created_ = true;
    // Multi-scan pictures keep all coefficients in memory; beyond this libjpeg fails cleanly
    // instead of taking whatever a few header bytes ask for.
    cinfo_.mem->max_memory_to_use = kMaxDecoderMemory;
    attach(&cinfo_);
    jpeg_read_header(&cinfo_, TRUE);
    return true;
  }

  // The fewest bytes the first scan's data can take: every block of a Huffman-coded scan takes a
  // bit at least. Arithmetic coding has no such floor.
  uint64_t LeastFirstScanBytes() const {
    if (cinfo_.arith_code) return 0;
    uint64_t blocks = 0;
    for (int i = 0; i < cinfo_.comps_in_scan; ++i)
      blocks += uint64_t(cinfo_.cur_comp_info[i]->width_in_blocks) *
                cinfo_.cur_comp_info[i]->height_in_blocks;
    return blocks / 8;
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

  // Reads every row into packed 0xAARRGGBB pixels, several at a call where they go straight in;
  // CMYK rows go through scratch.
  bool ReadArgbRows(uint32_t* pixels, uint8_t* scratch) {
    if (setjmp(errors_.jump)) return false;
    const bool direct = cinfo_.out_color_space == kArgbSpace;
    const unsigned width = cinfo_.output_width;
    while (cinfo_.output_scanline < cinfo_.output_height) {
      uint32_t* target = pixels + size_t(cinfo_.output_scanline) * width;
      if (direct) {
        JSAMPROW rows[kRowsAtOnce];
        const unsigned count = std::min(kRowsAtOnce, cinfo_.output_height - cinfo_.output_scanline);
        for (unsigned i = 0; i < count; ++i)
          rows[i] = reinterpret_cast<JSAMPROW>(target + size_t(i) * width);
        jpeg_read_scanlines(&cinfo_, rows, count);
        continue;
      }
      JSAMPROW row = scratch;
      jpeg_read_scanlines(&cinfo_, &row, 1);
      for (unsigned x = 0; x < width; ++x) {
        const Rgb c = CmykToRgb(scratch + 4 * x);
        target[x] = 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
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

  static constexpr unsigned kRowsAtOnce = 16;

  jpeg_decompress_struct cinfo_{};
  ErrorManager errors_;
  bool created_ = false;
};

// Hands libjpeg's output to the sink a block at a time. A failing sink is remembered and libjpeg
// is stopped through its error exit, so no exception crosses libjpeg's frames.
class SinkDestination {
 public:
  explicit SinkDestination(const JpegByteSink& sink) : sink_(sink), block_(kBlockBytes) {
    hook_.pub.init_destination = Init;
    hook_.pub.empty_output_buffer = Empty;
    hook_.pub.term_destination = Term;
    hook_.owner = this;
  }
  SinkDestination(const SinkDestination&) = delete;
  SinkDestination& operator=(const SinkDestination&) = delete;
  jpeg_destination_mgr* Manager() { return &hook_.pub; }
  const std::exception_ptr& Failure() const { return failure_; }

 private:
  static constexpr size_t kBlockBytes = size_t(1) << 16;

  // What libjpeg holds: its manager first, then the way back to this object.
  struct Hook {
    jpeg_destination_mgr pub;
    SinkDestination* owner;
  };

  static SinkDestination& Of(j_compress_ptr cinfo) {
    return *reinterpret_cast<Hook*>(cinfo->dest)->owner;
  }
  static void Init(j_compress_ptr cinfo) { Of(cinfo).Restart(); }
  static boolean Empty(j_compress_ptr cinfo) {
    Of(cinfo).Pass(cinfo, kBlockBytes);
    return TRUE;
  }
  static void Term(j_compress_ptr cinfo) {
    SinkDestination& self = Of(cinfo);
    self.Pass(cinfo, kBlockBytes - self.hook_.pub.free_in_buffer);
  }

  void Restart() {
    hook_.pub.next_output_byte = block_.data();
    hook_.pub.free_in_buffer = block_.size();
  }
  void Pass(j_compress_ptr cinfo, size_t count) {
    try {
      sink_(reinterpret_cast<const char*>(block_.data()), count);
    } catch (...) {
      failure_ = std::current_exception();
    }
    if (failure_) ERREXIT(cinfo, JERR_FILE_WRITE);
    Restart();
  }

  Hook hook_{};
  const JpegByteSink& sink_;
  std::vector<JOCTET> block_;
  std::exception_ptr failure_;
};

class Compressor {
 public:
  Compressor() { InstallErrorManager(errors_); }
  ~Compressor() {
    if (created_) jpeg_destroy_compress(&cinfo_);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  const ErrorManager& Errors() const { return errors_; }

  // Reads the rows straight in libjpeg's matching 32-bit layout: the colour conversion is the
  // same as for packed RGB, so the output does not change.
  bool Run(int width, int height, int quality, const ArgbRowSource& rows,
           jpeg_destination_mgr* destination) {
    if (setjmp(errors_.jump)) return false;
    cinfo_.err = &errors_.pub;
    jpeg_create_compress(&cinfo_);
    created_ = true;
    cinfo_.dest = destination;
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
  bool created_ = false;
};

}  // namespace

// The header's size against the data, before any pixel is allocated: a few bytes may declare a
// picture that their data runs out of long before. DataBytes is negative when unknown.
void CheckSizeAgainstData(const Decompressor& decoder, int64_t dataBytes) {
  const jpeg_decompress_struct& info = decoder.Info();
  CheckPictureSize(info.image_width, info.image_height);
  if (dataBytes < 0 || uint64_t(dataBytes) >= decoder.LeastFirstScanBytes()) return;
  throw EInvalidGraphic(Format("Invalid JPEG picture: %d bytes cannot hold %d x %d pixels",
                               {dataBytes, info.image_width, info.image_height}));
}

std::unique_ptr<TBitmap> DecodeJpeg(const std::string& data, const JpegDecodeOptions& options) {
  Decompressor decoder;
  if (!decoder.ReadHeader(MemorySource(data))) Fail(decoder.Errors());
  CheckSizeAgainstData(decoder, int64_t(data.size()));
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

namespace {

// Cause is the failure of the stream behind the source, set once it fails.
template <class Attach>
void DecodeArgbFrom(Attach&& attach, int64_t dataBytes, const std::exception_ptr& cause,
                    const ArgbPictureTarget& target) {
  Decompressor decoder;
  if (!decoder.ReadHeader(attach)) Fail(decoder.Errors(), cause);
  CheckSizeAgainstData(decoder, dataBytes);
  if (!decoder.Start({}, true)) Fail(decoder.Errors(), cause);
  const jpeg_decompress_struct& info = decoder.Info();
  uint32_t* pixels = target(int32_t(info.output_width), int32_t(info.output_height));
  std::vector<uint8_t> scratch(size_t(info.output_width) * size_t(info.output_components));
  if (!decoder.ReadArgbRows(pixels, scratch.data())) Fail(decoder.Errors(), cause);
}

}  // namespace

void DecodeJpegArgb(const std::string& data, const ArgbPictureTarget& target) {
  DecodeArgbFrom(MemorySource(data), int64_t(data.size()), nullptr, target);
}

void DecodeJpegArgb(TStream& stream, const ArgbPictureTarget& target) {
  // A file of known size is weighed before any of it is read.
  const int64_t position = stream.Position(), size = position < 0 ? -1 : stream.Size();
  if (position >= 0 && size - position > MaxJpegBytes) throw EInvalidGraphic(TooLargeText);
  StreamSource source(stream);
  DecodeArgbFrom(source, size < 0 ? -1 : size - position, source.Failure(), target);
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
  std::string bytes;
  EncodeJpegArgbRows(width, height, quality, rows,
                     [&bytes](const char* block, size_t count) { bytes.append(block, count); });
  return bytes;
}

void EncodeJpegArgbRows(int32_t width, int32_t height, int quality, const ArgbRowSource& rows,
                        const JpegByteSink& sink) {
  if (width <= 0 || height <= 0) throw EInvalidGraphic("Cannot compress an empty picture");
  CheckPictureSize(width, height);
  SinkDestination destination(sink);
  Compressor encoder;
  if (!encoder.Run(width, height, std::clamp(quality, 1, 100), rows, destination.Manager())) {
    if (destination.Failure()) std::rethrow_exception(destination.Failure());
    throw EInvalidGraphic(std::string("Cannot compress the picture: ") + encoder.Errors().message);
  }
}

}  // namespace plat
