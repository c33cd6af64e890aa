// Exceptions and message formatting shared by the whole program.
#pragma once

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
PLAT_EXCEPTION_CLASS(EOSError, Exception)
PLAT_EXCEPTION_CLASS(EOutOfMemory, Exception)
PLAT_EXCEPTION_CLASS(EOutOfResources, Exception)
PLAT_EXCEPTION_CLASS(EInvalidOperation, Exception)
PLAT_EXCEPTION_CLASS(EInvalidPointer, Exception)
PLAT_EXCEPTION_CLASS(EInvalidGraphic, Exception)
PLAT_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception)
PLAT_EXCEPTION_CLASS(EIntfCastError, Exception)
PLAT_EXCEPTION_CLASS(EAbort, Exception)

}  // namespace plat
