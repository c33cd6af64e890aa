#include "graphics/System.h"

#include <chrono>
#include <cmath>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace gfx {

TPerfTimer GlobalPerfTimer;

TCpuIdentification ReadCpuIdentification() {
  TCpuIdentification Id;
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax, ebx, ecx, edx;
  // __get_cpuid_max makes the flags-register test where the instruction may be missing.
  if (__get_cpuid_max(0, nullptr) < 1) return Id;
  Id.Available = true;
  __cpuid(1, eax, ebx, ecx, edx);
  Id.Leaf1Eax = eax;
  Id.Leaf1Edx = edx;
  Id.MaxExtendedLeaf = __get_cpuid_max(0x80000000, nullptr);
  if (Id.MaxExtendedLeaf >= 0x80000001) {
    __cpuid(0x80000001, eax, ebx, ecx, edx);
    Id.Extended1Edx = edx;
  }
#endif
  return Id;
}

bool HasInstructionSet(TInstructionSet Set, const TCpuIdentification& Id) {
  constexpr uint32_t MMXBit = 0x00800000, SSEBit = 0x02000000, SSE2Bit = 0x04000000;
  constexpr uint32_t ExtendedMMXBit = 0x00400000, AMD3DNowBit = 0x80000000,
                     AMD3DNowExtBit = 0x40000000;
  if (!Id.Available) return false;
  if (((Id.Leaf1Eax >> 8) & 0xF) < 5) return false;
  const bool hasExtendedLeaves = Id.MaxExtendedLeaf >= 0x80000001;
  switch (Set) {
    case isMMX:
      return Id.Leaf1Edx & MMXBit;
    case isExtendedMMX:
      return (Id.Leaf1Edx & SSEBit) || (hasExtendedLeaves && (Id.Extended1Edx & ExtendedMMXBit));
    case isSSE:
      return Id.Leaf1Edx & SSEBit;
    case isSSE2:
      return Id.Leaf1Edx & SSE2Bit;
    case is3DNow:
      return hasExtendedLeaves && (Id.Extended1Edx & AMD3DNowBit);
    case is3DNowExt:
      return hasExtendedLeaves && (Id.Extended1Edx & AMD3DNowExtBit);
  }
  return false;
}

bool HasInstructionSet(TInstructionSet Set) {
  return HasInstructionSet(Set, ReadCpuIdentification());
}

TInstructionSets CPUFeatures() {
  static const TInstructionSets features = [] {
    const TCpuIdentification Id = ReadCpuIdentification();
    TInstructionSets sets = 0;
    for (TInstructionSet S : {isMMX, isExtendedMMX, isSSE, isSSE2, is3DNow, is3DNowExt})
      if (HasInstructionSet(S, Id)) sets |= SetOf(S);
    return sets;
  }();
  return features;
}

int32_t DefaultPriority(const TFunctionInfo& Info) {
  return (Info.Requirements & ~CPUFeatures()) == 0 ? 0 : InvalidPriority;
}

TGenericProc TFunctionRegistry::FindFunction(int32_t FunctionID,
                                             const TFunctionPriority& Priority) const {
  int32_t best = InvalidPriority;
  TGenericProc result = nullptr;
  for (auto it = functions_.rbegin(); it != functions_.rend(); ++it) {
    if (it->FunctionID != FunctionID) continue;
    const int32_t p = Priority ? Priority(*it) : DefaultPriority(*it);
    if (p < best) {
      best = p;
      result = it->Proc;
    }
  }
  return result;
}

void TFunctionRegistry::RebindAll(const TFunctionPriority& Priority) {
  for (const Binding& B : bindings_) B.Bind(FindFunction(B.FunctionID, Priority));
}

namespace {

std::vector<std::unique_ptr<TFunctionRegistry>>& RegistryList() {
  static std::vector<std::unique_ptr<TFunctionRegistry>> list;
  return list;
}

}  // namespace

TFunctionRegistry& NewRegistry(std::string Name) {
  return *RegistryList().emplace_back(std::make_unique<TFunctionRegistry>(std::move(Name)));
}

const std::vector<std::unique_ptr<TFunctionRegistry>>& Registries() {
  return RegistryList();
}

namespace {

// A microsecond counter lasts about 292,000 years before the microsecond product below overflows.
constexpr int64_t CounterFrequency = 1000000;

int64_t PerformanceCounter() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void TPerfTimer::Start() {
  startValue_ = PerformanceCounter();
}

int64_t TPerfTimer::ReadMicroseconds() {
  currentValue_ = PerformanceCounter();
  frequency_ = CounterFrequency;
  return std::llrint(double((currentValue_ - startValue_) * 1000000) / double(frequency_));
}

int64_t SystemTickCount() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int32_t GetProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : int32_t(n);
}

}  // namespace gfx
