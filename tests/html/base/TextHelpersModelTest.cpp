// The wide-string helpers and the selection visitors against models of their rules, over random
// texts of letters, blanks, control codes and the object and line-break marks.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "html/base/PageUtils.h"

using namespace html;

namespace {

std::u16string RandomText(std::mt19937& random, int most) {
  static const char16_t alphabet[] = u"ab \x01\x02\x04\x08\t\xe9\x3a9Z";
  std::u16string s;
  for (int n = int(random() % (most + 1)); n > 0; --n)
    s += alphabet[random() % (std::size(alphabet) - 1)];
  return s;
}

TEST(TextHelpersModel, SearchesTrimsAndReplacements) {
  std::mt19937 random(103);
  for (int i = 0; i < 20000; ++i) {
    const std::u16string s = RandomText(random, 8), sub = RandomText(random, 3);
    SCOPED_TRACE(testing::PrintToString(s) + " / " + testing::PrintToString(sub));
    // Positions: the first occurrence, 1-based, 0 when none; the pointer forms agree.
    size_t found = std::u16string::npos;
    for (size_t at = 0;
         !sub.empty() && at + sub.size() <= s.size() && found == std::u16string::npos; ++at)
      if (s.compare(at, sub.size(), sub) == 0) found = at;
    const std::u16string zs = s.substr(0, s.find(u'\0')), zsub = sub.substr(0, sub.find(u'\0'));
    EXPECT_EQ(WidePos(sub, s), found == std::u16string::npos ? 0 : int(found) + 1);
    const char16_t* p = WideStrPos(zs.c_str(), zsub.c_str());
    const size_t zfound = zsub.empty() ? std::u16string::npos : zs.find(zsub);
    EXPECT_EQ(p, zfound == std::u16string::npos ? nullptr : zs.c_str() + zfound);
    const char16_t ch = sub.empty() ? u'\0' : sub[0];
    const size_t first = zs.find(ch), last = zs.rfind(ch);
    EXPECT_EQ(WideStrScan(zs.c_str(), ch), ch == 0                         ? zs.c_str() + zs.size()
                                           : first == std::u16string::npos ? nullptr
                                                                           : zs.c_str() + first);
    EXPECT_EQ(WideStrRScan(zs.c_str(), ch), ch == 0                        ? zs.c_str() + zs.size()
                                            : last == std::u16string::npos ? nullptr
                                                                           : zs.c_str() + last);
    // Trim: characters below 33 go from both ends.
    size_t from = 0, to = s.size();
    while (from < to && s[from] < 33) ++from;
    while (to > from && s[to - 1] < 33) --to;
    EXPECT_EQ(WideTrim(s), s.substr(from, to - from));
    std::u16string replaced = s, expected = s;
    ReplaceChar(u'a', u'Z', replaced);
    for (char16_t& c : expected)
      if (c == u'a') c = u'Z';
    EXPECT_EQ(replaced, expected);
    EXPECT_EQ(WideSameStr(s, sub), s == sub);
    // Case maps one unit to one unit and only changes letters.
    const std::u16string upper = WideUpperCaseStr(s);
    ASSERT_EQ(upper.size(), s.size());
    for (size_t k = 0; k < s.size(); ++k)
      EXPECT_EQ(upper[k], s[k] == u'a'      ? u'A'
                          : s[k] == u'b'    ? u'B'
                          : s[k] == u'\xe9' ? u'\xc9'
                                            : s[k]);
    EXPECT_EQ(WideLowerCaseStr(upper).size(), s.size());
    // Byte positions from a start.
    const std::string n(s.begin(), s.end()), m(sub.begin(), sub.end());
    const int start = int(random() % 10) - 1;
    const size_t at = m.empty() ? std::string::npos : n.find(m, size_t(std::max(start, 1) - 1));
    EXPECT_EQ(PosFrom(m, n, start), at == std::string::npos ? 0 : int(at) + 1);
  }
}

TEST(TextHelpersModel, SelectionVisitorsCountAndCopyTheSameCharacters) {
  std::mt19937 random(103);
  for (int i = 0; i < 5000; ++i) {
    std::vector<std::u16string> pieces;
    for (int n = int(random() % 4); n > 0; --n) pieces.push_back(RandomText(random, 6));
    std::u16string kept;
    for (const std::u16string& piece : pieces)
      for (char16_t c : piece)
        if (c != 2 && c != 4 && c != 8) kept += c;
    SelTextCount count;
    for (const std::u16string& piece : pieces) count.AddText(piece.data(), int32_t(piece.size()));
    EXPECT_EQ(count.Terminate(), int32_t(kept.size()));
    std::vector<char16_t> buffer(random() % 12, u'#');
    SelTextBuf copy(buffer);
    for (const std::u16string& piece : pieces) copy.AddText(piece.data(), int32_t(piece.size()));
    const int32_t result = copy.Terminate();
    if (buffer.empty()) continue;
    const size_t stored = std::min(kept.size(), buffer.size() - 1);
    EXPECT_EQ(result, int32_t(stored) + 1);
    EXPECT_EQ(std::u16string(buffer.data(), stored), kept.substr(0, stored));
    EXPECT_EQ(buffer[stored], u'\0');
  }
}

}  // namespace
