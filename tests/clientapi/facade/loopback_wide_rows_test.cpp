// A logged-in session object whose accounts answer comes from the scripted
// peer with one row as wide as a row may be and a thousand short ones: the
// process keeps its memory and the session loads the answer's one account.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "connection/CClientServerManager.h"
#include "platform/Timer.h"
#include "tests/clientapi/facade/manager_fixture.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
namespace ts = testsupport;
using managerfixture::ClientRow;
using managerfixture::SymbolRow;

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Row 1: account 70 of client 7, its row stretched to the widest a row may
// be; rows 2..n: one cell each, which no account can be made of.
std::vector<std::string> AccountsWideThenShort(size_t n) {
    std::string wide = "7R,@70R,@1R,@0R,@R,@0";
    for (size_t c = 6; c < KVClientDLL10::CClientServerManager::kMaxRowCells; ++c) wide += "R,@";
    std::vector<std::string> texts{wide};
    for (size_t i = 2; i <= n; ++i) texts.push_back("x" + std::to_string(i));
    return texts;
}

TEST(WideAccountsAnswer, ALoggedInSessionLoadsItWithinAFewMegabytes) {
    platform::ScopedVirtualTime time;
    ts::TempProgramFolder folder{"widerows"};
    std::vector<std::string> boxes;
    og::SetMessageNotifier([&](const std::string& t) { boxes.push_back(t); });
    ts::ScriptedPeer peer;
    peer.ServeRowRequests();
    auto api = std::make_unique<OrbanexClientAPI10::COrbanexClientAPI>();
    size_t before = 0, grown = 0, loaded = 0;
    runtime::ScopedConnection link = api->AllDataAreLoaded.Connect([&] {
        grown = HeapInUse() - before;
        ++loaded;
    });

    peer.Script()
        .AcceptLogin(ts::LoginGrant().User(77))
        .Expect(og::GET_VARIABLES_TOKEN)
        .Reply(ts::Result({"10,2,3", "0,1,0,2,0,0,0,,0", "10:00:00", "0", "3", "0", "0"}))
        .Expect(og::GET_PRIVS_TOKEN)
        .Reply(ts::Result({"5,8", "7"}))
        .Expect(og::GET_ALL_SYMBOLS_TOKEN)
        .Reply(ts::Rows::Table({SymbolRow("1", "USD", "1", "1"), SymbolRow("2", "EURUSD")}))
        .Expect(og::GET_CLIENTS_TOKEN)
        .Reply(ts::Rows::Table({ClientRow(7, "ann")}))
        .Expect(og::GET_ACCOUNTS2_TOKEN)
        .Do([&] { before = HeapInUse(); })
        .Reply(ts::Rows(AccountsWideThenShort(1000)))
        .Expect(og::START_MARKET_TOKEN);
    api->SetLoginInfo("dealer", "secret", peer.Address(), peer.Port());
    api->Login();
    ASSERT_TRUE(peer.Finish()) << peer.Transcript(20);
    ASSERT_TRUE(peer.RunUntil([&] { return loaded > 0; }));

    EXPECT_LT(grown, size_t{8} << 20);
    EXPECT_EQ(loaded, 1u);
    EXPECT_TRUE(api->LogedOn());
    EXPECT_EQ(api->AccountsCount(7), 1);
    EXPECT_NE(api->AccountByID(70), nullptr);
    EXPECT_EQ(boxes, std::vector<std::string>{});
    api.reset();
    og::SetMessageNotifier(nullptr);
}

}  // namespace
