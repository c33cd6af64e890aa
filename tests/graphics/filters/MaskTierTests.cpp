// Every registered mask line implementation against a plain per-pixel oracle.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/Engine.h"
#include "graphics/core/System.h"
#include "graphics/filters/Filters.h"

namespace {

using gfx::TColor32;

struct StartEngine : testing::Environment {
  void SetUp() override { gfx::StartEngine(); }
};
const auto* const startEngine = testing::AddGlobalTestEnvironment(new StartEngine);

const gfx::TFunctionRegistry& FiltersRegistry() {
  for (const auto& registry : gfx::Registries()) {
    if (registry->Name() == "Filters bindings") return *registry;
  }
  throw std::runtime_error("no filters registry");
}

TColor32 Oracle(int id, TColor32 pixel, TColor32 mask) {
  switch (id % 3) {
    case 0:
      return pixel & mask;
    case 1:
      return pixel | mask;
    default:
      return pixel ^ mask;
  }
}

bool Runs(const gfx::TFunctionInfo& info) {
  return (info.Requirements & ~gfx::CPUFeatures()) == 0;
}

TEST(MaskLineTiers, EveryImplementationMatchesTheOracle) {
  const int counts[] = {-1, 0, 1, 2, 15, 16, 17, 31, 32, 33, 100};
  std::mt19937 random(1);
  constexpr TColor32 guard = 0xDEADBEEFu;
  int checked = 0;
  for (const gfx::TFunctionInfo& info : FiltersRegistry().Functions()) {
    if (!Runs(info)) continue;
    ++checked;
    for (int count : counts) {
      for (int offset = 0; offset < 4; ++offset) {
        const int n = std::max(count, 0);
        std::vector<TColor32> src(n + 8), dst(n + 8, guard);
        for (TColor32& p : src) p = random();
        for (int i = 0; i < n; ++i) dst[offset + 1 + i] = random();
        const std::vector<TColor32> before = dst;
        const TColor32 mask = random();
        TColor32* out = dst.data() + offset + 1;
        const TColor32* in = src.data() + offset + 1;
        if (info.FunctionID < gfx::MaskLineAndCopyID) {
          reinterpret_cast<gfx::TMaskLine>(info.Proc)(out, mask, count);
        } else {
          reinterpret_cast<gfx::TMaskLineCopy>(info.Proc)(in, out, count, mask);
        }
        for (size_t i = 0; i < dst.size(); ++i) {
          const bool inside = i >= size_t(offset + 1) && i < size_t(offset + 1 + n);
          const TColor32 base = info.FunctionID < gfx::MaskLineAndCopyID ? before[i] : src[i];
          const TColor32 expected = inside ? Oracle(info.FunctionID, base, mask) : before[i];
          ASSERT_EQ(dst[i], expected) << "id " << info.FunctionID << " tier " << info.Flags
                                      << " count " << count << " offset " << offset << " at " << i;
        }
      }
    }
  }
  EXPECT_GE(checked, 12);  // portable and integer forms of all six at least
}

// The copying forms with source and destination in one row, the destination up to five pixels
// either side: every implementation goes forward pixel by pixel as the portable one does.
TEST(MaskLineTiers, OverlappingCopiesWalkForward) {
  std::mt19937 random(2);
  for (const gfx::TFunctionInfo& info : FiltersRegistry().Functions()) {
    if (!Runs(info) || info.FunctionID < gfx::MaskLineAndCopyID) continue;
    for (int shift = -5; shift <= 5; ++shift) {
      for (int count : {1, 2, 3, 15, 16, 17, 33, 40}) {
        std::vector<TColor32> row(size_t(count) + 12);
        for (TColor32& p : row) p = random();
        std::vector<TColor32> expected = row;
        const TColor32 mask = random();
        const int from = 6, to = 6 + shift;
        for (int i = 0; i < count; ++i)
          expected[size_t(to + i)] = Oracle(info.FunctionID, expected[size_t(from + i)], mask);
        reinterpret_cast<gfx::TMaskLineCopy>(info.Proc)(row.data() + from, row.data() + to, count,
                                                        mask);
        ASSERT_EQ(row, expected) << "id " << info.FunctionID << " tier " << info.Flags << " shift "
                                 << shift << " count " << count;
      }
    }
  }
}

TEST(MaskLineTiers, RegistrationAndBinding) {
  const gfx::TFunctionRegistry& registry = FiltersRegistry();
  for (int id = 0; id < 6; ++id) {
    int portable = 0, integer = 0;
    for (const gfx::TFunctionInfo& info : registry.Functions()) {
      if (info.FunctionID != id) continue;
      portable += info.Flags == gfx::tierPortable;
      integer += info.Flags == gfx::tierInteger;
    }
    EXPECT_EQ(portable, 1) << id;
    EXPECT_EQ(integer, 1) << id;
  }
  auto boundTo = [&](auto variable) -> const gfx::TFunctionInfo* {
    for (const gfx::TFunctionInfo& info : registry.Functions()) {
      if (info.Proc == reinterpret_cast<gfx::TGenericProc>(variable)) return &info;
    }
    return nullptr;
  };
  // The in-place forms have nothing faster than the integer tier; the copying forms take
  // the cache-bypassing one where the processor has it.
  for (gfx::TMaskLine line : {gfx::MaskLineAnd, gfx::MaskLineOr, gfx::MaskLineXor}) {
    ASSERT_NE(boundTo(line), nullptr);
    EXPECT_EQ(boundTo(line)->Flags, gfx::tierInteger);
  }
  for (gfx::TMaskLineCopy line :
       {gfx::MaskLineAndCopy, gfx::MaskLineOrCopy, gfx::MaskLineXorCopy}) {
    ASSERT_NE(boundTo(line), nullptr);
    if (gfx::HasInstructionSet(gfx::isExtendedMMX)) {
      EXPECT_EQ(boundTo(line)->Requirements, gfx::SetOf(gfx::isExtendedMMX));
    }
  }
  EXPECT_EQ(gfx::MaskLineOf(gfx::maskXor), gfx::MaskLineXor);
  EXPECT_EQ(gfx::MaskLineOf(gfx::maskAnd), gfx::MaskLineAnd);
  EXPECT_EQ(gfx::MaskLineOf(gfx::maskOr), gfx::MaskLineOr);
  EXPECT_EQ(gfx::MaskLineCopyOf(gfx::maskXor), gfx::MaskLineXorCopy);
  EXPECT_EQ(gfx::MaskLineCopyOf(gfx::maskAnd), gfx::MaskLineAndCopy);
  EXPECT_EQ(gfx::MaskLineCopyOf(gfx::maskOr), gfx::MaskLineOrCopy);
}

TEST(ChannelMasks, SetsAndValues) {
  using gfx::ChannelBit;
  EXPECT_EQ(gfx::ChannelsToMask(ChannelBit(gfx::chBlue)), 0x000000FFu);
  EXPECT_EQ(gfx::ChannelsToMask(ChannelBit(gfx::chGreen)), 0x0000FF00u);
  EXPECT_EQ(gfx::ChannelsToMask(ChannelBit(gfx::chRed)), 0x00FF0000u);
  EXPECT_EQ(gfx::ChannelsToMask(ChannelBit(gfx::chAlpha)), 0xFF000000u);
  EXPECT_EQ(gfx::ChannelsToMask(0), 0u);
  EXPECT_EQ(gfx::ChannelsToMask(gfx::RGBChannelsSet), 0x00FFFFFFu);
  EXPECT_EQ(gfx::ValueToChannelMask(0x0F, ChannelBit(gfx::chRed) | ChannelBit(gfx::chAlpha)),
            0x0F0F0000u);
}

}  // namespace
