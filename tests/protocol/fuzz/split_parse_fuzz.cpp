// libFuzzer target for the receive path: cutting the stream (in reads whose
// sizes the input chooses) and reading each message's token, session id and
// parameters. Checks the cut against a plain reference and the one-pass
// parameter reader against ParameterValue. Every build makes
// split_parse_fuzz_replay, which ctest runs over fuzz/seeds. With clang, from the
// repository's root:
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON
//   cmake --build build-fuzz --target split_parse_fuzz
//   build-fuzz/tests/protocol/split_parse_fuzz -max_total_time=180 -max_len=4096
//       corpus tests/protocol/fuzz/seeds
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CTokens.h"
#include "general/common/MCommandMessage.h"
#include "protocol/CDataProtocol.h"
#include "runtime/Error.h"

namespace {

namespace wire = OrbanelGeneral10::wire;

// The cut as the protocol defines it, written the plain way.
struct Reference {
    std::string buffer;
    std::vector<std::string> Split(std::string_view in) {
        buffer.append(in);
        if (buffer.compare(0, 3, "+3!") == 0) buffer.erase(0, 3);
        std::vector<std::string> out;
        size_t at;
        while ((at = buffer.find("+3!")) != std::string::npos) {
            out.push_back(buffer.substr(0, at));
            buffer.erase(0, at + 3);
        }
        return out;
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

void Parse(const std::string& cmd, KVGeneralDLL10::CDataProtocol& protocol,
           const OrbanelGeneral10::CDataProtocol& general) {
    Check(protocol.TokenID(cmd) == general.TokenID(cmd));
    try {
        const int32_t sid = protocol.RequestSID(cmd);
        Check(sid == general.RequestSID(cmd));
    } catch (const runtime::Error& e) {
        Check(e.Number() == runtime::errc::Overflow);
    }
    std::vector<std::string> params;
    wire::ReadParameters(cmd, params);
    std::vector<wire::Span> spans;
    wire::ReadParameters(cmd, spans);
    Check(spans.size() == params.size());
    for (size_t i = 0; i < spans.size(); ++i)
        Check(cmd.compare(spans[i].offset, spans[i].length, params[i]) == 0);
    for (size_t i = 0; i <= params.size(); ++i)
        Check(wire::ParameterValue(cmd, static_cast<int64_t>(i + 1)) ==
              protocol.ParameterValue(cmd, static_cast<int64_t>(i + 1)));
    for (size_t i = 0; i <= params.size(); ++i) {
        const std::string value = protocol.ParameterValue(cmd, static_cast<int64_t>(i + 1));
        if (i < params.size()) {
            Check(value == params[i]);
        } else {
            // Reading stops at the end or at a parameter that is the marker itself.
            Check(value == wire::kInvalidParameter);
        }
    }
    general.IsValidFirstCommand(cmd);
}

}  // namespace

// The socket layer (Qt) is not linked in; the codec's session description,
// the only user of these, is never reached from here.
std::string platform::TcpSocket::RemoteAddress() const {
    std::abort();
}
int32_t platform::TcpSocket::Port() const {
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto tokens = std::make_shared<OrbanelGeneral10::CTokens>();
    if (size < 1) return 0;
    // The first byte picks the read size (1 to 64), the rest is the stream.
    const size_t read = 1 + data[0] % 64;
    std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    KVGeneralDLL10::CDataProtocol protocol;
    protocol.setTokens(tokens);
    OrbanelGeneral10::CDataProtocol general;
    Reference reference;
    std::vector<std::string> rows;
    for (size_t at = 0; at < stream.size(); at += read) {
        const std::string_view chunk = stream.substr(at, read);
        const size_t n = protocol.SplitBuffer(chunk, rows);
        const auto expected = reference.Split(chunk);
        Check(n == expected.size() && rows.size() == n + 2 && rows[0].empty() &&
              rows[n + 1].empty());
        for (size_t i = 1; i <= n; ++i) {
            Check(rows[i] == expected[i - 1]);
            Parse(rows[i], protocol, general);
        }
    }
    // The whole input as one message, and the tail left behind.
    Parse(std::string(stream), protocol, general);
    Parse(reference.buffer, protocol, general);
    return 0;
}
