#include "platform/runtime/SysUtils.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace plat {

std::string SysErrorMessage(int errorCode) {
  char buffer[256];
  // The GNU variant returns a pointer that may or may not be the buffer.
  return strerror_r(errorCode, buffer, sizeof buffer);
}

void RaiseLastOSError() {
  RaiseLastOSError(errno);
}

void RaiseLastOSError(int errorCode) {
  throw EOSError(Format("System Error. Code: %d. %s", {errorCode, SysErrorMessage(errorCode)}),
                 errorCode);
}

// ---------------------------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void FormatError(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

struct FormatDirective {
  bool leftAlign = false;
  int width = -1;
  int precision = -1;
  char type = 0;
};

class FormatParser {
 public:
  FormatParser(std::string_view format, std::initializer_list<TFormatArg> args)
      : format_(format), args_(args), next_(args.begin()) {}

  std::string Run() {
    std::string out;
    while (pos_ < format_.size()) {
      char c = format_[pos_++];
      if (c != '%') {
        out += c;
      } else if (pos_ < format_.size() && format_[pos_] == '%') {
        out += '%';
        ++pos_;
      } else {
        FormatDirective directive = ParseDirective();
        out += Pad(directive, Convert(directive, NextArg()));
      }
    }
    return out;
  }

 private:
  const TFormatArg& NextArg() {
    if (next_ == args_.end()) FormatError(format_);
    return *next_++;
  }

  int ParseNumber() {
    if (pos_ < format_.size() && format_[pos_] == '*') {
      ++pos_;
      const TFormatArg& arg = NextArg();
      if (arg.ArgKind() != TFormatArg::kSigned && arg.ArgKind() != TFormatArg::kUnsigned)
        FormatError(format_);
      int64_t value = arg.ArgKind() == TFormatArg::kSigned ? arg.Signed() : int64_t(arg.Unsigned());
      if (value < 0 || value > 1 << 20) FormatError(format_);
      return int(value);
    }
    int value = 0;
    bool any = false;
    while (pos_ < format_.size() && format_[pos_] >= '0' && format_[pos_] <= '9') {
      value = value * 10 + (format_[pos_++] - '0');
      if (value > 1 << 20) FormatError(format_);
      any = true;
    }
    return any ? value : -1;
  }

  FormatDirective ParseDirective() {
    FormatDirective directive;
    if (pos_ < format_.size() && format_[pos_] == '-') {
      directive.leftAlign = true;
      ++pos_;
    }
    directive.width = ParseNumber();
    if (pos_ < format_.size() && format_[pos_] == '.') {
      ++pos_;
      directive.precision = std::max(ParseNumber(), 0);
    }
    if (pos_ >= format_.size()) FormatError(format_);
    directive.type = format_[pos_++];
    return directive;
  }

  std::string Convert(const FormatDirective& directive, const TFormatArg& arg) {
    bool integer = arg.ArgKind() == TFormatArg::kSigned || arg.ArgKind() == TFormatArg::kUnsigned;
    switch (directive.type) {
      case 'd':
      case 'D':
        if (!integer) break;
        if (arg.ArgKind() == TFormatArg::kSigned && arg.Signed() < 0)
          return "-" + Digits(0 - uint64_t(arg.Signed()), 10, directive.precision);
        return Digits(arg.Unsigned(), 10, directive.precision);
      case 'u':
      case 'U':
      case 'x':
      case 'X':
        if (!integer) break;
        return Digits(Pattern(arg), directive.type == 'x' || directive.type == 'X' ? 16 : 10,
                      directive.precision);
      case 's':
      case 'S':
        if (arg.ArgKind() != TFormatArg::kText) break;
        if (directive.precision >= 0) return std::string(arg.Text().substr(0, directive.precision));
        return std::string(arg.Text());
      case 'f':
      case 'F': {
        if (arg.ArgKind() != TFormatArg::kFloat) break;
        char buffer[400];
        int precision = directive.precision < 0 ? 2 : std::min(directive.precision, 18);
        double value = arg.Float();
        if (!std::isfinite(value) || std::fabs(value) >= 1e300) break;
        std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
        return buffer;
      }
      default:
        break;
    }
    FormatError(format_);
  }

