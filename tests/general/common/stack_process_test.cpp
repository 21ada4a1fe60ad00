#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "general/common/CGenerals.h"
#include "general/common/CProcess.h"
#include "general/common/IClientServer.h"
#include "general/common/IInteractiveForm.h"
#include "general/common/MTokens.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "tests/general/common/stack_loopback.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;
using runtime::Variant;

// Nothing implements them here; hosts do.
static_assert(std::is_abstract_v<OrbanelGeneral10::IClientServer>);
static_assert(std::is_abstract_v<IInteractiveForm>);

const std::string NS = "!&NS&!";
const std::string Invalid = "%$#InVaLID";

std::string W(int32_t token) {
    return std::string(TokenWord(token));
}

std::string Message(int32_t token, std::vector<std::string> p, std::string sid = "") {
    std::string text = W(token) + "s?<";
    if (!sid.empty()) text += sid + "&h,";
    for (const auto& v : p) text += "G)_" + v;
    return text;
}

std::vector<std::string> Params(const CProcess& p) {
    std::vector<std::string> out;
    for (size_t i = 1; i <= p.Parameters(); ++i) out.push_back(p.ParameterValue(int64_t(i)));
    return out;
}

TEST(GeneralProcess, StartsEmpty) {
    CProcess p;
    EXPECT_EQ(p.TokenID(), UNDEFINED);
    EXPECT_EQ(p.CommandSID(), -100);
    EXPECT_FALSE(p.ValidateSID());  // no session id to compare, so no socket is needed
    EXPECT_EQ(p.Parameters(), 0u);
    EXPECT_EQ(p.SentBytes(), 0);
    EXPECT_EQ(p.ProcessLogLevel(), 1);
    EXPECT_EQ(p.SystemLogLevel(), 0);
    EXPECT_EQ(p.ProcessDescription(), "'' ");
    EXPECT_EQ(p.ParameterDefaultValue(), NS);
    EXPECT_EQ(p.RowStringDelimiter(), "R,@");
    EXPECT_EQ(ErrorNumberOf([&] { p.RowCellsCount(); }), runtime::errc::SubscriptOutOfRange);
    p.AddRowString("aR,@R,@b");
    EXPECT_EQ(p.RowCellsCount(), 3);
    EXPECT_EQ(p.RowCell(2), "");
    EXPECT_EQ(ErrorNumberOf([&] { p.RowCell(4); }), runtime::errc::SubscriptOutOfRange);
}

TEST(GeneralProcess, ParsesReceivedMessages) {
    struct Case {
        std::string text;
        TokensEnum token;
        int32_t sid;
        std::vector<std::string> params;
    };
    const std::vector<Case> cases = {
        {Message(GET_ACCOUNTS_TOKEN, {"a", "", "c"}, "77"), GET_ACCOUNTS_TOKEN, 77, {"a", "", "c"}},
        {Message(RESULT_TOKEN, {"1", "xR,@y"}), RESULT_TOKEN, -100, {"1", "xR,@y"}},
        {Message(LOGIN_TOKEN, {}, "-1"), LOGIN_TOKEN, -1, {}},
        // An unknown word is token 0 and carries no parameters.
        {"NOT-A-WORDs?<G)_a", UNDEFINED, -100, {}},
        {Message(RESULT_TOKEN, {Invalid, "b"}), RESULT_TOKEN, -100, {}},
        {Message(RESULT_TOKEN, {"a", Invalid, "b"}), RESULT_TOKEN, -100, {"a"}},
    };
    CProcess p;
    for (const auto& c : cases) {
        p.DefineProcessByCommand(3, c.text);
        EXPECT_EQ(p.TokenID(), c.token) << c.text;
        EXPECT_EQ(p.CommandSID(), c.sid) << c.text;
        EXPECT_EQ(Params(p), c.params) << c.text;
        EXPECT_EQ(p.ProcessLogLevel(), 3);
        EXPECT_EQ(p.SentBytes(), int32_t(c.text.size()));
        EXPECT_EQ(p.ParameterValue(int64_t(c.params.size()) + 1), Invalid);
    }
    EXPECT_EQ(ErrorNumberOf([&] { p.ParameterValue(0); }), runtime::errc::SubscriptOutOfRange);
}

TEST(GeneralProcess, DescribesOnlyMessagesAtOrBelowTheSystemLevel) {
    CProcess p;
    p.setSystemLogLevel(5);
    p.DefineProcessByCommand(5, Message(GET_ACCOUNTS_TOKEN, {"a", "b"}, "9"));
    const std::string described = "'Requesting accounts info' P1=(a) , P2=(b)";
    EXPECT_EQ(p.ProcessDescription(), described);
    // Above the level the texts stay those of the last described message.
    p.DefineProcessByCommand(6, Message(RESULT_TOKEN, {"x"}));
    EXPECT_EQ(Params(p), std::vector<std::string>{"x"});
    EXPECT_EQ(p.ProcessDescription(), described);
}

