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

    int16_t NoResponse() const { return noResponse_; }
    void setNoResponse(int16_t value) { noResponse_ = value; }
    // The session's socket. Not owned: the socket's Tag holds the session, so
    // holding the socket here too would keep both alive for ever. Empty once
    // the host lets go of the socket.
    std::shared_ptr<platform::TcpSocket> Child() const { return child_.lock(); }
    void setChild(const std::shared_ptr<platform::TcpSocket>& child) { child_ = child; }
    const std::string& LogonTime() const { return logonTime_; }
    void setLogonTime(const std::string& value) { logonTime_ = value; }
    const std::string& LogoutTime() const { return logoutTime_; }
    void setLogoutTime(const std::string& value) { logoutTime_ = value; }
    UserTypeEnum UserType() const { return userType_; }
    void setUserType(UserTypeEnum value) { userType_ = value; }
    const std::string& Terminal() const { return terminal_; }
    void setTerminal(const std::string& value) { terminal_ = value; }
    const std::string& IP() const { return ip_; }
    void setIP(const std::string& value) { ip_ = value; }
    int32_t UserID() const { return userID_; }
    void setUserID(int32_t value) { userID_ = value; }
    int32_t CurrentAccount() const { return currentAccount_; }
    void setCurrentAccount(int32_t value) { currentAccount_ = value; }
    int32_t DBSID() const { return dbsid_; }
    void setDBSID(int32_t value) { dbsid_ = value; }
    // The session id compared with a received message's.
    int32_t sid() const { return sid_; }
    void setSid(int32_t value) { sid_ = value; }
    const std::string& UserFirstName() const { return userFirstName_; }
    void setUserFirstName(const std::string& value) { userFirstName_ = value; }
    const std::string& UserSecondName() const { return userSecondName_; }
    void setUserSecondName(const std::string& value) { userSecondName_ = value; }
    const std::string& UserThirdName() const { return userThirdName_; }
    void setUserThirdName(const std::string& value) { userThirdName_ = value; }
    const std::string& UserLastName() const { return userLastName_; }
    void setUserLastName(const std::string& value) { userLastName_ = value; }
    // The four name parts joined by single blanks; empty parts keep their blanks.
    std::string UserFullName() const;
    ClientTypeEnum ClientType() const { return clientType_; }
    void setClientType(ClientTypeEnum value) { clientType_ = value; }
    bool ReadyForOrders() const { return readyForOrders_; }
    void setReadyForOrders(bool value) { readyForOrders_ = value; }
    // Symbol ids joined by ",".
    const std::string& SymbolsPriv() const { return symbolsPriv_; }
    void setSymbolsPriv(const std::string& value) { symbolsPriv_ = value; }
    void AddSymbolPriv(int32_t SymbolID);
    int32_t StartWithPriv() const { return startWithPriv_; }
    void setStartWithPriv(int32_t value) { startWithPriv_ = value; }
    bool MarketStarted() const { return marketStarted_; }
    void setMarketStarted(bool value) { marketStarted_ = value; }
    const std::string& Username() const { return username_; }
    void setUsername(const std::string& value) { username_ = value; }
    // The session was opened through the programming interface.
    bool APILogin() const { return apiLogin_; }
    void setAPILogin(bool value) { apiLogin_ = value; }
    const std::shared_ptr<CSecurity>& Security() const { return security_; }

    // Appends received text to this connection's buffer and gives back every
    // complete message in Rows[1..n] (without end markers); returns n. An
    // incomplete tail waits for the next call.
    size_t SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows);

private:
    int16_t noResponse_ = 0;
    std::weak_ptr<platform::TcpSocket> child_;
    std::string logonTime_;
    std::string logoutTime_;
    UserTypeEnum userType_{};
    std::string terminal_;
    std::string ip_;
    int32_t userID_ = 0;
    int32_t currentAccount_ = 0;
    int32_t dbsid_ = 0;
    int32_t sid_ = 0;
    std::string userFirstName_;
    std::string userSecondName_;
    std::string userThirdName_;
    std::string userLastName_;
    ClientTypeEnum clientType_{};
    bool readyForOrders_ = false;
    std::string symbolsPriv_;
    int32_t startWithPriv_ = 0;
    bool marketStarted_ = false;
    std::string username_;
    bool apiLogin_ = false;
    std::shared_ptr<CSecurity> security_;
    CDataProtocol codec_;
};

}  // namespace OrbanelGeneral10
