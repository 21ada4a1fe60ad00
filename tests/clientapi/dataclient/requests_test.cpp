// The request object's requests on the relay: token and parameters in wire
// order for every method, number texts whatever the locale, the refused
// arguments, and which answer tokens the request objects claim.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CManagerReports.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"

namespace {

namespace oc = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using runtime::Variant;
using Params = std::vector<std::string>;

constexpr char kNotSent[] = "!&NS&!";

// A request as the relay saw it: the token and the parameters up to the first marker.
struct Sent {
    int16_t token = 0;
    Params params;
    size_t total = 0;  // parameters handed to the relay, markers included
};

class RequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        relay = std::make_shared<KVGeneralDLL10::CEventManager>();
        relay->ERequestFromServer.Connect([this](int16_t token, const Params& p) {
            Sent s{token, {}, p.size()};
            for (const auto& value : p) {
                if (value == kNotSent) break;
                s.params.push_back(value);
            }
            sent.push_back(s);
        });
        object.SetEventManager(relay);
    }

    // The one request a call sends.
    Sent Only(const std::function<void(oc::CClientServer&)>& call) {
        sent.clear();
        call(object);
        EXPECT_EQ(sent.size(), 1u);
        return sent.empty() ? Sent{} : sent.back();
    }

    std::shared_ptr<KVGeneralDLL10::CEventManager> relay;
    oc::CClientServer object;
    std::vector<Sent> sent;
};

struct Case {
    const char* method;
    std::function<void(oc::CClientServer&)> call;
    int16_t token;
    Params params;
};

