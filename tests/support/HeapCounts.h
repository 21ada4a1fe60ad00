#pragma once
// The bytes the program holds through new and delete, and the most it held at
// once since a mark, so a test can say what a step kept or what it cost at its
// height, with or without the sanitizers (whose allocators leave the heap
// statistics empty). HeapCounter.h routes the allocation functions here.
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>

namespace testsupport {

inline std::atomic<long long> g_heapBytes{0};
inline std::atomic<long long> g_heapPeak{0};

// Bytes allocated by new and not yet deleted.
inline size_t HeapInUse() {
    const long long bytes = g_heapBytes.load(std::memory_order_relaxed);
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

// Bytes held above what was held at its making, at the height since then.
class HeapPeakMark {
public:
    HeapPeakMark() : base_(g_heapBytes.load()) { g_heapPeak.store(base_); }
    size_t Height() const {
        const long long above = g_heapPeak.load() - base_;
        return above > 0 ? static_cast<size_t>(above) : 0;
    }

private:
    long long base_;
};

namespace heapcounter {
inline void* Take(std::size_t size) noexcept {
    void* p = std::malloc(size ? size : 1);
    if (!p) return p;
    const auto bytes = static_cast<long long>(malloc_usable_size(p));
    const long long held = g_heapBytes.fetch_add(bytes) + bytes;
    long long peak = g_heapPeak.load(std::memory_order_relaxed);
    while (held > peak && !g_heapPeak.compare_exchange_weak(peak, held)) {
    }
    return p;
}
// Out of line, so the compiler does not pair the replaced new with free().
[[gnu::noinline]] inline void Give(void* p) noexcept {
    if (!p) return;
    g_heapBytes.fetch_sub(static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}
}  // namespace heapcounter

}  // namespace testsupport
