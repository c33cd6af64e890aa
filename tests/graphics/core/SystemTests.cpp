#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "graphics/Engine.h"
#include "graphics/core/System.h"

namespace gfx {
namespace {

constexpr uint32_t MMX = 1u << 23, SSE = 1u << 25, SSE2 = 1u << 26;

TCpuIdentification Processor(uint32_t edx, uint32_t family = 6, uint32_t maxExtended = 0,
                             uint32_t extendedEdx = 0) {
  return {true, family << 8, edx, maxExtended, extendedEdx};
}

TInstructionSets Detect(const TCpuIdentification& id) {
  TInstructionSets sets = 0;
  for (TInstructionSet s : {isMMX, isExtendedMMX, isSSE, isSSE2, is3DNow, is3DNowExt})
    if (HasInstructionSet(s, id)) sets |= SetOf(s);
  return sets;
}

TEST(FeatureDetection, ReadsTheDocumentedBits) {
  EXPECT_EQ(Detect({}), 0);
  EXPECT_EQ(Detect(Processor(MMX | SSE | SSE2, 4)), 0);  // family below 5
  EXPECT_EQ(Detect(Processor(MMX | SSE | SSE2)),
            SetOf(isMMX) | SetOf(isExtendedMMX) | SetOf(isSSE) | SetOf(isSSE2));
  EXPECT_EQ(Detect(Processor(MMX)), SetOf(isMMX));
  // Extended MMX and 3DNow! from the extended leaf, only when that leaf exists.
  EXPECT_EQ(Detect(Processor(MMX, 5, 0x80000001, 0xC0400000)),
            SetOf(isMMX) | SetOf(isExtendedMMX) | SetOf(is3DNow) | SetOf(is3DNowExt));
  EXPECT_EQ(Detect(Processor(MMX, 5, 0x80000000, 0xC0400000)), SetOf(isMMX));
  EXPECT_EQ(SetOf(is3DNowExt), 32);
}

TEST(FeatureDetection, ThisProcessor) {
#if defined(__x86_64__)
  const TInstructionSets required =
      SetOf(isMMX) | SetOf(isExtendedMMX) | SetOf(isSSE) | SetOf(isSSE2);
  EXPECT_EQ(CPUFeatures() & required, required);
#endif
  EXPECT_EQ(CPUFeatures(), CPUFeatures());
}

// Dummy implementations that tell which one was bound.
int Portable() {
  return 0;
}
int Plain() {
  return 1;
}
int UsingMMX() {
  return 2;
}
int UsingSSE2() {
  return 3;
}
int LaterPlain() {
  return 4;
}

using Proc = int (*)();

TFunctionPriority Simulate(TInstructionSets features) {
  return [features](const TFunctionInfo& info) {
    return (info.Requirements & ~features) == 0 ? 0 : InvalidPriority;
  };
}

TEST(FunctionRegistry, BindsTheLastImplementationTheProcessorCanRun) {
  TFunctionRegistry registry("test");
  Proc bound = nullptr, missing = Portable;
  registry.RegisterBinding(1, &bound);
  registry.RegisterBinding(7, &missing);
  registry.Add(1, Portable);
  registry.Add(1, Plain);
  registry.Add(1, UsingMMX, SetOf(isMMX));
  registry.Add(1, UsingSSE2, SetOf(isSSE2));

  registry.RebindAll(Simulate(SetOf(isMMX) | SetOf(isSSE2)));
  EXPECT_EQ(bound(), 3);
  EXPECT_EQ(missing, nullptr);  // no implementation of ID 7
  registry.RebindAll(Simulate(SetOf(isMMX)));
  EXPECT_EQ(bound(), 2);
  registry.RebindAll(Simulate(0));
  EXPECT_EQ(bound(), 1);  // never the portable one
  registry.Add(1, LaterPlain);
  registry.RebindAll(Simulate(SetOf(isMMX) | SetOf(isSSE2)));
  EXPECT_EQ(bound(), 4);  // same requirements: the one added later
}

TEST(FunctionRegistry, LowerPriorityWinsAndTiesGoToTheLaterOne) {
  TFunctionRegistry registry("test");
  registry.Add(2, Portable, 0, 5);
  registry.Add(2, Plain, 0, 3);
  registry.Add(2, UsingMMX, 0, 3);
  registry.Add(2, UsingSSE2, 0, 9);
  auto byFlags = [](const TFunctionInfo& info) { return info.Flags; };
  EXPECT_EQ(reinterpret_cast<Proc>(registry.FindFunction(2, byFlags))(), 2);
  EXPECT_EQ(registry.FindFunction(2, [](const TFunctionInfo&) { return InvalidPriority; }),
            nullptr);
  EXPECT_EQ(registry.FindFunction(3), nullptr);
}

TEST(FunctionRegistry, BindingsAreVisitedInRegistrationOrder) {
  TFunctionRegistry registry("test");
  Proc shared = nullptr;
  registry.RegisterBinding(1, &shared);
  registry.RegisterBinding(2, &shared);
  registry.Add(1, Plain);
  registry.Add(2, UsingMMX);
  registry.RebindAll();
  EXPECT_EQ(shared(), 2);
}

TEST(FunctionRegistry, DefaultPriorityFollowsTheProcessor) {
  const TFunctionInfo none{0, nullptr, 0, 0};
  EXPECT_EQ(DefaultPriority(none), 0);
  const auto missing = TInstructionSets(~CPUFeatures() & 0x3F);
  if (missing != 0) {
    EXPECT_EQ(DefaultPriority({0, nullptr, missing, 0}), InvalidPriority);
  }
}

TEST(FunctionRegistry, EngineRegistriesAreMadeInModuleOrder) {
  StartEngine();
  std::vector<std::string> names;
  for (const auto& registry : Registries()) names.push_back(registry->Name());
  const auto lowLevel = std::find(names.begin(), names.end(), "LowLevel bindings");
  const auto blend = std::find(names.begin(), names.end(), "Blend bindings");
  ASSERT_NE(lowLevel, names.end());
  ASSERT_NE(blend, names.end());
  EXPECT_LT(lowLevel, blend);
  const size_t before = Registries().size();
  TFunctionRegistry& added = NewRegistry("extra");
  EXPECT_EQ(Registries().size(), before + 1);
  EXPECT_EQ(Registries().back().get(), &added);
}

// Random registries, processors and priorities against the choice rule: of the implementations
// of an ID, the lowest priority below InvalidPriority, the later one on a tie; and the feature
// bits of random identification records against the table.
TEST(FunctionRegistry, ChoicesMatchTheRuleForRandomRegistriesAndProcessors) {
  std::mt19937 random(102);
  static int slots[16];  // their addresses stand for implementations, never called
  for (int round = 0; round < 2000; ++round) {
    TFunctionRegistry registry("model");
    const int ids = int(random() % 4) + 1;
    std::vector<Proc> variables(size_t(ids), nullptr);
    std::vector<TFunctionInfo> added;
    for (int id = 0; id < ids; ++id) registry.RegisterBinding(id, &variables[size_t(id)]);
    const int count = int(random() % 10);
    for (int k = 0; k < count; ++k) {
      const TFunctionInfo info{int32_t(random() % uint32_t(ids + 1)),
                               reinterpret_cast<TGenericProc>(&slots[added.size()]),
                               TInstructionSets(random() % 64 & random() % 64),
                               int32_t(random() % 3)};
      registry.Add(info.FunctionID, info.Proc, info.Requirements, info.Flags);
      added.push_back(info);
    }
    const TInstructionSets features = TInstructionSets(random() % 64);
    const bool byFlags = random() % 2;
    const TFunctionPriority priority = [&](const TFunctionInfo& info) {
      if ((info.Requirements & ~features) != 0) return InvalidPriority;
      return byFlags ? info.Flags : 0;
    };
    registry.RebindAll(priority);
    for (int id = 0; id < ids; ++id) {
      TGenericProc expected = nullptr;
      int32_t best = InvalidPriority;
      for (const TFunctionInfo& info : added) {
        if (info.FunctionID != id) continue;
        const int32_t p = priority(info);
        if (p <= best && p != InvalidPriority) {
          best = p;
          expected = info.Proc;
        }
      }
      ASSERT_EQ(reinterpret_cast<TGenericProc>(variables[size_t(id)]), expected) << round;
    }

    TCpuIdentification id{random() % 8 != 0, uint32_t(random()) & 0xF00, uint32_t(random()),
                          0x80000000u + uint32_t(random() % 3), uint32_t(random())};
    const bool usable = id.Available && ((id.Leaf1Eax >> 8) & 0xF) >= 5;
    const bool extended = id.MaxExtendedLeaf >= 0x80000001;
    const bool bits[] = {
        (id.Leaf1Edx & 0x00800000) != 0,
        (id.Leaf1Edx & 0x02000000) != 0 || (extended && (id.Extended1Edx & 0x00400000) != 0),
        (id.Leaf1Edx & 0x02000000) != 0,
        (id.Leaf1Edx & 0x04000000) != 0,
        extended && (id.Extended1Edx & 0x80000000) != 0,
        extended && (id.Extended1Edx & 0x40000000) != 0};
    for (int set = 0; set < 6; ++set)
      ASSERT_EQ(HasInstructionSet(TInstructionSet(set), id), usable && bits[set]) << set;
  }
}

TEST(Timing, CountersRunForward) {
  TPerfTimer timer;
  timer.Start();
  EXPECT_GE(timer.ReadMicroseconds(), 0);
  EXPECT_GE(timer.CurrentValue(), timer.StartValue());
  EXPECT_GT(timer.Frequency(), 0);
  const int64_t tick = SystemTickCount();
  EXPECT_GE(SystemTickCount(), tick);
  EXPECT_GE(GetProcessorCount(), 1);
}

}  // namespace
}  // namespace gfx
