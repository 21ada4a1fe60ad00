#include "tests/support/PeerMessages.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"

namespace testsupport {

namespace og = OrbanelGeneral10;
namespace wire = OrbanelGeneral10::wire;

namespace {

std::string JoinParams(const std::vector<std::string>& params, size_t maxEach) {
    std::string out = "[";
    for (size_t i = 0; i < params.size(); ++i) {
        if (i) out += '|';
        out += Printable(params[i], maxEach);
    }
    return out + "]";
}

}  // namespace

int32_t Session::Sid() {
    if (!sid_) sid_ = (*counter_)++;
    return *sid_;
}

std::string ResolveSid(std::string_view text, Session& session) {
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(kSid, from);
        if (at == std::string_view::npos) break;
        out.append(text.substr(from, at - from));
        out += std::to_string(session.Sid());
        from = at + std::string_view(kSid).size();
    }
    out.append(text.substr(from));
    return out;
}

Msg::Msg(int32_t token, std::vector<std::string> params)
    : token_(token), params_(std::move(params)) {}

Msg Msg::Raw(std::string bytes) {
    Msg m(0);
    m.raw_ = std::move(bytes);
    return m;
}

Msg& Msg::AssignsSid(int32_t sid) {
    assignsSid_ = sid;
    return *this;
}

std::string Msg::Render(Session& session) const {
    if (assignsSid_) session.Assign(*assignsSid_);
    if (raw_) return *raw_;
    std::vector<std::string> values;
    values.reserve(params_.size());
    for (const auto& p : params_) values.push_back(ResolveSid(p, session));
    return simserver::RenderMessage(token_, values);
}

std::string Msg::Describe() const {
    if (raw_) return "raw \"" + Printable(*raw_, 80) + "\"";
    std::string out = TokenName(token_) + " ";
    if (params_.size() > 12) return out + "with " + std::to_string(params_.size()) + " parameters";
    return out + JoinParams(params_, 40);
}

Msg Result(std::vector<std::string> params) {
    return Msg(og::RESULT_TOKEN, std::move(params));
}

Msg LoginAccepted(LoginGrant grant) {
    Msg m = Result({"OK", grant.sid ? std::to_string(*grant.sid) : std::string(kSid),
                    std::to_string(grant.user), std::to_string(grant.handshakeMs)});
    if (grant.sid) m.AssignsSid(*grant.sid);
    return m;
}

Msg LoginRefused(std::string answer) {
    return Result({std::move(answer)});
}

Msg Push(int32_t token, std::vector<std::string> params) {
    return Msg(token, std::move(params));
}

Msg Handshake() {
    return Msg(og::CONNECT_HANDCHAKE_TOKEN);
}

Msg ServerError(int32_t code) {
    return Msg(og::ERROR_TOKEN, {std::to_string(code)});
}

Msg ServerTime(std::string text) {
    return Msg(og::TIME_TOKEN, {std::move(text)});
}

Msg ServerDisconnect(int32_t code) {
    return Msg(og::DISCONNECT_TOKEN, {std::to_string(code)});
}

Msg Route(std::vector<std::string> params) {
    return Msg(og::ROUT_SERVER_TOKEN, std::move(params));
}

Msg NoRows() {
    return Msg(og::NO_ROWS_TOKEN);
}

Msg RowCount(std::string count) {
    return Msg(og::RESULT_COUNT_TOKEN, {std::move(count)});
}

Msg Row(std::string number, std::string text) {
    return Result({std::move(number), std::move(text)});
}

Rows::Rows(std::vector<std::string> rowTexts)
    : texts_(std::move(rowTexts)), faults_(texts_.size() + 1) {}

Rows Rows::Table(const std::vector<std::vector<std::string>>& cells) {
    std::vector<std::string> texts;
    texts.reserve(cells.size());
    for (const auto& row : cells) texts.push_back(JoinCells(row));
    return Rows(std::move(texts));
}

Rows::Fault& Rows::At(size_t row) {
    if (row >= faults_.size()) {
        throw std::out_of_range("Rows: no row " + std::to_string(row) + " of " +
                                std::to_string(texts_.size()));
    }
    return faults_[row];
}

Rows& Rows::CountAs(std::string count) {
    count_ = std::move(count);
    return *this;
}

