// Link and file names of a page as local paths.
#include <algorithm>
#include <cctype>

#include "html/base/UrlHelpers.h"
#include "html/viewer/PageViewer.h"
#include "platform/runtime/Files.h"

namespace html {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

std::string TPageViewer::ExpandRelativeFileName(const std::string& name) const {
  const size_t protocol = name.find("://");
  if (protocol != std::string::npos && protocol >= 1 &&
      Lower(name).find("file://") == std::string::npos)
    return name;
  std::string result = UrlToDosPath(Trimmed(name));
  const bool fromRoot = result.size() >= 1 && result[0] == '/' && result.rfind("//", 0) != 0;
  if (fromRoot && !serverRoot_.empty()) result = serverRoot_ + result;
  if (!result.empty() && result[0] == '/') return plat::ExpandFileName(result);
  if (Lower(base_) == "dospath") return result;
  const std::string folder = base_.empty() ? plat::ExtractFilePath(currentFile_)
                                           : plat::ExtractFilePath(UrlToDosPath(base_));
  return plat::ExpandFileName(folder + result);
}

}  // namespace html
