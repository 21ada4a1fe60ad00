// orbanex-simserver --demo [--listen HOST:PORT] [--seed N] [--quote-ms N]
//                   [--accounts N [--positions K]] [--drop-user USER]
// Runs the demo book until SIGINT or SIGTERM; with --drop-user, SIGUSR1 closes
// that user's connections from the server's side and SIGUSR2 refuses or serves
// its logins in turn, so a desk's lost and refused logins can be tried by hand.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "runtime/Error.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_drop = 0;
volatile std::sig_atomic_t g_refuse = 0;

void OnSignal(int) {
    g_stop = 1;
}
void OnDropSignal(int) {
    g_drop = 1;
}
void OnRefuseSignal(int) {
    g_refuse = 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: orbanex-simserver --demo [--listen HOST:PORT] [--seed N] [--quote-ms N]\n"
                 "                         [--accounts N [--positions K]] [--drop-user USER]\n"
                 "  --demo        serve the demo book (three users, ten quoting symbols)\n"
                 "  --listen      address and port to listen on (default 127.0.0.1:4401; port 0 "
                 "picks one)\n"
                 "  --seed        seed of the quote walk (default 1)\n"
                 "  --quote-ms    milliseconds between quotes (default 1000)\n"
                 "  --accounts    N more users TRADER1..N, passwords PASS1..N, accounts from "
                 "20001\n"
                 "  --positions   open positions of each of those accounts (default 0)\n"
                 "  --drop-user   SIGUSR1 closes USER's connections, SIGUSR2 refuses or serves\n"
                 "                its logins in turn\n");
    return 2;
}

// A whole number from `low` to `high`; false for anything else.
bool ReadNumber(std::string_view text, int64_t low, int64_t high, int64_t& out) {
    if (text.empty() || text.size() > 12) return false;
    int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool demo = false;
    std::string host = "127.0.0.1";
    int64_t port = 4401;
    int64_t seed = 1;
    int64_t quoteMs = 1000;
    int64_t accounts = 0;
    int64_t positions = 0;
    bool positionsGiven = false;
    std::string dropUser;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--demo") {
            demo = true;
        } else if (arg == "--listen" && hasValue) {
            const std::string_view value = argv[++i];
            const size_t colon = value.rfind(':');
            if (colon == std::string_view::npos || colon == 0) return Usage();
            host = std::string(value.substr(0, colon));
            if (!ReadNumber(value.substr(colon + 1), 0, 65535, port)) return Usage();
        } else if (arg == "--seed" && hasValue) {
            if (!ReadNumber(argv[++i], 0, UINT32_MAX, seed)) return Usage();
        } else if (arg == "--quote-ms" && hasValue) {
            if (!ReadNumber(argv[++i], 1, INT32_MAX, quoteMs)) return Usage();
        } else if (arg == "--accounts" && hasValue) {
            if (!ReadNumber(argv[++i], 1, 100000, accounts)) return Usage();
        } else if (arg == "--positions" && hasValue) {
            if (!ReadNumber(argv[++i], 0, 1000, positions)) return Usage();
            positionsGiven = true;
        } else if (arg == "--drop-user" && hasValue) {
            dropUser = argv[++i];
        } else {
            return Usage();
        }
    }
    if (!demo || (positionsGiven && accounts == 0)) return Usage();

    platform::EventLoop::Ensure();
    simserver::Book book = simserver::DemoBook();
    simserver::AddNumberedTraders(book, static_cast<int32_t>(accounts),
                                  static_cast<int32_t>(positions));
    if (!dropUser.empty() && !book.FindUser(dropUser)) {
        std::fprintf(stderr, "orbanex-simserver: --drop-user: no user %s in the book\n",
                     dropUser.c_str());
        return 2;
    }
    simserver::Server server(std::move(book));
    try {
        server.Listen(host, static_cast<int32_t>(port));
    } catch (const runtime::Error& e) {
        std::fprintf(stderr, "orbanex-simserver: cannot listen on %s:%lld: %s\n", host.c_str(),
                     static_cast<long long>(port), e.Description().c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    if (!dropUser.empty()) {
        std::signal(SIGUSR1, OnDropSignal);
        std::signal(SIGUSR2, OnRefuseSignal);
    }
    std::printf("listening on %s:%d\n", host.c_str(), static_cast<int>(server.Port()));
    for (const auto& line : simserver::CredentialLines(server.book())) {
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
    server.StartQuotes(static_cast<int32_t>(quoteMs), static_cast<uint32_t>(seed));

    // The handler only raises a flag; the loop looks at it.
    auto watch = platform::RealTimeTimer();
    watch->Tick.Connect([&server, &dropUser] {
        if (g_stop) platform::EventLoop::Quit(0);
        if (g_drop) {
            g_drop = 0;
            server.DropUser(dropUser);
        }
        if (g_refuse) {
            g_refuse = 0;
            simserver::User& user = *server.book().FindUser(dropUser);
            user.loginsRefused = !user.loginsRefused;
            std::printf("%s: logins %s\n", dropUser.c_str(),
                        user.loginsRefused ? "refused" : "served");
            std::fflush(stdout);
        }
    });
    watch->SetInterval(100);
    watch->SetEnabled(true);
    return platform::EventLoop::Exec();
}
