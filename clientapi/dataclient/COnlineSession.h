#pragma once
// One user session connected to the server, as the online-sessions answer or
// a session push describes it. Plain read-write values.
#include <cstdint>
#include <string>

#include "clientapi/dataclient/Enums.h"

namespace OrbanexClientAPI10 {

class COnlineSession {
public:
    const std::string& Name() const { return name_; }
    void setName(const std::string& value) { name_ = value; }
    const std::string& LoginTime() const { return loginTime_; }
    void setLoginTime(const std::string& value) { loginTime_ = value; }
    // The server's session id; the key of the session list.
    int32_t SID() const { return sid_; }
    void setSID(int32_t value) { sid_ = value; }
    const std::string& Username() const { return username_; }
    void setUsername(const std::string& value) { username_ = value; }
    const std::string& IP() const { return ip_; }
    void setIP(const std::string& value) { ip_ = value; }
    // Qualified: inside the class the member itself is named UserType.
    OrbanexClientAPI10::UserType UserType() const { return userType_; }
    void setUserType(OrbanexClientAPI10::UserType value) { userType_ = value; }
    bool APILogin() const { return apiLogin_; }
    void setAPILogin(bool value) { apiLogin_ = value; }
    int32_t UserID() const { return userID_; }
    void setUserID(int32_t value) { userID_ = value; }
    // For a dealer session, the key of a client of the trading model's list.
    int32_t DealerPriv() const { return dealerPriv_; }
    void setDealerPriv(int32_t value) { dealerPriv_ = value; }

private:
    std::string name_;
    std::string loginTime_;
    int32_t sid_ = 0;
    std::string username_;
    std::string ip_;
    OrbanexClientAPI10::UserType userType_ = static_cast<OrbanexClientAPI10::UserType>(0);
    bool apiLogin_ = false;
    int32_t userID_ = 0;
    int32_t dealerPriv_ = 0;
};

}  // namespace OrbanexClientAPI10