// Every argument a distinct sentinel, so a swapped pair fails.
std::vector<Case> Cases() {
    const auto client = og::CLIENT_USER_TYPE;
    std::array<std::string, 50> symbol;
    Params symbolWire;
    for (size_t i = 0; i < symbol.size(); ++i)
        symbolWire.push_back(symbol[i] = "f" + std::to_string(i + 1));
    return {
        {"TimerExpired", [](auto& o) { o.TimerExpired(11, 12, 13); }, 110, {"11", "12", "13"}},
        {"ClientRejectOrder",
         [](auto& o) { o.ClientRejectOrder(11, 12, 13); },
         109,
         {"11", "12", "13"}},
        {"ClientAcceptOrder",
         [](auto& o) { o.ClientAcceptOrder(11, 12, 13, 1.25, 14); },
         108,
         {"11", "12", "13", "1.25", "14"}},
        {"NewOrder",
         [](auto& o) {
             o.NewOrder(11, 12, 13, og::SellType, 0.5, 1.2345, 250.375, 14, "tick", "q", "tag",
                        "note");
         },
         107,
         {"11", "12", "13", "-1", "0.5", "1.2345", "14", "250.38", "tick", "q", "tag", "note"}},
        {"NewLimitOrder",
         [=](auto& o) {
             o.NewLimitOrder(11, 12, 13, 0.5, 1.2345, og::BuyStopType, Variant(1.1), Variant("1.3"),
                             client, 14, "tick", "q", "tag", "note");
         },
         115,
         {"11", "12", "13", "0.5", "1.2345", "2", "1.1", "1.3", "2", "14", "0", "tick", "q", "tag",
          "note"}},
        {"UpdateLimitOrder",
         [=](auto& o) {
             o.UpdateLimitOrder(11, 12, 13, 14, 1.2345, Variant(1.1), Variant(), 0.5, client, 15,
                                "tick", "q", "tag", "note");
         },
         116,
         {"11", "12", "13", "14", "1.2345", "0", "1.1", "", "2", "15", "0.5", "tick", "q", "tag",
          "note"}},
        {"DeleteLimitOrder",
         [=](auto& o) { o.DeleteLimitOrder(11, 12, "5;6", client, 15, "tag"); },
         117,
         {"11", "12", "5;6", "2", "15", "0", "tag"}},
        {"NewSLTPOrder",
         [=](auto& o) {
             o.NewSLTPOrder(11, 12, 13, 14, 0.5, Variant(1.1), Variant(int32_t{3}), client, 15,
                            "tick", "q", "tag");
         },
         119,
         {"11", "12", "13", "14", "0.5", "1.1", "3", "2", "15", "0", "tick", "q", "tag"}},
        {"UpdateSLTPOrder",
         [=](auto& o) {
             o.UpdateSLTPOrder(11, 12, 13, 14, 0.5, Variant(1.1), Variant(1.3), client, 15, "tick",
                               "q", "tag");
         },
         169,
         {"11", "12", "13", "14", "0.5", "0", "1.1", "1.3", "2", "15", "tick", "q", "tag"}},
        {"DeleteSLTPOrder",
         [=](auto& o) { o.DeleteSLTPOrder(11, 12, "5;6", client, 15, "tag"); },
         120,
         {"11", "12", "5;6", "2", "15", "0", "tag"}},
        {"CloseOrder",
         [](auto& o) {
             o.CloseOrder(11, 12, "t3", "s4", "1,5", "r6", "l7", 14, 250.375, "tick", "q", "tag");
         },
         113,
         {"11", "12", "t3", "s4", "1,5", "r6", "l7", "14", "250.375", "0", "tick", "q", "tag"}},
        {"NewPosition",
         [](auto& o) {
             o.NewPosition("c1", "a2", "s3", "b4", "l5", "p6", 9, 250.375, 0.25, 14, "note");
         },
         133,
         {"c1", "a2", "s3", "b4", "l5", "p6", "", "14", "1", "250.38", "0.25", "note"}},
        {"ChangeSymbolSettings",
         [=](auto& o) {
             std::apply([&](const auto&... a) { o.ChangeSymbolSettings(a...); }, symbol);
         },
         204, symbolWire},
        {"DisconnectSession", [=](auto& o) { o.DisconnectSession(client, 14); }, 205, {"2", "14"}},
        {"ChangeParam",
         [](auto& o) { o.ChangeParam(11, og::CommissionType, false, "v", "s1,s2"); },
         178,
         {"11", "s1,s2", "7", "2", "v"}},
        {"CreateClient",
         [](auto& o) {
             o.CreateClient(11, "f", "s", "t", "l", "u", "p", "tel", "mob", "tpw", "pop", "fax",
                            "mail", "addr", true, false, "cty", "tag");
         },
         153,
         {"11", "f", "s", "t", "l", "u", "p", "tel", "mob", "tpw", "pop", "fax", "mail", "addr",
          "1", "0", "cty", "tag"}},
        {"CreateOffice",
         [](auto& o) {
             o.CreateOffice(11, "n", 0.5, 0.75, 1.25, "un", "pw", true, false, true, "ph", "fax",
                            "mob", "tf", "pob", "mail", "addr", "tag");
         },
         156,
         {"11", "n", "0.5", "0.75", "1.25", "un", "pw", "1", "0", "1", "ph", "fax", "mob", "tf",
          "pob", "mail", "addr"}},
        {"CreateGroup",
         [](auto& o) {
             o.CreateGroup(11, "n", "un", "pw", false, "ph", "fax", "mob", "tf", "pob", "mail",
                           "addr", "tag");
         },
         215,
         {"11", "n", "un", "pw", "1", "1", "0", "ph", "fax", "mob", "tf", "pob", "mail", "addr"}},
        {"CreateAccount",
         [](auto& o) {
             o.CreateAccount(11, 12, og::CoverageAccountType, 500.5, true, false, 14, true, "tag");
         },
         160,
         {"11", "12", "2", "500.5", "", "1", "0", "14", "1", "tag"}},
        {"SendSMS", [](auto& o) { o.SendSMS(11, "hi"); }, 311, {"11", "hi"}},
        {"SwitchOrder", [](auto& o) { o.SwitchOrder(11, 12); }, 312, {"11", "12"}},
        {"ClosePosition",
         [](auto& o) { o.ClosePosition(11, 12, 13, 0.5, 1.2345, 1.5, 1, 0.25, 2, 250.375, 14); },
         134,
         {"11", "12", "13", "0.5", "1.2345", "1.5", "", "14", "1", "0.25", "2", "250.38"}},
        {"GetAccComplementData",
         [](auto& o) { o.GetAccComplementData(11, 12); },
         224,
         {"11", "12"}},
        {"GetAccSummaries", [](auto& o) { o.GetAccSummaries(11, 12); }, 106, {"11", "12"}},
        {"GetOpenPositions", [](auto& o) { o.GetOpenPositions(11, 12); }, 102, {"11", "12"}},
        {"GetAccountHistory",
         [](auto& o) { o.GetAccountHistory(11, 12, "from", "to", "after", "x"); },
         121,
         {"11", "12", "after", "x", "from", "to"}},
        {"GetReport", [](auto& o) { o.GetReport(oc::SMSReport, "p"); }, 202, {"11", "p"}},
        {"GetPendingOrders", [](auto& o) { o.GetPendingOrders(11, 12); }, 111, {"11", "12"}},
        {"ChatOn", [](auto& o) { o.ChatOn(14); }, 137, {"14"}},
        {"AcceptOrder",
         [](auto& o) { o.AcceptOrder(11, 12, 13, og::SLOrderType, 14); },
         140,
         {"11", "12", "3", "13", "14"}},
        {"RejectOrder",
         [](auto& o) { o.RejectOrder(11, 12, 13, og::SLOrderType, 14); },
         141,
         {"11", "12", "3", "13", "14"}},
        {"ChangeOrder",
         [](auto& o) {
             o.ChangeOrder(11, 12, 13, og::TPOrderType, 1.2345, true, og::SellType, 14);
         },
         142,
         {"11", "12", "4", "13", "14", "1.2345", "1", "-1"}},
        {"ChatOff", [](auto& o) { o.ChatOff(14); }, 138, {"14"}},
        {"GetAllSymbols", [](auto& o) { o.GetAllSymbols(11, "bo", 14); }, 104, {"11", "bo", "14"}},
        {"GetAllDealers", [](auto& o) { o.GetAllDealers(); }, 192, {"-1"}},
        {"GetClients", [](auto& o) { o.GetClients(11); }, 313, {"11"}},
        {"GetAccounts", [](auto& o) { o.GetAccounts(-11); }, 314, {"-11"}},
        {"StartMarket", [](auto& o) { o.StartMarket(); }, 103, {}},
        {"GetPrivs", [](auto& o) { o.GetPrivs(11, "D"); }, 132, {"11", "D"}},
        {"GetVariables",
         [](auto& o) { o.GetVariables("CLIENTAPI", 14); },
         306,
         {"CLIENTAPI", "14"}},
        {"GetFloatingStatus",
         [](auto& o) { o.GetFloatingStatus(11); },
         180,
         {"11", "", "", "", "1"}},
    };
}