TEST(GeneralProcess, BuildsResponsesAndRequests) {
    CProcess p;
    std::vector<std::string> all(51, NS);
    p.setSystemLogLevel(1);
    p.DefineProcessByCommand(1, Message(RESULT_TOKEN, {"kept"}));

    // All parameters unsent: none on the wire; above the level the list stays.
    p.DefineResponseByToken(2, RESULT_TOKEN, all);
    EXPECT_EQ(p.SentBytes(), int32_t(Message(RESULT_TOKEN, {}).size() + 3));
    EXPECT_EQ(p.TokenID(), RESULT_TOKEN);
    EXPECT_EQ(Params(p), std::vector<std::string>{"kept"});

    // At the level the list is read back from the built text: 51 values at most,
    // none after the first not-sent marker.
    std::vector<std::string> many;
    for (int i = 1; i <= 52; ++i) many.push_back("v" + std::to_string(i));
    p.DefineResponseByToken(1, GET_PRICES_TOKEN, many);
    EXPECT_EQ(p.Parameters(), 51u);
    EXPECT_EQ(p.ParameterValue(51), "v51");
    p.DefineResponseByToken(1, RESULT_TOKEN, {"a", NS, "c"});
    EXPECT_EQ(Params(p), std::vector<std::string>{"a"});
    EXPECT_EQ(p.ProcessDescription(), "'Result' P1=(a)");

    // A request carries the session id and leaves the list alone.
    p.DefineRequestByToken(314, 9, NEW_ORDER_TOKEN, {"1", "2"});
    EXPECT_EQ(p.TokenID(), NEW_ORDER_TOKEN);
    EXPECT_EQ(p.ProcessLogLevel(), 9);
    EXPECT_EQ(p.SentBytes(), int32_t(Message(NEW_ORDER_TOKEN, {"1", "2"}, "314").size() + 3));
    EXPECT_EQ(Params(p), std::vector<std::string>{"a"});
    EXPECT_TRUE(p.IsValidFirstCommand(Message(LOGIN_TOKEN, {"u"}, "-1")));
    EXPECT_FALSE(p.IsValidFirstCommand(Message(NEW_ORDER_TOKEN, {"u"}, "-1")));
}

