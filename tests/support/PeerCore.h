#pragma once
// Inside of the scripted peer: its connections and the engine that runs the
// scripts. Only ScriptedPeer.cpp and PeerScript.cpp include this.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "general/common/MCommandMessage.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "tests/support/PeerMessages.h"
#include "tests/support/PeerScript.h"

namespace testsupport::detail {

using platform::RealTimeTimer;

struct Conn {
    Conn(size_t n, std::shared_ptr<platform::TcpSocket> s, int32_t* sidCounter)
        : number(n), socket(std::move(s)), session(sidCounter) {}

    size_t number;
    std::shared_ptr<platform::TcpSocket> socket;
    OrbanelGeneral10::wire::ReceiveBuffer rx;
    std::vector<std::string> cut;  // scratch for the receive buffer's split
    bool open = true;
    std::deque<Received> inbox;  // not yet taken by a step or a standing answer
    std::vector<Received> received;
    PeerScript* owner = nullptr;
    bool left = false;  // its script has moved on to another connection
    Session session;    // used while no script owns the connection
    std::optional<Rows> lastRows;
    std::unique_ptr<platform::Timer> handshakes;
};

class PeerCore {
public:
    PeerCore();
    ~PeerCore();

    PeerScript& AddScript();
    // Runs the script's steps later, from the event loop.
    void Kick(PeerScript& s);
    void AdvanceAll();
    bool AllFinished() const;
    std::string Unfinished() const;
    std::string Transcript(size_t lines) const;

    platform::TcpServer server;
    int32_t port = 0;
    std::vector<std::unique_ptr<PeerScript>> scripts;
    std::vector<std::shared_ptr<Conn>> conns;
    std::map<int32_t, std::function<Batch(const Received&)>> answers;
    bool serveRows = false;
    int32_t handshakeMs = 0;
    bool hangUpOnAccept = false;
    bool hangUpAfterAnswer = false;
    int32_t writeGapMs = 2;
    int32_t sidCounter = 1001;
    bool records = true;
    std::vector<std::string> transcript;
    std::optional<std::string> firstFailure;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    void OnAccept(std::shared_ptr<platform::TcpSocket> socket);
    void OnReceive(Conn& c);
    void OnClosed(Conn& c);
    void Dispatch(Conn& c);
    bool NeedsConnection(const PeerScript& s) const;
    PeerScript* ChooseFor(const Conn& c) const;
    bool AnyMayClaim() const;
    void ServeUnowned(Conn& c);
    void ServeStanding(Conn& c);

    void Advance(PeerScript& s);
    bool RunStep(PeerScript& s);
    void NextStep(PeerScript& s);
    void Fail(PeerScript& s, const std::string& what);
    Conn* Take(PeerScript& s);
    Conn* Current(PeerScript& s);
    bool Matches(PeerScript& s, const PeerScript::Step& st, const Received& m, std::string& why);
    bool StartSend(PeerScript& s, Conn& c, const Batch& batch, const Cut& cut);
    bool WritePieces(PeerScript& s, Conn& c);
    void StartTimer(PeerScript& s, int32_t ms);

    Session& SessionOf(Conn& c);
    bool Standing(Conn& c, const Received& m);
    void SendNow(Conn& c, const Batch& batch);
    std::vector<std::string> Render(Conn& c, const Batch& batch, const std::string& note);
    bool Write(Conn& c, const std::string& piece);
    void CloseByPeer(Conn& c);
    void StartHandshakes(Conn& c, int32_t periodMs);
    void Note(std::string line);
};

}  // namespace testsupport::detail
