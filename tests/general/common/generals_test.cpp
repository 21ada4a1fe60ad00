#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CGenerals.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;
using runtime::Variant;

Variant L(int32_t v) {
    return Variant(v);
}
Variant D(double v) {
    return Variant(v);
}
Variant S(const char* v) {
    return Variant(v);
}
const Variant kNull(runtime::Null);

runtime::ScopedClock FixedAt(runtime::Date now) {
    return runtime::ScopedClock(std::make_shared<runtime::FixedClock>(now));
}

TEST(GeneralsDates, FixedPatterns) {
    CGenerals g;
    const runtime::Date d = runtime::DateTimeSerial(2024, 4, 3, 14, 5, 9);
    EXPECT_EQ(g.MonthDayYear(d), "03-04-24");
    EXPECT_EQ(g.HourMinuteSecond(d), "14:05:09");
    EXPECT_EQ(g.MonthDayYearTime(d), "03-04-24 14:05:09");
    EXPECT_EQ(g.YearMonthDateFileName(d), "03-04-2024");
    EXPECT_EQ(g.YearMonthDateTimeFileName(d), "03-04-2024 14-05-09");
    EXPECT_EQ(g.MonthDayYearTime(runtime::DateSerial(2024, 4, 3)), "03-04-24 00:00:00");
    EXPECT_EQ(g.MonthDayYearTime(runtime::DateTimeSerial(1999, 12, 31, 23, 59, 59)),
              "31-12-99 23:59:59");

    runtime::LocaleSettings dots;
    dots.date = ".";
    dots.time = ".";
    runtime::ScopedLocale locale(dots);
    EXPECT_EQ(g.HourMinuteSecond(d), "14:05:09");
    EXPECT_EQ(g.MonthDayYearTime(d), "03-04-24 14:05:09");
}

TEST(GeneralsDates, FormatDateStringShowsTheYearOnlyOutsideTheCurrentOne) {
    auto clock = FixedAt(runtime::DateTimeSerial(2024, 6, 1, 12, 0, 0));
    CGenerals g;
    EXPECT_EQ(g.FormatDateString(runtime::DateTimeSerial(2024, 4, 3, 14, 5, 9)), "Apr 03 14:05");
    EXPECT_EQ(g.FormatDateString(runtime::DateTimeSerial(2023, 12, 31, 23, 0, 0)), "Dec 31  2023");
}

TEST(GeneralsNvl, ReplacesOnlyNullAndEmpty) {
    CGenerals g;
    EXPECT_EQ(g.NVL(kNull, L(0)), L(0));
    EXPECT_EQ(g.NVL(S(""), S("")), S(""));
    EXPECT_EQ(g.NVL(Variant(), L(5)), L(5));
    EXPECT_EQ(g.NVL(L(0), L(5)), L(0));
    EXPECT_EQ(g.NVL(S(" "), L(5)), S(" "));
}

