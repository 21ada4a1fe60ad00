// What one further row message costs a logged-on session once a row of a
// large multi-row answer was lost and asked for: the answer (arg: its row
// count) arrives with row 2 missing and row 1 sent twice, so the session asks
// for row 2; every iteration then sends row 1 once more, which ends the
// count-down again and asks for row 2 again. The time is one such round trip
// on loopback, the peer's write and read included, on the session's one
// thread. A row message should cost the same for 1,000 rows as for 1,000,000.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/PeerMessages.h"

namespace {

namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;

constexpr int32_t kWaitMs = 120000;

class Asker : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {}
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable&, int32_t,
                                  int16_t) override {
        std::cerr << "the answer was delivered although row 2 never came\n";
        std::abort();
    }
    bool HasThisToken(int16_t token) override { return token == og::GET_ACCOUNTS_TOKEN; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask() { relay_->RequestFromServer(og::GET_ACCOUNTS_TOKEN, {}); }

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

// A session and the server's end of its connection, left waiting for row 2.
class LostRowSession {
public:
    explicit LostRowSession(int32_t rows) {
        server_.OnAccept.Connect([this](std::shared_ptr<platform::TcpSocket> s) {
            end_ = std::move(s);
            end_->OnReceive.Connect([this] {
                std::string chunk;
                end_->Receive(chunk);
                in_ += chunk;
            });
        });
        server_.Listen("127.0.0.1", 0);
        client_.setTokens(std::make_shared<og::CTokens>());
        client_.setServerAddress("127.0.0.1");
        client_.setServerPort(server_.Port());
        client_.AddClientServerObject(asker_);

        client_.Login();
        Expect(og::LOGIN_TOKEN);
        end_->Send(testsupport::LoginAccepted().Render(session_));
        Until([&] { return client_.LogedOn(); }, "the login");

        asker_->Ask();
        Expect(og::GET_ACCOUNTS_TOKEN);
        std::string answer = testsupport::RowCount(std::to_string(rows)).Render(session_);
        for (int32_t i = 1; i <= rows; ++i) {
            if (i != 2) answer += Row(i);
        }
        end_->Send(answer + Row(1));
        Expect(og::RESULT_LOST_TOKEN);
        row1_ = Row(1);
    }

    // One more row 1, and the session's renewed ask for row 2.
    void OneMoreRow() {
        end_->Send(row1_);
        Until([&] { return in_.find(og::wire::kEndMarker.text) != std::string::npos; },
              "the ask for row 2");
        in_.clear();
    }

private:
    std::string Row(int32_t i) {
        return testsupport::Row(std::to_string(i), "account " + std::to_string(i) + "R,@EUR")
            .Render(session_);
    }

    template <class F>
    void Until(F done, const char* what) {
        if (!platform::EventLoop::RunUntil(done, kWaitMs)) {
            std::cerr << "gave up waiting for " << what << "\n";
            std::abort();
        }
    }

    // Waits for the next whole message from the session and checks its token.
    void Expect(int32_t token) {
        Until([&] { return end_ && in_.find(og::wire::kEndMarker.text) != std::string::npos; },
              "a message from the session");
        const size_t end = in_.find(og::wire::kEndMarker.text);
        const testsupport::Received got = testsupport::ParseMessage(in_.substr(0, end));
        if (got.token != token) {
            std::cerr << "expected token " << token << ", got " << got.token << "\n";
            std::abort();
        }
        in_.erase(0, end + og::wire::kEndMarker.text.size());
    }

    platform::TcpServer server_;
    std::shared_ptr<platform::TcpSocket> end_;
    std::string in_;
    int32_t sidCounter_ = 1;
    testsupport::Session session_{&sidCounter_};
    kv::CKVClient client_;
    std::shared_ptr<Asker> asker_ = std::make_shared<Asker>();
    std::string row1_;
};

// One session per row count, set up once: a large answer takes seconds to send.
LostRowSession& SessionWith(int32_t rows) {
    static platform::ScopedVirtualTime time;  // the sessions' timers never fire
    static std::map<int32_t, std::unique_ptr<LostRowSession>> sessions;
    auto& s = sessions[rows];
    if (!s) s = std::make_unique<LostRowSession>(rows);
    return *s;
}

void RowAfterALostRow(benchmark::State& state) {
    LostRowSession& session = SessionWith(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) session.OneMoreRow();
}
BENCHMARK(RowAfterALostRow)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
