// Account sessions end to end on loopback against the simulated server in the
// same process, over the fake desk's real stores: logins and loading, the saved
// and connected account files, an unknown account, a refused password, the
// order fan-out and removal of logged-on sessions. Every wait is bounded.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "general/common/Enums.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "platform/Timer.h"
#include "runtime/Error.h"
#include "simserver/Server.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using testsupport::FakeDesk;
using Names = std::vector<std::string>;
namespace og = OrbanelGeneral10;

constexpr int32_t kWaitMs = 5000;
// 201 logins with two account loads each, on a loaded machine under sanitizers.
constexpr int32_t kLoginStormWaitMs = 20000;
constexpr int32_t kBigSymbol = 40000;
const std::string kNotLoggedOn = "No order was sent: the account is not logged in";

simserver::Symbol Sym(int32_t id, const std::string& name, double bid, double ask) {
    simserver::Symbol s;
    s.id = id;
    s.name = name;
    s.bid = bid;
    s.ask = ask;
    s.high = ask + 0.005;
    s.low = bid - 0.005;
    return s;
}

void AddUser(simserver::Book& b, int32_t clientId, const std::string& name,
             const std::string& password, double limitOffset) {
    simserver::Client c;
    c.id = clientId;
    c.userName = name;
    c.params[2].limitOffset = limitOffset;
    b.AddClient(c);
    simserver::User u;
    u.name = name;
    u.password = password;
    u.clientId = clientId;
    b.AddUser(u);
}

simserver::Account& AddAccount(simserver::Book& b, int32_t id, int32_t clientId) {
    simserver::Account a;
    a.id = id;
    a.clientId = clientId;
    a.figures.totDep = 10000;
    b.AddAccount(a);
    return *b.FindAccount(id);
}

// ANN (account 70: a position and an order; limit offset 10 pips), BEN (80; 20
// pips), CARL (90 and 91), DAN (no account). Symbols 2 EURUSD and 40000 GBPUSD.
simserver::Book TestBook() {
    simserver::Book b;
    simserver::Symbol usd = Sym(1, "USD", 1, 1);
    usd.used = false;
    usd.contractSize = 1;
    b.AddSymbol(usd);
    b.AddSymbol(Sym(2, "EURUSD", 1.085, 1.0852));
    b.AddSymbol(Sym(kBigSymbol, "GBPUSD", 1.26, 1.2603));
    AddUser(b, 101, "ANN", "PW1", 10);
    AddUser(b, 102, "BEN", "PW2", 20);
    AddUser(b, 103, "CARL", "PW3", 5);
    AddUser(b, 104, "DAN", "PW4", 5);
    simserver::Account& ann = AddAccount(b, 70, 101);
    simserver::Position p;
    p.ticket = 1001;
    p.clientId = 101;
    p.accountId = ann.id;
    p.time = "01/12/2026 09:00:00";
    p.lots = 1;
    p.symbolId = 2;
    p.price = 1.08;
    b.AddPosition(p);
    simserver::Order o;
    o.id = 5001;
    o.clientId = 101;
    o.accountId = ann.id;
    o.time = "01/12/2026 09:00:00";
    o.side = -1;
    o.lots = 1;
    o.symbolId = 2;
    o.price = 1.1;
    b.AddOrder(o);
    AddAccount(b, 80, 102);
    AddAccount(b, 90, 103);
    AddAccount(b, 91, 103);
    b.nextTicket = 3001;
    return b;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

Names ReadLines(const std::filesystem::path& path) {
    Names out;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

class DeskOnServer {
public:
    explicit DeskOnServer(simserver::Book book = TestBook(), bool virtualTime = false)
        : server_(std::move(book)) {
        if (virtualTime) time_.emplace();
        server_.Listen("127.0.0.1", 0);
        og::SetMessageNotifier([this](const std::string& t) { messages.push_back(t); });
        desk.DisconnectSelected = [this](const std::string& key) {
            if (auto s = managers().Item(key)) s->ClientAPIF()->Disconnect();
        };
    }
    ~DeskOnServer() { og::SetMessageNotifier(nullptr); }

    CClientAPIManagers& managers() { return *desk.Services().Managers(); }
    simserver::Server& server() { return server_; }
    const std::filesystem::path& home() const { return folder_.Path(); }
    ManagerPtr Add(const std::string& user, const std::string& password, int32_t account) {
        return managers().Add("127.0.0.1", server_.Port(), user, password, true, account);
    }
    bool Wait(const std::function<bool()>& done, int32_t ms = kWaitMs) {
        return platform::EventLoop::RunUntil(done, ms);
    }
    // Moves the clients' virtual clock a second at a time until done (at most 20 s).
    bool AdvanceUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 20 && !done(); ++i) {
            time_->Advance(1000);
            platform::EventLoop::RunUntil(done, 250);
        }
        return done();
    }
    // Whether every session's account answers are in: a session's market-order row
    // appears before them, and an order sent then is refused for its lots. Both
    // selections of a session (its login's and the desk's) end with its orders.
    bool Settled(size_t sessions) const {
        return desk.Lines("pending.Updateaccount").size() >= 2 * sessions;
    }
    // The server connection a user logged in on last; 0 when none.
    size_t ConnectionOf(const std::string& user) const {
        size_t found = 0;
        for (const auto& r : server_.book().Requests(og::LOGIN_TOKEN))
            if (!r.params.empty() && r.params[0] == user) found = r.connection;
        return found;
    }
    std::string Cell(const std::string& key, size_t sub) {
        auto* row = desk.stores().lvwClients.Find(key);
        return row ? row->SubItems(sub) : "<no row>";
    }

    Names messages;

private:
    testsupport::TempProgramFolder folder_{"desk-e2e"};
    // The sessions' timers are made inside the scope and go before it.
    std::optional<platform::ScopedVirtualTime> time_;
    simserver::Server server_;

public:
    FakeDesk desk{CClientAPIManagers::Factory()};
};

