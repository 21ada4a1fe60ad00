#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CQueue.h"
#include "protocol/CEventManager.h"
#include "protocol/CQueue.h"
#include "protocol/CSecure.h"
#include "runtime/Error.h"

namespace {

using namespace KVGeneralDLL10;

struct Raised {
    std::vector<std::string> log;
};

class Relay : public ::testing::Test {
protected:
    void SetUp() override {
        relay.AddLogEntry.Connect([this](const std::string& msg, int16_t level) {
            raised.push_back("log " + msg + " " + std::to_string(level));
        });
        relay.ProcessHandled.Connect(
            [this](int16_t id) { raised.push_back("handled " + std::to_string(id)); });
        relay.ShowError.Connect([this](const std::string& title, const std::string& msg) {
            raised.push_back("error " + title + " " + msg);
        });
    }
    CEventManager relay;
    std::vector<std::string> raised;
};

TEST_F(Relay, TriggersEventsByNumber) {
    struct Case {
        EventsEnum id;
        std::string p1, p2;
        std::vector<std::string> raised;
        int32_t error;
    };
    const std::vector<Case> cases = {
        {AddLogEntryEvent, "text", "2", {"log text 2"}, 0},
        {AddLogEntryEvent, "text", "2.5", {"log text 2"}, 0},
        {AddLogEntryEvent, "text", "3.5", {"log text 4"}, 0},
        {AddLogEntryEvent, "text", " 1 2x", {"log text 12"}, 0},
        {AddLogEntryEvent, "text", "none", {"log text 0"}, 0},
        {AddLogEntryEvent, "text", "32768", {}, 6},
        {ProcessHandledEvent, "-32768", "", {"handled -32768"}, 0},
        {ProcessHandledEvent, "-32769", "", {}, 6},
        {ShowErrorEvent, "Title", "Message", {"error Title Message"}, 0},
        {AccountAddedEvent, "1", "2", {}, 0},
        {AddSessionEvent, "1", "2", {}, 0},
        {RequestFromServerEvent, "1", "2", {}, 0},
        {static_cast<EventsEnum>(99), "1", "2", {}, 0},
    };
    for (const auto& c : cases) {
        raised.clear();
        int32_t error = 0;
        try {
            relay.TriggerEvent(c.id, c.p1, c.p2, "unused");
        } catch (const runtime::Error& e) {
            error = e.Number();
        }
        EXPECT_EQ(error, c.error) << c.id << " " << c.p1 << " " << c.p2;
        EXPECT_EQ(raised, c.raised) << c.id << " " << c.p1 << " " << c.p2;
    }
}

TEST_F(Relay, PassesRequestsOnUnchanged) {
    std::vector<std::string> p(50, "!&NS&!");
    p[0] = "EURUSD";
    p[1] = "";
    int16_t gotToken = 0;
    std::vector<std::string> got;
    relay.ERequestFromServer.Connect([&](int16_t token, const std::vector<std::string>& values) {
        gotToken = token;
        got = values;
    });
    relay.RequestFromServer(107, p);
    EXPECT_EQ(gotToken, 107);
    EXPECT_EQ(got, p);

    relay.ERequestFromServer.Connect(
        [](int16_t, const std::vector<std::string>&) { throw runtime::Error(5, "handler"); });
    EXPECT_THROW(relay.RequestFromServer(-3, {}), runtime::Error);
    EXPECT_EQ(gotToken, -3);
}

TEST(Secure, PassesTextThrough) {
    CSecure secure;
    for (const std::string& text :
         {std::string(), std::string("abc"), std::string("a\0b", 3), std::string("G)_+3!")}) {
        EXPECT_EQ(secure.Code(text), text);
        EXPECT_EQ(secure.DeCode(text), text);
    }
}

struct SafeNode : IQueueNode, OrbanelGeneral10::ISafeObject {
    std::string ID() override { return ""; }
    std::string toString() override { return ""; }
    void Deallocate() override { ++deallocations; }
    int deallocations = 0;
};

TEST(RequestQueue, ReleaseDropsNodesWithoutDeallocatingThem) {
    auto node = std::make_shared<SafeNode>();
    {
        KVGeneralDLL10::CQueue requests;
        EXPECT_EQ(requests.Enqueue(node), SUCCESS);
        EXPECT_EQ(node.use_count(), 2);
    }
    EXPECT_EQ(node->deallocations, 0);
    EXPECT_EQ(node.use_count(), 1);
    {
        OrbanelGeneral10::CQueue sendQueue;  // the general library's queue deallocates
        sendQueue.Enqueue(node);
    }
    EXPECT_EQ(node->deallocations, 1);
}

}  // namespace
