// The close-position pane at the desk's scale, offscreen with its grid view
// shown: a rebuild over 500 connected accounts and 10,000 Trade rows (500 of
// them, or all, in the chosen symbol) and one price over the 500 rows shown,
// each ending with one event-loop turn so the view's update is counted. The
// floors write the same cells with the same texts into a bare grid store, the
// rows' places and texts worked out beforehand.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "desk/positions/ClosePosGrid.h"
#include "platform/widgets/Grid.h"
#include "runtime/Convert.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;

constexpr int32_t kAccounts = 500;
constexpr int32_t kTrades = 10000;
constexpr int32_t kFirstAccount = 30001;
constexpr double kPrices[2][2] = {{1.2345, 1.2347}, {1.2351, 1.2353}};

QApplication& App() {
    static int argc = 1;
    static char name[] = "desk_views_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // lives to the process end
    return *app;
}

void Turn() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// 500 connected accounts, 10,000 positions round-robin over them; `inSymbol` of
// them (the first ones) in EURUSD, the rest over 19 other symbols. The grid's
// view is shown offscreen at the pane's usual size.
struct CloseDesk {
    testsupport::FakeDesk desk;
    std::unique_ptr<ClosePosGrid> grid;
    std::unique_ptr<platform::widgets::Grid> view;

    explicit CloseDesk(int32_t inSymbol) {
        App();
        platform::ListView& clients = desk.stores().lvwClients;
        for (int32_t i = 0; i < kAccounts; ++i) {
            auto& row = clients.Add("C" + std::to_string(i + 1), std::to_string(i + 1));
            row.setSubItems(1, "T" + std::to_string(i + 1));
            row.setSubItems(2, "Connected");
            row.setSubItems(3, std::to_string(kFirstAccount + i));
        }
        platform::ListView& trades = desk.stores().lvwOpenPos;
        for (int32_t t = 0; t < kTrades; ++t) {
            const std::string ticket = std::to_string(t + 1);
            auto& row = trades.Add("T" + ticket, ticket);
            const std::string symbol = t < inSymbol ? "EURUSD" : "SYM" + std::to_string(1 + t % 19);
            const std::vector<std::string> cells{std::to_string(kFirstAccount + t % kAccounts),
                                                 "09/12/2026 10:00:00",
                                                 t % 2 ? "Sell" : "Buy",
                                                 "1.5",
                                                 symbol,
                                                 "1.2300",
                                                 "1.2345"};
            for (size_t c = 0; c < cells.size(); ++c) row.setSubItems(c + 1, cells[c]);
        }
        grid = std::make_unique<ClosePosGrid>(desk.Ports(), ClosePosGrid::Hooks{});
        view = std::make_unique<platform::widgets::Grid>(grid->MSH());
        view->resize(600, 400);
        view->show();
        grid->CloseSymbols().AddItem("EURUSD");
        grid->CloseSymbols().setText("EURUSD");
        grid->CloseSymbols_Click();
        Turn();
    }
};

CloseDesk& DeskWith(int32_t inSymbol) {
    static std::map<int32_t, CloseDesk*> desks;  // live to the process end
    CloseDesk*& d = desks[inSymbol];
    if (!d) d = new CloseDesk(inSymbol);
    return *d;
}

void BM_CloseGridRebuild(benchmark::State& state) {
    CloseDesk& d = DeskWith(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        d.grid->CloseSymbols_Click();
        Turn();
    }
    state.counters["rows"] = benchmark::Counter(double(d.grid->MSH().Rows()));
}
BENCHMARK(BM_CloseGridRebuild)->Arg(500)->Arg(kTrades)->Unit(benchmark::kMillisecond);

// One cell write as the rebuild makes it, with its row worked out beforehand.
struct Write {
    enum Kind { Insert, Text, Back, Picture, PictureAlign, Align } kind;
    size_t row, col;
    std::string text;
    int32_t value;
};

