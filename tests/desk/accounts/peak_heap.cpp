// The test program's allocation functions, counted for the peak-heap bounds.
#include "tests/support/HeapCounter.h"
