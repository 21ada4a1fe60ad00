#pragma once
// The desk at a dealer's scale, shared by the desk-scale program and
// desk_scale_bench: a book of N traders with M positions each, all bought (so
// every net total of a symbol sums N account rows), over the demo book's ten
// quoting symbols, served by a simulated server in a forked child (its CPU is
// never the desk's GUI thread's); a program folder seeded so that the desk logs
// every account in at start; the real desk started as desk/main.cpp starts it;
// and the watches the measurements read. Everything but ServerChild and the
// clocks runs on the GUI thread; the watches' figures may be read from others.
#include <sys/types.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/ListView.h"
#include "runtime/Event.h"
#include "simserver/Book.h"

namespace OrbanexDesk {
class MGeneral;
}

namespace deskscale {

struct Options {
    int32_t accounts = 500;
    int32_t positions = 10;  // per account, spread over the quoting symbols in turn
    int32_t tickMs = 50;     // the quote walk's period (20 ticks a second)
};

constexpr int32_t kFirstAccount = 30001;
// Upper case: the saved-accounts line keeps user and password in upper case.
constexpr const char* kUserPrefix = "T";
constexpr const char* kPassword = "PW";
constexpr const char* kBuySymbol = "EURUSD";
constexpr double kBuyLotsEach = 0.1;

// The ten quoting symbols of the demo book and the account currency; N traders
// "T1".."TN" with accounts from kFirstAccount, each holding M buy positions
// opened 20 pips below the quote.
simserver::Book ScaleBook(const Options& options);

// The simulated server in a forked child that dies with this process.
class ServerChild {
public:
    enum class Quotes {
        Walking,    // the server's own quote walk every tickMs from the start
        OnRequest,  // no walk: each Tick moves every quoting symbol at once
    };
    // Forks: call before anything of Qt or another thread exists here.
    ServerChild(const Options& options, Quotes quotes);
    ~ServerChild() { Stop(); }
    ServerChild(const ServerChild&) = delete;
    ServerChild& operator=(const ServerChild&) = delete;

    int32_t Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    // OnRequest: every quoting symbol to its start quote (phase 0) or 3 pips
    // above (phase 1), pushed as one price message to every session.
    void Tick(int phase);
    // Ends the child and waits for it. Idempotent.
    void Stop();

private:
    pid_t pid_ = -1;
    int32_t port_ = 0;
    int control_ = -1;
};

// A program folder holding the server list and the N accounts saved to log in
// at start. A temporary folder unless `dir` is given; the temporary one is
// removed with the object.
class ScaleHome {
public:
    ScaleHome(const Options& options, int32_t port, const std::string& dir = {});
    ~ScaleHome();
    ScaleHome(const ScaleHome&) = delete;
    ScaleHome& operator=(const ScaleHome&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Removes a temporary folder now (the destructor then does nothing).
    void Remove();

private:
    std::filesystem::path path_;
    bool temporary_ = false;
};

// The desk as desk/main.cpp starts it, on `home`; the caller made the
// QApplication. Lives until the process ends: tearing down 500 sessions is no
// part of what is measured.
OrbanexDesk::MGeneral& StartDesk(const ScaleHome& home);

// The desk's lists the measurements read.
platform::ListView& AccountsList(OrbanexDesk::MGeneral& desk);
platform::ListView& TradeList(OrbanexDesk::MGeneral& desk);
platform::ListView& NetList(OrbanexDesk::MGeneral& desk);
platform::ListView& MarketWatchList(OrbanexDesk::MGeneral& desk);
platform::ListView& MarketOrderRows(OrbanexDesk::MGeneral& desk);

// Sessions as the accounts list shows them, followed through its change feed:
// rows "Connected" now, and how often a row left "Connected" (a drop, a
// logout, a removal).
class SessionWatch {
public:
    explicit SessionWatch(platform::ListView& accounts);
    size_t Connected() const { return connected_.load(); }
    size_t Dropped() const { return dropped_.load(); }

private:
    void OnChange(const platform::ListViewChange& change);
    void Set(const std::string& key, bool connected);

    platform::ListView& list_;
    std::unordered_map<std::string, bool> state_;
    std::atomic<size_t> connected_{0}, dropped_{0};
    runtime::ScopedConnection feed_;
};

// The Trade list followed through its change feed: rows, rows inserted, and
// price cells written (one per position revalued).
class TradeWatch {
public:
    explicit TradeWatch(platform::ListView& trade);
    size_t Rows() const { return rows_.load(); }
    size_t Inserted() const { return inserted_.load(); }
    size_t PriceWrites() const { return priceWrites_.load(); }
    // Nanoseconds (MonotonicNs) at which Inserted() reached `count`; 0 until then.
    void AwaitInserted(size_t count);
    int64_t ReachedNs() const { return reachedNs_.load(); }

private:
    void OnChange(const platform::ListViewChange& change);

    platform::ListView& list_;
    std::atomic<size_t> rows_{0}, inserted_{0}, priceWrites_{0}, awaited_{0};
    std::atomic<int64_t> reachedNs_{0};
    runtime::ScopedConnection feed_;
};

// The Buy as an operator gives it in "New Position": the pane shown, the
// symbol picked, every account row ticked, the total rows x lotsEach typed,
// "Equal parts", Distribute. Returns the rows ticked; 0 with `fault` set when a
// step did not take.
size_t PrepareBuy(OrbanexDesk::MGeneral& desk, const std::string& symbol, double lotsEach,
                  std::string& fault);
// The entry pane shown once, as a dealer's desk has it, so that it holds a symbol
// whose price conditions the quotes run (an empty pane's run ends at once).
// Returns the symbol, or "" while the pane has none to offer yet.
std::string ChooseEntrySymbol(OrbanexDesk::MGeneral& desk);
// Presses Buy with the mouse; returns when the click's handlers returned.
void ClickBuy(OrbanexDesk::MGeneral& desk);

// Clocks: steady wall time, and a thread's CPU time (user + system).
int64_t MonotonicNs();
double CpuSeconds(clockid_t clock);
// The calling thread's CPU clock, readable from any thread.
clockid_t ThisThreadCpuClock();

}  // namespace deskscale
