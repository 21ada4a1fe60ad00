// The simulated trading server alone, driven by bare connection sessions on
// loopback: logins, the request log, the answers of the login road as the
// client reads them, list and unknown requests, market orders in every answer
// mode with their pushes, closes and pending orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "connection/CKVClient.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "runtime/Clock.h"
#include "simserver/Server.h"
#include "tests/support/KVClientProbe.h"

namespace {

namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using simserver::AnswerMode;

constexpr int32_t kWaitMs = 5000;

// Every time text, as "<time>": for answers that carry the server's clock.
std::string Masked(const std::string& line) {
    static constexpr std::string_view kShape = "00/00/0000 00:00:00";
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        bool fits = line.size() - i >= kShape.size();
        for (size_t k = 0; fits && k < kShape.size(); ++k) {
            const char c = line[i + k];
            fits = kShape[k] == '0' ? c >= '0' && c <= '9' : c == kShape[k];
        }
        if (fits) {
            out += "<time>";
            i += kShape.size();
        } else {
            out += line[i++];
        }
    }
    return out;
}

Lines Masked(const Lines& lines) {
    Lines out;
    for (const auto& l : lines) out.push_back(Masked(l));
    return out;
}

// Only the server's own time `now` as "<time>": a time in any other zone stays visible.
Lines MaskedNow(Lines lines, const std::string& now) {
    for (auto& l : lines) {
        for (size_t at = l.find(now); at != std::string::npos; at = l.find(now, at)) {
            l.replace(at, now.size(), "<time>");
        }
    }
    return lines;
}

// One connection session logged in as a user, with its answers and pushes
// recorded in order.
class Session {
public:
    Session(int32_t port, const std::string& user, const std::string& password)
        : client(std::make_unique<KVClientDLL10::CKVClient>()) {
        client->setTokens(std::make_shared<og::CTokens>());
        client->setServerAddress("127.0.0.1");
        client->setServerPort(port);
        client->setLoginUN(user);
        client->setLoginPW(password);
        client->setLoginType("CLIENTAPI");
        client->LoggedOn.Connect(
            [this](int32_t id) { raw.push_back("LoggedOn(" + std::to_string(id) + ")"); });
        client->InvalidUsernamePassword.Connect(
            [this] { raw.push_back("InvalidUsernamePassword"); });
        client->ServerTime.Connect([this](const std::string& at) { times.push_back(at); });
        client->DataRecieved.Connect(
            [this](int16_t token, int16_t n, const std::vector<std::string>& values) {
                if (token == og::CONNECT_HANDCHAKE_TOKEN) return;
                std::string line =
                    "DataRecieved(" + std::to_string(token) + ", " + std::to_string(n) + ":";
                for (size_t i = 1; i < values.size(); ++i) line += (i > 1 ? "|" : " ") + values[i];
                raw.push_back(line + ")");
            });
        object = std::make_shared<testsupport::RecordingObject>(
            "",
            std::set<int16_t>{102, 103, 104, 106, 107, 108, 109, 110, 111, 113, 115, 117, 121, 132,
                              224, 306, 307, 313, 314},
            &raw);
        client->AddClientServerObject(object);
    }

    // Sends one request and waits until `lines` more lines have come.
    Lines Ask(int16_t token, std::vector<std::string> params, size_t lines = 1) {
        const size_t from = raw.size();
        object->Request(token, std::move(params));
        platform::EventLoop::RunUntil([&] { return raw.size() >= from + lines; }, kWaitMs);
        // Anything more that is on its way arrives too.
        platform::EventLoop::RunFor(50);
        return Lines(raw.begin() + static_cast<std::ptrdiff_t>(from), raw.end());
    }

    std::unique_ptr<KVClientDLL10::CKVClient> client;
    std::shared_ptr<testsupport::RecordingObject> object;
    Lines raw;
    Lines times;  // the server's time messages
};

