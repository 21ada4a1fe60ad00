// A request object may release the whole session from inside its answer: the
// router and the session touch nothing of theirs afterwards (ASan watches).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace og = OrbanelGeneral10;
using testsupport::Batch;
using testsupport::LoginGrant;
using testsupport::Rows;
using testsupport::ScriptedPeer;

TEST(ReleaseInAnswer, ARequestObjectMayReleaseTheSessionInsideOneRowAndMultiRowAnswers) {
    const std::vector<std::pair<int16_t, Batch>> answers = {
        {og::GET_PRIVS_TOKEN, testsupport::Result({"one", "row"})},
        {og::GET_ACCOUNTS_TOKEN, Rows({"r1", "r2"})},
    };
    for (const auto& [token, answer] : answers) {
        SCOPED_TRACE(token);
        platform::ScopedVirtualTime time;
        ScriptedPeer peer;
        peer.ServeRowRequests();
        testsupport::KVClientProbe probe{peer};
        auto object = probe.AddObject({token});
        object->onAnswer = [&] { probe.client.reset(); };
        peer.Script().AcceptLogin(LoginGrant().Sid(7)).Expect(token).Reply(answer);
        probe.client->Login();
        ASSERT_TRUE(peer.RunUntil([&] { return probe.client->LogedOn(); }));
        object->Request(token);
        ASSERT_TRUE(
            peer.RunUntil([&] { return !probe.client; }, ScriptedPeer::kWaitMs, "the release"))
            << probe.Dump();
        EXPECT_EQ(probe.Count("OneRow") + probe.Count("Rows"), 1u) << probe.Dump();
    }
}

}  // namespace