// Seven sessions log in: five load, one names an unknown account, one a wrong password.
TEST(SessionsEndToEnd, LoginsLoadTheViewsFilesAndSettingsAndTheFanOutSendsOnePerAccount) {
    DeskOnServer d;
    WriteFile(d.home() / "savelvinfo.buf", "ann,c1,70\r\nBEN,c2,80\r\nBen,c3,80\r\nshort\r\n\r\n" +
                                               std::string(5000, 'x') + "\r\n");
    WriteFile(d.home() / "manage" / "settings.buf", " 3 \r\n");
    ManagerPtr ann = d.Add("ANN", "PW1", 70);
    d.Add("BEN", "PW2", 80);
    d.Add("CARL", "PW3", 90);
    d.Add("CARL", "PW3", 91);
    d.Add("CARL", "PW3", 99);
    d.Add("ANN", "wrong", 70);
    ManagerPtr annAgain = d.Add("ANN", "PW1", 70);
    const auto connected = d.home() / "saveconnected.buf";
    ASSERT_TRUE(d.Wait([&] {
        return ReadLines(connected).size() == 4 && d.Cell("C5", 4) == "Invalid account ID" &&
               d.Cell("C5", 2) == "Disconnected" &&
               d.Cell("C6", 4) == "Invalid username or password" &&
               d.desk.stores().lvwOpenPos.Find(PositionRowKey(70, 1001)) &&
               d.desk.stores().lvwPending.Find(PendingRowKey(70, 5001));
    })) << ::testing::PrintToString(d.desk.Log());

    for (const char* key : {"C1", "C2", "C3", "C4", "C7"}) EXPECT_EQ(d.Cell(key, 2), "Connected");
    Names saved = ReadLines(connected);
    std::sort(saved.begin(), saved.end());
    // One line per account, however many sessions logged it in.
    EXPECT_EQ(saved, (Names{"Ben,c3,80", "CARL,90", "CARL,91", "ann,c1,70"}));
    struct stat st {};
    ASSERT_EQ(::stat(connected.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(d.desk.State().AmountDecimals, "3");
    EXPECT_EQ(d.desk.State().ClientGMTOffset, ann->ClientAPIF()->GMTOffset());
    EXPECT_EQ(d.desk.State().ServerGMTOffset, ann->ClientAPIF()->ServerGMTOffset());

    auto& mw = d.desk.stores().lvmw;
    EXPECT_TRUE(mw.Find("S2") && mw.Find("S40000"));
    EXPECT_EQ(mw.Count(), 2u);
    EXPECT_EQ(d.desk.stores().cbsymbols.ListCount(), 2u);
    EXPECT_EQ(d.desk.stores().CloseSymbols.ListCount(), 2u);
    for (auto* lv : {&d.desk.stores().orderClients, &d.desk.stores().limitClients}) {
        EXPECT_EQ(lv->Count(), 4u);
        EXPECT_EQ(lv->Find("C99"), nullptr);
    }
    EXPECT_FALSE(d.desk.Lines("journal|99|99 is invalid account").empty());
    EXPECT_TRUE(d.desk.Lines("journal|70").empty()) << "no handler failed";
    EXPECT_NEAR(d.managers().Limit_Offset(2), 0.0020, 1e-12);
    EXPECT_TRUE(d.managers().Check_Visibility("GBPUSD", "91"));
    EXPECT_FALSE(d.managers().Check_Visibility("GBPUSD", "99"));

    // Fan-out: 70 (two sessions) and 80 ticked with amounts, 90 ticked with text, 91 not.
    auto& order = d.desk.stores().orderClients;
    for (const char* key : {"C70", "C80", "C90"}) order.Item(key).setChecked(true);
    order.Item("C70").setSubItems(1, "1");
    order.Item("C80").setSubItems(1, "0.5lots");
    order.Item("C90").setSubItems(1, "abc");
    d.desk.stores().cbsymbols.setText("GBPUSD");
    d.desk.soundAllowed = true;
    d.desk.Take();
    d.managers().BuyFunction();
    EXPECT_EQ(order.Item("C90").SubItems(2), "Invalid Lots");
    EXPECT_EQ(
        d.desk.Lines("sound|OrderOk.wav"),
        (Names{"sound|OrderOk.wav|played", "sound|OrderOk.wav|muted", "sound|OrderOk.wav|muted"}));
    ASSERT_TRUE(
        d.Wait([&] { return d.server().book().Requests(og::NEW_ORDER_TOKEN).size() >= 2; }));
    platform::EventLoop::RunUntil([] { return false; }, 200);
    const auto requests = d.server().book().Requests(og::NEW_ORDER_TOKEN);
    ASSERT_EQ(requests.size(), 2u);
    Names sent;
    for (const auto& r : requests) sent.push_back(r.user);
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, (Names{"ANN", "BEN"}));
    EXPECT_TRUE(d.Wait([&] { return d.desk.stores().lvwOpenPos.Count() >= 3; }));

    // Removing the current, logged-on session renumbers and re-picks the current one.
    d.desk.State().CurrentManager = ann;
    d.managers().Remove("C1");
    EXPECT_TRUE(ann->Released());
    EXPECT_EQ(d.managers().Item("C6"), annAgain);
    EXPECT_EQ(d.Cell("C1", 1), "BEN");
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), d.managers().Item("C1"));
    EXPECT_EQ(d.managers().Count(), 6);

    // Prices follow a logged-on session when the current one logs out.
    d.managers().Item("C1")->ClientAPIF()->Disconnect();
    EXPECT_EQ(CurrentManagerForPrices(d.desk.Services()), d.managers().Item("C2"));
    EXPECT_EQ(d.desk.State().CurrentManager.lock(), d.managers().Item("C2"));
}

