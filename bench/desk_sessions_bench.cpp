// Account sessions at the desk's scale: the market-order fan-out over 500
// logged-on sessions against 500 bare order calls on the same API objects, and
// the loading handler against a 500-line saved list, one pass against reading it
// line by line; one quote over 500 sessions of 10 positions each, in process on
// null ports over real stores, against writing the same cells from precomputed
// texts. The server runs in a forked child; the desk is the test desk over real
// stores, whose panes write their rows and sum the net totals over an index of
// their own, but only record the close pane's rebuild on each new position and
// attach no widget: these figures leave out the real panes' share.
// desk_scale_bench times the same paths through the real desk.
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

#include "bench/AllocationCounter.h"
#include "bench/BenchSupport.h"
#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "general/common/CFileProcess.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "simserver/Server.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Clock = std::chrono::steady_clock;

constexpr int32_t kSessions = 500;
constexpr int32_t kFirst = 30001;
pid_t g_serverPid = -1;
int32_t g_serverPort = 0;

simserver::Book DeskBook() {
    simserver::Book b = testsupport::QuoteBook(1.085, 1.0852, 1.09, 1.08);
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

// ---- One quote in process ----

// Every port over real stores, doing nothing else: what the session code costs
// without the panes' own work, which is most of a real tick. Left out on purpose,
// to isolate the sessions: caluclate_profit answers 0 where the net pane re-sums
// the profit cells of every account row of the symbol and side (once per
// revalued position), CloseSymbols_Click and RefreshPrice do nothing where the
// close pane reprices and rebuilds its grid, no Trade, net or accounts row is
// written by a pane, no widget is attached and no socket is read (the quote's
// events are raised on the API objects). desk_scale_bench times the whole desk.
struct NullPorts : IfrmMain,
                   Ifrmaccount,
                   Ifrmorder,
                   Ifrmlimitorder,
                   IfrmMW,
                   IfrmNetTrade,
                   ICNetPos,
                   IfrmTrade,
                   IfrmClosePos,
                   IfrmPending,
                   IfrmJournal,
                   ISound,
                   IDeskMessages,
                   IShell,
                   IMGeneral {
    DeskServices* desk = nullptr;
    platform::ListView clients, orderClients, limitClients, mw, net, openPos, pending;
    platform::ComboBox symbols, limitSymbols, closeSymbols;
    runtime::Collection<int32_t> closes;
    uint64_t journaled = 0;

    ManagersPtr CClientAPIManagers() override { return desk->Managers(); }
    platform::ListView& lvwClients() override { return clients; }
    void addToListView(const std::string& Username, int32_t AccountID, bool Connected,
                       const std::string&, const std::string&, int16_t n) override {
        const std::string key = "C" + std::to_string(n);
        platform::ListItem* row = clients.Find(key);
        if (!row) row = &clients.Add(key, std::to_string(n));
        row->setSubItems(1, Username);
        row->setSubItems(2, Connected ? "Connected" : "Disconnected");
        row->setSubItems(3, std::to_string(AccountID));
    }
    void refreshsummery_Click(const std::string&) override {}
    void MnuDisconnecte_Click() override {}
    bool SoundAllowed() const override { return false; }
    void setSoundAllowed(bool) override {}
    std::string LoadedFileName() const override { return {}; }
    void setEnabled(bool) override {}
    platform::ListView& lvwConClients() override { return orderClients; }
    void Add(int32_t AccountID, const std::string&, double) override {
        const std::string key = "C" + std::to_string(AccountID);
        if (!orderClients.Find(key)) orderClients.Add(key, std::to_string(AccountID));
    }
    // The market-order pane's and the pending pane's Remove alike.
    void Remove(int32_t) override {}
    void addNote(const std::string&, int32_t) override {}
    void Enableds(bool) override {}
    bool Enabled() const override { return true; }
    platform::ComboBox& cbsymbols() override { return symbols; }
    void setTxtammount(const std::string&) override {}
    void Add(int32_t, int16_t, const std::string&, double) override {}
    void limitorderpricechange() override {}
    platform::ComboBox& cblimitordersymbols() override { return limitSymbols; }
    void setCmdsubmitlimiorderEnabled(bool) override {}
    void setCmdlimiorderdisEnabled(bool) override {}
    platform::ListView& lvmw() override { return mw; }
    platform::ListView& lvwNetPos() override { return net; }
    double caluclate_profit(const std::string&, const std::string&) override { return 0; }
    void AddPosition(const PositionPtr&, int32_t) override {}
    void RemovePosition(int32_t, int32_t) override {}
    platform::ListView& lvwOpenPos() override { return openPos; }
    void setChkAll(bool) override {}
    void setLbmSummaries(const std::string&) override {}
    void Add(int32_t) override {}
    platform::ComboBox& CloseSymbols() override { return closeSymbols; }
    void CloseSymbols_Click() override {}
    void Remove() override {}
    void RefreshPrice(double, double) override {}
    void searchpos(int32_t, int32_t, const std::string&) override {}
    void RefreshMSH() override {}
    runtime::Collection<int32_t>& PendingCloses() override { return closes; }
    void Add(const runtime::Variant&, int32_t, const std::string&,
             OrbanelGeneral10::OperationTypeEnum, double, const SymbolPtr&, const runtime::Variant&,
             const runtime::Variant&, const runtime::Variant&, const std::string&,
             const runtime::Variant&) override {}
    void AddOrder(const OrderPtr&, int32_t) override {}
    void Removeorder(int32_t, int32_t) override {}
    void Remove(int32_t, int32_t) override {}
    void removeClientinfo(int32_t) override {}
    void Updateaccount() override {}
    platform::ListView& lvwPending() override { return pending; }
    void Add(const std::string&, int32_t, bool) override { ++journaled; }
    void PlayWave(const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&, bool) override {}
    void GeneralNoteMsg(const std::string&) override {}
    void SystemMessage(const std::string&, const std::string&) override {}
    void setStatusPaneText(int32_t, const std::string&) override {}
    void setCommandBarControlEnabled(int32_t, int32_t, bool) override {}
    void RefreshNetPositions(bool, int32_t) override {}
    void ReplaceInServerFile(const std::string&, const std::string&) override {}
    void ValidateData() override {}
    void Distribute(double, int16_t, const SymbolPtr&) override {}
    int16_t askycodekeypress(int16_t& KeyAscii, const std::string&) override { return KeyAscii; }
    void clearammountfromlistview() override {}
    std::string txtammount() const override { return {}; }
    platform::ComboBox& CBdis() override { return rules; }
    void setCmddisEnabled(bool) override {}
    void setCmddisVisible(bool) override {}
    void setCmdbuyEnabled(bool) override {}
    void setCmdbuyVisible(bool) override {}
    void setCmdsellEnabled(bool) override {}
    void setCmdsellVisible(bool) override {}
    void setChkAllClients(bool) override {}
    void updateAmount(int32_t, double, const std::string&) override {}
    void PositionAdded(const SymbolPtr&, int32_t, double, double, double, double,
                       const runtime::Variant&, int32_t) override {}
    void closeAllse() override {}
    void ResetMSH() override {}
    void closepos() override {}
    void close_single() override {}
    std::shared_ptr<IfrmMsgBox> NewMsgBox() override { return nullptr; }
    void SelectPane(int32_t) override {}
    void ClosePane(int32_t) override {}
    void setCommandChecked(int32_t, bool) override {}
    void UpdateShowAllCheck() override {}
    bool PaneClosed(int32_t) const override { return false; }
    bool CommandChecked(int32_t) const override { return false; }
    platform::widgets::CommandBarControl* GetCommandBarControl(int32_t, int32_t) override {
        return nullptr;
    }
    void AddCommandHandler(int32_t, std::function<void()>) override {}
    void ResetTradeViews() override {}
    void ClearOrderForms() override {}
    void RemoveInvisibleSymbols() override {}
    platform::ComboBox rules;

    DeskPorts Ports() {
        return DeskPorts{this, this, this, this, this, this, this, this,
                         this, this, this, this, this, this, this};
    }
};

constexpr int32_t kPositionsEach = 10;
constexpr int32_t kQuotedSymbol = 2;
constexpr double kPrices[2][2] = {{1.2345, 1.2347}, {1.2351, 1.2353}};

// 500 sessions (the first logged on, so it is the one that writes the market
// watch) with 10 positions each in the quoted symbol and their trade, net and
// total rows; the quote's events are raised through each session's API object.
struct QuoteDesk {
    testsupport::TempProgramFolder folder{"desk-quote-bench"};
    NullPorts ports;
    std::unique_ptr<DeskServices> services;
    testsupport::ViewFactory views;
    SymbolPtr symbol;
    std::vector<ManagerPtr> sessions;
    std::vector<std::vector<PositionPtr>> positions;
    int phase = 0;

    QuoteDesk() {
        std::ofstream(folder.Path() / "savelvinfo.buf", std::ios::binary) << SavedList();
        services = std::make_unique<DeskServices>(ports.Ports(), CClientAPIManagers::Factory());
        ports.desk = services.get();
        services->State().ClientGMTOffset = 123;
        symbol = views.Symbol({.id = kQuotedSymbol,
                               .name = "EURUSD",
                               .bid = kPrices[0][0],
                               .ask = kPrices[0][1],
                               .quoteTime = "09/12/2026 10:00:00"});
        auto managers = services->Managers();
        for (int32_t i = 0; i < kSessions; ++i)
            sessions.push_back(managers->Add("127.0.0.1", g_serverPort, "T" + std::to_string(i + 1),
                                             "pw", i == 0, kFirst + i));
        platform::EventLoop::RunUntil(
            [&] { return sessions.front()->ClientAPIF()->LogedOn() && ports.orderClients.Count(); },
            30000);
        ports.mw.Clear();
        platform::ListItem& mwRow = ports.mw.Add(MarketWatchKey(kQuotedSymbol), "EURUSD");
        for (size_t c = 1; c <= 5; ++c) mwRow.setSubItems(c, "0");
        int32_t ticket = 1;
        for (int32_t i = 0; i < kSessions; ++i) {
            positions.emplace_back();
            const int32_t account = kFirst + i;
            ports.net.Add(NetRowKey(kQuotedSymbol, 1, account), "EURUSD").setSubItems(9, "0");
            for (int32_t p = 0; p < kPositionsEach; ++p, ++ticket) {
                auto pos = views.Position({.ticket = ticket,
                                           .symbol = kQuotedSymbol,
                                           .lots = 1,
                                           .price = 1.23,
                                           .time = {}});
                positions.back().push_back(pos);
                platform::ListItem& row = ports.openPos.Add(PositionRowKey(account, ticket), "");
                row.setSubItems(7, "0");
                row.setSubItems(12, "0.00");
            }
        }
        ports.net.Add(NetRowKey(kQuotedSymbol, 1), "EURUSD");
    }
    void NextPrices() {
        phase ^= 1;
        views.Quote(kQuotedSymbol, kPrices[phase][0], kPrices[phase][1]);
    }
    // The quote as the sessions see it.
    void Quote() {
        for (size_t i = 0; i < sessions.size(); ++i) {
            auto& api = *sessions[i]->ClientAPIF();
            for (const auto& pos : positions[i]) api.PosFloatingPLChanged(pos);
            api.SymbolPricesChanged(symbol);
            api.SummariesChanged(1000 + phase, phase, 0, 1000, 10, 1.5, 990);
        }
    }
};

QuoteDesk& QDesk() {
    static QuoteDesk* desk = new QuoteDesk();  // lives to the process end
    return *desk;
}

void BM_OneQuoteOver500SessionsX10Positions(benchmark::State& state) {
    QuoteDesk& d = QDesk();
    uint64_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.NextPrices();
        state.ResumeTiming();
        const uint64_t before = g_allocations;
        d.Quote();
        allocations += g_allocations - before;
    }
    state.counters["allocations_per_quote"] =
        benchmark::Counter(double(allocations) / double(state.iterations()));
    state.counters["journaled"] = benchmark::Counter(double(d.ports.journaled));
}
BENCHMARK(BM_OneQuoteOver500SessionsX10Positions)->Unit(benchmark::kMillisecond);

