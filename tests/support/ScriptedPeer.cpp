#include "tests/support/ScriptedPeer.h"

#include <algorithm>
#include <exception>

#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "tests/support/PeerCore.h"

namespace testsupport {

namespace og = OrbanelGeneral10;

namespace detail {

PeerCore::PeerCore() {
    server.OnAccept.Connect(
        [this](std::shared_ptr<platform::TcpSocket> socket) { OnAccept(std::move(socket)); });
    server.Listen("127.0.0.1", 0);
    port = server.Port();
}

PeerCore::~PeerCore() {
    for (auto& c : conns) {
        c->socket->OnReceive.DisconnectAll();
        c->socket->OnState.DisconnectAll();
    }
}

PeerScript& PeerCore::AddScript() {
    scripts.push_back(
        std::unique_ptr<PeerScript>(new PeerScript(this, scripts.size() + 1, &sidCounter)));
    PeerScript& s = *scripts.back();
    s.timer_->Tick.Connect([this, &s] {
        s.timer_->SetEnabled(false);
        s.timerFired_ = true;
        Advance(s);
    });
    return s;
}

void PeerCore::Kick(PeerScript& s) {
    if (s.kickPending_) return;
    s.kickPending_ = true;
    platform::EventLoop::Post([this, &s, token = std::weak_ptr<bool>(alive)] {
        if (token.expired()) return;
        s.kickPending_ = false;
        Advance(s);
    });
}

void PeerCore::AdvanceAll() {
    for (size_t i = 0; i < scripts.size(); ++i) Advance(*scripts[i]);
}

bool PeerCore::AllFinished() const {
    return std::all_of(scripts.begin(), scripts.end(), [](const auto& s) { return s->Finished(); });
}

std::string PeerCore::Unfinished() const {
    std::string out;
    for (const auto& s : scripts) {
        if (!s->Finished()) out += "  " + s->Where() + "\n";
    }
    return out;
}

std::string PeerCore::Transcript(size_t lines) const {
    const size_t from = lines && transcript.size() > lines ? transcript.size() - lines : 0;
    std::string out;
    for (size_t i = from; i < transcript.size(); ++i) out += "  " + transcript[i] + "\n";
    return out;
}

void PeerCore::Note(std::string line) {
    if (records) transcript.push_back(std::move(line));
}

// ---- connections ------------------------------------------------------------

void PeerCore::OnAccept(std::shared_ptr<platform::TcpSocket> socket) {
    auto c = std::make_shared<Conn>(conns.size() + 1, std::move(socket), &sidCounter);
    conns.push_back(c);
    Conn* raw = c.get();
    raw->socket->OnReceive.Connect([this, raw] { OnReceive(*raw); });
    raw->socket->OnState.Connect([this, raw] {
        if (raw->socket->State() == platform::TcpSocket::kStateClosed) OnClosed(*raw);
    });
    Note("#" + std::to_string(raw->number) + " connected");
    if (handshakeMs > 0) StartHandshakes(*raw, handshakeMs);
    AdvanceAll();
    if (raw->owner) return;
    if (hangUpOnAccept && !AnyMayClaim()) {
        CloseByPeer(*raw);
        return;
    }
    ServeUnowned(*raw);
}

void PeerCore::OnReceive(Conn& c) {
    std::string chunk;
    c.socket->Receive(chunk);
    const size_t n = c.rx.Split(chunk, c.cut);
    for (size_t i = 1; i <= n; ++i) {
        Received m = ParseMessage(c.cut[i]);
        m.connection = c.number;
        if (records) {
            Note("#" + std::to_string(c.number) + " -> " + m.Describe());
            c.received.push_back(m);
        }
        c.inbox.push_back(std::move(m));
    }
    if (n) Dispatch(c);
}

void PeerCore::OnClosed(Conn& c) {
    if (!c.open) return;  // the peer closed it itself
    c.open = false;
    if (c.handshakes) c.handshakes->SetEnabled(false);
    Note("#" + std::to_string(c.number) + " closed by the client");
    Dispatch(c);
}

void PeerCore::Dispatch(Conn& c) {
    if (!c.owner) {
        AdvanceAll();  // its first message may decide which script takes it
        if (!c.owner) ServeUnowned(c);
        return;
    }
    if (!c.left) {
        Advance(*c.owner);
        return;
    }
    // The script has moved on to a newer connection.
    while (!c.inbox.empty()) {
        Received m = std::move(c.inbox.front());
        c.inbox.pop_front();
        if (Standing(c, m)) continue;
        if (!c.owner->Finished() && !c.owner->Failed()) {
            Fail(*c.owner, "got " + m.Describe() + " on connection #" + std::to_string(c.number) +
                               ", which the script had left");
        }
    }
}

bool PeerCore::NeedsConnection(const PeerScript& s) const {
    if (s.Failed() || s.Finished()) return false;
    switch (s.steps_[s.index_].kind) {
        case PeerScript::Kind::Accept:
            return true;
        case PeerScript::Kind::ExpectQuiet:
        case PeerScript::Kind::Pause:
        case PeerScript::Kind::Do:
            return false;
        default:
            return !s.conn_;
    }
}

// Which waiting script a new connection goes to. With several waiting, its
// first message decides: the script whose client was given the session id it
// carries, else the first that gave no id yet, else the first.
PeerScript* PeerCore::ChooseFor(const Conn& c) const {
    std::vector<PeerScript*> waiting;
    for (const auto& s : scripts) {
        if (NeedsConnection(*s)) waiting.push_back(s.get());
    }
    if (waiting.size() <= 1) return waiting.empty() ? nullptr : waiting.front();
    if (c.inbox.empty()) return c.open ? nullptr : waiting.front();
    const int32_t sid = c.inbox.front().sid;
    for (PeerScript* s : waiting) {
        if (s->session_.Current() == sid) return s;
    }
    for (PeerScript* s : waiting) {
        if (!s->session_.Current()) return s;
    }
    return waiting.front();
}

bool PeerCore::AnyMayClaim() const {
    for (const auto& s : scripts) {
        if (s->Failed() || s->Finished()) continue;
        if (!s->conn_) return true;
        for (size_t i = s->index_; i < s->steps_.size(); ++i) {
            if (s->steps_[i].kind == PeerScript::Kind::Accept) return true;
        }
    }
    return false;
}

// A connection no script holds waits for one while a script may still take
// it; otherwise the standing answers serve it.
void PeerCore::ServeUnowned(Conn& c) {
    if (AnyMayClaim()) return;
    while (!c.inbox.empty()) {
        Received m = std::move(c.inbox.front());
        c.inbox.pop_front();
        if (!Standing(c, m)) Note("#" + std::to_string(c.number) + "    (not answered)");
    }
}

// After a script's last step: standing answers take what they can, the rest
// waits for steps added later.
void PeerCore::ServeStanding(Conn& c) {
    std::deque<Received> kept;
    while (!c.inbox.empty()) {
        Received m = std::move(c.inbox.front());
        c.inbox.pop_front();
        if (!Standing(c, m)) kept.push_back(std::move(m));
    }
    c.inbox = std::move(kept);
}

Session& PeerCore::SessionOf(Conn& c) {
    return c.owner ? c.owner->session_ : c.session;
}

bool PeerCore::Standing(Conn& c, const Received& m) {
    auto it = answers.find(m.token);
    if (it != answers.end()) {
        Session& session = SessionOf(c);
        // A re-login carries the id given before: the session goes on with it.
        if (m.token == og::LOGIN_TOKEN && m.sid > 0 && !session.Current()) session.Assign(m.sid);
        SendNow(c, it->second(m));
        if (hangUpAfterAnswer) CloseByPeer(c);
        return true;
    }
    if (!serveRows) return false;
    if (m.token == og::RESULT_OK_TOKEN) return true;
    if (m.token == og::RESULT_LOST_TOKEN && c.lastRows && !m.params.empty()) {
        const double row = runtime::RoundHalfEven(runtime::Val(m.params[0]));
        if (row >= 1 && row <= static_cast<double>(c.lastRows->size())) {
            const auto i = static_cast<size_t>(row);
            SendNow(c, Row(std::to_string(i), c.lastRows->Text(i)));
            return true;
        }
    }
    return false;
}

std::vector<std::string> PeerCore::Render(Conn& c, const Batch& batch, const std::string& note) {
    Session& session = SessionOf(c);
    std::vector<std::string> texts;
    texts.reserve(batch.messages().size());
    for (const Msg& m : batch.messages()) {
        texts.push_back(m.Render(session));
        if (!records) continue;
        // Logged as sent, the session id resolved.
        const std::string_view text = texts.back();
        Note("#" + std::to_string(c.number) + " <- " +
             (m.raw() ? m.Describe() : ParseMessage(text.substr(0, text.size() - 3)).Describe()));
    }
    if (!note.empty()) Note("#" + std::to_string(c.number) + "    " + note);
    if (batch.rows()) c.lastRows = *batch.rows();
    return texts;
}

void PeerCore::SendNow(Conn& c, const Batch& batch) {
    std::string all;
    for (const auto& t : Render(c, batch, "")) all += t;
    Write(c, all);
}

bool PeerCore::Write(Conn& c, const std::string& piece) {
    if (!c.open) return false;
    try {
        c.socket->Send(piece);
        return true;
    } catch (const runtime::Error& e) {
        Note("#" + std::to_string(c.number) + "    write failed: " + e.Description());
        return false;
    }
}

void PeerCore::CloseByPeer(Conn& c) {
    if (!c.open) return;
    c.open = false;
    if (c.handshakes) c.handshakes->SetEnabled(false);
    c.socket->Close();
    Note("#" + std::to_string(c.number) + " closed by the peer");
}

void PeerCore::StartHandshakes(Conn& c, int32_t periodMs) {
    if (!c.handshakes) {
        c.handshakes = RealTimeTimer();
        Conn* raw = &c;
        c.handshakes->Tick.Connect([this, raw] {
            if (raw->open) SendNow(*raw, Handshake());
        });
    }
    c.handshakes->SetEnabled(false);
    c.handshakes->SetInterval(periodMs);
    c.handshakes->SetEnabled(periodMs > 0);
}

// ---- scripts ----------------------------------------------------------------

void PeerCore::Advance(PeerScript& s) {
    if (s.advancing_) {
        s.again_ = true;  // a step ran test code that led back here
        return;
    }
    s.advancing_ = true;
    do {
        s.again_ = false;
        while (!s.failed_ && s.index_ < s.steps_.size() && RunStep(s)) NextStep(s);
        if (s.Finished() && s.conn_) ServeStanding(*s.conn_);
    } while (s.again_ && !s.failed_);
    s.advancing_ = false;
}

void PeerCore::NextStep(PeerScript& s) {
    ++s.index_;
    s.started_ = false;
    s.pieces_.clear();
    s.nextPiece_ = 0;
    s.timerFired_ = false;
    s.timer_->SetEnabled(false);
}

void PeerCore::Fail(PeerScript& s, const std::string& what) {
    if (s.failed_) return;
    s.failure_ = s.Where() + ": " + what + "\nLast exchanges:\n" + Transcript(30);
    s.failed_ = true;
    s.timer_->SetEnabled(false);
    if (!firstFailure) firstFailure = s.failure_;
}

Conn* PeerCore::Take(PeerScript& s) {
    for (auto& c : conns) {
        if (c->owner || ChooseFor(*c) != &s) continue;
        if (s.conn_) s.conn_->left = true;
        c->owner = &s;
        s.conn_ = c;
        return c.get();
    }
    return nullptr;
}

Conn* PeerCore::Current(PeerScript& s) {
    return s.conn_ ? s.conn_.get() : Take(s);
}

void PeerCore::StartTimer(PeerScript& s, int32_t ms) {
    s.timerFired_ = false;
    s.timer_->SetEnabled(false);
    s.timer_->SetInterval(std::max(ms, 1));
    s.timer_->SetEnabled(true);
}

bool PeerCore::Matches(PeerScript& s, const PeerScript::Step& st, const Received& m,
                       std::string& why) {
    if (m.token != st.token) return false;
    if (st.sid && m.sid != *st.sid) {
        why = " (session id " + std::to_string(m.sid) + ", wanted " + std::to_string(*st.sid) + ")";
        return false;
    }
    if (st.sessionSid) {
        const auto sid = s.session_.Current();
        if (!sid) {
            why = " (no session id given to this client yet)";
            return false;
        }
        if (m.sid != *sid) {
            why = " (session id " + std::to_string(m.sid) + ", wanted the session's " +
                  std::to_string(*sid) + ")";
            return false;
        }
    }
    if (st.params) {
        std::vector<std::string> want;
        for (const auto& p : *st.params) want.push_back(ResolveSid(p, s.session_));
        if (m.params != want) {
            why = " (other parameters)";
            return false;
        }
    }
    for (const auto& [index, value] : st.param) {
        const std::string want = ResolveSid(value, s.session_);
        if (index < 1 || index > m.params.size() || m.params[index - 1] != want) {
            why = " (parameter " + std::to_string(index) + " is not \"" + Printable(want) + "\")";
            return false;
        }
    }
    if (st.paramCount && m.params.size() != *st.paramCount) {
        why = " (" + std::to_string(m.params.size()) + " parameters)";
        return false;
    }
    for (const auto& [check, what] : st.checks) {
        if (!check(m)) {
            why = " (not " + what + ")";
            return false;
        }
    }
    return true;
}

bool PeerCore::StartSend(PeerScript& s, Conn& c, const Batch& batch, const Cut& cut) {
    s.started_ = true;
    if (!c.open) {
        Fail(s,
             "connection #" + std::to_string(c.number) + " was closed before the peer could send");
        return false;
    }
    const auto texts = Render(c, batch, cut.Describe());
    s.pieces_ = cut.Apply(texts);
    s.nextPiece_ = 0;
    return WritePieces(s, c);
}

bool PeerCore::WritePieces(PeerScript& s, Conn& c) {
    if (s.nextPiece_ > 0) {
        if (!s.timerFired_) return false;  // the gap before the next piece runs
        s.timerFired_ = false;
    }
    if (!Write(c, s.pieces_[s.nextPiece_++])) {
        Fail(s,
             "connection #" + std::to_string(c.number) + " was closed while the peer was sending");
        return false;
    }
    if (s.nextPiece_ < s.pieces_.size()) {
        StartTimer(s, writeGapMs);
        return false;
    }
    return true;
}

// Runs the step in hand as far as it goes: true when it is done.
bool PeerCore::RunStep(PeerScript& s) {
    using Kind = PeerScript::Kind;
    PeerScript::Step& st = s.steps_[s.index_];
    switch (st.kind) {
        case Kind::Accept:
            return Take(s) != nullptr;

        case Kind::Expect: {
            Conn* c = Current(s);
            if (!c) return false;
            while (!c->inbox.empty()) {
                Received m = std::move(c->inbox.front());
                c->inbox.pop_front();
                std::string why;
                if (Matches(s, st, m, why)) {
                    if (st.capture) *st.capture = m;
                    return true;
                }
                if (Standing(*c, m)) continue;
                Fail(s, "got " + m.Describe() + why);
                return false;
            }
            if (!c->open) {
                Fail(s, "the connection was closed and nothing more came");
                return false;
            }
            return false;
        }

        case Kind::Send:
        case Kind::Resend: {
            Conn* c = Current(s);
            if (!c) return false;
            if (s.started_) return WritePieces(s, *c);
            if (st.kind == Kind::Send) return StartSend(s, *c, st.batch, st.cut);
            if (!c->lastRows || st.row < 1 || st.row > c->lastRows->size()) {
                s.started_ = true;
                Fail(s, "no row " + std::to_string(st.row) +
                            " of a multi-row answer sent on this connection");
                return false;
            }
            return StartSend(s, *c, Row(std::to_string(st.row), c->lastRows->Text(st.row)), Cut{});
        }

        case Kind::Close: {
            Conn* c = Current(s);
            if (!c) return false;
            if (!c->open) return true;
            // What was written goes out before the connection is cut.
            if (!s.started_ || !s.timerFired_ ||
                (c->socket->State() == platform::TcpSocket::kStateConnected && c->socket->Busy())) {
                s.started_ = true;
                StartTimer(s, writeGapMs);
                return false;
            }
            CloseByPeer(*c);
            return true;
        }

        case Kind::ExpectClose: {
            Conn* c = Current(s);
            if (!c) return false;
            while (!c->inbox.empty()) {
                Received m = std::move(c->inbox.front());
                c->inbox.pop_front();
                if (Standing(*c, m)) continue;
                Fail(s, "got " + m.Describe());
                return false;
            }
            return !c->open;
        }

        case Kind::ExpectQuiet: {
            if (!s.started_) {
                s.started_ = true;
                s.connectionsAtStart_ = conns.size();
                StartTimer(s, st.ms);
            }
            if (Conn* c = s.conn_.get()) {
                while (!c->inbox.empty()) {
                    Received m = std::move(c->inbox.front());
                    c->inbox.pop_front();
                    if (Standing(*c, m)) continue;
                    Fail(s, "got " + m.Describe());
                    return false;
                }
            }
            // A new connection counts unless another script is waiting for it.
            const bool othersWait = std::any_of(scripts.begin(), scripts.end(), [&](const auto& o) {
                return o.get() != &s && NeedsConnection(*o);
            });
            for (size_t i = s.connectionsAtStart_; i < conns.size(); ++i) {
                if (conns[i]->owner == &s || (!conns[i]->owner && (!othersWait || s.timerFired_))) {
                    Fail(s, "connection #" + std::to_string(conns[i]->number) + " came");
                    return false;
                }
            }
            return s.timerFired_;
        }

        case Kind::Pause:
            if (!s.started_) {
                s.started_ = true;
                StartTimer(s, st.ms);
            }
            return s.timerFired_;

        case Kind::StartHandshakes:
        case Kind::StopHandshakes: {
            Conn* c = Current(s);
            if (!c) return false;
            StartHandshakes(*c, st.kind == Kind::StartHandshakes ? st.ms : 0);
            return true;
        }

        case Kind::Do: {
            auto action = st.action;  // the action may add steps (and move this one)
            try {
                action();
            } catch (const std::exception& e) {
                Fail(s, std::string("the test code threw: ") + e.what());
                return false;
            }
            return true;
        }
    }
    return false;
}

}  // namespace detail

// ---- ScriptedPeer -------------------------------------------------------------

ScriptedPeer::ScriptedPeer() : core_(std::make_unique<detail::PeerCore>()) {}

ScriptedPeer::~ScriptedPeer() = default;

int32_t ScriptedPeer::Port() const {
    return core_->port;
}

PeerScript& ScriptedPeer::Script() {
    return core_->scripts.empty() ? core_->AddScript() : *core_->scripts.front();
}

PeerScript& ScriptedPeer::AddScript() {
    return core_->AddScript();
}

ScriptedPeer& ScriptedPeer::Answer(int32_t token, Batch reply) {
    core_->answers[token] = [reply = std::move(reply)](const Received&) { return reply; };
    return *this;
}

ScriptedPeer& ScriptedPeer::Answer(int32_t token, std::function<Batch(const Received&)> responder) {
    core_->answers[token] = std::move(responder);
    return *this;
}

ScriptedPeer& ScriptedPeer::ServeRowRequests(bool on) {
    core_->serveRows = on;
    return *this;
}

ScriptedPeer& ScriptedPeer::HangUpOn(HangUp when) {
    core_->hangUpOnAccept = when == HangUp::OnAccept;
    core_->hangUpAfterAnswer = when == HangUp::AfterAnswer;
    return *this;
}

ScriptedPeer& ScriptedPeer::HandshakeEvery(int32_t periodMs) {
    core_->handshakeMs = periodMs;
    return *this;
}

ScriptedPeer& ScriptedPeer::KeepRecords(bool on) {
    core_->records = on;
    return *this;
}

ScriptedPeer& ScriptedPeer::WriteGap(int32_t ms) {
    core_->writeGapMs = ms;
    return *this;
}

::testing::AssertionResult ScriptedPeer::Finish(int32_t timeoutMs) {
    core_->AdvanceAll();
    platform::EventLoop::RunUntil([this] { return core_->firstFailure || core_->AllFinished(); },
                                  timeoutMs);
    if (core_->firstFailure) return ::testing::AssertionFailure() << *core_->firstFailure;
    if (!core_->AllFinished()) {
        return ::testing::AssertionFailure() << "peer: not done after " << timeoutMs << " ms:\n"
                                             << core_->Unfinished() << "Last exchanges:\n"
                                             << core_->Transcript(30);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ScriptedPeer::RunUntil(const std::function<bool()>& done,
                                                  int32_t timeoutMs, std::string_view what) {
    core_->AdvanceAll();
    const bool ok =
        platform::EventLoop::RunUntil([&] { return core_->firstFailure || done(); }, timeoutMs);
    if (core_->firstFailure) return ::testing::AssertionFailure() << *core_->firstFailure;
    if (!ok) {
        return ::testing::AssertionFailure()
               << "timed out after " << timeoutMs << " ms waiting for " << what << "\n"
               << core_->Unfinished() << "Last exchanges:\n"
               << core_->Transcript(30);
    }
    return ::testing::AssertionSuccess();
}

size_t ScriptedPeer::Connections() const {
    return core_->conns.size();
}

bool ScriptedPeer::IsOpen(size_t connection) const {
    return connection >= 1 && connection <= core_->conns.size() &&
           core_->conns[connection - 1]->open;
}

const std::vector<Received>& ScriptedPeer::ReceivedOn(size_t connection) const {
    static const std::vector<Received> none;
    if (connection < 1 || connection > core_->conns.size()) return none;
    return core_->conns[connection - 1]->received;
}

std::vector<Received> ScriptedPeer::ReceivedWith(int32_t token) const {
    std::vector<Received> out;
    for (const auto& c : core_->conns) {
        for (const auto& m : c->received) {
            if (m.token == token) out.push_back(m);
        }
    }
    return out;
}

std::string ScriptedPeer::Transcript(size_t lines) const {
    return core_->Transcript(lines);
}

std::optional<std::string> ScriptedPeer::Failure() const {
    return core_->firstFailure;
}

void ScriptedPeer::StopListening() {
    core_->server.Close();
}

void ScriptedPeer::ResumeListening() {
    core_->server.Listen("127.0.0.1", core_->port);
}

void ScriptedPeer::CloseAll() {
    for (auto& c : core_->conns) core_->CloseByPeer(*c);  // no script step runs here
}

}  // namespace testsupport
