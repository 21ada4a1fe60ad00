// Privileges, money transactions and the online-sessions list, through their
// public members and a recorded request relay.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CMoneyTrans.h"
#include "clientapi/dataclient/COnlineSessions.h"
#include "clientapi/dataclient/CSecurity.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClients.h"
#include "runtime/Variant.h"
#include "tests/clientapi/dataclient/EngineWithAccount.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/ErrorNumber.h"

namespace {

namespace api = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using testsupport::ErrorNumberOf;

// The flags 1..200 that are set, as "a,b,c".
std::string Granted(const api::CSecurity& security) {
    std::string out;
    for (int32_t n = 1; n <= api::CSecurity::kPrivCount; ++n) {
        if (security.UserHasPriv(static_cast<api::PrivsEnum>(n)))
            out += (out.empty() ? "" : ",") + std::to_string(n);
    }
    return out;
}

// Each list replaces the previous one; a piece outside 1..200 stops the list
// with error 9 and no event, keeping what came before it.
TEST(Security, ListsReplaceTheFlagsAndABadPieceStopsWhereItStands) {
    struct Case {
        std::string list, granted;
        int32_t error;
    };
    const std::vector<Case> cases = {
        {"3,71,72", "3,71,72", 0}, {"58", "58", 0}, {"1,,2", "1", 9},
        {"5,8,", "5,8", 9},        {" 5", "5", 0},  {"5.4", "5", 0},
        {"5.5", "6", 0},           {"6.5", "6", 0}, {"", "", 0},
        {"200,1e300", "200", 9},   {"abc", "", 9},  {"7,7", "7", 0},
    };
    api::CSecurity security;
    int events = 0;
    runtime::ScopedConnection c = security.ExecuteSecurityPrivs.Connect([&] { ++events; });
    security.UserHasThesePrivs("58");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.list);
        events = 0;
        EXPECT_EQ(ErrorNumberOf([&] { security.UserHasThesePrivs(k.list); }), k.error);
        EXPECT_EQ(Granted(security), k.granted);
        EXPECT_EQ(events, k.error ? 0 : 1);
    }
    EXPECT_EQ(ErrorNumberOf([&] { security.UserHasPriv(static_cast<api::PrivsEnum>(0)); }), 9);
    EXPECT_EQ(ErrorNumberOf([&] { security.UserHasPriv(static_cast<api::PrivsEnum>(201)); }), 9);
}

class MoneyTrans : public ::testing::Test {
protected:
    void SetUp() override {
        money.SetEventManager(recorder.relay);
        money.SetRefs(security, engine);
    }

    std::shared_ptr<og::CAccountsTransactions> engine = testsupport::EngineWithAccount(7, 1001);
    std::shared_ptr<api::CSecurity> security = std::make_shared<api::CSecurity>();
    testsupport::RequestRecorder recorder;
    api::CMoneyTrans money;
};

// Account first, then amount, then the type's own privilege; only a success sends.
TEST_F(MoneyTrans, ChecksGoAccountAmountPrivilegeAndOnlyASuccessSends) {
    struct Case {
        std::string privs;
        int32_t account;
        og::AccountTransTypeEnum type;
        double amount;
        int16_t result;
        std::string sent;
    };
    const auto type = [](int32_t t) { return static_cast<og::AccountTransTypeEnum>(t); };
    const std::vector<Case> cases = {
        {"3", 999, type(1), 0, 3, ""},
        {"", 1001, type(-1), 0, 8, ""},
        {"", 1001, type(1), -5, 8, ""},
        {"3", 1001, type(1), HUGE_VAL, 8, ""},
        {"72", 1001, type(2), NAN, 8, ""},
        {"72", 1001, type(2), -HUGE_VAL, 8, ""},
        {"72", 1001, type(2), 0, 1, "145[7|1001|0||2|9|note]"},
        {"72", 1001, type(2), -50, 1, "145[7|1001|-50||2|9|note]"},
        {"71", 1001, type(2), 10, 2, ""},
        {"71", 1001, type(1), 10, 2, ""},
        {"71", 1001, type(-1), 250.5, 1, "145[7|1001|250.5||-1|9|note]"},
        {"3", 1001, type(1), 1e-5, 1, "145[7|1001|1E-05||1|9|note]"},
        {"73", 1001, type(3), 1, 1, "145[7|1001|1||3|9|note]"},
        {"73", 1001, type(-3), 1, 2, ""},
        {"74", 1001, type(-3), 0.1, 1, "145[7|1001|0.1||-3|9|note]"},
        {"", 1001, type(5), 1, 1, "145[7|1001|1||5|9|note]"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.privs + " " + std::to_string(k.type) + " " + std::to_string(k.amount));
        security->UserHasThesePrivs(k.privs);
        EXPECT_EQ(money.MakeMoneyTrans(k.account, k.type, k.amount, 9, "note"), k.result);
        EXPECT_EQ(recorder.Take(), k.sent.empty() ? Lines{} : Lines{k.sent});
    }
}