// Each method sends its token and parameters in wire order, with "." in
// numbers also under a comma-decimal locale.
TEST_F(RequestTest, EveryMethodSendsItsParametersInWireOrderInAnyLocale) {
    const auto cases = Cases();
    ASSERT_EQ(cases.size(), 41u);
    runtime::LocaleSettings comma;
    comma.decimal = ",";
    comma.thousands = ".";
    for (const bool commaLocale : {false, true}) {
        std::unique_ptr<runtime::ScopedLocale> locale;
        if (commaLocale) locale = std::make_unique<runtime::ScopedLocale>(comma);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.method) + (commaLocale ? " under a comma locale" : ""));
            const Sent s = Only(c.call);
            EXPECT_EQ(s.token, c.token);
            EXPECT_EQ(s.params, c.params);
            EXPECT_EQ(s.total, 50u);
        }
    }
}

// Two places with ties to even, small numbers in exponent form, the dealer
// flag, and a marker or empty text inside the arguments.
TEST_F(RequestTest, NumberTextsFlagsAndMarkersTravelAsTheServerReadsThem) {
    const auto margin = [&](double m) {
        return Only([&](auto& o) { o.NewOrder(1, 2, 3, og::BuyType, 1, 1, m, 4, "", "", "", ""); })
            .params.at(7);
    };
    EXPECT_EQ(margin(0.125), "0.12");
    EXPECT_EQ(margin(0.375), "0.38");
    EXPECT_EQ(margin(2.675), "2.68");
    EXPECT_EQ(margin(-1.005), "-1");
    const auto lots =
        Only([](auto& o) { o.NewOrder(1, 2, 3, og::BuyType, 0.00001, 1, 0, 4, "", "", "", ""); });
    EXPECT_EQ(lots.params.at(4), "1E-05");
    EXPECT_EQ(lots.params.at(10), "") << "an empty text still travels";
    EXPECT_EQ(lots.params.size(), 12u);

    const auto dealerFlag = [&](og::UserTypeEnum who) {
        return Only([&](auto& o) { o.DeleteLimitOrder(1, 2, "3", who, 4, "t"); }).params.at(5);
    };
    EXPECT_EQ(dealerFlag(og::DEALER_USER_TYPE), "1");
    EXPECT_EQ(dealerFlag(og::CLIENT_USER_TYPE), "0");
    EXPECT_EQ(dealerFlag(og::DEMO_CLIENT_USER_TYPE), "0");

    const auto cut = Only([](auto& o) { o.SendSMS(7, kNotSent); });
    EXPECT_EQ(cut.params, Params({"7"})) << "a marker ends the request";
}