// The entry pane's offset is the largest account's in pips, converted once: a
// negative offset never beats "none" (-1 pips), whatever the rows' order.
TEST(SessionsEndToEnd, TheEntryOffsetIsTheLargestInPipsConvertedOnce) {
    struct Case {
        double ann, ben, offset;
    };
    for (const Case c :
         {Case{-5, -3, -1}, Case{0, -5, 0}, Case{-5, 7, 0.0007}, Case{20, 10, 0.0020}}) {
        SCOPED_TRACE(std::to_string(c.ann) + "/" + std::to_string(c.ben));
        simserver::Book book = TestBook();
        book.FindClient(101)->params[2].limitOffset = c.ann;
        book.FindClient(102)->params[2].limitOffset = c.ben;
        DeskOnServer d(std::move(book));
        d.Add("ANN", "PW1", 70);
        d.Add("BEN", "PW2", 80);
        ASSERT_TRUE(d.Wait([&] { return d.Settled(2); }));
        EXPECT_NEAR(d.managers().Limit_Offset(2), c.offset, 1e-12);
        // No run list was ever written: the accounts are tradeable all the same.
        EXPECT_TRUE(d.desk.stores().orderClients.Find(OrderPaneRowKey(80)));
    }
}

// One walk finds both offsets: each is its own largest, whichever account gives it.
TEST(SessionsEndToEnd, TheEntryLimitAndStopOffsetsAreEachTheirOwnLargest) {
    simserver::Book book = TestBook();
    book.FindClient(101)->params[2].limitOffset = 20;
    book.FindClient(101)->params[2].stopOffset = 3;
    book.FindClient(102)->params[2].limitOffset = 10;
    book.FindClient(102)->params[2].stopOffset = 8;
    DeskOnServer d(std::move(book));
    d.Add("ANN", "PW1", 70);
    d.Add("BEN", "PW2", 80);
    ASSERT_TRUE(d.Wait([&] { return d.Settled(2); }));
    const CClientAPIManagers::EntryOffsets offsets = d.managers().Offsets(2);
    EXPECT_NEAR(offsets.limit, 0.0020, 1e-12);
    EXPECT_NEAR(offsets.stop, 0.0008, 1e-12);
    EXPECT_NEAR(d.managers().Stop_Offset(2), 0.0008, 1e-12);
}

