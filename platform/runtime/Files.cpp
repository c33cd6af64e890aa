#include "platform/runtime/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <vector>

#include "platform/runtime/SysUtils.h"

namespace plat {

// ---------------------------------------------------------------------------------------------
// Path texts

namespace {

size_t NameStart(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// Position of the extension's dot within path, or npos. The dot of a hidden file's name
// (".profile") starts the name, not an extension.
size_t ExtensionDot(std::string_view path) {
  size_t start = NameStart(path);
  size_t dot = path.rfind('.');
  return dot == std::string_view::npos || dot <= start ? std::string_view::npos : dot;
}

}  // namespace

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileDir(std::string_view path) {
  size_t start = NameStart(path);
  if (start == 0) return "";
  return std::string(path.substr(0, start == 1 ? 1 : start - 1));
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
  size_t dot = ExtensionDot(path);
  return dot == std::string_view::npos ? "" : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  size_t dot = ExtensionDot(path);
  return std::string(path.substr(0, dot)) + std::string(extension);
}

std::string ForceFileExt(std::string_view path, std::string_view extension) {
  // A name that is the extension alone (".jpg") has it; adding it again would hide the file.
  if (SameText(ExtractFileExt(path), extension) ||
      SameText(path.substr(NameStart(path)), extension))
    return std::string(path);
  return ChangeFileExt(path, extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  // An empty path stays empty: turning it into "/" would point at the root folder.
  if (path.empty() || path.back() == '/') return std::string(path);
  return std::string(path) + "/";
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty() || (!name.empty() && name.front() == '/')) return std::string(name);
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  return IncludeTrailingPathDelimiter(folder) + std::string(name);
}

std::string ExpandFileName(std::string_view path) {
  if (path.empty()) return "";
  std::string full(path);
  if (full.front() != '/') {
    std::error_code error;
    std::string current = std::filesystem::current_path(error).string();
    full = JoinPath(current.empty() ? "/" : current, full);
  }
  std::vector<std::string_view> parts;
  std::string_view rest(full);
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (std::string_view part : parts) result += "/" + std::string(part);
  if (result.empty()) return "/";
  if (full.back() == '/') result += '/';
  return result;
}

// ---------------------------------------------------------------------------------------------
// File system queries and changes

bool FileExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool NameExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool DirectoryExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& path) {
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    partial = path.substr(0, slash);
    if (!partial.empty() && ::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    pos = slash + 1;
  }
  return DirectoryExists(path);
}

std::string ReadFileBytes(const std::string& path, int64_t maxSize) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  const int64_t size = file.Size();
  if (size < 0)
    throw EReadError(Format("Cannot read file \"%s\": its size cannot be told", {path}));
  if (size > maxSize) throw EReadError(Format("File \"%s\" is too large", {path}));
  std::string bytes(size_t(size), '\0');
  if (file.Read(bytes.data(), size) != size)
    throw EReadError(Format("Cannot read file \"%s\": it grew shorter while it was read", {path}));
  return bytes;
}

namespace {

std::string RandomSuffix() {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::lock_guard lock(mutex);
  std::string suffix;
  for (int i = 0; i < 10; ++i) suffix += kLetters[generator() % (sizeof kLetters - 1)];
  return suffix;
}

// Creates a file that did not exist; returns its descriptor, or -1 with errno set.
int CreateExclusive(const std::string& folder, std::string_view prefix, std::string_view extension,
                    std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = JoinPath(folder, std::string(prefix) + RandomSuffix() + std::string(extension));
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

[[noreturn]] void RaiseCreateError(const std::string& path, int error) {
  throw EFCreateError(Format("Cannot create file \"%s\". %s", {path, SysErrorMessage(error)}));
}

}  // namespace

std::string CreateUniqueFile(const std::string& folder, std::string_view prefix,
                             std::string_view extension) {
  std::string path;
  int fd = CreateExclusive(folder, prefix, extension, path);
  if (fd < 0) RaiseCreateError(path, errno);
  ::close(fd);
  return path;
}

// ---------------------------------------------------------------------------------------------
// Atomic writes

namespace {

// The file a path finally names: a link is replaced through its target, not overwritten, also
// when the target is not made yet (settings kept among other dotfiles).
std::string ResolveTarget(const std::string& path) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  std::string target = path;
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat info;
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    char named[PATH_MAX];
    const ssize_t length = ::readlink(target.c_str(), named, sizeof named);
    if (length <= 0 || size_t(length) >= sizeof named) return target;
    target = JoinPath(ExtractFileDir(target), std::string_view(named, size_t(length)));
  }
  return target;
}

// The longest name a file of the folder may have: the file system's limit, or less where the
// whole path would grow too long.
size_t NameLimit(const std::string& folder) {
  const std::string where = folder.empty() ? "." : folder;
  const long nameMax = ::pathconf(where.c_str(), _PC_NAME_MAX);
  size_t limit = nameMax > 0 ? size_t(nameMax) : size_t(NAME_MAX);
  const size_t pathRoom = PATH_MAX - 1 > where.size() ? PATH_MAX - 1 - where.size() : 0;
  return std::min(limit, pathRoom);
}

