#pragma once
// One user session connected to the server, as the online-sessions answer or
// a session push describes it. Plain read-write values.
#include <cstdint>
#include <string>

#include "clientapi/dataclient/Enums.h"

namespace OrbanexClientAPI10 {

class COnlineSession {
public:
    const std::string& Name() const { return Name_; }
    void setName(const std::string& value) { Name_ = value; }
    const std::string& LoginTime() const { return LoginTime_; }
    void setLoginTime(const std::string& value) { LoginTime_ = value; }
    // The server's session id; the key of the session list.
    int32_t SID() const { return SID_; }
    void setSID(int32_t value) { SID_ = value; }
    const std::string& Username() const { return Username_; }
    void setUsername(const std::string& value) { Username_ = value; }
    const std::string& IP() const { return IP_; }
    void setIP(const std::string& value) { IP_ = value; }
    // Qualified: inside the class the member itself is named UserType.
    OrbanexClientAPI10::UserType UserType() const { return UserType_; }
    void setUserType(OrbanexClientAPI10::UserType value) { UserType_ = value; }
    bool APILogin() const { return APILogin_; }
    void setAPILogin(bool value) { APILogin_ = value; }
    int32_t UserID() const { return UserID_; }
    void setUserID(int32_t value) { UserID_ = value; }
    // For a dealer session, the key of a client of the trading model's list.
    int32_t DealerPriv() const { return DealerPriv_; }
    void setDealerPriv(int32_t value) { DealerPriv_ = value; }

private:
    std::string Name_;
    std::string LoginTime_;
    int32_t SID_ = 0;
    std::string Username_;
    std::string IP_;
    OrbanexClientAPI10::UserType UserType_ = static_cast<OrbanexClientAPI10::UserType>(0);
    bool APILogin_ = false;
    int32_t UserID_ = 0;
    int32_t DealerPriv_ = 0;
};

}  // namespace OrbanexClientAPI10
