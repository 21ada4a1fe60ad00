#include "general/common/MTokens.h"

#include <cstring>

namespace OrbanelGeneral10 {

namespace {

// Open addressing over a power-of-two table several times the word count, so a
// probe almost always ends at the first slot.
constexpr size_t kBuckets = 1024;

uint64_t Load8(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint64_t HashWord(std::string_view w) noexcept {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ w.size();
    if (w.size() >= 8) {
        h ^= Load8(w.data());
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= Load8(w.data() + w.size() - 8);
    } else {
        for (char c : w) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 31);
}

struct WordIndex {
    std::array<int16_t, kBuckets> bucket;  // slot number, -1 when free

    WordIndex() {
        bucket.fill(-1);
        for (int32_t t = 0; t < kTokenSlots; ++t) {
            std::string_view w = kTokenTable[t].word;
            if (w.empty()) continue;
            size_t i = HashWord(w) & (kBuckets - 1);
            while (bucket[i] >= 0) i = (i + 1) & (kBuckets - 1);
            bucket[i] = static_cast<int16_t>(t);
        }
    }

    int32_t Find(std::string_view w) const noexcept {
        if (w.empty()) return -1;
        for (size_t i = HashWord(w) & (kBuckets - 1);; i = (i + 1) & (kBuckets - 1)) {
            int16_t t = bucket[i];
            if (t < 0) return -1;
            if (kTokenTable[t].word == w) return t;
        }
    }
};

}  // namespace

int32_t FindTokenWord(std::string_view word) noexcept {
    static const WordIndex index;
    return index.Find(word);
}

}  // namespace OrbanelGeneral10
