// Administration commands: checks, requests, the pending creation records and
// the answers that enter new clients and accounts into the model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clientapi/facade/COAccount.h"
#include "general/model/CClient.h"
#include "general/model/CClients.h"
#include "general/model/CSummaries.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using testsupport::TradingSession;
namespace G = OrbanelGeneral10;

std::string User(TradingSession& s) {
    return std::to_string(s.client->LoginUser());
}

TEST(Administration, ChangeParamChecksNodeSymbolsAndPrivilege) {
    const struct {
        const char* node;
        G::ParamTypeEnum type;
        const char* privs;
        std::string symbols, symbolsAfter;
        bool result;
        std::string request;
    } rows[] = {
        {"nobody", G::SpreadType, "60", "2", "2", false, ""},
        {"alice", G::EnableInterestType, "123", "5", "-1", true, "178[10|-1|102|2|v]"},
        {"alice", G::EnableInterestType, "", "5", "-1", false, ""},
        {"alice", G::SpreadType, "60", "-1", "-1", false, ""},
        {"alice", G::SpreadType, "60", "abc", "abc", false, ""},
        {" ALICE ", G::SpreadType, "60", "2", "2", true, "178[10|2|1|2|v]"},
        {"alice", G::SpreadType, "118", "2", "2", false, ""},
        {"alice", G::SpreadSourcePlusType, "", "0", "0", true, "178[10|0|12|2|v]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.node << " " << row.type << " " << row.symbols);
        TradingSession s;
        s.security->UserHasThesePrivs(row.privs);
        std::string symbols = row.symbols;
        EXPECT_EQ(s.manager->ChangeParam(row.node, row.type, false, "v", symbols), row.result);
        EXPECT_EQ(symbols, row.symbolsAfter);
        const auto sent = s.Sent();
        EXPECT_EQ(sent, row.request.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{row.request});
    }
}

TEST(Administration, NewNodesNeedThePrivilegeFirstThenAParentThatIsNoClient) {
    TradingSession s;
    auto office = [&](const char* parent) {
        return s.manager->CreateOffice(parent, "Branch", "branch", "pw", true, false, "1", "2", "3",
                                       "4", "5", "e", "a", "tag");
    };
    EXPECT_EQ(office("nobody"), NotValidParentClientResult);
    EXPECT_EQ(office("alice"), NoPrivilegeClientResult);
    s.security->UserHasThesePrivs("31,30");
    EXPECT_EQ(office("alice"), NotValidParentClientResult);
    EXPECT_TRUE(s.Sent().empty());
    EXPECT_EQ(office("office"), SuccessfulClientResult);
    EXPECT_EQ(s.Sent(),
              std::vector<std::string>{"156[5|Branch|0|0|0|branch|pw|0|1|0|1|2|3|4|5|e|a]"});
    EXPECT_EQ(s.manager->CreateClient("office", "Ann", "B", "C", "Doe", "ann", "pw", 555, "fax",
                                      777.5, "tpw", "pob", "XX", "e", "a", false, true, "tag"),
              SuccessfulClientResult);
    EXPECT_EQ(s.Sent(), std::vector<std::string>{
                            "153[5|Ann|B|C|Doe|ann|pw|555|777.5|tpw|pob|fax|e|a|0|1|XX|tag]"});
    EXPECT_EQ(s.manager->CreateGroup("office", "G", "g", "pw", false, "1", "2", "3", "4", "5", "e",
                                     "a", "tag"),
              NoPrivilegeClientResult);
}

TEST(Administration, CreationAnswersUseThePendingRecords) {
    TradingSession s;
    std::vector<std::string> events;
    runtime::ScopedConnection c1 = s.manager->CreateClientResult.Connect(
        [&](CreateClientResultEnum r, const std::string& tag) {
            events.push_back("client " + std::to_string(r) + " " + tag);
        });
    runtime::ScopedConnection c2 = s.manager->CreateAccountResult.Connect(
        [&](CreateAccountResultEnum r, const std::string& tag) {
            events.push_back("account " + std::to_string(r) + " " + tag);
        });
    s.security->UserHasThesePrivs("30,1");
    s.manager->CreateClient("office", "Ann", "B", "C", "Doe", "ann", "pw", 0, "", 0, "", "", "", "",
                            "", false, false, "t1");
    s.manager->CreateClientResultRecieved(-1, "t1");
    EXPECT_FALSE(s.engine().Clients()->Item("512"));
    s.manager->CreateClientResultRecieved(512, "t1");
    const auto added = s.engine().Clients()->Item("512");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Username(), "ann");
    EXPECT_EQ(added->FullName(), "Ann B C Doe");
    EXPECT_EQ(added->ClientType(), G::CLIENT_TYPE);
    EXPECT_EQ(runtime::CLng(added->ParentID()), 5);

    EXPECT_EQ(
        s.manager->CreateAccount("nobody", 900, G::NormalAccountType, 0, true, false, true, "t2"),
        ClientNotExistAccountResult);
    EXPECT_EQ(
        s.manager->CreateAccount("ann", 900, G::NormalAccountType, 1000, true, true, true, "t2"),
        SuccessfulAccountResult);
    EXPECT_EQ(s.Sent().back(), "160[512|900|1|1000||1|1|" + User(s) + "|1|t2]");
    s.manager->CreateAccountResultRecieved(-1, "t2");
    s.manager->CreateAccountResultRecieved(901, "t2");
    const auto account = s.Account(901);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->ClientID(), 512);
    EXPECT_TRUE(account->DemoAccount());
    EXPECT_TRUE(account->Locked());
    EXPECT_TRUE(account->DontLiquidate());
    EXPECT_EQ(events, (std::vector<std::string>{"client 4 t1", "client 1 t1", "account 4 t2",
                                                "account 1 t2"}));
}

