#include "runtime/Random.h"

#include <chrono>
#include <random>

namespace runtime {

int32_t RandomBetween(int32_t low, int32_t high) {
    static std::mt19937 generator = [] {
        std::random_device device;
        const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::seed_seq seed{device(),
                           device(),
                           device(),
                           device(),
                           static_cast<unsigned>(now),
                           static_cast<unsigned>(now >> 32)};
        return std::mt19937(seed);
    }();
    std::uniform_int_distribution<int32_t> draw(low, high);
    return draw(generator);
}

}  // namespace runtime
