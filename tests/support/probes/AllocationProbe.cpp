#include "support/probes/AllocationProbe.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> largest{0};
std::atomic<std::size_t> held{0};
std::atomic<std::size_t> base{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> limit{0};

std::size_t UsableSize(void* p) {
#ifdef _WIN32
    return ::_msize(p);
#else
    return ::malloc_usable_size(p);
#endif
}

void RaiseTo(std::atomic<std::size_t>& record, std::size_t value) {
    std::size_t seen = record.load();
    while (value > seen && !record.compare_exchange_weak(seen, value)) {
    }
}
}  // namespace

namespace kel::test {
void ResetLargestAllocation() {
    largest = 0;
    base = held.load();
    peak = held.load();
}
std::size_t LargestAllocation() { return largest; }
std::size_t PeakHeldBytes() { return peak - base; }
void LimitHeldBytes(std::size_t bytes) { limit = bytes; }
}  // namespace kel::test

// Replaces the global allocation functions of this test program only.
void* operator new(std::size_t size) {
    RaiseTo(largest, size);
    if (limit != 0 && held + size > base + limit) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) {
        RaiseTo(peak, held += UsableSize(p));
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (p) held -= UsableSize(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
