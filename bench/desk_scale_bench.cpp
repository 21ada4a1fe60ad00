// The whole desk at a dealer's scale: 500 accounts x 10 positions, all bought
// (every net total sums 500 account rows: the worst case), over real sessions
// on real sockets to a simulated server in a forked child. The desk is the one
// desk/main.cpp starts (DeskScale.h): every pane's form with its Qt widgets
// attached offscreen, the real stores, net, trade, pending and close-pane
// procedures; nothing is doubled. DESK_SCALE_ACCOUNTS and DESK_SCALE_POSITIONS
// set a smaller book for a quick look.
//
// The server child walks no quotes here: each tick is asked for, so one tick's
// cost can be told apart. The running desk under a steady 20 ticks a second
// (backlog, stalls, dropped sessions, memory) is what desk-scale measures.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "bench/DeskScale.h"
#include "desk/MGeneralMain.h"
#include "platform/EventLoop.h"

namespace {

// Longer than a frame (16 ms), so a repaint held to the next frame is paid by
// the tick that caused it.
constexpr int32_t kSettleMs = 20;

using namespace deskscale;
using Change = platform::ListViewChange;

Options g_options;
ServerChild* g_server = nullptr;
double g_tickCpuSeconds = 0;  // the mean of the last tick run, for the floor's ratio

int32_t FromEnvironment(const char* name, int32_t fallback) {
    const char* text = std::getenv(name);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

double ThreadCpu() {
    return CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// The started desk with every account connected and every position shown, quiet.
struct Desk {
    ScaleHome home{g_options, g_server->Port()};
    OrbanexDesk::MGeneral& desk{StartDesk(home)};
    SessionWatch sessions{AccountsList(desk)};
    TradeWatch trade{TradeList(desk)};
    int phase = 0;

    Desk() {
        const size_t accounts = size_t(g_options.accounts);
        const size_t positions = accounts * size_t(g_options.positions);
        const bool ready = platform::EventLoop::RunUntil(
            [&] {
                return sessions.Connected() == accounts && trade.Rows() == positions &&
                       MarketOrderRows(desk).Count() == accounts;
            },
            300000);
        if (!ready) {
            std::fprintf(stderr, "desk not ready: %zu of %zu connected, %zu of %zu positions\n",
                         sessions.Connected(), accounts, trade.Rows(), positions);
            std::exit(1);
        }
        // The accounts' selections answer after their rows show.
        platform::EventLoop::RunFor(2000);
        platform::EventLoop::RunUntilIdle(10000);
        if (ChooseEntrySymbol(desk).empty()) {
            std::fprintf(stderr, "the entry pane offers no symbol\n");
            std::exit(1);
        }
        platform::EventLoop::RunUntilIdle(10000);
    }

    struct Cost {
        double cpu = 0, wall = 0;
        bool complete = false;
    };
    // One tick asked of the server, until every Trade row shows its new price and
    // the loop has nothing left to deliver.
    Cost Tick() {
        phase ^= 1;
        const size_t target = trade.PriceWrites() + trade.Rows();
        const double cpu = ThreadCpu();
        const int64_t start = MonotonicNs();
        g_server->Tick(phase);
        Cost cost;
        cost.complete =
            platform::EventLoop::RunUntil([&] { return trade.PriceWrites() >= target; }, 60000);
        platform::EventLoop::RunUntilIdle(10000);
        // A repaint held to the next frame.
        platform::EventLoop::RunFor(kSettleMs);
        cost.cpu = ThreadCpu() - cpu;
        cost.wall = double(MonotonicNs() - start) * 1e-9;
        return cost;
    }
};

Desk* g_desk = nullptr;  // lives to the process end

Desk& TheDesk() {
    if (!g_desk) g_desk = new Desk();
    return *g_desk;
}

// The time is the GUI thread's CPU time (the benchmark runs on it) from asking
// the server for one tick of all ten symbols, pushed to every session as one
// price message (500 messages x 10 prices, as the walk sends them), until every
// Trade row shows its new price and the loop is idle: the sockets' reading, the
// client API's valuation, the trade, net and total rows, the market watch, the
// summaries, the accounts rows, the entry pane's price conditions (it holds a
// symbol) and the painting they cause. Left out: the walk's occasional
// new-high/low message (two market-watch cells) and ticks that arrive while one
// is handled (desk-scale shows those).
void BM_QuoteTickOver500AccountsX10Positions(benchmark::State& state) {
    Desk& d = TheDesk();
    double wall = 0, cpu = 0;
    size_t incomplete = 0;
    for (auto _ : state) {
        const Desk::Cost cost = d.Tick();
        state.SetIterationTime(cost.cpu);
        wall += cost.wall, cpu += cost.cpu;
        incomplete += !cost.complete;
    }
    const double n = double(state.iterations());
    g_tickCpuSeconds = cpu / n;
    state.counters["wall_ms"] = benchmark::Counter(wall * 1000 / n);
    state.counters["positions"] = benchmark::Counter(double(d.trade.Rows()));
    state.counters["incomplete"] = benchmark::Counter(double(incomplete));
}
BENCHMARK(BM_QuoteTickOver500AccountsX10Positions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

// ---- The floor ----

// Every cell a tick changes in the desk's lists, recorded from their change
// feeds over real ticks, with its texts and colours after either phase.
class TickCells {
public:
    explicit TickCells(OrbanexDesk::MGeneral& desk) {
        for (platform::ListView* list : {&TradeList(desk), &NetList(desk), &MarketWatchList(desk),
                                         &AccountsList(desk), &MarketOrderRows(desk)})
            feeds_.push_back(
                list->Changed.Connect([this, list](const Change& c) { Record(*list, c); }));
        if (auto* trade = dynamic_cast<QWidget*>(desk.Services().Ports().frmTrade))
            for (QLabel* label : trade->findChildren<QLabel*>())
                if (label->text().startsWith("Balance:")) summary_ = label;
    }
    // After a tick to `phase`: the cells' texts and colours then.
    void Read(int phase) {
        for (Cell& c : cells_) {
            const platform::ListItem* row = c.list->Find(c.key);
            if (!row) continue;
            c.text[phase] = c.column == 1 ? row->Text() : row->SubItems(c.column - 1);
            c.color[phase] = c.column == 1 ? row->ForeColor() : row->SubItemForeColor(c.column - 1);
        }
        label_[phase] = summary_ ? summary_->text().toStdString() : "";
    }
    void Stop() { feeds_.clear(); }

    // Each cell once, as the tick to `phase` left it, found by its row's key.
    void Write(int phase, OrbanexDesk::MGeneral& desk) const {
        for (const Cell& c : cells_) {
            platform::ListItem* row = c.list->Find(c.key);
            if (!row) continue;
            if (c.role == Change::Role::Text) {
                if (c.column == 1)
                    row->setText(c.text[phase]);
                else
                    row->setSubItems(c.column - 1, c.text[phase]);
            } else if (c.column == 1) {
                row->setForeColor(c.color[phase]);
            } else {
                row->setSubItemForeColor(c.column - 1, c.color[phase]);
            }
        }
        desk.Services().Ports().frmTrade->setLbmSummaries(label_[phase]);
    }
    size_t Count() const { return cells_.size(); }
    size_t Skipped() const { return skipped_; }

private:
    struct Cell {
        platform::ListView* list;
        std::string key;
        size_t column;
        Change::Role role;
        std::string text[2];
        int32_t color[2] = {0, 0};
    };
    void Record(platform::ListView& list, const Change& c) {
        if (c.kind != Change::Kind::Cell) return;
        const std::string& key = list.Item(c.index).Key();
        // Rows without a key cannot be found again; other looks do not change on a tick.
        if (key.empty() || (c.role != Change::Role::Text && c.role != Change::Role::ForeColor)) {
            ++skipped_;
            return;
        }
        if (seen_.emplace(std::make_tuple(&list, key, c.column, c.role), cells_.size()).second)
            cells_.push_back({&list, key, c.column, c.role, {}, {0, 0}});
    }

    std::vector<Cell> cells_;
    std::map<std::tuple<platform::ListView*, std::string, size_t, Change::Role>, size_t> seen_;
    std::vector<runtime::ScopedConnection> feeds_;
    QLabel* summary_ = nullptr;
    std::string label_[2];
    size_t skipped_ = 0;
};

TickCells& Cells() {
    static TickCells* cells = [] {
        Desk& d = TheDesk();
        auto* c = new TickCells(d.desk);
        // Three ticks: a cell first changed by the last two still gets both texts.
        for (int i = 0; i < 3; ++i) {
            d.Tick();
            if (i) c->Read(d.phase);
        }
        c->Stop();
        return c;
    }();
    return *cells;
}

// The floor: every cell a tick changes (trade, net, total, market watch, the
// accounts rows) and the summary label, each written once with its text made
// beforehand, in the same stores with the same widgets attached, until the loop
// is idle (the painting included). GUI-thread CPU time, as the tick's.
void BM_QuoteTickCellsFloor(benchmark::State& state) {
    Desk& d = TheDesk();
    const TickCells& cells = Cells();
    double cpu = 0;
    for (auto _ : state) {
        d.phase ^= 1;
        const double start = ThreadCpu();
        cells.Write(d.phase, d.desk);
        platform::EventLoop::RunUntilIdle(10000);
        state.SetIterationTime(ThreadCpu() - start);
        cpu += ThreadCpu() - start;
    }
    state.counters["cells"] = benchmark::Counter(double(cells.Count()));
    state.counters["cells_skipped"] = benchmark::Counter(double(cells.Skipped()));
    if (g_tickCpuSeconds > 0 && cpu > 0)
        state.counters["tick_over_floor"] =
            benchmark::Counter(g_tickCpuSeconds * double(state.iterations()) / cpu);
}
BENCHMARK(BM_QuoteTickCellsFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1);

// ---- The Buy ----

// The Buy as the operator gives it: every account row of "New Position"
// ticked, the total distributed in equal parts (untimed), then Buy pressed with
// the mouse. The time is the click's return; a counter gives the wall time from
// the click to the 500th new Trade row, and the GUI thread's CPU time to then.
// Quotes are still meanwhile (the 0.35 s was taken at one tick a
// second); each Buy adds 500 positions that stay for the next.
void BM_BuyForAllCheckedAccounts(benchmark::State& state) {
    Desk& d = TheDesk();
    double toLastRow = 0, cpuToLastRow = 0;
    size_t missing = 0;
    for (auto _ : state) {
        std::string fault;
        const size_t rows = PrepareBuy(d.desk, kBuySymbol, kBuyLotsEach, fault);
        if (!rows) {
            state.SkipWithError(fault.c_str());
            break;
        }
        platform::EventLoop::RunUntilIdle(10000);
        const size_t target = d.trade.Inserted() + rows;
        d.trade.AwaitInserted(target);
        const double cpu = ThreadCpu();
        const int64_t click = MonotonicNs();
        ClickBuy(d.desk);
        state.SetIterationTime(double(MonotonicNs() - click) * 1e-9);
        if (platform::EventLoop::RunUntil([&] { return d.trade.Inserted() >= target; }, 60000)) {
            cpuToLastRow += ThreadCpu() - cpu;
            toLastRow += double(d.trade.ReachedNs() - click) * 1e-9;
        } else {
            missing += target - d.trade.Inserted();
        }
        platform::EventLoop::RunUntilIdle(10000);
    }
    const double n = double(state.iterations());
    state.counters["last_row_ms"] = benchmark::Counter(toLastRow * 1000 / n);
    state.counters["gui_cpu_to_last_row_ms"] = benchmark::Counter(cpuToLastRow * 1000 / n);
    state.counters["rows_missing"] = benchmark::Counter(double(missing));
}
BENCHMARK(BM_BuyForAllCheckedAccounts)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_options.accounts = FromEnvironment("DESK_SCALE_ACCOUNTS", g_options.accounts);
    g_options.positions = FromEnvironment("DESK_SCALE_POSITIONS", g_options.positions);
    // Before anything of Qt exists in this process.
    g_server = new ServerChild(g_options, ServerChild::Quotes::OnRequest);
    static int qtArgc = 1;
    static char name[] = "desk_scale_bench";
    static char* qtArgv[] = {name, nullptr};
    new QApplication(qtArgc, qtArgv);  // lives to the process end, as the desk
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::fflush(stdout);
    g_server->Stop();
    if (g_desk) g_desk->home.Remove();
    // The desk's teardown (500 logouts) is no part of the figures.
    _exit(0);
}
