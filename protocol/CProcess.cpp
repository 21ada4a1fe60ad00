#include "protocol/CProcess.h"

#include <algorithm>
#include <utility>

#include "general/common/ISessionTag.h"
#include "runtime/Error.h"

namespace KVGeneralDLL10 {

namespace wire = OrbanelGeneral10::wire;

namespace {

platform::TcpSocket& Require(const std::shared_ptr<platform::TcpSocket>& socket) {
    if (!socket) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *socket;
}

}  // namespace

void CProcess::DefineProcessByCommand(int16_t ProcessLogLevel, std::string_view Cmd) {
    // The room of an earlier large message goes back with the next one.
    wire::ReleaseIfLarge(received_);
    wire::ReleaseIfLarge(paramText_);
    received_.assign(Cmd);
    processLogLevel_ = ProcessLogLevel;
    tokenID_ = codec_.TokenID(Cmd);
    commandSID_ = codec_.RequestSID(Cmd);
    if (tokenID_ == 0) {
        params_.clear();
        return;
    }
    paramText_.assign(Cmd);
    wire::ReadParameters(paramText_, params_);
    if (systemLogLevel_ >= processLogLevel_) Describe();
}

void CProcess::DefineRequestByToken(int32_t vSID, int16_t ProcessLogLevel, int16_t Token,
                                    const std::vector<std::string>& p) {
    codec_.setSID(vSID);
    Define(ProcessLogLevel, Token, p, true);
}

void CProcess::DefineResponseByToken(int16_t ProcessLogLevel, int16_t Token,
                                     const std::vector<std::string>& p) {
    Define(ProcessLogLevel, Token, p, false);
}

void CProcess::Define(int16_t ProcessLogLevel, int16_t Token, const std::vector<std::string>& p,
                      bool request) {
    tokenID_ = Token;
    processLogLevel_ = ProcessLogLevel;
    // Exactly the parameters the wire text carries.
    params_.clear();
    paramText_.clear();
    wire::ReleaseIfLarge(paramText_);
    const size_t n = std::min(p.size(), CDataProtocol::kMaxParameters);
    // One allocation each for a fresh request, not one per doubling.
    params_.reserve(n);
    size_t textSize = 0;
    for (size_t i = 0; i < n; ++i) textSize += p[i].size();
    paramText_.reserve(textSize);
    for (size_t i = 0; i < n && p[i] != wire::kNotSent; ++i) {
        params_.push_back(wire::Span{paramText_.size(), p[i].size()});
        paramText_.append(p[i]);
    }
    if (systemLogLevel_ >= processLogLevel_) Describe();
    messageText_ = request ? codec_.Request(Token, p) : codec_.Response(Token, p);
}

void CProcess::Describe() {
    publicDescription_ = codec_.TokenPublicDesc(tokenID_);
    std::string text;
    for (size_t i = 0; i < params_.size(); ++i) {
        if (i > 0) text.append(" , ");
        text.append("P").append(std::to_string(i + 1)).append("=(");
        text.append(Parameter(i)).append(")");
    }
    parameterDescription_ = std::move(text);
}

std::string CProcess::ProcessDescription() const {
    return "'" + publicDescription_ + "' " + parameterDescription_;
}

bool CProcess::ValidateSID() const {
    // Before login and for responses there is no session id to compare.
    if (commandSID_ == wire::kNoSessionId || commandSID_ == -1) return false;
    return OrbanelGeneral10::TagSID(Require(child_).Tag) == commandSID_;
}

std::string CProcess::ID() {
    return std::to_string(OrbanelGeneral10::TagSID(Require(child_).Tag));
}

std::string CProcess::toString() {
    return "From:" + Require(child_).RemoteAddress() + " Process:" + received_;
}

std::string CProcess::ParameterValue(int64_t Index) const {
    if (Index < 1) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    if (static_cast<uint64_t>(Index) > params_.size()) return codec_.InvalidParameter();
    return std::string(Parameter(static_cast<size_t>(Index - 1)));
}

std::string_view CProcess::Parameter(size_t i) const {
    return std::string_view(paramText_).substr(params_[i].offset, params_[i].length);
}

SendResultEnum CProcess::Send(const std::shared_ptr<platform::TcpSocket>& Child) {
    try {
        if (!Child) return SentFailedError;
        if (Child->Port() == 0) return SentFailedZeroPort;
        Child->Send(secure_.Code(messageText_));
        return SentSuccessfully;
    } catch (...) {
        return SentFailedError;
    }
}

void CProcess::DifineRow(std::string_view Row) {
    platform::StringList& cells = codec_.RowString()->DartStrings();
    cells.Clear();
    cells.Load(Row, 0);
}

size_t CProcess::RowCellsCount() const {
    return codec_.RowString()->DartStrings().Count();
}

std::string CProcess::RowCell(int64_t Index) const {
    if (Index < 1) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return codec_.RowString()->DartStrings().Item(static_cast<size_t>(Index));
}

void CProcess::SendResult(const std::vector<std::string>& p) {
    const size_t n = std::min(p.size(), kMaxResultParameters);
    DefineResponseByToken(
        5, RESULT_TOKEN,
        std::vector<std::string>(p.begin(), p.begin() + static_cast<ptrdiff_t>(n)));
    Send(child_);
}

std::string CProcess::SessionDescriptions(const std::shared_ptr<platform::TcpSocket>& Child) const {
    try {
        platform::TcpSocket& socket = Require(Child);
        return "<" + std::to_string(OrbanelGeneral10::TagSID(socket.Tag)) + "> " +
               socket.RemoteAddress() + "(" + std::to_string(socket.Port()) + ")";
    } catch (...) {
        return {};
    }
}

}  // namespace KVGeneralDLL10
