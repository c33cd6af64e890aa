// Processor features, the registries that bind per-processor routines, and the engine's timer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/Classes.h"

namespace gfx {

enum TInstructionSet : uint8_t { isMMX, isExtendedMMX, isSSE, isSSE2, is3DNow, is3DNowExt };

// Bit i stands for the instruction set of ordinal i.
using TInstructionSets = uint8_t;
constexpr TInstructionSets SetOf(TInstructionSet S) {
  return TInstructionSets(1u << S);
}

// Raw identification results that the feature rules read.
struct TCpuIdentification {
  bool Available = false;  // the identification instruction exists
  uint32_t Leaf1Eax = 0, Leaf1Edx = 0;
  uint32_t MaxExtendedLeaf = 0;  // EAX of leaf 0x80000000
  uint32_t Extended1Edx = 0;     // EDX of leaf 0x80000001
};

TCpuIdentification ReadCpuIdentification();
bool HasInstructionSet(TInstructionSet Set, const TCpuIdentification& Id);
bool HasInstructionSet(TInstructionSet Set);
// Detected once, then cached.
TInstructionSets CPUFeatures();

using TGenericProc = void (*)();

struct TFunctionInfo {
  int32_t FunctionID;
  TGenericProc Proc;
  TInstructionSets Requirements;
  int32_t Flags;  // stored, not interpreted by the registry
};

// The engine tags each implementation with its tier in Flags.
enum TImplementationTier : int32_t { tierPortable, tierInteger, tierMMX, tierSSE2 };

inline constexpr int32_t InvalidPriority = 0x7FFFFFFF;
using TFunctionPriority = std::function<int32_t(const TFunctionInfo&)>;

// 0 when the processor has every required set, else InvalidPriority.
int32_t DefaultPriority(const TFunctionInfo& Info);

class TFunctionRegistry : public plat::TPersistent {
 public:
  explicit TFunctionRegistry(std::string Name) : name_(std::move(Name)) {}

  const std::string& Name() const { return name_; }
  void SetName(std::string Name) { name_ = std::move(Name); }

  template <class Fn>
  void Add(int32_t FunctionID, Fn* Proc, TInstructionSets Requirements = 0, int32_t Flags = 0) {
    functions_.push_back({FunctionID, reinterpret_cast<TGenericProc>(Proc), Requirements, Flags});
  }

  // Variable receives the chosen implementation on every RebindAll.
  template <class Fn>
  void RegisterBinding(int32_t FunctionID, Fn** Variable) {
    bindings_.push_back(
        {FunctionID, [Variable](TGenericProc P) { *Variable = reinterpret_cast<Fn*>(P); }});
  }

  // The last added implementation with the lowest priority below InvalidPriority; nullptr if none.
  TGenericProc FindFunction(int32_t FunctionID, const TFunctionPriority& Priority = {}) const;
  void RebindAll(const TFunctionPriority& Priority = {});

  const std::vector<TFunctionInfo>& Functions() const { return functions_; }

 private:
  struct Binding {
    int32_t FunctionID;
    std::function<void(TGenericProc)> Bind;
  };

  std::vector<TFunctionInfo> functions_;
  std::vector<Binding> bindings_;
  std::string name_;
};

// Creates a registry and appends it to the engine-wide list, which owns it.
TFunctionRegistry& NewRegistry(std::string Name);
// Every registry made so far, in creation order.
const std::vector<std::unique_ptr<TFunctionRegistry>>& Registries();

// Microsecond stopwatch over the platform's performance counter.
class TPerfTimer {
 public:
  void Start();
  int64_t ReadMicroseconds();

  int64_t Frequency() const { return frequency_; }
  int64_t StartValue() const { return startValue_; }
  int64_t CurrentValue() const { return currentValue_; }

 private:
  int64_t frequency_ = 0, startValue_ = 0, currentValue_ = 0;
};

extern TPerfTimer GlobalPerfTimer;

// Milliseconds of a steady clock; 64 bits, so it does not wrap.
int64_t SystemTickCount();
int32_t GetProcessorCount();

}  // namespace gfx
