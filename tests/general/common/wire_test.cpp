#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/MCommandMessage.h"

// Live heap bytes of this test program, for the burst test below.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<long long> g_liveBytes{0};
}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

namespace wire = OrbanelGeneral10::wire;

// The marker search skips ahead word by word and then with memchr; it must
// agree with a plain search wherever the marker, its decoys and its key fall.
TEST(WireFind, AgreesWithAPlainSearch) {
    const std::string alphabet = std::string("+3!G)_s?<&h,ab") + '\0' + '\x80' + '\xff' + '\x2b';
    std::mt19937 rng(3);
    for (const wire::Marker* marker : {&wire::kEndMarker, &wire::kParameterMarker,
                                       &wire::kSessionMarker, &wire::kParameterListMarker}) {
        for (size_t length = 0; length <= 200; ++length) {
            std::string text(length, 'a');
            for (char& c : text) c = alphabet[rng() % alphabet.size()];
            const std::string_view view(text);
            for (size_t from = 0; from <= length + 1; ++from)
                ASSERT_EQ(wire::Find(view, *marker, from), view.find(marker->text, from))
                    << marker->text << " in " << length << " bytes from " << from;
        }
    }
}

}  // namespace

namespace {

// After a 1 MB burst, one message in 64 KiB reads or a thousand in one read,
// and the next small message, the receiver keeps about its idle memory.
TEST(WireReceiveBuffer, ABurstsMemoryGoesBackOnceItsMessagesAreDone) {
    const std::string end(wire::kEndMarker.text);
    std::string many;
    for (int i = 0; i < 1024; ++i) many += std::string(1000, 'y') + end;
    const struct {
        std::string burst;
        size_t read;
    } cases[] = {{std::string(size_t{1} << 20, 'x') + end, size_t{64} << 10}, {many, many.size()}};
    for (const auto& c : cases) {
        wire::ReceiveBuffer buffer;
        std::vector<std::string> rows;
        buffer.Split("hello" + end, rows);
        wire::TrimSpareTexts(rows);
        const long long idle = g_liveBytes;
        for (size_t at = 0; at < c.burst.size(); at += c.read) {
            buffer.Split(std::string_view(c.burst).substr(at, c.read), rows);
            wire::TrimSpareTexts(rows);
        }
        buffer.Split("tick" + end, rows);
        wire::TrimSpareTexts(rows);
        EXPECT_LT(g_liveBytes - idle, 256 << 10) << "reads of " << c.read;
    }
    std::string large(size_t{1} << 20, 'z');
    wire::ReleaseIfLarge(large);
    EXPECT_LE(large.capacity(), size_t{64} << 10);
}

}  // namespace