class SimServer : public ::testing::Test {
protected:
    SimServer() {
        simserver::Book& b = server.book();
        b.handshakeMs = 3000;
        simserver::Symbol usd;
        usd.id = 1;
        usd.name = "USD";
        usd.used = false;
        usd.bid = usd.ask = usd.high = usd.low = 1;
        usd.contractSize = 1;
        usd.quoteTime = "01/12/2026 10:00:00";
        b.AddSymbol(usd);
        simserver::Symbol eur;
        eur.id = 2;
        eur.name = "EURUSD";
        eur.bid = 1.085;
        eur.ask = 1.0852;
        eur.high = 1.09;
        eur.low = 1.08;
        eur.quoteTime = "01/12/2026 10:00:01";
        b.AddSymbol(eur);

        simserver::Client anna;
        anna.id = 101;
        anna.firstName = "Anna";
        anna.lastName = "Smith";
        anna.userName = "ANNA";
        anna.params[2].minLots = 0.01;
        b.AddClient(anna);
        simserver::Client ben;
        ben.id = 102;
        ben.userName = "BEN";
        b.AddClient(ben);

        const AnswerMode modes[] = {AnswerMode::Accepting(), AnswerMode::Requoting(4),
                                    AnswerMode::RejectingWithStatus(21),
                                    AnswerMode::RejectingWithRet(-2)};
        int32_t id = 1001;
        for (const AnswerMode& mode : modes) {
            simserver::Account a;
            a.id = id++;
            a.clientId = 101;
            a.initialMargin = 5000;
            a.openDate = "01/12/2026 08:00:00";
            a.figures = {1.5, 2.5, 300, 40, 10000, 500, 7};
            a.mode = mode;
            b.AddAccount(a);
        }
        simserver::Account benAccount;
        benAccount.id = 2001;
        benAccount.clientId = 102;
        benAccount.locked = true;
        b.AddAccount(benAccount);

        simserver::User u;
        u.name = "ANNA";
        u.password = "ONE";
        u.clientId = 101;
        b.AddUser(u);  // id 77
        u.name = "BEN";
        u.password = "TWO";
        u.clientId = 102;
        b.AddUser(u);  // id 78

        simserver::Position p;
        p.accountId = 1001;
        p.time = "02/12/2026 09:30:00";
        p.lots = 0.5;
        p.symbolId = 2;
        p.price = 1.08;
        b.AddPosition(p);  // ticket 1001
        p.side = -1;
        p.lots = 1;
        p.price = 1.09;
        b.AddPosition(p);  // ticket 1002
        simserver::Order o;
        o.accountId = 1001;
        o.time = "02/12/2026 09:31:00";
        o.side = 1;
        o.lots = 0.3;
        o.symbolId = 2;
        o.price = 1.07;
        b.AddOrder(o);  // 5001

        server.Listen("127.0.0.1", 0);
    }

    std::unique_ptr<Session> LoggedIn(const std::string& user, const std::string& password) {
        auto s = std::make_unique<Session>(server.Port(), user, password);
        s->client->Login();
        const bool ok =
            platform::EventLoop::RunUntil([&] { return s->client->LogedOn(); }, kWaitMs);
        EXPECT_TRUE(ok) << user << " did not log in";
        s->raw.clear();
        return s;
    }

    // The client's timers stand still; the server's run on the real loop.
    platform::ScopedVirtualTime time;
    simserver::Server server;
};

TEST_F(SimServer, LogsInTwoUsersRefusesAWrongPasswordAndLogsWhoAskedWhat) {
    Session anna(server.Port(), "ANNA", "ONE");
    Session ben(server.Port(), "BEN", "TWO");
    Session intruder(server.Port(), "BEN", "WRONG");
    anna.client->Login();
    ben.client->Login();
    intruder.client->Login();
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return anna.raw.size() + ben.raw.size() + intruder.raw.size() >= 3; }, kWaitMs));
    EXPECT_EQ(anna.raw, Lines{"LoggedOn(77)"});
    EXPECT_EQ(ben.raw, Lines{"LoggedOn(78)"});
    EXPECT_EQ(intruder.raw, Lines{"InvalidUsernamePassword"});
    EXPECT_EQ(server.Sessions(), 2u);

    // Each user sees its own client tree.
    anna.raw.clear();
    ben.raw.clear();
    EXPECT_EQ(anna.Ask(og::GET_PRIVS_TOKEN, {"77", "CLIENT"}), Lines{"OneRow(132, 2: 5,8|101)"});
    EXPECT_EQ(ben.Ask(og::GET_PRIVS_TOKEN, {"78", "CLIENT"}), Lines{"OneRow(132, 2: 5,8|102)"});

    std::multiset<std::string> logins;
    for (const auto& r : server.book().Requests(og::LOGIN_TOKEN)) {
        logins.insert(r.user + ":" + r.params.at(0) + "/" + r.params.at(1) + "/" + r.params.at(2));
    }
    EXPECT_EQ(logins, (std::multiset<std::string>{":ANNA/ONE/CLIENTAPI", ":BEN/TWO/CLIENTAPI",
                                                  ":BEN/WRONG/CLIENTAPI"}));
    const auto privs = server.book().Requests(og::GET_PRIVS_TOKEN);
    ASSERT_EQ(privs.size(), 2u);
    EXPECT_EQ(privs[0].user, "ANNA");
    EXPECT_EQ(privs[0].params, (Lines{"77", "CLIENT"}));
    EXPECT_EQ(privs[1].user, "BEN");
    EXPECT_NE(privs[0].connection, privs[1].connection);
}

