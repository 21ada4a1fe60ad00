// The test program's allocation functions, counted for PeakHeap.h: the library's
// array, sized and nothrow forms all come here.
#include "tests/desk/accounts/PeakHeap.h"

void* operator new(std::size_t size) {
    if (void* p = testsupport::peakheap::Take(size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    testsupport::peakheap::Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    testsupport::peakheap::Give(p);
}