TEST(Administration, MessagesReportsFiguresHistoryAndTheAccountView) {
    TradingSession s;
    EXPECT_EQ(s.manager->SendSMS(999, "hi"), InvalidAccountResult);
    EXPECT_EQ(s.manager->SendSMS(102, "hi"), SuccessResult);
    EXPECT_EQ(s.manager->SendSMSToSelectedAccount("yo"), SuccessResult);
    EXPECT_EQ(s.manager->GetAccountHistory(999, "1/1/2026", "2/1/2026"), InvalidAccountResult);
    EXPECT_EQ(s.manager->GetAccountHistory(102, "1/1/2026", "2/1/2026"), SuccessResult);
    EXPECT_EQ(s.manager->RequestReport(SMSReport, "p"), SuccessResult);
    EXPECT_EQ(s.Sent(),
              (std::vector<std::string>{"311[11|hi]", "311[10|yo]",
                                        "121[11|102||-1|1/1/2026|2/1/2026]", "202[11|p]"}));
    s.manager->Reset();
    EXPECT_EQ(s.manager->SendSMSToSelectedAccount("yo"), InvalidAccountResult);

    double figures[7] = {-7, -7, -7, -7, -7, -7, -7};
    auto summaries = [&](int32_t id) {
        return s.manager->AccountSummaries(id, figures[0], figures[1], figures[2], figures[3],
                                           figures[4], figures[5], figures[6]);
    };
    EXPECT_EQ(summaries(999), InvalidAccountResult);
    EXPECT_EQ(figures[0], -7);
    EXPECT_EQ(summaries(102), SuccessResult);
    const G::CSummaries& summary = *s.Account(102)->SummeryInfo();
    EXPECT_EQ(figures[0], summary.balance());
    EXPECT_EQ(figures[6], summary.EffectiveMargin());
    EXPECT_EQ(figures[0], 10000);

    const auto first = s.manager->Account(100);
    const auto second = s.manager->Account(102);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->AccountID(), 102);
    EXPECT_FALSE(s.manager->Account(999));
}

TEST(Administration, DealerPositionsCheckNothingOfTheSelection) {
    TradingSession s;
    s.security->UserHasThesePrivs("75");
    s.manager->Reset();
    EXPECT_EQ(s.manager->NewPosition("102", "1", "5", "2", "1.3", ""), SuccessResult);
    EXPECT_EQ(s.Sent(), std::vector<std::string>{"133[11|102|2|1|5|1.3||" + User(s) + "|1|0|0|]"});
}

}  // namespace