TEST_F(SimServer, AnswersTheLoginRoadAsTheClientReadsIt) {
    auto s = LoggedIn("ANNA", "ONE");
    // The user's first re-quoting account sets the countdown (4 s).
    EXPECT_EQ(Masked(s->Ask(og::GET_VARIABLES_TOKEN, {"CLIENTAPI", "77"})),
              Lines{"OneRow(306, 7: 10,2,3|0,1,4,2,0,0,0,,2|<time>|2|3|0|0)"});
    EXPECT_EQ(s->Ask(og::GET_ALL_SYMBOLS_TOKEN, {"101", "CLIENT", "77"}),
              Lines{"Rows(104, 2x34: "
                    "1,USD,1,-4,1,0,1,1,01/12/2026 10:00:00,1,1,1,1,1,1,,,,,,,,0,,,,1,0,,,,,,|"
                    "2,EURUSD,1,-4,1,1,1.0852,1.085,01/12/2026 10:00:01,1.09,1.08,100000,1,1,1,"
                    ",,,,,,,0,,,,1,0,,,,,,)"});
    EXPECT_EQ(s->Ask(og::GET_CLIENTS_TOKEN, {"101"}),
              Lines{"Rows(313, 1x12: 101,,,,,0,Anna,,,Smith,1,ANNA)"});
    EXPECT_EQ(s->Ask(og::GET_ACCOUNTS2_TOKEN, {"101"}),
              Lines{"Rows(314, 4x6: 101,1001,1,0,,0|101,1002,1,0,,0|101,1003,1,0,,0|"
                    "101,1004,1,0,,0)"});
    EXPECT_EQ(s->Ask(og::START_MARKET_TOKEN, {}), Lines{"OneRow(103, 1: 1)"});
    EXPECT_EQ(s->Ask(og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN, {"101", "1001"}),
              Lines{"OneRow(224, 8: 1|101|1001|5000|01/12/2026 08:00:00|0|0|"
                    "1,2,0,5,5,0,100,0.1,2,2,0,5,5,0,100,0.01)"});
    EXPECT_EQ(s->Ask(og::GET_SUMMARIES_TOKEN, {"101", "1001"}),
              Lines{"OneRow(106, 8: 1|1.5|2.5|300|40|10000|500|7)"});
    EXPECT_EQ(s->Ask(og::GETOPENPOS_TOKEN, {"101", "1001"}),
              Lines{"Rows(102, 2x16: "
                    "101,1001,1001,02/12/2026 09:30:00,Buy,0.5,2,1.08,,,0,0.5,EURUSD,0,,|"
                    "101,1001,1002,02/12/2026 09:30:00,Sell,1,2,1.09,,,0,1,EURUSD,0,,)"});
    EXPECT_EQ(s->Ask(og::GET_PENDING_ORDERS_TOKEN, {"101", "1001"}),
              Lines{"Rows(111, 1x12: 5001,02/12/2026 09:31:00,1,0.3,2,1.07,LO,0,,,1,)"});
    // No rows where there are none, and nothing of another user's account.
    EXPECT_EQ(s->Ask(og::GETOPENPOS_TOKEN, {"101", "1002"}), Lines{"NoRows(102, 0x0)"});
    EXPECT_EQ(s->Ask(og::GETOPENPOS_TOKEN, {"102", "2001"}), Lines{"NoRows(102, 0x0)"});

    const Lines road = {"306", "104", "313", "314", "103", "224", "106", "102", "111"};
    Lines logged;
    for (const auto& r : server.book().log) {
        if (r.token != og::LOGIN_TOKEN) logged.push_back(std::to_string(r.token));
    }
    logged.resize(road.size());
    EXPECT_EQ(logged, road);
}