TEST(GeneralsDescriptions, CodeTables) {
    CGenerals g;
    EXPECT_EQ(g.ClientDescription(CLIENT_TYPE, LOGICAL_SERVER_SUB_TYPE), "Client");
    EXPECT_EQ(g.ClientDescription(OFFICE_TYPE), "Office");
    EXPECT_EQ(g.ClientDescription(OTHER_GROUPS_TYPE), "Group");
    EXPECT_EQ(g.ClientDescription(OTHER_GROUPS_TYPE, LOGICAL_SERVER_SUB_TYPE), "Real Server");
    EXPECT_EQ(g.ClientDescription(OTHER_GROUPS_TYPE, LOGICAL_SERVER_SUB_TYPE, DEMO_SERVER_TYPE),
              "Demo Server");
    EXPECT_EQ(g.ClientDescription(OTHER_GROUPS_TYPE, LOGICAL_SERVER_SUB_TYPE, HISTORY_SERVER_TYPE),
              "History Server");
    EXPECT_EQ(g.ClientDescription(static_cast<ClientTypeEnum>(4)), "");

    EXPECT_EQ(g.OrderDescription(MarketDataType), "Market Order");
    EXPECT_EQ(g.OrderDescription(LimitOrdersType), "Limit/Stop");
    EXPECT_EQ(g.OrderDescription(SlTpType), "SL/TP");
    EXPECT_EQ(g.OrderDescription(static_cast<OrdersTypeEnum>(0)), "");

    const std::vector<std::pair<int32_t, std::string>> statuses = {
        {-4, "Hedging is not allowed"},
        {1, "New order - Request"},
        {2, "Rejected"},
        {3, "Price Sent - Request"},
        {4, "Sent-Timer expired"},
        {10, "New Buy - Request"},
        {11, "New Sell - Request"},
        {12, "Liq Buy - Request"},
        {13, "Liq Sell - Request"},
        {19, "Accepted"},
        {20, "Accepted"},
        {119, "Accepted"},
        {120, "Accepted"},
        {21, "Invalid price"},
        {30, "Changed - client offline"},
        {31, "Changed - client offline"},
        {32, "Changed - client offline"},
        {33, "Changed - client offline"},
        {130, "Changed - client offline"},
        {131, "Changed - client offline"},
        {40, "Changed-client accept"},
        {44, "Changed-Timer expired"},
        {45, "Changed-client reject"},
        {101, "Client cancel-new"},
        {103, "Client cancel-price sent"},
        {0, ""},
        {5, ""},
        {-5, ""},
        {132, ""}};
    for (const auto& [code, text] : statuses) {
        EXPECT_EQ(g.MarketOrderStatusDesc(static_cast<MarketOrderStatusEnum>(code)), text) << code;
    }

    const std::vector<std::tuple<int32_t, std::string, std::string>> transfers = {
        {1, "Deposit", "DP"},   {-1, "Withdrawal", "WD"}, {2, "Adjusment", "AJ"},
        {3, "Credit in", "CI"}, {-3, "Credit out", "CO"}, {0, "", ""}};
    for (const auto& [code, text, shortText] : transfers) {
        EXPECT_EQ(g.AccountTransDesc(static_cast<AccountTransTypeEnum>(code)), text);
        EXPECT_EQ(g.AccountHistoryDesc(AccountTransAccHis, static_cast<int16_t>(code)), shortText);
        EXPECT_EQ(g.TransactionLogDesc(AccountTransTransLog, static_cast<int16_t>(code), kNull),
                  text);
    }
    EXPECT_EQ(g.AccountHistoryDesc(NewPositionAccHis), "N");
    EXPECT_EQ(g.AccountHistoryDesc(LiquidatePositionAccHis), "L");

    EXPECT_EQ(g.TransactionDesc(InsertTransType), S("New"));
    EXPECT_EQ(g.TransactionDesc(UpdateTransType), S("Update"));
    EXPECT_EQ(g.TransactionDesc(DeleteTransType), S("Delete"));
    EXPECT_EQ(g.TransactionDesc(static_cast<TransactionTypeEnum>(9)), S("Delete"));

    EXPECT_EQ(g.TransactionLogDesc(NewPositionTransLog, 0, kNull), "N");
    EXPECT_EQ(g.TransactionLogDesc(LiqPositionTransLog, 0, L(1234)), "L-1234");
    EXPECT_EQ(g.TransactionLogDesc(TakeProfitStopLossTransLog, 0, kNull), "TP/SL");
    EXPECT_EQ(g.TransactionLogDesc(LimitStopTransLog, -2, kNull), "Sell Stop");

    EXPECT_EQ(g.UserTypeDesc(DEALER_USER_TYPE), "Dealer");
    EXPECT_EQ(g.UserTypeDesc(CLIENT_USER_TYPE), "Client");
    EXPECT_EQ(g.UserTypeDesc(HISTORY_CLIENT_USER_TYPE), "Demo Client");
    EXPECT_EQ(g.UserTypeDesc(static_cast<UserTypeEnum>(0)), "Demo Client");
}

