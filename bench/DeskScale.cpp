#include "bench/DeskScale.h"

#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/accounts/DemoHome.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmorder.h"
#include "desk/shell/frmMdiNew.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"

namespace deskscale {

namespace {

using namespace OrbanexDesk;
using Change = platform::ListViewChange;

constexpr size_t kTradePrice = 7;  // the Trade row's current price (sub-item)
constexpr double kOpenPipsBelow = 20;
constexpr double kTickPips = 3;

double PipOf(const simserver::Symbol& s) {
    return std::pow(10.0, s.pipLocation);
}

bool Quoting(const simserver::Symbol& s) {
    return s.id != 1 && s.used && s.bid > 0;
}

// ---- The server child ----

// The phase's quotes of every quoting symbol in one price message, as the walk sends them.
void PushTick(simserver::Server& server, const std::vector<simserver::Symbol>& start, int phase) {
    const std::string now = simserver::NowText();
    std::string prices = now;
    for (const simserver::Symbol& first : start) {
        simserver::Symbol* s = server.book().FindSymbol(first.id);
        if (!s || !Quoting(first)) continue;
        s->bid = first.bid + phase * kTickPips * PipOf(first);
        s->ask = s->bid + (first.ask - first.bid);
        s->quoteTime = now;
        prices += "," + std::to_string(s->id) + "," + runtime::NumberToText(s->bid) + "," +
                  runtime::NumberToText(s->ask);
    }
    server.Push(OrbanelGeneral10::MARKET_DATA_TOKEN, {prices});
}

[[noreturn]] void Serve(const Options& options, ServerChild::Quotes quotes, int portPipe,
                        int control) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    simserver::Server server(ScaleBook(options));
    server.Listen("127.0.0.1", 0);
    const int32_t port = server.Port();
    if (write(portPipe, &port, sizeof(port)) != sizeof(port)) _exit(1);
    close(portPipe);
    if (quotes == ServerChild::Quotes::Walking) server.StartQuotes(options.tickMs, 7);
    const std::vector<simserver::Symbol> start = server.book().symbols;
    platform::EventLoop::Ensure();
    QSocketNotifier requests(control, QSocketNotifier::Read);
    QObject::connect(&requests, &QSocketNotifier::activated, [&] {
        char phase = 0;
        if (read(control, &phase, 1) != 1) _exit(0);  // the desk's side went away
        PushTick(server, start, phase == '1');
    });
    platform::EventLoop::Exec();
    _exit(0);
}

}  // namespace

simserver::Book ScaleBook(const Options& options) {
    simserver::Book book;
    std::vector<const simserver::Symbol*> quoting;
    const simserver::Book demo = simserver::DemoBook();
    for (const simserver::Symbol& s : demo.symbols) book.AddSymbol(s);
    for (const simserver::Symbol& s : book.symbols)
        if (Quoting(s)) quoting.push_back(&s);
    const auto accounts = book.AddTraders(options.accounts, kUserPrefix, kPassword, kFirstAccount);
    for (simserver::Account& a : book.accounts) a.openDate = "01/12/2026 08:00:00";
    for (int32_t account : accounts) {
        for (int32_t p = 0; p < options.positions; ++p) {
            const simserver::Symbol& s = *quoting[size_t(p) % quoting.size()];
            simserver::Position position;
            position.accountId = account;
            position.time = "02/12/2026 09:30:00";
            position.side = 1;
            position.lots = kBuyLotsEach;
            position.symbolId = s.id;
            position.price = s.bid - kOpenPipsBelow * PipOf(s);
            book.AddPosition(position);
        }
    }
    return book;
}

ServerChild::ServerChild(const Options& options, Quotes quotes) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    std::tie(pid_, port_) = benchsupport::StartChild([&](int portPipe) {
        close(fds[1]);
        Serve(options, quotes, portPipe, fds[0]);
    });
    close(fds[0]);
    control_ = fds[1];
    // A child gone early must not kill us on the next request.
    if (quotes == Quotes::OnRequest) signal(SIGPIPE, SIG_IGN);
}

void ServerChild::Tick(int phase) {
    const char byte = phase ? '1' : '0';
    if (control_ < 0 || write(control_, &byte, 1) != 1) std::fprintf(stderr, "server gone\n");
}

void ServerChild::Stop() {
    if (control_ >= 0) close(control_);
    control_ = -1;
    benchsupport::StopChild(pid_);
    pid_ = -1;
}

// ---- The home and the desk ----

ScaleHome::ScaleHome(const Options& options, int32_t port, const std::string& dir) {
    if (dir.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "desk-scale-XXXXXX");
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
        temporary_ = true;
    } else {
        path_ = std::filesystem::absolute(dir);
        std::filesystem::create_directories(path_);
    }
    // What scripts/desk.sh does with orbanex-demo-home before the desk starts.
    platform::SetProgramFolder(path_);
    std::vector<DemoAccount> accounts;
    for (int32_t i = 0; i < options.accounts; ++i)
        accounts.push_back({kUserPrefix + std::to_string(i + 1), kPassword, kFirstAccount + i});
    SeedDemoHome("127.0.0.1", port, accounts);
}

ScaleHome::~ScaleHome() {
    Remove();
}

void ScaleHome::Remove() {
    std::error_code ec;
    if (temporary_) std::filesystem::remove_all(path_, ec);
    temporary_ = false;
}