// A symbol the current account does not see is priced by the first account that
// does; a symbol it sees stays its own to write.
TEST(SessionsEndToEnd, EverySymbolsQuoteReachesTheMarketWatchThroughOneWriter) {
    simserver::Book book = TestBook();
    for (simserver::User& u : book.users)
        if (u.name == "ANN") u.symbols = {1, 2};
    DeskOnServer d(std::move(book));
    ManagerPtr ann = d.Add("ANN", "PW1", 70);
    d.Add("BEN", "PW2", 80);
    ASSERT_TRUE(d.Wait([&] { return d.Settled(2); }));
    ASSERT_EQ(d.desk.State().CurrentManager.lock(), ann);
    ASSERT_EQ(ann->ClientAPIF()->SymbolByID(kBigSymbol), nullptr);
    auto& mw = d.desk.stores().lvmw;
    d.server().PushPrice(kBigSymbol, 1.2712, 1.2715);
    d.server().PushPrice(2, 1.0871, 1.0873);
    ASSERT_TRUE(d.Wait([&] {
        return mw.Item(MarketWatchKey(kBigSymbol)).SubItems(1) == "1.2712" &&
               mw.Item(MarketWatchKey(2)).SubItems(1) == "1.0871";
    })) << mw.Item(MarketWatchKey(kBigSymbol)).SubItems(1);
    EXPECT_EQ(PriceWriterFor(d.desk.Services(), 2), ann);
}

// The first login shows its quote times with the offsets a later login uses.
TEST(SessionsEndToEnd, TheFirstLoginsQuoteTimesUseTheServersOffset) {
    simserver::Book book = TestBook();
    book.gmtOffset = 5;
    book.serverGmt = 1;
    book.FindSymbol(2)->quoteTime = "09/12/2026 10:00:00";
    DeskOnServer d(std::move(book));
    d.Add("ANN", "PW1", 70);
    ASSERT_TRUE(d.Wait([&] { return d.Settled(1); }));
    const std::string shown = d.desk.stores().lvmw.Item(MarketWatchKey(2)).SubItems(5);
    d.managers().Item("C1")->LoadMWPprices();
    EXPECT_EQ(shown, d.desk.stores().lvmw.Item(MarketWatchKey(2)).SubItems(5));
}