TEST(GeneralsDescriptions, BuySellTextsAndCodes) {
    CGenerals g;
    struct Case {
        int32_t code;
        std::string limitStop, plain;
        int32_t back, reverse;
    };
    const std::vector<Case> cases = {
        {1, "Buy Limit", "Buy", 1, -1},  {-1, "Sell Limit", "Sell", -1, 1},
        {2, "Buy Stop", "Buy", 2, -2},   {-2, "Sell Stop", "Sell", -2, 2},
        {0, "Sell Stop", "Sell", -2, 0}, {7, "Sell Stop", "Sell", -2, 0},
    };
    for (const Case& c : cases) {
        const auto code = static_cast<OperationTypeEnum>(c.code);
        EXPECT_EQ(g.BuySellDesc(code, true), c.limitStop);
        EXPECT_EQ(g.BuySellDesc(code), c.plain);
        EXPECT_EQ(g.BuySellCode(c.limitStop), c.back);
        EXPECT_EQ(g.BuySellRevCode(code), c.reverse);
    }
    EXPECT_EQ(g.BuySellCode("Buy"), BuyType);
    EXPECT_EQ(g.BuySellCode("Sell"), SellType);
    for (const char* other : {"buy", "Buy ", "", "SELL"}) EXPECT_EQ(g.BuySellCode(other), 0);

    const std::vector<std::pair<Variant, std::string>> levels = {
        {D(1.2345), "M"}, {S("0"), ""},    {L(0), ""},    {kNull, ""},
        {S(""), ""},      {Variant(), ""}, {S("x"), "M"}, {D(-1), "M"}};
    for (const auto& [level, text] : levels) EXPECT_EQ(g.SlTpDesc(level), text);
}

TEST(GeneralsRows, PositionRowSplitsBackToItsValues) {
    CGenerals g;
    const std::string row = g.PosRowString(L(17), S("2001abc"), L(90001), S("05/03/2024 14:07:09"),
                                           L(-1), D(1.5), S(" 4 "), D(1.23456), D(1.2), kNull, L(1),
                                           D(2.5), S("EURUSD"), D(-3.25), S("Dealer"), kNull);
    EXPECT_EQ(row,
              "17R,@2001R,@90001R,@05/03/2024 14:07:09R,@SellR,@1.5R,@4R,@1.23456R,@MR,@R,@1R,@"
              "2.5R,@EURUSDR,@-3.25R,@DealerR,@");

    int32_t client = 0, account = 0, ticket = 0, symbol = 0;
    int16_t checked = 0;
    double lots = 0, price = 0, original = 0, interest = 0;
    OperationTypeEnum side = BuyType;
    std::string time, sl, tp, name, method, note = "x";
    g.SplitPosRow(row, client, account, ticket, time, side, lots, symbol, price, sl, tp, checked,
                  original, name, interest, method, note);
    EXPECT_EQ(client, 17);
    EXPECT_EQ(account, 2001);
    EXPECT_EQ(ticket, 90001);
    EXPECT_EQ(time, "05/03/2024 14:07:09");
    EXPECT_EQ(side, SellType);
    EXPECT_DOUBLE_EQ(lots, 1.5);
    EXPECT_EQ(symbol, 4);
    EXPECT_DOUBLE_EQ(price, 1.23456);
    EXPECT_EQ(sl, "M");
    EXPECT_EQ(tp, "");
    EXPECT_EQ(checked, 1);
    EXPECT_DOUBLE_EQ(original, 2.5);
    EXPECT_EQ(name, "EURUSD");
    EXPECT_DOUBLE_EQ(interest, -3.25);
    EXPECT_EQ(method, "Dealer");
    EXPECT_EQ(note, "");

    // Null and empty inputs become empty cells, never an error.
    const std::string empty =
        g.PosRowString(kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull,
                       kNull, kNull, kNull, kNull, kNull);
    EXPECT_EQ(empty, "R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@R,@");
}

