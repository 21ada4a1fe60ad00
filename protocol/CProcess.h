#pragma once
// The protocol framework's message object: one request, response or received
// message with its token, session id and parameters. Each object owns a codec,
// so the receive buffer, the session id and the dictionary are per object.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/IQueueNode.h"
#include "platform/TcpSocket.h"
#include "protocol/CDataProtocol.h"
#include "protocol/CSecure.h"
#include "protocol/Enums.h"
#include "protocol/ITokens.h"

namespace KVGeneralDLL10 {

class CProcess : public OrbanelGeneral10::IQueueNode {
public:
    // The most parameters a response of SendResult carries.
    static constexpr size_t kMaxResultParameters = 30;

    CProcess() = default;

    // The socket the message belongs to; held, not owned.
    const std::shared_ptr<platform::TcpSocket>& Child() const { return child_; }
    void setChild(std::shared_ptr<platform::TcpSocket> child) { child_ = std::move(child); }

    // Parses a received message: token, session id and, unless the token is 0,
    // the parameters up to the first "%$#InVaLID". The built message text stays.
    void DefineProcessByCommand(int16_t ProcessLogLevel, std::string_view Cmd);
    // Sets the codec's session id, then builds a request of Token with p.
    void DefineRequestByToken(int32_t vSID, int16_t ProcessLogLevel, int16_t Token,
                              const std::vector<std::string>& p);
    void DefineResponseByToken(int16_t ProcessLogLevel, int16_t Token,
                               const std::vector<std::string>& p);

    // Whether the session id of the last parsed message is the one of the
    // session object in Child's tag. Errors (no socket, no session) reach the caller.
    bool ValidateSID() const;
    int32_t CommandSID() const { return commandSID_; }
    std::string ProcessDescription() const;

    // IQueueNode: the session id in Child's tag, and the received text for logs.
    std::string ID() override;
    std::string toString() override;

    int16_t TokenID() const { return tokenID_; }
    size_t Parameters() const { return params_.size(); }
    // "%$#InVaLID" above Parameters; runtime::Error(9) below 1.
    std::string ParameterValue(int64_t Index) const;

    // Sends the built message text on `Child`; SentFailedZeroPort (2) when it
    // is not connected, SentFailedError (2) on any error.
    SendResultEnum Send(const std::shared_ptr<platform::TcpSocket>& Child);

    int16_t SystemLogLevel() const { return systemLogLevel_; }
    void setSystemLogLevel(int16_t level) { systemLogLevel_ = level; }

    void DifineRow(std::string_view Row);
    size_t RowCellsCount() const;
    // Cell Index (from 1) of the loaded row; runtime::Error(9) outside.
    std::string RowCell(int64_t Index) const;

    int32_t SID() const { return codec_.SID(); }
    void setSID(int32_t value) { codec_.setSID(value); }
    void ClearBuffer() { codec_.ClearBuffer(); }
    const std::shared_ptr<ITokens>& Tokens() const { return codec_.Tokens(); }
    void setTokens(std::shared_ptr<ITokens> tokens) { codec_.setTokens(std::move(tokens)); }
    size_t SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows) {
        return codec_.SplitBuffer(RecievedBuffer, Rows);
    }
    std::string ParameterDefaultValue() const { return codec_.ParameterDefaultValue(); }
    bool HasTheseParameters(size_t Parameters) const { return params_.size() == Parameters; }

    // Answers with a RESULT_TOKEN response of at most 30 parameters on the own socket.
    void SendResult(const std::vector<std::string>& p);
    // "<sid> address(port)" of a socket; the empty text on any error.
    std::string SessionDescriptions(const std::shared_ptr<platform::TcpSocket>& Child) const;

private:
    void Define(int16_t ProcessLogLevel, int16_t Token, const std::vector<std::string>& p,
                bool request);
    void Describe();
    std::string_view Parameter(size_t i) const;

    // Where each parameter lies in paramText_: the parsed message, or the
    // defined values one after another. Kept apart from the received text, which
    // a failing parse replaces while the parameters stay.
    std::vector<OrbanelGeneral10::wire::Span> params_;
    std::string paramText_;
    std::shared_ptr<platform::TcpSocket> child_;
    std::string received_;
    int16_t tokenID_ = 0;
    int32_t commandSID_ = -100;
    CDataProtocol codec_;
    std::string publicDescription_;
    std::string parameterDescription_;
    std::string messageText_;
    int16_t systemLogLevel_ = 0;
    int16_t processLogLevel_ = 0;
    CSecure secure_;
};

}  // namespace KVGeneralDLL10
