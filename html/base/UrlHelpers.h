// Taking URLs apart and putting them together; turning file URLs into local paths. Positions
// in these texts are byte offsets; nothing here raises.
#pragma once

#include <string>
#include <string_view>

namespace html {

// The directory part of a URL, ending with "/" (the query ignored).
std::string GetUrlBase(std::string_view url);
// Rel resolved against Base, with "/../" and "/./" worked out.
std::string CombineUrl(std::string_view base, std::string_view rel);
bool UrlHasProtocol(std::string_view url);
// The protocol in lower case, or empty.
std::string GetProtocol(std::string_view url);
// 1-based position of the n-th sub in s (n < 0 counts from the right); 0 when n is 0 or,
// from the right, when there are fewer. From the left each missing occurrence adds one beyond
// the length of s.
int PosN(std::string_view sub, std::string_view s, int n);

struct TUrlParts {
  std::string Proto, User, Password, Host, Port, Path;
};
TUrlParts ParseURL(std::string_view url);

// A file URL or slash-separated name as a local path: percent escapes decoded once, the
// file: prefix removed.
std::string UrlToDosPath(std::string_view s);
// Name as a local path; a name absolute to the site's root is put under Root.
std::string CombineDosPath(std::string_view name, std::string_view root);

}  // namespace html
