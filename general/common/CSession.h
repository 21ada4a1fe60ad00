#pragma once
// One logged-in connection at the server end: who is logged in, the session
// ids, the current account, the symbols the user may trade, a few state
// flags, the connection's own receive buffer and the user's privileges. A
// serving host keeps one per connected socket and places it in the socket's
// Tag, where message objects and codecs read its session id.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CSecurity.h"
#include "general/common/Enums.h"
#include "general/common/ISessionTag.h"
#include "platform/TcpSocket.h"

namespace OrbanelGeneral10 {

class CSession : public ISessionTag {
public:
    CSession();
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // ISessionTag: the session id on the wire.
    int32_t SID() const override { return sid_; }

    int16_t NoResponse() const { return NoResponse_; }
    void setNoResponse(int16_t value) { NoResponse_ = value; }
    // The session's socket. Not owned: the socket's Tag holds the session, so
    // holding the socket here too would keep both alive for ever. Empty once
    // the host lets go of the socket.
    std::shared_ptr<platform::TcpSocket> Child() const { return Child_.lock(); }
    void setChild(const std::shared_ptr<platform::TcpSocket>& child) { Child_ = child; }
    const std::string& LogonTime() const { return LogonTime_; }
    void setLogonTime(const std::string& value) { LogonTime_ = value; }
    const std::string& LogoutTime() const { return LogoutTime_; }
    void setLogoutTime(const std::string& value) { LogoutTime_ = value; }
    UserTypeEnum UserType() const { return UserType_; }
    void setUserType(UserTypeEnum value) { UserType_ = value; }
    const std::string& Terminal() const { return Terminal_; }
    void setTerminal(const std::string& value) { Terminal_ = value; }
    const std::string& IP() const { return IP_; }
    void setIP(const std::string& value) { IP_ = value; }
    int32_t UserID() const { return UserID_; }
    void setUserID(int32_t value) { UserID_ = value; }
    int32_t CurrentAccount() const { return CurrentAccount_; }
    void setCurrentAccount(int32_t value) { CurrentAccount_ = value; }
    int32_t DBSID() const { return DBSID_; }
    void setDBSID(int32_t value) { DBSID_ = value; }
    // The session id compared with a received message's.
    int32_t sid() const { return sid_; }
    void setSid(int32_t value) { sid_ = value; }
    const std::string& UserFirstName() const { return UserFirstName_; }
    void setUserFirstName(const std::string& value) { UserFirstName_ = value; }
    const std::string& UserSecondName() const { return UserSecondName_; }
    void setUserSecondName(const std::string& value) { UserSecondName_ = value; }
    const std::string& UserThirdName() const { return UserThirdName_; }
    void setUserThirdName(const std::string& value) { UserThirdName_ = value; }
    const std::string& UserLastName() const { return UserLastName_; }
    void setUserLastName(const std::string& value) { UserLastName_ = value; }
    // The four name parts joined by single blanks; empty parts keep their blanks.
    std::string UserFullName() const;
    ClientTypeEnum ClientType() const { return ClientType_; }
    void setClientType(ClientTypeEnum value) { ClientType_ = value; }
    bool ReadyForOrders() const { return ReadyForOrders_; }
    void setReadyForOrders(bool value) { ReadyForOrders_ = value; }
    // Symbol ids joined by ",".
    const std::string& SymbolsPriv() const { return SymbolsPriv_; }
    void setSymbolsPriv(const std::string& value) { SymbolsPriv_ = value; }
    void AddSymbolPriv(int32_t SymbolID);
    int32_t StartWithPriv() const { return StartWithPriv_; }
    void setStartWithPriv(int32_t value) { StartWithPriv_ = value; }
    bool MarketStarted() const { return MarketStarted_; }
    void setMarketStarted(bool value) { MarketStarted_ = value; }
    const std::string& Username() const { return Username_; }
    void setUsername(const std::string& value) { Username_ = value; }
    // The session was opened through the programming interface.
    bool APILogin() const { return APILogin_; }
    void setAPILogin(bool value) { APILogin_ = value; }
    const std::shared_ptr<CSecurity>& Security() const { return Security_; }

    // Appends received text to this connection's buffer and gives back every
    // complete message in Rows[1..n] (without end markers); returns n. An
    // incomplete tail waits for the next call.
    size_t SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows);

private:
    int16_t NoResponse_ = 0;
    std::weak_ptr<platform::TcpSocket> Child_;
    std::string LogonTime_;
    std::string LogoutTime_;
    UserTypeEnum UserType_{};
    std::string Terminal_;
    std::string IP_;
    int32_t UserID_ = 0;
    int32_t CurrentAccount_ = 0;
    int32_t DBSID_ = 0;
    int32_t sid_ = 0;
    std::string UserFirstName_;
    std::string UserSecondName_;
    std::string UserThirdName_;
    std::string UserLastName_;
    ClientTypeEnum ClientType_{};
    bool ReadyForOrders_ = false;
    std::string SymbolsPriv_;
    int32_t StartWithPriv_ = 0;
    bool MarketStarted_ = false;
    std::string Username_;
    bool APILogin_ = false;
    std::shared_ptr<CSecurity> Security_;
    CDataProtocol codec_;
};

}  // namespace OrbanelGeneral10
