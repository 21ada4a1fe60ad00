// libFuzzer target for the assembly of a multi-row answer: the input's lines
// are the row strings. Checks the table against a plain split of each row
// (a shorter row's missing cells empty, Error 9 outside, a row wider than row
// 1 refused) and that what the assembly allocates stays in proportion to the
// input (where a sanitizer counts it). Every build makes multirow_fuzz_replay,
// which ctest runs over fuzz/seeds and the widest answers wide_rows.cmake makes
// at build time (a row 1 of 32,767 cells and a thousand one-cell rows). With
// clang, from the repository's root:
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON
//   cmake --build build-fuzz --target multirow_fuzz
//   build-fuzz/tests/connection/multirow_fuzz -max_total_time=180 -max_len=200000
//       -rss_limit_mb=2048 -malloc_limit_mb=64 corpus tests/connection/fuzz/seeds
//       build-fuzz/tests/connection/fuzz-seeds
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connection/CClientServerManager.h"
#include "protocol/CProcess.h"
#include "runtime/Error.h"

// The sanitizers' allocator counts the bytes held; a build without one (the
// plain replay) leaves this null and skips the check.
extern "C" [[gnu::weak]] size_t __sanitizer_get_current_allocated_bytes();

namespace {

namespace kv = KVClientDLL10;

size_t HeldBytes() {
    return __sanitizer_get_current_allocated_bytes ? __sanitizer_get_current_allocated_bytes() : 0;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

std::vector<std::string_view> Cut(std::string_view text, std::string_view delimiter) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t at = text.find(delimiter); at != std::string_view::npos;
         at = text.find(delimiter, start)) {
        out.push_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
    out.push_back(text.substr(start));
    return out;
}

bool Raises9(const kv::ResultTable& t, size_t row, size_t cell) {
    try {
        (void)t(row, cell);
    } catch (const runtime::Error& e) {
        return e.Number() == runtime::errc::SubscriptOutOfRange;
    }
    return false;
}

class Reader : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {}
    void MultiRowsResultsreceived(int16_t, bool NoRows, const kv::ResultTable& t, int32_t Results,
                                  int16_t Parameters) override {
        // A small constant per input byte: a row's cell and row costs are a
        // few dozen bytes and each takes at least one byte of input.
        Check(HeldBytes() - before <= 100 * inputSize + (64 << 10));
        delivered = true;
        const auto& rows = *expected;
        Check(!NoRows && static_cast<size_t>(Results) == rows.size() && t.Rows() == rows.size());
        Check(t.Cells() == rows[0].size() && static_cast<size_t>(Parameters) == rows.back().size());
        for (size_t r = 1; r <= rows.size(); ++r) {
            const auto& cells = rows[r - 1];
            for (size_t c = 1; c <= cells.size(); ++c) Check(t(r, c) == cells[c - 1]);
            for (size_t c = cells.size() + 1; c <= t.Cells() && c <= cells.size() + 2; ++c)
                Check(t(r, c).empty());
            Check(t(r, t.Cells()) == (cells.size() == t.Cells() ? cells.back() : ""));
            Check(Raises9(t, r, t.Cells() + 1) && Raises9(t, r, 0));
        }
        Check(Raises9(t, 0, 1) && Raises9(t, rows.size() + 1, 1));
    }
    bool HasThisToken(int16_t) override { return true; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager>) override {}

    const std::vector<std::vector<std::string_view>>* expected = nullptr;
    size_t before = 0;
    size_t inputSize = 0;
    bool delivered = false;
};

}  // namespace

// The socket layer (Qt) is not linked in; nothing here sends or describes a socket.
std::string platform::TcpSocket::RemoteAddress() const {
    std::abort();
}
int32_t platform::TcpSocket::Port() const {
    std::abort();
}
void platform::TcpSocket::Send(std::string_view) {
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kv::CClientServerManager* manager = [] {
        auto* m = new kv::CClientServerManager;
        m->setDataProtocol(std::make_shared<KVGeneralDLL10::CProcess>());
        return m;
    }();
    static auto reader = [] {
        auto r = std::make_shared<Reader>();
        manager->AddClientServerObject(r);
        return r;
    }();

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> texts{""};
    std::vector<std::vector<std::string_view>> expected;
    for (std::string_view line : Cut(input, "\n")) texts.emplace_back(line);
    for (size_t i = 1; i < texts.size(); ++i) expected.push_back(Cut(texts[i], "R,@"));
    bool refused = expected[0].size() > kv::CClientServerManager::kMaxRowCells;
    for (const auto& row : expected) refused = refused || row.size() > expected[0].size();

    reader->expected = &expected;
    reader->inputSize = size;
    reader->delivered = false;
    reader->before = HeldBytes();
    try {
        manager->MultiRowsResultsreceived(105, false, texts);
    } catch (const runtime::Error& e) {
        Check(refused && !reader->delivered && e.Number() == runtime::errc::SubscriptOutOfRange);
        return 0;
    }
    Check(!refused && reader->delivered);
    return 0;
}