TEST_F(SimServer, AnswersListsEmptyUnknownRequestsEmptyAndNoAnswerWhereNoneIsExpected) {
    auto s = LoggedIn("ANNA", "ONE");
    EXPECT_EQ(s->Ask(og::GET_ACCOUNT_HISTORY_TOKEN, {"101", "1001", "", "0", "", ""}),
              Lines{"NoRows(121, 0x0)"});
    EXPECT_EQ(s->Ask(og::GET_ALL_SUMMARIES_TOKEN, {"x"}), Lines{"OneRow(307, 0:)"});
    // Amounts that are no usable number open nothing.
    for (const char* lots : {"1e999", "-1", "x"}) {
        EXPECT_EQ(Masked(s->Ask(og::NEW_ORDER_TOKEN, {"101", "1001", "2", "1", lots, "1.0852", "77",
                                                      "0", "t", "q", "T", ""})),
                  Lines{"OneRow(107, 8: -50|1|<time>|" + std::string(lots) + "|1|1.0852|2|T)"});
    }
    EXPECT_EQ(server.book().positions.size(), 2u);
    // 205 gets nothing: the next request's answer is the first and only one.
    s->client->Send(og::DISCONNECT_SESSION_TOKEN, {"2", "78"});
    EXPECT_EQ(s->Ask(og::START_MARKET_TOKEN, {}), Lines{"OneRow(103, 1: 1)"});
    EXPECT_EQ(server.book().Requests(og::DISCONNECT_SESSION_TOKEN).size(), 1u);

    // A garbled message is logged and answered, so a client's queue moves on.
    platform::TcpSocket raw;
    std::string got;
    raw.OnState.Connect([&] {
        if (raw.State() == platform::TcpSocket::kStateConnected) raw.Send("garbage+3!");
    });
    raw.OnReceive.Connect([&] {
        std::string chunk;
        raw.Receive(chunk);
        got += chunk;
    });
    raw.Connect("127.0.0.1", server.Port());
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return got.size() >= 3; }, kWaitMs));
    EXPECT_EQ(got, std::string(og::TokenWord(og::RESULT_TOKEN)) + "s?<+3!");
    EXPECT_EQ(server.book().log.back().token, 0);
}

TEST_F(SimServer, WalksQuotesToSessionsThatStartedTheMarketUntilStoppedAndDropsConnections) {
    auto watching = LoggedIn("ANNA", "ONE");
    auto idle = LoggedIn("BEN", "TWO");
    watching->Ask(og::START_MARKET_TOKEN, {});
    watching->raw.clear();
    server.StartQuotes(20, 7);
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return watching->raw.size() >= 2; }, kWaitMs));
    server.StopQuotes();
    platform::EventLoop::RunFor(60);
    const size_t seen = watching->raw.size();
    // Only EURUSD quotes (the account currency never moves), a tenth of a pip
    // grid, the spread kept; new highs or lows follow as 276.
    const std::string head = "DataRecieved(243, 1: <time>,2,";
    for (const auto& line : Masked(watching->raw)) {
        if (line.rfind("DataRecieved(276", 0) == 0) continue;
        ASSERT_EQ(line.rfind(head, 0), 0u) << line;
        const std::string prices = line.substr(head.size(), line.size() - head.size() - 1);
        const size_t comma = prices.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        const std::string bid = prices.substr(0, comma);
        EXPECT_NEAR(std::stod(prices.substr(comma + 1)) - std::stod(bid), 0.0002, 1e-9) << line;
        EXPECT_LE(bid.size(), 7u) << line;  // 1.0xxxx
        EXPECT_NEAR(std::stod(bid), 1.085, 0.001) << line;
    }
    EXPECT_TRUE(idle->raw.empty());
    platform::EventLoop::RunFor(60);
    EXPECT_EQ(watching->raw.size(), seen);

    watching->raw.clear();
    server.PushPrice(2, 1.1, 1.1002);
    server.PushSummaries(1001);
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return watching->raw.size() >= 2; }, kWaitMs));
    EXPECT_EQ(Masked(watching->raw),
              (Lines{"DataRecieved(243, 1: <time>,2,1.1,1.1002)",
                     "DataRecieved(250, 10: 101|1001|1.5|2.5|300|40|10000|500|7|0)"}));
    EXPECT_TRUE(idle->raw.empty());

    server.DropAll();
    EXPECT_EQ(server.Sessions(), 0u);
    EXPECT_TRUE(platform::EventLoop::RunUntil(
        [&] { return !watching->client->LogedOn() && !idle->client->LogedOn(); }, kWaitMs));
}

