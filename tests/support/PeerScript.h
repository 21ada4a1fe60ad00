#pragma once
// One client's script for the scripted server peer: step by step, what the
// peer expects from the client and what it sends back. Steps run in order as
// the client's messages arrive; a message that does not match the step in hand
// fails the script (unless a standing answer of the peer takes it).
//
//   peer.Script()
//       .Expect(LOGIN_TOKEN).WithSid(-1).WithParams({"dealer", "secret", "CLIENTAPI"})
//       .Reply(LoginAccepted(LoginGrant().User(77)))
//       .Expect(GET_ACCOUNTS_TOKEN).WithSessionSid()
//       .Reply(Rows::Table({{"1", "EUR"}, {"2", "USD"}}).Blank(2))
//       .ExpectLostRows({2})
//       .Expect(RESULT_OK_TOKEN)
//       .Push(ROUT_SERVER_TOKEN, {"10.0.0.2", "4401"});
//
// The builder only records; the steps run from the event loop (Finish,
// RunUntil), so steps may be added after earlier ones have run.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/PeerMessages.h"

namespace platform {
class Timer;
}

namespace testsupport {

namespace detail {
class PeerCore;
struct Conn;
}  // namespace detail

class PeerScript {
public:
    ~PeerScript();
    PeerScript(const PeerScript&) = delete;
    PeerScript& operator=(const PeerScript&) = delete;

    // Takes the next connection no script has taken (the first one is taken
    // without asking, by the first step that needs a connection). When several
    // scripts wait, the connection's first message decides: the script whose
    // client was given the session id it carries, else one that gave none yet.
    PeerScript& Accept();

    // The next message from the client has this token; the With... calls that
    // follow narrow the expectation.
    PeerScript& Expect(int32_t token);
    PeerScript& WithSid(int32_t sid);
    PeerScript& WithSessionSid();                             // the id the peer gave this client
    PeerScript& WithParams(std::vector<std::string> params);  // exactly these (kSid allowed)
    PeerScript& WithParam(size_t index, std::string value);   // 1-based
    PeerScript& WithParamCount(size_t count);
    PeerScript& Matching(std::function<bool(const Received&)> check, std::string what);
    PeerScript& Capture(Received* into);

    // Sends messages (Msg, Rows, std::vector<Msg>) in one write unless a cut follows.
    template <class... Parts>
    PeerScript& Send(Parts&&... parts) {
        Batch batch;
        (batch.Add(std::forward<Parts>(parts)), ...);
        return AddSend(std::move(batch));
    }
    template <class... Parts>
    PeerScript& Reply(Parts&&... parts) {
        return Send(std::forward<Parts>(parts)...);
    }
    PeerScript& Push(int32_t token, std::vector<std::string> params = {});

    // Cuts for the send step just added.
    PeerScript& EachMessageApart();
    PeerScript& SplitEvery(size_t bytes);
    PeerScript& SplitAt(std::vector<size_t> positions);  // positions in the step's text
    PeerScript& SplitInMarkers();

    // Sends row `row` of the last multi-row answer on this connection again.
    PeerScript& Resend(size_t row);
    // The client asks for exactly these rows, in this order (RESULT_LOST_TOKEN
    // with the row number); each is sent again as it is asked for.
    PeerScript& ExpectLostRows(std::vector<size_t> rows);
    // Expect(LOGIN_TOKEN) answered with LoginAccepted(grant).
    PeerScript& AcceptLogin(LoginGrant grant = {});

    PeerScript& Close();        // abrupt close of the connection by the peer
    PeerScript& ExpectClose();  // the client closes the connection
    // Nothing arrives on the connection and no new connection comes for `ms`.
    PeerScript& ExpectQuiet(int32_t ms);
    PeerScript& Pause(int32_t ms);
    PeerScript& StartHandshakes(int32_t periodMs);  // on this connection
    PeerScript& StopHandshakes();
    // Runs test code at this point (an exception fails the script). It may
    // call the client or advance virtual time, not run the event loop.
    PeerScript& Do(std::function<void()> action, std::string what = "test code");

    bool Finished() const { return !failed_ && index_ >= steps_.size(); }
    bool Failed() const { return failed_; }
    const std::string& Failure() const { return failure_; }
    // The connection in hand (accept order from 1), 0 before the first.
    size_t Connection() const;
    // The session id the peer gave this client, if any yet.
    std::optional<int32_t> SessionSid() const { return session_.Current(); }
    // "script 1 at step 3 of 5: expect LOGIN_TOKEN(1) ..."
    std::string Where() const;

private:
    friend class detail::PeerCore;

    enum class Kind {
        Accept,
        Expect,
        Send,
        Resend,
        Close,
        ExpectClose,
        ExpectQuiet,
        Pause,
        StartHandshakes,
        StopHandshakes,
        Do
    };
    struct Step {
        explicit Step(Kind k) : kind(k) {}
        Kind kind;
        // Expect
        int32_t token = 0;
        std::optional<int32_t> sid;
        bool sessionSid = false;
        std::optional<std::vector<std::string>> params;
        std::vector<std::pair<size_t, std::string>> param;
        std::optional<size_t> paramCount;
        std::vector<std::pair<std::function<bool(const Received&)>, std::string>> checks;
        Received* capture = nullptr;
        // Send, Resend
        Batch batch;
        Cut cut;
        size_t row = 0;
        // ExpectQuiet, Pause, StartHandshakes
        int32_t ms = 0;
        // Do
        std::function<void()> action;
        std::string what;

        std::string Describe() const;
    };

    PeerScript(detail::PeerCore* core, size_t number, int32_t* sidCounter);
    PeerScript& Add(Step step);
    PeerScript& AddSend(Batch batch);
    Step& Last(Kind kind, const char* modifier);

    detail::PeerCore* core_;
    size_t number_;
    std::vector<Step> steps_;
    Session session_;

    // Running state, kept by the core.
    size_t index_ = 0;
    bool failed_ = false;
    std::string failure_;
    std::shared_ptr<detail::Conn> conn_;
    bool advancing_ = false;
    bool again_ = false;
    bool kickPending_ = false;
    // The step in hand: started, its pieces still to write, its timer's firing.
    bool started_ = false;
    std::vector<std::string> pieces_;
    size_t nextPiece_ = 0;
    size_t connectionsAtStart_ = 0;
    bool timerFired_ = false;
    std::unique_ptr<platform::Timer> timer_;
};

}  // namespace testsupport
