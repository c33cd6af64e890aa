// Processor identification and clocks.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "platform/runtime/Cpu.h"

using namespace plat;

namespace {

TEST(Cpuid, BasicLeavesOnX86) {
#if defined(__x86_64__)
  auto leaf0 = Cpuid(0);
  ASSERT_TRUE(leaf0.has_value());
  EXPECT_GE(leaf0->eax, 1u);
  // The vendor text is twelve printable characters in EBX, EDX, ECX.
  char vendor[13] = {};
  std::memcpy(vendor, &leaf0->ebx, 4);
  std::memcpy(vendor + 4, &leaf0->edx, 4);
  std::memcpy(vendor + 8, &leaf0->ecx, 4);
  for (int i = 0; i < 12; ++i) EXPECT_TRUE(std::isprint(static_cast<unsigned char>(vendor[i])));
  auto leaf1 = Cpuid(1);
  ASSERT_TRUE(leaf1.has_value());
  EXPECT_TRUE(leaf1->edx & (1u << 26)) << "every x86-64 processor has SSE2";
  auto extended = Cpuid(0x80000000);
  ASSERT_TRUE(extended.has_value());
  EXPECT_GE(extended->eax, 0x80000001u);
  EXPECT_TRUE(Cpuid(0x80000001).has_value());
  EXPECT_FALSE(Cpuid(leaf0->eax + 1).has_value());
#else
  EXPECT_FALSE(Cpuid(0).has_value());
#endif
}

TEST(Clocks, CountersNeverGoBack) {
  int64_t frequency = 0;
  EXPECT_TRUE(QueryPerformanceFrequency(frequency));
  EXPECT_EQ(frequency, 1000000);
  int64_t first = 0, second = 0;
  EXPECT_TRUE(QueryPerformanceCounter(first));
  uint64_t tick = GetTickCount64();
  EXPECT_TRUE(QueryPerformanceCounter(second));
  EXPECT_GE(second, first);
  EXPECT_GE(GetTickCount64(), tick);
  EXPECT_GE(ProcessorCount(), 1);
}

}  // namespace