// A server drop logs the session in again by itself, from clean views: what
// vanished meanwhile is gone. A DISCONNECT to one connection ends that session
// for good and no other; a re-routing push rewrites the server list.
TEST(SessionsEndToEnd, ADropLogsInAgainWithoutStaleRowsAndADisconnectEndsOnlyItsSession) {
    DeskOnServer d(TestBook(), true);
    WriteFile(d.home() / "savelvinfo.buf", "ANN,c1,70\r\n");
    ManagerPtr ann = d.Add("ANN", "PW1", 70);
    ManagerPtr ben = d.Add("BEN", "PW2", 80);
    const auto connected = d.home() / "saveconnected.buf";
    auto& views = d.desk.stores();
    ASSERT_TRUE(d.Wait([&] {
        return d.Settled(2) && views.lvwOpenPos.Find(PositionRowKey(70, 1001)) &&
               views.lvwPending.Find(PendingRowKey(70, 5001));
    }));
    EXPECT_EQ(d.desk.State().AmountDecimals, "1");  // no settings file

    d.desk.Take();
    d.desk.soundAllowed = true;
    d.server().PushTo(d.ConnectionOf("BEN"), og::DISCONNECT_TOKEN, {"3"});
    ASSERT_TRUE(d.Wait([&] { return d.Cell("C2", 2) == "Disconnected"; }));
    EXPECT_EQ(d.desk.Lines("message|"),
              Names{"message|Session Disconnected|account 80 Session disconnected"});
    EXPECT_EQ(d.desk.Lines("sound|"), Names{"sound|Disconnect.wav|played"});
    EXPECT_EQ(d.Cell("C1", 2), "Connected");

    auto& book = d.server().book();
    book.positions.clear();
    book.orders.clear();
    WriteFile(d.home() / "manage" / "settings.buf", "abc\r\n");
    d.desk.State().AmountDecimals = "5";
    // The re-login replaces the account's line in place of adding one.
    std::string before;
    for (const std::string& line : ReadLines(connected))
        before += (line == "ANN,c1,70" ? "ANN,before,70" : line) + "\r\n";
    WriteFile(connected, before);
    d.server().Drop(d.ConnectionOf("ANN"));
    ASSERT_TRUE(d.Wait([&] { return d.Cell("C1", 2) == "Disconnected"; }));
    d.desk.Take();
    ASSERT_TRUE(d.AdvanceUntil([&] {
        const Names now = ReadLines(connected);
        return now.size() == 2 && std::count(now.begin(), now.end(), "ANN,c1,70") == 1 &&
               d.Settled(1);
    }));
    EXPECT_EQ(d.Cell("C1", 2), "Connected");
    EXPECT_EQ(d.desk.State().AmountDecimals, "1");
    EXPECT_EQ(views.lvwOpenPos.Find(PositionRowKey(70, 1001)), nullptr);
    EXPECT_EQ(views.lvwPending.Find(PendingRowKey(70, 5001)), nullptr);
    // The account's old rows go before its new data arrive.
    const Names log = d.desk.Log();
    const auto refresh = std::find(log.begin(), log.end(), "mgeneral.RefreshNetPositions|False|70");
    const auto pending = std::find(log.begin(), log.end(), "pending.removeClientinfo|70");
    const auto updated = std::find(log.begin(), log.end(), "pending.Updateaccount");
    EXPECT_TRUE(refresh < pending && pending < updated && updated != log.end())
        << ::testing::PrintToString(log);
    // The disconnected session stays out: it never asked to log in again.
    EXPECT_EQ(d.Cell("C2", 2), "Disconnected");
    EXPECT_FALSE(ben->ClientAPIF()->LogedOn());
    size_t benLogins = 0;
    for (const auto& r : book.Requests(og::LOGIN_TOKEN)) benLogins += r.params.at(0) == "BEN";
    EXPECT_EQ(benLogins, 1u);
    EXPECT_TRUE(d.desk.Lines("journal").empty())
        << ::testing::PrintToString(d.desk.Lines("journal"));

    // Routed back to the address it started from, the session ends (see the client API).
    d.server().PushTo(d.ConnectionOf("ANN"), og::ROUT_SERVER_TOKEN, {"127.0.0.1"});
    ASSERT_TRUE(d.Wait([&] { return !d.desk.Lines("mgeneral.ReplaceInServerFile").empty(); }));
    EXPECT_EQ(d.desk.Lines("mgeneral.ReplaceInServerFile"),
              Names{"mgeneral.ReplaceInServerFile|127.0.0.1|127.0.0.1"});
}

