#include "graphics/core/System.h"

#include <cmath>

#include "platform/runtime/Cpu.h"

namespace gfx {

TPerfTimer GlobalPerfTimer;

TCpuIdentification ReadCpuIdentification() {
  TCpuIdentification Id;
  const auto leaf1 = plat::Cpuid(1);
  if (!leaf1) return Id;
  Id.Available = true;
  Id.Leaf1Eax = leaf1->eax;
  Id.Leaf1Edx = leaf1->edx;
  if (const auto extended = plat::Cpuid(0x80000000)) Id.MaxExtendedLeaf = extended->eax;
  if (Id.MaxExtendedLeaf >= 0x80000001)
    if (const auto extended1 = plat::Cpuid(0x80000001)) Id.Extended1Edx = extended1->edx;
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

void TPerfTimer::Start() {
  plat::QueryPerformanceCounter(startValue_);
}

// The counter runs at 1 MHz, so the microsecond product lasts far beyond any run.
int64_t TPerfTimer::ReadMicroseconds() {
  plat::QueryPerformanceCounter(currentValue_);
  plat::QueryPerformanceFrequency(frequency_);
  return std::llrint(double((currentValue_ - startValue_) * 1000000) / double(frequency_));
}

int64_t SystemTickCount() {
  return int64_t(plat::GetTickCount64());
}

int32_t GetProcessorCount() {
  return plat::ProcessorCount();
}

}  // namespace gfx
