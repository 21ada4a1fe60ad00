// Data clients on one event loop against one scripted peer on loopback:
//  - OrderFanOut: 500 logged-on data clients send one NewOrder each with its
//    own TransTag; wall time until all 500 NewOrderResultRecieved have come.
//    OrderFanOutFloor: the same 500 round trips through bare sessions with a
//    recording request object.
//  - PricePushes: every session keeps one trigger request outstanding and the
//    peer answers each with a batch of 243 and 276 pushes; client CPU and heap
//    allocations per push, through data clients and (PricePushesFloor) bare
//    sessions that only count DataRecieved. The trigger goes through the same
//    request object in both, so the difference is the push dispatch alone.
// The peer runs in a child process pinned to another core; the clients'
// process is pinned to one core.
#include <benchmark/benchmark.h>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/BenchSupport.h"
#include "clientapi/dataclient/CDataClient.h"
#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;

constexpr int kSessions = 500;
constexpr int kPushPairsPerTrigger = 10;  // 10 x 243 and 10 x 276 per trigger answer
constexpr int16_t kTrigger =
    og::GET_PRICES_TOKEN;  // no request object of the data client claims it

int32_t g_peerPort = 0;
pid_t g_peerPid = 0;

using benchsupport::PinTo;
using benchsupport::ProcessCpuSeconds;

