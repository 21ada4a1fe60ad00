#pragma once
// Counts the bytes the program holds through new and delete, so a test can
// say what a step kept on the heap, with or without the sanitizers (whose
// allocators leave the heap statistics empty). Replaces the global allocation
// functions, so include it in exactly one source file of a test program.
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace testsupport {

inline std::atomic<long long> g_heapBytes{0};

// Bytes allocated by new and not yet deleted.
inline size_t HeapInUse() {
    const long long bytes = g_heapBytes.load(std::memory_order_relaxed);
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

namespace heapcounter {
inline void* Take(std::size_t size) noexcept {
    void* p = std::malloc(size ? size : 1);
    if (p) g_heapBytes.fetch_add(static_cast<long long>(malloc_usable_size(p)));
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

void* operator new(std::size_t size) {
    if (void* p = testsupport::heapcounter::Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return testsupport::heapcounter::Take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return testsupport::heapcounter::Take(size);
}
void operator delete(void* p) noexcept {
    testsupport::heapcounter::Give(p);
}
void operator delete[](void* p) noexcept {
    testsupport::heapcounter::Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    testsupport::heapcounter::Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    testsupport::heapcounter::Give(p);
}
