#include "html/base/UrlHelpers.h"

#include "html/css/CssText.h"

namespace html {

namespace {

constexpr size_t npos = std::string_view::npos;

std::string_view BeforeQuery(std::string_view url) {
  return url.substr(0, url.find('?'));
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Each escape is decoded once, left to right; a "%" first, among the last two characters or
// without two hexadecimal digits ends decoding, and %00 stays as written.
std::string DecodePercents(std::string_view s) {
  std::string out;
  size_t i = 0;
  for (; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i == 0 || i + 2 >= s.size()) break;
    const int high = HexValue(s[i + 1]), low = HexValue(s[i + 2]);
    if (high < 0 || low < 0) break;
    const char decoded = char(high * 16 + low);
    if (decoded == '\0')
      out.append(s.substr(i, 3));
    else
      out += decoded;
    i += 2;
  }
  out.append(s.substr(i));
  return out;
}

}  // namespace

std::string GetUrlBase(std::string_view url) {
  const std::string trimmed = Trim(url);
  const std::string_view cut = BeforeQuery(trimmed);
  const size_t slashes = cut.find("//");
  const size_t from = slashes == npos ? 1 : slashes + 2;
  const size_t last = cut.rfind('/');
  if (last != npos && last >= from) return std::string(cut.substr(0, last + 1));
  return std::string(cut) + "/";
}

bool UrlHasProtocol(std::string_view url) {
  const std::string_view cut = BeforeQuery(url);
  const size_t marker = cut.find("://");
  if (marker != npos && cut.substr(0, marker).find('/') == npos) return true;
  return Contains(LowerCase(cut), "mailto:");
}

std::string GetProtocol(std::string_view url) {
  return LowerCase(ParseURL(BeforeQuery(url)).Proto);
}

int PosN(std::string_view sub, std::string_view s, int n) {
  if (n == 0) return 0;
  const auto occursAt = [&](size_t at) {
    return !sub.empty() && at + sub.size() <= s.size() && s.substr(at, sub.size()) == sub;
  };
  if (n > 0) {
    size_t pos = 0;  // 1-based; beyond the length once occurrences run out
    for (int k = 0; k < n; ++k) {
      size_t found = npos;
      for (size_t at = pos; at < s.size() && found == npos; ++at)
        if (occursAt(at)) found = at;
      pos = found == npos ? std::max(pos, s.size()) + 1 : found + 1;
    }
    return int(pos);
  }
  int count = 0;
  for (size_t at = s.size(); at-- > 0;)
    if (occursAt(at) && ++count == -n) return int(at + 1);
  return 0;
}

TUrlParts ParseURL(std::string_view url) {
  TUrlParts parts;
  if (url.empty()) return parts;
  std::string_view rest = url;
  if (const size_t marker = url.find("://"); marker != npos) {
    parts.Proto = std::string(url.substr(0, marker));
    rest = url.substr(marker + 3);
  } else if (url[0] != '/') {
    if (StartsWithText(url, "http:")) {
      parts.Proto = "http";
      if (url.size() >= 7 && url[6] != '/') {
        parts.Path = std::string(url.substr(5));
        return parts;
      }
      rest = url.substr(std::min<size_t>(6, url.size()));
    } else if (StartsWithText(url, "mailto:")) {
      parts.Proto = "mailto";
      rest = url.substr(url.find(':') + 1);
    }
  } else {
    parts.Proto = "http";
    if (url.size() >= 2 && url[1] != '/') {
      parts.Path = std::string(url);
      return parts;
    }
    rest = url.substr(1);
  }
  const size_t slash = rest.find('/');
  if (slash != npos) parts.Path = std::string(rest.substr(slash));
  const std::string_view authority = rest.substr(0, slash);
  const size_t colon = authority.rfind(':'), at = authority.rfind('@');
  if (colon == npos && at == npos) {
    parts.Host = std::string(authority);
  } else if (colon == npos || (at != npos && colon < at)) {
    parts.Host = std::string(authority.substr(at + 1));
  } else {
    parts.Port = std::string(authority.substr(colon + 1));
    const size_t hostStart = at == npos ? 0 : at + 1;
    parts.Host = std::string(authority.substr(hostStart, colon - hostStart));
  }
  if (at != npos) {
    const std::string_view userInfo = authority.substr(0, at);
    const size_t separator = userInfo.find(':');
    parts.User = std::string(userInfo.substr(0, separator));
    if (separator != npos) parts.Password = std::string(userInfo.substr(separator + 1));
  }
  return parts;
}

std::string CombineUrl(std::string_view baseText, std::string_view relText) {
  std::string base = Trim(baseText);
  const std::string proto = GetProtocol(base);
  // 0-based index of the "/" that starts the base's path.
  size_t pathStart = npos;
  if (StartsWithText(base, "file:///")) {
    pathStart = 7;
  } else if (const size_t marker = base.find("://"); marker != npos) {
    const size_t slash = base.find('/', marker + 3);
    // A base with no path gets one: the "/" appended below.
    pathStart = slash == npos ? base.size() : slash;
  } else {
    pathStart = base.find('/');
    if (pathStart == npos) pathStart = base.size();
  }
  if (base.empty() || base.back() != '/') base += '/';

  const std::string rel = Trim(relText);
  std::string result;
  if (rel.empty() || rel[0] != '/')
    result = base + rel;
  else if (rel.size() >= 2 && rel[1] == '/')
    result = (proto == "file" ? std::string("file:///") : proto + ":") + rel;
  else
    result = base.substr(0, pathStart + 1) + rel.substr(1);

  for (size_t up = result.find("/../"); up != npos; up = result.find("/../")) {
    if (up > pathStart) {
      const size_t segment = result.rfind('/', up - 1);
      if (segment == npos) break;
      result.erase(segment + 1, up + 4 - (segment + 1));
    } else {
      result.erase(up + 1, 3);
    }
  }
  for (size_t here = result.find("/./"); here != npos; here = result.find("/./"))
    result.erase(here, 2);
  return result;
}

std::string UrlToDosPath(std::string_view s) {
  std::string path = DecodePercents(s);
  if (path.find('/') == npos) return path;
  const std::string lower = LowerCase(path);
  // file:///x and file:/x are /x; file://x is x.
  if (const size_t at = lower.find("file:///"); at != npos)
    path.erase(at, 7);
  else if (const size_t at2 = lower.find("file://"); at2 != npos)
    path.erase(at2, 7);
  else if (const size_t at3 = lower.find("file:/"); at3 != npos)
    path.erase(at3, 5);
  return path;
}

std::string CombineDosPath(std::string_view name, std::string_view root) {
  std::string result = Trim(UrlToDosPath(name));
  const bool rootRelative = !result.empty() && result[0] == '/' && result.compare(0, 2, "//") != 0;
  if (!root.empty() && rootRelative) result = std::string(root) + result;
  return result;
}

}  // namespace html