TEST(GeneralsRows, PositionRowWholeNumbersAndBadRows) {
    CGenerals g;
    auto split = [&](const std::string& row, int32_t& client) {
        int32_t account = 0, ticket = 0, symbol = 0;
        int16_t checked = 0;
        double lots = 0, price = 0, original = 0, interest = 0;
        OperationTypeEnum side = BuyType;
        std::string time, sl, tp, name, method, note;
        g.SplitPosRow(row, client, account, ticket, time, side, lots, symbol, price, sl, tp,
                      checked, original, name, interest, method, note);
    };
    const std::string tail = "R,@1R,@ 3 R,@tR,@BuyR,@1R,@4R,@1R,@R,@R,@0R,@1R,@nR,@0R,@mR,@n";
    // Whole numbers round halves to even.
    const std::vector<std::pair<std::string, int32_t>> halves = {
        {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {" 7 ", 7}};
    for (const auto& [cell, expected] : halves) {
        int32_t client = 0;
        split(cell + tail, client);
        EXPECT_EQ(client, expected) << cell;
    }
    int32_t client = 99;
    EXPECT_EQ(ErrorNumberOf([&] { split(tail, client); }), runtime::errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { split("xR,@" + tail.substr(3), client); }),
              runtime::errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { split("1R,@2R,@3", client); }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(client, 99);  // a refused row leaves the outputs alone
}

TEST(GeneralsRows, OrderAuditAndHistoryRowsSplitBack) {
    auto clock = FixedAt(runtime::DateTimeSerial(2024, 3, 5, 14, 7, 9));
    CGenerals g;

    const std::string order =
        g.OrderRowString(L(501), S("05/03/2024 10:00:00"), L(-1), D(0.5), S(" 7 "), D(1.1), S("LO"),
                         kNull, D(1.05), S(""), L(0), S("note"));
    std::vector<std::string> o(12, "?");
    g.SplitOrderRow(order, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                    o[11]);
    EXPECT_EQ(o, (std::vector<std::string>{"501", "05/03/2024 10:00:00", "-1", "0.5", "7", "1.1",
                                           "LO", "", "1.05", "", "0", "note"}));

    const std::string audit =
        g.OrdersAuditRowString(3, 2001, LimitOrdersType, 77, 20, kNull, S(" 12 "), S(" 1.1 "),
                               D(1.2), L(10), S("4 "), kNull, S("1.0"), SellType);
    std::vector<std::string> a(15, "?");
    g.SplitOrderAuditRow(audit, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                         a[11], a[12], a[13], a[14]);
    EXPECT_EQ(
        a, (std::vector<std::string>{"3", "2001", "2", "77", "20", "0", "12", "05/03/2024 14:07:09",
                                     "1.1", "1.2", "10", "4", "", "1.0", "-1"}));

    const std::string history = g.AccHistoryRowString(
        L(9), S("t1"), S("2"), L(4), D(1.5), L(1), S("t0"), D(1.1), D(1.2), D(0), D(-2), D(0.5),
        L(1), D(1.15), D(150.25), S("EURUSD"), S("method"), S("the note"));
    std::vector<std::string> h(17, "?");
    g.SplitHistoryRow(history, h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], h[8], h[9], h[10],
                      h[11], h[12], h[13], h[14], h[15], h[16]);
    // Seventeen cells are read: the method lands in the note.
    EXPECT_EQ(
        h, (std::vector<std::string>{"9", "t1", "2", "4", "1.5", "1", "t0", "1.1", "1.2", "0", "-2",
                                     "0.5", "1", "1.15", "150.25", "EURUSD", "method"}));

    EXPECT_EQ(ErrorNumberOf([&] {
                  g.SplitOrderAuditRow("1R,@2", a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                       a[8], a[9], a[10], a[11], a[12], a[13], a[14]);
              }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(a[0], "3");
}

TEST(GeneralsLists, ClientParametersComeInGroupsOfEight) {
    CGenerals g;
    std::vector<int32_t> ids{0, 111, 222, 333};
    std::vector<Variant> spread;
    std::vector<int16_t> plus;
    std::vector<double> limit, stop, comm, maxLots, minLots;
    auto split = [&](const std::string& list) {
        return g.SplitClientParameters(list, ids, spread, plus, limit, stop, comm, maxLots,
                                       minLots);
    };

    EXPECT_EQ(split("1,2.5,1,10,20,7.5,100,0.1,2,3,0,15,25,0,50,"), 0 + 2);
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 2);
    EXPECT_EQ(spread[1], S("2.5"));
    EXPECT_EQ(plus[2], 0);
    EXPECT_DOUBLE_EQ(limit[2], 15);
    EXPECT_DOUBLE_EQ(comm[1], 7.5);
    EXPECT_DOUBLE_EQ(maxLots[2], 50);
    EXPECT_DOUBLE_EQ(minLots[1], 0.1);
    EXPECT_DOUBLE_EQ(minLots[2], 0);  // the last value reads as a leading number

    const auto before = ids;
    for (const char* blank : {"", "   "}) EXPECT_EQ(split(blank), 0);
    // Not whole groups, or a value that is not a number: refused, nothing touched.
    for (const char* bad :
         {"1,2,3,4,5,6,7,8,9,10,11,12", "1,2,3,4,5,6,7,8,9", "1,2,3,x,5,6,7,8", "1,2,3,,5,6,7,8"}) {
        EXPECT_NE(ErrorNumberOf([&] { split(bad); }), 0) << bad;
        EXPECT_EQ(ids, before);
    }
    EXPECT_EQ(ErrorNumberOf([&] { split("1,2,3,4,5,6,7,8,9"); }),
              runtime::errc::SubscriptOutOfRange);

    const std::vector<int32_t> symbols{0, 5, 6};
    const std::vector<Variant> spreads{Variant(), S("2"), D(1.5)};
    const std::vector<double> l{0, 1, 2}, s{0, 3, 4}, c{0, 0.5, 0}, mx{0, 100, 50}, mn{0, 0.1, 1};
    EXPECT_EQ(g.ParametersString(symbols, spreads, l, s, c, mx, mn),
              "5,2,1,3,0.5,100,0.1,6,1.5,2,4,0,50,1");
    EXPECT_EQ(ErrorNumberOf([&] { g.ParametersString(symbols, spreads, l, s, c, mx, {0}); }),
              runtime::errc::SubscriptOutOfRange);
}

TEST(GeneralsLists, ClosesComeInGroupsOfEight) {
    CGenerals g;
    std::vector<std::vector<std::string>> a(8, std::vector<std::string>{"old", "old"});
    auto split = [&](const std::string& list) {
        return g.SplitClosesPos(list, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    };
    EXPECT_EQ(split("1,0.5,1.1,1.0,t,2,3,4,9,1,1.2,1.1,u,0,0,-5"), 2);
    EXPECT_EQ(a[0], (std::vector<std::string>{"", "1", "9"}));
    EXPECT_EQ(a[4], (std::vector<std::string>{"", "t", "u"}));
    EXPECT_EQ(a[7], (std::vector<std::string>{"", "4", "-5"}));
    EXPECT_EQ(split(""), 0);
    EXPECT_EQ(ErrorNumberOf([&] { split("1,2,3,4,5,6,7,8,9"); }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(a[0], (std::vector<std::string>{"", "1", "9"}));
}

TEST(GeneralsLifecycle, ReleasedHelpersRaiseInsteadOfCrashing) {
    CGenerals g;
    g.Deallocate();
    g.Deallocate();
    EXPECT_EQ(g.BuySellDesc(BuyType), "Buy");
    EXPECT_EQ(ErrorNumberOf([&] {
                  g.OrderRowString(L(1), kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull,
                                   kNull, kNull, kNull);
              }),
              runtime::errc::ObjectVariableNotSet);
}

}  // namespace
