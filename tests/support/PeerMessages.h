#pragma once
// What the scripted server peer sends and receives: command messages built and
// read with the general library's codec and token table (simserver/Messages.h).
// Token numbers are the general table's (OrbanelGeneral10::TokensEnum); the
// session tokens 1 to 14 are the same numbers in both tables, the demo-account
// request is 177 here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simserver/Messages.h"

namespace testsupport {

using simserver::JoinCells;
using simserver::ParseMessage;
using simserver::Printable;
using simserver::Received;
using simserver::TokenName;

// Stands for the session id of the script's client wherever it appears inside
// a parameter, in what the peer sends and in what it expects alike.
inline constexpr char kSid[] = "{sid}";

// The session id the peer gave one client. A login reply that names an id
// sets it; otherwise the first use of kSid draws the next id from the peer's
// counter, so distinct clients get distinct ids and a re-login keeps its id.
class Session {
public:
    explicit Session(int32_t* counter) : counter_(counter) {}
    int32_t Sid();
    void Assign(int32_t sid) { sid_ = sid; }
    std::optional<int32_t> Current() const { return sid_; }

private:
    int32_t* counter_;
    std::optional<int32_t> sid_;
};

// Every "{sid}" of `text` replaced with the session's id.
std::string ResolveSid(std::string_view text, Session& session);

// One message the peer sends. Parameters may hold kSid; they are resolved when
// the message goes out.
class Msg {
public:
    Msg(int32_t token, std::vector<std::string> params = {});
    // Bytes sent exactly as given: garbage, a message without its end marker...
    static Msg Raw(std::string bytes);

    // Sending this message gives the session this id (a login reply naming one).
    Msg& AssignsSid(int32_t sid);

    int32_t token() const { return token_; }
    const std::vector<std::string>& params() const { return params_; }
    bool raw() const { return raw_.has_value(); }

    // The wire text, end marker included.
    std::string Render(Session& session) const;
    std::string Describe() const;

private:
    int32_t token_ = 0;
    std::vector<std::string> params_;
    std::optional<std::string> raw_;
    std::optional<int32_t> assignsSid_;
};

// What a login reply grants: LoginGrant().User(42).HandshakeMs(3000). Unset
// sid: the session's own id (a fresh one on the client's first login, the
// same one on every re-login).
struct LoginGrant {
    LoginGrant& Sid(int32_t value) {
        sid = value;
        return *this;
    }
    LoginGrant& User(int32_t value) {
        user = value;
        return *this;
    }
    LoginGrant& HandshakeMs(int32_t value) {
        handshakeMs = value;
        return *this;
    }

    std::optional<int32_t> sid;
    int32_t user = 77;
    int32_t handshakeMs = 20000;
};

// A one-row answer (also the login and demo replies): RESULT_TOKEN.
Msg Result(std::vector<std::string> params);
// "OK", session id, user id, handshake interval.
Msg LoginAccepted(LoginGrant grant = {});
Msg LoginRefused(std::string answer = "NO");
// A message the client did not ask for.
Msg Push(int32_t token, std::vector<std::string> params = {});
Msg Handshake();
Msg ServerError(int32_t code);
Msg ServerTime(std::string text);
Msg ServerDisconnect(int32_t code);
Msg Route(std::vector<std::string> params);
Msg NoRows();
// The parts of a multi-row answer, for hand-made sequences.
Msg RowCount(std::string count);
Msg Row(std::string number, std::string text);

// A multi-row answer: the row count, then one RESULT_TOKEN per row with the row
// number and the row string, with faults injected on request. Rows count from 1.
class Rows {
public:
    explicit Rows(std::vector<std::string> rowTexts);
    static Rows Table(const std::vector<std::vector<std::string>>& cells);

    // The client counts row messages: it asks for the rows it lacks once as
    // many messages as the count came. A dropped row therefore goes with a
    // duplicate (or a misnumbered row) to be asked for.
    Rows& CountAs(std::string count);            // announce another count
    Rows& Drop(size_t row);                      // not sent
    Rows& Duplicate(size_t row);                 // sent twice in a row
    Rows& Blank(size_t row);                     // sent with an empty row string
    Rows& NumberAs(size_t row, std::string no);  // sent under another row number
    Rows& PushAfter(size_t row, Msg push);       // any message; 0: right after the count

    size_t size() const { return texts_.size(); }
    // The row string of a row (what a re-send carries); "" outside 1..size.
    std::string Text(size_t row) const;
    std::vector<Msg> Messages() const;

private:
    struct Fault {
        bool drop = false;
        bool duplicate = false;
        bool blank = false;
        std::optional<std::string> number;
        std::vector<Msg> after;
    };
    Fault& At(size_t row);

    std::vector<std::string> texts_;
    std::optional<std::string> count_;
    std::vector<Fault> faults_;  // index 0: after the count
};

// What one send step or standing answer sends: messages, and the last multi-row
// answer among them (so asked-for rows can be sent again).
class Batch {
public:
    Batch() = default;
    Batch(Msg m) { Add(std::move(m)); }
    Batch(Rows r) { Add(std::move(r)); }
    Batch(std::vector<Msg> ms) { Add(std::move(ms)); }

    void Add(Msg m);
    void Add(Rows r);
    void Add(std::vector<Msg> ms);
    void Add(Batch b);

    const std::vector<Msg>& messages() const { return msgs_; }
    const std::optional<Rows>& rows() const { return rows_; }
    bool empty() const { return msgs_.empty(); }
    std::string Describe(size_t max = 6) const;

private:
    std::vector<Msg> msgs_;
    std::optional<Rows> rows_;
};

// How a send step cuts its text into socket writes. Pieces after the first go
// out one write gap apart, so the client reads them separately.
struct Cut {
    enum Kind { Whole, EachMessage, Every, At, InMarkers };
    Kind kind = Whole;
    size_t every = 0;
    std::vector<size_t> at;

    // The pieces of `texts` (one per message).
    std::vector<std::string> Apply(const std::vector<std::string>& texts) const;
    std::string Describe() const;
};

}  // namespace testsupport
