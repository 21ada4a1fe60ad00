#pragma once
// The most bytes held through new at once since a mark, so a test can say what a
// step cost at its height rather than what it kept. peak_heap.cpp replaces the
// global allocation functions of the test program with these.
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace testsupport::peakheap {

inline std::atomic<long long> g_held{0};
inline std::atomic<long long> g_peak{0};

inline void* Take(std::size_t size) noexcept {
    void* p = std::malloc(size ? size : 1);
    if (!p) return p;
    const long long held = g_held.fetch_add(static_cast<long long>(malloc_usable_size(p))) +
                           static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load(std::memory_order_relaxed);
    while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
    }
    return p;
}
// Out of line, so the compiler does not pair the replaced new with free().
[[gnu::noinline]] inline void Give(void* p) noexcept {
    if (!p) return;
    g_held.fetch_sub(static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}

// Bytes held above what was held at its making, at the height since then.
class Mark {
public:
    Mark() : base_(g_held.load()) { g_peak.store(base_); }
    size_t Height() const {
        const long long above = g_peak.load() - base_;
        return above > 0 ? static_cast<size_t>(above) : 0;
    }

private:
    long long base_;
};

}  // namespace testsupport::peakheap
