// Many connection sessions on one event loop against one scripted peer on
// loopback:
//  - LoginAll: wall time from the first Login until all N sessions are logged
//    on (the first-connect path: no connect-retry interval, the login timer's
//    first tick runs on the connect);
//  - RoundTrips: every session keeps one request outstanding (each answer
//    sends the next); round trips per second over all sessions, and the
//    client event loop's CPU time per round trip;
//  - RoundTripsFloor: the same exchange on bare platform sockets, the floor
//    that the event loop and the socket layer set;
//  - MemoryAfterBurst: heap in use by N logged-on sessions when idle and
//    after each received a 1 MB burst (arg 0: one 1 MB message; arg 1: 1024
//    messages of 1 KB), once the burst has been handled.
// The peer runs in a child process pinned to another core, so the CPU figures
// are the clients' alone; the clients' process is pinned to one core.
#include <benchmark/benchmark.h>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <malloc.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/BenchSupport.h"
#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "protocol/CProcess.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;

int32_t g_peerPort = 0;
pid_t g_peerPid = 0;

using benchsupport::PinTo;
using benchsupport::ProcessCpuSeconds;
double PeerCpuSeconds() {
    return benchsupport::CpuSecondsOf(g_peerPid);
}

// The peer: accepts every login and answers every request with one row.
[[noreturn]] void RunPeer(int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the benchmark
    PinTo(1);
    testsupport::ScriptedPeer peer;
    peer.Answer(og::LOGIN_TOKEN, testsupport::LoginAccepted());
    peer.Answer(og::GET_PRICES_TOKEN, testsupport::Result({"EURUSD", "1.08123", "1.08137"}));
    // The bursts: one 1 MB message, or 1024 messages of 1 KB.
    peer.Answer(og::GET_PRIVS_TOKEN, testsupport::Result({std::string(size_t{1} << 20, 'x')}));
    std::vector<testsupport::Msg> many;
    for (int i = 0; i < 1024; ++i)
        many.push_back(
            testsupport::Push(og::GET_DEALER_PRIVS_PARAM_TOKEN, {std::string(1000, 'y')}));
    peer.Answer(og::GET_DEALER_PRIVS_PARAM_TOKEN, testsupport::Batch(std::move(many)));
    const int32_t port = peer.Port();
    if (write(portPipe, &port, sizeof(port)) != sizeof(port)) _exit(1);
    close(portPipe);
    platform::EventLoop::Exec();
    _exit(0);
}

void StartPeer() {
    std::tie(g_peerPid, g_peerPort) = benchsupport::StartChild(RunPeer);
}

void StopPeer() {
    benchsupport::StopChild(g_peerPid);
}

// Runs the loop as the desk does (Exec), for `ms` milliseconds.
void RunLoopFor(int32_t ms) {
    platform::Timer stop;
    stop.SetInterval(ms);
    stop.Tick.Connect([] { platform::EventLoop::Quit(); });
    stop.SetEnabled(true);
    platform::EventLoop::Exec();
}

