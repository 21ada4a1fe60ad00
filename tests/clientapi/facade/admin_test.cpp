// Administration commands: checks, requests, pending creation records and the
// answers that enter new clients and accounts into the model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clientapi/facade/COAccount.h"
#include "general/model/CSummaries.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using Lines = std::vector<std::string>;
namespace G = OrbanelGeneral10;

TEST(Administration, ChangeParamChecksNodeSymbolsAndPrivilege) {
    const struct {
        const char* node;
        G::ParamTypeEnum type;
        const char* privs;
        std::string symbols, symbolsAfter, request;
    } rows[] = {
        {"nobody", G::SpreadType, "60", "2", "2", ""},
        {"alice", G::EnableInterestType, "123", "5", "-1", "178[10|-1|102|2|v]"},
        {"alice", G::EnableInterestType, "", "5", "-1", ""},
        {"alice", G::SpreadType, "60", "-1", "-1", ""},
        {"alice", G::SpreadType, "60", "abc", "abc", ""},
        {" ALICE ", G::SpreadType, "60", "2", "2", "178[10|2|1|2|v]"},
        {"alice", G::SpreadSourcePlusType, "", "0", "0", "178[10|0|12|2|v]"},
    };
    for (const auto& r : rows) {
        testsupport::TradingSession s;
        s.security->UserHasThesePrivs(r.privs);
        std::string symbols = r.symbols;
        EXPECT_EQ(s.manager->ChangeParam(r.node, r.type, false, "v", symbols), !r.request.empty());
        EXPECT_EQ(symbols, r.symbolsAfter);
        EXPECT_EQ(s.Sent(), r.request.empty() ? Lines{} : Lines{r.request});
    }
}

TEST(Administration, CreationChecksPrivilegeBeforeParentAndAnswersUseThePendingRecords) {
    testsupport::TradingSession s;
    testsupport::EventLog log;
    log.Watch(s.manager->CreateClientResult, "client");
    log.Watch(s.manager->CreateAccountResult, "account");
    auto office = [&](const char* parent) {
        return s.manager->CreateOffice(parent, "Branch", "branch", "pw", true, false, "1", "2", "3",
                                       "4", "5", "e", "a", "tag");
    };
    EXPECT_EQ(office("nobody"), NotValidParentClientResult);
    EXPECT_EQ(office("alice"), NoPrivilegeClientResult);
    s.security->UserHasThesePrivs("31,30,1");
    EXPECT_EQ(office("alice"), NotValidParentClientResult);
    EXPECT_EQ(office("office"), SuccessfulClientResult);
    EXPECT_EQ(s.manager->CreateClient("office", "Ann", "B", "C", "Doe", "ann", "pw", 555, "fax",
                                      777.5, "tpw", "pob", "XX", "e", "a", false, true, "t1"),
              SuccessfulClientResult);
    EXPECT_EQ(s.Sent(), (Lines{"156[5|Branch|0|0|0|branch|pw|0|1|0|1|2|3|4|5|e|a]",
                               "153[5|Ann|B|C|Doe|ann|pw|555|777.5|tpw|pob|fax|e|a|0|1|XX|t1]"}));
    s.manager->CreateClientResultRecieved(-1, "t1");
    s.manager->CreateClientResultRecieved(512, "t1");
    const auto added = s.engine().Clients()->Item("512");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->FullName() + "/" + added->Username(), "Ann B C Doe/ann");
    EXPECT_EQ(runtime::CLng(added->ParentID()), 5);

    EXPECT_EQ(s.manager->CreateAccount("nobody", 900, G::NormalAccountType, 0, 1, 0, 1, "t2"),
              ClientNotExistAccountResult);
    EXPECT_EQ(s.manager->CreateAccount("ann", 900, G::NormalAccountType, 1000, 1, 1, 1, "t2"),
              SuccessfulAccountResult);
    EXPECT_EQ(s.Sent(), Lines{"160[512|900|1|1000||1|1|U|1|t2]"});
    s.manager->CreateAccountResultRecieved(-1, "t2");
    s.manager->CreateAccountResultRecieved(901, "t2");
    const auto account = s.Account(901);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->ClientID(), 512);
    EXPECT_TRUE(account->DemoAccount() && account->Locked() && account->DontLiquidate());
    EXPECT_EQ(log.Take(), (Lines{"client 4 t1", "client 1 t1", "account 4 t2", "account 1 t2"}));
}

TEST(Administration, MessagesReportsFiguresHistoryAndTheAccountView) {
    testsupport::TradingSession s;
    EXPECT_EQ(s.manager->SendSMS(999, "hi"), InvalidAccountResult);
    EXPECT_EQ(s.manager->SendSMS(102, "hi"), SuccessResult);
    EXPECT_EQ(s.manager->SendSMSToSelectedAccount("yo"), SuccessResult);
    EXPECT_EQ(s.manager->GetAccountHistory(999, "1/1/2026", "2/1/2026"), InvalidAccountResult);
    EXPECT_EQ(s.manager->GetAccountHistory(102, "1/1/2026", "2/1/2026"), SuccessResult);
    EXPECT_EQ(s.manager->RequestReport(SMSReport, "p"), SuccessResult);
    EXPECT_EQ(s.Sent(), (Lines{"311[11|hi]", "311[10|yo]", "121[11|102||-1|1/1/2026|2/1/2026]",
                               "202[11|p]"}));
    double f[7] = {-7, -7, -7, -7, -7, -7, -7};
    auto summaries = [&](int32_t id) {
        return s.manager->AccountSummaries(id, f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
    };
    EXPECT_EQ(summaries(999), InvalidAccountResult);
    EXPECT_EQ(f[0], -7);
    EXPECT_EQ(summaries(102), SuccessResult);
    EXPECT_EQ(f[0], 10000);
    EXPECT_EQ(f[6], s.Account(102)->SummeryInfo()->EffectiveMargin());
    EXPECT_EQ(s.manager->Account(100), s.manager->Account(102));
    EXPECT_EQ(s.manager->Account(100)->AccountID(), 100);
    EXPECT_FALSE(s.manager->Account(999));
}

}  // namespace