// Without references it raises 91; without a relay only a request that
// passed its checks does.
TEST_F(MoneyTrans, WithoutReferencesItRaises91AndSendsNothingAndEveryAnswerIsDone) {
    api::CMoneyTrans bare;
    bare.SetEventManager(recorder.relay);
    EXPECT_EQ(ErrorNumberOf([&] { bare.MakeMoneyTrans(1001, og::DepositAccTrans, 1, 9, ""); }), 91);
    api::CMoneyTrans unrelayed;
    unrelayed.SetRefs(security, engine);
    security->UserHasThesePrivs("3");
    EXPECT_EQ(unrelayed.MakeMoneyTrans(999, og::DepositAccTrans, 1, 9, ""), 3);
    EXPECT_EQ(unrelayed.MakeMoneyTrans(1001, og::DepositAccTrans, 0, 9, ""), 8);
    EXPECT_EQ(ErrorNumberOf([&] { unrelayed.MakeMoneyTrans(1001, og::DepositAccTrans, 1, 9, ""); }),
              91);
    EXPECT_TRUE(recorder.lines.empty());
    std::vector<bool> done;
    runtime::ScopedConnection c =
        money.MoneyTransResultReceived.Connect([&](bool d) { done.push_back(d); });
    testsupport::AnswerOneRow(money, 145, {"0"});
    testsupport::AnswerOneRow(money, 145, {});
    EXPECT_EQ(done, (std::vector<bool>{true, true}));
}

class AccountsManager : public api::IAccountsManager {
public:
    std::shared_ptr<og::CAccountsTransactions> AccountsTransactions() override { return engine; }
    std::shared_ptr<og::CAccountsTransactions> engine;
};

std::string Listed(const api::COnlineSessions& sessions) {
    std::string out;
    for (const auto& s : sessions.OnlineSessions()->Items()) {
        out += (out.empty() ? "" : " ") + std::to_string(s->SID()) + ":" + s->Username() + "/" +
               std::to_string(s->UserType()) + "/" + std::to_string(s->UserID()) + "/" +
               (s->APILogin() ? "api" : "-") + "/" + std::to_string(s->DealerPriv());
    }
    return out;
}

// Rows not yet listed are added; dealers only with their client in the model;
// a bad strict cell stops the loading with earlier rows kept and no event.
TEST(OnlineSessions, LoadingAddsNewRowsAdmitsKnownDealersAndStopsAtABadCell) {
    api::COnlineSessions sessions;
    testsupport::RequestRecorder recorder;
    sessions.SetEventManager(recorder.relay);
    sessions.RequestOnlineSessionsFromServer(12);
    EXPECT_EQ(recorder.Take(), Lines{"182[12|1]"});
    int loaded = 0;
    runtime::ScopedConnection c = sessions.AllSessionsLoaded.Connect([&] { ++loaded; });
    const std::vector<std::vector<std::string>> rows = {
        {"5", "t", "ann", "Ann", "1.2.3.4", "2", "50", "1", "0"},
        {"6", "t", "bob", "Bob", "ip", "1", "51", "0", "7"},    // dealer, client 7 known
        {"7", "t", "cy", "Cy", "ip", "1", "52", "1", "8"},      // dealer, client 8 unknown
        {"5", "t", "dup", "Dup", "ip", "2", "53", "1", "0"},    // already listed
        {"8.5", "t", "di", "Di", "ip", "3", "54.5", "2", "0"},  // halves to even
    };

    // A dealer row without the accounts manager raises 91; the row before it stays.
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { testsupport::AnswerRows(sessions, 182, rows); }),
              91);
    EXPECT_EQ(Listed(sessions), "5:ann/2/50/api/0");

    auto manager = std::make_shared<AccountsManager>();
    manager->engine = std::make_shared<og::CAccountsTransactions>();
    testsupport::AddModelClient(*manager->engine, 7);
    sessions.setAccountsManagerRef(manager);
    for (int pass = 0; pass < 2; ++pass) testsupport::AnswerRows(sessions, 182, rows);
    EXPECT_EQ(Listed(sessions), "5:ann/2/50/api/0 6:bob/1/51/-/7 8:di/3/54/-/0");
    EXPECT_EQ(loaded, 2);

    EXPECT_EQ(testsupport::ErrorNumberOf([&] {
                  testsupport::AnswerRows(sessions, 182,
                                          {{"9", "t", "ed", "Ed", "ip", "2", "55", "1", "0"},
                                           {"10", "t", "fay", "Fay", "ip", "x", "56", "1", "0"}});
              }),
              13);
    EXPECT_EQ(sessions.OnlineSessions()->Count(), 4);
    EXPECT_EQ(loaded, 2);
    testsupport::AnswerRows(sessions, 182, {});
    EXPECT_EQ(loaded, 3);
    EXPECT_EQ(sessions.Item("nope"), nullptr);
    sessions.Clear();
    EXPECT_EQ(Listed(sessions), "");
}

}  // namespace