// Eight accounts ticked with 0.1 each. One whose connection the server closes is
// logged in again by the desk and stays in the order, ticked with its amount;
// held logged off (its login refused), it is told in its row and the journal in
// place of its order, and the others still go.
TEST(SessionsEndToEnd, AnAccountLoggedInAgainStaysInTheOrderAndOneLoggedOffIsTold) {
    simserver::Book book = TestBook();
    book.AddTraders(8, "T", "pw", 20001);
    DeskOnServer d(std::move(book));
    WriteFile(d.home() / "savelvinfo.buf", "");
    ManagerPtr eighth;
    for (int32_t i = 1; i <= 8; ++i) eighth = d.Add("T" + std::to_string(i), "pw", 20000 + i);
    ASSERT_TRUE(d.Wait([&] { return d.Settled(8); }));
    auto& order = d.desk.stores().orderClients;
    for (size_t i = 1; i <= order.Count(); ++i) {
        order.Item(i).setChecked(true);
        order.Item(i).setSubItems(1, "0.1");
    }
    d.desk.stores().cbsymbols.setText("EURUSD");
    // The users the Buy's orders came from.
    auto buy = [&](size_t orders) {
        const size_t before = d.server().book().Requests(og::NEW_ORDER_TOKEN).size();
        d.desk.Take();
        d.desk.orderEnabled = false;
        d.managers().BuyFunction();
        EXPECT_TRUE(d.Wait([&] {
            return d.server().book().Requests(og::NEW_ORDER_TOKEN).size() >= before + orders;
        }));
        platform::EventLoop::RunUntil([] { return false; }, 200);
        const auto requests = d.server().book().Requests(og::NEW_ORDER_TOKEN);
        Names users;
        for (size_t i = before; i < requests.size(); ++i) users.push_back(requests[i].user);
        std::sort(users.begin(), users.end());
        return users;
    };

    d.desk.Take();
    d.server().DropUser("T8");
    ASSERT_TRUE(d.Wait([&] { return !d.desk.Lines("order.Add|20008").empty() && d.Settled(1); }));
    const platform::ListItem& row = order.Item(order.Count());
    EXPECT_EQ(row.Key(), "C20008");
    EXPECT_TRUE(row.Checked());
    EXPECT_EQ(row.SubItems(1), "0.1");
    EXPECT_EQ(buy(8), (Names{"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8"}));

    d.server().book().FindUser("T8")->loginsRefused = true;
    d.server().DropUser("T8");
    ASSERT_TRUE(d.Wait([&] { return !eighth->ClientAPIF()->LogedOn(); }));
    EXPECT_EQ(buy(7), (Names{"T1", "T2", "T3", "T4", "T5", "T6", "T7"}));
    EXPECT_EQ(order.Item("C20008").SubItems(2), kNotLoggedOn);
    EXPECT_EQ(d.desk.Lines("journal|20008"), Names{"journal|20008|" + kNotLoggedOn});
    EXPECT_TRUE(d.desk.Lines("note|").empty());
    EXPECT_FALSE(d.desk.orderEnabled);  // orders went out: the results enable it
}

