// The largest heap block requested while a watch is running, and the most memory held at once,
// seen through the allocator hooks of the sanitizers the test build uses. Tells a refusal that
// allocates nothing from one that first asks for the picture's memory, and bounds what a hostile
// input costs, without timing anything.
#pragma once

#include <atomic>
#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PIXSTAMP_ALLOCATOR_HOOKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PIXSTAMP_ALLOCATOR_HOOKS 1
#endif

#ifdef PIXSTAMP_ALLOCATOR_HOOKS
#include <sanitizer/allocator_interface.h>
#endif

namespace test_support {

class LargestAllocation {
 public:
  // False where no hooks exist; a test then has nothing to measure with.
  static bool Available() {
#ifdef PIXSTAMP_ALLOCATOR_HOOKS
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(&Seen, &Freed) != 0;
    return installed;
#else
    return false;
#endif
  }

  LargestAllocation() {
    Largest() = 0;
    Held() = 0;
    Peak() = 0;
    Watching() = Available();
  }
  ~LargestAllocation() {
    Watching() = false;
  }
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;

  std::size_t Bytes() const {
    return Largest();
  }
  // The most bytes held at once beyond what was held when the watch began.
  std::size_t PeakBytes() const {
    return std::size_t(Peak() > 0 ? Peak().load() : 0);
  }

 private:
  static std::atomic<bool>& Watching() {
    static std::atomic<bool> watching{false};
    return watching;
  }
  static std::atomic<std::size_t>& Largest() {
    static std::atomic<std::size_t> largest{0};
    return largest;
  }
  static std::atomic<long long>& Held() {
    static std::atomic<long long> held{0};
    return held;
  }
  static std::atomic<long long>& Peak() {
    static std::atomic<long long> peak{0};
    return peak;
  }
  static void Seen(const volatile void*, std::size_t size) {
    if (!Watching()) return;
    std::size_t known = Largest();
    while (size > known && !Largest().compare_exchange_weak(known, size)) {
    }
    const long long held = Held() += (long long)size;
    long long peak = Peak();
    while (held > peak && !Peak().compare_exchange_weak(peak, held)) {
    }
  }
  static void Freed(const volatile void* block) {
#ifdef PIXSTAMP_ALLOCATOR_HOOKS
    if (Watching() && block)
      Held() -= (long long)__sanitizer_get_allocated_size(const_cast<const void*>(block));
#else
    (void)block;
#endif
  }
};

}  // namespace test_support