// The rebuild's writes, read off the finished grid: accounts inserted at row 1
// (the first into the blank row), each position right under its account.
std::vector<Write> RebuildWrites(const platform::Grid& g) {
    std::vector<Write> out;
    auto cell = [&](size_t row, size_t col, size_t from) {
        const platform::GridCell& c = g.Cell(from, col);
        out.push_back({Write::Picture, row, col, {}, c.picture});
        out.push_back({Write::PictureAlign, row, col, {}, c.pictureAlignment});
        out.push_back({Write::Back, row, col, {}, c.backColor});
    };
    std::vector<size_t> accountRows;
    for (size_t r = 1; r < g.Rows(); ++r)
        if (!g.TextMatrix(r, 0).empty()) accountRows.push_back(r);
    // Accounts in the order they were added: the bottom one first.
    for (size_t i = accountRows.size(); i-- > 0;) {
        const size_t r = accountRows[i];
        if (i + 1 == accountRows.size())
            out.push_back({Write::Text, 1, 0, g.TextMatrix(r, 0), 0});
        else
            out.push_back({Write::Insert, 1, 0, g.TextMatrix(r, 0), 0});
        cell(1, 0, r);
        out.push_back({Write::Text, 1, 3, g.TextMatrix(r, 3), 0});
        cell(1, 3, r);
    }
    // Positions: each inserted right under its account row, whose place is known.
    for (size_t a = 0; a < accountRows.size(); ++a) {
        const size_t end = a + 1 < accountRows.size() ? accountRows[a + 1] : g.Rows();
        // Added in Trade order, each at the top of its account's block.
        for (size_t r = end; r-- > accountRows[a] + 1;) {
            if (g.TextMatrix(r, 1).empty()) continue;
            const size_t at = accountRows[a] + 1;
            out.push_back({Write::Insert, at, 0, "", 0});
            cell(at, 1, r);
            out.push_back({Write::Text, at, 1, g.TextMatrix(r, 1), 0});
            out.push_back({Write::Text, at, 2, g.TextMatrix(r, 2), 0});
            out.push_back({Write::Align, at, 1, {}, g.Cell(r, 1).alignment});
            out.push_back({Write::Text, at, 3, g.TextMatrix(r, 3), 0});
            cell(at, 3, r);
        }
    }
    return out;
}

void Apply(platform::Grid& g, const std::vector<Write>& writes) {
    for (const Write& w : writes) {
        switch (w.kind) {
            case Write::Insert:
                g.AddItem(w.text, w.row);
                break;
            case Write::Text:
                g.setTextMatrix(w.row, w.col, w.text);
                break;
            case Write::Back:
                g.setCellBackColor(w.row, w.col, w.value);
                break;
            case Write::Picture:
                g.setCellPicture(w.row, w.col, w.value);
                break;
            case Write::PictureAlign:
                g.setCellPictureAlignment(w.row, w.col, w.value);
                break;
            case Write::Align:
                g.setCellAlignment(w.row, w.col, w.value);
                break;
        }
    }
}

// Floor: the same writes into a bare store, places and texts known beforehand.
void BM_CloseGridRebuildStoreFloor(benchmark::State& state) {
    CloseDesk& d = DeskWith(static_cast<int32_t>(state.range(0)));
    const std::vector<Write> writes = RebuildWrites(d.grid->MSH());
    platform::Grid store{2, 4};
    for (auto _ : state) {
        store.Clear();
        store.setRows(2);
        for (size_t c = 0; c < 4; ++c) store.setTextMatrix(0, c, d.grid->MSH().TextMatrix(0, c));
        Apply(store, writes);
        benchmark::DoNotOptimize(store.Rows());
    }
    bool same = store.Rows() == d.grid->MSH().Rows();
    for (size_t r = 0; same && r < store.Rows(); ++r)
        for (size_t c = 0; c < 4; ++c)
            same = same && store.TextMatrix(r, c) == d.grid->MSH().TextMatrix(r, c) &&
                   store.Cell(r, c).backColor == d.grid->MSH().Cell(r, c).backColor;
    if (!same) state.SkipWithError("the floor's grid differs from the rebuild's");
}
BENCHMARK(BM_CloseGridRebuildStoreFloor)->Arg(500)->Arg(kTrades)->Unit(benchmark::kMillisecond);

void BM_CloseGridRefreshPrice(benchmark::State& state) {
    CloseDesk& d = DeskWith(500);
    d.grid->CloseSymbols_Click();
    Turn();
    int phase = 0;
    for (auto _ : state) {
        phase ^= 1;
        d.grid->RefreshPrice(kPrices[phase][1], kPrices[phase][0]);
        Turn();
    }
}
BENCHMARK(BM_CloseGridRefreshPrice)->Unit(benchmark::kMicrosecond);

// Floor: the action cells of the same rows written with texts made beforehand.
void BM_CloseGridRefreshPriceStoreFloor(benchmark::State& state) {
    CloseDesk& d = DeskWith(500);
    const platform::Grid& shown = d.grid->MSH();
    platform::Grid store{shown.Rows(), 4};
    std::vector<std::pair<size_t, bool>> rows;  // position rows, selling or not
    for (size_t r = 1; r < shown.Rows(); ++r) {
        const std::string& description = shown.TextMatrix(r, 1);
        if (shown.TextMatrix(r, 0).empty() && !description.empty())
            rows.emplace_back(r, description.find("Sell") != std::string::npos);
    }
    std::string texts[2][2];
    for (int p = 0; p < 2; ++p)
        for (int side = 0; side < 2; ++side)
            texts[p][side] = "Close At " + runtime::NumberToText(kPrices[p][side]);
    int phase = 0;
    for (auto _ : state) {
        phase ^= 1;
        for (const auto& [r, sell] : rows) store.setTextMatrix(r, 3, texts[phase][sell ? 1 : 0]);
        benchmark::DoNotOptimize(store.Rows());
    }
    state.counters["rows"] = benchmark::Counter(double(rows.size()));
}
BENCHMARK(BM_CloseGridRefreshPriceStoreFloor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
