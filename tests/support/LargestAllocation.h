// The largest heap block requested while a watch is running, seen through the allocator hooks of
// the sanitizers the test build uses. Tells a refusal that allocates nothing from one that first
// asks for the picture's memory, without timing anything.
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

 private:
  static std::atomic<bool>& Watching() {
    static std::atomic<bool> watching{false};
    return watching;
  }
  static std::atomic<std::size_t>& Largest() {
    static std::atomic<std::size_t> largest{0};
    return largest;
  }
  static void Seen(const volatile void*, std::size_t size) {
    if (!Watching()) return;
    std::size_t known = Largest();
    while (size > known && !Largest().compare_exchange_weak(known, size)) {
    }
  }
  static void Freed(const volatile void*) {}
};

}  // namespace test_support