struct OrderCase {
    const char* what;
    int32_t account;
    int16_t followUp;  // 0, or the client's answer to a re-quote
    Lines expected;
    std::optional<AnswerMode> mode = std::nullopt;  // set on the account first
};

TEST_F(SimServer, AnswersAMarketOrderInEachModeWithItsPushes) {
    // The clock stands still, so every time the server writes here is this one;
    // no machine's zone is 15 hours east of Greenwich, so no local time passes for it.
    runtime::ScopedClock clock(std::make_shared<runtime::FixedClock>(runtime::Now()));
    server.book().serverGmt = 15;
    const std::string now = simserver::NowTextAt(server.book().serverGmt);
    auto s = LoggedIn("ANNA", "ONE");
    const std::string opened =
        "101R,@1001R,@1003R,@<time>R,@BuyR,@0.5R,@2R,@1.0852R,@R,@R,@0R,@"
        "0.5R,@EURUSDR,@0R,@R,@";
    const std::vector<OrderCase> cases = {
        {"accepted",
         1001,
         0,
         {"OneRow(107, 8: 5002|1|<time>|0.5|1|1.0852|2|T1)",
          "DataRecieved(245, 1: 101R,@1001R,@1R,@5002R,@20R,@1003R,@0R,@<time>R,@1.0852R,@"
          "1.0852R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "DataRecieved(253, 3: 101|1001|" + opened + ")",
          "DataRecieved(250, 10: 101|1001|1.5|2.5|300|40|10000|500|7|0)"}},
        {"re-quoted three pips up, then accepted",
         1002,
         og::ACCEPT_ORDER_TOKEN,
         {"OneRow(107, 8: 5003|2|<time>|0.5|1|1.0852|2|T2)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5003R,@30R,@0R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "OneRow(108, 11: 5003|1004|1.0855|<time>|1|0.5|2|OP|1004|101|1002)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5003R,@20R,@1004R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "DataRecieved(253, 3: 101|1002|101R,@1002R,@1004R,@<time>R,@BuyR,@0.5R,@2R,@1.0855R,@"
          "R,@R,@0R,@0.5R,@EURUSDR,@0R,@R,@)",
          "DataRecieved(250, 10: 101|1002|1.5|2.5|300|40|10000|500|7|0)"}},
        {"re-quoted, then rejected",
         1002,
         og::REJECT_ORDER_TOKEN,
         {"OneRow(107, 8: 5004|2|<time>|0.5|1|1.0852|2|T3)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5004R,@30R,@0R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "OneRow(109, 1: 5004)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5004R,@45R,@0R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)"}},
        {"re-quoted, then expired",
         1002,
         og::TIMER_EXPIRED_TOKEN,
         {"OneRow(107, 8: 5005|2|<time>|0.5|1|1.0852|2|T4)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5005R,@30R,@0R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "OneRow(110, 1: 5005)",
          "DataRecieved(245, 1: 101R,@1002R,@1R,@5005R,@44R,@0R,@0R,@<time>R,@1.0855R,@"
          "1.0855R,@0.5R,@2R,@1.0852R,@1.0852R,@1)"}},
        // Refused after the answer: so the answer says held, not executed.
        {"rejected with a status",
         1003,
         0,
         {"OneRow(107, 8: 5006|2|<time>|0.5|1|1.0852|2|T5)",
          "DataRecieved(245, 1: 101R,@1003R,@1R,@5006R,@21R,@0R,@0R,@<time>R,@1.0852R,@"
          "1.0852R,@0.5R,@2R,@1.0852R,@1.0852R,@1)"}},
        {"rejected with a code", 1004, 0, {"OneRow(107, 8: -2|1|<time>|0.5|1|1.0852|2|T6)"}},
        {"accepted as pending",
         1001,
         0,
         {"OneRow(107, 8: 5007|2|<time>|0.5|1|1.0852|2|T7)",
          "DataRecieved(245, 1: 101R,@1001R,@1R,@5007R,@20R,@1005R,@0R,@<time>R,@1.0852R,@"
          "1.0852R,@0.5R,@2R,@1.0852R,@1.0852R,@1)",
          "DataRecieved(253, 3: 101|1001|101R,@1001R,@1005R,@<time>R,@BuyR,@0.5R,@2R,@1.0852R,@"
          "R,@R,@0R,@0.5R,@EURUSDR,@0R,@R,@)",
          "DataRecieved(250, 10: 101|1001|1.5|2.5|300|40|10000|500|7|0)"},
         AnswerMode::AcceptingAsPending()},
    };
    int tag = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string account = std::to_string(c.account);
        if (c.mode) server.book().FindAccount(c.account)->mode = *c.mode;
        Lines got = MaskedNow(s->Ask(og::NEW_ORDER_TOKEN,
                                     {"101", account, "2", "1", "0.5", "1.0852", "77", "1000.25",
                                      "t", "q", "T" + std::to_string(++tag), "note"},
                                     c.followUp ? 2 : c.expected.size()),
                              now);
        if (c.followUp) {
            const Lines more =
                MaskedNow(s->Ask(c.followUp, {"101", account, got[0].substr(15, 4), "1.0855", "77"},
                                 c.expected.size() - got.size()),
                          now);
            got.insert(got.end(), more.begin(), more.end());
        }
        EXPECT_EQ(got, c.expected);
    }
    // An answered re-quote is gone: accepting it again opens nothing.
    EXPECT_EQ(Masked(s->Ask(og::ACCEPT_ORDER_TOKEN, {"101", "1002", "5003", "1.0855", "77"})),
              Lines{"OneRow(108, 11: 5003|0|0|<time>|0|0|0|OP|0|101|1002)"});
    EXPECT_EQ(server.book().positions.size(), 5u);
    EXPECT_EQ(server.book().Requests(og::NEW_ORDER_TOKEN).at(0).params.at(10), "T1");
}