Rows& Rows::Drop(size_t row) {
    At(row).drop = true;
    return *this;
}

Rows& Rows::Duplicate(size_t row) {
    At(row).duplicate = true;
    return *this;
}

Rows& Rows::Blank(size_t row) {
    At(row).blank = true;
    return *this;
}

Rows& Rows::NumberAs(size_t row, std::string no) {
    At(row).number = std::move(no);
    return *this;
}

Rows& Rows::PushAfter(size_t row, Msg push) {
    At(row).after.push_back(std::move(push));
    return *this;
}

std::string Rows::Text(size_t row) const {
    return row >= 1 && row <= texts_.size() ? texts_[row - 1] : std::string();
}

std::vector<Msg> Rows::Messages() const {
    std::vector<Msg> out;
    out.push_back(RowCount(count_ ? *count_ : std::to_string(texts_.size())));
    for (const Msg& m : faults_[0].after) out.push_back(m);
    for (size_t i = 1; i <= texts_.size(); ++i) {
        const Fault& f = faults_[i];
        if (!f.drop) {
            Msg row = Row(f.number ? *f.number : std::to_string(i), f.blank ? "" : texts_[i - 1]);
            out.push_back(row);
            if (f.duplicate) out.push_back(row);
        }
        for (const Msg& m : f.after) out.push_back(m);
    }
    return out;
}

void Batch::Add(Msg m) {
    msgs_.push_back(std::move(m));
}

void Batch::Add(Rows r) {
    for (auto& m : r.Messages()) msgs_.push_back(std::move(m));
    rows_ = std::move(r);
}

void Batch::Add(std::vector<Msg> ms) {
    for (auto& m : ms) msgs_.push_back(std::move(m));
}

void Batch::Add(Batch b) {
    for (auto& m : b.msgs_) msgs_.push_back(std::move(m));
    if (b.rows_) rows_ = std::move(b.rows_);
}

std::string Batch::Describe(size_t max) const {
    std::string out;
    for (size_t i = 0; i < msgs_.size(); ++i) {
        if (i == max) {
            out += ", ... (" + std::to_string(msgs_.size()) + " messages)";
            break;
        }
        if (i) out += ", ";
        out += msgs_[i].Describe();
    }
    return out;
}

std::vector<std::string> Cut::Apply(const std::vector<std::string>& texts) const {
    std::string all;
    for (const auto& t : texts) all += t;
    std::set<size_t> cuts;
    switch (kind) {
        case Whole:
            break;
        case EachMessage: {
            size_t pos = 0;
            for (const auto& t : texts) cuts.insert(pos += t.size());
            break;
        }
        case Every:
            for (size_t pos = std::max<size_t>(every, 1); pos < all.size();
                 pos += std::max<size_t>(every, 1)) {
                cuts.insert(pos);
            }
            break;
        case At:
            cuts.insert(at.begin(), at.end());
            break;
        case InMarkers:
            // Inside every marker, and the end marker cut twice: "+", "3", "!".
            for (const auto& marker : {wire::kSessionMarker, wire::kParameterListMarker,
                                       wire::kParameterMarker, wire::kEndMarker}) {
                for (size_t p = all.find(marker.text); p != std::string::npos;
                     p = all.find(marker.text, p + 1)) {
                    cuts.insert(p + 1);
                    if (marker.text == wire::kEndMarker.text) cuts.insert(p + 2);
                }
            }
            break;
    }
    std::vector<std::string> pieces;
    size_t from = 0;
    for (size_t c : cuts) {
        if (c == 0 || c >= all.size() || c <= from) continue;
        pieces.push_back(all.substr(from, c - from));
        from = c;
    }
    if (from < all.size() || pieces.empty()) pieces.push_back(all.substr(from));
    return pieces;
}

std::string Cut::Describe() const {
    switch (kind) {
        case Whole:
            return "";
        case EachMessage:
            return " (one write per message)";
        case Every:
            return " (in writes of " + std::to_string(every) + " bytes)";
        case At:
            return " (cut at " + std::to_string(at.size()) + " positions)";
        case InMarkers:
            return " (cut inside every marker)";
    }
    return "";
}

}  // namespace testsupport
