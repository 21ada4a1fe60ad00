// desk-scale: the real desk measured at a dealer's scale. It starts the desk as
// desk/main.cpp does (offscreen unless QT_QPA_PLATFORM says otherwise) on a
// home seeded with N saved accounts that log in at start, against a simulated
// server in a forked child whose book gives each account M buy positions over
// ten symbols and walks every quote each T ms. A sampler thread, not the GUI
// thread, prints one line a second, so a stalled loop still reports (as a stall
// that grows); near the end the Buy for every account is given as an operator
// gives it. The sampler ends the process after --seconds, without the desk's
// teardown.
//
//   desk-scale [--accounts N] [--positions M] [--tick-ms T] [--seconds S]
//              [--warmup W] [--buy-at S | --no-buy] [--home DIR]
#include <dirent.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/DeskScale.h"
#include "desk/MGeneralMain.h"

namespace {

using namespace deskscale;

constexpr int64_t kProbeNs = 10'000'000;  // the loop probe's period, 10 ms
constexpr double kMiB = 1024.0 * 1024.0;
// The README's figures at 500 accounts x 10 positions and a tick every 50 ms,
// the reference a run is read against.
constexpr const char* kReadmeBusy = "README: about 0.60 at 500 x 10, 50 ms";
constexpr const char* kReadmeBuy = "README: about 20 ms for 500 accounts";

struct Args {
    Options options;
    int32_t seconds = 60;
    int32_t warmup = 10;
    int32_t buyAt = -1;  // -1: ten seconds before the end
    bool buy = true;
    std::string home;
};

[[noreturn]] void Usage(const std::string& why) {
    std::fprintf(stderr,
                 "desk-scale: %s\n"
                 "usage: desk-scale [--accounts N] [--positions M] [--tick-ms T] [--seconds S]\n"
                 "                  [--warmup W] [--buy-at S | --no-buy] [--home DIR]\n",
                 why.c_str());
    std::exit(2);
}

int32_t Whole(const char* text, int32_t lowest) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < lowest || value > 1'000'000)
        Usage(std::string("not a number from ") + std::to_string(lowest) + ": " + text);
    return int32_t(value);
}

Args Parse(int argc, char** argv) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--no-buy") {
            a.buy = false;
            continue;
        }
        if (i + 1 >= argc) Usage(flag + " needs a value");
        const char* value = argv[++i];
        if (flag == "--accounts")
            a.options.accounts = Whole(value, 1);
        else if (flag == "--positions")
            a.options.positions = Whole(value, 0);
        else if (flag == "--tick-ms")
            a.options.tickMs = Whole(value, 1);
        else if (flag == "--seconds")
            a.seconds = Whole(value, 1);
        else if (flag == "--warmup")
            a.warmup = Whole(value, 0);
        else if (flag == "--buy-at")
            a.buyAt = Whole(value, 0);
        else if (flag == "--home")
            a.home = value;
        else
            Usage("unknown argument " + flag);
    }
    if (a.warmup >= a.seconds) Usage("--warmup must be shorter than --seconds");
    // Its server list would name another run's port.
    std::error_code ec;
    if (!a.home.empty() && std::filesystem::exists(a.home, ec) &&
        !std::filesystem::is_empty(a.home, ec))
        Usage("--home must name a new or empty folder");
    if (a.buyAt < 0) a.buyAt = std::max(a.warmup, a.seconds - 10);
    if (a.buy && a.buyAt >= a.seconds) Usage("--buy-at must come before --seconds");
    return a;
}

// ---- What the GUI thread records ----

// The lateness of a 10 ms precise timer: how long the loop let it wait.
class LoopProbe {
public:
    LoopProbe() {
        last_ = MonotonicNs();
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(int(kProbeNs / 1'000'000));
        QObject::connect(&timer_, &QTimer::timeout, [this] { Fired(); });
        timer_.start();
    }
    int64_t LastFireNs() const { return last_.load(); }
    int64_t TakeMaxLateNs() { return maxLate_.exchange(0); }

private:
    void Fired() {
        const int64_t now = MonotonicNs();
        const int64_t late = now - last_.load() - kProbeNs;
        int64_t seen = maxLate_.load();
        while (late > seen && !maxLate_.compare_exchange_weak(seen, late)) {
        }
        last_ = now;
    }
    QTimer timer_;
    std::atomic<int64_t> last_{0}, maxLate_{0};
};

