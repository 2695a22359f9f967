#include "AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> largest{0};
}

namespace kel::test {
void ResetLargestAllocation() { largest = 0; }
std::size_t LargestAllocation() { return largest; }
}  // namespace kel::test

// Replaces the global allocation functions of this test program only.
void* operator new(std::size_t size) {
    std::size_t seen = largest.load();
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
