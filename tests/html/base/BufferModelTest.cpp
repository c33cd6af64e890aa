// The character buffers against a model of their description, over random sequences of adds,
// appends and clears: contents, positions and capacities growing by 50 from 300; and the byte
// length of every UTF-8 lead byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "html/base/TextBuffers.h"

namespace html {
namespace {

TEST(BufferModel, CollectionsGrowAsDescribed) {
  std::mt19937 random(150);
  for (int round = 0; round < 200; ++round) {
    TCharCollection chars, other;
    std::string text;
    std::vector<int32_t> positions;
    size_t capacity = 300;
    TokenObj token;
    std::u16string wide;
    int32_t wideCapacity = 300;
    for (int op = 0; op < 60; ++op) {
      const int kind = int(random() % 10);
      if (kind < 6) {
        const char ch = char('a' + random() % 26);
        const int32_t pos = int32_t(random() % 100000);
        if (text.size() == capacity) capacity += 50;
        chars.Add(ch, pos);
        text += ch;
        positions.push_back(pos);
        if (wideCapacity <= int32_t(wide.size())) wideCapacity += 50;
        token.AddUnicodeChar(char16_t(0x3000 + ch), pos);
        wide += char16_t(0x3000 + ch);
      } else if (kind < 8) {
        other.Clear();
        for (int n = int(random() % 120); n > 0; --n) other.Add('x', n);
        if (text.size() + size_t(other.Size()) >= capacity)
          capacity = text.size() + size_t(other.Size()) + 50;
        chars.Append(other);
        text += other.AsString();
        for (int n = 0; n < other.Size(); ++n) positions.push_back(other.Positions[size_t(n)]);
      } else if (kind == 8) {
        chars.Clear();
        text.clear();
        positions.clear();
        capacity = 0;  // the next add grows it by 50
      } else {
        ASSERT_EQ(token.GetString(), wide);
      }
      ASSERT_EQ(chars.AsString(), text);
      ASSERT_EQ(chars.Chars.size(), capacity);
      ASSERT_EQ(chars.Positions.size(), capacity);
      ASSERT_EQ(
          std::vector<int32_t>(chars.Positions.begin(), chars.Positions.begin() + chars.Size()),
          positions);
      ASSERT_EQ(token.Capacity, wideCapacity);
      ASSERT_EQ(token.Count, int32_t(wide.size()));
    }
  }
}

TEST(BufferModel, Utf8LeadBytesGiveTheirLength) {
  for (int lead = 0; lead < 256; ++lead) {
    const char text[2] = {char(lead), 0};
    const int expected = lead == 0                    ? 0
                         : lead >= 192 && lead <= 223 ? 2
                         : lead >= 224 && lead <= 239 ? 3
                         : lead >= 240 && lead <= 247 ? 4
                                                      : 1;
    EXPECT_EQ(MultibyteCharLength(65001, text), expected) << lead;
  }
}

}  // namespace
}  // namespace html
