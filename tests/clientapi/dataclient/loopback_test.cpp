// The request objects on a real connection session against the scripted
// peer: requests as the server sees them, answers back as typed events, the
// report rows to the report object, and a short answer reported once while
// the session goes on serving.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CManagerReports.h"
#include "general/common/Enums.h"
#include "platform/Timer.h"
#include "tests/clientapi/dataclient/AnswerRecorder.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace oc = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using Lines = std::vector<std::string>;
using testsupport::Result;
using testsupport::Rows;
using testsupport::ScriptedPeer;

TEST(RequestObjectsOnASession, RequestsGoOutAndAnswersComeBackAsEvents) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto& client = *probe.client;
    auto object = std::make_shared<oc::CClientServer>();
    auto reports = std::make_shared<oc::CManagerReports>();
    client.AddClientServerObject(object);
    client.AddClientServerObject(reports);
    testsupport::AnswerRecorder<oc::CClientServer> events{*object};
    Lines reportRows;
    reports->ReportDataReceived.Connect([&](bool NoRows, const KVClientDLL10::ResultTable& Data) {
        reportRows.push_back(std::to_string(NoRows) + " " + Data(2, 1) + "," + Data(2, 2));
    });

    peer.Script().AcceptLogin(testsupport::LoginGrant().Sid(1234).User(77));
    client.Login();
    ASSERT_TRUE(
        peer.RunUntil([&] { return client.LogedOn(); }, ScriptedPeer::kWaitMs, "the login"));

    peer.Script()
        .Expect(og::NEW_ORDER_TOKEN)
        .WithParams({"1", "2", "3", "1", "0.5", "1.25", "77", "100.12", "t", "q", "", "n"})
        .Reply(Result({"1", "2", "d", "0.5", "1", "1.25", "3", ""}))
        .Expect(og::NEW_CLIENT_TOKEN)
        .WithParams({"9"})
        .Reply(Result({"4", "tag"}))
        .Expect(og::GET_REPORT_TOKEN)
        .WithParams({"7", "p"})
        .Reply(Rows::Table({{"a", "b"}, {"c", "d"}}))
        .Expect(og::RESULT_OK_TOKEN)
        .Expect(og::NEW_ORDER_TOKEN)
        .Reply(Result({"1", "2", "d", "0.5", "1", "1.25"}))
        .Expect(og::GET_PRIVS_TOKEN)
        .WithParams({"77", "D"})
        .Reply(Result({"privs", "5"}));
    object->NewOrder(1, 2, 3, og::BuyType, 0.5, 1.25, 100.125, 77, "t", "q", "", "n");
    object->CreateClient(9, "!&NS&!", "s", "t", "l", "u", "p", "", "", "", "", "", "", "", true,
                         true, "", "tag");
    object->GetReport(oc::AccountsStatusReport, "p");
    object->NewOrder(1, 2, 3, og::BuyType, 0.5, 1.25, 0, 77, "", "", "", "");
    object->GetPrivs(77, "D");
    ASSERT_TRUE(peer.Finish()) << probe.Dump();
    ASSERT_TRUE(peer.RunUntil([&] { return events.lines.size() == 3; }, ScriptedPeer::kWaitMs,
                              "the answers"))
        << probe.Dump();

    EXPECT_EQ(events.Take(),
              (Lines{"NewOrderResultRecieved(1, 2, d, 0.5, 1, 1.25, 3, )",
                     "CreateClientResultRecieved(4, tag)", "PrivsRecieved(privs, 5)"}));
    EXPECT_EQ(reportRows, Lines{"0 c,d"});
    ASSERT_EQ(probe.errors.size(), 1u) << probe.Dump();
    EXPECT_NE(probe.errors[0].find("Subscript out of range"), std::string::npos) << probe.errors[0];
}

}  // namespace