TEST(GeneralProcess, RefusedInputLeavesTheMessageAsItWas) {
    CProcess p;
    p.DefineProcessByCommand(1, Message(RESULT_TOKEN, {"a"}));
    const int32_t bytes = p.SentBytes();
    EXPECT_EQ(ErrorNumberOf([&] { p.DefineResponseByToken(1, TokensEnum(351), {"x"}); }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberOf([&] { p.DefineRequestByToken(1, 1, TokensEnum(-1), {"x"}); }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberOf([&] {
                  p.DefineProcessByCommand(1, Message(GET_PRICES_TOKEN, {"b"}, "99999999999"));
              }),
              runtime::errc::Overflow);
    EXPECT_EQ(p.TokenID(), RESULT_TOKEN);
    EXPECT_EQ(p.SentBytes(), bytes);
    EXPECT_EQ(Params(p), std::vector<std::string>{"a"});
}

TEST(GeneralProcess, ReadsTheSessionInItsSocketsTag) {
    auto socket = std::make_shared<platform::TcpSocket>();
    stacktest::SessionTag(socket, 55);
    CProcess p;
    // Without a socket a session id cannot be checked.
    p.DefineProcessByCommand(1, Message(GET_PRICES_TOKEN, {}, "55"));
    EXPECT_EQ(ErrorNumberOf([&] { p.ValidateSID(); }), runtime::errc::ObjectVariableNotSet);
    p.setChild(socket);
    const std::vector<std::pair<std::string, bool>> cases = {
        {"55", true}, {"56", false}, {"-1", false}};
    for (const auto& [sid, valid] : cases) {
        p.DefineProcessByCommand(1, Message(GET_PRICES_TOKEN, {}, sid));
        EXPECT_EQ(p.ValidateSID(), valid) << sid;
    }
    EXPECT_EQ(p.ID(), "55");
    p.setSystemLogLevel(1);
    p.DefineProcessByCommand(1, Message(RESULT_TOKEN, {"ok"}));
    EXPECT_EQ(p.toString(), "From:  Process:'Result' P1=(ok)");
    EXPECT_EQ(p.SessionDescription(socket), "<55> (0)");
    socket->Tag = Variant(int32_t{5});
    EXPECT_EQ(ErrorNumberOf([&] { p.ID(); }), runtime::errc::ObjectRequired);
    EXPECT_EQ(p.SessionDescription(socket), "");
}

TEST(GeneralProcess, SendReportsWhetherTheTextWent) {
    stacktest::SocketPair pair;
    ASSERT_TRUE(pair.open);
    CProcess p;
    p.DefineResponseByToken(1, RESULT_TOKEN, {"a", "b"});
    EXPECT_EQ(p.Send(nullptr), SentFailedError);
    EXPECT_EQ(p.Send(std::make_shared<platform::TcpSocket>()), SentFailedZeroPort);
    EXPECT_EQ(p.Send(pair.near), SentSuccessfully);
    // A received message goes out as it came.
    p.DefineProcessByCommand(1, Message(GET_PRICES_TOKEN, {"x"}, "3") + "+3!");
    EXPECT_EQ(p.Send(pair.near), SentSuccessfully);
    ASSERT_TRUE(pair.inbox->WaitFor(2));
    EXPECT_EQ(pair.inbox->messages,
              (std::vector<std::string>{Message(RESULT_TOKEN, {"a", "b"}),
                                        Message(GET_PRICES_TOKEN, {"x"}, "3")}));
}

// The row splitters read back what the row builders wrote; the client API reads
// order-audit rows this way.
TEST(GeneralProcess, SplittersReadWhatTheBuildersWrote) {
    runtime::ScopedClock clock(
        std::make_shared<runtime::FixedClock>(runtime::DateTimeSerial(2024, 3, 5, 14, 7, 9)));
    CGenerals builder;
    CProcess p;
    const Variant kNull(runtime::Null);

    const std::string audit =
        builder.OrdersAuditRowString(3, 2001, SlTpType, 77, PriceSent_RequestType,
                                     Variant(int32_t{501}), kNull, Variant(" 1.1 "), Variant(1.25),
                                     Variant(0.5), Variant(" 4"), kNull, Variant("1.0"), BuyType);
    std::vector<std::string> a(15, "?");
    p.SplitOrderAuditRow(audit, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                         a[11], a[12], a[13], a[14]);
    EXPECT_EQ(
        a, (std::vector<std::string>{"3", "2001", "3", "77", "3", "501", "0", "05/03/2024 14:07:09",
                                     "1.1", "1.25", "0.5", "4", "", "1.0", "1"}));
    // As the client API converts them.
    EXPECT_EQ(runtime::CInt(runtime::Val(a[4])), PriceSent_RequestType);
    EXPECT_DOUBLE_EQ(runtime::Val(a[9]), 1.25);

    const std::string order =
        builder.OrderRowString(Variant(int32_t{9}), Variant("t"), Variant(int32_t{-1}),
                               Variant(2.0), Variant(" 7 "), Variant(1.5), kNull, Variant("c"),
                               Variant(""), Variant("1.6"), Variant(int32_t{0}), Variant("n"));
    std::vector<std::string> o(12, "?");
    p.SplitOrderRow(order, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                    o[11]);
    EXPECT_EQ(o, (std::vector<std::string>{"9", "t", "-1", "2", "7", "1.5", "", "c", "", "1.6", "0",
                                           "n"}));

    const std::string pos = builder.PosRowString(
        Variant(int32_t{17}), Variant("2001"), Variant(int32_t{90001}), Variant("open"),
        Variant(int32_t{-1}), Variant(1.5), Variant("4"), Variant(1.2345), Variant(1.1), kNull,
        Variant(int32_t{1}), Variant(2.0), Variant("EURUSD"), Variant(-3.25), Variant("m"), kNull);
    int32_t client = 0, account = 0, ticket = 0, symbol = 0;
    int16_t checked = 0;
    double lots = 0, price = 0, original = 0, interest = 0;
    OperationTypeEnum side = BuyType;
    std::string time, sl, tp, name, method, note = "?";
    p.SplitPosRow(pos, client, account, ticket, time, side, lots, symbol, price, sl, tp, checked,
                  original, name, interest, method, note);
    EXPECT_EQ(std::vector<int32_t>({client, account, ticket, symbol, checked, side}),
              std::vector<int32_t>({17, 2001, 90001, 4, 1, SellType}));
    EXPECT_EQ(std::vector<double>({lots, price, original, interest}),
              std::vector<double>({1.5, 1.2345, 2.0, -3.25}));
    EXPECT_EQ(std::vector<std::string>({time, sl, tp, name, method, note}),
              std::vector<std::string>({"open", "M", "", "EURUSD", "m", ""}));

    // A short row is refused and the outputs stay.
    EXPECT_EQ(ErrorNumberOf([&] {
                  p.SplitOrderAuditRow("1R,@2", a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                       a[8], a[9], a[10], a[11], a[12], a[13], a[14]);
              }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(a[0], "3");
    EXPECT_EQ(ErrorNumberOf([&] {
                  p.SplitOrderRow("1", o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9],
                                  o[10], o[11]);
              }),
              runtime::errc::SubscriptOutOfRange);
    EXPECT_EQ(o[0], "9");
}

}  // namespace
