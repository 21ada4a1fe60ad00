#include "general/common/CProcess.h"

#include <limits>
#include <utility>

#include "general/common/ISessionTag.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

namespace {

platform::TcpSocket& Require(const std::shared_ptr<platform::TcpSocket>& socket) {
    if (!socket) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *socket;
}

}  // namespace

CRow& CProcess::Row() const {
    const std::shared_ptr<CRow>& row = codec_.RowString();
    if (!row) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *row;
}

void CProcess::DefineProcessByCommand(int16_t ProcessLogLevel, std::string_view Cmd) {
    // Read both before changing anything: a session id that does not fit
    // leaves the previous message whole.
    const auto token = static_cast<TokensEnum>(codec_.TokenID(Cmd));
    const int32_t sid = codec_.RequestSID(Cmd);
    messageText_.assign(Cmd);
    processLogLevel_ = ProcessLogLevel;
    tokenID_ = token;
    commandSID_ = sid;
    if (tokenID_ == UNDEFINED) {
        params_.clear();
        return;
    }
    ReadParameters(messageText_);
}

void CProcess::DefineResponseByToken(int16_t ProcessLogLevel, TokensEnum Token,
                                     const std::vector<std::string>& p) {
    std::string text = codec_.Response(Token, p);
    tokenID_ = Token;
    processLogLevel_ = ProcessLogLevel;
    messageText_ = std::move(text);
    if (processLogLevel_ <= systemLogLevel_) {
        // Read as a received message is, without the end marker the built
        // text carries, which would otherwise end the last parameter.
        std::string_view body = messageText_;
        if (body.ends_with(wire::kEndMarker.text)) body.remove_suffix(wire::kEndMarker.text.size());
        ReadParameters(body);
    }
}

void CProcess::DefineRequestByToken(int32_t sid, int16_t ProcessLogLevel, TokensEnum Token,
                                    const std::vector<std::string>& p) {
    codec_.setSid(sid);
    std::string text = codec_.Request(Token, p);
    tokenID_ = Token;
    processLogLevel_ = ProcessLogLevel;
    messageText_ = std::move(text);
}

void CProcess::ReadParameters(std::string_view text) {
    wire::ReadParameters(text, params_);
    if (processLogLevel_ <= systemLogLevel_) Describe();
}

void CProcess::Describe() {
    description_ = codec_.TokenPublicDesc(tokenID_);
    std::string text;
    for (size_t i = 0; i < params_.size(); ++i) {
        if (i > 0) text.append(" , ");
        text.append("P").append(std::to_string(i + 1)).append("=(");
        text.append(params_[i]).append(")");
    }
    parameterText_ = std::move(text);
}

std::string CProcess::ProcessDescription() const {
    return "'" + description_ + "' " + parameterText_;
}

bool CProcess::ValidateSID() const {
    // Responses and messages sent before login carry no session id to compare.
    if (commandSID_ == wire::kNoSessionId || commandSID_ == -1) return false;
    return TagSID(Require(child_).Tag) == commandSID_;
}

std::string CProcess::ID() {
    return std::to_string(TagSID(Require(child_).Tag));
}

std::string CProcess::toString() {
    return "From: " + Require(child_).RemoteAddress() + " Process:" + ProcessDescription();
}

std::string CProcess::ParameterValue(int64_t Index) const {
    if (Index < 1) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    if (static_cast<uint64_t>(Index) > params_.size()) return codec_.InvalidParameter();
    return params_[static_cast<size_t>(Index - 1)];
}

SendResultEnum CProcess::Send(const std::shared_ptr<platform::TcpSocket>& Child) {
    try {
        if (!Child) return SentFailedError;
        if (Child->Port() == 0) return SentFailedZeroPort;
        Child->Send(messageText_);
        return SentSuccessfully;
    } catch (...) {
        return SentFailedError;
    }
}

int32_t CProcess::SentBytes() const {
    constexpr size_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(messageText_.size() < kMax ? messageText_.size() : kMax);
}

}  // namespace OrbanelGeneral10
