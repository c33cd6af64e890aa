// URL helpers against models of their rules, over random URLs built from protocols, user
// information, hosts, ports, paths with climbs, queries and percent escapes.
#include <gtest/gtest.h>

#include <random>

#include "html/base/UrlHelpers.h"
#include "platform/runtime/SysUtils.h"

using namespace html;

namespace {

std::string CutQuery(const std::string& s) {
  return s.substr(0, s.find('?'));
}

std::string ModelBase(std::string url) {
  url = CutQuery(url.substr(
      url.find_first_not_of(' ') == std::string::npos ? url.size() : url.find_first_not_of(' ')));
  while (!url.empty() && url.back() == ' ') url.pop_back();
  const size_t slashes = url.find("//");
  const size_t from = slashes == std::string::npos ? 1 : slashes + 2;
  const size_t last = url.rfind('/');
  if (last != std::string::npos && last >= from) return url.substr(0, last + 1);
  return url + "/";
}

bool ModelHasProtocol(const std::string& url) {
  const std::string s = CutQuery(url);
  const size_t p = s.find("://");
  return (p != std::string::npos && s.find('/') > p) ||
         plat::LowerCase(url).find("mailto:") != std::string::npos;
}

TUrlParts ModelParse(const std::string& url) {
  TUrlParts p;
  if (url.empty()) return p;
  std::string rest;
  if (const size_t at = url.find("://"); at != std::string::npos) {
    p.Proto = url.substr(0, at);
    rest = url.substr(at + 3);
  } else if (url[0] != '/') {
    if (plat::LowerCase(url.substr(0, 5)) == "http:") {
      p.Proto = "http";
      if (url.size() >= 7 && url[6] != '/') {
        p.Path = url.substr(5);
        return p;
      }
      rest = url.size() > 6 ? url.substr(6) : "";
    } else if (plat::LowerCase(url.substr(0, 7)) == "mailto:") {
      p.Proto = "mailto";
      rest = url.substr(url.find(':') + 1);
    } else {
      rest = url;
    }
  } else {
    p.Proto = "http";
    if (url.size() > 1 && url[1] != '/') {
      p.Path = url;
      return p;
    }
    rest = url.substr(1);
  }
  const size_t slash = rest.find('/');
  const std::string authority = rest.substr(0, slash);
  if (slash != std::string::npos) p.Path = rest.substr(slash);
  const size_t c = authority.rfind(':'), a = authority.rfind('@');
  const size_t cp = c == std::string::npos ? 0 : c + 1, ap = a == std::string::npos ? 0 : a + 1;
  if (cp == 0 && ap == 0) {
    p.Host = authority;
  } else if (cp <= ap) {
    p.Host = authority.substr(ap);
  } else {
    p.Port = authority.substr(cp);
    p.Host = authority.substr(ap, cp - 1 - ap);
  }
  if (ap > 0) {
    const std::string info = authority.substr(0, ap - 1);
    const size_t colon = info.find(':');
    p.User = info.substr(0, colon);
    if (colon != std::string::npos) p.Password = info.substr(colon + 1);
  }
  return p;
}

TEST(UrlModel, BasesProtocolsAndParts) {
  std::mt19937 random(105);
  auto pick = [&](std::initializer_list<const char*> list) {
    return std::string(list.begin()[random() % list.size()]);
  };
  for (int i = 0; i < 20000; ++i) {
    std::string url = pick({"", " ", "http://", "HTTP://", "ftp://", "file:///",
                            "mailto:", "http:", "Http:x", "/", "//", "x:"});
    url += pick({"", "u@", "u:p@", "a:b:c@", "@"});
    url += pick({"", "host", "host:80", "h.org:", ":8"});
    const int segments = int(random() % 4);
    for (int s = 0; s < segments; ++s) url += "/" + pick({"a", "b", "..", ".", "", "c.gif"});
    url += pick({"", "", "?q=/x/y", "?", "/"});
    SCOPED_TRACE("'" + url + "'");
    EXPECT_EQ(GetUrlBase(url), ModelBase(url));
    EXPECT_EQ(UrlHasProtocol(url), ModelHasProtocol(url));
    const TUrlParts got = ParseURL(url), expected = ModelParse(url);
    EXPECT_EQ(got.Proto, expected.Proto);
    EXPECT_EQ(got.User, expected.User);
    EXPECT_EQ(got.Password, expected.Password);
    EXPECT_EQ(got.Host, expected.Host);
    EXPECT_EQ(got.Port, expected.Port);
    EXPECT_EQ(got.Path, expected.Path);
    EXPECT_EQ(GetProtocol(url), plat::LowerCase(ModelParse(CutQuery(url)).Proto));
  }
}

}  // namespace
