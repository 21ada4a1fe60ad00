// Account sessions at the desk's scale: the market-order fan-out over 500
// logged-on sessions against 500 bare order calls on the same API objects, and
// the loading handler against a 500-line saved list, one pass against reading it
// line by line. The server runs in a forked child; the desk is the test desk
// over real stores.
#include <benchmark/benchmark.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/BenchSupport.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "general/common/CFileProcess.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "simserver/Server.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Clock = std::chrono::steady_clock;

constexpr int32_t kSessions = 500;
constexpr int32_t kFirst = 30001;
pid_t g_serverPid = -1;
int32_t g_serverPort = 0;

simserver::Book DeskBook() {
    simserver::Book b;
    simserver::Symbol usd;
    usd.id = 1, usd.name = "USD", usd.bid = usd.ask = 1, usd.used = false, usd.contractSize = 1;
    b.AddSymbol(usd);
    simserver::Symbol eur;
    eur.id = 2, eur.name = "EURUSD", eur.bid = 1.085, eur.ask = 1.0852;
    eur.high = 1.09, eur.low = 1.08;
    b.AddSymbol(eur);
    b.AddTraders(kSessions, "T", "pw", kFirst);
    return b;
}

[[noreturn]] void RunServer(int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    simserver::Server server(DeskBook());
    server.Listen("127.0.0.1", 0);
    const int32_t port = server.Port();
    if (write(portPipe, &port, sizeof(port)) != sizeof(port)) _exit(1);
    close(portPipe);
    platform::EventLoop::Exec();
    _exit(0);
}

void StartServer() {
    std::tie(g_serverPid, g_serverPort) = benchsupport::StartChild(RunServer);
}

void StopServer() {
    benchsupport::StopChild(g_serverPid);
}

std::string SavedList() {
    std::string text;
    for (int32_t i = 0; i < kSessions; ++i)
        text += "t" + std::to_string(i + 1) + ",coded," + std::to_string(kFirst + i) + "\r\n";
    return text;
}

// 500 logged-on sessions, each with its ticked market-order row.
struct DeskAt500 {
    testsupport::TempProgramFolder folder{"desk-bench"};
    testsupport::FakeDesk desk{CClientAPIManagers::Factory()};
    std::vector<ManagerPtr> sessions;

    DeskAt500() {
        std::ofstream(folder.Path() / "savelvinfo.buf", std::ios::binary) << SavedList();
        auto managers = desk.Services().Managers();
        for (int32_t i = 0; i < kSessions; ++i)
            sessions.push_back(managers->Add("127.0.0.1", g_serverPort, "T" + std::to_string(i + 1),
                                             "pw", true, kFirst + i));
        auto& rows = desk.stores().orderClients;
        // A row appears when its session's data are loaded, before the answers to the
        // account selection (trading parameters among them) arrive: an order sent
        // then is refused for its lots. Both selections of every session end with
        // the pending orders.
        platform::EventLoop::RunUntil(
            [&] {
                return rows.Count() == size_t(kSessions) &&
                       desk.Lines("pending.Updateaccount").size() >= 2 * size_t(kSessions);
            },
            60000);
        for (size_t i = 1; i <= rows.Count(); ++i) {
            rows.Item(i).setChecked(true);
            rows.Item(i).setSubItems(1, "0.1");
        }
        desk.stores().cbsymbols.setText("EURUSD");
    }
    size_t Positions() { return desk.stores().lvwOpenPos.Count(); }
};

DeskAt500& Desk() {
    static DeskAt500* desk = new DeskAt500();  // lives to the process end
    return *desk;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void BM_BuyFunctionOver500Sessions(benchmark::State& state) {
    DeskAt500& d = Desk();
    double shownSeconds = 0;
    for (auto _ : state) {
        const size_t before = d.Positions();
        const auto start = Clock::now();
        d.desk.Services().Managers()->BuyFunction();
        state.SetIterationTime(Seconds(start));
        platform::EventLoop::RunUntil([&] { return d.Positions() >= before + kSessions; }, 30000);
        shownSeconds += Seconds(start);
        d.desk.Take();
    }
    state.counters["500th_position_shown_ms"] =
        benchmark::Counter(shownSeconds * 1000 / double(state.iterations()));
}
BENCHMARK(BM_BuyFunctionOver500Sessions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

void BM_BareNewMarketOrderFloor(benchmark::State& state) {
    DeskAt500& d = Desk();
    for (auto _ : state) {
        const size_t before = d.Positions();
        const auto start = Clock::now();
        for (const auto& s : d.sessions)
            benchmark::DoNotOptimize(
                s->ClientAPIF()->NewMarketOrder(OrbanelGeneral10::BuyType, 2, 0.1, "", ""));
        state.SetIterationTime(Seconds(start));
        platform::EventLoop::RunUntil([&] { return d.Positions() >= before + kSessions; }, 30000);
        d.desk.Take();
    }
}
BENCHMARK(BM_BareNewMarketOrderFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

void BM_AllDataAreLoadedX500(benchmark::State& state) {
    DeskAt500& d = Desk();
    for (auto _ : state) {
        const auto start = Clock::now();
        for (const auto& s : d.sessions) s->CLAPICLASS_AllDataAreLoaded();
        state.SetIterationTime(Seconds(start));
        d.desk.Take();
    }
    state.counters["per_session_ms"] = benchmark::Counter(
        kSessions, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AllDataAreLoadedX500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

// The reading the loading handler replaces: the saved list line by line, per session.
void BM_SavedListPerLineGetLineX500(benchmark::State& state) {
    DeskAt500& d = Desk();
    OrbanelGeneral10::CFileProcess files;
    const std::string path = "\\savelvinfo.buf";
    for (auto _ : state) {
        const auto start = Clock::now();
        for (size_t s = 0; s < d.sessions.size(); ++s) {
            const int32_t lines = files.NumberOfLinesInFile(path);
            std::string line;
            for (int32_t i = 1; i <= lines; ++i) files.GetLine(path, i, line);
            benchmark::DoNotOptimize(line);
        }
        state.SetIterationTime(Seconds(start));
    }
}
BENCHMARK(BM_SavedListPerLineGetLineX500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    StartServer();  // before anything of the event loop exists in this process
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopServer();
    return 0;
}
