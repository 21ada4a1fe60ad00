#include "tests/support/PeerScript.h"

#include <stdexcept>

#include "general/common/Enums.h"
#include "platform/Timer.h"
#include "tests/support/PeerCore.h"

namespace testsupport {

namespace og = OrbanelGeneral10;

PeerScript::PeerScript(detail::PeerCore* core, size_t number, int32_t* sidCounter)
    : core_(core), number_(number), session_(sidCounter), timer_(detail::RealTimeTimer()) {}

PeerScript::~PeerScript() = default;

PeerScript& PeerScript::Add(Step step) {
    steps_.push_back(std::move(step));
    core_->Kick(*this);
    return *this;
}

PeerScript::Step& PeerScript::Last(Kind kind, const char* modifier) {
    // Only steps not yet started may be changed; a modifier belongs right after its step.
    if (steps_.size() <= index_ || steps_.back().kind != kind) {
        throw std::logic_error(std::string("PeerScript: ") + modifier +
                               " must follow the step it changes");
    }
    return steps_.back();
}

PeerScript& PeerScript::Accept() {
    return Add(Step{Kind::Accept});
}

PeerScript& PeerScript::Expect(int32_t token) {
    Step st{Kind::Expect};
    st.token = token;
    return Add(std::move(st));
}

PeerScript& PeerScript::WithSid(int32_t sid) {
    Last(Kind::Expect, "WithSid").sid = sid;
    return *this;
}

PeerScript& PeerScript::WithSessionSid() {
    Last(Kind::Expect, "WithSessionSid").sessionSid = true;
    return *this;
}

PeerScript& PeerScript::WithParams(std::vector<std::string> params) {
    Last(Kind::Expect, "WithParams").params = std::move(params);
    return *this;
}

PeerScript& PeerScript::WithParam(size_t index, std::string value) {
    Last(Kind::Expect, "WithParam").param.emplace_back(index, std::move(value));
    return *this;
}

PeerScript& PeerScript::WithParamCount(size_t count) {
    Last(Kind::Expect, "WithParamCount").paramCount = count;
    return *this;
}

PeerScript& PeerScript::Matching(std::function<bool(const Received&)> check, std::string what) {
    Last(Kind::Expect, "Matching").checks.emplace_back(std::move(check), std::move(what));
    return *this;
}

PeerScript& PeerScript::Capture(Received* into) {
    Last(Kind::Expect, "Capture").capture = into;
    return *this;
}

PeerScript& PeerScript::AddSend(Batch batch) {
    Step st{Kind::Send};
    st.batch = std::move(batch);
    return Add(std::move(st));
}

PeerScript& PeerScript::Push(int32_t token, std::vector<std::string> params) {
    return Send(testsupport::Push(token, std::move(params)));
}

PeerScript& PeerScript::EachMessageApart() {
    Last(Kind::Send, "EachMessageApart").cut.kind = Cut::EachMessage;
    return *this;
}

PeerScript& PeerScript::SplitEvery(size_t bytes) {
    Cut& cut = Last(Kind::Send, "SplitEvery").cut;
    cut.kind = Cut::Every;
    cut.every = bytes;
    return *this;
}

PeerScript& PeerScript::SplitAt(std::vector<size_t> positions) {
    Cut& cut = Last(Kind::Send, "SplitAt").cut;
    cut.kind = Cut::At;
    cut.at = std::move(positions);
    return *this;
}

PeerScript& PeerScript::SplitInMarkers() {
    Last(Kind::Send, "SplitInMarkers").cut.kind = Cut::InMarkers;
    return *this;
}

PeerScript& PeerScript::Resend(size_t row) {
    Step st{Kind::Resend};
    st.row = row;
    return Add(std::move(st));
}

PeerScript& PeerScript::ExpectLostRows(std::vector<size_t> rows) {
    for (size_t row : rows) {
        Expect(og::RESULT_LOST_TOKEN).WithParams({std::to_string(row)});
        Resend(row);
    }
    return *this;
}

PeerScript& PeerScript::AcceptLogin(LoginGrant grant) {
    return Expect(og::LOGIN_TOKEN).Reply(LoginAccepted(grant));
}

PeerScript& PeerScript::Close() {
    return Add(Step{Kind::Close});
}

PeerScript& PeerScript::ExpectClose() {
    return Add(Step{Kind::ExpectClose});
}

PeerScript& PeerScript::ExpectQuiet(int32_t ms) {
    Step st{Kind::ExpectQuiet};
    st.ms = ms;
    return Add(std::move(st));
}

PeerScript& PeerScript::Pause(int32_t ms) {
    Step st{Kind::Pause};
    st.ms = ms;
    return Add(std::move(st));
}

PeerScript& PeerScript::StartHandshakes(int32_t periodMs) {
    Step st{Kind::StartHandshakes};
    st.ms = periodMs;
    return Add(std::move(st));
}

PeerScript& PeerScript::StopHandshakes() {
    return Add(Step{Kind::StopHandshakes});
}

PeerScript& PeerScript::Do(std::function<void()> action, std::string what) {
    Step st{Kind::Do};
    st.action = std::move(action);
    st.what = std::move(what);
    return Add(std::move(st));
}

size_t PeerScript::Connection() const {
    return conn_ ? conn_->number : 0;
}

std::string PeerScript::Step::Describe() const {
    switch (kind) {
        case Kind::Accept:
            return "accept a new connection";
        case Kind::Expect: {
            std::string out = "expect " + TokenName(token);
            if (sid) out += " sid=" + std::to_string(*sid);
            if (sessionSid) out += " sid=<session>";
            if (params) {
                out += " [";
                for (size_t i = 0; i < params->size(); ++i) {
                    out += (i ? "|" : "") + Printable((*params)[i], 40);
                }
                out += "]";
            }
            for (const auto& [i, v] : param) {
                out += " p" + std::to_string(i) + "=\"" + Printable(v, 40) + "\"";
            }
            if (paramCount) out += " with " + std::to_string(*paramCount) + " parameters";
            for (const auto& check : checks) out += " (" + check.second + ")";
            return out;
        }
        case Kind::Send:
            return "send " + batch.Describe() + cut.Describe();
        case Kind::Resend:
            return "send row " + std::to_string(row) + " again";
        case Kind::Close:
            return "close the connection";
        case Kind::ExpectClose:
            return "expect the client to close the connection";
        case Kind::ExpectQuiet:
            return "expect quiet for " + std::to_string(ms) + " ms";
        case Kind::Pause:
            return "pause " + std::to_string(ms) + " ms";
        case Kind::StartHandshakes:
            return "send a handshake every " + std::to_string(ms) + " ms";
        case Kind::StopHandshakes:
            return "stop the handshakes";
        case Kind::Do:
            return "run " + what;
    }
    return "?";
}

std::string PeerScript::Where() const {
    std::string out = "peer script " + std::to_string(number_);
    if (index_ >= steps_.size()) return out + " after its last step";
    out += " at step " + std::to_string(index_ + 1) + " of " + std::to_string(steps_.size()) +
           " (" + steps_[index_].Describe() + ")";
    if (conn_) {
        out += " on connection #" + std::to_string(conn_->number);
        if (!conn_->open) out += " (closed)";
    } else {
        out += " before any connection";
    }
    return out;
}

}  // namespace testsupport
