// What the rotation and extended colour hand-overs share: their busy flag, the work file that goes
// on every way out, and the check that a dialog's result is still there to take back.
#pragma once

#include <string>

#include "platform/runtime/Files.h"

namespace app {

// Sets the flag for as long as the hand-over runs, on every way out.
class TBusyFlag {
 public:
  explicit TBusyFlag(bool& Flag) : flag_(Flag) { flag_ = true; }
  ~TBusyFlag() { flag_ = false; }
  TBusyFlag(const TBusyFlag&) = delete;
  TBusyFlag& operator=(const TBusyFlag&) = delete;

 private:
  bool& flag_;
};

// Removes the work file on every way out: a result taken back has been moved to the layer's own
// file by then, and nothing else may stay behind.
class TWorkFileGuard {
 public:
  explicit TWorkFileGuard(const std::string& Path) : path_(Path) {}
  ~TWorkFileGuard() { plat::DeleteFile(path_); }
  TWorkFileGuard(const TWorkFileGuard&) = delete;
  TWorkFileGuard& operator=(const TWorkFileGuard&) = delete;

 private:
  const std::string& path_;
};

// Whether the picture a dialog wrote into WorkFile is still there; when it is gone the user is
// told that nothing changed.
bool ResultStillThere(const std::string& WorkFile);

}  // namespace app