MGeneral& StartDesk(const ScaleHome& home) {
    static std::string folder;
    folder = home.Path().string();
    static char name[] = "desk-scale", flag[] = "--home";
    char* args[] = {name, flag, folder.data(), nullptr};
    platform::InitProgramFolder(3, args, kAssetsDir);
    auto* desk = new MGeneral();  // lives to the process end
    desk->Main();
    return *desk;
}

platform::ListView& AccountsList(MGeneral& desk) {
    return desk.Accounts().lvwClients();
}
platform::ListView& TradeList(MGeneral& desk) {
    return desk.Services().Ports().frmTrade->lvwOpenPos();
}
platform::ListView& NetList(MGeneral& desk) {
    return desk.Services().Ports().frmNetTrade->lvwNetPos();
}
platform::ListView& MarketWatchList(MGeneral& desk) {
    return desk.Services().Ports().frmMW->lvmw();
}
platform::ListView& MarketOrderRows(MGeneral& desk) {
    return desk.Services().Ports().frmorder->lvwConClients();
}

// ---- Watches ----

SessionWatch::SessionWatch(platform::ListView& accounts) : list_(accounts) {
    for (size_t i = 1; i <= list_.Count(); ++i)
        Set(list_.Item(i).Key(), list_.Item(i).SubItems(kStatusColumn) == "Connected");
    feed_ = list_.Changed.Connect([this](const Change& c) { OnChange(c); });
}

void SessionWatch::Set(const std::string& key, bool connected) {
    bool& was = state_[key];
    if (was && !connected) {
        --connected_;
        ++dropped_;
    }
    if (!was && connected) ++connected_;
    was = connected;
}

void SessionWatch::OnChange(const Change& c) {
    switch (c.kind) {
        case Change::Kind::Cell:
            if (c.column == kStatusColumn + 1 && c.role == Change::Role::Text) {
                const platform::ListItem& row = list_.Item(c.index);
                Set(row.Key(), row.SubItems(kStatusColumn) == "Connected");
            }
            break;
        case Change::Kind::AboutToRemove: {
            const std::string key = list_.Item(c.index).Key();
            Set(key, false);
            state_.erase(key);
            break;
        }
        case Change::Kind::AboutToReset:
            for (auto& [key, connected] : state_) Set(key, false);
            state_.clear();
            break;
        default:
            break;
    }
}

TradeWatch::TradeWatch(platform::ListView& trade) : list_(trade) {
    rows_ = list_.Count();
    feed_ = list_.Changed.Connect([this](const Change& c) { OnChange(c); });
}

void TradeWatch::AwaitInserted(size_t count) {
    reachedNs_ = 0;
    awaited_ = count;
}

void TradeWatch::OnChange(const Change& c) {
    switch (c.kind) {
        case Change::Kind::Cell:
            if (c.column == kTradePrice + 1 && c.role == Change::Role::Text) ++priceWrites_;
            break;
        case Change::Kind::Inserted:
            rows_ = list_.Count();
            if (++inserted_ == awaited_.load() && reachedNs_ == 0) reachedNs_ = MonotonicNs();
            break;
        case Change::Kind::Removed:
        case Change::Kind::Reset:
            rows_ = list_.Count();
            break;
        default:
            break;
    }
}

// ---- The Buy ----

namespace {
frmorder* MarketOrderPane(MGeneral& desk) {
    return dynamic_cast<frmorder*>(desk.Services().Ports().frmorder);
}
}  // namespace

size_t PrepareBuy(MGeneral& desk, const std::string& symbol, double lotsEach, std::string& fault) {
    auto fail = [&](std::string why) {
        fault = std::move(why);
        return size_t{0};
    };
    frmorder* pane = MarketOrderPane(desk);
    if (!pane) return fail("no market-order pane");
    desk.Shell().SelectPane(kPaneNewPosition);
    SelectComboText(pane->cbsymbols(), symbol);
    if (pane->cbsymbols().Text() != symbol) return fail(symbol + " not in the pane");
    pane->CBdis().setListIndex(0);  // "Distribute as equal parts"
    platform::ListView& rows = pane->lvwConClients();
    for (size_t i = 1; i <= rows.Count(); ++i) rows.Item(i).setChecked(true);
    pane->Txtammount().clear();
    QTest::keyClicks(
        &pane->Txtammount(),
        QString::fromStdString(runtime::NumberToText(double(rows.Count()) * lotsEach)));
    QTest::mouseClick(&pane->Cmddis(), Qt::LeftButton);
    if (!pane->Cmdbuy().isVisible() || !pane->Cmdbuy().isEnabled())
        return fail("Buy not offered after Distribute");
    return rows.Count();
}

std::string ChooseEntrySymbol(MGeneral& desk) {
    Ifrmlimitorder* pane = desk.Services().Ports().frmlimitorder;
    if (!pane || pane->cblimitordersymbols().ListCount() == 0) return "";
    desk.Shell().SelectPane(kPaneNewEntryOrder);
    desk.Shell().SelectPane(kPaneNewPosition);
    return pane->cblimitordersymbols().Text();
}

void ClickBuy(MGeneral& desk) {
    if (frmorder* pane = MarketOrderPane(desk)) QTest::mouseClick(&pane->Cmdbuy(), Qt::LeftButton);
}

// ---- Clocks ----

int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

clockid_t ThisThreadCpuClock() {
    clockid_t clock = CLOCK_THREAD_CPUTIME_ID;
    pthread_getcpuclockid(pthread_self(), &clock);
    return clock;
}

}  // namespace deskscale