  // The unsigned bit pattern of an integer argument in its own width.
  static uint64_t Pattern(const TFormatArg& arg) {
    uint64_t value = arg.Unsigned();
    return arg.Bits() >= 64 ? value : value & ((uint64_t(1) << arg.Bits()) - 1);
  }

  static std::string Digits(uint64_t value, int base, int minDigits) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    std::string digits(buffer, result.ptr);
    for (char& c : digits) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (minDigits > int(digits.size())) digits.insert(0, size_t(minDigits) - digits.size(), '0');
    return digits;
  }

  static std::string Pad(const FormatDirective& directive, std::string text) {
    if (directive.width <= int(text.size())) return text;
    std::string fill(size_t(directive.width) - text.size(), ' ');
    return directive.leftAlign ? text + fill : fill + text;
  }

  std::string_view format_;
  std::initializer_list<TFormatArg> args_;
  const TFormatArg* next_;
  size_t pos_ = 0;
};

}  // namespace

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args) {
  return FormatParser(format, args).Run();
}

// ---------------------------------------------------------------------------------------------
// Numbers

std::string IntToStr(int64_t value) {
  return std::to_string(value);
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  // Decimal must fit the signed range; hex may fill all 32 bits.
  const uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    magnitude = magnitude * uint64_t(base) + uint64_t(digit);
    if (magnitude > limit) return false;
  }
  uint32_t bits = uint32_t(magnitude);
  if (negative) bits = 0u - bits;
  value = int32_t(bits);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t value;
  if (!TryStrToInt(text, value))
    throw EConvertError(Format("'%s' is not a valid integer value", {text}));
  return value;
}

int32_t StrToIntDef(std::string_view text, int32_t defaultValue) {
  int32_t value;
  return TryStrToInt(text, value) ? value : defaultValue;
}

namespace {

// Doubles in [-2^63, 2^63) convert to int64 exactly.
int64_t CheckedInt64(double value) {
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
    throw EInvalidOp("Invalid floating point operation");
  return int64_t(value);
}

}  // namespace

int64_t Round(double value) {
  // Done by hand so that a changed floating-point rounding mode cannot alter the result.
  double whole = std::trunc(value);
  double fraction = value - whole;
  if (std::fabs(fraction) == 0.5) {
    bool odd = std::fmod(whole, 2.0) != 0.0;
    return CheckedInt64(odd ? whole + (value < 0 ? -1.0 : 1.0) : whole);
  }
  return CheckedInt64(std::round(value));
}

int64_t Trunc(double value) {
  return CheckedInt64(std::trunc(value));
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = int64_t(a) * b;
  bool negative = (product < 0) != (c < 0);
  uint64_t num = product < 0 ? 0 - uint64_t(product) : uint64_t(product);
  uint64_t den = c < 0 ? 0 - uint64_t(int64_t(c)) : uint64_t(c);
  // 2 * num fits: |a * b| <= 2^62.
  uint64_t quotient = (2 * num + den) / (2 * den);
  if (quotient > (negative ? 0x80000000u : 0x7FFFFFFFu)) return -1;
  return negative ? int32_t(0 - uint32_t(quotient)) : int32_t(quotient);
}

// ---------------------------------------------------------------------------------------------
// Text

namespace {

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) < 33;
}

}  // namespace

std::string Trim(std::string_view text) {
  return TrimLeft(TrimRight(text));
}

std::string TrimLeft(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return std::string(text.substr(start));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(AsciiUpper(a[i]));
    int cb = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) {
  return CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b) {
  int result = a.compare(b);
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

}  // namespace plat
