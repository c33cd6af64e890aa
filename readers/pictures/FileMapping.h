// The bytes of a whole picture file, read into memory for one load.
#pragma once

#include <cstdint>
#include <string>

#include "platform/runtime/Classes.h"

namespace readers {

class TFileMapping {
 public:
  // Largest picture file the readers take in.
  static constexpr int64_t MaxFileSize = int64_t{1} << 30;

  // Reads a regular file. A file that cannot be opened, is not a regular file, is empty or is
  // too large raises the platform's file error.
  explicit TFileMapping(const std::string& FileName);
  // Reads the whole file behind the stream's descriptor, from its first byte; the descriptor
  // stays the stream's.
  explicit TFileMapping(plat::THandleStream& Stream);

  // Up to Count bytes from the start of a regular file; nothing where the file cannot be read
  // (constructing a mapping then says why).
  static std::string Head(const std::string& FileName, size_t Count);

  const uint8_t* Memory() const { return reinterpret_cast<const uint8_t*>(Bytes.data()); }
  int64_t FileSize() const { return static_cast<int64_t>(Bytes.size()); }
  const std::string& FileName() const { return FileName_; }

 private:
  std::string FileName_;
  std::string Bytes;
};

}  // namespace readers
