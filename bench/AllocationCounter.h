#pragma once
// Counts every heap allocation of the program, for the "no allocation per
// quote" figures. Replaces the global allocation functions, so include it in
// exactly one source file of a benchmark program.
#include <cstdint>
#include <cstdlib>
#include <new>

inline uint64_t g_allocations = 0;

namespace benchsupport {
// Out of line, so the compiler does not pair the replaced new with free().
[[gnu::noinline]] inline void Release(void* p) noexcept {
    std::free(p);
}
}  // namespace benchsupport

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept {
    benchsupport::Release(p);
}
void operator delete[](void* p) noexcept {
    benchsupport::Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    benchsupport::Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    benchsupport::Release(p);
}