// Three accounts, the third answering as a held request. Answered orders are not
// told, nor commands answered by an error ahead of an unanswered one; orders out
// when the server stops answering are, once per order, in the order's pane row
// and with the account in the log file, at the drop, a logout and a removal;
// nothing is resent.
TEST(SessionsEndToEnd, OrdersWhoseAnswerNeverCameAreToldOnceWhenTheConnectionEnds) {
    simserver::Book book = TestBook();
    book.AddTraders(3, "T", "pw", 20001);
    book.FindAccount(20003)->mode = simserver::AnswerMode::AcceptingAsPending();
    for (int32_t id : {41, 42}) {
        simserver::Order o;
        o.id = id, o.accountId = 20001, o.lots = 1, o.symbolId = 2, o.price = 1.0;
        book.AddOrder(o);
    }
    DeskOnServer d(std::move(book));
    WriteFile(d.home() / "savelvinfo.buf", "");
    std::vector<ManagerPtr> sessions;
    for (int32_t i = 0; i < 3; ++i)
        sessions.push_back(d.Add("T" + std::to_string(i + 1), "pw", 20001 + i));
    auto& order = d.desk.stores().orderClients;
    const Names keys = {"C20001", "C20002", "C20003"};
    auto buy = [&](size_t accounts) {
        for (size_t i = 0; i < keys.size(); ++i) {
            order.Item(keys[i]).setChecked(i < accounts);
            order.Item(keys[i]).setSubItems(1, "1");
        }
        d.desk.stores().cbsymbols.setText("EURUSD");
        d.desk.Take();
        d.managers().BuyFunction();
    };
    const std::string lost =
        "Market order [BUY 1 EURUSD]: no answer came before the connection closed; its result is "
        "not known; see Trade and Pending Order once the account is logged in again";
    auto told = [&] {
        Names lines = d.desk.Lines("journal|");
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    ASSERT_TRUE(d.Wait([&] { return d.Settled(3); }));
    buy(3);
    ASSERT_TRUE(d.Wait([&] { return d.desk.stores().lvwOpenPos.Count() == 3; }));
    ASSERT_TRUE(d.Wait([&] { return d.desk.Lines("journal|").size() == 6; }));

    // An entry cancel answered by an error and one answered, queued back to back
    // with orders the server leaves unanswered: the drop names the orders alone.
    auto& served = d.server().book();
    served.errorAnswers = {og::DELETE_LIMIT_ORDER_TOKEN};
    served.unanswered = {og::NEW_ORDER_TOKEN};
    ASSERT_EQ(sessions[0]->SendLimitOrderCancel("41"), OrbanexClientAPI10::SuccessResult);
    ASSERT_EQ(sessions[0]->SendLimitOrderCancel("42"), OrbanexClientAPI10::SuccessResult);
    buy(3);
    ASSERT_TRUE(d.Wait([&] {
        return served.Requests(og::NEW_ORDER_TOKEN).size() == 6 &&
               !d.desk.Lines("journal|20001|Order number #42 Canceled successfully").empty();
    }));
    served.unanswered.clear();
    d.desk.Take();
    d.server().DropAll();
    // The rows show "Disconnected" only until the at-once re-login: wait for the lines.
    ASSERT_TRUE(d.Wait([&] { return told().size() >= 3; }));
    EXPECT_EQ(told(),
              (Names{"journal|20001|" + lost, "journal|20002|" + lost, "journal|20003|" + lost}));
    for (const std::string& key : keys) EXPECT_EQ(order.Item(key).SubItems(2), lost) << key;
    // The log file keeps each line with its account, past the journal's window.
    auto logged = [&] {
        Names out;
        for (const std::string& line : ReadLines(d.home() / "logs" / "APIlog.txt")) {
            const size_t at = line.find(" : account ");
            if (at != std::string::npos) out.push_back(line.substr(at + 3));
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(logged(), (Names{"account 20001: " + lost, "account 20002: " + lost,
                               "account 20003: " + lost}));
    d.desk.Take();
    ASSERT_TRUE(d.Wait([&] { return d.Settled(3); }));
    EXPECT_EQ(order.Item("C20001").SubItems(2), "");  // the re-login's own row
    EXPECT_EQ(d.server().book().Requests(og::NEW_ORDER_TOKEN).size(), 6u);

    buy(2);
    sessions[0]->ClientAPIF()->Disconnect();
    d.managers().Remove("C2");
    ASSERT_TRUE(d.Wait([&] { return d.Cell("C1", 2) == "Disconnected"; }));
    EXPECT_EQ(told(), (Names{"journal|20001|" + lost, "journal|20002|" + lost}));
    EXPECT_TRUE(sessions[2]->Unanswered().empty());
    EXPECT_EQ(logged().size(), 5u);
}

// 200 traders: one market order per ticked, logged-on account with a row and its own
// lots; the symbol id passes above 32767; accounts without the symbol get code 5.
TEST(SessionsEndToEnd, AFanOutToTwoHundredAccountsSendsOneOrderPerQualifiedAccount) {
    constexpr int32_t kTraders = 200, kFirst = 20001;
    simserver::Book book = TestBook();
    book.AddTraders(kTraders, "T", "pw", kFirst);
    for (auto& user : book.users)
        if (user.clientId >= kFirst && (user.clientId - kFirst) % 10 == 9) user.symbols = {1, 2};
    DeskOnServer d(std::move(book));
    WriteFile(d.home() / "savelvinfo.buf", "");
    std::vector<ManagerPtr> sessions;
    for (int32_t i = 0; i < kTraders; ++i)
        sessions.push_back(d.Add("T" + std::to_string(i + 1), "pw", kFirst + i));
    ManagerPtr second = d.Add("T1", "pw", kFirst);  // the same account twice
    auto& order = d.desk.stores().orderClients;
    ASSERT_TRUE(d.Wait(
        [&] {
            return order.Count() == kTraders && d.Settled(kTraders + 1) &&
                   second->ClientAPIF()->LogedOn() &&
                   std::all_of(sessions.begin(), sessions.end(),
                               [](const ManagerPtr& s) { return s->ClientAPIF()->LogedOn(); });
        },
        kLoginStormWaitMs))
        << ::testing::PrintToString(d.desk.Lines("journal"));

    // Accounts i % 10: 0..6 ticked, 7 unticked, 8 logged out, 9 without GBPUSD (code 5);
    // account 3 loses its row.
    int32_t expected = 0;
    for (int32_t i = 0; i < kTraders; ++i) {
        auto& row = order.Item("C" + std::to_string(kFirst + i));
        row.setChecked(i % 10 != 7);
        row.setSubItems(1, std::to_string(i % 3 + 1));
        if (i % 10 == 8) sessions[i]->ClientAPIF()->Disconnect();
        if (i % 10 < 7 && i != 3) ++expected;
    }
    order.Remove("C" + std::to_string(kFirst + 3));
    d.desk.stores().cbsymbols.setText("GBPUSD");
    d.desk.soundAllowed = true;
    d.desk.orderEnabled = false;
    d.desk.Take();
    d.managers().BuyFunction();

    EXPECT_EQ(d.desk.Lines("sound|OrderOk.wav|played").size(), 1u);
    EXPECT_EQ(d.desk.Lines("note|").size(), 0u);
    EXPECT_FALSE(d.desk.orderEnabled);  // orders went out: the results enable it
    for (int32_t i = 9; i < kTraders; i += 10)
        EXPECT_EQ(order.Item("C" + std::to_string(kFirst + i)).SubItemForeColor(2), 255);
    // Only the logged-out accounts are journaled, each also told in its row.
    Names told = d.desk.Lines("journal"), loggedOut;
    for (int32_t i = 8; i < kTraders; i += 10) {
        const std::string account = std::to_string(kFirst + i);
        loggedOut.push_back("journal|" + account + "|" + kNotLoggedOn);
        EXPECT_EQ(order.Item("C" + account).SubItems(2), kNotLoggedOn);
    }
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, loggedOut);
    ASSERT_TRUE(d.Wait([&] {
        return d.server().book().Requests(og::NEW_ORDER_TOKEN).size() >= size_t(expected);
    }));
    ASSERT_TRUE(d.Wait([&] { return d.desk.stores().lvwOpenPos.Count() >= size_t(expected); }));
    const auto requests = d.server().book().Requests(og::NEW_ORDER_TOKEN);
    EXPECT_EQ(requests.size(), size_t(expected));
    std::vector<std::string> users;
    for (const auto& r : requests) {
        users.push_back(r.user);
        EXPECT_NE(std::find(r.params.begin(), r.params.end(), "40000"), r.params.end())
            << ::testing::PrintToString(r.params);
    }
    std::sort(users.begin(), users.end());
    EXPECT_EQ(std::unique(users.begin(), users.end()), users.end());
}

// A failure for one account in a fan-out is journaled and shown in its result
// cell; the accounts after it still get their orders.
TEST(SessionsEndToEnd, AFailureForOneAccountInAFanOutIsReportedAndTheRestGoOn) {
    // The order-sound call of the second account fails.
    struct FailingSound : ISound {
        ISound* inner = nullptr;
        int32_t calls = -1;  // counting from the fan-out on
        void PlayWave(const std::string& FileName) override {
            if (calls >= 0 && ++calls == 2)
                throw runtime::Error(runtime::errc::InvalidProcedureCall);
            inner->PlayWave(FileName);
        }
    } sound;
    simserver::Book book = TestBook();
    book.AddTraders(3, "T", "pw", 20001);
    DeskOnServer d(std::move(book));
    WriteFile(d.home() / "savelvinfo.buf", "");
    sound.inner = d.desk.Ports().Sound;
    DeskPorts ports = d.desk.Ports();
    ports.Sound = &sound;
    DeskServices services(ports, CClientAPIManagers::Factory());
    auto& managers = *services.Managers();
    for (int32_t i = 0; i < 3; ++i)
        managers.Add("127.0.0.1", d.server().Port(), "T" + std::to_string(i + 1), "pw", true,
                     20001 + i);
    auto& order = d.desk.stores().orderClients;
    ASSERT_TRUE(d.Wait([&] { return d.Settled(3); }));
    for (size_t i = 1; i <= 3; ++i) {
        order.Item(i).setChecked(true);
        order.Item(i).setSubItems(1, "1");
    }
    d.desk.stores().cbsymbols.setText("EURUSD");
    d.desk.orderEnabled = false;
    d.desk.Take();
    sound.calls = 0;
    managers.BuyFunction();

    const std::string failure = "BuyFunction failed: Invalid procedure call or argument";
    EXPECT_EQ(d.desk.Lines("journal"), Names{"journal|20002|" + failure});
    EXPECT_EQ(order.Item("C20002").SubItems(2), failure);
    EXPECT_EQ(d.desk.Lines("sound|OrderOk.wav").size(), 2u);
    EXPECT_FALSE(d.desk.orderEnabled);
    ASSERT_TRUE(
        d.Wait([&] { return d.server().book().Requests(og::NEW_ORDER_TOKEN).size() == 3; }));
}

}  // namespace