TEST_F(SimServer, ClosesInOneRequestAndKeepsPendingOrdersWithTheirTags) {
    auto s = LoggedIn("ANNA", "ONE");
    EXPECT_EQ(
        Masked(s->Ask(og::CLOSE_POS_ORDER_TOKEN,
                      {"101", "1001", "1001,1002", "2,2", "1.085,1.0852", "1,1", "0.5,0.4", "77",
                       "1000", "0", "t", "q,q", "C1"},
                      5)),
        (Lines{"OneRow(113, 11: 5002|1|<time>|101|1001|1001|0.5|-1|1.085|2|C1)",
               "DataRecieved(256, 7: 101|1001|1003|1001||"
               "1001R,@<time>R,@1R,@2R,@0.5R,@1R,@<time>R,@1.08R,@R,@0R,@0R,@0R,@0R,@1R,@R,@"
               "EURUSDR,@R,@|"
               "1003R,@<time>R,@2R,@2R,@0.5R,@-1R,@<time>R,@1.08R,@1.085R,@0R,@0R,@0R,@0R,@1R,@"
               "250R,@EURUSDR,@R,@)",
               "DataRecieved(250, 10: 101|1001|1.5|2.5|300|290|10000|500|7|0)",
               "DataRecieved(256, 7: 101|1001|1004|1002|"
               "101R,@1001R,@1002R,@<time>R,@SellR,@0.6R,@2R,@1.09R,@R,@R,@0R,@0.6R,@EURUSDR,@0R,@"
               "R,@|"
               "1002R,@<time>R,@1R,@2R,@0.4R,@-1R,@<time>R,@1.09R,@R,@0R,@0R,@0R,@0R,@1R,@R,@"
               "EURUSDR,@R,@|"
               "1004R,@<time>R,@2R,@2R,@0.4R,@1R,@<time>R,@1.09R,@1.0852R,@0R,@0R,@0R,@0R,@1R,@"
               "192R,@EURUSDR,@R,@)",
               "DataRecieved(250, 10: 101|1001|1.5|2.5|300|482|10000|500|7|0)"}));
    // An unknown ticket closes nothing.
    EXPECT_EQ(Masked(s->Ask(og::CLOSE_POS_ORDER_TOKEN, {"101", "1001", "1001", "2", "1.085", "1",
                                                        "0.1", "77", "0", "0", "t", "q", "C2"})),
              Lines{"OneRow(113, 11: -10|1|<time>|101|1001|1001|0|0|0|0|C2)"});

    EXPECT_EQ(Masked(s->Ask(og::NEW_LIMIT_ORDER_TOKEN,
                            {"101", "1001", "2", "0.2", "1.06", "1", "1.05", "", "2", "77", "0",
                             "t", "q", "L1", "note"},
                            2)),
              (Lines{"OneRow(115, 3: 5003|<time>|L1)",
                     "DataRecieved(259, 3: 101|1001|5003R,@<time>R,@1R,@0.2R,@2R,@1.06R,@LOR,@0R,@"
                     "1.05R,@R,@1R,@)"}));
    EXPECT_EQ(
        s->Ask(og::DELETE_LIMIT_ORDER_TOKEN, {"101", "1001", "5001,5003", "2", "77", "0", "D1"}, 3),
        (Lines{"OneRow(117, 3: 1|5001,5003|D1)", "DataRecieved(260, 3: 101|1001|5001)",
               "DataRecieved(260, 3: 101|1001|5003)"}));
    EXPECT_TRUE(server.book().orders.empty());
}