// The floor: the same cells found by key and written with texts made beforehand.
void BM_OneQuoteCellWritesFloor(benchmark::State& state) {
    QuoteDesk& d = QDesk();
    struct Texts {
        std::string bid, ask, price, profit, netProfit, money, label;
    } texts[2];
    for (int p = 0; p < 2; ++p) {
        auto& t = texts[p];
        t.bid = runtime::NumberToText(kPrices[p][0]);
        t.ask = runtime::NumberToText(kPrices[p][1]);
        t.price = t.bid;
        t.profit = std::to_string(100 + p) + ".00";
        t.netProfit = std::to_string(1000 + p);
        t.money = std::to_string(500000 + p) + ".00";
        t.label = "Balance:" + std::to_string(p) + std::string(150, 'x');
    }
    std::vector<std::string> tradeKeys, ownKeys;
    for (int32_t i = 0, t = 1; i < kSessions; ++i)
        for (int32_t p = 0; p < kPositionsEach; ++p, ++t)
            tradeKeys.push_back(PositionRowKey(kFirst + i, t));
    for (int32_t i = 0; i < kSessions; ++i)
        ownKeys.push_back(NetRowKey(kQuotedSymbol, 1, kFirst + i));
    const std::string totalKey = NetRowKey(kQuotedSymbol, 1), mwKey = MarketWatchKey(2);
    int phase = 0;
    std::string label;
    for (auto _ : state) {
        phase ^= 1;
        const Texts& t = texts[phase];
        size_t k = 0;
        for (int32_t i = 0; i < kSessions; ++i) {
            for (int32_t p = 0; p < kPositionsEach; ++p, ++k) {
                platform::ListItem* row = d.ports.openPos.Find(tradeKeys[k]);
                row->setSubItems(7, t.price);
                row->setSubItemForeColor(7, 255);
                row->setSubItems(12, t.profit);
                platform::ListItem* own = d.ports.net.Find(ownKeys[i]);
                own->setSubItems(6, t.price);
                own->setSubItems(9, t.netProfit);
                platform::ListItem* total = d.ports.net.Find(totalKey);
                total->setSubItems(9, t.money);
            }
            if (i == 0) {
                platform::ListItem* mw = d.ports.mw.Find(mwKey);
                mw->setSubItems(1, t.bid);
                mw->setSubItems(2, t.ask);
            }
            label = t.label;
            benchmark::DoNotOptimize(label);
        }
    }
}
BENCHMARK(BM_OneQuoteCellWritesFloor)->Unit(benchmark::kMillisecond);

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
