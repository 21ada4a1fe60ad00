// A server that asks the session object to log in again on every login, by a
// summaries answer of -1 or by a re-routing push: the first ask logs in again
// at once, later ones at most once per connect interval, each on a connection
// of its own; the dealer's own Login still goes at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "tests/clientapi/facade/manager_fixture.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
namespace ts = testsupport;
using managerfixture::AccountRow;
using managerfixture::ClientRow;
using managerfixture::SymbolRow;

TEST(ServerAskedLogin, IsMadeAtOnceAtMostOncePerConnectInterval) {
    enum Road { kSummariesMinusOne, kRoutedOnEveryLogin };
    for (Road road : {kSummariesMinusOne, kRoutedOnEveryLogin}) {
        SCOPED_TRACE(road == kSummariesMinusOne ? "summaries -1" : "routed");
        platform::ScopedVirtualTime time;
        ts::TempProgramFolder folder{"relogin"};
        og::SetMessageNotifier([](const std::string&) {});
        ts::ScriptedPeer peer;
        peer.ServeRowRequests();
        ts::Batch granted(ts::LoginAccepted());
        // Routed to another name of the same peer: not the first address, so followed.
        if (road == kRoutedOnEveryLogin) granted.Add(ts::Route({"localhost"}));
        const std::string summary = road == kSummariesMinusOne ? "-1" : "0";
        peer.Answer(og::LOGIN_TOKEN, granted)
            .Answer(og::GET_VARIABLES_TOKEN,
                    ts::Result({"10,2,3", "0,1,0,2,0,0,0,,0", "10:00:00", "0", "3", "0", "0"}))
            .Answer(og::GET_PRIVS_TOKEN, ts::Result({"5,8", "7"}))
            .Answer(og::GET_ALL_SYMBOLS_TOKEN,
                    ts::Rows::Table({SymbolRow("1", "USD", "1", "1"), SymbolRow("2", "EURUSD")}))
            .Answer(og::GET_CLIENTS_TOKEN, ts::Rows::Table({ClientRow(7, "ann")}))
            .Answer(og::GET_ACCOUNTS2_TOKEN, ts::Rows::Table({AccountRow(7, 70)}))
            .Answer(og::START_MARKET_TOKEN, ts::Result({"1"}))
            .Answer(og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN,
                    ts::Result({"1", "7", "70", "0", "09/12/2026 10:00:00", "0", "0", ""}))
            .Answer(og::GET_SUMMARIES_TOKEN,
                    ts::Result({summary, "0", "0", "0", "0", "1000", "0", "0"}))
            .Answer(og::GETOPENPOS_TOKEN, ts::NoRows())
            .Answer(og::GET_PENDING_ORDERS_TOKEN, ts::NoRows());
        auto api = std::make_unique<OrbanexClientAPI10::COrbanexClientAPI>();
        const auto logins = [&] { return peer.ReceivedWith(og::LOGIN_TOKEN).size(); };
        api->SetLoginInfo("dealer", "secret", peer.Address(), peer.Port());
        api->Login();
        ASSERT_TRUE(peer.RunUntil([&] { return logins() == 2; }, ts::ScriptedPeer::kWaitMs,
                                  "the first ask, with no time passing"))
            << peer.Transcript(30);

        for (int step = 0; step < 100 && logins() <= 8; ++step) {
            time.Advance(100);
            ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ts::ScriptedPeer::kWaitMs));
        }
        const size_t again = logins() - 1;
        EXPECT_LE(again, 4u) << peer.Transcript(40);
        EXPECT_GE(again, 2u) << peer.Transcript(40);  // the interval is below 6 s
        // The first, as a Login on a live connection does, also opens one that
        // the old connection's close replaces; the later ones only their own.
        EXPECT_LE(peer.Connections() - 1, again + 1) << peer.Transcript(40);

        const size_t before = logins();
        api->Login();
        ASSERT_TRUE(peer.RunUntil([&] { return logins() > before; }, ts::ScriptedPeer::kWaitMs,
                                  "the dealer's login, with no time passing"));
        api.reset();
        og::SetMessageNotifier(nullptr);
    }
}

}  // namespace