// A request object that asks again as soon as it is answered.
class Pinger : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {
        ++answers;
        if (running) Ask();
    }
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {}
    bool HasThisToken(int16_t vToken) override { return vToken == og::GET_PRICES_TOKEN; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask() { relay_->RequestFromServer(og::GET_PRICES_TOKEN, Params()); }

    static const std::vector<std::string>& Params() {
        static const std::vector<std::string> p = [] {
            std::vector<std::string> v(50, "!&NS&!");
            v[0] = "EURUSD";
            return v;
        }();
        return p;
    }

    uint64_t answers = 0;
    bool running = false;

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

struct Fleet {
    explicit Fleet(int n) {
        auto tokens = std::make_shared<og::CTokens>();
        for (int i = 0; i < n; ++i) {
            auto c = std::make_unique<kv::CKVClient>();
            c->setTokens(tokens);
            c->setServerAddress("127.0.0.1");
            c->setServerPort(g_peerPort);
            c->setLoginUN("dealer" + std::to_string(i));
            c->setLoginPW("secret");
            c->setLoginType("CLIENTAPI");
            auto p = std::make_shared<Pinger>();
            c->AddClientServerObject(p);
            clients.push_back(std::move(c));
            pingers.push_back(std::move(p));
        }
    }
    ~Fleet() {
        for (auto& c : clients) c->Disconnect(false);
        platform::EventLoop::RunFor(50);
    }
    size_t LoggedOn() const {
        size_t n = 0;
        for (const auto& c : clients) n += c->LogedOn();
        return n;
    }
    bool LoginAll(int32_t timeoutMs) {
        for (auto& c : clients) c->Login();
        return platform::EventLoop::RunUntil([this] { return LoggedOn() == clients.size(); },
                                             timeoutMs);
    }
    uint64_t Answers() const {
        uint64_t n = 0;
        for (const auto& p : pingers) n += p->answers;
        return n;
    }

    std::vector<std::unique_ptr<kv::CKVClient>> clients;
    std::vector<std::shared_ptr<Pinger>> pingers;
};

void LoginAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto fleet = std::make_unique<Fleet>(n);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const bool done = fleet->LoginAll(10000);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(wall.count());
        if (!done) {
            state.SkipWithError("not every session logged on within 10 s");
            break;
        }
        state.PauseTiming();
        fleet.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(LoginAll)
    ->Arg(500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void RoundTrips(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Fleet fleet(n);
    if (!fleet.LoginAll(10000)) {
        state.SkipWithError("not every session logged on within 10 s");
        return;
    }
    for (auto& p : fleet.pingers) {
        p->running = true;
        p->Ask();
    }
    platform::EventLoop::RunFor(200);  // warm up
    uint64_t trips = 0;
    double cpu = 0;
    double peerCpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const uint64_t before = fleet.Answers();
        const double cpu0 = ProcessCpuSeconds();
        const double peer0 = PeerCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        RunLoopFor(1000);
        const std::chrono::duration<double> w = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(w.count());
        trips += fleet.Answers() - before;
        cpu += ProcessCpuSeconds() - cpu0;
        peerCpu += PeerCpuSeconds() - peer0;
        wall += w.count();
    }
    for (auto& p : fleet.pingers) p->running = false;
    platform::EventLoop::RunFor(100);
    state.counters["round_trips_per_s"] = static_cast<double>(trips) / wall;
    state.counters["loop_cpu_us_per_trip"] = trips ? cpu * 1e6 / static_cast<double>(trips) : 0;
    state.counters["loop_cpu_share"] = cpu / wall;
    state.counters["peer_cpu_share"] = peerCpu / wall;
    state.counters["logged_on"] = static_cast<double>(fleet.LoggedOn());
}
BENCHMARK(RoundTrips)
    ->Arg(500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The floor: the same exchange on bare sockets of the platform layer (no
// session, no queue, no parsing beyond finding the end marker).
void RoundTripsFloor(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    struct Raw {
        std::shared_ptr<platform::TcpSocket> socket = std::make_shared<platform::TcpSocket>();
        std::string rx;
        uint64_t answers = 0;
        bool running = true;
    };
    KVGeneralDLL10::CProcess request;
    request.setTokens(std::make_shared<og::CTokens>());
    request.DefineRequestByToken(1001, 5, og::GET_PRICES_TOKEN, Pinger::Params());
    std::vector<std::unique_ptr<Raw>> raws;
    for (int i = 0; i < n; ++i) {
        auto r = std::make_unique<Raw>();
        Raw* raw = r.get();
        raw->socket->OnReceive.Connect([raw, &request] {
            std::string chunk;
            raw->socket->Receive(chunk);
            raw->rx += chunk;
            size_t end;
            while ((end = raw->rx.find("+3!")) != std::string::npos) {
                raw->rx.erase(0, end + 3);
                ++raw->answers;
                if (raw->running) request.Send(raw->socket);
            }
        });
        raw->socket->Connect("127.0.0.1", g_peerPort);
        raws.push_back(std::move(r));
    }
    platform::EventLoop::RunUntil(
        [&] {
            for (auto& r : raws)
                if (r->socket->State() != platform::TcpSocket::kStateConnected) return false;
            return true;
        },
        10000);
    for (auto& r : raws) request.Send(r->socket);
    RunLoopFor(200);
    uint64_t trips = 0;
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        uint64_t before = 0;
        for (auto& r : raws) before += r->answers;
        const double cpu0 = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        RunLoopFor(1000);
        const std::chrono::duration<double> w = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(w.count());
        for (auto& r : raws) trips += r->answers;
        trips -= before;
        cpu += ProcessCpuSeconds() - cpu0;
        wall += w.count();
    }
    for (auto& r : raws) r->running = false;
    platform::EventLoop::RunFor(100);
    for (auto& r : raws) r->socket->Close();
    platform::EventLoop::RunFor(50);
    state.counters["round_trips_per_s"] = static_cast<double>(trips) / wall;
    state.counters["loop_cpu_us_per_trip"] = trips ? cpu * 1e6 / static_cast<double>(trips) : 0;
    state.counters["loop_cpu_share"] = cpu / wall;
}
BENCHMARK(RoundTripsFloor)
    ->Arg(500)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Heap bytes in use (small blocks and mapped ones).
double HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

// A request object that counts whatever reaches it.
class Sink : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {
        ++answers;
    }
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {}
    bool HasThisToken(int16_t vToken) override { return vToken == og::GET_PRIVS_TOKEN; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask(int16_t token) { relay_->RequestFromServer(token, {"x"}); }

    uint64_t answers = 0;

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

void MemoryAfterBurst(benchmark::State& state) {
    const int n = 500;
    const bool many = state.range(0) == 1;
    const int16_t token = many ? og::GET_DEALER_PRIVS_PARAM_TOKEN : og::GET_PRIVS_TOKEN;
    for (auto _ : state) {
        Fleet fleet(n);
        std::vector<std::shared_ptr<Sink>> sinks;
        uint64_t pushes = 0;
        for (auto& c : fleet.clients) {
            sinks.push_back(std::make_shared<Sink>());
            c->AddClientServerObject(sinks.back());
            c->DataRecieved.Connect(
                [&pushes](int16_t, int16_t, const std::vector<std::string>&) { ++pushes; });
        }
        if (!fleet.LoginAll(10000)) {
            state.SkipWithError("not every session logged on within 10 s");
            return;
        }
        platform::EventLoop::RunFor(100);
        malloc_trim(0);
        const double idle = HeapInUse();
        for (auto& s : sinks) s->Ask(token);
        const bool done = platform::EventLoop::RunUntil(
            [&] {
                uint64_t answers = 0;
                for (auto& s : sinks) answers += s->answers;
                return many ? pushes == uint64_t{1024} * n : answers == uint64_t(n);
            },
            60000);
        platform::EventLoop::RunFor(100);
        if (!done) {
            state.SkipWithError("the bursts did not all arrive within 60 s");
            return;
        }
        const double after = HeapInUse();
        state.counters["idle_MB"] = idle / 1e6;
        state.counters["after_burst_MB"] = after / 1e6;
        state.counters["kept_KB_per_session"] = (after - idle) / 1e3 / n;
    }
}
BENCHMARK(MemoryAfterBurst)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    StartPeer();  // before anything of the event loop exists in this process
    PinTo(0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopPeer();
    return 0;
}
