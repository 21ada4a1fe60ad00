#pragma once
// The one pseudo-random source of the process, seeded once from the system's
// entropy: clients created within the same second (the desk makes hundreds)
// must not draw the same values, so nothing seeds from the time of day alone.
#include <cstdint>

namespace runtime {

// A whole number from `low` to `high`, both included.
int32_t RandomBetween(int32_t low, int32_t high);

}  // namespace runtime