// The peer: accepts every login, answers NewOrder with its TransTag (p11)
// and every trigger with a batch of price pushes followed by its answer.
[[noreturn]] void RunPeer(int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the benchmark
    PinTo(1);
    testsupport::ScriptedPeer peer;
    peer.KeepRecords(false);
    peer.Answer(og::LOGIN_TOKEN, testsupport::LoginAccepted());
    peer.Answer(og::NEW_ORDER_TOKEN, [](const testsupport::Received& r) {
        const std::string tag = r.params.size() >= 11 ? r.params[10] : "";
        return testsupport::Batch(
            testsupport::Result({"1", "1", "09/12/2026 12:00:00", "1", "1", "1.0812", "2", tag}));
    });
    std::vector<testsupport::Msg> batch;
    for (int i = 0; i < kPushPairsPerTrigger; ++i) {
        batch.push_back(testsupport::Push(og::MARKET_DATA_TOKEN, {"2;1.08123;1.08137;12:00:01"}));
        batch.push_back(testsupport::Push(og::NEW_HIGH_LOW_TOKEN, {"2;1.0900;1.0700"}));
    }
    batch.push_back(testsupport::Result({"ok"}));
    peer.Answer(kTrigger, testsupport::Batch(batch));
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

void RunLoopFor(int32_t ms) {
    platform::Timer stop;
    stop.SetInterval(ms);
    stop.Tick.Connect([] { platform::EventLoop::Quit(); });
    stop.SetEnabled(true);
    platform::EventLoop::Exec();
}

// A request object: claims one token, counts its answers and may ask again.
class Asker : public kv::IClientServer {
public:
    explicit Asker(int16_t token) : token_(token) {}
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {
        ++answers;
        if (running) Ask();
    }
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {}
    bool HasThisToken(int16_t vToken) override { return vToken == token_; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask() { relay_->RequestFromServer(token_, params); }

    std::vector<std::string> params = std::vector<std::string>(50, "!&NS&!");
    uint64_t answers = 0;
    bool running = false;

private:
    int16_t token_;
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

void Configure(kv::CKVClient& c, int i) {
    c.setServerAddress("127.0.0.1");
    c.setServerPort(g_peerPort);
    c.setLoginUN("dealer" + std::to_string(i));
    c.setLoginPW("secret");
    c.setLoginType("CLIENTAPI");
}

template <class Session>
bool LoginAll(std::vector<std::unique_ptr<Session>>& sessions) {
    for (auto& s : sessions) s->Login();
    return platform::EventLoop::RunUntil(
        [&] {
            for (auto& s : sessions)
                if (!s->LogedOn()) return false;
            return true;
        },
        20000);
}

template <class Session>
void DisconnectAll(std::vector<std::unique_ptr<Session>>& sessions) {
    for (auto& s : sessions) s->Disconnect(false);
    platform::EventLoop::RunFor(50);
}

struct DataClients {
    DataClients() {
        for (int i = 0; i < kSessions; ++i) {
            auto c = std::make_unique<api::CDataClient>();
            c->setSecurityRef(std::make_shared<api::CSecurity>());
            Configure(testsupport::DataClientAccess::Session(*c), i);
            c->NewOrderResultRecieved.Connect([this](int32_t, int16_t, const std::string&, double,
                                                     og::OperationTypeEnum, double, int32_t,
                                                     const std::string&) { ++orderAnswers; });
            c->ReceivePrices.Connect([this](const std::string&) { ++pushes; });
            c->ReceiveHighLowPrices.Connect([this](const std::string&) { ++pushes; });
            auto asker = std::make_shared<Asker>(kTrigger);
            testsupport::DataClientAccess::Session(*c).AddClientServerObject(asker);
            askers.push_back(std::move(asker));
            clients.push_back(std::move(c));
        }
    }
    ~DataClients() { DisconnectAll(clients); }
    std::vector<std::unique_ptr<api::CDataClient>> clients;
    std::vector<std::shared_ptr<Asker>> askers;
    uint64_t orderAnswers = 0;
    uint64_t pushes = 0;
};

struct BareSessions {
    BareSessions() {
        auto tokens = std::make_shared<og::CTokens>();
        for (int i = 0; i < kSessions; ++i) {
            auto c = std::make_unique<kv::CKVClient>();
            c->setTokens(tokens);
            Configure(*c, i);
            c->DataRecieved.Connect(
                [this](int16_t, int16_t, const std::vector<std::string>&) { ++pushes; });
            auto orders = std::make_shared<Asker>(og::NEW_ORDER_TOKEN);
            auto asker = std::make_shared<Asker>(kTrigger);
            c->AddClientServerObject(orders);
            c->AddClientServerObject(asker);
            orderers.push_back(std::move(orders));
            askers.push_back(std::move(asker));
            clients.push_back(std::move(c));
        }
    }
    ~BareSessions() { DisconnectAll(clients); }
    uint64_t OrderAnswers() const {
        uint64_t n = 0;
        for (const auto& o : orderers) n += o->answers;
        return n;
    }
    std::vector<std::unique_ptr<kv::CKVClient>> clients;
    std::vector<std::shared_ptr<Asker>> orderers;
    std::vector<std::shared_ptr<Asker>> askers;
    uint64_t pushes = 0;
};

// ---- Order fan-out ----

void OrderFanOut(benchmark::State& state) {
    DataClients fleet;
    if (!LoginAll(fleet.clients)) {
        state.SkipWithError("not every data client logged on");
        return;
    }
    uint64_t round = 0;
    for (auto _ : state) {
        const uint64_t target = fleet.orderAnswers + kSessions;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kSessions; ++i) {
            fleet.clients[i]->ClientServer()->NewOrder(
                7, 1000 + i, 2, og::BuyType, 1, 1.0812, 100, 77, "09/12/2026 12:00:00",
                "09/12/2026 12:00:00", "T" + std::to_string(round) + "-" + std::to_string(i), "");
        }
        const bool done =
            platform::EventLoop::RunUntil([&] { return fleet.orderAnswers >= target; }, 10000);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(wall.count());
        ++round;
        if (!done) {
            state.SkipWithError("not every order was answered within 10 s");
            return;
        }
    }
}
BENCHMARK(OrderFanOut)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void OrderFanOutFloor(benchmark::State& state) {
    BareSessions fleet;
    if (!LoginAll(fleet.clients)) {
        state.SkipWithError("not every session logged on");
        return;
    }
    uint64_t round = 0;
    for (auto _ : state) {
        const uint64_t target = fleet.OrderAnswers() + kSessions;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kSessions; ++i) {
            Asker& o = *fleet.orderers[i];
            const std::vector<std::string> p = {
                "7",
                std::to_string(1000 + i),
                "2",
                "1",
                "1",
                "1.0812",
                "77",
                "100",
                "09/12/2026 12:00:00",
                "09/12/2026 12:00:00",
                "T" + std::to_string(round) + "-" + std::to_string(i),
                ""};
            std::copy(p.begin(), p.end(), o.params.begin());
            o.Ask();
        }
        const bool done =
            platform::EventLoop::RunUntil([&] { return fleet.OrderAnswers() >= target; }, 10000);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(wall.count());
        ++round;
        if (!done) {
            state.SkipWithError("not every order was answered within 10 s");
            return;
        }
    }
}
BENCHMARK(OrderFanOutFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// ---- Price pushes ----

template <class Fleet>
void MeasurePushes(benchmark::State& state, Fleet& fleet) {
    if (!LoginAll(fleet.clients)) {
        state.SkipWithError("not every session logged on");
        return;
    }
    for (auto& a : fleet.askers) {
        a->running = true;
        a->Ask();
    }
    RunLoopFor(300);  // warm up: every buffer has reached its size
    uint64_t pushes = 0, allocations = 0;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const uint64_t pushes0 = fleet.pushes, allocations0 = g_allocations;
        const double cpu0 = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        RunLoopFor(1000);
        const std::chrono::duration<double> w = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(w.count());
        pushes += fleet.pushes - pushes0;
        allocations += g_allocations - allocations0;
        cpu += ProcessCpuSeconds() - cpu0;
        wall += w.count();
    }
    for (auto& a : fleet.askers) a->running = false;
    platform::EventLoop::RunFor(100);
    const double n = pushes ? static_cast<double>(pushes) : 1;
    state.counters["pushes_per_s"] = static_cast<double>(pushes) / wall;
    state.counters["cpu_ns_per_push"] = cpu * 1e9 / n;
    state.counters["allocs_per_push"] = static_cast<double>(allocations) / n;
}

void PricePushes(benchmark::State& state) {
    DataClients fleet;
    MeasurePushes(state, fleet);
}
BENCHMARK(PricePushes)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void PricePushesFloor(benchmark::State& state) {
    BareSessions fleet;
    MeasurePushes(state, fleet);
}
BENCHMARK(PricePushesFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

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
