#pragma once
// Replaces the global allocation functions with ones counted in HeapCounts.h,
// so include it in exactly one source file of a test program.
#include <cstddef>
#include <new>

#include "tests/support/HeapCounts.h"

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
