// Receive path of the protocol framework: a stream of server messages cut by
// SplitBuffer in socket-sized reads, then the token and every parameter of each
// message read back. The floor is a plain memchr scan for the end marker.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "general/common/MTokens.h"
#include "protocol/CDataProtocol.h"
#include "protocol/CProcess.h"

namespace {

struct Stream {
    std::string bytes;
    std::vector<size_t> reads;  // sizes of the socket reads, 1-4 KiB
    size_t messages = 0;
};

constexpr std::string_view kInvalid = "%$#InVaLID";

std::string Word(int32_t token) {
    return std::string(OrbanelGeneral10::TokenWord(token));
}

std::string Price(std::mt19937& rng) {
    return "1." + std::to_string(10000 + rng() % 90000);
}

// A quote push of about `size` bytes: symbol id, bid, ask, time, then padding
// cells (high/low and the like) until the size is reached.
std::string QuotePush(std::mt19937& rng, size_t size) {
    std::string m = Word(OrbanelGeneral10::MARKET_DATA_TOKEN) + "s?<";
    m += "G)_" + std::to_string(rng() % 300) + "G)_" + Price(rng) + "G)_" + Price(rng) +
         "G)_14:05:" + std::to_string(10 + rng() % 50);
    while (m.size() + 3 < size) m += "G)_" + Price(rng);
    m.resize(size - 3);
    return m + "+3!";
}

// A one-row result or one row of a multi-row result: cells joined by "R,@".
std::string Row(std::mt19937& rng, int32_t token, size_t cells) {
    std::string m = Word(token) + "s?<G)_" + std::to_string(rng() % 100000) + "G)_";
    for (size_t c = 0; c < cells; ++c) {
        if (c) m += "R,@";
        m += c % 3 == 0 ? Price(rng) : "cell" + std::to_string(rng() % 1000);
    }
    return m + "+3!";
}

void Cut(Stream& s, std::mt19937& rng) {
    for (size_t at = 0; at < s.bytes.size();) {
        const size_t n = 1024 + rng() % 3073;
        s.reads.push_back(n);
        at += n;
    }
}

// 80% quote pushes of 32-200 bytes (32: the shortest a 26-character word
// allows; short ones end inside their first values), 10% one-row results and
// 10% runs of 5-24 multi-row rows; about 8 MB.
const Stream& Realistic() {
    static const Stream stream = [] {
        Stream s;
        std::mt19937 rng(7);
        while (s.bytes.size() < (8u << 20)) {
            const unsigned kind = rng() % 100;
            if (kind < 80) {
                s.bytes += QuotePush(rng, 32 + rng() % 169);
                ++s.messages;
            } else if (kind < 90) {
                s.bytes += Row(rng, KVGeneralDLL10::RESULT_TOKEN, 12 + rng() % 6);
                ++s.messages;
            } else {
                const size_t rows = 5 + rng() % 20;
                s.bytes += Word(KVGeneralDLL10::RESULT_COUNT_TOKEN) + "s?<G)_" +
                           std::to_string(rows) + "+3!";
                ++s.messages;
                for (size_t r = 0; r < rows; ++r, ++s.messages)
                    s.bytes += Row(rng, KVGeneralDLL10::RESULT_TOKEN, 16);
            }
        }
        Cut(s, rng);
        return s;
    }();
    return stream;
}

// Quote pushes of exactly 120 bytes.
const Stream& Fixed120() {
    static const Stream stream = [] {
        Stream s;
        std::mt19937 rng(11);
        while (s.bytes.size() < (8u << 20)) {
            s.bytes += QuotePush(rng, 120);
            ++s.messages;
        }
        Cut(s, rng);
        return s;
    }();
    return stream;
}

template <class Each>
size_t Feed(const Stream& s, KVGeneralDLL10::CDataProtocol& codec, std::vector<std::string>& rows,
            Each&& each) {
    size_t messages = 0;
    std::string_view rest = s.bytes;
    for (size_t n : s.reads) {
        const size_t got = codec.SplitBuffer(rest.substr(0, n), rows);
        rest.remove_prefix(n < rest.size() ? n : rest.size());
        for (size_t i = 1; i <= got; ++i) each(rows[i]);
        messages += got;
    }
    return messages;
}

void Report(benchmark::State& state, const Stream& s) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * s.messages));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// SplitBuffer, then TokenID and ParameterValue(1, 2, ...) until "%$#InVaLID".
void ParseAll(benchmark::State& state, const Stream& s) {
    KVGeneralDLL10::CDataProtocol codec;
    codec.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    std::vector<std::string> rows;
    for (auto _ : state) {
        size_t checksum = 0;
        const size_t n = Feed(s, codec, rows, [&](const std::string& cmd) {
            checksum += static_cast<size_t>(codec.TokenID(cmd));
            for (int64_t i = 1;; ++i) {
                std::string value = codec.ParameterValue(cmd, i);
                if (value == kInvalid) break;
                checksum += value.size();
            }
        });
        if (n != s.messages) state.SkipWithError("lost messages");
        benchmark::DoNotOptimize(checksum);
    }
    Report(state, s);
}

// What the connection does with each message: one message object parses it.
void ParseWithProcess(benchmark::State& state, const Stream& s) {
    KVGeneralDLL10::CDataProtocol codec;
    KVGeneralDLL10::CProcess process;
    process.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    std::vector<std::string> rows;
    for (auto _ : state) {
        size_t checksum = 0;
        Feed(s, codec, rows, [&](const std::string& cmd) {
            process.DefineProcessByCommand(5, cmd);
            checksum += process.Parameters();
        });
        benchmark::DoNotOptimize(checksum);
    }
    Report(state, s);
}

void SplitOnly(benchmark::State& state, const Stream& s) {
    KVGeneralDLL10::CDataProtocol codec;
    std::vector<std::string> rows;
    for (auto _ : state) {
        size_t n = Feed(s, codec, rows, [](const std::string&) {});
        benchmark::DoNotOptimize(n);
    }
    Report(state, s);
}

// The physical floor: find every "+3!" with memchr, nothing copied.
void MemchrFloor(benchmark::State& state, const Stream& s) {
    for (auto _ : state) {
        size_t n = 0;
        const char* p = s.bytes.data();
        const char* end = p + s.bytes.size();
        while ((p = static_cast<const char*>(std::memchr(p, '+', static_cast<size_t>(end - p))))) {
            if (end - p >= 3 && p[1] == '3' && p[2] == '!') ++n;
            ++p;
        }
        if (n != s.messages) state.SkipWithError("marker count");
        benchmark::DoNotOptimize(n);
    }
    Report(state, s);
}

BENCHMARK_CAPTURE(ParseAll, realistic, Realistic());
BENCHMARK_CAPTURE(ParseWithProcess, realistic, Realistic());
BENCHMARK_CAPTURE(SplitOnly, realistic, Realistic());
BENCHMARK_CAPTURE(MemchrFloor, realistic, Realistic());
BENCHMARK_CAPTURE(ParseAll, fixed120, Fixed120());
BENCHMARK_CAPTURE(ParseWithProcess, fixed120, Fixed120());
BENCHMARK_CAPTURE(SplitOnly, fixed120, Fixed120());
BENCHMARK_CAPTURE(MemchrFloor, fixed120, Fixed120());

}  // namespace

BENCHMARK_MAIN();