struct BuyRecord {
    std::atomic<bool> done{false};  // the fields below are set before
    std::string fault;
    int64_t startNs = 0, preparedNs = 0, clickNs = 0, returnedNs = 0;
    size_t rows = 0;
    size_t insertedBefore = 0;  // Trade rows inserted before the click
};

void GiveBuy(OrbanexDesk::MGeneral& desk, TradeWatch& trade, BuyRecord& record) {
    record.startNs = MonotonicNs();
    record.rows = PrepareBuy(desk, kBuySymbol, kBuyLotsEach, record.fault);
    record.preparedNs = MonotonicNs();
    if (record.rows) {
        record.insertedBefore = trade.Inserted();
        trade.AwaitInserted(record.insertedBefore + record.rows);
        record.clickNs = MonotonicNs();
        ClickBuy(desk);
        record.returnedNs = MonotonicNs();
    }
    record.done = true;
}

// ---- What the sampler reads from the kernel ----

size_t RssBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

struct Sockets {
    size_t established = 0;
    size_t unreadBytes = 0;  // received by the kernel, not yet read by the desk
};

// Our TCP sockets as /proc/net/tcp lists them, found by their inodes.
Sockets OurSockets() {
    std::set<unsigned long> inodes;
    if (DIR* dir = opendir("/proc/self/fd")) {
        char link[300], target[64];
        while (dirent* e = readdir(dir)) {
            std::snprintf(link, sizeof link, "/proc/self/fd/%s", e->d_name);
            const ssize_t n = readlink(link, target, sizeof target - 1);
            unsigned long inode = 0;
            if (n > 0 && (target[n] = '\0', std::sscanf(target, "socket:[%lu]", &inode) == 1))
                inodes.insert(inode);
        }
        closedir(dir);
    }
    Sockets s;
    std::ifstream tcp("/proc/net/tcp");
    std::string line;
    std::getline(tcp, line);
    while (std::getline(tcp, line)) {
        unsigned state = 0;
        unsigned long tx = 0, rx = 0, inode = 0;
        // sl local rem st tx:rx tr:when retrnsmt uid timeout inode
        if (std::sscanf(line.c_str(), "%*s %*s %*s %x %lx:%lx %*s %*s %*s %*s %lu", &state, &tx,
                        &rx, &inode) != 4 ||
            !inodes.count(inode))
            continue;
        if (state == 1) ++s.established;
        s.unreadBytes += rx;
    }
    return s;
}

// ---- The sampler ----

struct Second {
    int32_t t = 0;
    double busy = 0;
    double stallMs = 0;
    double rssMiB = 0;
    size_t connected = 0, dropped = 0, priceCells = 0;  // Trade price cells changed
    Sockets sockets;
};

class Sampler {
public:
    Sampler(const Args& args, clockid_t guiClock, LoopProbe& probe, SessionWatch& sessions,
            TradeWatch& trade, BuyRecord& buy, ServerChild& server, ScaleHome& home)
        : args_(args),
          guiClock_(guiClock),
          probe_(probe),
          sessions_(sessions),
          trade_(trade),
          buy_(buy),
          server_(server),
          home_(home) {}