// The target's name cut so that "." + it + "." + random + ".tmp" stays within limit (the
// temporary name is kTemporaryExtra bytes longer), never inside a UTF-8 character.
constexpr size_t kTemporaryExtra = 16;
std::string ShortenedName(const std::string& name, size_t limit) {
  size_t keep = std::min(name.size(), limit > kTemporaryExtra ? limit - kTemporaryExtra : 0);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
    --keep;
  return name.substr(0, keep);
}

}  // namespace

TAtomicFileStream::TAtomicFileStream(const std::string& path)
    : THandleStream(-1), target_(ResolveTarget(path)) {
  const std::string folder = ExtractFilePath(target_);
  const std::string name = ExtractFileName(target_);
  const size_t limit = NameLimit(folder);
  // A name the folder cannot hold fails now, not after the whole file was written.
  if (name.size() > limit) RaiseCreateError(path, ENAMETOOLONG);
  handle_ = CreateExclusive(folder, "." + ShortenedName(name, limit) + ".", ".tmp", tempPath_);
  if (handle_ < 0) {
    const int error = errno;
    tempPath_.clear();
    // Replacing needs a new file beside the old one: a folder that takes none is what failed.
    if (FileExists(target_))
      throw EFCreateError(Format(
          "Cannot replace file \"%s\": the new file is written beside it first, and no file can "
          "be created in the folder \"%s\". %s",
          {path, folder.empty() ? std::string(".") : folder, SysErrorMessage(error)}));
    RaiseCreateError(path, error);
  }
  // A replaced file keeps its permissions.
  struct stat info;
  if (::stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    ::fchmod(handle_, info.st_mode & 07777);
}

TAtomicFileStream::~TAtomicFileStream() {
  Discard();
}

int64_t TAtomicFileStream::Write(const void* buffer, int64_t count) {
  try {
    return THandleStream::Write(buffer, count);
  } catch (const EWriteError& e) {
    // Which file: the user knows the target, not the temporary file.
    throw EWriteError(Format("Cannot write file \"%s\". %s", {target_, e.Message()}));
  }
}

void TAtomicFileStream::Commit() {
  if (handle_ < 0) throw EInvalidOperation("The file has already been committed");
  int error = 0;
  if (::fsync(handle_) != 0) error = errno;
  if (::close(handle_) != 0 && error == 0) error = errno;
  handle_ = -1;
  if (error != 0) {
    Discard();
    throw EWriteError(Format("Cannot write file \"%s\". %s", {target_, SysErrorMessage(error)}));
  }
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    error = errno;
    Discard();
    RaiseCreateError(target_, error);
  }
  tempPath_.clear();
}

void TAtomicFileStream::Discard() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  TAtomicFileStream file(path);
  file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  file.Commit();
}

// ---------------------------------------------------------------------------------------------
// Program folders

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
    return found->pw_dir;
  return "/";
}

// $PIXSTAMP_HOME/sub/ when set, else "".
std::string UnderPixStampHome(const char* sub) {
  std::string home = Environment("PIXSTAMP_HOME");
  if (home.empty()) return "";
  return IncludeTrailingPathDelimiter(JoinPath(ExpandFileName(home), sub));
}

// $variable/pixstamp/ when it holds an absolute path, else ~/fallback/pixstamp/.
std::string UserFolder(const char* variable, const char* fallback) {
  std::string base = Environment(variable);
  if (base.empty() || base.front() != '/') base = JoinPath(HomeFolder(), fallback);
  return IncludeTrailingPathDelimiter(JoinPath(base, "pixstamp"));
}

std::mutex workFolderMutex;
std::string workFolder;

// The folder still stands as this run made it: a folder of this user's, not a link or a stranger's
// folder under the same name (a temp cleaner may have removed it meanwhile).
bool StillOurs(const std::string& folder) {
  struct stat info;
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

}  // namespace

std::string ProgramFolder() {
  std::vector<char> buffer(PATH_MAX);
  ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || size_t(length) >= buffer.size()) RaiseLastOSError();
  return ExtractFilePath(std::string(buffer.data(), size_t(length)));
}

std::string ConfigFolder() {
  std::string home = UnderPixStampHome("config");
  return home.empty() ? UserFolder("XDG_CONFIG_HOME", ".config") : home;
}

std::string DataFolder() {
  std::string home = UnderPixStampHome("data");
  return home.empty() ? UserFolder("XDG_DATA_HOME", ".local/share") : home;
}

std::string WorkFolder() {
  std::lock_guard lock(workFolderMutex);
  if (!workFolder.empty() && StillOurs(workFolder)) return workFolder;
  std::string parent = UnderPixStampHome("tmp");
  if (parent.empty()) {
    parent = Environment("TMPDIR");
    if (parent.empty() || parent.front() != '/') parent = "/tmp";
  } else if (!ForceDirectories(parent)) {
    RaiseCreateError(parent, errno);
  }
  std::string pattern = JoinPath(parent, "pixstamp-XXXXXX");
  if (!::mkdtemp(pattern.data())) RaiseCreateError(pattern, errno);
  workFolder = IncludeTrailingPathDelimiter(pattern);
  return workFolder;
}

void RemoveWorkFolder() {
  std::lock_guard lock(workFolderMutex);
  if (workFolder.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(workFolder, ignored);
  workFolder.clear();
}

}  // namespace plat
