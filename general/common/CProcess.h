#pragma once
// The general library's message object: one command message spoken with the
// general codec and its full token table. It builds a request or a response
// from a token and up to 51 parameters, parses a received message into token,
// session id and parameters, sends its text on a socket, gives access to the
// codec's row object and forwards the row splitters to CGenerals.
//
// One text serves both directions: a parsed message keeps the received text,
// so Send and SentBytes then work on it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CGenerals.h"
#include "general/common/Enums.h"
#include "general/common/IQueueNode.h"
#include "platform/TcpSocket.h"

namespace OrbanelGeneral10 {

class CProcess : public IQueueNode {
public:
    // The most parameters a built message carries; later ones are ignored.
    static constexpr size_t kMaxParameters = 51;

    CProcess() = default;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    // The socket the message belongs to; held, not owned.
    const std::shared_ptr<platform::TcpSocket>& Child() const { return child_; }
    void setChild(std::shared_ptr<platform::TcpSocket> child) { child_ = std::move(child); }

    // Parses a received message (without its end marker): token (0 for an
    // unknown word), session id (-100 when it carries none) and, unless the
    // token is 0, the parameters up to the first "%$#InVaLID". A session id
    // beyond 32 bits raises runtime::Error(6) and leaves the object as it was.
    void DefineProcessByCommand(int16_t ProcessLogLevel, std::string_view Cmd);
    // Builds a response; p holds p1..p51 and the text ends before the first
    // "!&NS&!". The parameters are read back from the text (and described)
    // only when ProcessLogLevel <= SystemLogLevel; otherwise the list keeps
    // what it held. A Token outside 0-350 raises runtime::Error(9) and leaves
    // the object as it was.
    void DefineResponseByToken(int16_t ProcessLogLevel, TokensEnum Token,
                               const std::vector<std::string>& p);
    // Builds a request with session id `sid`; the parameter list is not touched.
    void DefineRequestByToken(int32_t sid, int16_t ProcessLogLevel, TokensEnum Token,
                              const std::vector<std::string>& p);

    // Whether the last parsed session id (neither -100 nor -1) is the one of
    // the session in Child's tag. No socket or no session there raises.
    bool ValidateSID() const;
    int32_t CommandSID() const { return commandSID_; }
    // "'description' P1=(a) , P2=(b)"; filled only for messages that were described.
    std::string ProcessDescription() const;
    // "<sid> address(port)" of a socket whose tag holds a session; "" otherwise.
    std::string SessionDescription(const std::shared_ptr<platform::TcpSocket>& Child) const {
        return codec_.SessionDescription(Child);
    }

    // IQueueNode: the session id in Child's tag, and a line for logs.
    std::string ID() override;
    std::string toString() override;

    TokensEnum TokenID() const { return tokenID_; }
    size_t Parameters() const { return params_.size(); }
    // Parameter Index (from 1); "%$#InVaLID" above Parameters, runtime::Error(9) below 1.
    std::string ParameterValue(int64_t Index) const;

    // Sends the message text on `Child`: SentSuccessfully when it went,
    // SentFailedZeroPort when the socket is not connected, SentFailedError on
    // any error (no socket, a failing send). Never raises.
    SendResultEnum Send(const std::shared_ptr<platform::TcpSocket>& Child);

    int16_t ProcessLogLevel() const { return processLogLevel_; }
    void setProcessLogLevel(int16_t level) { processLogLevel_ = level; }
    int16_t SystemLogLevel() const { return systemLogLevel_; }
    void setSystemLogLevel(int16_t level) { systemLogLevel_ = level; }

    // Only a login or a demo-account request may open a connection.
    bool IsValidFirstCommand(std::string_view Cmd) const { return codec_.IsValidFirstCommand(Cmd); }

    // The row splitters of CGenerals (too few cells raise runtime::Error(9); the
    // outputs are untouched on every error).
    void SplitOrderAuditRow(const std::string& OrderRow, std::string& Client, std::string& Account,
                            std::string& OrType, std::string& OrID, std::string& OrStatus,
                            std::string& OrIoID, std::string& OrCpIoID, std::string& vTime,
                            std::string& OrNewBuy, std::string& OrNewSell, std::string& OrAmount,
                            std::string& OrCur, std::string& OrOldBuy, std::string& OrOldSell,
                            std::string& OrBuySell) {
        generals_.SplitOrderAuditRow(OrderRow, Client, Account, OrType, OrID, OrStatus, OrIoID,
                                     OrCpIoID, vTime, OrNewBuy, OrNewSell, OrAmount, OrCur,
                                     OrOldBuy, OrOldSell, OrBuySell);
    }
    void SplitPosRow(const std::string& rData, int32_t& vClient, int32_t& vAccount, int32_t& Ticket,
                     std::string& PosTime, OperationTypeEnum& BuySell, double& lots, int32_t& vCur,
                     double& Price, std::string& SLDesc, std::string& TPDesc, int16_t& Checked,
                     double& OriginalAllLots, std::string& SymName, double& OpenInt,
                     std::string& OpenMethod, std::string& OpenNote) {
        generals_.SplitPosRow(rData, vClient, vAccount, Ticket, PosTime, BuySell, lots, vCur, Price,
                              SLDesc, TPDesc, Checked, OriginalAllLots, SymName, OpenInt,
                              OpenMethod, OpenNote);
    }
    void SplitOrderRow(const std::string& OrderRow, std::string& vOrder, std::string& vTime,
                       std::string& vBuySell, std::string& vLots, std::string& vCur,
                       std::string& vPrice, std::string& vOpCpLoST, std::string& vCpIoID,
                       std::string& vSL, std::string& vTP, std::string& vStatus,
                       std::string& vNote) {
        generals_.SplitOrderRow(OrderRow, vOrder, vTime, vBuySell, vLots, vCur, vPrice, vOpCpLoST,
                                vCpIoID, vSL, vTP, vStatus, vNote);
    }

    std::string ParameterDefaultValue() const { return codec_.ParameterDefaultValue(); }
    // The cell delimiter "R,@".
    std::string RowStringDelimiter() const { return Row().Delimiter(); }
    // Loads a row string for RowCellsCount and RowCell.
    void AddRowString(std::string_view Row) { this->Row().Add(Row); }
    // Both raise runtime::Error(9) before any AddRowString; RowCell also outside 1..count.
    int32_t RowCellsCount() const { return Row().Count(); }
    std::string RowCell(int32_t Index) const { return Row().Item(Index); }

    // Kept for the host; nothing here reads it.
    bool MustBeLogedOn() const { return mustBeLogedOn_; }
    void setMustBeLogedOn(bool value) { mustBeLogedOn_ = value; }

    // Empties the codec's receive buffer.
    void Reset() { codec_.ClearBuffer(); }
    // Length of the message text.
    int32_t SentBytes() const;

private:
    CRow& Row() const;
    void ReadParameters(std::string_view text);
    void Describe();

    std::shared_ptr<platform::TcpSocket> child_;
    TokensEnum tokenID_ = UNDEFINED;
    int32_t commandSID_ = wire::kNoSessionId;
    std::string messageText_;
    std::vector<std::string> params_;
    std::string description_;
    std::string parameterText_;
    int16_t systemLogLevel_ = 0;
    int16_t processLogLevel_ = 1;
    bool mustBeLogedOn_ = false;
    CDataProtocol codec_;
    CGenerals generals_;
};

}  // namespace OrbanelGeneral10
