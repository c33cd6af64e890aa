#include "platform/htmlservices/HtmlText.h"

#include <errno.h>
#include <iconv.h>

#include <QChar>
#include <array>
#include <map>
#include <memory>
#include <mutex>

namespace plat {

char16_t UpperCaseUnit(char16_t unit) {
  const char32_t mapped = QChar::toUpper(char32_t(unit));
  return mapped <= 0xFFFF ? char16_t(mapped) : unit;
}

char16_t LowerCaseUnit(char16_t unit) {
  const char32_t mapped = QChar::toLower(char32_t(unit));
  return mapped <= 0xFFFF ? char16_t(mapped) : unit;
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::string IconvName(int codePage) {
  switch (codePage) {
    case CP_ACP:
      return "CP1252";
    case CP_OEMCP:
      return "CP437";
    case CP_MACCP:
      return "MACINTOSH";
    case 1361:
      return "JOHAB";
    case 20932:
      return "EUC-JP";
    case 28605:
      return "ISO-8859-15";
    case 50220:
      return "ISO-2022-JP";
    case CP_UTF8:
      return "UTF-8";
  }
  if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
  return "CP" + std::to_string(codePage);
}

// An open conversion, closed with the object.
class TIconv {
 public:
  TIconv(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~TIconv() {
    if (Valid()) iconv_close(cd_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool Valid() const { return cd_ != iconv_t(-1); }
  // Converts all of in; false (errno set) when the input is invalid or incomplete.
  bool Convert(const char* in, size_t inSize, char* out, size_t& outSize) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* source = const_cast<char*>(in);
    char* dest = out;
    size_t outLeft = outSize;
    const size_t result = iconv(cd_, &source, &inSize, &dest, &outLeft);
    // Stateful code pages may hold a character back until they are flushed.
    const bool complete = result != size_t(-1) && inSize == 0 &&
                          iconv(cd_, nullptr, nullptr, &dest, &outLeft) != size_t(-1);
    outSize -= outLeft;
    return complete;
  }

 private:
  iconv_t cd_;
};

// What one byte alone decodes to in a code page.
struct TByteEntry {
  enum Kind : uint8_t { kChar, kInvalid, kLead } kind = kInvalid;
  char16_t unit = kReplacement;
};

// Decoder of one code page other than UTF-8: a table of the single bytes, and iconv for the
// characters of several bytes.
class TCodePage {
 public:
  explicit TCodePage(const std::string& name) : toUtf16_("UTF-16LE", name), name_(name) {
    if (!toUtf16_.Valid()) return;
    for (int b = 0; b < 256; ++b) {
      const char byte = char(b);
      char out[8];
      size_t outSize = sizeof out;
      TByteEntry& entry = bytes_[size_t(b)];
      if (toUtf16_.Convert(&byte, 1, out, outSize) && outSize == 2) {
        entry.kind = TByteEntry::kChar;
        entry.unit = char16_t(uint8_t(out[0]) | uint8_t(out[1]) << 8);
      } else if (errno == EINVAL) {
        entry.kind = TByteEntry::kLead;
      }
    }
  }
  bool Valid() const { return toUtf16_.Valid(); }
  const std::string& Name() const { return name_; }

  // Decodes one character at the start of bytes; returns the bytes it took (at least 1).
  size_t DecodeOne(std::string_view bytes, std::u16string& out) {
    const TByteEntry& entry = bytes_[uint8_t(bytes[0])];
    if (entry.kind != TByteEntry::kLead) {
      out.push_back(entry.unit);
      return 1;
    }
    for (size_t length = 2; length <= 4 && length <= bytes.size(); ++length) {
      char buffer[16];
      size_t outSize = sizeof buffer;
      if (toUtf16_.Convert(bytes.data(), length, buffer, outSize)) {
        for (size_t i = 0; i + 1 < outSize; i += 2)
          out.push_back(char16_t(uint8_t(buffer[i]) | uint8_t(buffer[i + 1]) << 8));
        return length;
      }
      if (errno != EINVAL) break;
    }
    out.push_back(kReplacement);
    return 1;
  }

 private:
  TIconv toUtf16_;
  std::string name_;
  std::array<TByteEntry, 256> bytes_;
};

std::mutex codePagesMutex;
std::map<int, std::unique_ptr<TCodePage>> codePages;

// The decoder of a code page; an unknown code page gives that of code page 0 (remembered as
// unknown, so it is looked up once). Decoders live until the program ends.
TCodePage& DecoderFor(int codePage) {
  std::lock_guard lock(codePagesMutex);
  auto found = codePages.find(codePage);
  if (found == codePages.end()) {
    auto decoder = std::make_unique<TCodePage>(IconvName(codePage));
    // Code page 0 is kept even without a converter: its bytes then read as U+FFFD.
    if (!decoder->Valid() && codePage != CP_ACP) decoder.reset();
    found = codePages.emplace(codePage, std::move(decoder)).first;
  }
  if (found->second) return *found->second;
  auto fallback = codePages.find(CP_ACP);
  if (fallback == codePages.end())
    fallback = codePages.emplace(CP_ACP, std::make_unique<TCodePage>(IconvName(CP_ACP))).first;
  return *fallback->second;
}

bool IsContinuation(uint8_t b) {
  return (b & 0xC0) == 0x80;
}

// One UTF-8 character at the start of bytes into out; returns the bytes it took (at least 1).
size_t DecodeUtf8One(std::string_view bytes, std::u16string& out) {
  const uint8_t lead = uint8_t(bytes[0]);
  size_t length = 0;
  char32_t code = 0;
  uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead < 0x80) {
    out.push_back(lead);
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  bool valid = length != 0 && bytes.size() >= length;
  for (size_t i = 1; valid && i < length; ++i) {
    const uint8_t b = uint8_t(bytes[i]);
    valid = i == 1 ? b >= low && b <= high : IsContinuation(b);
    code = code << 6 | (b & 0x3F);
  }
  if (!valid) {
    out.push_back(kReplacement);
    return 1;
  }
  if (code > 0xFFFF) {
    code -= 0x10000;
    out.push_back(char16_t(0xD800 + (code >> 10)));
    out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(char16_t(code));
  }
  return length;
}

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(char(code));
  } else if (code < 0x800) {
    out.push_back(char(0xC0 | code >> 6));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(char(0xE0 | code >> 12));
    out.push_back(char(0x80 | (code >> 6 & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else {
    out.push_back(char(0xF0 | code >> 18));
    out.push_back(char(0x80 | (code >> 12 & 0x3F)));
    out.push_back(char(0x80 | (code >> 6 & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  }
}

// The code point at text[i] and the units it takes; an unpaired surrogate gives 0xFFFFFFFF.
std::pair<char32_t, size_t> CodePointAt(std::u16string_view text, size_t i) {
  const char16_t unit = text[i];
  if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
      text[i + 1] <= 0xDFFF)
    return {0x10000 + (char32_t(unit - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2};
  if (unit >= 0xD800 && unit <= 0xDFFF) return {0xFFFFFFFF, 1};
  return {unit, 1};
}

}  // namespace

bool CodePageKnown(int codePage) {
  if (codePage == CP_UTF8) return true;
  return TIconv("UTF-16LE", IconvName(codePage)).Valid();
}

void DecodeCodePage(int codePage, std::string_view bytes, std::u16string& out,
                    std::vector<int32_t>* starts) {
  TCodePage* decoder = codePage == CP_UTF8 ? nullptr : &DecoderFor(codePage);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t before = out.size();
    const std::string_view rest = bytes.substr(pos);
    const size_t taken = decoder ? decoder->DecodeOne(rest, out) : DecodeUtf8One(rest, out);
    if (starts) starts->insert(starts->end(), out.size() - before, int32_t(pos));
    pos += taken;
  }
}

std::string EncodeCodePage(int codePage, std::u16string_view text) {
  std::string out;
  std::unique_ptr<TIconv> encoder;
  if (codePage != CP_UTF8) {
    encoder = std::make_unique<TIconv>(IconvName(codePage), "UTF-32LE");
    if (!encoder->Valid()) encoder = std::make_unique<TIconv>(IconvName(CP_ACP), "UTF-32LE");
  }
  for (size_t i = 0; i < text.size();) {
    const auto [code, units] = CodePointAt(text, i);
    i += units;
    if (!encoder) {
      AppendUtf8(code == 0xFFFFFFFF ? kReplacement : code, out);
      continue;
    }
    const char in[4] = {char(code), char(code >> 8), char(code >> 16), char(code >> 24)};
    char buffer[16];
    size_t outSize = sizeof buffer;
    if (code != 0xFFFFFFFF && encoder->Convert(in, 4, buffer, outSize))
      out.append(buffer, outSize);
    else
      out.push_back('?');
  }
  return out;
}

}  // namespace plat
