// libFuzzer target for the server-file reader: the input is the home's server
// file. Checks that the list stays within a 16-bit count and raises Error 9
// outside it, the current server is listed or -1, a read shows one message at
// most and leaves a file without a current server as it is, a save reads back to
// the same list and current server, and a re-routing with texts taken from the
// input neither grows the file out of proportion nor raises, but for a save or a
// re-routing that would pass the bound, refused with the file left as it is.
// Every build makes server_file_fuzz_replay, which ctest runs over fuzz/seeds and
// the lists server_lists.cmake makes at build time (one just under the 4 MB
// bound, one over it, two beyond the 16-bit count). With clang, from the
// repository's root:
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DFUZZ=ON
//   cmake --build build-fuzz --target server_file_fuzz
//   TMPDIR=/dev/shm build-fuzz/tests/desk/accounts/server_file_fuzz -max_total_time=240
//       -jobs=2 -workers=2 -max_len=4096 -rss_limit_mb=2048 corpus
//       tests/desk/accounts/fuzz/seeds
//
// (Each input is saved with fsync, hence the memory folder.) The large lists
// need a larger -max_len or a run of their own:
//   build-fuzz/tests/desk/accounts/server_file_fuzz build-fuzz/tests/desk/accounts/fuzz-seeds/*
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "desk/accounts/CLoginOptions.h"
#include "platform/Paths.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using OrbanexDesk::CLoginOptions;
namespace fs = std::filesystem;

// The failed condition, for the crash's report.
#define Check(ok)                                            \
    do {                                                     \
        if (!(ok)) {                                         \
            std::fprintf(stderr, "check failed: %s\n", #ok); \
            std::abort();                                    \
        }                                                    \
    } while (false)

class CountingMessages : public OrbanexDesk::IDeskMessages {
public:
    void ShowMessage(const std::string&, const std::string&, bool) override { ++shown; }
    void GeneralNoteMsg(const std::string&) override { ++shown; }
    void SystemMessage(const std::string&, const std::string&) override { ++shown; }
    std::shared_ptr<OrbanexDesk::IfrmMsgBox> NewMsgBox() override { std::abort(); }
    int shown = 0;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

template <class F>
bool Raises9(F&& f) {
    try {
        f();
    } catch (const runtime::Error& e) {
        return e.Number() == runtime::errc::SubscriptOutOfRange;
    }
    return false;
}

struct Read {
    std::vector<std::string> servers;
    std::string current;
    int16_t index = -1;
    int shown = 0;
};

Read ReadHome(OrbanexDesk::DeskServices& desk, CountingMessages& messages) {
    messages.shown = 0;
    const CLoginOptions o(desk);
    Read r;
    Check(o.Servers() >= 0 && static_cast<size_t>(o.Servers()) <= CLoginOptions::kMostServers);
    for (int n = 1; n <= o.Servers(); ++n) {
        const auto i = static_cast<int16_t>(n);
        r.servers.push_back(o.ServerDesc(i) + "&&" + o.ServerIP(i) + "&&" +
                            std::to_string(o.ServerPort(i)));
    }
    const int16_t outside[] = {0, static_cast<int16_t>(o.Servers() + 1)};
    for (const int16_t i : outside) {
        if (i == 0 || o.Servers() < INT16_MAX) {
            Check(Raises9([&] { (void)o.ServerIP(i); }));
            Check(Raises9([&] { (void)o.ServerDesc(i); }));
            Check(Raises9([&] { (void)o.ServerPort(i); }));
        }
    }
    r.current = o.CurrentServer();
    r.index = o.CurrentServerIndex();
    Check(r.index == -1 || (r.index >= 1 && r.index <= o.Servers()));
    Check(r.index == -1 || o.Server(r.index) == r.current);
    r.shown = messages.shown;
    return r;
}

// Saves the home's list again: true when written, false when refused because its
// four lines would pass the bound (which a file as read can only do by growing).
bool Saved(OrbanexDesk::DeskServices& desk) {
    CLoginOptions o(desk);
    const size_t size = o.AllServers().size() + o.CurrentServer().size() +
                        std::to_string(o.ParentDemoAccounts()).size() + o.LoginUnderwlIDs().size() +
                        8;
    try {
        o.Save();
    } catch (const runtime::Error& e) {
        Check(e.Number() == runtime::errc::PathFileAccess &&
              size > CLoginOptions::kLargestServerFile);
        return false;
    }
    Check(size <= CLoginOptions::kLargestServerFile);
    return true;
}

// A short text of the input, from a field of the file or a slice of its bytes.
std::string Slice(std::string_view input, size_t seed) {
    if (input.empty()) return "x";
    const size_t at = seed % input.size();
    return std::string(input.substr(at, 1 + seed / 7 % 12));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static testsupport::TempProgramFolder folder("server-file-fuzz");  // removed at exit
    static auto* messages = new CountingMessages;
    static auto* desk = [] {
        OrbanexDesk::DeskPorts ports;
        ports.Messages = messages;
        return new OrbanexDesk::DeskServices(ports, {});
    }();
    const fs::path file = folder.Path() / "manage" / "SERVER.BUF";
    fs::create_directories(file.parent_path());

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    WriteAll(file, input);

    const Read first = ReadHome(*desk, *messages);
    Check(first.shown <= 1);
    if (first.current.empty()) {
        Check(ReadAll(file) == input);
    } else if (Saved(*desk)) {
        const Read again = ReadHome(*desk, *messages);
        Check(again.servers == first.servers && again.current == first.current &&
              again.index == first.index && again.shown == first.shown);
    } else {
        Check(ReadAll(file) == input);
    }

    // Re-routing: an address of the list, or bytes of the input, to another text.
    WriteAll(file, input);
    std::vector<std::string> from{Slice(input, size * 31 + 5)};
    if (!first.servers.empty()) {
        const std::string& s = first.servers[size % first.servers.size()];
        from.push_back(s.substr(s.find("&&") + 2, s.rfind("&&") - s.find("&&") - 2));
    }
    if (!first.current.empty()) from.push_back(first.current.substr(0, first.current.find(':')));
    for (size_t n = 0; n < from.size(); ++n) {
        const std::string to = Slice(input, size * 17 + n * 101 + 3);
        const std::string text = ReadAll(file);
        const size_t before = text.size();
        // Each field replaced takes its own bytes plus a separator; line ends may
        // become CR LF.
        const size_t width = std::max<size_t>(1, runtime::Trim(from[n]).size());
        const size_t most = 2 * before + 2 + (before / width + 1) * to.size();
        bool changed = false;
        try {
            changed = OrbanexDesk::ReplaceInServerFile(file, from[n], to);
        } catch (const runtime::Error& e) {
            // Refused only when the rewrite might pass the bound, the file as it was.
            Check(e.Number() == runtime::errc::PathFileAccess &&
                  most > CLoginOptions::kLargestServerFile);
        } catch (...) {
            std::abort();
        }
        const std::string after = ReadAll(file);
        if (!changed) {
            Check(after == text);
            continue;
        }
        Check(after.size() <= most && after.size() <= CLoginOptions::kLargestServerFile);
    }
    return 0;
}