// One account's day: margin and commission in its figures, a refusal for lack of
// money, a close held for the dealer, an entry order and a take-profit reached by
// quotes, and the server's time.
TEST_F(SimServer, ModelsTheAccountHoldsClosesFillsReachedOrdersAndTellsTheTime) {
    simserver::Book& b = server.book();
    b.FindSymbol(2)->marginPerLot = 1000;
    b.FindClient(101)->params[2].commission = 4;
    b.FindAccount(1001)->figures = {0, 0, 0, 0, 3000, 0, 0};
    b.FindAccount(1002)->mode.dealerMs = 100;
    b.timeMs = 100;
    auto s = LoggedIn("ANNA", "ONE");
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return s->times.size() >= 2; }, kWaitMs));
    EXPECT_EQ(Masked(s->times[0]), "<time>");

    // 1.5 lots held (1500), 730 floating: 2230 free takes 2 lots and their
    // commission (2008), not half a lot more.
    EXPECT_EQ(s->Ask(og::GET_SUMMARIES_TOKEN, {"101", "1001"}),
              Lines{"OneRow(106, 8: 1|0|0|-1500|0|3000|0|0)"});
    const Lines opened =
        Masked(s->Ask(og::NEW_ORDER_TOKEN,
                      {"101", "1001", "2", "1", "2", "1.0852", "77", "0", "t", "q", "M1", ""}, 4));
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[3], "DataRecieved(250, 10: 101|1001|-8|0|-3500|0|3000|0|0|0)");
    EXPECT_EQ(Masked(s->Ask(og::NEW_ORDER_TOKEN, {"101", "1001", "2", "1", "0.5", "1.0852", "77",
                                                  "0", "t", "q", "M2", ""})),
              Lines{"OneRow(107, 8: -2|1|<time>|0.5|1|1.0852|2|M2)"});

    // A close in dealer mode: held, then accepted with the position's ticket
    // in the opening cell, closed, and its profit in the figures.
    simserver::Position p;
    p.accountId = 1002, p.lots = 1, p.symbolId = 2, p.price = 1.08;
    const int32_t ticket = b.AddPosition(p);
    const std::string t = std::to_string(ticket);
    const Lines held = Masked(
        s->Ask(og::CLOSE_POS_ORDER_TOKEN,
               {"101", "1002", t, "2", "1.085", "1", "1", "77", "0", "0", "t", "q", "C1"}, 4));
    ASSERT_EQ(held.size(), 4u);
    EXPECT_EQ(held[0], "OneRow(113, 11: 5003|2|<time>|101|1002|" + t + "|1|-1|1.085|2|C1)");
    EXPECT_EQ(held[1], "DataRecieved(245, 1: 101R,@1002R,@1R,@5003R,@19R,@" + t + "R,@" + t +
                           "R,@<time>R,@1.085R,@1.085R,@1R,@2R,@1.085R,@1.085R,@-1)");
    EXPECT_EQ(held[2].rfind("DataRecieved(256, 7: 101|1002|", 0), 0u) << held[2];
    EXPECT_EQ(held[3], "DataRecieved(250, 10: 101|1002|1.5|2.5|300|540|10000|500|7|0)");

    // A buy limit fills once the ask comes down to it, its levels on an SL/TP
    // order of the new position; its take-profit closes the position once the
    // bid reaches that.
    s->Ask(og::START_MARKET_TOKEN, {});
    const Lines limit = s->Ask(og::NEW_LIMIT_ORDER_TOKEN,
                               {"101", "1002", "2", "0.5", "1.084", "1", "1.07", "1.0900", "2",
                                "77", "0", "t", "q", "L1", ""},
                               2);
    const std::string order = limit.at(0).substr(15, 4);
    s->raw.clear();
    server.PushPrice(2, 1.0838, 1.084);
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return s->raw.size() >= 6; }, kWaitMs));
    const std::string next = std::to_string(b.nextTicket - 1);
    EXPECT_EQ(Masked(s->raw),
              (Lines{"DataRecieved(243, 1: <time>,2,1.0838,1.084)",
                     "DataRecieved(245, 1: 101R,@1002R,@2R,@" + order + "R,@5R,@" + next +
                         "R,@0R,@<time>R,@1.084R,@1.084R,@0.5R,@2R,@1.084R,@1.084R,@1)",
                     "DataRecieved(260, 3: 101|1002|" + order + ")",
                     "DataRecieved(253, 3: 101|1002|101R,@1002R,@" + next +
                         "R,@<time>R,@BuyR,@0.5R,@2R,@1.084R,@R,@R,@0R,@0.5R,@EURUSDR,@0R,@R,@)",
                     "DataRecieved(250, 10: 101|1002|-0.5|2.5|-200|540|10000|500|7|0)",
                     "DataRecieved(259, 3: 101|1002|5005R,@<time>R,@-1R,@0.5R,@2R,@0R,@STR,@" +
                         next + "R,@1.07R,@1.0900R,@1R,@)"}));
    s->raw.clear();
    server.PushPrice(2, 1.0899, 1.0901);
    platform::EventLoop::RunFor(100);
    EXPECT_EQ(Masked(s->raw), Lines{"DataRecieved(243, 1: <time>,2,1.0899,1.0901)"})
        << "the bid short of the take-profit";
    s->raw.clear();
    server.PushPrice(2, 1.0901, 1.0903);
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return s->raw.size() >= 5; }, kWaitMs));
    const Lines tp = Masked(s->raw);
    EXPECT_EQ(tp[1].substr(0, 50), "DataRecieved(245, 1: 101R,@1002R,@1R,@5005R,@19R,@");
    EXPECT_EQ(tp[2].rfind("DataRecieved(256, 7: 101|1002|", 0), 0u) << tp[2];
    EXPECT_EQ(tp[3], "DataRecieved(250, 10: 101|1002|-0.5|2.5|300|845|10000|500|7|0)");
    EXPECT_EQ(tp[4], "DataRecieved(260, 3: 101|1002|5005)");
    EXPECT_TRUE(b.orders.size() == 1 && b.FindOrder(1001, 5001)) << "the far limit is left";

    // A take-profit alone goes on an SL/TP order of the new position as well.
    s->Ask(
        og::NEW_LIMIT_ORDER_TOKEN,
        {"101", "1002", "2", "0.5", "1.084", "1", "", "1.0950", "2", "77", "0", "t", "q", "L2", ""},
        2);
    server.PushPrice(2, 1.0838, 1.084);
    EXPECT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            return std::any_of(b.orders.begin(), b.orders.end(), [](const simserver::Order& o) {
                return o.slTp && o.sl.empty() && o.tp == "1.0950";
            });
        },
        kWaitMs));
}

}  // namespace
