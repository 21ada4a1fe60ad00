// libFuzzer target for the client side of the proxy handshakes: the input's
// first byte picks HTTP, SOCKS4 or SOCKS5 and whether a login is set, the
// second the read sizes, the rest is what the proxy answers. Fed whole and
// fed in pieces, the handshake must send the same bytes, end the same way
// and keep the same leftover. Every build makes handshake_fuzz_replay, which
// ctest runs over fuzz/seeds (the handshake table's answers). With clang, from
// the repository's root:
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON
//   cmake --build build-fuzz --target handshake_fuzz
//   build-fuzz/tests/platform/handshake_fuzz -max_total_time=180 -max_len=40000
//       corpus tests/platform/fuzz/seeds
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/HttpTunnel.h"

namespace {

using platform::ProxyHandshake;

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Outcome {
    std::string sent;
    ProxyHandshake::Status status = ProxyHandshake::Status::Continue;
    std::string leftover;
};

// Feeds `answer` in reads of `piece` bytes (0: whole).
Outcome Run(int32_t type, bool login, std::string_view answer, size_t piece) {
    ProxyHandshake h(type, "srv.example", 4500, login ? "user" : "", login ? "pw" : "");
    Check(h.Valid());
    Outcome out;
    Check(!h.Start().empty());
    const size_t step = piece == 0 ? answer.size() : piece;
    for (size_t at = 0; at < answer.size() && out.status != ProxyHandshake::Status::Failed;
         at += step) {
        std::string reply;
        out.status = h.Feed(answer.substr(at, step), reply);
        out.sent += reply;
    }
    if (out.status == ProxyHandshake::Status::Failed) Check(!h.Error().empty());
    if (out.status == ProxyHandshake::Status::Done) out.leftover = h.TakeLeftover();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t type = data[0] % 3;
    const bool login = (data[0] / 3) % 2 != 0;
    const size_t piece = data[1] % 16 + 1;
    const std::string_view answer(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Outcome whole = Run(type, login, answer, 0);
    const Outcome pieces = Run(type, login, answer, piece);
    Check(whole.status == pieces.status);
    Check(whole.sent == pieces.sent);
    Check(whole.leftover == pieces.leftover);
    return 0;
}