    [[noreturn]] void Run(int64_t startNs) {
        std::printf(
            "desk-scale: %d accounts x %d positions, quotes every %d ms, %d s (warm-up %d s)"
            ", home %s\n",
            args_.options.accounts, args_.options.positions, args_.options.tickMs, args_.seconds,
            args_.warmup, home_.Path().c_str());
        std::printf("%5s %5s %9s %8s %9s %6s %10s %7s %10s\n", "t_s", "gui", "stall_ms", "rss_mb",
                    "connected", "drops", "px_cells/s", "sockets", "unread_kb");
        lastCpu_ = CpuSeconds(guiClock_);
        lastNs_ = MonotonicNs();
        lastPriceWrites_ = trade_.PriceWrites();
        for (int32_t t = 1; t <= args_.seconds; ++t) {
            std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
                std::chrono::nanoseconds(startNs + int64_t(t) * 1'000'000'000)));
            seconds_.push_back(Take(t));
            Print(seconds_.back());
        }
        Summary(startNs);
        std::fflush(stdout);
        server_.Stop();
        home_.Remove();
        _exit(0);
    }

private:
    Second Take(int32_t t) {
        const int64_t now = MonotonicNs();
        const double cpu = CpuSeconds(guiClock_);
        Second s;
        s.t = t;
        s.busy = (cpu - lastCpu_) / (double(now - lastNs_) * 1e-9);
        // A stall still going on counts as far as it has come.
        const int64_t ongoing = now - probe_.LastFireNs() - kProbeNs;
        s.stallMs = std::max(0.0, double(std::max(probe_.TakeMaxLateNs(), ongoing)) * 1e-6);
        s.rssMiB = double(RssBytes()) / kMiB;
        s.connected = sessions_.Connected();
        s.dropped = sessions_.Dropped();
        const size_t priceWrites = trade_.PriceWrites();
        s.priceCells = priceWrites - lastPriceWrites_;
        s.sockets = OurSockets();
        lastCpu_ = cpu, lastNs_ = now, lastPriceWrites_ = priceWrites;
        return s;
    }

    void Print(const Second& s) {
        std::printf("%5d %5.2f %9.0f %8.1f %5zu/%-3d %6zu %10zu %7zu %10.0f%s\n", s.t, s.busy,
                    s.stallMs, s.rssMiB, s.connected, args_.options.accounts, s.dropped,
                    s.priceCells, s.sockets.established, double(s.sockets.unreadBytes) / 1024,
                    Note(s.t).c_str());
        std::fflush(stdout);
    }

    std::string Note(int32_t t) {
        std::string note;
        if (!allIn_ && sessions_.Connected() == size_t(args_.options.accounts)) {
            allIn_ = t;
            note += "  all connected";
        }
        if (t == args_.warmup) note += "  warm-up ends";
        if (args_.buy && t == args_.buyAt) note += "  buy due";
        if (buy_.done && !buyNoted_) {
            buyNoted_ = true;
            note += "  buy given";
        }
        return note;
    }

    void Summary(int64_t startNs) const {
        std::vector<Second> measured(seconds_.begin() + args_.warmup, seconds_.end());
        double busySum = 0, busyMax = 0, stallMax = 0;
        size_t connectedMin = SIZE_MAX, unreadMax = 0;
        for (const Second& s : measured) {
            busySum += s.busy;
            busyMax = std::max(busyMax, s.busy);
            stallMax = std::max(stallMax, s.stallMs);
            connectedMin = std::min(connectedMin, s.connected);
            unreadMax = std::max(unreadMax, s.sockets.unreadBytes);
        }
        const Second& first = seconds_[size_t(std::max(args_.warmup, 1)) - 1];
        const Second& last = seconds_.back();
        const double rssGrowth = last.rssMiB - first.rssMiB;
        std::printf(
            "summary over the %zu s after warm-up (%d accounts x %d positions, quotes "
            "every %d ms):\n",
            measured.size(), args_.options.accounts, args_.options.positions, args_.options.tickMs);
        std::printf("  GUI thread busy:        mean %.2f, max %.2f   (%s)\n",
                    busySum / double(measured.size()), busyMax, kReadmeBusy);
        std::printf("  longest loop stall:     %.0f ms   (target <= 100 ms)\n", stallMax);
        // As measured: a step (the Buy's rows) is no rate to scale up.
        std::printf("  RSS:                    %.1f -> %.1f MB, %+.1f MB over %zu s\n",
                    first.rssMiB, last.rssMiB, rssGrowth, measured.size());
        std::printf(
            "  sessions:               %zu connected at warm-up end, fewest %zu, %zu at "
            "the end; %zu drops after warm-up, %zu in all   (target 0 drops)\n",
            first.connected, connectedMin, last.connected, last.dropped - first.dropped,
            last.dropped);
        if (allIn_)
            std::printf("  all %d accounts connected first at %d s\n", args_.options.accounts,
                        allIn_);
        else
            std::printf("  never were all %d accounts connected at once\n", args_.options.accounts);
        std::printf("  unread input in the kernel: max %.1f MB, %.1f MB at the end\n",
                    double(unreadMax) / kMiB, double(last.sockets.unreadBytes) / kMiB);
        BuySummary(startNs);
    }

    void BuySummary(int64_t startNs) const {
        if (!args_.buy) return;
        if (!buy_.done) {
            std::printf("  buy: due at %d s, never given (the loop never ran its timer)\n",
                        args_.buyAt);
            return;
        }
        const auto ms = [](int64_t ns) { return double(ns) * 1e-6; };
        if (!buy_.rows) {
            std::printf("  buy: given at %.1f s, not sent: %s\n", ms(buy_.startNs - startNs) / 1000,
                        buy_.fault.c_str());
            return;
        }
        std::printf(
            "  buy for %zu checked accounts: given at %.1f s (due %d s, prepared in %.0f "
            "ms); the click returned in %.1f ms   (%s)\n",
            buy_.rows, ms(buy_.startNs - startNs) / 1000, args_.buyAt,
            ms(buy_.preparedNs - buy_.startNs), ms(buy_.returnedNs - buy_.clickNs), kReadmeBuy);
        if (const int64_t reached = trade_.ReachedNs())
            std::printf("  the %zu-th new Trade row after %.0f ms from the click\n", buy_.rows,
                        ms(reached - buy_.clickNs));
        else
            std::printf("  the %zu-th new Trade row never showed (%zu new rows by the end)\n",
                        buy_.rows, trade_.Inserted() - buy_.insertedBefore);
    }

    const Args& args_;
    clockid_t guiClock_;
    LoopProbe& probe_;
    SessionWatch& sessions_;
    TradeWatch& trade_;
    BuyRecord& buy_;
    ServerChild& server_;
    ScaleHome& home_;
    std::vector<Second> seconds_;
    int32_t allIn_ = 0;
    bool buyNoted_ = false;
    double lastCpu_ = 0;
    int64_t lastNs_ = 0;
    size_t lastPriceWrites_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const Args args = Parse(argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ServerChild server(args.options, ServerChild::Quotes::Walking);  // before Qt exists here
    ScaleHome home(args.options, server.Port(), args.home);
    static int qtArgc = 1;
    static char name[] = "desk-scale";
    static char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    const int64_t startNs = MonotonicNs();
    OrbanexDesk::MGeneral& desk = StartDesk(home);
    SessionWatch sessions(AccountsList(desk));
    TradeWatch trade(TradeList(desk));
    LoopProbe probe;
    BuyRecord buy;
    if (args.buy) {
        QTimer::singleShot(std::chrono::milliseconds(int64_t(args.buyAt) * 1000 -
                                                     (MonotonicNs() - startNs) / 1'000'000),
                           Qt::PreciseTimer, [&] { GiveBuy(desk, trade, buy); });
    }
    QTimer entry;
    QObject::connect(&entry, &QTimer::timeout, [&] {
        const std::string symbol = ChooseEntrySymbol(desk);
        if (symbol.empty()) return;
        entry.stop();
        std::printf("entry pane on %s\n", symbol.c_str());
    });
    entry.start(500);
    Sampler sampler(args, ThisThreadCpuClock(), probe, sessions, trade, buy, server, home);
    std::thread([&] { sampler.Run(startNs); }).detach();
    return app.exec();
}
