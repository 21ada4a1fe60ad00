#pragma once
// The scripted server peer: a trading server stand-in on loopback that speaks
// the command-message protocol with the project's own codec and token table.
// Tests script it (PeerScript: expect a request, send answers, inject faults)
// and run the real event loop with bounded waits:
//
//   ScriptedPeer peer;
//   client.setServerAddress(peer.Address());
//   client.setServerPort(peer.Port());
//   peer.Script().AcceptLogin().Expect(GET_PRIVS_TOKEN).Reply(Result({"1"}));
//   client.Login();
//   ASSERT_TRUE(peer.Finish());
//
// Every wait is bounded and a failure says which step the peer was at, what it
// expected and what it got, with the last exchanges. The peer's own timers (write gaps, pauses,
// handshakes) always run on real time, also inside a ScopedVirtualTime, so a
// test can drive the client's timers virtually while the peer keeps going.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/PeerMessages.h"
#include "tests/support/PeerScript.h"

namespace testsupport {

namespace detail {
class PeerCore;
}

class ScriptedPeer {
public:
    static constexpr int32_t kWaitMs = 5000;

    ScriptedPeer();  // listening on 127.0.0.1, on a free port
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    std::string Address() const { return "127.0.0.1"; }
    int32_t Port() const;

    // The first client's script. Connections go to scripts in the order the
    // scripts ask for one.
    PeerScript& Script();
    // Another client's script.
    PeerScript& AddScript();

    // Standing behaviour, on every connection, for the messages that no script
    // step takes (a step that expects the token still gets it first):
    ScriptedPeer& Answer(int32_t token, Batch reply);
    ScriptedPeer& Answer(int32_t token, std::function<Batch(const Received&)> responder);
    // RESULT_LOST_TOKEN is answered with the asked-for row of the connection's
    // last multi-row answer; RESULT_OK_TOKEN is taken silently.
    ScriptedPeer& ServeRowRequests(bool on = true);
    // Closes every connection that no script may take as soon as it is
    // accepted (a front end whose back end is down), or right after each
    // standing answer it writes (a server that answers and then goes).
    enum class HangUp { Never, OnAccept, AfterAnswer };
    ScriptedPeer& HangUpOn(HangUp when);
    // A handshake every `periodMs` on every connection from its accept (0: none).
    ScriptedPeer& HandshakeEvery(int32_t periodMs);
    // Pause between the pieces of a cut send (2 ms at creation).
    ScriptedPeer& WriteGap(int32_t ms);
    // Off: no transcript and no ReceivedOn records, for benchmarks, where the
    // peer shares the loop with the clients measured. Failures still say where.
    ScriptedPeer& KeepRecords(bool on = true);

    // Runs the event loop until every script has run its last step. Fails at
    // once when a script fails, and after `timeoutMs` with where each stands.
    ::testing::AssertionResult Finish(int32_t timeoutMs = kWaitMs);
    // Runs the event loop until `done` holds; fails when a script fails first
    // or after `timeoutMs`.
    ::testing::AssertionResult RunUntil(const std::function<bool()>& done,
                                        int32_t timeoutMs = kWaitMs,
                                        std::string_view what = "the condition");

    // Accepted connections so far; connection numbers count from 1.
    size_t Connections() const;
    bool IsOpen(size_t connection) const;
    // Every message received on a connection, in order.
    const std::vector<Received>& ReceivedOn(size_t connection) const;
    // Every received message with this token, over all connections.
    std::vector<Received> ReceivedWith(int32_t token) const;
    // The exchange as the peer saw it, one line per event ("#1 -> ...",
    // "#1 <- ...", "#1 closed by the client"); the last `lines` lines, all when 0.
    std::string Transcript(size_t lines = 0) const;
    // The first script failure, if any.
    std::optional<std::string> Failure() const;
    // Closes every open connection abruptly.
    void CloseAll();
    // A server outage: connection attempts are refused until ResumeListening,
    // which listens on the same port again.
    void StopListening();
    void ResumeListening();

private:
    std::unique_ptr<detail::PeerCore> core_;
};

}  // namespace testsupport
