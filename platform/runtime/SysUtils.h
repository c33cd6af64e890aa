// Exceptions and message formatting shared by the whole program.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace plat {

// Base of every failure the program raises: a message text for the user.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// Declares an exception class that only carries its message; other modules use it too.
#define PLAT_EXCEPTION_CLASS(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  };

PLAT_EXCEPTION_CLASS(EConvertError, Exception)
PLAT_EXCEPTION_CLASS(EListError, Exception)
PLAT_EXCEPTION_CLASS(EStreamError, Exception)
PLAT_EXCEPTION_CLASS(EReadError, EStreamError)
PLAT_EXCEPTION_CLASS(EWriteError, EStreamError)
PLAT_EXCEPTION_CLASS(EFCreateError, EStreamError)
PLAT_EXCEPTION_CLASS(EFOpenError, EStreamError)
PLAT_EXCEPTION_CLASS(EInOutError, Exception)
PLAT_EXCEPTION_CLASS(EInvalidOp, Exception)
PLAT_EXCEPTION_CLASS(ERangeError, Exception)
PLAT_EXCEPTION_CLASS(EOutOfMemory, Exception)
PLAT_EXCEPTION_CLASS(EOutOfResources, Exception)
PLAT_EXCEPTION_CLASS(EInvalidOperation, Exception)
PLAT_EXCEPTION_CLASS(EInvalidPointer, Exception)
PLAT_EXCEPTION_CLASS(EInvalidGraphic, Exception)
PLAT_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception)
PLAT_EXCEPTION_CLASS(EIntfCastError, Exception)
PLAT_EXCEPTION_CLASS(EAbort, Exception)

// A failed system call: the errno value and its text.
class EOSError : public Exception {
 public:
  EOSError(std::string message, int errorCode)
      : Exception(std::move(message)), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// The system's text for an errno value.
std::string SysErrorMessage(int errorCode);
// Raises EOSError for errno (or the given code).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(int errorCode);

// ---------------------------------------------------------------------------------------------
// Formatting

// One argument of Format. Keeps its kind, so a mismatch with the format is reported, not misread.
// Text arguments are viewed, not copied: they must outlive the Format call (temporaries do).
class TFormatArg {
 public:
  enum Kind { kSigned, kUnsigned, kFloat, kText };

  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) TFormatArg(T value)
      : kind_(std::is_signed_v<T> ? kSigned : kUnsigned),
        bits_(int(sizeof(T) * 8)),
        signed_(int64_t(value)),
        unsigned_(uint64_t(value)) {}
  template <std::floating_point T>
  TFormatArg(T value) : kind_(kFloat), float_(double(value)) {}
  TFormatArg(bool) = delete;
  TFormatArg(const char& value) : kind_(kText), text_(&value, 1) {}
  TFormatArg(const char* value) : kind_(kText), text_(value ? value : "") {}
  TFormatArg(const std::string& value) : kind_(kText), text_(value) {}
  TFormatArg(std::string_view value) : kind_(kText), text_(value) {}

  Kind ArgKind() const { return kind_; }
  int Bits() const { return bits_; }
  int64_t Signed() const { return signed_; }
  uint64_t Unsigned() const { return unsigned_; }
  double Float() const { return float_; }
  std::string_view Text() const { return text_; }

 private:
  Kind kind_;
  int bits_ = 64;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
  double float_ = 0;
  std::string_view text_;
};

// printf-like: %[-][width][.precision]type with types d, u, x, X (both upper-case hex), s, f and
// "%%"; width and precision may be "*" (taken from the next integer argument). A missing or
// mismatched argument raises EConvertError.
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args = {});

// ---------------------------------------------------------------------------------------------
// Numbers

std::string IntToStr(int64_t value);
// Upper-case hex with at least digits digits; a negative value shows the bit pattern of its own
// width (IntToHex(-1, 2) is "FFFFFFFF" for a 32-bit int).
template <std::integral T>
std::string IntToHex(T value, int digits) {
  return Format("%.*X", {digits < 0 ? 0 : digits, value});
}
// The whole-number rule: optional leading spaces, optional sign, decimal or "$"/"0x" hex, nothing
// after. Decimal must fit in 32 signed bits; hex may use all 32 bits ("$FFFFFFFF" is -1).
bool TryStrToInt(std::string_view text, int32_t& value);
// Raises EConvertError "'text' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);

// Round half to even; NaN, infinities and values beyond 64 bits raise EInvalidOp.
int64_t Round(double value);
// Toward zero, with the same range check.
int64_t Trunc(double value);
// a * b / c computed in 64 bits, rounded half away from zero; -1 when c is 0 or the result does
// not fit in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// ---------------------------------------------------------------------------------------------
// Text (ASCII rules; bytes of UTF-8 sequences pass through unchanged)

// Remove characters below 33 at both ends / the start / the end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// <0, 0, >0 comparing with a-z folded to A-Z.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 comparing bytes.
int CompareStr(std::string_view a, std::string_view b);

}  // namespace plat
