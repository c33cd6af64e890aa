#include "platform/runtime/Cpu.h"

#include <chrono>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace plat {

std::optional<TCpuidResult> Cpuid(uint32_t leaf) {
#if defined(__x86_64__) || defined(__i386__)
  TCpuidResult r;
  // __get_cpuid checks the leaf against the highest one of its range first.
  if (__get_cpuid(leaf, &r.eax, &r.ebx, &r.ecx, &r.edx)) return r;
#else
  (void)leaf;
#endif
  return std::nullopt;
}

bool QueryPerformanceCounter(int64_t& count) {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  count = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  return true;
}

bool QueryPerformanceFrequency(int64_t& frequency) {
  frequency = 1000000;
  return true;
}

uint64_t GetTickCount64() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

int ProcessorCount() {
  unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : int(count);
}

}  // namespace plat
