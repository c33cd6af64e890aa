#include "readers/pictures/FileMapping.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace readers {

namespace {

constexpr std::string_view EmptyFileText = "The picture file is empty.";

// An empty file has nothing to map; the system's own words for that ("invalid argument") would
// not tell the user what is wrong with the file.
void CheckNotEmpty(int64_t Size) {
  if (Size == 0) throw plat::EOSError(std::string(EmptyFileText), EINVAL);
}

}  // namespace

TFileMapping::TFileMapping(const std::string& FileName)
    : FileName_(FileName), Bytes(plat::ReadFileBytes(FileName, MaxFileSize)) {
  CheckNotEmpty(FileSize());
}

std::string TFileMapping::Head(const std::string& FileName, size_t Count) {
  try {
    plat::TFileStream file(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    std::string head(Count, '\0');
    head.resize(static_cast<size_t>(file.Read(head.data(), static_cast<int64_t>(Count))));
    return head;
  } catch (const plat::Exception&) {
    return {};
  }
}

TFileMapping::TFileMapping(plat::THandleStream& Stream) {
  struct stat info;
  if (::fstat(Stream.Handle(), &info) != 0) plat::RaiseLastOSError();
  if (info.st_size > MaxFileSize) plat::RaiseLastOSError(EFBIG);
  CheckNotEmpty(info.st_size);
  Bytes.resize(static_cast<size_t>(info.st_size), '\0');
  size_t done = 0;
  while (done < Bytes.size()) {
    const ssize_t count = ::pread(Stream.Handle(), Bytes.data() + done, Bytes.size() - done,
                                  static_cast<off_t>(done));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) plat::RaiseLastOSError();
    if (count == 0) break;  // the file shrank meanwhile
    done += static_cast<size_t>(count);
  }
  Bytes.resize(done);
  CheckNotEmpty(static_cast<int64_t>(done));
}

}  // namespace readers