// A Null price and a missing relay are refused before anything is sent.
TEST_F(RequestTest, NullVariantsAndMissingRelaysSendNothing) {
    sent.clear();
    EXPECT_EQ(testsupport::ErrorNumberOf([&] {
                  object.NewSLTPOrder(1, 2, 3, 4, 1, Variant(runtime::Null), Variant(),
                                      og::CLIENT_USER_TYPE, 5, "", "", "");
              }),
              94);
    EXPECT_TRUE(sent.empty());

    oc::CClientServer bare;
    oc::CManagerReports reports;
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { bare.GetAllDealers(); }), 91);
    EXPECT_EQ(
        testsupport::ErrorNumberOf([&] { reports.RequestReportFromServer(oc::SMSReport, ""); }),
        91);

    // A relay set later replaces the earlier one.
    auto other = std::make_shared<KVGeneralDLL10::CEventManager>();
    int otherRequests = 0;
    other->ERequestFromServer.Connect([&](int16_t, const Params&) { ++otherRequests; });
    object.SetEventManager(other);
    object.StartMarket();
    EXPECT_EQ(otherRequests, 1);
    EXPECT_TRUE(sent.empty());
}

TEST(RequestObjects, ClaimExactlyTheirAnswerTokens) {
    const std::set<int16_t> expected{102, 103, 104, 106, 107, 108, 109, 110, 111, 113,
                                     115, 116, 117, 119, 120, 121, 132, 133, 134, 137,
                                     138, 140, 141, 142, 153, 156, 160, 169, 178, 180,
                                     192, 204, 215, 224, 306, 311, 312, 313, 314};
    oc::CClientServer object;
    oc::CManagerReports reports;
    std::set<int16_t> claimed, reportClaims;
    for (int16_t token = 0; token <= 400; ++token) {
        if (object.HasThisToken(token)) claimed.insert(token);
        if (reports.HasThisToken(token)) reportClaims.insert(token);
    }
    EXPECT_EQ(claimed, expected);
    EXPECT_EQ(reportClaims, std::set<int16_t>{202});
}

}  // namespace
