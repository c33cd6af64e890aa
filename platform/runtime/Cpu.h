// Processor identification, high-resolution counters and the processor count.
#pragma once

#include <cstdint>
#include <optional>

namespace plat {

struct TCpuidResult {
  uint32_t eax, ebx, ecx, edx;
};

// The registers of a CPUID leaf (basic leaves from 0, extended from 0x80000000); empty when the
// processor does not report that leaf or is not an x86.
std::optional<TCpuidResult> Cpuid(uint32_t leaf);

// A steady counter in ticks of QueryPerformanceFrequency (always 1,000,000 per second).
bool QueryPerformanceCounter(int64_t& count);
bool QueryPerformanceFrequency(int64_t& frequency);
// Milliseconds of a steady clock; 64 bits, so it does not wrap.
uint64_t GetTickCount64();
// Number of processors that can run threads (at least 1).
int ProcessorCount();

}  // namespace plat
