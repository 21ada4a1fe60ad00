#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "general/common/CHClient.h"
#include "general/common/MTokens.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "tests/general/common/stack_loopback.h"

namespace {

using namespace OrbanelGeneral10;
using stacktest::Wait;

std::string W(int32_t token) {
    return std::string(TokenWord(token));
}

// The server end: accepts connections and keeps them.
struct Host {
    Host() {
        server.Listen("127.0.0.1", 0);
        server.OnAccept.Connect(
            [this](std::shared_ptr<platform::TcpSocket> s) { accepted.push_back(std::move(s)); });
    }
    std::unique_ptr<CHClient> Client() {
        auto client = std::make_unique<CHClient>();
        client->setServerAddress("127.0.0.1");
        client->setServerPort(server.Port());
        return client;
    }
    platform::TcpServer server;
    std::vector<std::shared_ptr<platform::TcpSocket>> accepted;
};

// Every event of a client as a line; the log outlives the client.
void Record(CHClient& c, const std::shared_ptr<std::vector<std::string>>& log,
            std::vector<std::shared_ptr<CProcess>>* kept = nullptr) {
    c.State.Connect([log](TCPClientStatusType s) { log->push_back("State" + std::to_string(s)); });
    c.ReceivedData.Connect([log](int32_t n) { log->push_back("Data" + std::to_string(n)); });
    c.Receive.Connect([log, kept](const std::shared_ptr<CProcess>& p) {
        log->push_back("Receive" + std::to_string(p->TokenID()) + "/" +
                       std::to_string(p->Parameters()));
        if (kept) kept->push_back(p);
    });
    c.NotConnected.Connect([log] { log->push_back("NotConnected"); });
}

TEST(SessionClient, HandsEachCompleteMessageOverParsed) {
    Host host;
    auto client = host.Client();
    auto log = std::make_shared<std::vector<std::string>>();
    std::vector<std::shared_ptr<CProcess>> kept;
    Record(*client, log, &kept);
    EXPECT_EQ(client->Status(), STATUS_DISCONNECTED);
    client->Connect();
    ASSERT_TRUE(
        Wait([&] { return client->Status() == STATUS_CONNECTED && !host.accepted.empty(); }));

    const std::string chunk =
        W(GET_PRICES_TOKEN) + "s?<G)_1G)_2+3!" + "UNKNOWNs?<G)_x+3!" + W(RESULT_TOKEN) + "s?<G)_a";
    host.accepted[0]->Send(chunk);
    ASSERT_TRUE(Wait([&] { return kept.size() == 2; }));
    host.accepted[0]->Send("G)_b+3!");
    ASSERT_TRUE(Wait([&] { return kept.size() == 3; }));
    EXPECT_EQ(*log,
              (std::vector<std::string>{"State0", "Data" + std::to_string(chunk.size()),
                                        "Receive101/2", "Receive0/0", "Data7", "Receive4/2"}));
    // Each message is its own object, parsed at process log level 5, and stays
    // the host's after the handler.
    EXPECT_NE(kept[0], kept[2]);
    EXPECT_EQ(kept[0]->ProcessLogLevel(), 5);
    EXPECT_EQ(kept[0]->ParameterValue(2), "2");
    EXPECT_EQ(kept[2]->ParameterValue(2), "b");

    host.accepted[0]->Close();
    ASSERT_TRUE(Wait([&] { return log->back() == "State1"; }));
}

// A host may let go of the client from inside any of its event handlers: the
// client stops there, raises nothing more and closes its connection.
TEST(SessionClient, SurvivesAHostThatReleasesItInsideAHandler) {
    enum class Where { Connected, FirstReceive, ReceivedData, Disconnected };
    for (Where where :
         {Where::Connected, Where::FirstReceive, Where::ReceivedData, Where::Disconnected}) {
        SCOPED_TRACE(static_cast<int>(where));
        Host host;
        auto client = host.Client();
        auto log = std::make_shared<std::vector<std::string>>();
        std::vector<std::shared_ptr<CProcess>> kept;
        Record(*client, log, &kept);
        bool released = false;
        auto release = [&] {
            released = true;
            client.reset();
        };
        switch (where) {
            case Where::Connected:
                client->State.Connect([&](TCPClientStatusType s) {
                    if (s == STATUS_CONNECTED) release();
                });
                break;
            case Where::FirstReceive:
                client->Receive.Connect([&](const std::shared_ptr<CProcess>&) { release(); });
                break;
            case Where::ReceivedData:
                client->ReceivedData.Connect([&](int32_t) { release(); });
                break;
            case Where::Disconnected:
                client->State.Connect([&](TCPClientStatusType s) {
                    if (s == STATUS_DISCONNECTED) release();
                });
                break;
        }
        client->Connect();
        ASSERT_TRUE(Wait([&] { return released || !host.accepted.empty(); }));
        if (!released) {
            host.accepted[0]->Send(W(RESULT_TOKEN) + "s?<G)_1+3!" + W(RESULT_TOKEN) + "s?<G)_2+3!");
            if (where == Where::Disconnected) {
                ASSERT_TRUE(Wait([&] { return kept.size() == 2; }));
                host.accepted[0]->Close();
            }
        }
        ASSERT_TRUE(Wait([&] { return released; }));
        const size_t seen = log->size();
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(5000));
        EXPECT_EQ(log->size(), seen) << "an event after the release";
        if (where == Where::FirstReceive) {
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(kept[0]->ParameterValue(1), "1");  // still readable
        }
        if (where != Where::Disconnected) {
            ASSERT_TRUE(Wait([&] {
                return !host.accepted.empty() &&
                       host.accepted[0]->State() == platform::TcpSocket::kStateClosed;
            })) << "the released client left its connection open";
        }
    }
}

}  // namespace
