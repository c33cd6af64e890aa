// Paths, files and the program's folders (POSIX: "/" separates, case is never changed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/runtime/Classes.h"

namespace plat {

// Folder part including the final "/" ("" when the path has none).
std::string ExtractFilePath(std::string_view path);
// Folder part without the final "/" (kept for the root folder).
std::string ExtractFileDir(std::string_view path);
std::string ExtractFileName(std::string_view path);
// Extension of the file-name part including its dot, or "" when the name has no dot (a name's
// leading dot, as in ".profile", starts no extension).
std::string ExtractFileExt(std::string_view path);
// Replaces (or adds, or with "" removes) the extension of the file-name part.
std::string ChangeFileExt(std::string_view path, std::string_view extension);
// The path with the extension (its dot included): kept when the path has it in any case of
// letters (a name that is the extension alone counts), otherwise replaced or added.
std::string ForceFileExt(std::string_view path, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
// folder + "/" + name, with exactly one "/" between them; an absolute name stands alone.
std::string JoinPath(std::string_view folder, std::string_view name);
// Absolute form with "." and ".." removed by text (links are not followed); "" stays "".
std::string ExpandFileName(std::string_view path);

bool FileExists(const std::string& path);  // regular files (or links to them) only
// Anything by that name, links followed: a file, a folder, a pipe; a link to nothing is nothing.
bool NameExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Removes a file; false when it could not be removed.
bool DeleteFile(const std::string& path);
// Creates the folder and every missing parent; false when that failed.
bool ForceDirectories(const std::string& path);

// The whole of a regular file; raises EFOpenError when it cannot be opened or is not a regular
// file and EReadError when it is larger than maxSize bytes or reading fails.
std::string ReadFileBytes(const std::string& path, int64_t maxSize);

// Creates a new empty file (never an existing one) named folder/prefix + random + extension
// with mode 0666 less the umask; returns its path. Raises EFCreateError.
std::string CreateUniqueFile(const std::string& folder, std::string_view prefix,
                             std::string_view extension);

// Writes bytes to a temporary file beside path and renames it over path, so that a failure
// leaves the old file as it was. Raises EFCreateError or EWriteError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// A stream to a temporary file beside the target; Commit renames it over the target. Destroyed
// without Commit, the temporary file is removed and the target is untouched. The temporary name
// fits in the folder whenever the target's name does; a name too long raises at once.
class TAtomicFileStream : public THandleStream {
 public:
  explicit TAtomicFileStream(const std::string& path);
  ~TAtomicFileStream() override;
  TAtomicFileStream(const TAtomicFileStream&) = delete;
  // Failures name the target.
  int64_t Write(const void* buffer, int64_t count) override;
  TAtomicFileStream& operator=(const TAtomicFileStream&) = delete;
  // Flushes to disk and renames into place; raises EWriteError or EFCreateError on failure.
  void Commit();
  const std::string& FileName() const { return target_; }
  const std::string& TempFileName() const { return tempPath_; }

 private:
  void Discard();
  std::string target_;
  std::string tempPath_;
};

// Program folders, each ending with "/". With PIXSTAMP_HOME set, configuration, data and work
// files live under it.
std::string ProgramFolder();  // folder of the running executable (read-only resources)
std::string ConfigFolder();   // $XDG_CONFIG_HOME/pixstamp, or ~/.config/pixstamp
std::string DataFolder();     // $XDG_DATA_HOME/pixstamp, or ~/.local/share/pixstamp
// A private folder made for this run on first use (mode 0700), and made anew when it is gone.
std::string WorkFolder();
// Removes the work folder and its contents; called once at shutdown.
void RemoveWorkFolder();

}  // namespace plat
