// The test program's allocation functions, counted for PeakHeap.h.
#include "tests/desk/accounts/PeakHeap.h"

void* operator new(std::size_t size) {
    if (void* p = testsupport::peakheap::Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return testsupport::peakheap::Take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return testsupport::peakheap::Take(size);
}
void operator delete(void* p) noexcept {
    testsupport::peakheap::Give(p);
}
void operator delete[](void* p) noexcept {
    testsupport::peakheap::Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    testsupport::peakheap::Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    testsupport::peakheap::Give(p);
}
